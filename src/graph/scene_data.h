#pragma once
// The embedded scene graphs, scene table and curve tracks, as the data compiler stored them.
#include <array>
#include <cstdint>

#include "core/curve_track.h"
#include "graph/graph_types.h"

namespace quixo {

// Ten scenes of 256 records, back to back.
const StoredNode* StoredScenes();

// The ten scene-table entries that follow the scenes.
const SceneEntry* StoredSceneTable();

// The 64 stored curve tracks.
const CurveTrack* StoredCurveTracks();

// The ten scene durations in frames, from the scene table: the clock's timeline.
std::array<std::int32_t, kSceneCount> TimelineDurations();

}  // namespace quixo
