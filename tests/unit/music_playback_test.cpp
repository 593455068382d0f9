// Music playback: failures, the real-time pace of the output, and the spectrum.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <thread>
#include <vector>

#include "platform/music.h"
#include "platform/sample_history.h"
#include "platform/spectrum_analyzer.h"
#include "startup/music_clock.h"
#include "unit/music_test_modules.h"

namespace quixo {
namespace {

using Clock = std::chrono::steady_clock;

void UseDummyAudio() {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
}

std::string WriteTemp(const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = std::string(QUIXO_BINARY_DIR) + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

TEST(MusicFailure, MissingOrCorruptFileFailsWithTheFilesName) {
    UseDummyAudio();
    std::vector<std::uint8_t> truncated = testing::MakeTestModule(8, 125);
    truncated.resize(truncated.size() - 100);  // sample data cut short
    const std::string garbage =
        WriteTemp("music_garbage.xm", std::vector<std::uint8_t>(3000, 0x5A));
    const std::string cut = WriteTemp("music_truncated.xm", truncated);
    const std::string empty = WriteTemp("music_empty.xm", {});
    // A directory opens like a file but throws on its first stream read.
    const std::string folder = QUIXO_BINARY_DIR;
    for (const std::string& path :
         {std::string("/nonexistent/music.xm"), garbage, cut, empty, folder}) {
        ::testing::internal::CaptureStderr();
        const bool started = StartMusic(path.c_str(), MusicConfig{MusicOutput::Manual});
        const std::string err = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(started) << path;
        EXPECT_NE(err.find(path), std::string::npos) << err;
        EXPECT_FALSE(IsMusicPlaying());
        EXPECT_EQ(MusicPositionMs(), 0);
        float spectrum[64];
        GetSpectrum(spectrum, 64, 0);  // no source installed: zeros
        EXPECT_EQ(spectrum[3], 0.0f);
    }
    StopMusic();
}

// Waits for `done` or the deadline; false on the deadline.
template <typename Done>
bool WaitFor(Done done, std::chrono::milliseconds deadline) {
    const auto until = Clock::now() + deadline;
    while (!done()) {
        if (Clock::now() > until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

struct Pace {
    double wall;    // position advance over wall time
    double device;  // position advance over frames handed to the device
};

// Both read as close together as we can, over `span` of playback.
Pace MeasurePace(MusicSystem& music, std::chrono::milliseconds span) {
    EXPECT_TRUE(WaitFor([&] { return music.PositionMs() > 100; }, std::chrono::seconds(5)));
    const auto t0 = Clock::now();
    const std::int64_t p0 = music.PositionFrames();
    const std::int64_t h0 = music.FramesHanded();
    std::this_thread::sleep_for(span);
    const std::int64_t p1 = music.PositionFrames();
    const std::int64_t h1 = music.FramesHanded();
    const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
    return Pace{(p1 - p0) / static_cast<double>(kMusicRate) / wall,
                static_cast<double>(p1 - p0) / static_cast<double>(h1 - h0)};
}

TEST(MusicPlayback, DummyDriverPlaysAtRealTimePace) {
    UseDummyAudio();
    const std::string path = WriteTemp("music_long.xm", testing::MakeTestModule(20, 32, 31));
    ASSERT_TRUE(StartMusic(path.c_str()));
    MusicSystem* music = ActiveMusicSystem();
    ASSERT_EQ(music->output(), MusicOutput::Device);
    EXPECT_TRUE(IsMusicPlaying());
    // The dummy driver keeps rough time: it sleeps whole milliseconds per block (21 for 21.33),
    // so it runs up to a few percent fast, and late when the machine is busy.
    // The position follows what the device consumed closely; against the wall clock it can
    // only be held loosely, as a loaded machine makes the driver's thread wake late.
    const Pace pace = MeasurePace(*music, std::chrono::milliseconds(2000));
    EXPECT_GT(pace.wall, 0.6);
    EXPECT_LT(pace.wall, 1.07);
    EXPECT_GT(pace.device, 0.97);
    EXPECT_LT(pace.device, 1.03);
    float spectrum[512];
    GetSpectrum(spectrum, 512, 0);
    float sum = 0;
    for (float v : spectrum) sum += v;
    EXPECT_GT(sum, 0.0f);  // the square wave is in the spectrum
    StopMusic();
}

TEST(MusicPlayback, WithoutADeviceItPlaysSilentlyToTheEnd) {
    // No driver that works: a one-line warning, and the silent output in its place.
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    MusicSystem music;
    ::testing::internal::CaptureStderr();
    music.Init();
    const std::string err = ::testing::internal::GetCapturedStderr();
    UseDummyAudio();
    EXPECT_EQ(music.output(), MusicOutput::Silent);
    EXPECT_NE(err.find("plays silently"), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
    // 6 rows at 125 BPM: 6 × 5760 frames, 0.72 s.
    ASSERT_TRUE(music.CreateSoundFromMemory(testing::MakeTestModule(6, 125), "short"));
    const auto t0 = Clock::now();
    ASSERT_TRUE(music.PlaySound());
    EXPECT_TRUE(music.IsPlaying());
    ASSERT_TRUE(WaitFor([&] { return !music.IsPlaying(); }, std::chrono::seconds(5)));
    const double took = std::chrono::duration<double>(Clock::now() - t0).count();
    EXPECT_GT(took, 0.72 * 0.98);
    EXPECT_LT(took, 0.72 * 1.5);
    EXPECT_EQ(music.PositionFrames(), 6 * 5760);
}

// --- spectrum ---

std::vector<float> Sine(int n, double cyclesPerSample, double amplitude) {
    std::vector<float> s(n);
    for (int i = 0; i < n; ++i)
        s[i] = static_cast<float>(amplitude * std::sin(6.283185307179586 * cyclesPerSample * i));
    return s;
}

// The height of a bin-centred sine of amplitude A: A/2 × (window sum) / N × 2.5.
double ExpectedPeak(int n, double amplitude) {
    double sum = 0;
    for (int j = 0; j < n; ++j) {
        const double x = static_cast<double>(j) / (n - 1);
        sum +=
            0.42 - 0.5 * std::cos(6.283185307179586 * x) + 0.08 * std::cos(12.566370614359172 * x);
    }
    return amplitude / 2 * sum / n * 2.5;
}

TEST(MusicSpectrum, SinePeaksAtItsEntryWithTheExpectedHeight) {
    SpectrumAnalyzer analyzer;
    for (int size : {64, 128, 256, 512}) {
        const int k = size / 8;
        const std::vector<float> s = Sine(2 * size, static_cast<double>(k) / (2 * size), 0.5);
        std::vector<float> out(size, -1.0f);
        analyzer.Compute(s.data(), size, out.data());
        const int peak = static_cast<int>(std::max_element(out.begin(), out.end()) - out.begin());
        EXPECT_EQ(peak, k) << size;
        EXPECT_NEAR(out[k], ExpectedPeak(2 * size, 0.5), 1e-3) << size;
        EXPECT_LT(out[k + 4], 1e-3) << size;  // past the window's main lobe
        EXPECT_EQ(out[size - 1], 0.0f);
    }
    // A loud sine clamps at 1.
    const std::vector<float> loud = Sine(1024, 40.0 / 1024, 4.0);
    std::vector<float> out(512);
    analyzer.Compute(loud.data(), 512, out.data());
    EXPECT_EQ(out[40], 1.0f);
}

TEST(MusicSpectrum, ReadsTheRequestedChannelOfTheLatestSamples) {
    SampleHistory history;
    SpectrumAnalyzer analyzer;
    // Old material first, then 1024 frames of left at entry 10 and right at entry 20.
    std::vector<float> frames(2 * 3000, 0.9f);
    const std::vector<float> left = Sine(1024, 10.0 / 1024, 0.5);
    const std::vector<float> right = Sine(1024, 20.0 / 1024, 0.5);
    for (int i = 0; i < 1024; ++i) {
        frames[2 * (1976 + i)] = left[i];
        frames[2 * (1976 + i) + 1] = right[i];
    }
    history.Push(frames.data(), 1000);
    history.Push(frames.data() + 2000, 2000);  // wraps, and is longer than the ring
    std::vector<float> samples(1024), out(512);
    for (int channel : {0, 1}) {
        history.CopyChannel(channel, 1024, samples.data());
        analyzer.Compute(samples.data(), 512, out.data());
        const int peak = static_cast<int>(std::max_element(out.begin(), out.end()) - out.begin());
        EXPECT_EQ(peak, channel == 0 ? 10 : 20);
        EXPECT_NEAR(out[peak], ExpectedPeak(1024, 0.5), 1e-3);
    }
}

}  // namespace
}  // namespace quixo
