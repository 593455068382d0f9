#pragma once
// The immediate context: what is bound for the next draw, set with Direct3D's calls and
// meaning. Binding a resource for output unbinds it from the pixel-shader resource slots, and a
// resource bound for output cannot be bound as an input, as the Direct3D runtime does.
#include <cstdint>

#include "render/gfx/buffer.h"
#include "render/gfx/device.h"
#include "render/gfx/shader.h"
#include "render/gfx/states.h"
#include "render/gfx/texture.h"
#include "render/gfx/types.h"

namespace quixo::gfx {

inline constexpr std::uint32_t kConstantSlots = 8;  // b0..b7 in both stages
inline constexpr std::uint32_t kResourceSlots = 8;  // t0..t7 in the pixel stage

// What the GL context has bound, so that setting again what is already there costs no GL call.
// Kept by GL name and description, not by pointer: the renderer edits a state in place, and a
// test's objects come and go at the same addresses. A `known` bit clear means "ask GL again".
struct BoundState {
    std::uint32_t vertexProgram = 0, pixelProgram = 0;
    bool vertexProgramKnown = false, pixelProgramKnown = false;
    // The bound vertex array and what it holds; only that one is tracked.
    std::uint32_t vertexArray = 0, vertexBuffer = 0, vertexOffset = 0, vertexStride = 0;
    std::uint32_t elementBuffer = 0;
    bool vertexArrayKnown = false, vertexBufferKnown = false, elementBufferKnown = false;
    // Uniform binding points 0..15: b0..b7 of the vertex stage from 0, the pixel stage's from 8.
    struct Range {
        std::uint32_t name = 0, offset = 0, size = 0;  // size 0: the whole buffer
    } constants[16];
    std::uint32_t constantsKnown = 0;  // a bit per binding point
    std::uint32_t textures[kResourceSlots] = {};
    std::uint32_t texturesKnown = 0;  // a bit per unit
    BlendDesc blend;
    float blendFactor[4] = {};
    bool blendKnown = false;
    DepthStencilDesc depth;
    std::uint32_t stencilRef = 0;
    bool depthKnown = false;
};

struct DeviceContext {
    Device* device = nullptr;
    // output merger
    const RenderTargetView* renderTarget = nullptr;
    const DepthStencilView* depthStencil = nullptr;
    const BlendState* blend = nullptr;
    const DepthStencilState* depthState = nullptr;
    std::uint32_t stencilRef = 0;
    // rasterizer
    const RasterizerState* rasterizer = nullptr;
    Viewport viewport;
    // input assembler
    const InputLayout* inputLayout = nullptr;
    const Buffer* vertexBuffer = nullptr;
    std::uint32_t vertexStride = 0, vertexOffset = 0;
    const Buffer* indexBuffer = nullptr;
    std::uint32_t indexOffset = 0;
    PrimitiveTopology topology = PrimitiveTopology::Undefined;
    // shader stages
    const VertexShader* vertexShader = nullptr;
    const PixelShader* pixelShader = nullptr;
    const Buffer* vsConstants[kConstantSlots] = {};
    const Buffer* psConstants[kConstantSlots] = {};
    const ShaderResourceView* psResources[kResourceSlots] = {};
    const SamplerState* sampler = nullptr;
    // GL objects of the context
    std::uint32_t pipeline = 0, framebuffer = 0, clearFramebuffer = 0, emptyVertexArray = 0;
    std::uint64_t drawCount = 0;
    // Off, every call reaches GL as set (the reference the filtered path is checked against).
    bool skipRedundantState = true;
    BoundState bound;
};

// Sets up the context on the device's GL context with Direct3D's default states. False, with
// the reason in device.lastError, when its GL objects cannot be made.
[[nodiscard]] bool CreateDeviceContext(Device& device, DeviceContext& context);

// Unbinds everything, as Direct3D's ClearState: every slot, target, state and shader back to
// none, so that no object the context pointed at is used after it is released.
void ClearState(DeviceContext& context);

// ClearState, then the context's own GL objects released; the record is empty afterwards.
void ReleaseDeviceContext(DeviceContext& context);

// Forgets what the GL context has bound, for callers that have made GL calls of their own; the
// next setting of each state reaches GL again.
void ForgetBoundState(DeviceContext& context);

// Output merger. One colour target (or none) and an optional depth-stencil view.
void OMSetRenderTargets(DeviceContext& context, const RenderTargetView* target,
                        const DepthStencilView* depthStencil);
void OMSetBlendState(DeviceContext& context, const BlendState* state,
                     const float blendFactor[4] = nullptr);
void OMSetDepthStencilState(DeviceContext& context, const DepthStencilState* state,
                            std::uint32_t stencilRef);

// Rasterizer.
void RSSetState(DeviceContext& context, const RasterizerState* state);
void RSSetViewports(DeviceContext& context, const Viewport& viewport);
void RSSetScissorRects(DeviceContext& context, const Rect& rect);

// Input assembler (one vertex buffer slot).
void IASetInputLayout(DeviceContext& context, const InputLayout* layout);
void IASetVertexBuffers(DeviceContext& context, const Buffer* buffer, std::uint32_t stride,
                        std::uint32_t offset);
void IASetIndexBuffer(DeviceContext& context, const Buffer* buffer, std::uint32_t offset);
void IASetPrimitiveTopology(DeviceContext& context, PrimitiveTopology topology);

// Shader stages.
void VSSetShader(DeviceContext& context, const VertexShader* shader);
void PSSetShader(DeviceContext& context, const PixelShader* shader);
void VSSetConstantBuffers(DeviceContext& context, std::uint32_t slot, const Buffer* buffer);
void PSSetConstantBuffers(DeviceContext& context, std::uint32_t slot, const Buffer* buffer);
// `size` bytes from `offset` (a multiple of the device's uniform offset alignment) as the
// constant buffer at `slot` of both stages, as Direct3D 11.1's first-constant binding.
void SetConstantBufferRange(DeviceContext& context, std::uint32_t slot, const Buffer* buffer,
                            std::uint32_t offset, std::uint32_t size);
void PSSetShaderResources(DeviceContext& context, std::uint32_t slot,
                          const ShaderResourceView* view);
// The one sampler: whatever sampler a shader names, it samples through this state.
void PSSetSamplers(DeviceContext& context, const SamplerState* sampler);

// Draws with the bound buffers; without a vertex buffer the shader's inputs read (0, 0, 0, 1) and
// it builds its geometry from the vertex number.
void Draw(DeviceContext& context, std::uint32_t vertexCount, std::uint32_t startVertex);
void DrawIndexed(DeviceContext& context, std::uint32_t indexCount, std::uint32_t startIndex,
                 std::int32_t baseVertex);
// instanceCount instances of the indexed draw, in order; the shader tells them apart by
// SV_InstanceID, 0 to instanceCount - 1.
void DrawIndexedInstanced(DeviceContext& context, std::uint32_t indexCount,
                          std::uint32_t instanceCount, std::uint32_t startIndex,
                          std::int32_t baseVertex);

// Clears ignore the bound states (masks, scissor), as in Direct3D.
void ClearRenderTargetView(DeviceContext& context, const RenderTargetView& view,
                           const float colour[4]);
void ClearDepthStencilView(DeviceContext& context, const DepthStencilView& view,
                           std::uint32_t flags, float depth, std::uint8_t stencil);

// Submits the queued work; Finish also waits for it (tests, timings).
void Flush(DeviceContext& context);
void Finish(DeviceContext& context);

}  // namespace quixo::gfx
