#pragma once
// One function per node type, grouped by family (one source file each), and the helpers the
// families share. Only the node type table and the families include this.
#include <cstdint>

#include "operators/operators.h"

namespace quixo {

// Generators and scene time (generators.cpp).
void NodeConstant(const NodeContext& ctx);
void NodeSceneClock(const NodeContext& ctx);
void NodeSceneClockOffset(const NodeContext& ctx);
void NodeLattice(const NodeContext& ctx);

// Component-wise arithmetic (arithmetic.cpp).
void NodeCopy(const NodeContext& ctx);
void NodeAdd(const NodeContext& ctx);
void NodeSubtract(const NodeContext& ctx);
void NodeDivide(const NodeContext& ctx);
void NodeMultiply(const NodeContext& ctx);
void NodeMaxMin(const NodeContext& ctx);
void NodeOffsetXyz(const NodeContext& ctx);
void NodeOffsetXyzw(const NodeContext& ctx);
void NodeScale(const NodeContext& ctx);
void NodeClamp(const NodeContext& ctx);
void NodeModulo(const NodeContext& ctx);
void NodeCompose(const NodeContext& ctx);
void NodeStep(const NodeContext& ctx);
void NodeBlend(const NodeContext& ctx);

// Shaping functions (shaping.cpp).
void NodeSine(const NodeContext& ctx);
void NodeCosine(const NodeContext& ctx);
void NodeCircle(const NodeContext& ctx);
void NodeArcTangent(const NodeContext& ctx);
void NodeSetLength(const NodeContext& ctx);
void NodeTangent(const NodeContext& ctx);
void NodeExponential(const NodeContext& ctx);
void NodeFalloff(const NodeContext& ctx);
void NodeRamp(const NodeContext& ctx);
void NodeLength(const NodeContext& ctx);
void NodeDistance(const NodeContext& ctx);
void NodeSmoothstep(const NodeContext& ctx);

// Rotation, indexing and swizzles (rotation_index.cpp).
void NodeDifference(const NodeContext& ctx);
void NodeFixedRotation(const NodeContext& ctx);
void NodePerElementRotation(const NodeContext& ctx);
void NodeRepeat(const NodeContext& ctx);
void NodeSwizzleXyz(const NodeContext& ctx);
void NodeSwizzleXyzw(const NodeContext& ctx);
void NodeShift(const NodeContext& ctx);

// Range, random and curve sampler (range_random_curve.cpp).
void NodeRangeMap(const NodeContext& ctx);
void NodeRandom(const NodeContext& ctx);
void NodeCurveSampler(const NodeContext& ctx);

// Music spectrum (spectrum.cpp).
void NodeSpectrum(const NodeContext& ctx);
void NodeSpectrumScaled(const NodeContext& ctx);

// Camera, light and post-processing (camera_post.cpp).
void NodeLightDirection(const NodeContext& ctx);
void NodeClearColour(const NodeContext& ctx);
void NodeFixedCamera(const NodeContext& ctx);
void NodeCamera(const NodeContext& ctx);
void NodeDepthOfField(const NodeContext& ctx);
void NodeTransition(const NodeContext& ctx);
void NodeMotionBlur(const NodeContext& ctx);
void NodeBloom(const NodeContext& ctx);

// Object emitters (emitters.cpp).
void NodeEmitter3(const NodeContext& ctx);
void NodeEmitter6(const NodeContext& ctx);
void NodeEmitter7(const NodeContext& ctx);
void NodeEmitter8(const NodeContext& ctx);

// Sprites and debug lines (sprites_lines.cpp).
void NodeDebugPolyline(const NodeContext& ctx);
void NodePointSink(const NodeContext& ctx);
void NodeSprite(const NodeContext& ctx);

// Sub-graphs (subgraph.cpp).
void NodeSubGraphCall(const NodeContext& ctx);
void NodeSubGraphArgument(const NodeContext& ctx);

// Parameter k used as an integer (nearest, ties to even, low 32 bits).
inline std::uint32_t IntParam(const NodeContext& ctx, int k) {
    return Nearest(ctx.node().params[k]);
}

// The common per-element shape: element i of the node's own array becomes f(i), for every i
// below the node's count. f is inlined, so the loop stays tight.
template <class F>
inline void ForEachElement(const NodeContext& ctx, F f) {
    ValueArray& out = ctx.out();
    const std::uint32_t n = out.count;
    for (std::uint32_t i = 0; i < n; ++i) WriteElement(i, out, f(i));
}

// Element i of in0 mapped component by component through f.
template <class F>
inline void MapComponents(const NodeContext& ctx, F f) {
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 v = ReadElement(i, a);
        return Vec4{f(v.x), f(v.y), f(v.z), f(v.w)};
    });
}

// Elements i of in0 and in1 combined component by component through f.
template <class F>
inline void CombineComponents(const NodeContext& ctx, F f) {
    const ValueArray& a = ctx.in(0);
    const ValueArray& b = ctx.in(1);
    ForEachElement(ctx, [&](std::uint32_t i) {
        const Vec4 u = ReadElement(i, a);
        const Vec4 v = ReadElement(i, b);
        return Vec4{f(u.x, v.x), f(u.y, v.y), f(u.z, v.z), f(u.w, v.w)};
    });
}

// A scalar result in x, with y, z and w 0.
inline Vec4 ScalarX(float x) {
    return Vec4{x, 0.0f, 0.0f, 0.0f};
}

}  // namespace quixo
