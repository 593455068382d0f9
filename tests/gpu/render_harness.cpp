#include "render_harness.h"

#include <memory>

#include "cube_program.h"
#include "graph/scene_data.h"
#include "startup/show_frame.h"
#include "unit/graph_builder.h"

namespace quixo::gfx::test {

void EnsureArenas() {
    quixo::test::EnsureGraphCore();
}

namespace {

bool Start(RenderHarness& h) {
    SwapChainDesc desc{h.width, h.height, Format::R8G8B8A8_UNORM};
    if (!CreateSwapChain(Graphics().device, desc, nullptr, h.swapChain)) return false;
    if (h.content == Content::Show) {
        RuntimeOptions options;
        options.width = static_cast<std::int32_t>(h.width);
        options.height = static_cast<std::int32_t>(h.height);
        options.lent = LentGraphics{&Graphics().device, &Graphics().context, &h.swapChain};
        StartRuntime(h.runtime, options);
        return h.rd.gpu != nullptr;
    }
    h.rd.width = static_cast<std::int32_t>(h.width);
    h.rd.height = static_cast<std::int32_t>(h.height);
    SetupDevice(h.rd, Graphics().device, Graphics().context, h.swapChain);
    h.rd.gpu->timerQueries = true;
    CompileShaders(h.rd);
    UploadMesh(Graphics().device, CubeProgramStreams(), h.rd.gpu->meshes.entries[kCubeEntry]);
    CreateRenderResources(h.rd, false, false);
    return true;
}

// Everything the harness made, released; the renderer's one GPU state goes with it.
void Stop(RenderHarness& h) {
    if (h.content == Content::Show) {
        ShutdownRuntime(h.runtime);
    } else {
        ReleaseRenderer(h.rd);
    }
    ReleaseSwapChain(Graphics().device, h.swapChain);
}

}  // namespace

RenderHarness& OpenRenderer(std::uint32_t width, std::uint32_t height, Content content) {
    static std::unique_ptr<RenderHarness> current;
    if (current == nullptr || current->width != width || current->height != height ||
        current->content != content) {
        if (current != nullptr) Stop(*current);
        EnsureArenas();
        current = std::make_unique<RenderHarness>(content);
        current->width = width;
        current->height = height;
        EXPECT_TRUE(Start(*current)) << width << " x " << height;
    }
    return *current;
}

ClockReading ClockAt(std::int32_t frame) {
    const auto durations = TimelineDurations();
    std::int32_t ms = static_cast<std::int32_t>(std::int64_t{frame} * 1666 / 100);
    while (ReadClock(ms, durations.data()).frame < frame) ++ms;
    return ReadClock(ms, durations.data());
}

void PlayFrame(RenderHarness& show, std::int32_t frame) {
    RunShowFrame(show.rd, ClockAt(frame), FrameOutput::Draw);
}

}  // namespace quixo::gfx::test
