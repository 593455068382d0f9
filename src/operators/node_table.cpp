#include "operators/node_table.h"

#include "operators/node_types.h"

namespace quixo {

using enum ParamRole;

// The emitters: p0 the mesh (-1 for none), p1 the instance count, p2 and p3 the shaders; the
// one that may draw blended adds p4, its texture, and p5, its blend switch.
constexpr ParamRoles kEmitterParams = {kMeshOrNone, kCount, kVertexShader, kPixelShader};
constexpr ParamRoles kTexturedEmitterParams = {kMeshOrNone,  kCount,   kVertexShader,
                                               kPixelShader, kTexture, kBlendSwitch};

// Indexed by the type number. Parameters without a role here mean nothing to the graph checks.
constexpr NodeTypeRow kNodeTypeTable[kMaxNodeType + 1] = {
    {kNodeEmpty, nullptr, nullptr},
    {kNodeCopy, "copy", NodeCopy},
    {kNodeAdd, "add", NodeAdd},
    {kNodeSubtract, "subtract", NodeSubtract},
    {kNodeDivide, "divide", NodeDivide},
    {kNodeMultiply, "multiply", NodeMultiply},
    {kNodeMaxMin, "max_min", NodeMaxMin},
    {kNodeDifference, "difference", NodeDifference},
    {kNodeFixedRotation, "rotate_fixed", NodeFixedRotation},
    {kNodePerElementRotation, "rotate_each", NodePerElementRotation},
    {kNodeOffsetXyz, "offset_xyz", NodeOffsetXyz},
    {kNodeOffsetXyzw, "offset_xyzw", NodeOffsetXyzw},
    {kNodeScale, "scale", NodeScale},
    {kNodeClamp, "clamp", NodeClamp},
    {kNodeSine, "sine", NodeSine},
    {kNodeCosine, "cosine", NodeCosine},
    {kNodeCircle, "circle", NodeCircle},
    {kNodeArcTangent, "arctangent", NodeArcTangent},
    {kNodeSetLength, "set_length", NodeSetLength},
    {kNodeTangent, "tangent", NodeTangent},
    {kNodeExponential, "exponential", NodeExponential},
    {kNodeFalloff, "falloff", NodeFalloff},
    {kNodeRamp, "ramp", NodeRamp},
    {kNodeModulo, "modulo", NodeModulo},
    {kNodeLength, "length", NodeLength},
    {kNodeDistance, "distance", NodeDistance},
    {kNodeRepeat, "repeat", NodeRepeat},
    {kNodeSmoothstep, "smoothstep", NodeSmoothstep},
    {kNodeConstant, "constant", NodeConstant},
    {kNodeCompose, "compose", NodeCompose},
    {kNodeSwizzleXyz, "swizzle3", NodeSwizzleXyz},
    {kNodeSwizzleXyzw, "swizzle4", NodeSwizzleXyzw},
    {kNodeStep, "step", NodeStep},
    {kNodeBlend, "blend", NodeBlend},
    {kNodeSceneClock, "scene_clock", NodeSceneClock},
    {kNodeSceneClockOffset, "scene_clock_offset", NodeSceneClockOffset},
    {kNodeLattice, "lattice", NodeLattice},
    {kNodeShift, "shift", NodeShift},
    {kNodeRangeMap, "range_map", NodeRangeMap},
    {kNodeRandom, "random", NodeRandom},
    {kNodeCurveSampler, "track_sampler", NodeCurveSampler, NodeList::kNone, {kTrack}},
    {kNodeSpectrum, "spectrum", NodeSpectrum},
    {kNodeSpectrumScaled, "spectrum_scaled", NodeSpectrumScaled},
    {kNodeLightDirection, "light_direction", NodeLightDirection},
    {kNodeDebugPolyline, "debug_polyline", NodeDebugPolyline, NodeList::kDebugLines},
    {kNodeEmitter3, "object3", NodeEmitter3, NodeList::kOpaque, kEmitterParams},
    {kNodeEmitter6, "object6", NodeEmitter6, NodeList::kOpaque, kEmitterParams},
    {kNodeEmitter7, "object7", NodeEmitter7, NodeList::kOpaque, kEmitterParams},
    {kNodeEmitter8, "object8", NodeEmitter8, NodeList::kOpaqueOrBlended, kTexturedEmitterParams},
    // The collected points have no consumer and no storage: the node pushes nothing.
    {kNodePointSink, "point_collector", NodePointSink},
    {kNodeSprite, "sprite", NodeSprite, NodeList::kSprites, {kTexture, kCount}},
    {kNodeClearColour, "clear_color", NodeClearColour},
    {kNodeFixedCamera, "camera", NodeFixedCamera},
    {kNodeCamera, "camera_lens", NodeCamera},
    {kNodeSubGraphCall, "subgraph_call", NodeSubGraphCall, NodeList::kNone, {kGraphSlot}},
    {kNodeSubGraphArgument, "subgraph_argument", NodeSubGraphArgument},
    {kNodeDepthOfField, "depth_of_field", NodeDepthOfField},
    {kNodeTransition, "transition", NodeTransition},
    {kNodeMotionBlur, "motion_blur", NodeMotionBlur},
    {kNodeBloom, "bloom", NodeBloom},
};

namespace {

// The first row of the table for which broken(row) holds, or -1.
template <class Broken>
constexpr int FirstRowThat(Broken broken) {
    for (int t = 0; t <= static_cast<int>(kMaxNodeType); ++t) {
        if (broken(kNodeTypeTable[t])) return t;
    }
    return -1;
}

constexpr bool IsOutOfPlace(const NodeTypeRow& row) {
    return row.type != &row - kNodeTypeTable;
}

// Only the empty record goes without a name. (Whether a function's address is null is not a
// constant under the sanitizers' null checks, so the functions are checked by a test.)
constexpr bool HasWrongName(const NodeTypeRow& row) {
    return (row.type == kNodeEmpty) != (row.name == nullptr);
}

constexpr bool SharesItsName(const NodeTypeRow& row) {
    for (const NodeTypeRow& other : kNodeTypeTable) {
        if (&other != &row && row.name != nullptr && other.name != nullptr &&
            std::string_view(row.name) == other.name) {
            return true;
        }
    }
    return false;
}

// The checks find each role at its first parameter: a second one would go unchecked.
constexpr bool RepeatsARole(const NodeTypeRow& row) {
    for (int k = 0; k < kNodeParams; ++k) {
        if (row.params[k] != kPlain && ParamWithRole(row, row.params[k]) != k) return true;
    }
    return false;
}

// The draw and sprite lists take as many items as the count parameter says; the list the
// blend switch picks is only a choice where the row says so.
constexpr bool MisstatesItsPushes(const NodeTypeRow& row) {
    const bool counted = row.list == NodeList::kOpaque || row.list == NodeList::kOpaqueOrBlended ||
                         row.list == NodeList::kSprites;
    const bool switched = row.list == NodeList::kOpaqueOrBlended;
    return counted != (ParamWithRole(row, kCount) >= 0) ||
           switched != (ParamWithRole(row, kBlendSwitch) >= 0);
}

static_assert(FirstRowThat(IsOutOfPlace) == -1, "row i of the node type table describes type i");
static_assert(FirstRowThat(HasWrongName) == -1, "every type but the empty record has a name");
static_assert(FirstRowThat(SharesItsName) == -1, "no two node types share a name");
static_assert(FirstRowThat(RepeatsARole) == -1, "a parameter role appears once per type");
static_assert(FirstRowThat(MisstatesItsPushes) == -1,
              "a type has a count parameter where it pushes counted items, a blend switch where "
              "it may push blended ones, and neither elsewhere");

}  // namespace

void RunNodeType(const NodeContext& ctx) {
    const NodeFunction run = NodeTypeRowOf(ctx.node().type).run;
    if (run != nullptr) run(ctx);
}

void MarkNamedTextures(const StoredNode* nodes, int count, bool* named, int tableSize) {
    for (int n = 0; n < count; ++n) {
        const int k = ParamWithRole(NodeTypeRowOf(nodes[n].type), kTexture);
        if (k < 0) continue;
        const float index = nodes[n].params[k];
        if (index >= 0.0f && index < static_cast<float>(tableSize))
            named[static_cast<int>(index)] = true;
    }
}

const char* NodeTypeName(std::uint32_t type) {
    return NodeTypeRowOf(type).name;
}

NodeType FindNodeType(std::string_view name) {
    for (const NodeTypeRow& row : kNodeTypeTable) {
        if (row.name != nullptr && name == row.name) return row.type;
    }
    return kNodeEmpty;
}

}  // namespace quixo
