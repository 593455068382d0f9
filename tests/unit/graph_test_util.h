#pragma once
// Shared set-up of the graph tests: the arenas and the 32 graph slots, made once per process.
#include "graph/graph.h"
#include "operators/node_table.h"
#include "unit/graph_builder.h"

namespace quixo::testing_util {

// The arenas and the 32 graph slots, made once per process (the same set-up as the
// operator tests').
inline void EnsureGraphSlots() {
    test::EnsureGraphCore();
}

// A stored node of the given type with every input unconnected.
inline StoredNode Node(std::uint32_t type, std::uint32_t count = 1) {
    StoredNode n{};
    n.type = type;
    n.count = count;
    for (auto& input : n.inputs) input = -1;
    return n;
}

}  // namespace quixo::testing_util
