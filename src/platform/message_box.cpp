#include "platform/message_box.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace quixo {

namespace {
std::atomic<MessageBoxMode> g_mode{MessageBoxMode::StderrOnly};
}

void SetMessageBoxMode(MessageBoxMode mode) {
    g_mode = mode;
}

MessageBoxMode GetMessageBoxMode() {
    return g_mode;
}

void ShowMessageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "quixo: %s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ",
                 text.c_str());
    std::fflush(stderr);
    if (g_mode == MessageBoxMode::Interactive) {
        // Fails quietly when there is no display; the stderr line above is then all there is.
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), nullptr);
    }
}

void FatalError(const std::string& text) {
    ShowMessageBox(text, "Quixo");
    std::exit(1);
}

}  // namespace quixo
