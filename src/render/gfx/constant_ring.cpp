#include "render/gfx/constant_ring.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

bool CreateConstantRing(Device& device, std::uint32_t records, std::uint32_t recordBytes,
                        ConstantRing& ring) {
    ring = ConstantRing{};
    GLint alignment = 0;
    glGetIntegerv(GL_UNIFORM_BUFFER_OFFSET_ALIGNMENT, &alignment);
    if (alignment > 0) ring.alignment = static_cast<std::uint32_t>(alignment);
    ring.segmentBytes =
        records * ((recordBytes + ring.alignment - 1) / ring.alignment * ring.alignment);
    const GLbitfield flags = GL_MAP_WRITE_BIT | GL_MAP_PERSISTENT_BIT | GL_MAP_COHERENT_BIT;
    const GLsizeiptr total = GLsizeiptr{ring.segmentBytes} * kRingFrames;
    ring.buffer.desc = {static_cast<std::uint32_t>(total), Usage::Dynamic, BindConstantBuffer,
                        CpuAccessWrite};
    BeginCreation(device);
    glCreateBuffers(1, &ring.buffer.name);
    glNamedBufferStorage(ring.buffer.name, total, nullptr, flags);
    ring.mapped =
        static_cast<std::uint8_t*>(glMapNamedBufferRange(ring.buffer.name, 0, total, flags));
    const auto describe = [&] {
        return "persistently mapped constant ring, " + DescribeBuffer(ring.buffer.desc);
    };
    if (!EndCreation(device, ObjectKind::Buffer, ring.buffer.name, describe)) {
        ring = ConstantRing{};
        return false;
    }
    if (ring.mapped == nullptr) {
        ReleaseConstantRing(device, ring);
        return RefuseCreation(device, describe(), "GL cannot map it");
    }
    // The first BeginRingFrame steps to segment 0.
    ring.segment = kRingFrames - 1;
    ring.head = ring.segmentBytes;
    return true;
}

void ReleaseConstantRing(Device& device, ConstantRing& ring) {
    for (void*& fence : ring.fences) {
        if (fence == nullptr) continue;
        glDeleteSync(static_cast<GLsync>(fence));
        --device.live[static_cast<std::uint32_t>(ObjectKind::Sync)];
        fence = nullptr;
    }
    if (ring.mapped != nullptr) glUnmapNamedBuffer(ring.buffer.name);
    DeleteObject(device, ObjectKind::Buffer, ring.buffer.name);
    ring = ConstantRing{};
}

void BeginRingFrame(Device& device, ConstantRing& ring) {
    ring.segment = (ring.segment + 1) % kRingFrames;
    ring.head = 0;
    auto fence = static_cast<GLsync>(ring.fences[ring.segment]);
    if (fence == nullptr) return;
    // A frame or two behind: normally long signalled, so this returns at once.
    while (glClientWaitSync(fence, GL_SYNC_FLUSH_COMMANDS_BIT, 1'000'000'000) ==
           GL_TIMEOUT_EXPIRED) {
    }
    glDeleteSync(fence);
    --device.live[static_cast<std::uint32_t>(ObjectKind::Sync)];
    ring.fences[ring.segment] = nullptr;
}

void EndRingFrame(Device& device, ConstantRing& ring) {
    if (ring.mapped == nullptr) return;
    void*& fence = ring.fences[ring.segment];
    if (fence != nullptr) {
        glDeleteSync(static_cast<GLsync>(fence));
        --device.live[static_cast<std::uint32_t>(ObjectKind::Sync)];
    }
    fence = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    // Without a fence the next use of the segment cannot wait for the GPU: wait now instead.
    if (fence == nullptr) {
        glFinish();
    } else {
        ++device.live[static_cast<std::uint32_t>(ObjectKind::Sync)];
    }
}

bool AllocateRing(ConstantRing& ring, std::uint32_t bytes, std::uint32_t& offset, void*& data) {
    if (ring.mapped == nullptr || bytes > ring.segmentBytes - ring.head) return false;
    offset = ring.segment * ring.segmentBytes + ring.head;
    data = ring.mapped + offset;
    const std::uint32_t used = (bytes + ring.alignment - 1) / ring.alignment * ring.alignment;
    ring.head = used < ring.segmentBytes - ring.head ? ring.head + used : ring.segmentBytes;
    return true;
}

}  // namespace quixo::gfx
