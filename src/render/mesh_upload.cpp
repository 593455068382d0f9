// The mesh table: text meshes first, then the stored programs, each uploaded once into
// dynamic buffers written by a single map with discard and never changed again. What fills
// the entries (the modeller, the text builder) is start-up's business.
#include <cstring>
#include <string>

#include "platform/message_box.h"
#include "render/render_passes.h"

namespace quixo {

namespace {

void FillOnce(gfx::Device& device, std::uint32_t bindFlag, const void* data, std::size_t bytes,
              gfx::Buffer& buffer) {
    const gfx::BufferDesc desc{static_cast<std::uint32_t>(bytes), gfx::Usage::Dynamic, bindFlag,
                               gfx::CpuAccessWrite};
    const char* what =
        bindFlag == gfx::BindVertexBuffer ? "a mesh's vertex buffer" : "a mesh's index buffer";
    RequireCreated(gfx::CreateBuffer(device, desc, nullptr, buffer), device, what);
    void* p = gfx::Map(buffer);
    if (p == nullptr) {
        FatalError(std::string("cannot fill ") + what + " (" + gfx::DescribeBuffer(desc) +
                   "): it cannot be mapped");
    }
    std::memcpy(p, data, bytes);
    gfx::Unmap(buffer);
}

}  // namespace

void UploadMesh(gfx::Device& device, const MeshStreams& streams, GpuMesh& entry) {
    entry = GpuMesh{};
    // A mesh without faces would need zero-sized buffers, which the device refuses: the entry
    // stays empty and drawing skips it.
    if (streams.vertices.empty() || streams.indices.empty()) return;
    FillOnce(device, gfx::BindVertexBuffer, streams.vertices.data(),
             streams.vertices.size() * sizeof(MeshVertex), entry.vertexBuffer);
    FillOnce(device, gfx::BindIndexBuffer, streams.indices.data(),
             streams.indices.size() * sizeof(std::uint32_t), entry.indexBuffer);
    entry.indexCount = static_cast<std::uint32_t>(streams.indices.size());
}

int UploadTextMeshes(RenderDevice& rd, const MeshStreams* streams, int count) {
    // More words than the table holds would overwrite memory past it: keep what fits.
    if (count > kMeshTableSize) count = kMeshTableSize;
    for (int i = 0; i < count; ++i) {
        UploadMesh(*rd.gpu->device, streams[i], rd.gpu->meshes.entries[i]);
    }
    return count;
}

}  // namespace quixo
