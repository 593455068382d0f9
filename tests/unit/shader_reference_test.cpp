// The CPU references of the pixel tests, held against results known without them: a mirror
// configuration of the specular model, the Julia set of constant 0 (the unit ball) and the
// sprite's two half turns that cancel.
#include "gpu/shader_reference.h"

#include <gtest/gtest.h>

namespace quixo::reference {
namespace {

constexpr float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST(ShaderReference, CookTorranceInTheMirrorDirection) {
    // n = v = l: nh = nv = vh = 1, so D = 1 / (4 x 0.35^2), G = 1, and with lh = 1 the Fresnel
    // term is 0.5 x 19^2 / 21^2 x (1 + 20^2 / 20^2).
    const float expected = (1 / (4 * 0.35f * 0.35f)) * (361.0f / 441.0f);
    EXPECT_NEAR(CookTorranceSpecular({0, 0, 1}, {0, 0, 1}, {0, 0, 1}), expected, 1e-4f);
    // A light behind the surface gives a negative geometry term: no specular at all.
    EXPECT_EQ(CookTorranceSpecular({0, 0, 1}, Normalize({0, 1, 1}), {0, 0.2f, -1}), 0.0f);
    // The unnormalised light vector scales the Fresnel and geometry inputs.
    EXPECT_GT(CookTorranceSpecular({0, 0, 1}, {0, 0, 1}, {0, 0, 0.6f}), 0.0f);
}

TEST(ShaderReference, BaseCookVertexColourUsesTheNegatedFourComponentLight) {
    const V4 c =
        BaseCookVertexColour({0.1f, 0.2f, 0.3f, 1}, {1, 1, 1, 0}, {0, 0, -1, 0}, {1, 1, 1, 0});
    // N . L = (0, 0, -1) . (-1, -1, -1) = 1, so the diffuse factor is 1.5.
    EXPECT_FLOAT_EQ(c.x, 1.6f);
    EXPECT_FLOAT_EQ(c.z, 1.8f);
    EXPECT_FLOAT_EQ(c.w, 1.0f);
}

TEST(ShaderReference, JuliaOfConstantZeroIsTheUnitBall) {
    const V4 k = {0, 0, 0, 0};
    // Outside the ball the estimate is 0.5 r ln r whatever the iteration count.
    EXPECT_NEAR(JuliaDistance({0, 0, 1.5f}, k), 0.5f * 1.5f * std::log(1.5f), 1e-5f);
    EXPECT_NEAR(JuliaDistance({2, 0, 0}, k), 0.5f * 2 * std::log(2.0f), 1e-5f);

    // The centre ray from (0, 0, -3) (marching from half of it) meets the ball's front pole.
    const V3 eye = {0, 0, -3};
    const V3 light = {0, 0, -5};
    const JuliaResult front =
        JuliaPixel(32.5f, 32.5f, 64, 64, kIdentity, eye, light, {0.4f, 0.6f, 0.8f, 0}, k);
    ASSERT_TRUE(front.hit);
    EXPECT_FALSE(front.shadowed);
    EXPECT_GT(Length(front.point), 1.0f);
    EXPECT_LT(Length(front.point), 1.01f);
    EXPECT_LT(front.point.z, -0.99f);
    // The normal is radial, pointing at the light: shade = 1 + 0.5.
    EXPECT_NEAR(front.colour.x, 0.4f * 1.5f, 0.01f);
    EXPECT_NEAR(front.colour.z, 0.8f * 1.5f, 0.01f);
    EXPECT_EQ(front.colour.w, 1.0f);

    // With the light behind the ball the shadow ray runs into it.
    const JuliaResult back =
        JuliaPixel(32.5f, 32.5f, 64, 64, kIdentity, eye, {0, 0, 5}, {0.4f, 0.6f, 0.8f, 0}, k);
    ASSERT_TRUE(back.hit);
    EXPECT_TRUE(back.shadowed);
    EXPECT_NEAR(back.colour.x, 0.4f * -0.5f * 0.5f, 0.01f);

    // A corner ray passes wide of the ball.
    const JuliaResult corner =
        JuliaPixel(0.5f, 0.5f, 64, 64, kIdentity, eye, light, {1, 1, 1, 0}, k);
    EXPECT_FALSE(corner.hit);
    EXPECT_EQ(corner.colour.w, 0.0f);

    // An eye outside the bounding sphere (|eye / 2|^2 >= 3) never starts marching.
    EXPECT_FALSE(
        JuliaPixel(32.5f, 32.5f, 64, 64, kIdentity, {0, 0, -4}, light, {1, 1, 1, 0}, k).hit);
}

TEST(ShaderReference, SpriteHalfTurnAndFlippedSourceCancel) {
    const float dst[4] = {0.25f, 0.25f, 0.75f, 0.75f};
    const float src[4] = {0.0f, 0.0f, 0.5f, 0.5f};
    SpriteCorner c[4];
    SpriteCorners(dst, 0, 64, 64, c);
    // Every corner shows the part of the source at the same relative place: the sprite is
    // upright and not mirrored.
    for (const SpriteCorner& corner : c) {
        const V2 pixel = ClipToPixel(corner.clip, 64, 64);
        const V2 tex = SpriteSourceCoord(src, corner.uv);
        EXPECT_NEAR((pixel.x - 16) / 32, tex.x / 0.5f, 1e-4f);
        EXPECT_NEAR((pixel.y - 16) / 32, tex.y / 0.5f, 1e-4f);
    }

    // A quarter turn moves the source's top-left corner (uv (1, 1)) from the top left of the
    // screen rectangle to its bottom left (clip y up, counter-clockwise).
    SpriteCorners(dst, 3.14159265f / 2, 64, 64, c);
    const V2 topLeftSource = ClipToPixel(c[3].clip, 64, 64);
    EXPECT_NEAR(topLeftSource.x, 16, 1e-3f);
    EXPECT_NEAR(topLeftSource.y, 48, 1e-3f);

    // On a wide target the x extent is scaled by height / width.
    SpriteCorners(dst, 0, 128, 64, c);
    EXPECT_NEAR(std::abs(c[0].clip.x - c[1].clip.x), 0.5f, 1e-4f);

    // Inverting the strip gives back each corner's uv and the centre's (0.5, 0.5).
    SpriteCorners(dst, 0.7f, 64, 64, c);
    for (const SpriteCorner& corner : c) {
        const V2 uv = SpriteUvAtPixel(c, ClipToPixel(corner.clip, 64, 64), 64, 64);
        EXPECT_NEAR(uv.x, corner.uv.x, 1e-4f);
        EXPECT_NEAR(uv.y, corner.uv.y, 1e-4f);
    }
    const V2 mid = SpriteUvAtPixel(c, {32, 32}, 64, 64);
    EXPECT_NEAR(mid.x, 0.5f, 1e-4f);
    EXPECT_NEAR(mid.y, 0.5f, 1e-4f);
}

TEST(ShaderReference, BilinearSamplingHitsTexelCentresAndWrapsAtTheEdges) {
    // 2 x 1 texels: red 0 and 255.
    const unsigned char texels[8] = {0, 0, 0, 255, 255, 0, 0, 255};
    EXPECT_FLOAT_EQ(SampleBilinearWrap(texels, 2, 1, {0.25f, 0.5f}).x, 0.0f);
    EXPECT_FLOAT_EQ(SampleBilinearWrap(texels, 2, 1, {0.75f, 0.5f}).x, 1.0f);
    EXPECT_FLOAT_EQ(SampleBilinearWrap(texels, 2, 1, {0.5f, 0.5f}).x, 0.5f);
    // u = 0 lies between the last texel (wrapped) and the first.
    EXPECT_FLOAT_EQ(SampleBilinearWrap(texels, 2, 1, {0.0f, 0.5f}).x, 0.5f);
    EXPECT_FLOAT_EQ(SampleBilinearWrap(texels, 2, 1, {1.25f, 0.5f}).x, 0.0f);
}

}  // namespace
}  // namespace quixo::reference
