// The full-screen entries against their formulas: the composite with its transitions, depth
// of field, motion blur and bloom; the bloom bright pass; both gaussian passes on an impulse;
// and the FXAA vertex entry's orientation.
#include "shader_pixels.h"

namespace quixo::gfx::test {
namespace {

constexpr std::uint32_t kW = 8, kH = 8;

// A scene colour that differs in every pixel and channel.
Image SceneColour() {
    return MakeImage(kW, kH, [](std::uint32_t x, std::uint32_t y, float* p) {
        p[0] = 0.1f + 0.1f * static_cast<float>(x);
        p[1] = 0.05f + 0.1f * static_cast<float>(y);
        p[2] = 0.5f;
        p[3] = 0.8f;
    });
}

Image Uniform(float r, float g, float b, float a) {
    return MakeImage(kW, kH, [=](std::uint32_t, std::uint32_t, float* p) {
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = a;
    });
}

float Saturate(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

class Composite : public ShaderPixels {
protected:
    Image Run(const PerFrameData& frame, const CompositeEffectData& effect) {
        SetConstants(0, frame);
        SetConstants(4, effect);
        return Render(kShaderComposite, kShaderComposite, kW, kH);
    }
    void SetUp() override {
        ShaderPixels::SetUp();
        scene = SceneColour();
        SetInput(0, scene);
    }
    Image scene;
};

TEST_F(Composite, TransitionTypesZeroToThree) {
    struct Case {
        std::uint32_t type;
        float factor;
    };
    for (const Case c : {Case{0, 0.3f}, Case{1, 0.25f}, Case{1, 1.7f}, Case{2, 0.75f},
                         Case{3, 0.5f}, Case{3, 0.0f}, Case{4, 0.1f}}) {
        const Image out = Run(PerFrameData{}, {0, c.type, c.factor, 0});
        for (std::uint32_t y = 0; y < kH; ++y) {
            for (std::uint32_t x = 0; x < kW; ++x) {
                const float* r = scene.wrapped(static_cast<int>(x), static_cast<int>(y));
                float want[4] = {r[0], r[1], r[2], r[3]};
                if (c.type == 1) {
                    for (float& v : want) v *= Saturate(c.factor);
                } else if (c.type == 2) {
                    for (float& v : want) v = Saturate(v + Saturate(1 - c.factor));
                } else if (c.type == 3) {
                    const float px = static_cast<float>(x) + 0.5f,
                                py = static_cast<float>(y) + 0.5f;
                    const float qx = (px - kW / 2.0f) / (kW / 2.0f),
                                qy = (py - kH / 2.0f) / (kW / 2.0f);
                    if (std::sqrt(qx * qx + qy * qy) >= c.factor * 1.18f) {
                        want[0] = want[1] = want[2] = 0;
                        want[3] = 1;
                    }
                }
                ExpectPixel(const_cast<Image&>(out).at(x, y), want, 1e-5f, "composite", x, y);
            }
        }
    }
}

TEST_F(Composite, MotionBlurWithoutMotionGivesNineTenthsOfTheColour) {
    SetInput(1, Uniform(0, 0, 1, 0.3f));  // no velocity
    PerFrameData frame{};
    frame.isBlur = 1;
    Image out = Run(frame, {});
    for (std::uint32_t y = 0; y < kH; ++y) {
        for (std::uint32_t x = 0; x < kW; ++x) {
            const float* r = scene.wrapped(static_cast<int>(x), static_cast<int>(y));
            const float want[4] = {r[0] * 0.9f, r[1] * 0.9f, r[2] * 0.9f, 1.0f};
            ExpectPixel(out.at(x, y), want, 1e-5f, "motion blur", x, y);
        }
    }
}

TEST_F(Composite, DepthOfFieldWinsOverMotionBlurAndBloomAdds) {
    // Depth grows across the image; the factor |d - focus| is not clamped.
    const Image depth = MakeImage(kW, kH, [](std::uint32_t x, std::uint32_t, float* p) {
        p[0] = 0.5f;  // a velocity that motion blur would smear with
        p[1] = 0.5f;
        p[2] = 1;
        p[3] = 0.2f * static_cast<float>(x);
    });
    SetInput(1, depth);
    const Image blurred = Uniform(1.0f, 0.0f, 0.25f, 1.0f);
    SetInput(5, blurred);
    SetInput(2, Uniform(0.125f, 0.25f, 0.0f, 0.5f));  // bloom
    PerFrameData frame{};
    frame.isBlur = 1;
    frame.isRenderDof = 1;
    frame.isRenderBloom = 1;
    const float focus = 0.4f;
    Image out = Run(frame, {focus, 0, 0, 0});
    const float bloom[4] = {0.125f, 0.25f, 0.0f, 0.5f};
    for (std::uint32_t y = 0; y < kH; ++y) {
        for (std::uint32_t x = 0; x < kW; ++x) {
            const float t = std::fabs(0.2f * static_cast<float>(x) - focus);
            const float* r = scene.wrapped(static_cast<int>(x), static_cast<int>(y));
            const float* b = blurred.wrapped(0, 0);
            float want[4];
            for (int c = 0; c < 4; ++c) want[c] = r[c] + (b[c] - r[c]) * t + bloom[c];
            ExpectPixel(out.at(x, y), want, 1e-4f, "depth of field", x, y);
        }
    }
}

using PostPasses = ShaderPixels;

TEST_F(PostPasses, BloomHighlightThresholdsLuminanceAtTwiceTheCoordinate) {
    // 2 × 2 blocks of one colour, so the sample between four texels reads the block.
    const Image scene = MakeImage(kW, kH, [](std::uint32_t x, std::uint32_t y, float* p) {
        const float v = 0.15f * static_cast<float>(x / 2 + 2 * (y / 2));
        p[0] = v;
        p[1] = v * 0.5f;
        p[2] = 1.0f - v;
        p[3] = 1;
    });
    SetInput(0, scene);
    const BloomEffectData bloom{0.7f, 0.45f, 0, 0};
    SetConstants(2, bloom);
    Image out = Render(kShaderBloomHighlight, kShaderBloomHighlight, kW, kH);
    for (std::uint32_t y = 0; y < kH; ++y) {
        for (std::uint32_t x = 0; x < kW; ++x) {
            const float* c = scene.wrapped(static_cast<int>(2 * x), static_cast<int>(2 * y));
            const float luma = 0.29891f * c[0] + 0.58661f * c[1] + 0.11448f * c[2];
            const float v = luma > bloom.bloomThrethold ? bloom.bloomColor : 0.0f;
            const float want[4] = {v, v, v, 1};
            ExpectPixel(out.at(x, y), want, 1e-5f, "bloom highlight", x, y);
        }
    }
}

TEST_F(PostPasses, GaussianPassesSpreadAnImpulseWithTheWeights) {
    constexpr std::uint32_t n = 32;  // room for the ±15 taps without overlap
    GaussFilterData gauss{};
    float sum = 0;
    for (int i = 0; i < 8; ++i) {
        sum += gauss.gasWeight[i] = std::exp(-0.1f * static_cast<float>(4 * i * i));
    }
    for (float& v : gauss.gasWeight) v = 0.5f * v / sum;
    gauss.gasScale = 1;
    gauss.gasSpread = 1;
    SetConstants(3, gauss);
    const std::uint32_t cx = 12, cy = 20;
    const Image impulse = MakeImage(n, n, [](std::uint32_t x, std::uint32_t y, float* p) {
        const float v = x == cx && y == cy ? 1.0f : 0.0f;
        p[0] = p[1] = p[2] = p[3] = v;
    });
    SetInput(2, impulse);
    for (int pass = 0; pass < 2; ++pass) {
        const int entry = pass == 0 ? kShaderGauss1 : kShaderGauss2;
        Image out = Render(entry, entry, n, n);
        for (std::uint32_t y = 0; y < n; ++y) {
            for (std::uint32_t x = 0; x < n; ++x) {
                // Along the pass's axis the pixel d texels from the impulse gets weight k when
                // |d| = 2k + 1; everything else stays 0.
                const int along = pass == 0 ? static_cast<int>(x) - static_cast<int>(cx)
                                            : static_cast<int>(y) - static_cast<int>(cy);
                const bool onLine = pass == 0 ? y == cy : x == cx;
                const int d = along < 0 ? -along : along;
                const float v = onLine && d % 2 == 1 && d <= 15 ? gauss.gasWeight[d / 2] : 0.0f;
                const float want[4] = {v, v, v, v};
                ExpectPixel(out.at(x, y), want, 1e-5f, pass == 0 ? "gauss 1" : "gauss 2", x, y);
            }
        }
    }
}

TEST_F(PostPasses, FxaaVertexEntryMeetsClipBottomLeftWithTextureZeroOne) {
    // The debug-line pixel entry shows the interpolated colour: xy is the texture coordinate,
    // zw the same moved back by three quarters of a texel.
    Image out = Render(kShaderFxaa, kShaderDebugLine, kW, kH);
    for (std::uint32_t y = 0; y < kH; ++y) {
        for (std::uint32_t x = 0; x < kW; ++x) {
            const float u = (static_cast<float>(x) + 0.5f) / kW,
                        v = (static_cast<float>(y) + 0.5f) / kH;
            const float want[4] = {u, v, u - 0.75f / kW, v - 0.75f / kH};
            ExpectPixel(out.at(x, y), want, 1e-5f, "fxaa coordinate", x, y);
        }
    }
}

}  // namespace
}  // namespace quixo::gfx::test
