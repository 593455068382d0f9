#include "graph/scene_data.h"

#include "graph/scene_load.h"
#include "platform/embedded.h"

QUIXO_DECLARE_BLOB(scenes);
QUIXO_DECLARE_BLOB(tracks);

namespace quixo {

// The blobs are 32-byte aligned (cmake/embed.cmake), enough for every record they hold; the
// data compiler writes them in exactly these layouts.
const StoredNode* StoredScenes() {
    return reinterpret_cast<const StoredNode*>(QUIXO_BLOB(scenes).data);
}

const SceneEntry* StoredSceneTable() {
    return reinterpret_cast<const SceneEntry*>(QUIXO_BLOB(scenes).data +
                                               kSceneCount * kStoredSceneBytes);
}

const CurveTrack* StoredCurveTracks() {
    return reinterpret_cast<const CurveTrack*>(QUIXO_BLOB(tracks).data);
}

std::array<std::int32_t, kSceneCount> TimelineDurations() {
    std::array<std::int32_t, kSceneCount> durations{};
    const SceneEntry* table = StoredSceneTable();
    for (int s = 0; s < kSceneCount; ++s) durations[s] = table[s].duration;
    return durations;
}

void LoadSceneGraphs() {
    const SceneEntry* table = StoredSceneTable();
    for (int s = 0; s < kSceneCount; ++s) {
        LoadStoredScene(s, StoredScenes() + table[s].sceneRef * kNodesPerGraph);
    }
}

}  // namespace quixo
