#include "startup/launcher_logic.h"

#include <gtest/gtest.h>

namespace quixo {
namespace {

constexpr Resolution kFullHd = {1920, 1080};

void ExpectFlags(const LaunchSettings& s, int fullScreen, int vsync, int aa, int music) {
    EXPECT_EQ(s.fullScreen, fullScreen);
    EXPECT_EQ(s.vsync, vsync);
    EXPECT_EQ(s.antiAlias, aa);
    EXPECT_EQ(s.music, music);
}

TEST(LauncherLogic, StartWithNothingChangedGivesTheDefaults) {
    LauncherState state = OpenLauncher({2560, 1440});
    EXPECT_EQ(state.settings.ok, 0);
    HandleLauncherEvent(state, LauncherEvent::StartPressed);
    EXPECT_FALSE(state.open);
    EXPECT_EQ(state.settings.ok, 1);
    EXPECT_EQ(state.settings.width, 1920);
    EXPECT_EQ(state.settings.height, 1080);
    ExpectFlags(state.settings, 1, 1, 1, 1);

    LaunchSettings d = DefaultLaunchSettings();
    EXPECT_EQ(d.ok, 1);
    EXPECT_EQ(d.width, 1920);
    EXPECT_EQ(d.height, 1080);
    ExpectFlags(d, 1, 1, 1, 1);
}

TEST(LauncherLogic, OnlyTheStartButtonOrEnterGivesOk) {
    const LauncherEvent ending[] = {LauncherEvent::NonPressed, LauncherEvent::EscapeKey,
                                    LauncherEvent::WindowClosed};
    for (LauncherEvent e : ending) {
        LauncherState state = OpenLauncher(kFullHd);
        HandleLauncherEvent(state, e);
        EXPECT_FALSE(state.open);
        EXPECT_EQ(state.settings.ok, 0);
        // Whatever ends the window, the size is still taken from the list.
        EXPECT_EQ(state.settings.width, 1920);
        EXPECT_EQ(state.settings.height, 1080);
    }
    LauncherState state = OpenLauncher(kFullHd);
    HandleLauncherEvent(state, LauncherEvent::EnterKey);
    EXPECT_EQ(state.settings.ok, 1);
}

TEST(LauncherLogic, NothingChangesOnceTheWindowHasGone) {
    LauncherState state = OpenLauncher({1280, 1024});
    HandleLauncherEvent(state, LauncherEvent::StartPressed);
    HandleLauncherEvent(state, LauncherEvent::NonPressed);
    HandleLauncherEvent(state, LauncherEvent::AntiAliasToggled);
    SelectResolution(state, 1);
    EXPECT_EQ(state.settings.ok, 1);
    EXPECT_EQ(state.settings.width, 1920);
    ExpectFlags(state.settings, 1, 1, 1, 1);
}

TEST(LauncherLogic, EachBoxFlipsOnlyItsOwnFlag) {
    LauncherState state = OpenLauncher(kFullHd);
    HandleLauncherEvent(state, LauncherEvent::AntiAliasToggled);
    ExpectFlags(state.settings, 1, 1, 0, 1);
    EXPECT_FALSE(IsBoxTicked(state, kAntiAliasBox));
    HandleLauncherEvent(state, LauncherEvent::AntiAliasToggled);
    ExpectFlags(state.settings, 1, 1, 1, 1);
    EXPECT_TRUE(IsBoxTicked(state, kAntiAliasBox));

    HandleLauncherEvent(state, LauncherEvent::FullScreenToggled);
    ExpectFlags(state.settings, 0, 1, 1, 1);
    HandleLauncherEvent(state, LauncherEvent::VSyncToggled);
    ExpectFlags(state.settings, 0, 0, 1, 1);
    HandleLauncherEvent(state, LauncherEvent::MusicToggled);
    ExpectFlags(state.settings, 0, 0, 1, 0);
    EXPECT_FALSE(IsBoxTicked(state, kFullScreenBox));
    EXPECT_FALSE(IsBoxTicked(state, kVSyncBox));
    EXPECT_FALSE(IsBoxTicked(state, kMusicBox));
    EXPECT_FALSE(IsBoxTicked(state, kResolutionList));

    // Cancelling keeps the flags as they were set; only `ok` says not to start.
    HandleLauncherEvent(state, LauncherEvent::NonPressed);
    EXPECT_EQ(state.settings.ok, 0);
    ExpectFlags(state.settings, 0, 0, 1, 0);
}

TEST(LauncherLogic, ResolutionListPutsTheDefaultFirstWithoutRepeats) {
    ResolutionTable t = BuildResolutionTable({2560, 1440});
    ASSERT_EQ(t.count, 3);
    EXPECT_EQ(ResolutionLabel(t.entries[0]), "1920x1080");
    EXPECT_EQ(ResolutionLabel(t.entries[1]), "2560x1440");
    EXPECT_EQ(ResolutionLabel(t.entries[2]), "1280x720");

    t = BuildResolutionTable(kFullHd);
    ASSERT_EQ(t.count, 2);
    EXPECT_EQ(ResolutionLabel(t.entries[1]), "1280x720");

    t = BuildResolutionTable({1280, 720});
    ASSERT_EQ(t.count, 2);
    EXPECT_EQ(ResolutionLabel(t.entries[1]), "1280x720");

    // No usable desktop size: the two fixed entries.
    t = BuildResolutionTable({0, 0});
    ASSERT_EQ(t.count, 2);
    EXPECT_EQ(ResolutionLabel(t.entries[0]), "1920x1080");
    t = BuildResolutionTable({-1, 768});
    EXPECT_EQ(t.count, 2);
}

TEST(LauncherLogic, SizeComesFromTheSelectionWhenTheWindowGoes) {
    LauncherState state = OpenLauncher({1024, 768});
    SelectResolution(state, 1);
    SelectResolution(state, 3);   // past the end: ignored
    SelectResolution(state, -1);  // nothing selected: the list keeps its selection
    HandleLauncherEvent(state, LauncherEvent::WindowClosed);
    EXPECT_EQ(state.settings.width, 1024);
    EXPECT_EQ(state.settings.height, 768);

    state = OpenLauncher({1024, 768});
    SelectResolution(state, 2);
    HandleLauncherEvent(state, LauncherEvent::StartPressed);
    EXPECT_EQ(state.settings.ok, 1);
    EXPECT_EQ(state.settings.width, 1280);
    EXPECT_EQ(state.settings.height, 720);
}

TEST(LauncherLogic, SettingsLineAndCentring) {
    LaunchSettings s = {1, 1280, 720, 1, 0, 0, 1};
    EXPECT_EQ(FormatLaunchSettings(s),
              "quixo: settings 1280x720 fullscreen=1 vsync=0 aa=0 music=1");

    EXPECT_EQ(CentredPosition(1920, 190), 865);
    EXPECT_EQ(CentredPosition(1280, 191), 544);
    // Larger than the screen: negative, rounded down as an arithmetic shift does.
    EXPECT_EQ(CentredPosition(100, 191), -46);
}

}  // namespace
}  // namespace quixo
