#include "authoring/track_uses.h"

#include <algorithm>

#include "authoring/show_seek.h"
#include "graph/graph.h"
#include "operators/node_table.h"

namespace quixo {

namespace {

// The scene clocks a sampler's time can come from: type, scale parameter, offset parameter
// (-1 for none) and mode parameter; mode 0 counts the frames since the scene began.
struct ClockType {
    std::uint32_t type;
    int scale, offset, mode;
};
constexpr ClockType kClockTypes[] = {
    {kNodeSceneClock, 0, -1, 1},
    {kNodeSceneClockOffset, 0, 1, 2},
};

void ReadSamplerTime(const StoredNode* nodes, const StoredNode& sampler, TrackSampler& out) {
    const std::int32_t in = sampler.inputs[0];
    if (in < 0 || in >= kNodesPerGraph) return;
    const StoredNode& clock = nodes[in];
    for (const ClockType& c : kClockTypes) {
        if (clock.type != c.type || Nearest(clock.params[c.mode]) != 0) continue;
        const float scale = clock.params[c.scale];
        if (!(scale > 0)) return;
        out.scale = scale;
        out.offset = c.offset >= 0 ? clock.params[c.offset] : 0.0;
        out.timeKnown = true;
    }
}

// The samplers in graph `graph` and in the scenes it calls, played as scene `scene`.
void CollectSamplers(const SceneGraphView scenes[kSceneCount], int scene, int graph,
                     std::vector<bool>& visited, TrackUses& uses) {
    if (graph < 0 || graph >= kSceneCount || visited[graph] || !scenes[graph].nodes) return;
    visited[graph] = true;
    const SceneGraphView& view = scenes[graph];
    for (int n = 0; n < kNodesPerGraph; ++n) {
        const StoredNode& node = view.nodes[n];
        if (node.type == kNodeSubGraphCall) {
            CollectSamplers(scenes, scene, static_cast<int>(Nearest(node.params[0])), visited,
                            uses);
            continue;
        }
        if (node.type != kNodeCurveSampler) continue;
        const std::uint32_t track = Nearest(node.params[0]);
        if (track >= static_cast<std::uint32_t>(kCurveTrackCount)) continue;
        TrackSampler sampler{scene, graph, n, "", 1, 0, false};
        const bool named = view.names && n < static_cast<int>(view.names->size());
        sampler.name = named ? (*view.names)[n] : "node " + std::to_string(n);
        ReadSamplerTime(view.nodes, node, sampler);
        uses.samplers[track].push_back(sampler);
    }
}

// The sampler the editor reads a track by while `scene` plays, or null.
const TrackSampler* SamplerFor(const TrackUses& uses, int track, int scene) {
    const std::vector<TrackSampler>& all = uses.samplers[track];
    for (const TrackSampler& s : all) {
        if (s.scene == scene) return &s;
    }
    return all.empty() ? nullptr : &all.front();
}

}  // namespace

TrackUses FindTrackUses(const SceneGraphView scenes[kSceneCount]) {
    TrackUses uses;
    for (int scene = 0; scene < kSceneCount; ++scene) {
        std::vector<bool> visited(kSceneCount, false);
        CollectSamplers(scenes, scene, scene, visited, uses);
    }
    return uses;
}

std::vector<int> TrackOrder(const TrackUses& uses, int scene) {
    std::vector<std::pair<int, int>> sampled;  // (node order, track)
    std::vector<int> rest;
    for (int t = 0; t < kCurveTrackCount; ++t) {
        int first = -1;
        for (std::size_t i = 0; i < uses.samplers[t].size(); ++i) {
            if (uses.samplers[t][i].scene == scene) {
                const TrackSampler& s = uses.samplers[t][i];
                first = s.graph * kNodesPerGraph + s.node;
                break;
            }
        }
        if (first >= 0) {
            sampled.push_back({first, t});
        } else {
            rest.push_back(t);
        }
    }
    std::sort(sampled.begin(), sampled.end());
    std::vector<int> order;
    for (const auto& [at, t] : sampled) order.push_back(t);
    order.insert(order.end(), rest.begin(), rest.end());
    return order;
}

int SampledTrackCount(const TrackUses& uses, int scene) {
    int count = 0;
    for (const std::vector<TrackSampler>& all : uses.samplers) {
        count += std::any_of(all.begin(), all.end(),
                             [scene](const TrackSampler& s) { return s.scene == scene; });
    }
    return count;
}

std::string TrackName(const TrackUses& uses, int track, int scene) {
    const TrackSampler* s = SamplerFor(uses, track, scene);
    if (!s) return "";
    if (s->scene == scene) return s->name;
    // Appended: GCC 12 at -O3 warns falsely (-Wrestrict) about a literal put before a
    // temporary string.
    std::string name = "s";
    name += std::to_string(s->scene);
    name += ' ';
    name += s->name;
    return name;
}

TrackTime TrackTimeIn(const TrackUses& uses, int track, int scene,
                      const std::int32_t durations[kSceneCount]) {
    const TrackSampler* s = SamplerFor(uses, track, scene);
    if (!s) return {};
    // scale × (scene frame + offset) = scale × (show frame − (scene start − offset)).
    const double start = SceneStartFrame(s->scene, durations);
    return {start - s->offset, s->scale};
}

}  // namespace quixo
