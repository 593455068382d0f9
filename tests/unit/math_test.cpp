#include "core/math.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quixo {
namespace {

constexpr float kHalfPi = 1.5707964f;

// Single-axis rotations in the row-vector form.
Matrix RotationX(float a) {
    Matrix m = MatrixIdentity();
    m.m[1][1] = std::cos(a);
    m.m[1][2] = std::sin(a);
    m.m[2][1] = -std::sin(a);
    m.m[2][2] = std::cos(a);
    return m;
}
Matrix RotationY(float a) {
    Matrix m = MatrixIdentity();
    m.m[0][0] = std::cos(a);
    m.m[0][2] = -std::sin(a);
    m.m[2][0] = std::sin(a);
    m.m[2][2] = std::cos(a);
    return m;
}
Matrix RotationZ(float a) {
    Matrix m = MatrixIdentity();
    m.m[0][0] = std::cos(a);
    m.m[0][1] = std::sin(a);
    m.m[1][0] = -std::sin(a);
    m.m[1][1] = std::cos(a);
    return m;
}

void ExpectMatrixNear(const Matrix& a, const Matrix& b, float tol = 1e-6f) {
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(a.m[i][j], b.m[i][j], tol) << i << "," << j;
    }
}

Float3 Apply(const Matrix& m, Float3 p) {
    const float in[3] = {p.x, p.y, p.z};
    float out[4];
    TransformPoint(m, in, out);
    return {out[0], out[1], out[2]};
}

const float kAngles[][3] = {{0.3f, -1.1f, 2.0f}, {kHalfPi, 0, 0}, {-2.5f, 0.7f, -0.4f}};

TEST(Math, YawPitchRollIsRollThenPitchThenYaw) {
    for (const auto& a : kAngles) {
        const Matrix composed = RotationZ(a[2]) * RotationX(a[1]) * RotationY(a[0]);
        ExpectMatrixNear(MatrixRotationYawPitchRoll(a[0], a[1], a[2]), composed);
    }
    // A quarter yaw turns +x to -z.
    const Float3 p = Apply(MatrixRotationYawPitchRoll(kHalfPi, 0, 0), {1, 0, 0});
    EXPECT_NEAR(p.x, 0, 1e-6f);
    EXPECT_NEAR(p.z, -1, 1e-6f);
}

TEST(Math, QuaternionMatchesTheMatrix) {
    for (const auto& a : kAngles) {
        const Quaternion q = QuaternionRotationYawPitchRoll(a[0], a[1], a[2]);
        EXPECT_NEAR(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w, 1.0f, 1e-6f);
        // Rotation matrix of a unit quaternion, row-vector form.
        Matrix r = MatrixIdentity();
        r.m[0][0] = 1 - 2 * (q.y * q.y + q.z * q.z);
        r.m[0][1] = 2 * (q.x * q.y + q.z * q.w);
        r.m[0][2] = 2 * (q.x * q.z - q.y * q.w);
        r.m[1][0] = 2 * (q.x * q.y - q.z * q.w);
        r.m[1][1] = 1 - 2 * (q.x * q.x + q.z * q.z);
        r.m[1][2] = 2 * (q.y * q.z + q.x * q.w);
        r.m[2][0] = 2 * (q.x * q.z + q.y * q.w);
        r.m[2][1] = 2 * (q.y * q.z - q.x * q.w);
        r.m[2][2] = 1 - 2 * (q.x * q.x + q.y * q.y);
        ExpectMatrixNear(r, MatrixRotationYawPitchRoll(a[0], a[1], a[2]), 2e-6f);
    }
}

TEST(Math, MultiplyMayWriteIntoAnInput) {
    const Matrix a = MatrixRotationYawPitchRoll(0.3f, 0.2f, 0.1f) * MatrixTranslation(1, 2, 3);
    const Matrix b = MatrixScaling(2, 3, 4) * MatrixRotationYawPitchRoll(-1, 0.5f, 2);
    const Matrix expected = a * b;
    Matrix left = a, right = b;
    MatrixMultiply(left, left, b);
    MatrixMultiply(right, a, right);
    ExpectMatrixNear(left, expected, 0);
    ExpectMatrixNear(right, expected, 0);
}

TEST(Math, WorldIsScaleThenRotateThenTranslate) {
    const float pos[3] = {10, 0, 0}, scale[3] = {2, 2, 2}, rot[3] = {kHalfPi, 0, 0};
    const Float3 p = Apply(WorldMatrix(pos, scale, rot), {1, 0, 0});
    EXPECT_NEAR(p.x, 10, 1e-5f);
    EXPECT_NEAR(p.y, 0, 1e-5f);
    EXPECT_NEAR(p.z, -2, 1e-5f);
}

TEST(Math, LookAtRightHandedPutsTheTargetDownNegativeZ) {
    const Matrix v = MatrixLookAtRH({0, 0, 5}, {0, 0, 0}, {0, 1, 0});
    Float3 p = Apply(v, {0, 0, 0});
    EXPECT_NEAR(p.z, -5, 1e-6f);
    p = Apply(v, {1, 2, 0});
    EXPECT_NEAR(p.x, 1, 1e-6f);
    EXPECT_NEAR(p.y, 2, 1e-6f);
    // Looking along +x: a point ahead lies at negative view z, world +z is to the right.
    const Matrix side = MatrixLookAtRH({0, 0, 0}, {1, 0, 0}, {0, 1, 0});
    p = Apply(side, {3, 0, 0});
    EXPECT_NEAR(p.z, -3, 1e-6f);
    p = Apply(side, {0, 0, 1});
    EXPECT_NEAR(p.x, 1, 1e-6f);
}

TEST(Math, PerspectiveMapsNearToZeroAndFarToOne) {
    const float fov = kHalfPi, aspect = 2.0f, zn = 0.5f, zf = 100.0f;
    const Matrix proj = MatrixPerspectiveFovRH(fov, aspect, zn, zf);
    float out[4];
    const float nearTop[3] = {0, zn * std::tan(fov / 2), -zn};
    TransformPoint(proj, nearTop, out);
    EXPECT_NEAR(out[2] / out[3], 0, 1e-6f);
    EXPECT_NEAR(out[1] / out[3], 1, 1e-6f);
    const float farRight[3] = {zf * std::tan(fov / 2) * aspect, 0, -zf};
    TransformPoint(proj, farRight, out);
    EXPECT_NEAR(out[2] / out[3], 1, 1e-6f);
    EXPECT_NEAR(out[0] / out[3], 1, 1e-5f);
}

TEST(Math, CatmullRomRunsFromP1ToP2) {
    const Float3 p0{0, 0, 0}, p1{1, 2, 3}, p2{4, 6, 8}, p3{9, 9, 9};
    const Float3 a = Vec3CatmullRom(p0, p1, p2, p3, 0);
    const Float3 b = Vec3CatmullRom(p0, p1, p2, p3, 1);
    EXPECT_EQ(a.x, 1);
    EXPECT_EQ(a.z, 3);
    EXPECT_EQ(b.x, 4);
    EXPECT_EQ(b.z, 8);
    // Points evenly spaced on a line stay on it at the even spacing.
    const Float3 m = Vec3CatmullRom({0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}, 0.25f);
    EXPECT_FLOAT_EQ(m.y, 1.25f);
}

}  // namespace
}  // namespace quixo
