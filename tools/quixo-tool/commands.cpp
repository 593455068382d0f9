#include "commands.h"

namespace quixo::tool {

CommandRunner SetupClock(CLI::App& sub);
Json MusicStats();

const ToolCommand kToolCommands[] = {
    {"clock", "the clock reading of a music position", SetupClock},
};
const int kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

// The keys of `stats`, in output order.
const StatsSection kStatsSections[] = {
    {"music", MusicStats},
};
const int kStatsSectionCount = sizeof kStatsSections / sizeof kStatsSections[0];

}  // namespace quixo::tool
