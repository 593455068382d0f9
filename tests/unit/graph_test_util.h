#pragma once
// Shared set-up of the graph tests: the arenas and the 32 graph slots, made once per process.
#include "graph/graph.h"
#include "memory/arena.h"
#include "operators/node_table.h"

namespace quixo::testing_util {

inline void EnsureGraphSlots() {
    static const bool done = [] {
        if (MemoryArena().base == nullptr) SetupArenas();
        InitGraphCore();
        AllocateGraphSlots();
        return true;
    }();
    (void)done;
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
