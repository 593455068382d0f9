// Shaping functions: trigonometry, exponentials, ramps, lengths and distances. Transcendentals
// are evaluated in double and stored as float.
#include <cmath>

#include "operators/node_types.h"

namespace quixo {

namespace {

constexpr double kLog2E = 1.4426950408889634;
constexpr float kSmallestNormal = 1.1754944e-38f;
// The floor of a length before it divides (float bits 0x02200000).
constexpr float kLengthFloor = 1.1754944e-37f;

// x^y as 2^(y log2 x): not-a-number for negative x, and for 0^0.
double Pow(double x, double y) {
    return std::exp2(y * std::log2(x));
}

// e^x as 2^(x log2 e).
double Exp(double x) {
    return std::exp2(x * kLog2E);
}

// x of in0 through f, as a scalar result.
template <class F>
void MapX(const NodeContext& ctx, F f) {
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        return ScalarX(static_cast<float>(f(static_cast<double>(ReadElement(i, a).x))));
    });
}

// The sum of squares of all four components, rounded to float before the square root.
float Length4(double x, double y, double z, double w) {
    return std::sqrt(static_cast<float>(x * x + y * y + z * z + w * w));
}

}  // namespace

void NodeSine(const NodeContext& ctx) {
    const double amp = ctx.node().params[0];
    MapX(ctx, [amp](double x) { return amp * std::sin(x); });
}

void NodeCosine(const NodeContext& ctx) {
    const double amp = ctx.node().params[0];
    MapX(ctx, [amp](double x) { return amp * std::cos(x); });
}

void NodeTangent(const NodeContext& ctx) {
    const double amp = ctx.node().params[0];
    MapX(ctx, [amp](double x) { return amp * std::tan(x); });
}

void NodeArcTangent(const NodeContext& ctx) {
    MapX(ctx, [](double x) { return std::atan(x); });
}

void NodeCircle(const NodeContext& ctx) {
    const double r = ctx.node().params[0];
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const double x = ReadElement(i, a).x;
        return Vec4{static_cast<float>(r * std::cos(x)), static_cast<float>(r * std::sin(x)), 0.0f,
                    0.0f};
    });
}

void NodeExponential(const NodeContext& ctx) {
    const double rate = ctx.node().params[0], amp = ctx.node().params[1];
    MapX(ctx, [rate, amp](double x) { return amp * Exp(rate * x); });
}

void NodeFalloff(const NodeContext& ctx) {
    const double rate = ctx.node().params[0], exponent = ctx.node().params[1];
    MapX(ctx, [rate, exponent](double x) {
        // (Nearly) zero is caught before the power, which would not be a number for 0^0.
        if (std::fabs(x) < kSmallestNormal) return 1.0;
        return Exp(-rate * Pow(x, exponent));
    });
}

void NodeRamp(const NodeContext& ctx) {
    const float lo = ctx.node().params[0];
    const float range = ctx.node().params[1] - lo;
    const double exponent = ctx.node().params[2];
    MapComponents(ctx, [=](float v) {
        float r = (v - lo) / range;
        if (!(r > 0.0f)) {
            r = 0.0f;
        } else if (r >= 1.0f) {
            r = 1.0f;
        }
        return static_cast<float>(Pow(r, exponent));
    });
}

void NodeSmoothstep(const NodeContext& ctx) {
    const float lo = ctx.node().params[0];
    const float range = ctx.node().params[1] - lo;
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        float s = (ReadElement(i, a).x - lo) / range;
        // s >= 1 is tested first, so not-a-number gives 1.
        if (!(s < 1.0f)) {
            s = 1.0f;
        } else if (s <= 0.0f) {
            s = 0.0f;
        }
        return ScalarX(s * s * (3.0f - 2.0f * s));
    });
}

void NodeLength(const NodeContext& ctx) {
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return ScalarX(Length4(v.x, v.y, v.z, v.w));
    });
}

void NodeDistance(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return ScalarX(Length4(v.x - p[0], v.y - p[1], v.z - p[2], v.w - p[3]));
    });
}

void NodeSetLength(const NodeContext& ctx) {
    const float target = ctx.node().params[0];
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        float len = Length4(v.x, v.y, v.z, v.w);
        if (len <= kLengthFloor) len = kLengthFloor;
        // A target length of 0 makes s infinite and the result zero.
        const float s = len / target;
        return Vec4{v.x / s, v.y / s, v.z / s, v.w / s};
    });
}

}  // namespace quixo
