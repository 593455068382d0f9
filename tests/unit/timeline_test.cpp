#include "core/timeline.h"

#include <gtest/gtest.h>

namespace quixo {
namespace {

const std::int32_t kShow[10] = {540, 60, 600, 195, 350, 350, 1740, 1400, 1397, 1680};

TEST(Timeline, SceneBoundariesBelongToTheLaterScene) {
    ClockReading r = ReadClock(0, kShow);
    EXPECT_EQ(r.frame, 0);
    EXPECT_EQ(r.scene, 0);
    EXPECT_EQ(r.sceneFrame, 0);
    EXPECT_EQ(r.sceneEndFrame, 540);

    r = ReadClock(8991, kShow);
    EXPECT_EQ(r.frame, 539);
    EXPECT_EQ(r.scene, 0);

    r = ReadClock(8997, kShow);
    EXPECT_EQ(r.frame, 540);
    EXPECT_EQ(r.scene, 1);
    EXPECT_EQ(r.sceneFrame, 0);
    EXPECT_EQ(r.sceneEndFrame, 600);

    // 1200 frames = 19992 ms: the first frame of scene 3.
    r = ReadClock(19992, kShow);
    EXPECT_EQ(r.frame, 1200);
    EXPECT_EQ(r.scene, 3);
    EXPECT_EQ(r.sceneFrame, 0);
}

TEST(Timeline, EndsAtFrame8200) {
    ClockReading r = ReadClock(136611, kShow);
    EXPECT_EQ(r.frame, 8199);
    EXPECT_FALSE(r.end);
    EXPECT_EQ(r.scene, 9);
    EXPECT_EQ(r.sceneFrame, 8199 - 6632);
    r = ReadClock(136612, kShow);
    EXPECT_EQ(r.frame, 8200);
    EXPECT_TRUE(r.end);
}

TEST(Timeline, DurationsPastThe32BitRangeDoNotWrap) {
    // Summed in 32 bits, the second duration would wrap negative and frame 600 would read as
    // past every scene.
    const std::int32_t huge[10] = {INT32_MAX, INT32_MAX, 1, 1, 1, 1, 1, 1, 1, 1};
    const ClockReading r = ReadClock(9996, huge);
    EXPECT_EQ(r.frame, 600);
    EXPECT_EQ(r.scene, 0);
    EXPECT_EQ(r.sceneFrame, 600);
    EXPECT_EQ(r.sceneEndFrame, INT32_MAX);
}

}  // namespace
}  // namespace quixo
