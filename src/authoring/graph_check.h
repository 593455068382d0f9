#pragma once
// Checks that a set of stored graphs can be evaluated without running past a limit of the
// system: links inside the graph, no node depending on itself, sub-graph calls to existing
// slots that never lead back, track samplers naming real tracks, and per-frame pushes within
// the capacities of the draw, sprite and debug-line lists; and, for graphs that are to be
// drawn, that every mesh, shader and texture a node names is an entry of its table.
// Evaluation and drawing trust their data; this is what the data compiler and the inspection
// tool run first.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/curve_track.h"
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
// also name a track of at least kMinSampledTrackKeys keys.
std::optional<GraphLimitError> CheckGraphLimits(const StoredGraphSet& set, int root,
                                                const CurveTrack* tracks = nullptr);

// A sampled track needs a segment to interpolate over: two keys at least.
constexpr std::uint32_t kMinSampledTrackKeys = 2;

// Every fault among the table indices the nodes of one graph (slot `slot`) hand the renderer:
// emitter meshes (-1 or a mesh table entry), vertex and pixel shaders, and the textures of
// emitters and sprites. Each graph is checked on its own: what a sub-graph call adds to a frame
// is the called graph's nodes, checked where they are stored.
std::vector<GraphLimitError> CheckTableIndices(const StoredNode* nodes, int slot);

// Arena bytes LoadStoredScene takes for one graph's elements (two blocks per node).
std::uint64_t GraphStorageBytes(const StoredNode* nodes);

// The most element storage a set of graphs may take: it keeps the memory arena below the
// fill at which it starts warning.
constexpr std::uint64_t kGraphStorageLimit = 0x0F000000;  // 240 MiB

}  // namespace quixo
