#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graph/curve_tracks.h"
#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;
using test::VecNear;

class RangeRandomCurve : public test::OperatorTest {
protected:
    // Track k: linear from (0: 0, 0, 0) to (last: 100 last, 200 last, -last), in hundredths.
    void SetRamp(int k, std::uint32_t last) {
        CurveTrack& t = Device().curveTracks[k];
        t.kind = 0;
        t.keyCount = 2;
        t.keys[0] = CurveKey{0, 0, 0, 0};
        const float f = static_cast<float>(last);
        t.keys[1] = CurveKey{last, 100 * f, 200 * f, -f};
    }
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST_F(RangeRandomCurve, RangeMapClampWrapFold) {
    GraphBuilder g;
    const int clamp = g.Node(kNodeRangeMap, {0, 1, 0}, {g.Data({{-2, 0.5f, 3, 1}})});
    const int wrap = g.Node(kNodeRangeMap, {0, 2, 1}, {g.Data({{5, -1, 2, 0}})});
    const int fold = g.Node(kNodeRangeMap, {1, 99, 2}, {g.Data({{0, 3, 1, -1}})});
    const int keep = g.Node(kNodeRangeMap, {0, 1, 3}, {g.Data({{5, 5, 5, 5}})});
    g.out(keep).elements[0] = Vec4{7, 8, 9, 10};
    const int inverted = g.Node(kNodeRangeMap, {2, 1, 0}, {g.Data({{0, 1.5f, 3, 0}})});
    const int degenerate = g.Node(kNodeRangeMap, {1, 1, 1}, {g.Data({{0, 1, 2, 3}})});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(clamp, 0), {0, 0.5f, 1, 1}));
    EXPECT_TRUE(VecNear(g.at(wrap, 0), {1, -1, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(fold, 0), {2, 3, 1, 3}));
    EXPECT_TRUE(VecNear(g.at(keep, 0), {7, 8, 9, 10}));
    EXPECT_TRUE(VecNear(g.at(inverted, 0), {1, 1, 1, 1}));
    EXPECT_TRUE(VecNear(g.at(degenerate, 0), {kNaN, kNaN, kNaN, kNaN}));
}

TEST_F(RangeRandomCurve, RandomSequenceFromSeedZero) {
    GraphBuilder g;
    const int r = g.Node(kNodeRandom, {0, 0, 1}, {}, 2);
    const int again = g.Node(kNodeRandom, {0, 0, 1}, {}, 1);
    const int wide = g.Node(kNodeRandom, {0, -15, 15}, {}, 1);
    g.Evaluate();
    // The figures to seven digits: within one step of the float.
    EXPECT_TRUE(VecNear(g.at(r, 0), {0, 0.6551713f, 0.30481887f, 0.6749779f}, 1e-7f));
    EXPECT_TRUE(VecNear(g.at(r, 1), {0.10675374f, 0.5165868f, 0.48966947f, 0.6024659f}, 1e-7f));
    EXPECT_TRUE(VecNear(g.at(again, 0), g.at(r, 0)));  // the same p0, the same sequence
    EXPECT_TRUE(VecNear(g.at(wide, 0), {-15, 4.655139f, -5.8554339f, 5.2493370f}, 1e-5f));
    // Every evaluation starts again from the seed.
    const Vec4 first = g.at(r, 1);
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(r, 1), first));
}

// The first draw of a sequence, as x of element 0 with range 0..32767.
float FirstDraw(std::uint32_t seed) {
    return static_cast<float>(((seed * 1103515245u + 12345u) >> 16) & 0x7FFF);
}

TEST_F(RangeRandomCurve, RandomSeedRoundsHalfToEvenAndKeepsTheLow32Bits) {
    GraphBuilder g;
    const int half = g.Node(kNodeRandom, {0.5f, 0, 32767});
    const int big = g.Node(kNodeRandom, {1024, 0, 32767});
    g.Evaluate();
    EXPECT_EQ(g.at(half, 0).x, FirstDraw(4194304u));
    EXPECT_NE(FirstDraw(4194304u), FirstDraw(4194303u));
    EXPECT_EQ(g.at(big, 0).x, FirstDraw(4294966272u));
}

TEST_F(RangeRandomCurve, CurveSamplerClampsTimeIntoTheTrack) {
    SetRamp(4, 3200);
    GraphBuilder g;
    const int times = g.Data({{-5, 0, 0, 0}, {10000, 0, 0, 0}, {kNaN, 0, 0, 0}, {12.5f, 0, 0, 0}});
    const int s = g.Node(kNodeCurveSampler, {4, 1, 0, 0}, {times}, 4);
    const int gained = g.Node(kNodeCurveSampler, {4, 10, 0, 0}, {g.Data({{3, 0, 0, 0}})});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(s, 0), {0, 0, 0, 0}));
    // 10000 is clamped to frame 3200, which the linear track samples one frame short.
    EXPECT_TRUE(VecNear(g.at(s, 1), {3199, 6398, -31.99f, 0}, 1e-3f));
    EXPECT_TRUE(VecNear(g.at(s, 2), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(s, 3), {12, 24, -0.12f, 0}, 1e-4f));  // 12.5 rounds to 12
    EXPECT_TRUE(VecNear(g.at(gained, 0), {30, 60, -0.3f, 0}, 1e-4f));
}

TEST_F(RangeRandomCurve, CurveSamplerWrapsAndSums) {
    SetRamp(9, 100);
    GraphBuilder g;
    const int times = g.Data({{250, 0, 0, 0}, {-30, 0, 0, 0}});
    const int wrap = g.Node(kNodeCurveSampler, {9, 1, 1, 0}, {times}, 2);
    const int sum = g.Node(kNodeCurveSampler, {9, 1, 0, 1}, {g.Data({{2.6f, 0, 0, 0}})});
    const int sumNegative = g.Node(kNodeCurveSampler, {9, 1, 1, 1}, {g.Data({{-30, 0, 0, 0}})});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(wrap, 0), {50, 100, -0.5f, 0}, 1e-4f));
    // -30 is handed over as 2^32 - 30: past the end, so one frame short of the last key.
    EXPECT_TRUE(VecNear(g.at(wrap, 1), {99, 198, -0.99f, 0}, 1e-4f));
    // Frames 0, 1 and 2: 0 + 100 + 200 hundredths.
    EXPECT_TRUE(VecNear(g.at(sum, 0), {3, 6, -0.03f, 0}, 1e-5f));
    EXPECT_TRUE(VecNear(g.at(sumNegative, 0), {0, 0, 0, 0}));

    // A stored track whose last key lies two billion frames out, summed to frame 10^9: the sum
    // stops at the latest key frame a compiled track may have, 8200.
    SetRamp(10, 2000000000u);
    GraphBuilder late;
    const int far = late.Node(40, {10, 1, 0, 1}, {late.Data({{1e9f, 0, 0, 0}})});
    late.Evaluate();
    // Frames 0..8199 on a ramp of 100 a frame: 100 x 8199 x 8200 / 2, in hundredths.
    EXPECT_NEAR(late.at(far, 0).x, 100.0 * 8199 * 8200 / 2 * 0.01, 3e4);
}

TEST_F(RangeRandomCurve, CurveSamplerWithoutATrackGivesZeros) {
    GraphBuilder g;
    const int t = g.Data({{50, 0, 0, 0}});
    const int empty =
        g.Node(kNodeCurveSampler, {30, 1, 1, 1}, {t});  // no keys: D = 0, fmod is not a number
    const int past = g.Node(kNodeCurveSampler, {64, 1, 0, 0}, {t});  // no such track
    g.out(past).elements[0] = Vec4{5, 5, 5, 5};
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(empty, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(past, 0), {0, 0, 0, 0}));
}

}  // namespace
}  // namespace quixo
