#pragma once
// The window the show plays in and the present target that shows frames in it, opened the same
// way by the demo and by the authoring preview; the runtime makes its device on the window's
// GL context.
#include <string>

#include "platform/window.h"
#include "render/gfx/swap_chain.h"

namespace quixo {

struct PlaybackTarget {
    PlaybackWindow* window = nullptr;
    gfx::PresentTarget present;  // presents into the window, calling `swap` to show a frame
};

// Opens the playback window (see OpenPlaybackWindow), its GL context current. False with the
// reason in error.
bool OpenPlaybackTarget(int width, int height, bool fullScreen,
                        void (*swap)(void* window, int syncInterval), PlaybackTarget& out,
                        std::string& error);

}  // namespace quixo
