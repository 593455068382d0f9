// The textures: PNG decoding (and each mip chain) spread over worker threads from the very
// start, while the GL thread builds meshes and compiles shaders; each upload on the GL thread,
// which owns the context. The show does not wait for all of them: the workers decode first the
// textures the first frame will want, and the rest only once it is presented, so that they do
// not compete with it for the cores; a texture is uploaded the first time a frame draws it
// (decoded next if it is not yet), and after each present one more that is decoded already.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/message_box.h"
#include "platform/thread_priority.h"
#include "render/renderer.h"

namespace quixo {

namespace {

enum class TextureState {
    Pending,  // waits for the workers' background turn
    Wanted,   // decoded before any pending one
    Taken,    // a worker decodes it
    Decoded,
    Uploaded,
};

struct TextureDecoding {
    gfx::DecodedImage images[kTextureCount];
    std::string errors[kTextureCount];
    bool ok[kTextureCount] = {};
    // Guarded by mutex, as are images, errors and ok once the workers run.
    TextureState state[kTextureCount] = {};
    bool background = false;  // workers may take pending images
    bool stop = false;        // workers take no more images
    bool started = false;
    double uploadSeconds = 0.0;
    // Set once every texture of this start-up is uploaded: the frames that follow look no
    // further, without the lock.
    std::atomic<bool> allUploaded{false};
    std::mutex mutex;
    std::condition_variable decoded;  // an image was decoded
    std::condition_variable work;     // an image was wanted, or the background turn began
    std::vector<std::thread> workers;

    // A tool may return from main with decoding still running.
    ~TextureDecoding() { Stop(); }
    void Stop() {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            stop = true;
        }
        work.notify_all();
        for (std::thread& t : workers) t.join();
        workers.clear();
    }
};

TextureDecoding& Decoding() {
    static TextureDecoding decoding;
    return decoding;
}

// The lowest wanted image, else in the background turn the lowest pending one, else -1.
int NextImage(const TextureDecoding& d) {
    for (int i = 0; i < kTextureCount; ++i) {
        if (d.state[i] == TextureState::Wanted) return i;
    }
    for (int i = 0; d.background && i < kTextureCount; ++i) {
        if (d.state[i] == TextureState::Pending) return i;
    }
    return -1;
}

bool NoneLeft(const TextureDecoding& d) {
    return std::none_of(std::begin(d.state), std::end(d.state), [](TextureState s) {
        return s == TextureState::Pending || s == TextureState::Wanted;
    });
}

void DecodeWork(TextureDecoding& d) {
    // The GL thread compiles shaders and draws the first frame meanwhile: it goes first.
    LowerThisThreadsPriority();
    const StoredTexture* stored = StoredTextures();
    for (;;) {
        int i;
        {
            std::unique_lock<std::mutex> lock(d.mutex);
            d.work.wait(lock, [&] { return d.stop || NoneLeft(d) || NextImage(d) >= 0; });
            if (d.stop || NoneLeft(d)) return;
            i = NextImage(d);
            d.state[i] = TextureState::Taken;
        }
        gfx::DecodedImage image;
        std::string error;
        // Embedded by the build from images it drew itself: no checksums to verify.
        const bool ok = gfx::DecodePng(stored[i].bytes, stored[i].length, image, error, false);
        if (ok) gfx::MakeMipChain(image);
        {
            const std::lock_guard<std::mutex> lock(d.mutex);
            d.images[i] = std::move(image);
            d.errors[i] = std::move(error);
            d.ok[i] = ok;
            d.state[i] = TextureState::Decoded;
        }
        d.decoded.notify_all();
    }
}

bool AllUploaded(const TextureDecoding& d) {
    return std::all_of(std::begin(d.state), std::end(d.state),
                       [](TextureState s) { return s == TextureState::Uploaded; });
}

// Uploads decoded image i; the caller holds the lock and has checked that it is decoded.
void Upload(GpuState& gpu, TextureDecoding& d, int i) {
    const auto start = std::chrono::steady_clock::now();
    if (!d.ok[i]) {
        FatalError("texture " + std::to_string(i) + ": not a valid PNG image (" + d.errors[i] +
                   ")");
    }
    std::string error;
    if (!gfx::CreateTextureFromImage(*gpu.device, d.images[i], i, gpu.textures.entries[i], error)) {
        FatalError(error);
    }
    d.images[i] = gfx::DecodedImage{};  // the pixels live on the GPU now
    d.state[i] = TextureState::Uploaded;
    if (AllUploaded(d)) d.allUploaded = true;
    d.uploadSeconds +=
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Joins the workers once every image is uploaded, so that none outlives its work.
void JoinWhenDone(TextureDecoding& d, std::unique_lock<std::mutex>& lock) {
    if (d.workers.empty() || !AllUploaded(d)) return;
    lock.unlock();
    d.Stop();
    lock.lock();
}

// Lets the workers go on to the images nobody has asked for yet.
void StartBackgroundTurn(TextureDecoding& d) {
    if (d.background) return;
    d.background = true;
    d.work.notify_all();
}

}  // namespace

void StartTextureDecoding(const bool* first) {
    TextureDecoding& d = Decoding();
    // A new start-up (a new device) decodes every image afresh.
    d.Stop();
    {
        const std::lock_guard<std::mutex> lock(d.mutex);
        for (int i = 0; i < kTextureCount; ++i)
            d.state[i] =
                first != nullptr && first[i] ? TextureState::Wanted : TextureState::Pending;
        d.background = first == nullptr;
        d.stop = false;
        d.started = true;
        d.uploadSeconds = 0.0;
        d.allUploaded = false;
    }
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    const unsigned count = std::min<unsigned>(cores, kTextureCount);
    for (unsigned t = 0; t < count; ++t) d.workers.emplace_back(DecodeWork, std::ref(d));
}

const gfx::LoadedTexture* UsableTexture(GpuState& gpu, std::int32_t index) {
    if (index < 0 || index >= kTextureCount) return nullptr;
    TextureDecoding& d = Decoding();
    if (d.allUploaded) return &gpu.textures.entries[index];
    std::unique_lock<std::mutex> lock(d.mutex);
    if (d.state[index] != TextureState::Uploaded) {
        if (!d.started) {
            // Drawn before any start-up began the decoding.
            lock.unlock();
            StartTextureDecoding(nullptr);
            lock.lock();
        }
        if (d.state[index] == TextureState::Pending) {
            d.state[index] = TextureState::Wanted;
            d.work.notify_one();
        }
        d.decoded.wait(lock, [&] {
            return d.state[index] == TextureState::Decoded ||
                   d.state[index] == TextureState::Uploaded;
        });
        if (d.state[index] == TextureState::Decoded) Upload(gpu, d, index);
        JoinWhenDone(d, lock);
    }
    return &gpu.textures.entries[index];
}

void UploadNextTexture(GpuState& gpu) {
    TextureDecoding& d = Decoding();
    if (d.allUploaded) return;
    std::unique_lock<std::mutex> lock(d.mutex);
    StartBackgroundTurn(d);
    for (int i = 0; i < kTextureCount; ++i) {
        if (d.state[i] == TextureState::Decoded) {
            Upload(gpu, d, i);
            break;
        }
    }
    JoinWhenDone(d, lock);
}

void ReleaseTextures(GpuState& gpu) {
    TextureDecoding& d = Decoding();
    d.Stop();
    const std::lock_guard<std::mutex> lock(d.mutex);
    for (int i = 0; i < kTextureCount; ++i) {
        gfx::ReleaseLoadedTexture(*gpu.device, gpu.textures.entries[i]);
        d.images[i] = gfx::DecodedImage{};
        d.errors[i].clear();
        d.ok[i] = false;
        d.state[i] = TextureState::Pending;
    }
    d.started = false;
    d.background = false;
    d.allUploaded = false;
}

void FinishTextures(RenderDevice& rd) {
    {
        TextureDecoding& d = Decoding();
        const std::lock_guard<std::mutex> lock(d.mutex);
        StartBackgroundTurn(d);
    }
    for (int i = 0; i < kTextureCount; ++i) UsableTexture(*rd.gpu, i);
}

void CreateTextures(RenderDevice& rd) {
    StartTextureDecoding(nullptr);
    FinishTextures(rd);
}

double TextureUploadSeconds() {
    TextureDecoding& d = Decoding();
    const std::lock_guard<std::mutex> lock(d.mutex);
    return d.uploadSeconds;
}

}  // namespace quixo
