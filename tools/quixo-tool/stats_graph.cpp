// The `stats` sections of the embedded scene graphs and curve tracks.
#include <map>

#include "commands.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "operators/node_table.h"

namespace quixo::tool {

namespace {

const StoredNode* SceneRecords(int s) {
    return StoredScenes() + StoredSceneTable()[s].sceneRef * kNodesPerGraph;
}

}  // namespace

// [{"nodes": n, "duration": d}, ...] per scene.
Json SceneStats() {
    Json scenes = Json::array();
    for (int s = 0; s < kSceneCount; ++s) {
        int used = 0;
        for (int n = 0; n < kNodesPerGraph; ++n) used += SceneRecords(s)[n].type != kNodeEmpty;
        scenes.push_back({{"nodes", used}, {"duration", StoredSceneTable()[s].duration}});
    }
    return scenes;
}

// {"type": nodes of that type over all scenes}, in type order.
Json TypeStats() {
    std::map<std::uint32_t, int> counts;
    for (int s = 0; s < kSceneCount; ++s) {
        for (int n = 0; n < kNodesPerGraph; ++n) {
            const std::uint32_t type = SceneRecords(s)[n].type;
            if (type != kNodeEmpty) ++counts[type];
        }
    }
    Json types = Json::object();
    for (const auto& [type, count] : counts) types[std::to_string(type)] = count;
    return types;
}

// [{"kind": k, "keys": n, "usedBy": [scenes whose track samplers read it]}, ...64].
Json TrackStats() {
    Json usedBy[kCurveTrackCount];
    for (int s = 0; s < kSceneCount; ++s) {
        bool seen[kCurveTrackCount] = {};
        for (int n = 0; n < kNodesPerGraph; ++n) {
            const StoredNode& node = SceneRecords(s)[n];
            const int k = ParamWithRole(NodeTypeRowOf(node.type), ParamRole::kTrack);
            if (k < 0) continue;
            const std::uint32_t t = Nearest(node.params[k]);
            if (t >= static_cast<std::uint32_t>(kCurveTrackCount) || seen[t]) continue;
            seen[t] = true;
            usedBy[t].push_back(s);
        }
    }
    Json tracks = Json::array();
    for (int t = 0; t < kCurveTrackCount; ++t) {
        const CurveTrack& track = StoredCurveTracks()[t];
        tracks.push_back({{"kind", track.kind},
                          {"keys", track.keyCount},
                          {"usedBy", usedBy[t].is_null() ? Json::array() : usedBy[t]}});
    }
    return tracks;
}

}  // namespace quixo::tool
