#pragma once
// The node types of the operator library, dispatched on the node's type number.
#include "graph/graph.h"

namespace quixo {

struct RenderDevice;

// Everything one node's computation sees. Its inputs are already evaluated.
struct NodeContext {
    OperatorNode* nodes;  // the graph's 256 nodes
    ValueArray* values;   // the graph's 256 outputs
    int index;            // the node being run
    GraphArguments* args;
    RenderDevice* device;

    OperatorNode& node() const { return nodes[index]; }
    ValueArray& out() const { return values[index]; }
    ValueArray& in(int k) const { return *GetInput(k, nodes[index], values); }
};

// Runs the computation of the node's type (1..59); other type numbers do nothing.
void RunNodeType(const NodeContext& ctx);

}  // namespace quixo
