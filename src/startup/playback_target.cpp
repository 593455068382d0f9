#include "startup/playback_target.h"

namespace quixo {

namespace {

void PresentDrawableSize(void* window, int* width, int* height) {
    const WindowSize size = DrawableSize(static_cast<PlaybackWindow*>(window));
    *width = size.width;
    *height = size.height;
}

}  // namespace

bool OpenPlaybackTarget(int width, int height, bool fullScreen,
                        void (*swap)(void* window, int syncInterval), PlaybackTarget& out,
                        std::string& error) {
    out.window = OpenPlaybackWindow(width, height, fullScreen, error);
    if (out.window == nullptr) return false;
    out.present = gfx::PresentTarget{out.window, PresentDrawableSize, swap};
    return true;
}

}  // namespace quixo
