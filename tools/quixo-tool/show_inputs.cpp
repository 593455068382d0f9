#include "show_inputs.h"

#include <algorithm>

#include "authoring/scene_reload.h"
#include "eval_input.h"
#include "graph/curve_tracks.h"
#include "graph/graph.h"
#include "graph/scene_load.h"
#include "json_out.h"
#include "tool_files.h"

namespace quixo::tool {

void AddShowInputOptions(CLI::App& sub, ShowInputs& inputs) {
    auto* sources =
        sub.add_option("--sources", inputs.sources,
                       "compile DIR/scenes/*.scene and DIR/tracks/*.track and use them");
    auto* graphs =
        sub.add_option("--graphs", inputs.graphs, "k stored scenes back to back (k x 18432 bytes)")
            ->check(ReadableFile());
    sub.add_option("--tracks", inputs.tracks, "64 stored curve tracks (66048 bytes)")
        ->check(ReadableFile())
        ->needs(graphs);
    sources->excludes(graphs);
}

CompiledScenes CompileSourcesOrFail(const std::string& dir) {
    CompiledScenes compiled;
    std::vector<SourceError> errors;
    if (!RecompileSourceFolder(dir, compiled, errors)) {
        std::string message;
        for (const SourceError& e : errors) {
            if (!message.empty()) message += "\n";
            message += FormatSourceError(e);
        }
        FailInput(message);
    }
    return compiled;
}

LoadedShowInputs ReadShowInputs(const ShowInputs& inputs) {
    LoadedShowInputs loaded;
    if (!inputs.sources.empty()) loaded.compiled = CompileSourcesOrFail(inputs.sources);
    if (inputs.graphs.empty()) return loaded;
    loaded.graphs = ReadStoredGraphs(inputs.graphs);
    loaded.tracks = inputs.tracks.empty() ? std::vector<CurveTrack>(kCurveTrackCount)
                                          : ReadStoredTracks(inputs.tracks);
    StoredGraphSet set;
    const int k = static_cast<int>(loaded.graphs.size() / kNodesPerGraph);
    for (int s = 0; s < k; ++s) set.slots[s] = loaded.graphs.data() + s * kNodesPerGraph;
    // The show evaluates the scene slots as roots; each must keep within the limits.
    for (int s = 0; s < std::min(k, kSceneCount); ++s) CheckEvalGraphs(set, s);
    // Every stored graph may be drawn (as a scene or through a sub-graph call), and drawing
    // trusts the table indices it is handed: they get the checks compiled sources get.
    for (int s = 0; s < k; ++s) {
        const std::vector<GraphLimitError> faults = CheckTableIndices(set.slots[s], s);
        if (!faults.empty())
            FailInput(inputs.graphs + ": graph slot " + std::to_string(s) + ": " +
                      faults.front().message);
    }
    return loaded;
}

void ApplyShowInputs(HeadlessShow& show, const ShowInputs& inputs, const LoadedShowInputs& loaded) {
    if (!inputs.sources.empty()) {
        LoadCompiledScenes(*show.rd, loaded.compiled);
        show.durations = CompiledDurations(loaded.compiled);
    } else if (!inputs.graphs.empty()) {
        const int k = static_cast<int>(loaded.graphs.size() / kNodesPerGraph);
        LoadStoredScenes(loaded.graphs.data(), k);
        const std::vector<StoredNode> empty(kNodesPerGraph);
        for (int s = k; s < kSceneCount; ++s) LoadStoredScene(s, empty.data());
        LoadCurveTracks(*show.rd, loaded.tracks.data());
    }
}

}  // namespace quixo::tool
