#pragma once
// Reading and checking what `quixo-tool eval` is given. Malformed files end the command with
// exit 2, graphs or tracks that break a limit of the system with exit 3.
#include <string>
#include <vector>

#include "authoring/graph_check.h"
#include "core/curve_track.h"
#include "graph/graph_types.h"

namespace quixo::tool {

// k whole stored scenes (1 <= k <= 32) as records, 256 per scene.
std::vector<StoredNode> ReadStoredGraphs(const std::string& path);

// The 64 stored tracks; kinds must be 0 or 1 and key counts at most 64.
std::vector<CurveTrack> ReadStoredTracks(const std::string& path);

// 512 little-endian floats.
std::vector<float> ReadSpectrum(const std::string& path);

// The limits of evaluating slot root, and the arena the loaded graphs would take.
void CheckEvalGraphs(const StoredGraphSet& set, int root);

}  // namespace quixo::tool
