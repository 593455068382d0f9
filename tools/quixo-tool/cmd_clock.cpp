// quixo-tool clock --ms P
#include "commands.h"
#include "json_out.h"
#include "startup/timeline.h"

namespace quixo::tool {

// The scene durations of the show. (Read from the embedded scene table once it exists.)
static const std::int32_t kDurations[10] = {540, 60, 600, 195, 350, 350, 1740, 1400, 1397, 1680};

CommandRunner SetupClock(CLI::App& sub) {
    auto ms = std::make_shared<std::int32_t>(0);
    sub.add_option("--ms", *ms, "music position in milliseconds")->required();
    return [ms] {
        const ClockReading r = ReadClock(*ms, kDurations);
        PrintJson({{"frame", r.frame},
                   {"scene", r.scene},
                   {"sceneFrame", r.sceneFrame},
                   {"sceneEndFrame", r.sceneEndFrame},
                   {"end", r.end}});
        return 0;
    };
}

}  // namespace quixo::tool
