#pragma once
// The playback window: one SDL window with an OpenGL 4.5 core context, borderless and centred
// or covering the desktop, dragged by a left click anywhere when windowed.
#include <string>

namespace quixo {

struct PlaybackWindow;  // opaque: the SDL window and its GL context

struct WindowSize {
    int width;
    int height;
};

// Opens the window and makes its GL context current. Windowed: a borderless window of
// width × height centred on the desktop (x = (desktop width − width) >> 1, likewise y).
// Full screen: a desktop-sized window with the cursor hidden (the display mode is left as it
// is; the frame is scaled into it). Returns null and fills error when no window or no OpenGL
// 4.5 core context can be had.
PlaybackWindow* OpenPlaybackWindow(int width, int height, bool fullScreen, std::string& error);

enum class WindowEvent {
    None,   // nothing was waiting
    Quit,   // the window was closed: the main loop ends
    Other,  // one message was handled
};

// Takes at most one waiting event and handles it (the main loop's one-message-per-pass rule).
WindowEvent PollWindowEvent(PlaybackWindow* window);

// Whether Escape is held down now, or was pressed since the last call (a quick tap between two
// calls still counts).
bool EscapeDown();

// The size in pixels of what the window shows (the default framebuffer).
WindowSize DrawableSize(PlaybackWindow* window);

// Message boxes as the demo shows them: Interactive mode, each box a modal window (which fails
// quietly without a display, leaving the stderr line alone).
void UseInteractiveMessageBoxes();

// Presents the default framebuffer; interval 1 waits for vertical sync, 0 does not.
void SetSwapInterval(int interval);
void SwapWindow(PlaybackWindow* window);

}  // namespace quixo
