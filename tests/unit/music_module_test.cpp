// The soundtrack as a module: section marks and their measured starts, and the committed file.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/module_decoder.h"
#include "platform/music_analysis.h"
#include "platform/spectrum_analyzer.h"
#include "song.h"
#include "unit/music_test_modules.h"

namespace quixo {
namespace {

TEST(MusicModule, SectionStartsAreFoundAndMeasured) {
    const auto xm = testing::MakeTestModule(8, 125, 6, {true, false, true, false});
    std::vector<int> orders;
    std::string error;
    ASSERT_TRUE(FindSectionOrders(xm, &orders, &error)) << error;
    EXPECT_EQ(orders, (std::vector<int>{0, 2}));
    ModuleTimeline t;
    ASSERT_TRUE(MeasureModule(xm, 48000, &t, &error)) << error;
    EXPECT_EQ(t.totalFrames, 32 * 5760);
    ASSERT_EQ(t.sectionStartFrames.size(), 2u);
    EXPECT_EQ(t.sectionStartFrames[0], 0);
    EXPECT_NEAR(static_cast<double>(t.sectionStartFrames[1]), 16 * 5760, 16);

    std::vector<std::uint8_t> cut(xm.begin(), xm.begin() + 400);
    EXPECT_FALSE(FindSectionOrders(cut, &orders, &error));
    EXPECT_EQ(NearestShowFrame(431823, 48000), 540);  // 8996.3 ms
}

TEST(MusicModule, SoundtrackSectionsLandOnTheSceneStarts) {
    std::vector<std::uint8_t> committed;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(std::string(QUIXO_SOURCE_DIR) + "/media_tessorin2012/music/music.xm",
                              &committed, &error))
        << error;
    EXPECT_TRUE(CheckXmStructure(committed, &error)) << error;
    ModuleTimeline t;
    ASSERT_TRUE(MeasureModule(committed, 48000, &t, &error)) << error;
    const double seconds = static_cast<double>(t.totalFrames) / t.sampleRate;
    EXPECT_GE(seconds, 137.0);
    EXPECT_LE(seconds, 150.0);
    ASSERT_EQ(t.sectionStartFrames.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        const double frame = t.sectionStartFrames[i] * 1000.0 / t.sampleRate * 100.0 / 1666.0;
        EXPECT_LT(std::abs(frame - xmgen::kSectionPlans[i].startFrame), 1.0) << i;
    }
}

// The spectrum nodes read entry 2 of 512 (about 94 Hz at 48 kHz) to move with the beat: the
// kick and bass must sit there once the drums are in, and not before.
TEST(MusicModule, KickAndBassDriveTheLowEntries) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(std::string(QUIXO_SOURCE_DIR) + "/media_tessorin2012/music/music.xm",
                              &bytes, &error));
    auto decoder = ModuleDecoder::Open(bytes, &error);
    ASSERT_NE(decoder, nullptr) << error;
    std::vector<float> audio(2 * 48000 * 12);
    ASSERT_EQ(decoder->Render(audio.data(), 48000 * 12, 48000), 48000 * 12);
    SpectrumAnalyzer analyzer;
    auto entry2At = [&](double seconds) {
        // The 1024 samples of the left channel that end `seconds` into the music.
        const int end = static_cast<int>(seconds * 48000);
        std::vector<float> left(1024), out(512);
        for (int i = 0; i < 1024; ++i) left[i] = audio[2 * (end - 1024 + i)];
        analyzer.Compute(left.data(), 512, out.data());
        return out[2];
    };
    const double kickInGrid = entry2At(9.9963 + 0.03);  // just after the grid's first kick
    const double intro = entry2At(5.0);
    EXPECT_GT(kickInGrid, 0.02);
    EXPECT_GT(kickInGrid, 4 * intro);
}

TEST(MusicModule, SeekingLandsOnTheFrameAndSoundsAsPlayedThrough) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    ASSERT_TRUE(ReadFileBytes(std::string(QUIXO_SOURCE_DIR) + "/media_tessorin2012/music/music.xm",
                              &bytes, &error));
    auto straight = ModuleDecoder::Open(bytes, &error);
    auto seeking = ModuleDecoder::Open(bytes, &error);
    ASSERT_NE(straight, nullptr) << error;
    // Inside the grid scene, between two rows: the library alone would land on a row start.
    const std::int64_t frame = 48000 * 14 + 1234;
    std::vector<float> through(2 * (frame + 4800)), after(2 * 4800);
    ASSERT_EQ(straight->Render(through.data(), frame + 4800, 48000), frame + 4800);
    ASSERT_EQ(seeking->SeekFrame(frame, 48000), frame);
    ASSERT_EQ(seeking->Render(after.data(), 4800, 48000), 4800);
    double worst = 0, level = 0;
    for (int i = 0; i < 2 * 4800; ++i) {
        worst = std::max(worst, double(std::fabs(after[i] - through[2 * frame + i])));
        level = std::max(level, double(std::fabs(through[2 * frame + i])));
    }
    EXPECT_GT(level, 0.01);  // there is music there to compare
    EXPECT_LT(worst, 0.1 * level);
    // Past the end it stops at the music's last frame.
    const auto end = static_cast<std::int64_t>(straight->DurationSeconds() * 48000);
    EXPECT_NEAR(static_cast<double>(seeking->SeekFrame(end + 48000, 48000)), double(end), 48000.0);
}

TEST(MusicModule, TempoMapTracksPlannedStarts) {
    // An uneven plan: the rows' tempos still bring each start within a few samples.
    const xmgen::SectionPlan plan[3] = {{"a", 0, 40, 64}, {"b", 333, 17, 64}, {"c", 400, 30, 64}};
    const std::vector<int> bpm = xmgen::PlanTempo(plan, 3, 600);
    ASSERT_EQ(bpm.size(), 87u);
    std::int64_t at = 0;
    for (int r = 0; r < 40; ++r) at += xmgen::RowSamples(bpm[r]);
    EXPECT_NEAR(at * 1000.0 / 48000 * 100 / 1666, 333.0, 0.1);
    for (int r = 40; r < 57; ++r) at += xmgen::RowSamples(bpm[r]);
    EXPECT_NEAR(at * 1000.0 / 48000 * 100 / 1666, 400.0, 0.1);
    EXPECT_EQ(xmgen::RowSamples(123), 6 * 975);  // whole samples, rounded down
}

}  // namespace
}  // namespace quixo
