#include <gtest/gtest.h>

#include "core/math.h"
#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;
using test::VecNear;

class RotationIndex : public test::OperatorTest {};

constexpr float kHalfPi = 1.5707964f;

TEST_F(RotationIndex, ShiftAndDifferenceWrapNegativeIndicesToTheLastElement) {
    GraphBuilder g;
    const int a = g.Data({{0, 0, 0, 0}, {1, 0, 0, 0}, {2, 0, 0, 0}});
    const int fwd = g.Node(kNodeShift, {1}, {a}, 3);
    const int back = g.Node(kNodeShift, {-1}, {a}, 3);
    const int d = g.Data({{0, 0, 0, 0}, {1, 0, 0, 0}, {4, 0, 0, 0}});
    const int diff = g.Node(kNodeDifference, {1}, {d}, 3);
    g.Evaluate();
    const float fwdX[3] = {1, 2, 2}, backX[3] = {2, 0, 1}, diffX[3] = {1, 3, 0};
    for (std::uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(g.at(fwd, i).x, fwdX[i]) << i;
        EXPECT_EQ(g.at(back, i).x, backX[i]) << i;
        EXPECT_EQ(g.at(diff, i).x, diffX[i]) << i;
    }
}

TEST_F(RotationIndex, RepeatCyclesTheInput) {
    GraphBuilder g;
    const int a = g.Data({{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}});
    const int rep = g.Node(kNodeRepeat, {}, {a}, 7);
    const int none = g.Node(kNodeRepeat, {}, {}, 2);
    g.out(none).elements[1] = Vec4{9, 9, 9, 9};
    g.Evaluate();
    const float x[7] = {1, 2, 3, 1, 2, 3, 1};
    for (std::uint32_t i = 0; i < 7; ++i) EXPECT_EQ(g.at(rep, i).x, x[i]) << i;
    EXPECT_TRUE(VecNear(g.at(none, 1), {0, 0, 0, 0}));
}

TEST_F(RotationIndex, SwizzleSelectorsOutsideZeroToThreeGiveZero) {
    GraphBuilder g;
    const int a = g.Data({{1, 2, 3, 4}});
    const int rev = g.Node(kNodeSwizzleXyzw, {3, 2, 1, 0}, {a});
    const int odd = g.Node(kNodeSwizzleXyzw, {-1, 7, 2.6f, 0.4f}, {a});
    const int stored = g.Node(kNodeSwizzleXyzw, {4, 4, 0, 4}, {a});
    const int xyz = g.Node(kNodeSwizzleXyz, {2, 2, 1, 0}, {a});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(rev, 0), {4, 3, 2, 1}));
    EXPECT_TRUE(VecNear(g.at(odd, 0), {0, 0, 4, 1}));
    EXPECT_TRUE(VecNear(g.at(stored, 0), {0, 0, 1, 0}));
    EXPECT_TRUE(VecNear(g.at(xyz, 0), {3, 3, 2, 0}));
}

TEST_F(RotationIndex, FixedAndPerElementRotationsAgree) {
    GraphBuilder g;
    const int a = g.Data({{1, 0, 0, 5}, {0.3f, -2, 1.5f, 1}});
    const int fixed = g.Node(kNodeFixedRotation, {kHalfPi, 0, 0}, {a});
    const int per = g.Node(kNodePerElementRotation, {}, {a, g.Data({{kHalfPi, 0, 0, 0}})});
    const int fixedMixed = g.Node(kNodeFixedRotation, {0.7f, -1.2f, 2.1f}, {a}, 2);
    const int perMixed =
        g.Node(kNodePerElementRotation, {}, {a, g.Data({{0.7f, -1.2f, 2.1f, 0}})}, 2);
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(fixed, 0), {0, 0, -1, 0}, 1e-6f));
    EXPECT_TRUE(VecNear(g.at(per, 0), {0, 0, -1, 0}, 1e-6f));
    // Both follow roll, then pitch, then yaw.
    const Matrix m = MatrixRotationYawPitchRoll(0.7f, -1.2f, 2.1f);
    for (std::uint32_t i = 0; i < 2; ++i) {
        const Vec4 v = g.at(a, i);
        const float p[3] = {v.x, v.y, v.z};
        float r[4];
        TransformPoint(m, p, r);
        EXPECT_TRUE(VecNear(g.at(perMixed, i), {r[0], r[1], r[2], 0}, 1e-6f));
        EXPECT_TRUE(VecNear(g.at(fixedMixed, i), {r[0], r[1], r[2], 0}, 1e-5f));
    }
}

}  // namespace
}  // namespace quixo
