#include "render_harness.h"

#include "cube_program.h"
#include "graph/scene_data.h"
#include "startup/show_frame.h"
#include "startup/startup.h"
#include "unit/graph_builder.h"

namespace quixo::gfx::test {

void EnsureArenas() {
    quixo::test::EnsureGraphCore();
}

namespace {

bool Start(RenderHarness& h) {
    SwapChainDesc desc{h.width, h.height, Format::R8G8B8A8_UNORM};
    if (!CreateSwapChain(Graphics().device, desc, nullptr, h.swapChain)) return false;
    h.rd.width = static_cast<std::int32_t>(h.width);
    h.rd.height = static_cast<std::int32_t>(h.height);
    if (h.content == Content::Show) {
        StartContent(h.rd, Graphics().device, Graphics().context, h.swapChain,
                     ContentOptions{false, true, false});
        return h.rd.gpu != nullptr;
    }
    SetupDevice(h.rd, Graphics().device, Graphics().context, h.swapChain);
    h.rd.gpu->timerQueries = true;
    CompileShaders(h.rd);
    UploadMesh(Graphics().device, CubeProgramStreams(), h.rd.gpu->meshes.entries[kCubeEntry]);
    CreateRenderResources(h.rd, false, false);
    return true;
}

}  // namespace

RenderHarness& OpenRenderer(std::uint32_t width, std::uint32_t height, Content content) {
    // Earlier harnesses stay alive: the GPU state may still point at their swap chains until
    // the new one is set up, and their GL objects are the test program's to leak.
    static RenderHarness* current = nullptr;
    if (current == nullptr || current->width != width || current->height != height ||
        current->content != content) {
        EnsureArenas();
        current = new RenderHarness;
        current->width = width;
        current->height = height;
        current->content = content;
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
