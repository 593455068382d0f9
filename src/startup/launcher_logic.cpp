#include "startup/launcher_logic.h"

#include <cstdio>

namespace quixo {

namespace {

constexpr Resolution kDefaultResolution = {1920, 1080};
constexpr Resolution kSmallResolution = {1280, 720};

// The flag byte behind each check box, in control-id order from kFullScreenBox.
constexpr std::uint8_t LaunchSettings::*kBoxFlags[4] = {
    &LaunchSettings::fullScreen,
    &LaunchSettings::vsync,
    &LaunchSettings::antiAlias,
    &LaunchSettings::music,
};

bool Listed(const ResolutionTable& table, Resolution r) {
    for (std::int32_t i = 0; i < table.count; ++i) {
        if (table.entries[i].width == r.width && table.entries[i].height == r.height) return true;
    }
    return false;
}

void AddResolution(ResolutionTable& table, Resolution r) {
    if (r.width <= 0 || r.height <= 0 || Listed(table, r) || table.count == kMaxResolutions) return;
    table.entries[table.count++] = r;
}

void ToggleBox(LauncherState& state, LauncherControl box) {
    std::uint8_t& flag = state.settings.*kBoxFlags[box - kFullScreenBox];
    flag = flag ? 0 : 1;
}

// The window goes away: whatever ended it, the size is the list's selection at that moment.
void Close(LauncherState& state) {
    const Resolution& r = state.resolutions.entries[state.selection];
    state.settings.width = r.width;
    state.settings.height = r.height;
    state.open = false;
}

}  // namespace

LaunchSettings DefaultLaunchSettings() {
    return {1, kDefaultResolution.width, kDefaultResolution.height, 1, 1, 1, 1};
}

ResolutionTable BuildResolutionTable(Resolution desktop) {
    ResolutionTable table{};
    AddResolution(table, kDefaultResolution);
    AddResolution(table, desktop);
    AddResolution(table, kSmallResolution);
    return table;
}

std::string ResolutionLabel(Resolution r) {
    char text[32];
    std::snprintf(text, sizeof text, "%dx%d", static_cast<int>(r.width),
                  static_cast<int>(r.height));
    return text;
}

LauncherState OpenLauncher(Resolution desktop) {
    LauncherState state{};
    state.resolutions = BuildResolutionTable(desktop);
    state.selection = 0;
    state.settings = {0, 0, 0, 1, 1, 1, 1};
    state.open = true;
    return state;
}

void SelectResolution(LauncherState& state, std::int32_t index) {
    if (!state.open || index < 0 || index >= state.resolutions.count) return;
    state.selection = index;
}

void HandleLauncherEvent(LauncherState& state, LauncherEvent event) {
    if (!state.open) return;
    switch (event) {
        case LauncherEvent::StartPressed:
        case LauncherEvent::EnterKey:
            state.settings.ok = 1;
            Close(state);
            break;
        case LauncherEvent::NonPressed:
        case LauncherEvent::EscapeKey:
            state.settings.ok = 0;
            Close(state);
            break;
        case LauncherEvent::WindowClosed:
            Close(state);
            break;
        case LauncherEvent::FullScreenToggled:
            ToggleBox(state, kFullScreenBox);
            break;
        case LauncherEvent::VSyncToggled:
            ToggleBox(state, kVSyncBox);
            break;
        case LauncherEvent::AntiAliasToggled:
            ToggleBox(state, kAntiAliasBox);
            break;
        case LauncherEvent::MusicToggled:
            ToggleBox(state, kMusicBox);
            break;
    }
}

bool IsBoxTicked(const LauncherState& state, LauncherControl box) {
    if (box < kFullScreenBox || box > kMusicBox) return false;
    return state.settings.*kBoxFlags[box - kFullScreenBox] != 0;
}

std::string FormatLaunchSettings(const LaunchSettings& s) {
    char text[128];
    std::snprintf(text, sizeof text, "quixo: settings %dx%d fullscreen=%d vsync=%d aa=%d music=%d",
                  static_cast<int>(s.width), static_cast<int>(s.height), s.fullScreen, s.vsync,
                  s.antiAlias, s.music);
    return text;
}

int CentredPosition(int screenSize, int windowSize) {
    return (screenSize - windowSize) >> 1;
}

}  // namespace quixo
