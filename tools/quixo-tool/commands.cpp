#include "commands.h"

namespace quixo::tool {

CommandRunner SetupClock(CLI::App& sub);
CommandRunner SetupText(CLI::App& sub);
Json StatsWords();
CommandRunner SetupShaders(CLI::App& sub);
Json ShaderSourceStats();
CommandRunner SetupMesh(CLI::App& sub);
Json MeshStats();

const ToolCommand kToolCommands[] = {
    {"clock", "the clock reading of a music position", SetupClock},
    {"text", "the 3D text meshes: counts and bounds", SetupText},
    {"shaders", "compile every entry of the embedded shader library", SetupShaders},
    {"mesh", "run mesh programs and print the quad meshes they build", SetupMesh},
};
const int kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

// The keys of `stats`, in output order.
const StatsSection kStatsSections[] = {
    {nullptr, nullptr},  // keeps the table non-empty; skipped by stats
    {"words", StatsWords},
    {"shaderSourceBytes", ShaderSourceStats},
    {"meshes", MeshStats},
};
const int kStatsSectionCount = sizeof kStatsSections / sizeof kStatsSections[0];

}  // namespace quixo::tool
