#pragma once
// The launcher's window as the system draws it: FLTK widgets on the X server under Linux, the
// system's own controls on Windows. It places the controls it is given at their client
// positions and hands every viewer action to its owner, which decides what the check boxes show
// and when the window goes away (startup/launcher).
#include <cstdint>
#include <string>
#include <vector>

namespace quixo {

enum class LauncherControlKind : std::uint8_t { Label, List, CheckBox, PushButton };

struct LauncherControlLayout {
    int id;  // 0 for the label, which nobody addresses
    LauncherControlKind kind;
    const char* text;
    int x, y, width, height;  // client pixels; a list's height is that of its closed field
};

enum class LauncherAction : std::uint8_t {
    Control,       // a check box or push button was pressed
    EnterKey,      // Enter where no control took it
    EscapeKey,     // Escape likewise
    WindowClosed,  // the window is going away by the system's doing (window manager, Alt+F4)
};

struct LauncherWindowLayout {
    const char* title;
    int x, y;  // the window's outer top-left corner on the screen
    int clientWidth, clientHeight;
    const LauncherControlLayout* controls;
    int controlCount;
    std::vector<std::string> listEntries;
    int selection;  // the list's entry at the start
};

struct LauncherOwner {
    void* user;
    // One action, with the list's selection at that moment and the control's id for Control.
    // False when the window is to go away.
    bool (*act)(void* user, LauncherAction action, int control, int selection);
    // Whether a check box shows a tick (asked at the start and after every action).
    bool (*ticked)(void* user, int control);
};

struct ScreenArea {
    int x, y, width, height;
};

struct FrameSize {
    int width, height;
};

// Connects to the display and reports the screen the launcher is centred on. False, after a
// message saying why, when there is no display to show a window on.
bool OpenLauncherScreen(ScreenArea& screen);

// What the window's frame adds to each dimension of its client area.
FrameSize LauncherFrameSize();

// Shows the window, kept above other windows, and handles its events until the owner ends it;
// on return the window is gone from the screen.
void RunLauncherWindow(const LauncherWindowLayout& layout, const LauncherOwner& owner);

}  // namespace quixo
