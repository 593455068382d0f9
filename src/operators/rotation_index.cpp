// Rotations by yaw, pitch and roll, shifted and repeated element reads, and swizzles.
#include "core/math.h"
#include "operators/node_types.h"

namespace quixo {

namespace {

// Component k of v (0..3 = x..w); any other selector, negative ones included, gives 0.
float Select(const Vec4& v, std::uint32_t k) {
    switch (k) {
        case 0:
            return v.x;
        case 1:
            return v.y;
        case 2:
            return v.z;
        case 3:
            return v.w;
        default:
            return 0.0f;
    }
}

}  // namespace

void NodeDifference(const NodeContext& ctx) {
    // i + d wraps as an unsigned sum, so a negative offset below 0 reads the last element.
    const std::uint32_t d = IntParam(ctx, 0);
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 u = ReadElement(i + d, a);
        const Vec4 v = ReadElement(i, a);
        return Vec4{u.x - v.x, u.y - v.y, u.z - v.z, u.w - v.w};
    });
}

void NodeShift(const NodeContext& ctx) {
    const std::uint32_t d = IntParam(ctx, 0);
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) { return ReadElement(i + d, a); });
}

void NodeRepeat(const NodeContext& ctx) {
    const ValueArray& a = ctx.in(0);
    if (a.count == 0) {
        ForEachElement(ctx, [](std::uint32_t) { return Vec4{0, 0, 0, 0}; });
        return;
    }
    ForEachElement(ctx, [&](std::uint32_t i) { return a.elements[i % a.count]; });
}

void NodeSwizzleXyz(const NodeContext& ctx) {
    const std::uint32_t s0 = IntParam(ctx, 0), s1 = IntParam(ctx, 1), s2 = IntParam(ctx, 2);
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return Vec4{Select(v, s0), Select(v, s1), Select(v, s2), 0.0f};
    });
}

void NodeSwizzleXyzw(const NodeContext& ctx) {
    const std::uint32_t s0 = IntParam(ctx, 0), s1 = IntParam(ctx, 1), s2 = IntParam(ctx, 2),
                        s3 = IntParam(ctx, 3);
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return Vec4{Select(v, s0), Select(v, s1), Select(v, s2), Select(v, s3)};
    });
}

void NodeFixedRotation(const NodeContext& ctx) {
    // v' = q v q^-1 written out, divided by |q|^2 so the quaternion's length does not matter.
    const float* p = ctx.node().params;
    const Quaternion q = QuaternionRotationYawPitchRoll(p[0], p[1], p[2]);
    const float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z, ww = q.w * q.w;
    const float n = xx + yy + zz + ww;
    const float m00 = ww + xx - yy - zz, m01 = 2 * (q.x * q.y - q.z * q.w),
                m02 = 2 * (q.x * q.z + q.y * q.w);
    const float m10 = 2 * (q.x * q.y + q.z * q.w), m11 = ww - xx + yy - zz,
                m12 = 2 * (q.y * q.z - q.x * q.w);
    const float m20 = 2 * (q.x * q.z - q.y * q.w), m21 = 2 * (q.y * q.z + q.x * q.w),
                m22 = ww - xx - yy + zz;
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return Vec4{(m00 * v.x + m01 * v.y + m02 * v.z) / n,
                    (m10 * v.x + m11 * v.y + m12 * v.z) / n,
                    (m20 * v.x + m21 * v.y + m22 * v.z) / n, 0.0f};
    });
}

void NodePerElementRotation(const NodeContext& ctx) {
    const ValueArray& a = ctx.in(0);
    const ValueArray& b = ctx.in(1);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        const Vec4 angles = ReadElement(i, b);
        const Matrix r = MatrixRotationYawPitchRoll(angles.x, angles.y, angles.z);
        // The row (v.x, v.y, v.z, 0) times the matrix, summed in the product's order.
        float out[3];
        for (int j = 0; j < 3; ++j) {
            out[j] = v.x * r.m[0][j] + v.y * r.m[1][j] + v.z * r.m[2][j] + 0.0f * r.m[3][j];
        }
        return Vec4{out[0], out[1], out[2], 0.0f};
    });
}

}  // namespace quixo
