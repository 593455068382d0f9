// quixo-tool build-info
// The commit this tool was built from and its data checksum, as the film's pieces check them on
// every machine that renders some (see build_identity.h).
#include "build_identity.h"
#include "commands.h"
#include "json_out.h"

namespace quixo::tool {

CommandRunner SetupBuildInfo(CLI::App&) {
    return [] {
        const BuildIdentity build = ThisBuild();
        PrintJson({{"commit", build.commit}, {"data", build.data}});
        return 0;
    };
}

}  // namespace quixo::tool
