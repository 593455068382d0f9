#include "authoring/scene_compile.h"

#include <cstring>
#include <memory>

#include "authoring/graph_check.h"
#include "authoring/scene_source.h"
#include "authoring/track_source.h"
#include "core/timeline.h"

namespace quixo {

namespace {

template <typename T>
void Append(std::vector<std::uint8_t>& bytes, const T& record) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&record);
    bytes.insert(bytes.end(), p, p + sizeof record);
}

// Every scene exactly once; returns the scene sources by index, or false.
bool PlaceScenes(const std::vector<std::unique_ptr<SceneSource>>& parsed,
                 const SceneSource* byIndex[kSceneCount], std::vector<SourceError>& errors) {
    bool ok = true;
    for (const auto& scene : parsed) {
        if (scene->index < 0) continue;  // already reported
        const SceneSource*& slot = byIndex[scene->index];
        if (slot != nullptr) {
            errors.push_back({scene->file, scene->indexLine,
                              "scene " + std::to_string(scene->index) + " is already defined at " +
                                  slot->file + ":" + std::to_string(slot->indexLine)});
            ok = false;
            continue;
        }
        slot = scene.get();
    }
    for (int s = 0; s < kSceneCount; ++s) {
        if (byIndex[s] == nullptr) {
            errors.push_back({"scenes", 0, "no source defines scene " + std::to_string(s)});
            ok = false;
        }
    }
    return ok;
}

// A graph fault at the source line of its node, named as the source names it. A fault in a
// called scene is reported where it lies, once.
void ReportGraphFault(const SceneSource* const byIndex[kSceneCount], const GraphLimitError& error,
                      std::vector<SourceError>& errors) {
    const SceneSource& at = *byIndex[error.slot];
    const bool named = error.node >= 0 && error.node < at.nodeCount;
    const int line = named ? at.nodeLines[error.node] : at.indexLine;
    const std::string message =
        named ? "node '" + at.names[error.node] + "': " + error.message : error.message;
    for (const SourceError& e : errors) {
        if (e.file == at.file && e.line == line && e.message == message) return;
    }
    errors.push_back({at.file, line, message});
}

bool CheckShow(const SceneSource* const byIndex[kSceneCount], const TrackSource& tracks,
               std::vector<SourceError>& errors) {
    bool ok = true;
    std::int64_t total = 0;
    std::uint64_t storage = 0;
    StoredGraphSet set;
    for (int s = 0; s < kSceneCount; ++s) {
        total += byIndex[s]->duration;
        storage += GraphStorageBytes(byIndex[s]->nodes);
        set.slots[s] = byIndex[s]->nodes;
    }
    if (total < kEndFrame) {
        const SceneSource& last = *byIndex[kSceneCount - 1];
        errors.push_back({last.file, last.indexLine,
                          "the ten durations add up to " + std::to_string(total) +
                              " frames, short of the show's " + std::to_string(kEndFrame)});
        ok = false;
    }
    if (storage > kGraphStorageLimit) {
        errors.push_back({"scenes", 0,
                          "the scenes' elements take " + std::to_string(storage >> 20) +
                              " MiB of arena, more than " +
                              std::to_string(kGraphStorageLimit >> 20) + " MiB"});
        ok = false;
    }
    for (int s = 0; s < kSceneCount; ++s) {
        for (const GraphLimitError& fault : CheckTableIndices(byIndex[s]->nodes, s)) {
            ReportGraphFault(byIndex, fault, errors);
            ok = false;
        }
        if (const auto error = CheckGraphLimits(set, s, tracks.tracks)) {
            ReportGraphFault(byIndex, *error, errors);
            ok = false;
        }
    }
    return ok;
}

}  // namespace

bool CompileSceneSources(const std::vector<SourceFile>& sceneFiles,
                         const std::vector<SourceFile>& trackFiles, CompiledScenes& out,
                         std::vector<SourceError>& errors) {
    bool ok = true;
    auto tracks = std::make_unique<TrackSource>();
    for (const SourceFile& file : trackFiles) {
        ok &= ParseTrackSource(file.text, file.name, *tracks, errors);
    }
    std::vector<std::unique_ptr<SceneSource>> parsed;
    for (const SourceFile& file : sceneFiles) {
        parsed.push_back(std::make_unique<SceneSource>());
        ok &= ParseSceneSource(file.text, file.name, *parsed.back(), errors);
    }
    const SceneSource* byIndex[kSceneCount] = {};
    if (!PlaceScenes(parsed, byIndex, errors) || !ok) return false;
    if (!CheckShow(byIndex, *tracks, errors)) return false;

    out.scenes.clear();
    out.scenes.reserve(kSceneCount * kStoredSceneBytes + kSceneCount * sizeof(SceneEntry));
    for (int s = 0; s < kSceneCount; ++s) {
        for (const StoredNode& node : byIndex[s]->nodes) Append(out.scenes, node);
    }
    for (int s = 0; s < kSceneCount; ++s) {
        // The reference to a scene's records is its index: scene s's records start at
        // s × 256 records.
        Append(out.scenes, SceneEntry{static_cast<std::uint32_t>(s), byIndex[s]->duration});
    }
    out.tracks.clear();
    for (const CurveTrack& track : tracks->tracks) Append(out.tracks, track);
    return true;
}

}  // namespace quixo
