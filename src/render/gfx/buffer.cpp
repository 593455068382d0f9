#include "render/gfx/buffer.h"

#include <string>
#include <utility>

#include "render/gfx/gl.h"

namespace quixo::gfx {

std::string DescribeBuffer(const BufferDesc& desc) {
    static const char* const kUsages[] = {"default", "immutable", "dynamic", "staging"};
    const auto usage = static_cast<std::uint32_t>(desc.usage);
    std::string binds;
    const std::pair<std::uint32_t, const char*> kBinds[] = {
        {BindVertexBuffer, "vertex"}, {BindIndexBuffer, "index"}, {BindConstantBuffer, "constant"}};
    for (const auto& [flag, name] : kBinds) {
        if (desc.bindFlags & flag) binds += std::string(binds.empty() ? "" : "+") + name;
    }
    return "buffer of " + std::to_string(desc.byteWidth) + " bytes (" +
           (usage < 4 ? kUsages[usage] : "unknown usage") + ", " +
           (binds.empty() ? "unbound" : binds) + ")";
}

bool CreateBuffer(Device& device, const BufferDesc& desc, const void* initialData, Buffer& buffer) {
    buffer = Buffer{};
    if (desc.byteWidth == 0) return RefuseCreation(device, DescribeBuffer(desc), "no bytes");
    buffer.desc = desc;
    BeginCreation(device);
    glCreateBuffers(1, &buffer.name);
    if (desc.usage == Usage::Dynamic) {
        // Mutable storage, so that a discard can orphan it.
        glNamedBufferData(buffer.name, desc.byteWidth, initialData, GL_STREAM_DRAW);
    } else {
        glNamedBufferStorage(buffer.name, desc.byteWidth, initialData,
                             desc.usage == Usage::Default ? GL_DYNAMIC_STORAGE_BIT : 0);
    }
    return EndCreation(device, ObjectKind::Buffer, buffer.name,
                       [&] { return DescribeBuffer(desc); });
}

void ReleaseBuffer(Device& device, Buffer& buffer) {
    if (buffer.mapped) Unmap(buffer);
    DeleteObject(device, ObjectKind::Buffer, buffer.name);
    buffer = Buffer{};
}

void* Map(Buffer& buffer, MapType type) {
    if (type != MapType::WriteDiscard || buffer.desc.usage != Usage::Dynamic ||
        !(buffer.desc.cpuAccessFlags & CpuAccessWrite) || buffer.mapped) {
        return nullptr;
    }
    // Orphan: new storage under the same name (bindings stay valid); draws already queued keep
    // reading the old storage, so the write below needs no synchronisation.
    glNamedBufferData(buffer.name, buffer.desc.byteWidth, nullptr, GL_STREAM_DRAW);
    void* data = glMapNamedBufferRange(
        buffer.name, 0, buffer.desc.byteWidth,
        GL_MAP_WRITE_BIT | GL_MAP_INVALIDATE_BUFFER_BIT | GL_MAP_UNSYNCHRONIZED_BIT);
    buffer.mapped = data != nullptr;
    return data;
}

void Unmap(Buffer& buffer) {
    if (!buffer.mapped) return;
    glUnmapNamedBuffer(buffer.name);
    buffer.mapped = false;
}

}  // namespace quixo::gfx
