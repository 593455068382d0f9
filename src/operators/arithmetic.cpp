// Component-wise arithmetic over one to four inputs.
#include <cmath>

#include "operators/node_types.h"

namespace quixo {

void NodeCopy(const NodeContext& ctx) {
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) { return ReadElement(i, a); });
}

void NodeAdd(const NodeContext& ctx) {
    CombineComponents(ctx, [](float a, float b) { return a + b; });
}

void NodeSubtract(const NodeContext& ctx) {
    CombineComponents(ctx, [](float a, float b) { return a - b; });
}

void NodeDivide(const NodeContext& ctx) {
    CombineComponents(ctx, [](float a, float b) { return a / b; });
}

void NodeMultiply(const NodeContext& ctx) {
    CombineComponents(ctx, [](float a, float b) { return a * b; });
}

void NodeMaxMin(const NodeContext& ctx) {
    // Written so that an unordered comparison (a not-a-number) takes in1's component in both
    // modes.
    if (IntParam(ctx, 0) != 0) {
        CombineComponents(ctx, [](float a, float b) { return b < a ? a : b; });
    } else {
        CombineComponents(ctx, [](float a, float b) { return a < b ? a : b; });
    }
}

void NodeOffsetXyz(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    const float dx = p[0], dy = p[1], dz = p[2];
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return Vec4{v.x + dx, v.y + dy, v.z + dz, v.w};
    });
}

void NodeOffsetXyzw(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    const float dx = p[0], dy = p[1], dz = p[2], dw = p[3];
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return Vec4{v.x + dx, v.y + dy, v.z + dz, v.w + dw};
    });
}

void NodeScale(const NodeContext& ctx) {
    const float s = ctx.node().params[0];
    MapComponents(ctx, [s](float v) { return v * s; });
}

void NodeClamp(const NodeContext& ctx) {
    // The low bound first: with low > high every component becomes high.
    const float lo = ctx.node().params[0], hi = ctx.node().params[1];
    MapComponents(ctx, [lo, hi](float v) {
        const float t = lo < v ? v : lo;
        return hi <= t ? hi : t;
    });
}

void NodeModulo(const NodeContext& ctx) {
    // The truncated remainder, with the sign of v; a zero divisor gives not-a-number.
    const float d = ctx.node().params[0];
    MapComponents(ctx, [d](float v) { return std::fmod(v, d); });
}

void NodeCompose(const NodeContext& ctx) {
    const ValueArray& a = ctx.in(0);
    const ValueArray& b = ctx.in(1);
    const ValueArray& c = ctx.in(2);
    const ValueArray& d = ctx.in(3);
    ForEachElement(ctx, [&](std::uint32_t i) {
        return Vec4{ReadElement(i, a).x, ReadElement(i, b).x, ReadElement(i, c).x,
                    ReadElement(i, d).x};
    });
}

void NodeStep(const NodeContext& ctx) {
    const float threshold = ctx.node().params[0];
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const float s = ReadElement(i, a).x > threshold ? 1.0f : 0.0f;
        return Vec4{s, s, s, s};
    });
}

void NodeBlend(const NodeContext& ctx) {
    const ValueArray& a = ctx.in(0);
    const ValueArray& b = ctx.in(1);
    const ValueArray& c = ctx.in(2);
    ForEachElement(ctx, [&](std::uint32_t i) {
        float t = ReadElement(i, c).x;
        // t <= 0 is tested first, so not-a-number also gives 0.
        if (!(t > 0.0f)) {
            t = 0.0f;
        } else if (t >= 1.0f) {
            t = 1.0f;
        }
        const float u = 1.0f - t;
        const Vec4 x = ReadElement(i, a);
        const Vec4 y = ReadElement(i, b);
        return Vec4{x.x * t + y.x * u, x.y * t + y.y * u, x.z * t + y.z * u, x.w * t + y.w * u};
    });
}

}  // namespace quixo
