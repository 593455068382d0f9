// Runs the launcher alone and prints what it returned, for the end-to-end tests to read.
#include <cstdio>

#include "startup/launcher.h"

int main() {
    std::optional<quixo::LaunchSettings> settings = quixo::RunLauncher();
    if (!settings) return 1;
    std::printf("ok=%d %s\n", settings->ok, quixo::FormatLaunchSettings(*settings).c_str());
    return 0;
}
