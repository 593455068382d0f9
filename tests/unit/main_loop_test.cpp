#include "startup/main_loop.h"

#include <gtest/gtest.h>

#include <vector>

namespace quixo {
namespace {

const std::int32_t kShow[10] = {540, 60, 600, 195, 350, 350, 1740, 1400, 1397, 1680};

// A scripted world: events and positions per pass, Escape after a given number of tests.
struct Script {
    std::vector<PassEvent> events;  // one per poll; None once exhausted
    std::vector<std::int32_t> positions;
    int escapeAfterTests = -1;  // Escape reads true on this test (0 = before the first pass)
    int musicStopsAfterPasses = -1;

    int polls = 0, escapeTests = 0, musicTests = 0, positionReads = 0;
    std::vector<std::int32_t> frames;
    std::vector<std::int32_t> sceneFrames;
};

MainLoopServices Services(Script& script, bool musicOn) {
    MainLoopServices s{};
    s.musicOn = musicOn;
    s.user = &script;
    s.isMusicPlaying = [](void* u) {
        auto& sc = *static_cast<Script*>(u);
        return sc.musicStopsAfterPasses < 0 || sc.musicTests++ < sc.musicStopsAfterPasses;
    };
    s.pollEvent = [](void* u) {
        auto& sc = *static_cast<Script*>(u);
        const int i = sc.polls++;
        return i < static_cast<int>(sc.events.size()) ? sc.events[i] : PassEvent::None;
    };
    s.escapeDown = [](void* u) {
        auto& sc = *static_cast<Script*>(u);
        return sc.escapeTests++ == sc.escapeAfterTests;
    };
    s.positionMs = [](void* u) {
        auto& sc = *static_cast<Script*>(u);
        const int i = sc.positionReads++;
        return i < static_cast<int>(sc.positions.size()) ? sc.positions[i] : 0;
    };
    s.runFrame = [](void* u, const ClockReading& clock) {
        auto& sc = *static_cast<Script*>(u);
        sc.frames.push_back(clock.frame);
        sc.sceneFrames.push_back(clock.sceneFrame);
    };
    return s;
}

TEST(MainLoop, EscapeHeldAtStartRendersNothing) {
    Script script;
    script.escapeAfterTests = 0;
    EXPECT_EQ(RunMainLoop(Services(script, true), kShow), LoopEnd::Escape);
    EXPECT_TRUE(script.frames.empty());
    EXPECT_EQ(script.polls, 0);
}

TEST(MainLoop, APassHandlesOneMessageOrRendersOneFrame) {
    Script script;
    script.events = {PassEvent::Other, PassEvent::Other, PassEvent::None, PassEvent::Other};
    script.positions = {8997, 9100};
    script.escapeAfterTests = 5;  // after the fifth pass
    EXPECT_EQ(RunMainLoop(Services(script, false), kShow), LoopEnd::Escape);
    ASSERT_EQ(script.frames.size(), 2u);  // passes 3 and 5 rendered
    EXPECT_EQ(script.frames[0], 540);
    EXPECT_EQ(script.sceneFrames[0], 0);  // the frame step stores it for the operators
    EXPECT_EQ(script.positionReads, 2);
}

TEST(MainLoop, EndsBeforeEvaluatingFrame8200) {
    Script script;
    script.positions = {136611, 136612, 0};
    EXPECT_EQ(RunMainLoop(Services(script, false), kShow), LoopEnd::LastFrame);
    ASSERT_EQ(script.frames.size(), 1u);
    EXPECT_EQ(script.frames[0], 8199);
}

TEST(MainLoop, EndsWhenTheWindowClosesOrTheMusicStops) {
    Script closed;
    closed.events = {PassEvent::None, PassEvent::Quit};
    EXPECT_EQ(RunMainLoop(Services(closed, false), kShow), LoopEnd::Quit);
    EXPECT_EQ(closed.frames.size(), 1u);

    Script stopped;
    stopped.musicStopsAfterPasses = 3;
    EXPECT_EQ(RunMainLoop(Services(stopped, true), kShow), LoopEnd::MusicStopped);
    EXPECT_EQ(stopped.frames.size(), 3u);

    // Without music the running test is never asked: frame 0 repeats until Escape.
    Script silent;
    silent.musicStopsAfterPasses = 0;
    silent.escapeAfterTests = 4;
    EXPECT_EQ(RunMainLoop(Services(silent, false), kShow), LoopEnd::Escape);
    EXPECT_EQ(silent.frames, (std::vector<std::int32_t>{0, 0, 0, 0}));
}

}  // namespace
}  // namespace quixo
