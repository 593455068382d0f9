#pragma once
// The pieces of a frame shared by the object passes and the full-screen chain. Only the
// renderer's own files include this.
#include <cstddef>
#include <string>
#include <string_view>

#include "render/renderer.h"
#include "render/shader_source.h"

namespace quixo {

// The frame size the scenes were authored at. Whatever is sized in pixels (sprites, blur
// spreads) is sized against it, so that every target size shows the same picture: a sprite
// covers the same share of the frame's height, a blur reaches as far relative to it.
constexpr float kReferenceWidth = 1920.0f;
constexpr float kReferenceHeight = 1080.0f;

// A creation that failed stops the program: the box names the object and the device's reason.
// The renderer never draws with a resource it does not have.
void RequireCreated(bool created, const gfx::Device& device, std::string_view what);

// Map with discard, copy, unmap.
void UploadConstants(gfx::Buffer& buffer, const void* data, std::size_t bytes);

// Binds the buffer at register `slot` to both stages.
void BindConstants(GpuState& gpu, int slot);

// Depth testing off for a full-screen pass: the kept description gets comparison always and
// depth test off. Returns the comparison it replaced, for DepthOn.
gfx::ComparisonFunc DepthOff(GpuState& gpu);
// Depth testing on again with the comparison DepthOff returned.
void DepthOn(GpuState& gpu, gfx::ComparisonFunc comparison);

// Shaders `index` of both tables, a 4-vertex strip without buffers.
void FullScreenDraw(GpuState& gpu, int index);

// The object passes (object_draw.cpp), in frame order.
void UploadPerFrameConstants(GpuState& gpu);
void VelocityPass(GpuState& gpu);
void ColourPass(GpuState& gpu);

}  // namespace quixo
