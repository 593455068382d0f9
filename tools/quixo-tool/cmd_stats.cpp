// quixo-tool stats: the embedded data at a glance, one key per section of kStatsSections.
#include "commands.h"
#include "json_out.h"

namespace quixo::tool {

CommandRunner SetupStats(CLI::App&) {
    return [] {
        Json out = Json::object();
        for (int i = 0; i < kStatsSectionCount; ++i) {
            if (kStatsSections[i].key == nullptr) continue;
            out[kStatsSections[i].key] = kStatsSections[i].make();
        }
        PrintJson(out);
        return 0;
    };
}

}  // namespace quixo::tool
