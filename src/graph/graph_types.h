#pragma once
// The operator graph's records: the stored form embedded in the program and the working form
// evaluated every frame.
#include <cstdint>

namespace quixo {

constexpr int kNodesPerGraph = 256;
constexpr int kGraphSlots = 32;
constexpr int kSceneCount = 10;
constexpr int kNodeInputs = 8;
constexpr int kNodeParams = 8;
constexpr std::uint32_t kMaxNodeType = 59;

struct Vec4 {
    float x, y, z, w;
};
static_assert(sizeof(Vec4) == 16);

// One node as stored: 72 bytes, little-endian.
struct StoredNode {
    std::uint32_t type;                // 0 = empty slot, 1..59 = a node type
    std::int32_t inputs[kNodeInputs];  // node index in the same scene, or -1
    float params[kNodeParams];
    std::uint32_t count;  // output elements
};
static_assert(sizeof(StoredNode) == 72);

constexpr std::uint32_t kStoredSceneBytes = kNodesPerGraph * sizeof(StoredNode);  // 18432

// One entry of the scene table that follows the stored scenes.
struct SceneEntry {
    std::uint32_t sceneRef;  // which stored scene (the scene's index in this build)
    std::int32_t duration;   // frames
};
static_assert(sizeof(SceneEntry) == 8);

// The working node: the stored record without its count. 68 bytes.
struct OperatorNode {
    std::uint32_t type;
    std::int32_t inputs[kNodeInputs];
    float params[kNodeParams];
};
static_assert(sizeof(OperatorNode) == 68);

// A node's output: count elements owned by the arena, and the evaluated flag of this pass.
struct ValueArray {
    std::uint32_t count;
    Vec4* elements;
    std::uint8_t evaluated;
};

// Five optional arrays handed unchanged through one evaluation (read by the sub-graph
// argument type).
struct GraphArguments {
    ValueArray* args[5];
};

}  // namespace quixo
