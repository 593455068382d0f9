#include "startup/launcher.h"

#include <string>

#include "platform/launcher_window.h"

namespace quixo {

namespace {

constexpr const char* kTitle = "Quix launch";
constexpr int kClientWidth = 190;
constexpr int kClientHeight = 120;
constexpr int kListX = 80;

// Client pixels. The list's height is that of its closed field, the height of the label row;
// the drop-down part sizes itself to its entries.
constexpr LauncherControlLayout kControls[] = {
    {0, LauncherControlKind::Label, "Resolution", 5, 5, 90, 25},
    {kResolutionList, LauncherControlKind::List, nullptr, kListX, 5, 110, 25},
    {kFullScreenBox, LauncherControlKind::CheckBox, "FullScreen", 20, 40, 90, 22},
    {kVSyncBox, LauncherControlKind::CheckBox, "VSync", 20, 62, 60, 22},
    {kAntiAliasBox, LauncherControlKind::CheckBox, "AA", 120, 40, 40, 22},
    {kMusicBox, LauncherControlKind::CheckBox, "Music", 120, 62, 60, 22},
    {kNonButton, LauncherControlKind::PushButton, "Non", 15, 90, 80, 30},
    {kStartButton, LauncherControlKind::PushButton, "Start", 100, 90, 80, 30},
};

constexpr LauncherEvent kBoxEvents[4] = {
    LauncherEvent::FullScreenToggled,
    LauncherEvent::VSyncToggled,
    LauncherEvent::AntiAliasToggled,
    LauncherEvent::MusicToggled,
};

LauncherEvent EventOf(LauncherAction action, int control) {
    switch (action) {
        case LauncherAction::EnterKey:
            return LauncherEvent::EnterKey;
        case LauncherAction::EscapeKey:
            return LauncherEvent::EscapeKey;
        case LauncherAction::WindowClosed:
            return LauncherEvent::WindowClosed;
        case LauncherAction::Control:
            break;
    }
    if (control == kStartButton) return LauncherEvent::StartPressed;
    if (control == kNonButton) return LauncherEvent::NonPressed;
    return kBoxEvents[control - kFullScreenBox];
}

// The list is read first: its selection at the moment the window goes away is the resolution.
bool Act(void* user, LauncherAction action, int control, int selection) {
    auto& state = *static_cast<LauncherState*>(user);
    if (!state.open) return false;
    SelectResolution(state, selection);
    HandleLauncherEvent(state, EventOf(action, control));
    return state.open;
}

bool Ticked(void* user, int control) {
    return IsBoxTicked(*static_cast<const LauncherState*>(user),
                       static_cast<LauncherControl>(control));
}

}  // namespace

std::optional<LaunchSettings> RunLauncher() {
    ScreenArea screen{};
    if (!OpenLauncherScreen(screen)) return std::nullopt;
    LauncherState state = OpenLauncher({screen.width, screen.height});

    const FrameSize frame = LauncherFrameSize();
    LauncherWindowLayout layout{
        kTitle,
        screen.x + CentredPosition(screen.width, kClientWidth + frame.width),
        screen.y + CentredPosition(screen.height, kClientHeight + frame.height),
        kClientWidth,
        kClientHeight,
        kControls,
        static_cast<int>(std::size(kControls)),
        {},
        state.selection};
    for (std::int32_t i = 0; i < state.resolutions.count; ++i) {
        layout.listEntries.push_back(ResolutionLabel(state.resolutions.entries[i]));
    }
    RunLauncherWindow(layout, LauncherOwner{&state, Act, Ticked});
    return state.settings;
}

}  // namespace quixo
