// The object and sprite entries against their formulas: the sprite's rectangle, rotation and
// source rectangle; the Cook-Torrance lighting of baseCook at a known normal, light and eye;
// texTest sampling; the Julia ray march hitting and missing; FXAA across a hard edge.
#include "shader_pixels.h"

namespace quixo::gfx::test {
namespace {

float Dot3(const float* a, const float* b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

void Normalize3(float* v) {
    const float l = std::sqrt(Dot3(v, v));
    for (int i = 0; i < 3; ++i) v[i] /= l;
}

void Identity(float* m) {
    for (int i = 0; i < 16; ++i) m[i] = i % 5 == 0 ? 1.0f : 0.0f;
}

MeshVertex MeshCorner(float x, float y, float u, float v) {
    MeshVertex m{};
    m.position[0] = x;
    m.position[1] = y;
    m.position[2] = 0.5f;
    m.position[3] = 1;
    m.normal[2] = 1;
    m.normal[3] = 1;
    m.texcoord[0] = u;
    m.texcoord[1] = v;
    m.centre[3] = 1;
    return m;
}

// Two triangles over [-s, s]², texture (0, 0) at the top left.
std::vector<MeshVertex> Quad(float s) {
    const MeshVertex tl = MeshCorner(-s, s, 0, 0), tr = MeshCorner(s, s, 1, 0),
                     bl = MeshCorner(-s, -s, 0, 1), br = MeshCorner(s, -s, 1, 1);
    return {tl, tr, bl, tr, br, bl};
}

using ObjectPixels = ShaderPixels;

TEST_F(ObjectPixels, SpriteRectangleSourceRectangleAndRotation) {
    constexpr std::uint32_t n = 16;
    // Left half red, right half green, opaque.
    const Image texture = MakeImage(4, 4, [](std::uint32_t x, std::uint32_t, float* p) {
        p[0] = x < 2 ? 1.0f : 0.0f;
        p[1] = x < 2 ? 0.0f : 1.0f;
        p[2] = 0;
        p[3] = 1;
    });
    SetInput(6, texture);
    struct Case {
        float src[4];
        float dst[4];
        float rotation;
    };
    const float pi = 3.14159265f;
    const Case cases[] = {
        {{0, 0, 1, 1}, {0.25f, 0.25f, 0.75f, 0.75f}, 0},
        {{0, 0, 0.5f, 1}, {0.25f, 0.25f, 0.75f, 0.75f}, 0},
        {{0, 0, 1, 1}, {0.25f, 0.375f, 0.75f, 0.625f}, pi / 2},
    };
    for (const Case& c : cases) {
        SpriteData sprite{};
        std::memcpy(sprite.spritesrcRect, c.src, sizeof c.src);
        std::memcpy(sprite.spriteDstRect, c.dst, sizeof c.dst);
        sprite.spriteZ[0] = 0.5f;
        sprite.spriteRot[0] = c.rotation;
        sprite.spriteAlpha[0] = 0.5f;
        SetConstants(6, sprite);
        Image out = Render(kShaderSprite, kShaderSprite, n, n);
        for (std::uint32_t y = 0; y < n; ++y) {
            for (std::uint32_t x = 0; x < n; ++x) {
                const float sx = (static_cast<float>(x) + 0.5f) / n,
                            sy = (static_cast<float>(y) + 0.5f) / n;
                // A quarter turn (on top of the entry's half turn, which the source mapping
                // undoes) swaps the rectangle's extents about its centre.
                float fx = (sx - c.dst[0]) / (c.dst[2] - c.dst[0]);
                float fy = (sy - c.dst[1]) / (c.dst[3] - c.dst[1]);
                if (c.rotation != 0) {
                    const float hw = (c.dst[2] - c.dst[0]) / 2, hh = (c.dst[3] - c.dst[1]) / 2;
                    fx = (sx - (0.5f - hh)) / (2 * hh);
                    fy = (sy - (0.5f - hw)) / (2 * hw);
                }
                float want[4] = {0, 0, 0, 0};
                if (fx > 0 && fx < 1 && fy > 0 && fy < 1) {
                    if (c.rotation == 0) {
                        Sample(texture, c.src[0] + (c.src[2] - c.src[0]) * fx,
                               c.src[1] + (c.src[3] - c.src[1]) * fy, want);
                        for (float& v : want) v *= 0.5f;
                    } else {
                        ASSERT_FLOAT_EQ(out.at(x, y)[3], 0.5f)
                            << "rotated sprite misses " << x << "," << y;
                        continue;
                    }
                }
                ExpectPixel(out.at(x, y), want, 2e-3f, "sprite", x, y);
            }
        }
    }
}

// The Cook-Torrance specular term as the library describes it.
float CookSpecular(const float* n, const float* v, const float* l) {
    float h[3] = {l[0] + v[0], l[1] + v[1], l[2] + v[2]};
    Normalize3(h);
    const float nv = Dot3(n, v), nh = Dot3(n, h), vh = Dot3(v, h), nl = Dot3(n, l), lh = Dot3(l, h);
    const float m2 = 0.35f * 0.35f;
    const float d = std::exp(-(1 - nh * nh) / (nh * nh * m2)) / (4 * m2 * nh * nh * nh * nh);
    const float g = std::fmin(1.0f, std::fmin(2 * nh * nv / vh, 2 * nh * nl / vh));
    const float gg = std::sqrt(20.0f * 20.0f + lh * lh - 1);
    const float a = lh * (gg + lh) - 1, b = lh * (gg - lh) + 1;
    const float f = 0.5f * (gg - lh) * (gg - lh) / ((gg + lh) * (gg + lh)) * (1 + a * a / (b * b));
    return std::fmax(0.0f, f * d * g / nv);
}

TEST_F(ObjectPixels, BaseCookLightsAKnownNormalFromAKnownLightAndEye) {
    constexpr std::uint32_t n = 8;
    PerFrameData frame{};
    Identity(frame.viewProj);
    const float eye[4] = {0.2f, 0.1f, 3.0f, 1};
    const float lightDir[4] = {-0.3f, -0.2f, -1.0f, 0};
    std::memcpy(frame.eyePosVS, eye, sizeof eye);
    std::memcpy(frame.lightDirVS, lightDir, sizeof lightDir);
    SetConstants(0, frame);
    PerObjectData object{};
    Identity(object.world);
    Identity(object.worldViewProj);
    object.worldViewProj[12] = 0.25f;  // p × M: a translation in the last row moves x
    Identity(object.oldWorldViewProj);
    const float o0[4] = {0.1f, 0.2f, 0.3f, 1}, o1[4] = {0.2f, 0.2f, 0.2f, 0},
                o2[4] = {0.5f, 0.4f, 0.3f, 0};
    std::memcpy(object.options[0], o0, sizeof o0);
    std::memcpy(object.options[1], o1, sizeof o1);
    std::memcpy(object.options[2], o2, sizeof o2);
    SetConstants(1, object);
    SetMesh(Quad(2));
    Image out = Render(kVertexShaderBaseCook, kPixelShaderBaseCook, n, n);
    const float normal[3] = {0, 0, 1};
    const float l[3] = {-lightDir[0], -lightDir[1], -lightDir[2]};
    const float diffuse = 1.0f * l[2] + 0.5f;  // N = (0, 0, 1, 1) with L.w = 0
    for (std::uint32_t y = 0; y < n; ++y) {
        for (std::uint32_t x = 0; x < n; ++x) {
            const float cx = (static_cast<float>(x) + 0.5f) / n * 2 - 1;
            const float cy = 1 - (static_cast<float>(y) + 0.5f) / n * 2;
            const float local[3] = {cx - 0.25f, cy, 0.5f};
            float v[3] = {eye[0] - local[0], eye[1] - local[1], eye[2] - local[2]};
            Normalize3(v);
            const float s = CookSpecular(normal, v, l);
            float want[4];
            for (int c = 0; c < 4; ++c) want[c] = o0[c] + o1[c] * diffuse + o2[c] * s;
            ExpectPixel(out.at(x, y), want, 2e-3f, "baseCook", x, y);
        }
    }
}

TEST_F(ObjectPixels, TexTestSamplesColorTexAtTheMeshCoordinate) {
    constexpr std::uint32_t n = 4;
    const Image texture = MakeImage(n, n, [](std::uint32_t x, std::uint32_t y, float* p) {
        p[0] = 0.2f * static_cast<float>(x);
        p[1] = 0.2f * static_cast<float>(y);
        p[2] = 0.1f;
        p[3] = 0.6f;
    });
    SetInput(7, texture);
    PerObjectData object{};
    Identity(object.worldViewProj);
    SetConstants(1, object);
    SetMesh(Quad(1));
    Image out = Render(kVertexShaderTexTest, kPixelShaderTexTest, n, n);
    for (std::uint32_t y = 0; y < n; ++y) {
        for (std::uint32_t x = 0; x < n; ++x) {
            ExpectPixel(out.at(x, y), texture.wrapped(static_cast<int>(x), static_cast<int>(y)),
                        1e-5f, "texTest", x, y);
        }
    }
}

TEST_F(ObjectPixels, JuliaHitsTheUnitSphereOfZeroAndMissesBeyondIt) {
    // With k = 0 the quaternion Julia set is the unit ball.
    constexpr std::uint32_t n = 8;
    PerFrameData frame{};
    Identity(frame.viewProj);
    const float eye[4] = {0, 0, -3.2f, 1};  // origin of the march: eye × 0.5
    const float light[4] = {0, 0, -5, 0};
    std::memcpy(frame.eyePosVS, eye, sizeof eye);
    std::memcpy(frame.lightDirVS, light, sizeof light);
    SetConstants(0, frame);
    PerObjectData object{};
    Identity(object.worldViewProj);
    const float shade[4] = {0.4f, 0.3f, 0.2f, 0};
    std::memcpy(object.options[1], shade, sizeof shade);
    SetConstants(1, object);
    Image out = Render(12, 13, n, n);
    int hits = 0;
    for (std::uint32_t y = 0; y < n; ++y) {
        for (std::uint32_t x = 0; x < n; ++x) {
            const float px = static_cast<float>(x) + 0.5f, py = static_cast<float>(y) + 0.5f;
            const float d[3] = {(px - n / 2.0f) / (n / 2.0f) * 3, -(py - n / 2.0f) / (n / 2.0f) * 3,
                                1};
            const float o[3] = {eye[0] * 0.5f, eye[1] * 0.5f, eye[2] * 0.5f};
            // Ray and unit sphere: |o + t d|² = 1.
            const float a = Dot3(d, d), b = 2 * Dot3(o, d), c = Dot3(o, o) - 1;
            const float disc = b * b - 4 * a * c;
            if (disc < 0.05f && disc > -0.05f) continue;  // grazing rays: too close to call
            float want[4] = {0, 0, 0, 0};
            if (disc > 0) {
                ++hits;
                const float t = (-b - std::sqrt(disc)) / (2 * a);
                float p[3] = {o[0] + t * d[0], o[1] + t * d[1], o[2] + t * d[2]};
                float toLight[3] = {light[0] - p[0], light[1] - p[1], light[2] - p[2]};
                Normalize3(toLight);
                Normalize3(p);
                const float k = Dot3(p, toLight) + 0.5f;
                for (int ch = 0; ch < 3; ++ch) want[ch] = shade[ch] * k;
                want[3] = 1;
            }
            ExpectPixel(out.at(x, y), want, 0.03f, "julia", x, y);
        }
    }
    EXPECT_GT(hits, 0);
    // From outside the march's radius nothing is marched: every pixel misses.
    frame.eyePosVS[2] = -8;
    SetConstants(0, frame);
    Image far = Render(12, 13, n, n);
    for (float v : far.rgba) EXPECT_EQ(v, 0.0f);
}

TEST_F(ObjectPixels, FxaaOnAHardDiagonalEdgeFollowsTheSteps) {
    constexpr std::uint32_t n = 16;
    const Image edge = MakeImage(n, n, [](std::uint32_t x, std::uint32_t y, float* p) {
        const float v = x > y ? 1.0f : 0.0f;
        p[0] = p[1] = p[2] = v;
        p[3] = 1;
    });
    SetInput(3, edge);
    Image out = Render(kShaderFxaa, kShaderFxaa, n, n);
    const float rcp[2] = {1.0f / n, 1.0f / n};
    auto luma = [](const float* c) { return c[0] * 0.299f + c[1] * 0.587f + c[2] * 0.114f; };
    int blended = 0;
    for (std::uint32_t y = 0; y < n; ++y) {
        for (std::uint32_t x = 0; x < n; ++x) {
            const float p[2] = {(static_cast<float>(x) + 0.5f) / n,
                                (static_cast<float>(y) + 0.5f) / n};
            const float pp[2] = {p[0] - 0.75f * rcp[0], p[1] - 0.75f * rcp[1]};
            float nw[4], ne[4], sw[4], se[4], m[4];
            Sample(edge, pp[0], pp[1], nw);
            Sample(edge, pp[0] + rcp[0], pp[1], ne);
            Sample(edge, pp[0], pp[1] + rcp[1], sw);
            Sample(edge, pp[0] + rcp[0], pp[1] + rcp[1], se);
            Sample(edge, p[0], p[1], m);
            const float lnw = luma(nw), lne = luma(ne), lsw = luma(sw), lse = luma(se),
                        lm = luma(m);
            const float lmin = std::fmin(lm, std::fmin(std::fmin(lnw, lne), std::fmin(lsw, lse)));
            const float lmax = std::fmax(lm, std::fmax(std::fmax(lnw, lne), std::fmax(lsw, lse)));
            float dir[2] = {-((lnw + lne) - (lsw + lse)), (lnw + lsw) - (lne + lse)};
            const float reduce =
                std::fmax((lnw + lne + lsw + lse) * 0.25f * (1.0f / 8), 1.0f / 128);
            const float scale = 1.0f / (std::fmin(std::fabs(dir[0]), std::fabs(dir[1])) + reduce);
            for (int i = 0; i < 2; ++i)
                dir[i] = std::fmin(8.0f, std::fmax(-8.0f, dir[i] * scale)) * rcp[i];
            float a1[4], a2[4], b1[4], b2[4], a[4], b[4];
            Sample(edge, p[0] + dir[0] * (1.0f / 3 - 0.5f), p[1] + dir[1] * (1.0f / 3 - 0.5f), a1);
            Sample(edge, p[0] + dir[0] * (2.0f / 3 - 0.5f), p[1] + dir[1] * (2.0f / 3 - 0.5f), a2);
            Sample(edge, p[0] - dir[0] * 0.5f, p[1] - dir[1] * 0.5f, b1);
            Sample(edge, p[0] + dir[0] * 0.5f, p[1] + dir[1] * 0.5f, b2);
            for (int c = 0; c < 4; ++c) {
                a[c] = 0.5f * (a1[c] + a2[c]);
                b[c] = a[c] * 0.5f + 0.25f * (b1[c] + b2[c]);
            }
            const float lb = luma(b);
            // Where luma(B) sits on a bound, filtering precision decides; skip those.
            if (std::fabs(lb - lmin) < 0.01f || std::fabs(lb - lmax) < 0.01f) continue;
            const float* chosen = lb < lmin || lb > lmax ? a : b;
            const float want[4] = {chosen[0], chosen[1], chosen[2], 1};
            blended += chosen[0] > 0.02f && chosen[0] < 0.98f;
            ExpectPixel(out.at(x, y), want, 0.01f, "fxaa", x, y);
        }
    }
    EXPECT_GT(blended, 0) << "the edge was not smoothed anywhere";
}

// A quad moving by (-0.5, -0.25) in clip space (left and down) since the previous frame. The
// velocity is the motion in texture units, y pointing down; the depth is z / w. A quad whose
// normal faces away from the motion trails: it stays where it was, which is what stretches a
// moving object over the path it swept.
TEST_F(ObjectPixels, VelocityAndDepthCarrySignedMotionAndTrailingVerticesStayBehind) {
    constexpr std::uint32_t n = 16;
    PerFrameData frame{};
    frame.isBlur = 1;
    SetConstants(0, frame);
    PerObjectData object{};
    Identity(object.world);
    Identity(object.worldViewProj);
    Identity(object.oldWorldViewProj);
    object.oldWorldViewProj[12] = 0.5f;  // row-vector translation: the old position
    object.oldWorldViewProj[13] = 0.25f;
    SetConstants(1, object);
    struct Case {
        float normalX;
        std::uint32_t insideX, insideY;    // a pixel the quad covers
        std::uint32_t outsideX, outsideY;  // one it would cover at the other position
    };
    // Now over pixels 6..10 both ways; before over x 10..14, rows 4..8.
    const Case cases[] = {{-1.0f, 7, 9, 12, 5}, {1.0f, 12, 5, 7, 9}};
    for (const Case& c : cases) {
        std::vector<MeshVertex> quad = Quad(0.25f);
        for (MeshVertex& v : quad) {
            v.normal[0] = c.normalX;
            v.normal[2] = 0;
        }
        SetMesh(quad);
        Image out = Render(kShaderVelocityAndDepth, kShaderVelocityAndDepth, n, n);
        const float want[4] = {-0.25f, 0.125f, 1.0f, 0.5f};
        const float clear[4] = {0, 0, 0, 0};
        ExpectPixel(out.at(c.insideX, c.insideY), want, 1e-4f, "moving quad", c.insideX, c.insideY);
        ExpectPixel(out.at(c.outsideX, c.outsideY), clear, 0, "moving quad", c.outsideX,
                    c.outsideY);
    }
}

}  // namespace
}  // namespace quixo::gfx::test
