// quixo-tool clock --ms P
#include <limits>

#include "commands.h"
#include "core/timeline.h"
#include "graph/scene_data.h"
#include "json_out.h"

namespace quixo::tool {

CommandRunner SetupClock(CLI::App& sub) {
    auto ms = std::make_shared<std::int32_t>(0);
    sub.add_option("--ms", *ms, "music position in milliseconds")
        ->required()
        ->check(CLI::Range(0, std::numeric_limits<std::int32_t>::max()));
    return [ms] {
        const ClockReading r = ReadClock(*ms, TimelineDurations().data());
        PrintJson({{"frame", r.frame},
                   {"scene", r.scene},
                   {"sceneFrame", r.sceneFrame},
                   {"sceneEndFrame", r.sceneEndFrame},
                   {"end", r.end}});
        return 0;
    };
}

}  // namespace quixo::tool
