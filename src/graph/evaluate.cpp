#include "graph/graph.h"
#include "memory/arena.h"
#include "operators/node_table.h"
#include "operators/operators.h"

namespace quixo {

namespace {
ValueArray* g_emptyValueArray = nullptr;
}

GraphSlots& Slots() {
    static GraphSlots slots{};
    return slots;
}

ValueArray* EmptyValueArray() {
    return g_emptyValueArray;
}

void InitGraphCore() {
    g_emptyValueArray = static_cast<ValueArray*>(Allocate(sizeof(ValueArray), alignof(ValueArray)));
}

void AllocateGraphSlots() {
    GraphSlots& slots = Slots();
    slots.nodes = static_cast<OperatorNode**>(
        Allocate(kGraphSlots * sizeof(OperatorNode*), alignof(OperatorNode*)));
    for (int s = 0; s < kGraphSlots; ++s) {
        slots.nodes[s] = static_cast<OperatorNode*>(
            Allocate(kNodesPerGraph * sizeof(OperatorNode), alignof(OperatorNode)));
    }
    slots.values = static_cast<ValueArray**>(
        Allocate(kGraphSlots * sizeof(ValueArray*), alignof(ValueArray*)));
    for (int s = 0; s < kGraphSlots; ++s) {
        slots.values[s] = static_cast<ValueArray*>(
            Allocate(kNodesPerGraph * sizeof(ValueArray), alignof(ValueArray)));
    }
}

void ReleaseGraphCore() {
    Slots() = GraphSlots{};
    g_emptyValueArray = nullptr;
}

void EvaluateGraph(RenderDevice& device, ValueArray* values, OperatorNode* nodes,
                   GraphArguments& args) {
    for (int i = 0; i < kNodesPerGraph; ++i) values[i].evaluated = 0;
    for (int i = 0; i < kNodesPerGraph; ++i) EvaluateNode(nodes, values, i, args, device);
}

void EvaluateNode(OperatorNode* nodes, ValueArray* values, int index, GraphArguments& args,
                  RenderDevice& device) {
    OperatorNode& node = nodes[index];
    if (node.type == kNodeEmpty || values[index].evaluated) return;
    for (int k = 0; k < kNodeInputs; ++k) {
        const std::int32_t j = node.inputs[k];
        if (j != -1 && nodes[j].type != kNodeEmpty && !values[j].evaluated) {
            EvaluateNode(nodes, values, j, args, device);
        }
    }
    RunNodeType(NodeContext{nodes, values, index, &args, &device});
    values[index].evaluated = 1;
}

ValueArray* GetInput(int k, const OperatorNode& node, ValueArray* values) {
    const std::int32_t j = node.inputs[k];
    return j == -1 ? g_emptyValueArray : &values[j];
}

}  // namespace quixo
