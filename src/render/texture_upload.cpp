// The textures at start-up: PNG decoding spread over worker threads while the GL thread builds
// meshes and compiles shaders, then the uploads in table order on the GL thread.
#include <algorithm>
#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_box.h"
#include "render/renderer.h"

namespace quixo {

namespace {

struct TextureDecoding {
    gfx::DecodedImage images[kTextureCount];
    std::string errors[kTextureCount];
    bool ok[kTextureCount] = {};
    std::atomic<int> next{0};
    std::vector<std::thread> workers;
};

TextureDecoding& Decoding() {
    static TextureDecoding decoding;
    return decoding;
}

void DecodeWork(TextureDecoding& d) {
    const StoredTexture* stored = StoredTextures();
    for (int i = d.next++; i < kTextureCount; i = d.next++) {
        // Embedded by the build from images it drew itself: no checksums to verify.
        d.ok[i] =
            gfx::DecodePng(stored[i].bytes, stored[i].length, d.images[i], d.errors[i], false);
    }
}

}  // namespace

void StartTextureDecoding() {
    TextureDecoding& d = Decoding();
    if (!d.workers.empty()) return;
    d.next = 0;
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned count = std::min<unsigned>(cores, kTextureCount);
    for (unsigned t = 0; t < count; ++t) d.workers.emplace_back(DecodeWork, std::ref(d));
}

void CreateTextures(RenderDevice& rd) {
    GpuState& gpu = *rd.gpu;
    TextureDecoding& d = Decoding();
    StartTextureDecoding();
    // The GL thread decodes too rather than wait idle.
    DecodeWork(d);
    for (std::thread& t : d.workers) t.join();
    d.workers.clear();
    for (int i = 0; i < kTextureCount; ++i) {
        std::string error;
        if (!d.ok[i]) {
            FatalError("texture " + std::to_string(i) + ": not a valid PNG image (" + d.errors[i] +
                       ")");
        }
        if (!gfx::CreateTextureFromImage(*gpu.device, d.images[i], i, gpu.textures.entries[i],
                                         error)) {
            FatalError(error);
        }
        d.images[i] = gfx::DecodedImage{};  // the pixels live on the GPU now
    }
}

}  // namespace quixo
