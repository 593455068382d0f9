// The demo as the viewer runs it: the launcher answered through the X server, a few seconds of
// the show, a look at what the window shows, Escape, and the exit status.
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>
#include <thread>

#include "e2e/x_session.h"

namespace quixo::e2e {
namespace {

using namespace std::chrono_literals;

constexpr const char* kLauncherTitle = "Quix launch";
constexpr const char* kShowTitle = "Quixo";
// Client points inside the launcher's controls.
constexpr int kAntiAliasX = 130, kAntiAliasY = 51;
constexpr int kStartX = 140, kStartY = 105;
// Start-up builds every mesh, shader and texture on a software renderer.
constexpr auto kStartupLimit = 40s;

std::string Id(unsigned long window) {
    return std::to_string(window);
}

// The demo, started in its build folder where its music lies, with its launcher on screen.
struct Demo {
    Process process;
    unsigned long launcher = 0;
};

Demo StartDemo(const std::string& path = QUIXO_DEMO) {
    Demo demo;
    const std::string folder = path.substr(0, path.rfind('/'));
    if (chdir(folder.c_str()) != 0) return demo;
    demo.process = StartProcess(path);
    demo.launcher = FindWindowByTitle(kLauncherTitle, 10s);
    return demo;
}

void ClickLauncher(const Demo& demo, int x, int y) {
    RunCommand("xdotool mousemove --window " + Id(demo.launcher) + " " + std::to_string(x) + " " +
               std::to_string(y) + " click 1");
}

void PressKeys(unsigned long window, const std::string& keys) {
    RunCommand("xdotool windowfocus --sync " + Id(window) + " key --delay 50 " + keys);
}

// The number of distinct colours the window shows (0 when no screenshot could be taken).
std::size_t DistinctColours(unsigned long window) {
    const std::string bytes = WindowPixels(window);
    std::set<std::uint32_t> colours;
    for (std::size_t i = 0; i + 2 < bytes.size(); i += 3) {
        colours.insert(static_cast<std::uint8_t>(bytes[i]) << 16 |
                       static_cast<std::uint8_t>(bytes[i + 1]) << 8 |
                       static_cast<std::uint8_t>(bytes[i + 2]));
        if (colours.size() > 64) break;
    }
    return colours.size();
}

// The list's third entry (1280 × 720) and full screen off: a small window keeps the software
// renderer fast. One Tab moves from the list to the full-screen box.
TEST(Playback, WindowedShowPlaysUntilEscape) {
    QUIXO_RUN_UNDER_XVFB();
    Demo demo = StartDemo();
    ASSERT_NE(demo.launcher, 0u) << ReadOutput(demo.process);
    PressKeys(demo.launcher, "space Down Down Return Tab space Return");

    const unsigned long show = FindWindowByTitle(kShowTitle, kStartupLimit);
    ASSERT_NE(show, 0u) << ReadOutput(demo.process);
    WindowGeometry g{};
    ASSERT_TRUE(GetWindowGeometry(show, g));
    EXPECT_EQ(g.width, 1280);
    EXPECT_EQ(g.height, 720);
    EXPECT_EQ(g.x, 0);
    EXPECT_EQ(g.y, (1024 - 720) / 2);

    // A few seconds of the show, then the window must show a rendered frame, not one colour.
    std::size_t colours = 0;
    const Clock::time_point deadline = Clock::now() + 15s;
    while (Clock::now() < deadline) {
        std::this_thread::sleep_for(1s);
        colours = DistinctColours(show);
        if (colours > 1) break;
    }
    EXPECT_GT(colours, 1u) << "the playback window shows a single colour";

    PressKeys(show, "Escape");
    const int status = WaitForExit(demo.process, 20s);
    const std::string output = ReadOutput(demo.process);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("quixo: settings 1280x720 fullscreen=0 vsync=1 aa=1 music=1"),
              std::string::npos)
        << output;
}

TEST(Playback, CancellingTheLauncherEndsBeforeAnyWindow) {
    QUIXO_RUN_UNDER_XVFB();
    Demo demo = StartDemo();
    ASSERT_NE(demo.launcher, 0u) << ReadOutput(demo.process);
    PressKeys(demo.launcher, "Escape");
    EXPECT_EQ(WaitForExit(demo.process, 10s), 0) << ReadOutput(demo.process);
    // Nothing of the show was set up: no settings line, and no playback window remains.
    EXPECT_EQ(ReadOutput(demo.process).find("quixo: settings"), std::string::npos)
        << ReadOutput(demo.process);
    EXPECT_EQ(FindWindowByTitle(kShowTitle, 200ms), 0u);
}

// The build that scripts/run makes and starts (optimised, its own folder): a warning or a
// missing file there would otherwise reach users without any test noticing.
TEST(Playback, RunCommandsBuildOpensTheLauncherAndEndsOnEscape) {
#ifndef QUIXO_RELEASE_DEMO
    GTEST_SKIP() << "configure with -DQUIXO_RELEASE_DEMO (scripts/test does)";
#else
    QUIXO_RUN_UNDER_XVFB();
    Demo demo = StartDemo(QUIXO_RELEASE_DEMO);
    ASSERT_NE(demo.launcher, 0u) << ReadOutput(demo.process);
    PressKeys(demo.launcher, "Escape");
    EXPECT_EQ(WaitForExit(demo.process, 10s), 0) << ReadOutput(demo.process);
#endif
}

TEST(Playback, AntiAliasingSwitchedOffReachesTheShow) {
    QUIXO_RUN_UNDER_XVFB();
    Demo demo = StartDemo();
    ASSERT_NE(demo.launcher, 0u) << ReadOutput(demo.process);
    ClickLauncher(demo, kAntiAliasX, kAntiAliasY);
    ClickLauncher(demo, kStartX, kStartY);

    const unsigned long show = FindWindowByTitle(kShowTitle, kStartupLimit);
    ASSERT_NE(show, 0u) << ReadOutput(demo.process);
    // Full screen: the window covers the desktop whatever size the frame has.
    WindowGeometry g{};
    ASSERT_TRUE(GetWindowGeometry(show, g));
    EXPECT_EQ(g.width, 1280);
    EXPECT_EQ(g.height, 1024);

    PressKeys(show, "Escape");
    const int status = WaitForExit(demo.process, 20s);
    const std::string output = ReadOutput(demo.process);
    EXPECT_EQ(status, 0) << output;
    EXPECT_NE(output.find("quixo: settings 1920x1080 fullscreen=1 vsync=1 aa=0 music=1"),
              std::string::npos)
        << output;
}

}  // namespace
}  // namespace quixo::e2e
