#pragma once
// Message boxes, the system's only way of telling the viewer something. Every box also goes to
// stderr as one line, so that headless runs (tests, tools) keep the text.
#include <string>

namespace quixo {

enum class MessageBoxMode {
    StderrOnly,   // tools and tests: print the line, never block
    Interactive,  // the demo: a modal box as well
};

void SetMessageBoxMode(MessageBoxMode mode);
MessageBoxMode GetMessageBoxMode();

// What draws the modal box in Interactive mode. The windowing layer provides it
// (UseInteractiveMessageBoxes in platform/window.h), so that programs without windows, such as
// the data compilers, link no windowing library for their error messages.
using MessageBoxDisplay = void (*)(const std::string& text, const std::string& caption);
void SetMessageBoxDisplay(MessageBoxDisplay display);

// A modal box with one OK button (when interactive) and the text on stderr. Returns when the
// box has been dismissed.
void ShowMessageBox(const std::string& text, const std::string& caption = "");

// A platform failure the program cannot continue from: the box, then exit status 1.
[[noreturn]] void FatalError(const std::string& text);

}  // namespace quixo
