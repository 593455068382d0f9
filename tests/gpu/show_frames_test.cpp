// The embedded show on the headless device: one frame from the middle of each scene, started
// and played as the demo does, must raise no GL error and show a picture rather than one flat
// colour (a scene whose camera, meshes or shaders are broken tends to leave the clear colour).
#include <algorithm>
#include <cstdlib>
#include <map>
#include <vector>

#include "core/timeline.h"
#include "graph/scene_data.h"
#include "render_harness.h"
#include "startup/show_frame.h"

namespace quixo::gfx::test {
namespace {

constexpr int kW = 160;
constexpr int kH = 90;

// The content start-up once for the whole binary, on its own swap chain of the frame size.
RenderHarness& TheShow() {
    return OpenRenderer(kW, kH, Content::Show);
}

struct Spread {
    int colours;         // distinct RGB values
    double commonShare;  // the most frequent colour's share of the pixels
};

Spread ColourSpread(const std::vector<std::uint8_t>& rgba) {
    std::map<std::uint32_t, int> counts;
    for (std::size_t i = 0; i + 3 < rgba.size(); i += 4) {
        ++counts[(std::uint32_t{rgba[i]} << 16) | (std::uint32_t{rgba[i + 1]} << 8) | rgba[i + 2]];
    }
    int most = 0;
    for (const auto& entry : counts) most = std::max(most, entry.second);
    return {static_cast<int>(counts.size()), double(most) / double(rgba.size() / 4)};
}

using ShowFrames = GpuTest;

TEST_F(ShowFrames, TheMiddleFrameOfEverySceneRendersWithoutErrorAndIsNotFlat) {
    RenderHarness& show = TheShow();
    ASSERT_NE(show.rd.gpu, nullptr);
    RebindLongLivedState(show.rd);
    const auto durations = TimelineDurations();
    std::int32_t start = 0;
    for (int s = 0; s < kSceneCount; ++s) {
        SCOPED_TRACE("scene " + std::to_string(s));
        const std::int32_t middle = start + durations[s] / 2;
        start += durations[s];
        ASSERT_EQ(ClockAt(middle).scene, s);
        const std::uint64_t errorsBefore = GlErrorCount(device());
        // The frame before as well, so that what lags a frame (previous transforms) is set.
        PlayFrame(show, middle - 1);
        PlayFrame(show, middle);
        const Spread spread = ColourSpread(ReadBackBuffer(show.rd));
        EXPECT_EQ(GlErrorCount(device()), errorsBefore) << GlErrorText(device());
        EXPECT_GT(spread.colours, 1) << "frame " << middle << " is one flat colour";
        // A speck on an empty background is a broken scene too; the busiest title card of the
        // show leaves about four fifths of the frame to its background.
        EXPECT_LT(spread.commonShare, 0.95)
            << "frame " << middle << " is all but flat: " << spread.commonShare
            << " of it one colour";
    }
}

// The frame as the demo draws it (state already bound is not set again, every item's
// constants in one ring bound by range) must be, bit for bit, the frame of the plain path that
// uploads each item's constants into their own buffer and sets every state for every draw. Two
// frames of every scene, each drawn after the frame before it, so that what lags a frame is
// the same in both.
TEST_F(ShowFrames, EveryScenesFramesMatchThePlainDrawPathBitForBit) {
    RenderHarness& show = TheShow();
    ASSERT_NE(show.rd.gpu, nullptr);
    RebindLongLivedState(show.rd);
    const std::uint64_t errorsBefore = GlErrorCount(device());
    const auto durations = TimelineDurations();
    std::int32_t start = 0;
    for (int s = 0; s < kSceneCount; ++s) {
        for (const std::int32_t frame : {start + durations[s] / 4, start + durations[s] * 3 / 4}) {
            SCOPED_TRACE("scene " + std::to_string(s) + " frame " + std::to_string(frame));
            std::vector<std::uint8_t> pictures[2];
            for (const bool plain : {false, true}) {
                SetReferenceDrawing(show.rd, plain);
                PlayFrame(show, frame - 1);
                PlayFrame(show, frame);
                pictures[plain ? 1 : 0] = ReadBackBuffer(show.rd);
            }
            ASSERT_EQ(pictures[0].size(), pictures[1].size());
            std::size_t differing = 0;
            for (std::size_t i = 0; i < pictures[0].size(); ++i) {
                differing += pictures[0][i] != pictures[1][i];
            }
            EXPECT_EQ(differing, 0u) << "bytes that differ from the plain path";
        }
        start += durations[s];
    }
    SetReferenceDrawing(show.rd, false);
    EXPECT_EQ(GlErrorCount(device()), errorsBefore) << GlErrorText(device());
}

}  // namespace
}  // namespace quixo::gfx::test
