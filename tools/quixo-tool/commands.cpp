#include "commands.h"

namespace quixo::tool {

CommandRunner SetupClock(CLI::App& sub);
CommandRunner SetupShaders(CLI::App& sub);
Json ShaderSourceStats();

const ToolCommand kToolCommands[] = {
    {"clock", "the clock reading of a music position", SetupClock},
    {"shaders", "compile every entry of the embedded shader library", SetupShaders},
};
const int kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

// The keys of `stats`, in output order.
const StatsSection kStatsSections[] = {
    {nullptr, nullptr},  // keeps the table non-empty; skipped by stats
    {"shaderSourceBytes", ShaderSourceStats},
};
const int kStatsSectionCount = sizeof kStatsSections / sizeof kStatsSections[0];

}  // namespace quixo::tool
