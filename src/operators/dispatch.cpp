#include "operators/node_types.h"

namespace quixo {

namespace {

// Indexed by the node's type number; 0 (an empty slot, never run) has no entry.
constexpr NodeFunction kNodeTypes[kMaxNodeType + 1] = {
    nullptr,                 // 0
    NodeCopy,                // 1
    NodeAdd,                 // 2
    NodeSubtract,            // 3
    NodeDivide,              // 4
    NodeMultiply,            // 5
    NodeMaxMin,              // 6
    NodeDifference,          // 7
    NodeFixedRotation,       // 8
    NodePerElementRotation,  // 9
    NodeOffsetXyz,           // 10
    NodeOffsetXyzw,          // 11
    NodeScale,               // 12
    NodeClamp,               // 13
    NodeSine,                // 14
    NodeCosine,              // 15
    NodeCircle,              // 16
    NodeArcTangent,          // 17
    NodeSetLength,           // 18
    NodeTangent,             // 19
    NodeExponential,         // 20
    NodeFalloff,             // 21
    NodeRamp,                // 22
    NodeModulo,              // 23
    NodeLength,              // 24
    NodeDistance,            // 25
    NodeRepeat,              // 26
    NodeSmoothstep,          // 27
    NodeConstant,            // 28
    NodeCompose,             // 29
    NodeSwizzleXyz,          // 30
    NodeSwizzleXyzw,         // 31
    NodeStep,                // 32
    NodeBlend,               // 33
    NodeSceneClock,          // 34
    NodeSceneClockOffset,    // 35
    NodeLattice,             // 36
    NodeShift,               // 37
    NodeRangeMap,            // 38
    NodeRandom,              // 39
    NodeCurveSampler,        // 40
    NodeSpectrum,            // 41
    NodeSpectrumScaled,      // 42
    NodeLightDirection,      // 43
    NodeDebugPolyline,       // 44
    NodeEmitter3,            // 45
    NodeEmitter6,            // 46
    NodeEmitter7,            // 47
    NodeEmitter8,            // 48
    NodePointSink,           // 49
    NodeSprite,              // 50
    NodeClearColour,         // 51
    NodeFixedCamera,         // 52
    NodeCamera,              // 53
    NodeSubGraphCall,        // 54
    NodeSubGraphArgument,    // 55
    NodeDepthOfField,        // 56
    NodeTransition,          // 57
    NodeMotionBlur,          // 58
    NodeBloom,               // 59
};

}  // namespace

void RunNodeType(const NodeContext& ctx) {
    const std::uint32_t type = ctx.node().type;
    if (type > kMaxNodeType || kNodeTypes[type] == nullptr) return;  // no computation
    kNodeTypes[type](ctx);
}

}  // namespace quixo
