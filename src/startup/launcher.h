#pragma once
// The settings window shown before the show: resolution, full screen, vertical sync,
// anti-aliasing and music. It runs its own event loop on the calling thread.
#include <optional>

#include "startup/launcher_logic.h"

namespace quixo {

// Shows the window and returns the settings once it has gone away (`ok` 1 only after the start
// button or Enter). Returns nothing when no window can be shown at all, for lack of a display:
// the reason has then been reported, and the caller ends with a failure status.
std::optional<LaunchSettings> RunLauncher();

}  // namespace quixo
