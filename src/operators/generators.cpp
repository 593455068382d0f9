// Sources without inputs: constants, the scene clock and lattices of positions.
#include "core/timeline.h"
#include "operators/node_types.h"

namespace quixo {

namespace {

// The clock value a mode selects, as the unsigned conversion of the 32-bit integer; false for
// a mode that has none.
bool ClockValue(std::uint32_t mode, float& v) {
    if (mode == 0) {
        v = static_cast<float>(static_cast<std::uint32_t>(sceneFrame));
        return true;
    }
    if (mode == 1) {
        v = static_cast<float>(static_cast<std::uint32_t>(sceneEndFrame) -
                               static_cast<std::uint32_t>(sceneFrame));
        return true;
    }
    return false;
}

void FillSplat(const NodeContext& ctx, float s) {
    ForEachElement(ctx, [s](std::uint32_t) { return Vec4{s, s, s, s}; });
}

}  // namespace

void NodeConstant(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    const Vec4 c{p[0], p[1], p[2], p[3]};
    ForEachElement(ctx, [c](std::uint32_t) { return c; });
}

void NodeSceneClock(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    float v = 0.0f;
    FillSplat(ctx, ClockValue(IntParam(ctx, 1), v) ? v * p[0] : 0.0f);
}

void NodeSceneClockOffset(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    float v = 0.0f;
    FillSplat(ctx, ClockValue(IntParam(ctx, 2), v) ? (v + p[1]) * p[0] : 0.0f);
}

void NodeLattice(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    std::uint32_t a = IntParam(ctx, 0);
    std::uint32_t b = IntParam(ctx, 1);
    if (a == 0) a = 1;
    if (b == 0) b = 1;
    const std::uint32_t m = a * b;
    // A product that wraps to 0 has no layers to divide into: the lattice is left as it was.
    if (m == 0) return;
    const std::uint32_t n = ctx.out().count;
    const std::uint32_t c =
        Nearest(static_cast<float>(static_cast<double>(n) / static_cast<double>(m)));
    ForEachElement(ctx, [&](std::uint32_t i) {
        const std::uint32_t u = i % a, q = i / a;
        const std::uint32_t v = q % b, r = q / b;
        // The layer divides by a * b once more after the row division (not i / (a * b)).
        const std::uint32_t layer = r / m;
        const auto x = static_cast<std::int32_t>(2 * u - a + 1);
        const auto y = static_cast<std::int32_t>(2 * v - b + 1);
        const auto z = static_cast<std::int32_t>(2 * layer - c + 1);
        return Vec4{static_cast<float>(x) * p[2] * 0.5f, static_cast<float>(y) * p[3] * 0.5f,
                    static_cast<float>(z) * p[4] * 0.5f, 0.0f};
    });
}

}  // namespace quixo
