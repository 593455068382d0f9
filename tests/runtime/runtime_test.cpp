// The show's runtime brought up and taken down twice in one process, on one GL context: after
// each shutdown neither the device's own count nor GL knows of any object the device made, no
// GL error was seen, and the second start draws the very frame the first did.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/timeline.h"
#include "graph/scene_data.h"
#include "memory/arena.h"
#include "render/gfx/headless.h"
#include "render/renderer.h"
#include "startup/runtime.h"
#include "startup/show_frame.h"

namespace quixo::test {
namespace {

// A frame inside scene 2, which draws meshes, sprites and every post-processing pass.
constexpr std::int32_t kFrame = 900;

std::vector<std::uint8_t> StartDrawAndShutDown(Runtime& runtime, std::uint32_t& highestName) {
    RuntimeOptions options;
    options.width = 64;
    options.height = 36;
    options.debugOutput = true;
    options.timerQueries = true;
    StartRuntime(runtime, options);
    EXPECT_NE(runtime.rd, nullptr);
    if (runtime.rd == nullptr) return {};
    const auto durations = TimelineDurations();
    const auto ms = static_cast<std::int32_t>((std::int64_t{kFrame} * 1666 + 99) / 100);
    RunShowFrame(*runtime.rd, ReadClock(ms, durations.data()), FrameOutput::Draw);
    std::vector<std::uint8_t> frame = ReadBackBuffer(*runtime.rd);
    FinishTextures(*runtime.rd);  // every kind of object made at least once
    // The device's own count and GL's agree (fences have no names).
    const std::uint32_t live = gfx::LiveObjectCount(runtime.device);
    const std::uint32_t fences = runtime.device.live[static_cast<int>(gfx::ObjectKind::Sync)];
    EXPECT_GT(live, 200u);
    highestName = 2 * live + 64;
    EXPECT_EQ(gfx::GlObjectsNamed(highestName), live - fences);
    ShutdownRuntime(runtime);
    return frame;
}

TEST(Runtime, StartsAndShutsDownTwiceLeavingNoGlObjectAndNoError) {
    gfx::HeadlessContext gl;
    std::string error;
    ASSERT_TRUE(gfx::StartHeadlessContext(gl, error)) << error;
    std::vector<std::uint8_t> frames[2];
    for (std::vector<std::uint8_t>& frame : frames) {
        Runtime runtime;
        std::uint32_t highestName = 0;
        frame = StartDrawAndShutDown(runtime, highestName);
        EXPECT_EQ(runtime.rd, nullptr);
        EXPECT_EQ(gfx::LiveObjectCount(runtime.device), 0u)
            << gfx::LiveObjectSummary(runtime.device);
        EXPECT_EQ(gfx::GlObjectsNamed(highestName), 0u);
        EXPECT_EQ(gfx::GlErrorCount(runtime.device), 0u) << gfx::GlErrorText(runtime.device);
        EXPECT_EQ(MemoryArena().base, nullptr);
        EXPECT_EQ(Device().gpu, nullptr);
    }
    ASSERT_FALSE(frames[0].empty());
    EXPECT_TRUE(frames[0] == frames[1]) << "the second start drew another frame";
    gfx::StopHeadlessContext(gl);
}

}  // namespace
}  // namespace quixo::test
