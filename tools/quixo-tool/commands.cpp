#include "commands.h"

namespace quixo::tool {

CommandRunner SetupClock(CLI::App& sub);

const ToolCommand kToolCommands[] = {
    {"clock", "the clock reading of a music position", SetupClock},
};
const int kToolCommandCount = sizeof kToolCommands / sizeof kToolCommands[0];

}  // namespace quixo::tool
