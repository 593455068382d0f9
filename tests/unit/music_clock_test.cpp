// The music position as the show's clock, through the real playback path: a pretend device
// asks for blocks at fake times, as the audio thread would.
#include <gtest/gtest.h>

#include <vector>

#include "core/timeline.h"
#include "platform/music.h"
#include "unit/music_test_modules.h"

namespace quixo {
namespace {

const std::int32_t kShow[10] = {540, 60, 600, 195, 350, 350, 1740, 1400, 1397, 1680};
constexpr int kBlock = 1024;

std::int64_t g_fakeNs = 0;
std::int64_t FakeClock() {
    return g_fakeNs;
}

// A device that keeps one block queued and asks for the next one every block's duration.
struct FakeDevice {
    MusicSystem music;
    std::vector<float> buffer = std::vector<float>(2 * kBlock);
    std::int64_t requests = 0;
    std::int64_t lastRequestNs = 0;

    explicit FakeDevice(int latency)
        : music(MusicConfig{MusicOutput::Manual, kBlock, FakeClock, latency}) {
        g_fakeNs = 1000;  // not zero: nothing may depend on the clock's origin
        music.Init();
    }

    void Request() {
        g_fakeNs = 1000 + requests * kBlock * 1000000000LL / kMusicRate;
        lastRequestNs = g_fakeNs;
        music.FeedDevice(buffer.data(), kBlock);
        ++requests;
    }

    // Plays on until the listener hears audio frame `frame`, then reads there. With one block
    // queued, the block asked for at request k (k >= 2) starts at frame (k - 2) * kBlock.
    void HearFrame(std::int64_t frame) {
        while (requests < frame / kBlock + 2) Request();
        const std::int64_t into = frame - (requests - 2) * kBlock;
        g_fakeNs = lastRequestNs + (into * 1000000000LL + kMusicRate - 1) / kMusicRate;
    }
};

std::vector<std::uint8_t> LongQuietModule() {
    // 40 rows of 31 ticks at 32 BPM: 40 × 116250 frames, about 97 s.
    return testing::MakeTestModule(40, 32, 31, {false, false});
}

TEST(MusicClock, PositionMapsOntoTheShowsFramesAtTheEdges) {
    FakeDevice d(kBlock);
    ASSERT_TRUE(d.music.CreateSoundFromMemory(LongQuietModule(), "long"));
    EXPECT_EQ(d.music.PositionMs(), 0);  // created, not playing
    ASSERT_TRUE(d.music.PlaySound());
    EXPECT_EQ(ReadClock(d.music.PositionMs(), kShow).frame, 0);
    d.Request();
    d.Request();
    EXPECT_EQ(d.music.PositionMs(), 0);  // the first block has only just begun to play

    struct Case {
        std::int32_t ms, frame, scene, sceneFrame, sceneEndFrame;
    };
    const Case cases[] = {
        {8991, 539, 0, 539, 540},     {8997, 540, 1, 0, 600},    {19992, 1200, 3, 0, 1395},
        {63891, 3834, 6, 1739, 3835}, {63892, 3835, 7, 0, 5235}, {90000, 5402, 8, 167, 6632},
    };
    for (const Case& c : cases) {
        d.HearFrame(std::int64_t{c.ms} * kMusicRate / 1000);
        ASSERT_EQ(d.music.PositionMs(), c.ms);
        const ClockReading r = ReadClock(d.music.PositionMs(), kShow);
        EXPECT_EQ(r.frame, c.frame) << c.ms;
        EXPECT_EQ(r.scene, c.scene) << c.ms;
        EXPECT_EQ(r.sceneFrame, c.sceneFrame) << c.ms;
        EXPECT_EQ(r.sceneEndFrame, c.sceneEndFrame) << c.ms;
        EXPECT_FALSE(r.end);
    }
}

TEST(MusicClock, LastShownFrameAndTheEnd) {
    // 60 rows of the long module: about 145 s, past the show's end.
    FakeDevice d(kBlock);
    ASSERT_TRUE(d.music.CreateSoundFromMemory(testing::MakeTestModule(60, 32, 31), "long"));
    ASSERT_TRUE(d.music.PlaySound());
    d.HearFrame(136611LL * 48);
    ClockReading r = ReadClock(d.music.PositionMs(), kShow);
    EXPECT_EQ(r.frame, 8199);
    EXPECT_FALSE(r.end);
    d.HearFrame(136612LL * 48);
    r = ReadClock(d.music.PositionMs(), kShow);
    EXPECT_EQ(r.frame, 8200);
    EXPECT_TRUE(r.end);
    EXPECT_TRUE(d.music.IsPlaying());
}

TEST(MusicClock, NeverAheadOfTheSoundNorBackwards) {
    FakeDevice d(kBlock);
    ASSERT_TRUE(d.music.CreateSoundFromMemory(LongQuietModule(), "long"));
    ASSERT_TRUE(d.music.PlaySound());
    for (int i = 0; i < 10; ++i) d.Request();
    // The listener hears one block behind what was handed over.
    g_fakeNs = d.lastRequestNs;
    EXPECT_EQ(d.music.PositionFrames(), d.music.FramesHanded() - 2 * kBlock);
    // A device that stalls: the position stops at the end of the block that is playing.
    g_fakeNs = d.lastRequestNs + 1000000000LL;
    const std::int64_t stalled = d.music.PositionFrames();
    EXPECT_EQ(stalled, d.music.FramesHanded() - kBlock);
    // A request that comes early moves nothing back.
    d.music.FeedDevice(d.buffer.data(), kBlock);
    EXPECT_GE(d.music.PositionFrames(), stalled);
    // A clock read before the last request (a late reader thread) reads no less either.
    g_fakeNs -= 5000000;
    EXPECT_GE(d.music.PositionFrames(), stalled);
}

TEST(MusicClock, EndsWhenTheLastSampleHasBeenHeard) {
    // 4 rows at 125 BPM: 4 × 5760 = 23040 frames.
    FakeDevice d(0);
    ASSERT_TRUE(d.music.CreateSoundFromMemory(testing::MakeTestModule(4, 125), "short"));
    ASSERT_TRUE(d.music.PlaySound());
    while (d.music.FramesHanded() < 23040) {
        d.Request();
        ASSERT_LT(d.requests, 100);
    }
    g_fakeNs = d.lastRequestNs;
    EXPECT_TRUE(d.music.IsPlaying());  // the last block has been handed over, not yet heard
    g_fakeNs = d.lastRequestNs + 1000000000LL;
    EXPECT_FALSE(d.music.IsPlaying());
    EXPECT_EQ(d.music.PositionFrames(), 23040);  // stops at the music's end, not the silence
    d.Request();
    EXPECT_FALSE(d.music.IsPlaying());
}

TEST(MusicClock, StartedPartWayCountsFromWhereTheDecoderLanded) {
    FakeDevice d(kBlock);
    ASSERT_TRUE(d.music.CreateSoundFromMemory(LongQuietModule(), "long"));
    ASSERT_TRUE(d.music.PlaySound(10000));
    // Exactly where asked, though rows here are 116250 frames apart.
    const std::int64_t start = d.music.PositionFrames();
    EXPECT_EQ(start, 10 * kMusicRate);
    EXPECT_EQ(d.music.PositionMs(), 10000);
    // While the device's queue fills, the position waits at the start instead of going back.
    d.Request();
    EXPECT_EQ(d.music.PositionFrames(), start);
    for (int i = 0; i < 9; ++i) d.Request();
    g_fakeNs = d.lastRequestNs;
    EXPECT_EQ(d.music.FramesHanded(), start + 10 * kBlock);
    EXPECT_EQ(d.music.PositionFrames(), start + 8 * kBlock);
    EXPECT_FALSE(d.music.PlaySound(0));  // already playing
}

}  // namespace
}  // namespace quixo
