#pragma once
// The 32 graph slots and their per-frame evaluation, with the element access rules every node
// type uses.
#include <cstdint>

#include "graph/graph_types.h"

namespace quixo {

struct RenderDevice;

// The slot tables: 32 node arrays and 32 output arrays of 256 entries each, taken from the
// memory arena by AllocateGraphSlots. Null before that.
struct GraphSlots {
    OperatorNode** nodes;  // nodes[slot][i]
    ValueArray** values;   // values[slot][i]
};
GraphSlots& Slots();

// The shared array (count 0, no elements) that stands for every unconnected input. Created
// with the graph core's initialisation.
ValueArray* EmptyValueArray();

// Graph-core initialisation (start-up step 1): clock values to 0, emptyValueArray from the
// arena.
void InitGraphCore();

// Takes the two slot tables and the 32 node and output arrays from the arena, all zeroed.
void AllocateGraphSlots();

// Forgets the slot tables and the empty array, before the arena they live in goes.
void ReleaseGraphCore();

// Evaluates one graph: clears every evaluated flag, then evaluates nodes 0..255 in order.
void EvaluateGraph(RenderDevice& device, ValueArray* values, OperatorNode* nodes,
                   GraphArguments& args);

// Evaluates node index (first its unevaluated inputs, depth first), then marks it evaluated.
void EvaluateNode(OperatorNode* nodes, ValueArray* values, int index, GraphArguments& args,
                  RenderDevice& device);

// The array feeding input slot k (0..7) of the node: emptyValueArray when unconnected.
ValueArray* GetInput(int k, const OperatorNode& node, ValueArray* values);

// Element i of the array: (0,0,0,0) when empty, the last element when i >= count (unsigned).
inline Vec4 ReadElement(std::uint32_t i, const ValueArray& array) {
    if (array.count == 0) return Vec4{0, 0, 0, 0};
    return array.elements[i < array.count ? i : array.count - 1];
}

// Stores v at i; an index past the end (unsigned) is ignored.
inline void WriteElement(std::uint32_t i, ValueArray& array, const Vec4& v) {
    if (i < array.count) array.elements[i] = v;
}

// A float parameter used as an integer: nearest, ties to even, as a 64-bit integer whose low 32
// bits are kept. Not-a-number, infinities and values outside the 64-bit range give 0.
std::uint32_t Nearest(float p);

}  // namespace quixo
