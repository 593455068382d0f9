#pragma once
// How the scenes sample the curve tracks, for the track editor: which nodes read each track,
// what the editor calls the track (the name of the node that samples it), the order it lists
// the tracks in for a scene, and the time each track is read on (so its keys sit at the rows
// where the show reaches them).
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/row_grid.h"
#include "core/curve_track.h"
#include "graph/graph_types.h"

namespace quixo {

// The graph of one scene: its records, and its node names when a source gave them.
struct SceneGraphView {
    const StoredNode* nodes = nullptr;
    const std::vector<std::string>* names = nullptr;
};

// One track sampler that a scene's evaluation reaches (its own graph or one it calls).
struct TrackSampler {
    int scene;  // the scene being played
    int graph;  // the scene whose graph holds the node
    int node;
    std::string name;  // the node's name, or "node N" without a source
    // The sampler reads scale × (scene frame + offset), when its time input is the scene's clock
    // running forward; otherwise the editor shows its keys on the scene's frames.
    double scale = 1;
    double offset = 0;
    bool timeKnown = false;
};

struct TrackUses {
    std::vector<TrackSampler> samplers[kCurveTrackCount];  // in scene, then node order
};

TrackUses FindTrackUses(const SceneGraphView scenes[kSceneCount]);

// The tracks as the editor lists them while `scene` plays: those its evaluation samples, in the
// order of their first sampler, then every other track by number.
std::vector<int> TrackOrder(const TrackUses& uses, int scene);

// How many tracks at the head of TrackOrder the scene samples.
int SampledTrackCount(const TrackUses& uses, int scene);

// The track's name while `scene` plays: the first node of that scene sampling it, else the first
// node of any scene, prefixed with that scene ("s4 eye"); "" when nothing samples it.
std::string TrackName(const TrackUses& uses, int track, int scene);

// The time the track is read on while `scene` plays: its sampler there, else its first sampler
// in another scene; the show's own frames when nothing samples it.
TrackTime TrackTimeIn(const TrackUses& uses, int track, int scene,
                      const std::int32_t durations[kSceneCount]);

}  // namespace quixo
