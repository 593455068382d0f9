#pragma once
// One function per node type, grouped by family (one source file each), and the helpers the
// families share. Only dispatch.cpp and the families include this.
#include <cstdint>

#include "operators/operators.h"

namespace quixo {

using NodeFunction = void (*)(const NodeContext&);

// Generators and scene time (generators.cpp).
void NodeConstant(const NodeContext& ctx);          // 28
void NodeSceneClock(const NodeContext& ctx);        // 34
void NodeSceneClockOffset(const NodeContext& ctx);  // 35
void NodeLattice(const NodeContext& ctx);           // 36

// Component-wise arithmetic (arithmetic.cpp).
void NodeCopy(const NodeContext& ctx);        // 1
void NodeAdd(const NodeContext& ctx);         // 2
void NodeSubtract(const NodeContext& ctx);    // 3
void NodeDivide(const NodeContext& ctx);      // 4
void NodeMultiply(const NodeContext& ctx);    // 5
void NodeMaxMin(const NodeContext& ctx);      // 6
void NodeOffsetXyz(const NodeContext& ctx);   // 10
void NodeOffsetXyzw(const NodeContext& ctx);  // 11
void NodeScale(const NodeContext& ctx);       // 12
void NodeClamp(const NodeContext& ctx);       // 13
void NodeModulo(const NodeContext& ctx);      // 23
void NodeCompose(const NodeContext& ctx);     // 29
void NodeStep(const NodeContext& ctx);        // 32
void NodeBlend(const NodeContext& ctx);       // 33

// Shaping functions (shaping.cpp).
void NodeSine(const NodeContext& ctx);         // 14
void NodeCosine(const NodeContext& ctx);       // 15
void NodeCircle(const NodeContext& ctx);       // 16
void NodeArcTangent(const NodeContext& ctx);   // 17
void NodeSetLength(const NodeContext& ctx);    // 18
void NodeTangent(const NodeContext& ctx);      // 19
void NodeExponential(const NodeContext& ctx);  // 20
void NodeFalloff(const NodeContext& ctx);      // 21
void NodeRamp(const NodeContext& ctx);         // 22
void NodeLength(const NodeContext& ctx);       // 24
void NodeDistance(const NodeContext& ctx);     // 25
void NodeSmoothstep(const NodeContext& ctx);   // 27

// Rotation, indexing and swizzles (rotation_index.cpp).
void NodeDifference(const NodeContext& ctx);          // 7
void NodeFixedRotation(const NodeContext& ctx);       // 8
void NodePerElementRotation(const NodeContext& ctx);  // 9
void NodeRepeat(const NodeContext& ctx);              // 26
void NodeSwizzleXyz(const NodeContext& ctx);          // 30
void NodeSwizzleXyzw(const NodeContext& ctx);         // 31
void NodeShift(const NodeContext& ctx);               // 37

// Range, random and curve sampler (range_random_curve.cpp).
void NodeRangeMap(const NodeContext& ctx);      // 38
void NodeRandom(const NodeContext& ctx);        // 39
void NodeCurveSampler(const NodeContext& ctx);  // 40

// Music spectrum (spectrum.cpp).
void NodeSpectrum(const NodeContext& ctx);        // 41
void NodeSpectrumScaled(const NodeContext& ctx);  // 42

// Camera, light and post-processing (camera_post.cpp).
void NodeLightDirection(const NodeContext& ctx);  // 43
void NodeClearColour(const NodeContext& ctx);     // 51
void NodeFixedCamera(const NodeContext& ctx);     // 52
void NodeCamera(const NodeContext& ctx);          // 53
void NodeDepthOfField(const NodeContext& ctx);    // 56
void NodeTransition(const NodeContext& ctx);      // 57
void NodeMotionBlur(const NodeContext& ctx);      // 58
void NodeBloom(const NodeContext& ctx);           // 59

// Object emitters (emitters.cpp).
void NodeEmitter3(const NodeContext& ctx);  // 45
void NodeEmitter6(const NodeContext& ctx);  // 46
void NodeEmitter7(const NodeContext& ctx);  // 47
void NodeEmitter8(const NodeContext& ctx);  // 48

// Sprites and debug lines (sprites_lines.cpp).
void NodeDebugPolyline(const NodeContext& ctx);  // 44
void NodePointSink(const NodeContext& ctx);      // 49
void NodeSprite(const NodeContext& ctx);         // 50

// Sub-graphs (subgraph.cpp).
void NodeSubGraphCall(const NodeContext& ctx);      // 54
void NodeSubGraphArgument(const NodeContext& ctx);  // 55

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
