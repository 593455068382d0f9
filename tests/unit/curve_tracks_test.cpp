#include "graph/curve_tracks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>

#include "core/render_device.h"

namespace quixo {
namespace {

struct K {
    std::uint32_t frame;
    float x, y, z;
};

CurveTrack MakeTrack(std::uint32_t kind, std::initializer_list<K> keys) {
    CurveTrack t{};
    t.kind = kind;
    for (const K& k : keys) t.keys[t.keyCount++] = CurveKey{k.frame, k.x, k.y, k.z};
    return t;
}

void ExpectFloat3(const Float3& a, float x, float y, float z, float tol = 1e-5f) {
    EXPECT_NEAR(a.x, x, tol);
    EXPECT_NEAR(a.y, y, tol);
    EXPECT_NEAR(a.z, z, tol);
}

const CurveTrack kTrack2 =
    MakeTrack(0, {{0, 10, 10, 10}, {400, 60, 20, 0}, {1000, 60, 20, 0}, {1200, 0, 0, 0}});

TEST(CurveTracks, LinearBetweenKeysAndOneFrameShortOfTheLast) {
    ExpectFloat3(SampleTrack(kTrack2, 200), 35, 15, 5);
    ExpectFloat3(SampleTrack(kTrack2, 700), 60, 20, 0);
    // Past the end: f = 1199, t = 199/200.
    ExpectFloat3(SampleTrack(kTrack2, 5000), 0.3f, 0.1f, 0);
    ExpectFloat3(SampleTrack(kTrack2, 1200), 0.3f, 0.1f, 0);
    ExpectFloat3(SampleTrack(kTrack2, 0), 10, 10, 10, 0);
}

TEST(CurveTracks, EqualFramesMakeAJump) {
    const CurveTrack t =
        MakeTrack(0, {{0, 0, 0, 0}, {100, 100, 0, 0}, {100, 500, 0, 0}, {200, 600, 0, 0}});
    ExpectFloat3(InterpolateLinear(t, 99), 99, 0, 0, 1e-4f);
    ExpectFloat3(InterpolateLinear(t, 100), 500, 0, 0, 0);
    ExpectFloat3(InterpolateLinear(t, 150), 550, 0, 0, 1e-4f);
}

TEST(CurveTracks, CatmullRomEndsExactlyOnTheLastKey) {
    CurveTrack t = kTrack2;
    t.kind = 1;
    const Float3 end = SampleTrack(t, 1200);
    EXPECT_EQ(end.x, 0.0f);
    EXPECT_EQ(end.y, 0.0f);
    ExpectFloat3(SampleTrack(t, 99999), 0, 0, 0, 0);
    // At a key the segment starting there gives the key itself.
    ExpectFloat3(SampleTrack(t, 400), 60, 20, 0);
    ExpectFloat3(SampleTrack(t, 0), 10, 10, 10);
}

TEST(CurveTracks, CatmullRomUsesTheLaterKeyTwice) {
    // Keys 0, 10, 20 at frames 0, 10, 20; frame 15 is segment 10..20 with P0 = key 0,
    // P3 = P2 = key 20, t = 0.5.
    const CurveTrack t = MakeTrack(1, {{0, 0, 0, 0}, {10, 10, 0, 0}, {20, 20, 0, 0}});
    const float s = 0.5f;
    const float p0 = 0, p1 = 10, p2 = 20, p3 = 20;
    const float expected =
        0.5f * (2 * p1 + (p2 - p0) * s + (2 * p0 - 5 * p1 + 4 * p2 - p3) * s * s +
                (3 * p1 - p0 - 3 * p2 + p3) * s * s * s);
    ExpectFloat3(SampleTrack(t, 15), expected, 0, 0);
    EXPECT_NE(expected, 15.0f);  // the doubled end key bends the segment
}

TEST(CurveTracks, EmptyTracksGiveZerosUnderBothKinds) {
    for (std::uint32_t kind : {0u, 1u}) {
        const CurveTrack t = MakeTrack(kind, {});
        for (std::uint32_t f : {0u, 5u, 0xFFFFFFFFu}) ExpectFloat3(SampleTrack(t, f), 0, 0, 0, 0);
    }
}

TEST(CurveTracks, FramesBeforeTheFirstKeyAndSingleKeysGiveTheFirstKey) {
    for (std::uint32_t kind : {0u, 1u}) {
        const CurveTrack late = MakeTrack(kind, {{10, 1, 2, 3}, {20, 5, 5, 5}});
        ExpectFloat3(SampleTrack(late, 5), 1, 2, 3, 0);
        // A frame handed over from a negative time, as a huge unsigned number.
        const Float3 wrapped = SampleTrack(late, static_cast<std::uint32_t>(-30));
        EXPECT_TRUE(std::isfinite(wrapped.x));
        for (std::uint32_t key : {0u, 50u}) {
            const CurveTrack single = MakeTrack(kind, {{key, 7, 8, 9}});
            for (std::uint32_t f : {0u, 49u, 50u, 51u, 0xFFFFFFFFu}) {
                ExpectFloat3(SampleTrack(single, f), 7, 8, 9, 0);
            }
        }
    }
}

TEST(CurveTracks, UnknownKindsAndOversizedCountsStayInside) {
    CurveTrack t = kTrack2;
    t.kind = 7;
    ExpectFloat3(SampleTrack(t, 200), 0, 0, 0, 0);
    t.kind = 0;
    t.keyCount = 1000;  // only the 64 keys of the record exist
    EXPECT_EQ(LastKeyFrame(t), t.keys[63].frame);
    const Float3 v = SampleTrack(t, 200);
    EXPECT_TRUE(std::isfinite(v.x));
}

TEST(CurveTracks, LoadCopiesEveryTrackBitForBit) {
    static CurveTrack stored[kCurveTrackCount];
    std::memset(stored, 0, sizeof stored);
    stored[0] = kTrack2;
    stored[63] = MakeTrack(1, {{3, -0.0f, std::nanf("7"), 1e-40f}});
    stored[63].keys[5].frame = 99;  // past the key count: copied, never read
    static RenderDevice device{};
    LoadCurveTracks(device, stored);
    EXPECT_EQ(std::memcmp(device.curveTracks, stored, sizeof stored), 0);
    EXPECT_EQ(device.curveTracks[63].kind, 1u);
    EXPECT_EQ(device.curveTracks[0].keyCount, 4u);
}

}  // namespace
}  // namespace quixo
