// Sprites through the renderer: where the draw list puts them and how large, at the reference
// frame and at other sizes and aspect ratios; the order and blending they are drawn with; and
// the show's sprite frames at two sizes giving the same picture.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <initializer_list>

#include "core/draw_lists.h"
#include "core/render_settings.h"
#include "render_harness.h"

namespace quixo::gfx::test {
namespace {

// Uniform parts of the checker texture (0, 1024 × 1024, cells of 128 texels): its first red
// cell and the white cell beside it, 81.92 texels square.
constexpr int kChecker = 0;
constexpr float kRedCell[4] = {0.02f, 0.02f, 0.1f, 0.1f};
constexpr float kWhiteCell[4] = {0.145f, 0.02f, 0.225f, 0.1f};
constexpr float kCellTexels = 1024.0f * 0.08f;

SpriteItem Sprite(const float src[4], float cx, float cy, float sx, float sy, int blend,
                  float alpha, float key) {
    SpriteItem s{};
    std::copy(src, src + 4, s.srcRect);
    s.center[0] = cx;
    s.center[1] = cy;
    s.size[0] = sx;
    s.size[1] = sy;
    s.textureIndex = kChecker;
    s.blendMode = blend;
    s.alpha = alpha;
    s.key = key;
    return s;
}

struct Frame {
    std::uint32_t width, height;
    std::vector<std::uint8_t> rgba;
    const std::uint8_t* at(std::uint32_t x, std::uint32_t y) const {
        return &rgba[(std::size_t{y} * width + x) * 4];
    }
};

// One frame of the renderer at w × h holding only `sprites`, over a flat `clear` colour.
Frame DrawSprites(std::uint32_t w, std::uint32_t h, std::initializer_list<SpriteItem> sprites,
                  const float clear[3]) {
    RenderHarness& harness = OpenRenderer(w, h);
    RenderDevice& rd = harness.rd;
    RebindLongLivedState(rd);
    RenderSettings& s = Settings();
    ResetSettingsToStart(s);
    ResetAfterPresent(s);
    std::copy(clear, clear + 3, s.clearColor);
    ResetListCounts(Lists());
    for (const SpriteItem& sprite : sprites) PushSprite(Lists(), sprite);
    RenderFrame(rd);
    return {w, h, ReadBackBuffer(rd)};
}

struct Box {
    int x0 = 1 << 20, y0 = 1 << 20, x1 = -1, y1 = -1;  // inclusive pixel bounds
};

// The pixels that are neither the background nor anything but the sprite's red.
Box RedBox(const Frame& f) {
    Box b;
    for (std::uint32_t y = 0; y < f.height; ++y) {
        for (std::uint32_t x = 0; x < f.width; ++x) {
            const std::uint8_t* p = f.at(x, y);
            if (p[0] > 150 && p[1] < 60 && p[2] < 60) {
                b.x0 = std::min(b.x0, int(x));
                b.x1 = std::max(b.x1, int(x));
                b.y0 = std::min(b.y0, int(y));
                b.y1 = std::max(b.y1, int(y));
            }
        }
    }
    return b;
}

using Sprites = GpuTest;

// A sprite covers texels × size × h / 1080 pixels vertically and texels × size × h / 1920
// horizontally: the same share of the frame's height at every size, and the shape it has at
// 1920 × 1080 at every aspect ratio. Its centre is (x − 0.5) frame heights right of the
// frame's middle and y frame heights down.
TEST_F(Sprites, SizeAndPositionFollowTheReferenceFrameAtEveryAspectRatio) {
    const float black[3] = {0, 0, 0};
    struct Case {
        std::uint32_t w, h;
    };
    const Case sizes[] = {{192, 108}, {128, 72}, {160, 128}, {96, 128}};
    const float cx = 0.3f, cy = 0.6f, sx = 2.5f, sy = 1.5f;
    for (const Case& c : sizes) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        const Frame f = DrawSprites(c.w, c.h, {Sprite(kRedCell, cx, cy, sx, sy, 0, 1, 0)}, black);
        const float h = static_cast<float>(c.h);
        const float halfW = kCellTexels * sx * h / 1920, halfH = kCellTexels * sy * h / 1080;
        const float centreX = c.w * 0.5f + (cx - 0.5f) * h, centreY = cy * h;
        // A pixel is drawn when its centre is inside.
        const Box want{
            int(std::ceil(centreX - halfW - 0.5f)), int(std::ceil(centreY - halfH - 0.5f)),
            int(std::ceil(centreX + halfW - 0.5f)) - 1, int(std::ceil(centreY + halfH - 0.5f)) - 1};
        const Box got = RedBox(f);
        EXPECT_NEAR(got.x0, want.x0, 1);
        EXPECT_NEAR(got.x1, want.x1, 1);
        EXPECT_NEAR(got.y0, want.y0, 1);
        EXPECT_NEAR(got.y1, want.y1, 1);
        // The shape: width over height as at 1920 × 1080, whatever the aspect ratio.
        const float ratio = float(got.x1 - got.x0 + 1) / float(got.y1 - got.y0 + 1);
        EXPECT_NEAR(ratio, (sx * 1080) / (sy * 1920), 0.12f);
    }
}

// Sprites are drawn smallest key first, each over the last whatever its depth; the blend
// mode picks replace, alpha or additive blending (unknown modes replace).
TEST_F(Sprites, SortOrderDepthOffAndEachBlendMode) {
    constexpr std::uint32_t w = 64, h = 36;
    const float grey[3] = {0.2f, 0.4f, 0.6f};
    // Red over white when red's key is larger, whatever the push order; pushed second and
    // drawn at the same depth, it still shows.
    for (const float redKey : {2.0f, 0.0f}) {
        const Frame f = DrawSprites(w, h,
                                    {Sprite(kRedCell, 0.5f, 0.5f, 2, 1, 0, 1, redKey),
                                     Sprite(kWhiteCell, 0.5f, 0.5f, 4, 2, 0, 1, 1.0f)},
                                    grey);
        const std::uint8_t* centre = f.at(w / 2, h / 2);
        if (redKey > 1) {
            EXPECT_GT(centre[0], 150);
            EXPECT_LT(centre[1], 60) << "the white sprite, key 1, was drawn over key 2";
        } else {
            EXPECT_GT(centre[1], 200) << "the red sprite, key 0, was drawn over key 1";
        }
    }
    const Frame opaque = DrawSprites(w, h, {Sprite(kRedCell, 0.5f, 0.5f, 2, 1, 0, 1, 0)}, grey);
    float texel[3], bg[3];
    for (int c = 0; c < 3; ++c) {
        texel[c] = opaque.at(w / 2, h / 2)[c] / 255.0f;
        bg[c] = std::round(grey[c] * 255.0f) / 255.0f;
    }
    struct Case {
        int mode;
        float source, destination;  // factors of the half-faded texel and of the background
    };
    const Case cases[] = {{0, 1, 0}, {1, 0.5f, 0.5f}, {2, 1, 1}, {5, 1, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE("blend mode " + std::to_string(c.mode));
        const Frame f =
            DrawSprites(w, h, {Sprite(kRedCell, 0.5f, 0.5f, 2, 1, c.mode, 0.5f, 0)}, grey);
        for (int ch = 0; ch < 3; ++ch) {
            const float want = std::min(1.0f, texel[ch] * 0.5f * c.source + bg[ch] * c.destination);
            EXPECT_NEAR(f.at(w / 2, h / 2)[ch], want * 255.0f, 2.0) << "channel " << ch;
            EXPECT_NEAR(f.at(2, 2)[ch], bg[ch] * 255.0f, 1.0) << "background, channel " << ch;
        }
    }
}

// Frames of the show with sprites (the boot scene's title card; the greetings card and glow
// dots), rendered at 1920 × 1080 and at 960 × 540:
// the large one halved matches the small one but for the differences of sampling.
TEST_F(Sprites, ShowFramesAtHalfTheReferenceSizeMatchTheReferenceScaledDown) {
    const std::int32_t frames[] = {300, 7000};
    std::vector<std::vector<std::uint8_t>> small, large;
    struct Size {
        std::uint32_t w, h;
        std::vector<std::vector<std::uint8_t>>* out;
    };
    for (const Size& size : {Size{960, 540, &small}, Size{1920, 1080, &large}}) {
        RenderHarness& show = OpenRenderer(size.w, size.h, Content::Show);
        ASSERT_NE(show.rd.gpu, nullptr);
        RebindLongLivedState(show.rd);
        for (const std::int32_t frame : frames) {
            PlayFrame(show, frame - 1);
            PlayFrame(show, frame);
            size.out->push_back(ReadBackBuffer(show.rd));
        }
    }
    for (std::size_t i = 0; i < std::size(frames); ++i) {
        double error = 0;
        for (std::uint32_t y = 0; y < 540; ++y) {
            for (std::uint32_t x = 0; x < 960; ++x) {
                for (int c = 0; c < 3; ++c) {
                    int sum = 0;
                    for (std::uint32_t k = 0; k < 4; ++k) {
                        sum += large[i][((2 * y + k / 2) * 1920 + 2 * x + k % 2) * 4 + c];
                    }
                    error += std::abs(sum / 4.0 - small[i][(y * 960 + x) * 4 + c]);
                }
            }
        }
        error /= 960.0 * 540.0 * 3.0 * 255.0;
        // Sampling alone leaves about 0.008; a sprite sized in target pixels 0.02 to 0.07.
        EXPECT_LT(error, 0.013) << "frame " << frames[i];
    }
}

}  // namespace
}  // namespace quixo::gfx::test
