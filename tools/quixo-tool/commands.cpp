#include "commands.h"

namespace quixo::tool {

CommandRunner SetupClock(CLI::App& sub);
CommandRunner SetupEval(CLI::App& sub);
CommandRunner SetupMesh(CLI::App& sub);
CommandRunner SetupShaders(CLI::App& sub);
CommandRunner SetupStats(CLI::App& sub);
CommandRunner SetupText(CLI::App& sub);
Json SceneStats();
Json TypeStats();
Json TrackStats();
Json MeshStats();
Json StatsWords();
Json ShaderSourceStats();
Json MusicStats();

const ToolCommand kToolCommands[] = {
    {"clock", "the clock reading of a music position", SetupClock},
    {"eval", "evaluate one graph slot for K frames and print what it produced", SetupEval},
    {"mesh", "run mesh programs and print the quad meshes they build", SetupMesh},
    {"shaders", "compile every entry of the embedded shader library", SetupShaders},
    {"stats", "the embedded data at a glance", SetupStats},
    {"text", "the 3D text meshes: counts and bounds", SetupText},
};
const int kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

// The keys of `stats`, in output order.
const StatsSection kStatsSections[] = {
    {"scenes", SceneStats},
    {"types", TypeStats},
    {"tracks", TrackStats},
    {"meshes", MeshStats},
    {"words", StatsWords},
    {"shaderSourceBytes", ShaderSourceStats},
    {"music", MusicStats},
};
const int kStatsSectionCount = sizeof kStatsSections / sizeof kStatsSections[0];

}  // namespace quixo::tool
