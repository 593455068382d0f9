// The launcher window as the viewer meets it: found by its title, answered with the mouse and
// the keyboard through the X server, its returned settings read from the probe's output.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "e2e/x_session.h"

namespace quixo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr const char* kTitle = "Quix launch";
// The private server's screen, and the window centred on it.
constexpr int kScreenWidth = 1280;
constexpr int kScreenHeight = 1024;
constexpr int kCentreX = (kScreenWidth - 190) / 2;
constexpr int kCentreY = (kScreenHeight - 120) / 2;

// Points inside controls, in client pixels.
struct Point {
    int x, y;
};
constexpr Point kAntiAliasBox = {130, 51};
constexpr Point kStartButton = {140, 105};
constexpr Point kBackground = {100, 35};  // between the list row and the check boxes

struct Launcher {
    Process process;
    unsigned long window = 0;
};

Launcher StartLauncher() {
    Launcher launcher;
    launcher.process = StartProcess(QUIXO_LAUNCHER_PROBE);
    launcher.window = FindWindowByTitle(kTitle, 10s);
    return launcher;
}

std::string Window(const Launcher& launcher) {
    return std::to_string(launcher.window);
}

void Click(const Launcher& launcher, Point p) {
    RunCommand("xdotool mousemove --window " + Window(launcher) + " " + std::to_string(p.x) + " " +
               std::to_string(p.y) + " click 1");
}

// Gives the window the keyboard, then types the keys (xdotool key names).
void PressKeys(const Launcher& launcher, const std::string& keys) {
    RunCommand("xdotool windowfocus --sync " + Window(launcher) + " key --delay 50 " + keys);
}

// Lets the launcher end and returns what it printed; fails the test unless it ended by itself
// with status 0.
std::string Finish(Launcher& launcher) {
    const int status = WaitForExit(launcher.process, 10s);
    const std::string output = ReadOutput(launcher.process);
    EXPECT_EQ(status, 0) << output;
    return output;
}

TEST(LauncherWindow, OpensCentredBorderlessAndAboveOthers) {
    QUIXO_RUN_UNDER_XVFB();
    Launcher launcher = StartLauncher();
    ASSERT_NE(launcher.window, 0u) << ReadOutput(launcher.process);

    WindowGeometry g{};
    ASSERT_TRUE(GetWindowGeometry(launcher.window, g));
    EXPECT_EQ(g.width, 190);
    EXPECT_EQ(g.height, 120);
    EXPECT_EQ(g.x, kCentreX);
    EXPECT_EQ(g.y, kCentreY);

    // Motif hints: flags with the decorations bit (2) set, decorations 0 -> no title bar.
    CommandResult hints = RunCommand("xprop -id " + Window(launcher) + " _MOTIF_WM_HINTS");
    unsigned flags = 0, functions = 0, decorations = 1;
    const size_t eq = hints.output.find('=');
    ASSERT_NE(eq, std::string::npos) << hints.output;
    ASSERT_EQ(
        std::sscanf(hints.output.c_str() + eq + 1, " %x, %x, %x", &flags, &functions, &decorations),
        3)
        << hints.output;
    EXPECT_TRUE(flags & 2u) << hints.output;
    EXPECT_EQ(decorations, 0u) << hints.output;

    CommandResult state = RunCommand("xprop -id " + Window(launcher) + " _NET_WM_STATE");
    EXPECT_NE(state.output.find("_NET_WM_STATE_ABOVE"), std::string::npos) << state.output;

    PressKeys(launcher, "Escape");
    Finish(launcher);
}

TEST(LauncherWindow, ClickingAAThenStartTurnsAntiAliasingOff) {
    QUIXO_RUN_UNDER_XVFB();
    Launcher launcher = StartLauncher();
    ASSERT_NE(launcher.window, 0u) << ReadOutput(launcher.process);
    Click(launcher, kAntiAliasBox);
    Click(launcher, kStartButton);
    EXPECT_EQ(Finish(launcher),
              "ok=1 quixo: settings 1920x1080 fullscreen=1 vsync=1 aa=0 music=1\n");
}

TEST(LauncherWindow, EscapeCancels) {
    QUIXO_RUN_UNDER_XVFB();
    Launcher launcher = StartLauncher();
    ASSERT_NE(launcher.window, 0u) << ReadOutput(launcher.process);
    PressKeys(launcher, "Escape");
    EXPECT_EQ(Finish(launcher),
              "ok=0 quixo: settings 1920x1080 fullscreen=1 vsync=1 aa=1 music=1\n");
}

TEST(LauncherWindow, ClosingTheWindowCancels) {
    QUIXO_RUN_UNDER_XVFB();
    Launcher launcher = StartLauncher();
    ASSERT_NE(launcher.window, 0u) << ReadOutput(launcher.process);
    ASSERT_TRUE(RequestClose(launcher.window));
    EXPECT_EQ(Finish(launcher).rfind("ok=0 ", 0), 0u);
}

// The focus starts on the list: Space opens it, Down and Enter pick the desktop's own size
// (listed second); three Tabs reach "AA", Space clears it, Enter starts.
TEST(LauncherWindow, KeyboardAlonePicksSizeAndSwitches) {
    QUIXO_RUN_UNDER_XVFB();
    Launcher launcher = StartLauncher();
    ASSERT_NE(launcher.window, 0u) << ReadOutput(launcher.process);
    PressKeys(launcher, "space Down Return Tab Tab Tab space Return");
    EXPECT_EQ(Finish(launcher),
              "ok=1 quixo: settings 1280x1024 fullscreen=1 vsync=1 aa=0 music=1\n");
}

TEST(LauncherWindow, DraggingTheBackgroundMovesIt) {
    QUIXO_RUN_UNDER_XVFB();
    Launcher launcher = StartLauncher();
    ASSERT_NE(launcher.window, 0u) << ReadOutput(launcher.process);
    RunCommand("xdotool mousemove --window " + Window(launcher) + " " +
               std::to_string(kBackground.x) + " " + std::to_string(kBackground.y) +
               " mousedown 1 mousemove_relative 20 10 mousemove_relative 20 20 mouseup 1");
    // The probe moves the window when it gets to the events: wait for it, within a deadline.
    WindowGeometry g{};
    const Clock::time_point deadline = Clock::now() + 5s;
    while (GetWindowGeometry(launcher.window, g) && g.x != kCentreX + 40 &&
           Clock::now() < deadline) {
        std::this_thread::sleep_for(20ms);
    }
    EXPECT_EQ(g.x, kCentreX + 40);
    EXPECT_EQ(g.y, kCentreY + 30);
    PressKeys(launcher, "Escape");
    Finish(launcher);
}

// Needs no server: there is none to reach.
TEST(LauncherWindow, NoDisplayIsReportedAsAFailure) {
    Process unset = StartProcess(QUIXO_LAUNCHER_PROBE, "DISPLAY");
    EXPECT_EQ(WaitForExit(unset, 10s), 1);
    EXPECT_NE(ReadOutput(unset).find("cannot open the launcher window: no display"),
              std::string::npos)
        << ReadOutput(unset);

    Process absent = StartProcess(QUIXO_LAUNCHER_PROBE, "DISPLAY=:7321");
    EXPECT_EQ(WaitForExit(absent, 10s), 1);
    EXPECT_NE(ReadOutput(absent).find("no display at \":7321\""), std::string::npos)
        << ReadOutput(absent);
}

}  // namespace
}  // namespace quixo::e2e
