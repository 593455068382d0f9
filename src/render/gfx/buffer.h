#pragma once
// Vertex, index and constant buffers. Dynamic buffers are refilled by map-with-discard: the old
// storage is orphaned, so a map never waits for draws that still read the previous contents.
#include <cstdint>
#include <string>

#include "render/gfx/device.h"
#include "render/gfx/types.h"

namespace quixo::gfx {

struct BufferDesc {
    std::uint32_t byteWidth = 0;
    Usage usage = Usage::Default;
    std::uint32_t bindFlags = 0;
    std::uint32_t cpuAccessFlags = 0;
};

struct Buffer {
    std::uint32_t name = 0;  // GL buffer
    BufferDesc desc;
    bool mapped = false;
};

// initialData (optional) holds byteWidth bytes. False, with the reason in device.lastError,
// when the buffer cannot be made.
[[nodiscard]] bool CreateBuffer(Device& device, const BufferDesc& desc, const void* initialData,
                                Buffer& buffer);

// Deletes the buffer (unmapping it first); the record is empty afterwards.
void ReleaseBuffer(Device& device, Buffer& buffer);

// "buffer of 320 bytes (dynamic, constant)", for messages.
std::string DescribeBuffer(const BufferDesc& desc);

// The whole buffer for writing; its previous contents are gone. Only dynamic buffers with CPU
// write access can be mapped; null otherwise.
void* Map(Buffer& buffer, MapType type = MapType::WriteDiscard);
void Unmap(Buffer& buffer);

}  // namespace quixo::gfx
