#pragma once
// Every node type in one table: its number, the name the scene sources give it, the function
// that computes it, and what its parameters mean to the renderer's lists and tables. The
// evaluator dispatches on it, the scene compiler spells names from it and the graph checks
// derive their limits from it, so a type is added or changed in one row.
#include <array>
#include <cstdint>
#include <string_view>

#include "graph/graph_types.h"
#include "operators/operators.h"

namespace quixo {

// The type numbers of the stored records (StoredNode::type).
enum NodeType : std::uint32_t {
    kNodeEmpty = 0,  // an unused record: never evaluated, never linked to
    kNodeCopy = 1,
    kNodeAdd = 2,
    kNodeSubtract = 3,
    kNodeDivide = 4,
    kNodeMultiply = 5,
    kNodeMaxMin = 6,
    kNodeDifference = 7,
    kNodeFixedRotation = 8,
    kNodePerElementRotation = 9,
    kNodeOffsetXyz = 10,
    kNodeOffsetXyzw = 11,
    kNodeScale = 12,
    kNodeClamp = 13,
    kNodeSine = 14,
    kNodeCosine = 15,
    kNodeCircle = 16,
    kNodeArcTangent = 17,
    kNodeSetLength = 18,
    kNodeTangent = 19,
    kNodeExponential = 20,
    kNodeFalloff = 21,
    kNodeRamp = 22,
    kNodeModulo = 23,
    kNodeLength = 24,
    kNodeDistance = 25,
    kNodeRepeat = 26,
    kNodeSmoothstep = 27,
    kNodeConstant = 28,
    kNodeCompose = 29,
    kNodeSwizzleXyz = 30,
    kNodeSwizzleXyzw = 31,
    kNodeStep = 32,
    kNodeBlend = 33,
    kNodeSceneClock = 34,
    kNodeSceneClockOffset = 35,
    kNodeLattice = 36,
    kNodeShift = 37,
    kNodeRangeMap = 38,
    kNodeRandom = 39,
    kNodeCurveSampler = 40,
    kNodeSpectrum = 41,
    kNodeSpectrumScaled = 42,
    kNodeLightDirection = 43,
    kNodeDebugPolyline = 44,
    kNodeEmitter3 = 45,
    kNodeEmitter6 = 46,
    kNodeEmitter7 = 47,
    kNodeEmitter8 = 48,
    kNodePointSink = 49,
    kNodeSprite = 50,
    kNodeClearColour = 51,
    kNodeFixedCamera = 52,
    kNodeCamera = 53,
    kNodeSubGraphCall = 54,
    kNodeSubGraphArgument = 55,
    kNodeDepthOfField = 56,
    kNodeTransition = 57,
    kNodeMotionBlur = 58,
    kNodeBloom = 59,
};
static_assert(kNodeBloom == kMaxNodeType);

using NodeFunction = void (*)(const NodeContext&);

// The renderer's list a node pushes items into each time it runs.
enum class NodeList : std::uint8_t {
    kNone,
    kOpaque,           // its count parameter's worth of draw items
    kOpaqueOrBlended,  // the same, into the blended list while its blend switch is non-zero
    kSprites,          // its count parameter's worth of sprites
    kDebugLines,       // a line between each two successive points of input 0
};

// What one parameter means beyond its value. Each is read as the low 32 bits of its nearest
// integer.
enum class ParamRole : std::uint8_t {
    kPlain,
    kCount,         // how many items the node pushes
    kBlendSwitch,   // non-zero: the items go to the blended list
    kMesh,          // a mesh table entry
    kMeshOrNone,    // a mesh table entry, or -1 for a mesh-less full-screen item
    kVertexShader,  // a vertex shader
    kPixelShader,   // a pixel shader
    kTexture,       // a texture
    kTrack,         // the curve track the node samples
    kGraphSlot,     // the graph slot the node evaluates (0: none)
};

using ParamRoles = std::array<ParamRole, kNodeParams>;  // p0..p7

struct NodeTypeRow {
    NodeType type;
    const char* name;  // as the scene sources spell it; nullptr for the empty record
    NodeFunction run;  // nullptr: the type computes nothing
    NodeList list = NodeList::kNone;
    ParamRoles params = {};
};

extern const NodeTypeRow kNodeTypeTable[kMaxNodeType + 1];

// The row of a type number; numbers past the last type get the empty record's row.
inline const NodeTypeRow& NodeTypeRowOf(std::uint32_t type) {
    return kNodeTypeTable[type <= kMaxNodeType ? type : kNodeEmpty];
}

// The first parameter of a row with the given role, or -1 when it has none.
constexpr int ParamWithRole(const NodeTypeRow& row, ParamRole role) {
    for (int k = 0; k < kNodeParams; ++k) {
        if (row.params[k] == role) return k;
    }
    return -1;
}

// Marks in named[0 .. tableSize-1] each texture index that a parameter of the `count` nodes
// names, through its row's texture role.
void MarkNamedTextures(const StoredNode* nodes, int count, bool* named, int tableSize);

// The name of type 1..59, or nullptr for any other number.
const char* NodeTypeName(std::uint32_t type);

// The type of a name, or kNodeEmpty when no type has that name.
NodeType FindNodeType(std::string_view name);

}  // namespace quixo
