// The soundtrack as a module: section marks and their measured starts, and the committed file.
#include <gtest/gtest.h>

#include <cmath>

#include "platform/module_decoder.h"
#include "platform/music_analysis.h"
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
