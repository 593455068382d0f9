#pragma once
// Checks that a set of stored graphs can be evaluated without running past a limit of the
// system: links inside the graph, no node depending on itself, sub-graph calls to existing
// slots that never lead back, track samplers naming real tracks, and per-frame pushes within
// the capacities of the draw, sprite and debug-line lists. Evaluation itself trusts its data;
// this is what the data compiler and the inspection tool run first.
#include <cstdint>
#include <optional>
#include <string>

#include "graph/curve_track.h"
#include "graph/graph_types.h"

namespace quixo {

// The stored records of every graph slot: 256 records, or null for an empty slot.
struct StoredGraphSet {
    const StoredNode* slots[kGraphSlots] = {};
};

struct GraphLimitError {
    int slot;
    int node;  // the node at fault, or -1 when the fault belongs to the whole graph
    std::string message;
};

// What one evaluation of a slot pushes, its sub-graph calls included.
struct PassLoad {
    std::uint64_t opaque = 0;
    std::uint64_t blended = 0;
    std::uint64_t sprites = 0;
    std::uint64_t debugLines = 0;
};

// Checks what one evaluation of slot root reaches. With tracks given, a track sampler must
// also name a track that has keys.
std::optional<GraphLimitError> CheckGraphLimits(const StoredGraphSet& set, int root,
                                                const CurveTrack* tracks = nullptr);

// Arena bytes LoadStoredScene takes for one graph's elements (two blocks per node).
std::uint64_t GraphStorageBytes(const StoredNode* nodes);

// The most element storage a set of graphs may take: it keeps the memory arena below the
// fill at which it starts warning.
constexpr std::uint64_t kGraphStorageLimit = 0x0F000000;  // 240 MiB

}  // namespace quixo
