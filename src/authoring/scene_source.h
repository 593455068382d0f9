#pragma once
// The readable source of one scene graph, parsed into the stored records. The format:
//
//   scene 0 duration 540                 # which scene, and its length in frames (1..8200)
//   eye    = constant p 0 2 -6 0         # name = type [count N] [p v0 v1 ...] [in a b ...]
//   target = constant
//   view   = camera_lens in eye target
//
// Nodes are numbered in the order they are written. `p` lists up to eight parameters (the rest
// are 0), `in` up to eight links to earlier nodes by name, `-` leaving an input unconnected,
// `count` the number of output elements (default 1).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/source_text.h"
#include "core/timeline.h"
#include "graph/graph_types.h"

namespace quixo {

// The largest element count a source may give a node.
constexpr std::uint32_t kMaxSourceElementCount = 4096;

struct SceneSource {
    std::string file;
    int index = -1;     // scene number 0..9, -1 until the scene line is read
    int indexLine = 0;  // where the scene line is
    std::int32_t duration = 0;
    int nodeCount = 0;
    StoredNode nodes[kNodesPerGraph] = {};  // unused slots stay zero (empty)
    int nodeLines[kNodesPerGraph] = {};
    std::vector<std::string> names;  // per node
};

// Parses text (named file for the messages). Appends one error per fault found and returns
// whether there was none; out is filled as far as the text allows either way.
bool ParseSceneSource(std::string_view text, const std::string& file, SceneSource& out,
                      std::vector<SourceError>& errors);

}  // namespace quixo
