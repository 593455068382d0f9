#include "commands.h"

namespace quixo::tool {

CommandRunner SetupClock(CLI::App& sub);
CommandRunner SetupText(CLI::App& sub);
CommandRunner SetupEval(CLI::App& sub);
CommandRunner SetupStats(CLI::App& sub);
CommandRunner SetupShaders(CLI::App& sub);
CommandRunner SetupMesh(CLI::App& sub);
Json StatsWords();
Json SceneStats();
Json TypeStats();
Json TrackStats();
Json ShaderSourceStats();
Json MeshStats();

const ToolCommand kToolCommands[] = {
    {"clock", "the clock reading of a music position", SetupClock},
    {"text", "the 3D text meshes: counts and bounds", SetupText},
    {"eval", "evaluate one graph slot for K frames and print what it produced", SetupEval},
    {"stats", "the embedded data at a glance", SetupStats},
    {"shaders", "compile every entry of the embedded shader library", SetupShaders},
    {"mesh", "run mesh programs and print the quad meshes they build", SetupMesh},
};
const int kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

// The keys of `stats`, in output order.
const StatsSection kStatsSections[] = {
    {"scenes", SceneStats},
    {"types", TypeStats},
    {"tracks", TrackStats},
    {"words", StatsWords},
    {"shaderSourceBytes", ShaderSourceStats},
    {"meshes", MeshStats},
};
const int kStatsSectionCount = sizeof kStatsSections / sizeof kStatsSections[0];

}  // namespace quixo::tool
