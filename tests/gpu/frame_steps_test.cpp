// The renderer's frame chain on the headless device, step by step where nothing else would
// notice a slip: the targets as start-up makes them, the blurs keeping a flat image's level,
// and the show's per-frame resets through the function the demo calls.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/draw_lists.h"
#include "core/render_settings.h"
#include "render/gfx/buffer_readback.h"
#include "render_harness.h"
#include "startup/show_frame.h"

namespace quixo::gfx::test {
namespace {

constexpr std::uint32_t kW = 64;
constexpr std::uint32_t kH = 36;

class FrameSteps : public GpuTest {
protected:
    void SetUp() override {
        GpuTest::SetUp();
        RenderHarness& h = OpenRenderer(kW, kH);
        ASSERT_NE(h.rd.gpu, nullptr);
        RebindLongLivedState(h.rd);
        ResetSettingsToStart(Settings());
        ResetAfterPresent(Settings());
        ResetListCounts(Lists());
    }
    static RenderDevice& rd() { return OpenRenderer(kW, kH).rd; }
};

// What the composite and the blurs sample: the colour targets with a mip chain (the bloom's
// bright pass and the scene colour read a lower level), the velocity-and-depth target in half
// floats, since velocities are signed and depth needs more than 8 bits.
TEST_F(FrameSteps, TargetsHaveTheirFormatsSizesAndMipChains) {
    struct Shape {
        Format format;
        std::uint32_t mips;  // 7: the full chain of 64 × 36
    };
    const Shape shapes[kTargetCount] = {
        {Format::B8G8R8A8_UNORM, 7},     {Format::B8G8R8A8_UNORM, 7},
        {Format::B8G8R8A8_UNORM, 7},     {Format::B8G8R8A8_UNORM, 7},
        {Format::R16G16B16A16_FLOAT, 1}, {Format::R16G16B16A16_FLOAT, 1},
        {Format::R16G16B16A16_FLOAT, 1},
    };
    GpuState& gpu = *rd().gpu;
    for (int t = 0; t < kTargetCount; ++t) {
        const Texture2DDesc& desc = gpu.targets[t].texture.desc;
        EXPECT_EQ(desc.format, shapes[t].format) << t;
        EXPECT_EQ(desc.mipLevels, shapes[t].mips) << t;
        EXPECT_EQ(desc.width, kW) << t;
        EXPECT_EQ(desc.height, kH) << t;
        EXPECT_EQ(gpu.targets[t].width, int(kW)) << t;
        EXPECT_EQ(gpu.targets[t].height, int(kH)) << t;
    }
    const RenderTarget& velocity = gpu.targets[kTargetVelocityDepth];
    const float motion[4] = {-0.3125f, -0.75f, 1.0f, 0.8125f};
    ClearRenderTargetView(ctx(), velocity.renderTargetView, motion);
    const std::vector<float> back = ReadTexturePixels(velocity.texture);
    for (int c = 0; c < 4; ++c) EXPECT_FLOAT_EQ(back[c], motion[c]) << c;
}

// The bloom and depth-of-field blurs of a flat frame give that frame back: their weights sum
// to one and their taps stay on the image, at the reference spacing or any other.
TEST_F(FrameSteps, AFlatFrameKeepsItsLevelThroughTheBloomAndDepthOfFieldBlurs) {
    RenderSettings& s = Settings();
    const float grey[3] = {0.4f, 0.4f, 0.4f};
    struct Case {
        bool bloom, dof;
        float add;  // the bloom colour, added wherever the bright pass passes
    };
    for (const Case c : {Case{false, true, 0.0f}, Case{true, false, 0.25f}}) {
        SCOPED_TRACE(c.bloom ? "bloom" : "depth of field");
        // Two frames: the bright pass reads the scene colour's mip chain of the frame before.
        for (int frame = 0; frame < 2; ++frame) {
            ResetListCounts(Lists());
            std::copy(grey, grey + 3, s.clearColor);
            s.bloomEnabled = c.bloom;
            s.bloomThreshold = 0.1f;
            s.bloomColor = c.add;
            s.dofEnabled = c.dof;
            s.dofFocus = 0.0f;  // the cleared depth of 1 is as far from it as can be
            RenderFrame(rd());
        }
        const std::vector<std::uint8_t> image = ReadBackBuffer(rd());
        const int want = int(std::lround((std::round(grey[0] * 255) / 255 + c.add) * 255));
        for (std::uint32_t y = 0; y < kH; y += 5) {
            for (std::uint32_t x = 0; x < kW; x += 7) {
                EXPECT_NEAR(image[(y * kW + x) * 4], want, 2) << x << ", " << y;
            }
        }
    }
}

// The demo's frame step resets the transition and the list counts before the graph runs, and
// the clear colour and the effect switches (and debug lines) after the frame, drawn or
// skipped. A frame of the show played over left-over state is the same frame.
TEST_F(FrameSteps, TheShowFrameStepResetsWhatLastsOneFrame) {
    RenderHarness& show = OpenRenderer(kW, kH, Content::Show);
    ASSERT_NE(show.rd.gpu, nullptr);
    RebindLongLivedState(show.rd);
    constexpr std::int32_t kFrame = 300;  // a title card over the boot scene
    PlayFrame(show, kFrame - 1);
    PlayFrame(show, kFrame);
    const std::vector<std::uint8_t> clean = ReadBackBuffer(show.rd);
    const std::uint32_t counts[3] = {Lists().opaqueCount, Lists().blendedCount,
                                     Lists().spriteCount};

    PlayFrame(show, kFrame - 1);
    RenderSettings& s = Settings();
    s.transitionType = 3;
    s.transitionFactor = 0.1f;
    Lists().opaqueCount += 7;
    Lists().blendedCount += 3;
    Lists().spriteCount += 2;
    PlayFrame(show, kFrame);
    EXPECT_EQ(Lists().opaqueCount, counts[0]);
    EXPECT_EQ(Lists().blendedCount, counts[1]);
    EXPECT_EQ(Lists().spriteCount, counts[2]);
    EXPECT_GT(Lists().spriteCount, 0u);
    EXPECT_TRUE(ReadBackBuffer(show.rd) == clean) << "left-over state changed the frame";

    for (const FrameOutput output : {FrameOutput::Draw, FrameOutput::Skip}) {
        const float red[4] = {1, 0, 0, 1};
        std::copy(red, red + 4, s.clearColor);
        s.bloomEnabled = s.dofEnabled = s.motionBlurEnabled = 1;
        Lists().debugLineCount = 5;
        RunShowFrame(show.rd, ClockAt(kFrame), output);
        EXPECT_NEAR(s.clearColor[0], 30.0f / 255, 1e-6f);
        EXPECT_NEAR(s.clearColor[1], 65.0f / 255, 1e-6f);
        EXPECT_NEAR(s.clearColor[2], 90.0f / 255, 1e-6f);
        EXPECT_EQ(s.bloomEnabled, 0);
        EXPECT_EQ(s.dofEnabled, 0);
        EXPECT_EQ(s.motionBlurEnabled, 0);
        EXPECT_EQ(Lists().debugLineCount, 0u);
    }
}

}  // namespace
}  // namespace quixo::gfx::test
