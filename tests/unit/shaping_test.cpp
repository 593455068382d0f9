#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;
using test::VecNear;

class Shaping : public test::OperatorTest {};

constexpr float kHalfPi = 1.5707964f;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

TEST_F(Shaping, TrigonometryWritesXOnly) {
    GraphBuilder g;
    const int x = g.Data({{kHalfPi, 7, 7, 7}});
    const int zero = g.Data({{0, 7, 7, 7}});
    const int sine = g.Node(kNodeSine, {2}, {x});
    const int cosine = g.Node(kNodeCosine, {2}, {zero});
    const int tangent = g.Node(kNodeTangent, {3}, {g.Data({{0.5f, 1, 1, 1}})});
    const int atan = g.Node(kNodeArcTangent, {}, {g.Data({{1e30f, 0, 0, 0}})});
    const int circle = g.Node(kNodeCircle, {3}, {zero});
    const int circleQuarter = g.Node(kNodeCircle, {3}, {x});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(sine, 0), {2, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(cosine, 0), {2, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(tangent, 0), {3 * std::tan(0.5f), 0, 0, 0}, 1e-6f));
    EXPECT_TRUE(VecNear(g.at(atan, 0), {kHalfPi, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(circle, 0), {3, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(circleQuarter, 0), {0, 3, 0, 0}, 1e-6f));
}

TEST_F(Shaping, ExponentialsAndPowersGoThroughBaseTwo) {
    GraphBuilder g;
    const int zero = g.Data({{0, 0, 0, 0}});
    const int one = g.Data({{1, 0, 0, 0}});
    const int neg = g.Data({{-2, 0, 0, 0}});
    const int expo = g.Node(kNodeExponential, {2, 3}, {one});
    const int fallZero = g.Node(kNodeFalloff, {1, 0}, {zero});  // caught before 0^0
    const int fallOne = g.Node(kNodeFalloff, {1, 2}, {one});
    const int fallTwo = g.Node(kNodeFalloff, {0.5f, 2}, {g.Data({{2, 0, 0, 0}})});
    const int fallNeg = g.Node(kNodeFalloff, {1, 2}, {neg});  // pow of a negative base
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(expo, 0), {3 * std::exp(2.0f), 0, 0, 0}, 1e-5f));
    EXPECT_TRUE(VecNear(g.at(fallZero, 0), {1, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(fallOne, 0), {std::exp(-1.0f), 0, 0, 0}, 1e-7f));
    EXPECT_TRUE(VecNear(g.at(fallTwo, 0), {std::exp(-2.0f), 0, 0, 0}, 1e-7f));
    EXPECT_TRUE(std::isnan(g.at(fallNeg, 0).x));
}

TEST_F(Shaping, RampClampsThenRaises) {
    GraphBuilder g;
    const int v = g.Data({{1, -1, 4, 0.5f}});
    const int ramp = g.Node(kNodeRamp, {0, 2, 2}, {v});
    // A clamped base of 0 with exponent 0 is 2^(0 * -inf): not a number, unlike std::pow.
    const int zeroPow = g.Node(kNodeRamp, {0, 2, 0}, {v});
    const int nanIn = g.Node(kNodeRamp, {0, 2, 1}, {g.Data({{kNaN, 0, 0, 0}})});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(ramp, 0), {0.25f, 0, 1, 0.0625f}, 1e-7f));
    EXPECT_TRUE(VecNear(g.at(zeroPow, 0), {1, kNaN, 1, 1}));
    EXPECT_TRUE(VecNear(g.at(nanIn, 0), {0, 0, 0, 0}));
}

TEST_F(Shaping, LengthsDistancesAndSetLength) {
    GraphBuilder g;
    const int v = g.Data({{1, 2, 2, 4}});
    const int length = g.Node(kNodeLength, {}, {v});
    const int same = g.Node(kNodeDistance, {1, 2, 2, 4}, {v});
    const int dist = g.Node(kNodeDistance, {1, 1, 1, 1}, {g.Data({{1, 1, 1, 1}})});
    const int dist2 = g.Node(kNodeDistance, {0, 0, 0, 1}, {v});
    const int setLen = g.Node(kNodeSetLength, {10}, {g.Data({{3, 0, 4, 0}})});
    const int setZero = g.Node(kNodeSetLength, {10}, {g.Data({{0, 0, 0, 0}})});
    const int toZero = g.Node(kNodeSetLength, {0}, {g.Data({{3, 0, 4, 0}})});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(length, 0), {5, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(same, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(dist, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(dist2, 0), {std::sqrt(18.0f), 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(setLen, 0), {6, 0, 8, 0}));
    EXPECT_TRUE(VecNear(g.at(setZero, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(toZero, 0), {0, 0, 0, 0}));
}

TEST_F(Shaping, SmoothstepClampsAndTreatsNaNAsOne) {
    GraphBuilder g;
    const int x =
        g.Data({{0.5f, 0, 0, 0}, {-3, 0, 0, 0}, {7, 0, 0, 0}, {kNaN, 0, 0, 0}, {0.25f, 0, 0, 0}});
    const int s = g.Node(kNodeSmoothstep, {0, 1}, {x}, 5);
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(s, 0), {0.5f, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(s, 1), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(s, 2), {1, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(s, 3), {1, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(s, 4), {0.15625f, 0, 0, 0}));
}

}  // namespace
}  // namespace quixo
