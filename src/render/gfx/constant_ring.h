#pragma once
// Per-draw constants without a buffer per draw: one persistently mapped buffer cut into a few
// frame segments, each written front to back during its frame and bound a range at a time.
// A segment is written again only after the GPU has passed the fence set at the end of the
// frame that last used it, so no write ever races a draw still reading.
#include <cstdint>

#include "render/gfx/buffer.h"
#include "render/gfx/device.h"

namespace quixo::gfx {

inline constexpr std::uint32_t kRingFrames = 3;

struct ConstantRing {
    Buffer buffer;  // immutable storage, mapped for the whole run
    std::uint8_t* mapped = nullptr;
    std::uint32_t segmentBytes = 0;
    std::uint32_t alignment = 256;  // GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT
    std::uint32_t segment = 0;      // the segment of the current frame
    std::uint32_t head = 0;         // next free byte within the segment
    void* fences[kRingFrames] = {};
};

// Room for `records` blocks of `recordBytes` a frame, each block aligned; false, with the reason
// in device.lastError, when the buffer cannot be made or mapped.
[[nodiscard]] bool CreateConstantRing(Device& device, std::uint32_t records,
                                      std::uint32_t recordBytes, ConstantRing& ring);
// Its fences, the mapping and the buffer.
void ReleaseConstantRing(Device& device, ConstantRing& ring);

// Moves to the next segment, waiting for the GPU to finish the frame that used it last.
void BeginRingFrame(Device& device, ConstantRing& ring);
// Fences the current segment.
void EndRingFrame(Device& device, ConstantRing& ring);

// Room for `bytes` in this frame's segment: the offset in the buffer (aligned for a uniform
// range binding) and the pointer to write through; false when the segment is full.
bool AllocateRing(ConstantRing& ring, std::uint32_t bytes, std::uint32_t& offset, void*& data);

}  // namespace quixo::gfx
