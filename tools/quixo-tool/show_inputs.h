#pragma once
// Where render and contact-sheet take their scenes from: the embedded ones, the sources of a
// data folder compiled now (--sources DIR), or stored graphs and tracks as eval reads them
// (--graphs FILE [--tracks FILE]).
#include <CLI/CLI.hpp>
#include <string>
#include <vector>

#include "authoring/scene_compile.h"
#include "core/curve_track.h"
#include "graph/graph_types.h"
#include "headless_show.h"

namespace quixo::tool {

struct ShowInputs {
    std::string sources;
    std::string graphs;
    std::string tracks;
};

void AddShowInputOptions(CLI::App& sub, ShowInputs& inputs);

// Compiles the sources under dir; a source fault ends the command with exit 2 and every fault
// as file:line: message.
CompiledScenes CompileSourcesOrFail(const std::string& dir);

// Reads and checks the chosen inputs before the device starts, so that bad input fails fast.
struct LoadedShowInputs {
    CompiledScenes compiled;         // from --sources
    std::vector<StoredNode> graphs;  // from --graphs
    std::vector<CurveTrack> tracks;  // from --tracks (64 empty tracks without it)
};
LoadedShowInputs ReadShowInputs(const ShowInputs& inputs);

// After StartHeadlessShow: replaces the embedded scenes, tracks and timeline with the chosen
// ones. Stored graphs fill slots 0..k-1 and leave the other scene slots empty.
void ApplyShowInputs(HeadlessShow& show, const ShowInputs& inputs, const LoadedShowInputs& loaded);

}  // namespace quixo::tool
