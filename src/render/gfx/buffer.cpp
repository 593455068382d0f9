#include "render/gfx/buffer.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

bool CreateBuffer(Device& device, const BufferDesc& desc, const void* initialData, Buffer& buffer) {
    (void)device;
    if (desc.byteWidth == 0) return false;
    buffer.desc = desc;
    glCreateBuffers(1, &buffer.name);
    if (desc.usage == Usage::Dynamic) {
        // Mutable storage, so that a discard can orphan it.
        glNamedBufferData(buffer.name, desc.byteWidth, initialData, GL_STREAM_DRAW);
    } else {
        glNamedBufferStorage(buffer.name, desc.byteWidth, initialData,
                             desc.usage == Usage::Default ? GL_DYNAMIC_STORAGE_BIT : 0);
    }
    return buffer.name != 0;
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
