#include "platform/message_box.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace quixo {

namespace {
std::atomic<MessageBoxMode> g_mode{MessageBoxMode::StderrOnly};
std::atomic<MessageBoxDisplay> g_display{nullptr};
}  // namespace

void SetMessageBoxMode(MessageBoxMode mode) {
    g_mode = mode;
}

MessageBoxMode GetMessageBoxMode() {
    return g_mode;
}

void SetMessageBoxDisplay(MessageBoxDisplay display) {
    g_display = display;
}

void ShowMessageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "quixo: %s%s%s\n", caption.c_str(), caption.empty() ? "" : ": ",
                 text.c_str());
    std::fflush(stderr);
    const MessageBoxDisplay display = g_display;
    if (g_mode == MessageBoxMode::Interactive && display != nullptr) display(text, caption);
}

void FatalError(const std::string& text) {
    ShowMessageBox(text, "Quixo");
    std::exit(1);
}

}  // namespace quixo
