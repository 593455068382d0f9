#pragma once
// What the launcher window decides, kept free of any toolkit so that it can be driven without a
// display: the settings record, the resolution list, and the effect of each viewer action.
#include <cstdint>
#include <string>

namespace quixo {

// The viewer's choices. `ok` is 1 only when the start button ended the launcher.
struct LaunchSettings {
    std::uint8_t ok;
    std::int32_t width;
    std::int32_t height;
    std::uint8_t fullScreen;
    std::uint8_t vsync;
    std::uint8_t antiAlias;  // the FXAA pass
    std::uint8_t music;
};

// What the show runs with when there is no launcher: started, 1920 × 1080, every switch on.
LaunchSettings DefaultLaunchSettings();

struct Resolution {
    std::int32_t width;
    std::int32_t height;
};

constexpr int kMaxResolutions = 4;

struct ResolutionTable {
    Resolution entries[kMaxResolutions];
    std::int32_t count;
};

// Entry 0 is always 1920 × 1080 (the default selection); then the desktop's own size and
// 1280 × 720, each only when not listed already. A desktop size that is not positive is left out.
ResolutionTable BuildResolutionTable(Resolution desktop);

// The text of a list entry: "1920x1080".
std::string ResolutionLabel(Resolution r);

// Control ids, as the window's controls are numbered; the check boxes are 3 to 6 in flag order.
enum LauncherControl : int {
    kStartButton = 1,
    kNonButton = 2,
    kFullScreenBox = 3,
    kVSyncBox = 4,
    kAntiAliasBox = 5,
    kMusicBox = 6,
    kResolutionList = 7,
};

enum class LauncherEvent : std::uint8_t {
    StartPressed,  // the start button, or Enter
    NonPressed,    // "Non", or Escape
    WindowClosed,  // any other way the window goes away (window manager, Alt+F4)
    FullScreenToggled,
    VSyncToggled,
    AntiAliasToggled,
    MusicToggled,
    EnterKey,
    EscapeKey,
};

struct LauncherState {
    ResolutionTable resolutions;
    std::int32_t selection;  // index into resolutions; always valid
    LaunchSettings settings;
    bool open;  // false once the window has gone away; later events change nothing
};

// The state of a freshly created window: entry 0 selected, all four boxes ticked, `ok` 0.
LauncherState OpenLauncher(Resolution desktop);

// The list's selection changed. An index outside the list is ignored: the list always has one.
void SelectResolution(LauncherState& state, std::int32_t index);

void HandleLauncherEvent(LauncherState& state, LauncherEvent event);

// The current tick of a check box (ids 3 to 6), for the toolkit to show.
bool IsBoxTicked(const LauncherState& state, LauncherControl box);

// One line for stderr: "quixo: settings 1920x1080 fullscreen=1 vsync=1 aa=0 music=1".
std::string FormatLaunchSettings(const LaunchSettings& settings);

// Where a window of the given outer size is centred on a screen: half the difference, rounded
// towards minus infinity, so a window larger than the screen gets a negative position.
int CentredPosition(int screenSize, int windowSize);

}  // namespace quixo
