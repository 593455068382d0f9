// Start-up costs of the renderer: all 40 shader entries made ready to draw (HLSL compile, GL
// program, and one draw each, which is where Mesa generates the machine code), cold with Mesa's
// shader cache disabled and warm with it; and one 2048 × 2048 RGBA PNG loaded with its mips.
#include <benchmark/benchmark.h>
#include <spng.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <random>

#include "memory/arena.h"
#include "render/gfx/headless.h"
#include "render/gfx/texture_loader.h"
#include "render/shader_library.h"
#include "startup/runtime.h"

namespace {

using namespace quixo;

// Builds the tables and draws a one-pixel strip with every entry; seconds taken.
double BuildAndDrawAll(gfx::HeadlessGraphics& g) {
    static VertexShaderTable vertex;
    static PixelShaderTable pixel;
    static gfx::Texture2D texture;
    static gfx::RenderTargetView target;
    if (texture.name == 0) {
        gfx::Texture2DDesc desc;
        desc.width = desc.height = 1;
        desc.format = gfx::Format::R8G8B8A8_UNORM;
        desc.bindFlags = gfx::BindRenderTarget;
        if (!gfx::CreateTexture2D(g.device, desc, nullptr, texture) ||
            !gfx::CreateRenderTargetView(g.device, texture, target)) {
            return -1.0;
        }
    }
    const auto start = std::chrono::steady_clock::now();
    const ShaderBuildReport report =
        BuildShaderTables(g.device, EmbeddedShaderLibrary(), vertex, pixel);
    gfx::DeviceContext& ctx = g.context;
    gfx::OMSetRenderTargets(ctx, &target, nullptr);
    gfx::Viewport vp;
    vp.width = vp.height = 1;
    gfx::RSSetViewports(ctx, vp);
    gfx::IASetPrimitiveTopology(ctx, gfx::PrimitiveTopology::TriangleStrip);
    const int draws = vertex.count > pixel.count ? vertex.count : pixel.count;
    for (int i = 0; i < draws; ++i) {
        const int v = i < vertex.count ? i : 2;
        gfx::IASetInputLayout(ctx, &vertex.entries[v].layout);
        gfx::VSSetShader(ctx, &vertex.entries[v].shader);
        gfx::PSSetShader(ctx, &pixel.entries[i < pixel.count ? i : 2]);
        gfx::Draw(ctx, 4, 0);
    }
    gfx::Finish(ctx);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return report.ok() ? seconds : -1.0;
}

void EnsureArenas() {
    static bool done = [] {
        PrepareRuntime();
        return true;
    }();
    (void)done;
}

// Cold: a fresh process with the disk cache off, so nothing compiled before is reused.
void BM_ShaderLibraryCold(benchmark::State& state) {
    for (auto _ : state) {
        int fds[2];
        if (pipe(fds) != 0) state.SkipWithError("pipe");
        const pid_t pid = fork();
        if (pid == 0) {
            setenv("MESA_SHADER_CACHE_DISABLE", "true", 1);
            EnsureArenas();
            static gfx::HeadlessGraphics g;
            std::string error;
            double seconds = gfx::StartHeadless(g, 1, 1, error) ? BuildAndDrawAll(g) : -1.0;
            if (write(fds[1], &seconds, sizeof seconds) != sizeof seconds) _exit(1);
            _exit(0);
        }
        double seconds = -1.0;
        if (read(fds[0], &seconds, sizeof seconds) != sizeof seconds) seconds = -1.0;
        close(fds[0]);
        close(fds[1]);
        waitpid(pid, nullptr, 0);
        if (seconds < 0) state.SkipWithError("the shader library did not build");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_ShaderLibraryCold)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

gfx::HeadlessGraphics& Graphics() {
    static gfx::HeadlessGraphics g;
    static bool started = [] {
        std::string error;
        return gfx::StartHeadless(g, 1, 1, error);
    }();
    (void)started;
    return g;
}

// Warm: the same process again with Mesa's disk cache filled by the first build.
void BM_ShaderLibraryWarm(benchmark::State& state) {
    EnsureArenas();
    gfx::HeadlessGraphics& g = Graphics();
    BuildAndDrawAll(g);  // fills the cache
    for (auto _ : state) {
        const double seconds = BuildAndDrawAll(g);
        if (seconds < 0) state.SkipWithError("the shader library did not build");
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(BM_ShaderLibraryWarm)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

std::vector<std::uint8_t> NoisePng(std::uint32_t side) {
    std::vector<std::uint8_t> rgba(std::size_t{side} * side * 4);
    std::mt19937 random(7);
    // Smooth-ish content compresses like a real texture rather than pure noise.
    for (std::size_t i = 0; i < rgba.size(); ++i) {
        rgba[i] = static_cast<std::uint8_t>((i / 4 % side) / 8 + (random() & 15));
    }
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = header.height = side;
    header.bit_depth = 8;
    header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    spng_set_ihdr(ctx, &header);
    spng_encode_image(ctx, rgba.data(), rgba.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    std::size_t size = 0;
    int error = 0;
    auto* data = static_cast<std::uint8_t*>(spng_get_png_buffer(ctx, &size, &error));
    std::vector<std::uint8_t> png(data, data + size);
    std::free(data);
    spng_ctx_free(ctx);
    return png;
}

void BM_LoadPng2048(benchmark::State& state) {
    gfx::HeadlessGraphics& g = Graphics();
    const std::vector<std::uint8_t> png = NoisePng(2048);
    for (auto _ : state) {
        gfx::LoadedTexture loaded;
        std::string error;
        if (!gfx::CreateTextureFromMemory(g.device, png.data(), png.size(), 0, loaded, error)) {
            state.SkipWithError(error.c_str());
        }
        gfx::Finish(g.context);
    }
    state.counters["pngBytes"] = static_cast<double>(png.size());
}
BENCHMARK(BM_LoadPng2048)->Unit(benchmark::kMillisecond);

}  // namespace
