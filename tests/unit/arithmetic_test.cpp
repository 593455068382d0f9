#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;
using test::VecNear;

class Arithmetic : public test::OperatorTest {};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

TEST_F(Arithmetic, ShortInputsRepeatTheirLastElement) {
    GraphBuilder g;
    const int a = g.Data({{1, 2, 3, 4}});
    const int b = g.Data({{10, 0, 0, 0}, {20, 0, 0, 0}, {30, 0, 0, 0}});
    const int sum = g.Node(kNodeAdd, {}, {a, b}, 4);
    const int diff = g.Node(kNodeSubtract, {}, {a}, 2);  // in1 unconnected: a copy of in0
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(sum, 0), {11, 2, 3, 4}));
    EXPECT_TRUE(VecNear(g.at(sum, 1), {21, 2, 3, 4}));
    EXPECT_TRUE(VecNear(g.at(sum, 2), {31, 2, 3, 4}));
    EXPECT_TRUE(VecNear(g.at(sum, 3), {31, 2, 3, 4}));
    EXPECT_TRUE(VecNear(g.at(diff, 1), {1, 2, 3, 4}));
}

TEST_F(Arithmetic, BasicOperationsPerComponent) {
    GraphBuilder g;
    const int a = g.Data({{6, -3, 1, 0}});
    const int b = g.Data({{2, 4, 0, 0}});
    const int copy = g.Node(kNodeCopy, {}, {a});
    const int quot = g.Node(kNodeDivide, {}, {a, b});
    const int prod = g.Node(kNodeMultiply, {}, {a, b});
    const int scaled = g.Node(kNodeScale, {-2}, {a});
    const int xyz = g.Node(kNodeOffsetXyz, {1, 2, 3, 99}, {a});
    const int xyzw = g.Node(kNodeOffsetXyzw, {1, 2, 3, 4}, {a});
    const int composed = g.Node(kNodeCompose, {}, {a, b, -1, a});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(copy, 0), {6, -3, 1, 0}));
    EXPECT_TRUE(VecNear(g.at(quot, 0), {3, -0.75f, kInf, kNaN}));
    EXPECT_TRUE(VecNear(g.at(prod, 0), {12, -12, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(scaled, 0), {-12, 6, -2, 0}));
    EXPECT_TRUE(VecNear(g.at(xyz, 0), {7, -1, 4, 0}));  // w unchanged
    EXPECT_TRUE(VecNear(g.at(xyzw, 0), {7, -1, 4, 4}));
    EXPECT_TRUE(VecNear(g.at(composed, 0), {6, 2, 0, 6}));
}

TEST_F(Arithmetic, MaxMinSelectorRoundsAndUnorderedTakesIn1) {
    GraphBuilder g;
    const int a = g.Data({{1, 5, kNaN, 2}});
    const int b = g.Data({{3, 4, 7, kNaN}});
    const int low = g.Node(kNodeMaxMin, {0.4f}, {a, b});
    const int high = g.Node(kNodeMaxMin, {0.6f}, {a, b});
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(low, 0), {1, 4, 7, kNaN}));
    EXPECT_TRUE(VecNear(g.at(high, 0), {3, 5, 7, kNaN}));
}

TEST_F(Arithmetic, ClampModuloStep) {
    GraphBuilder g;
    const int v = g.Data({{-1, 0.5f, 2, 1}});
    const int clamped = g.Node(kNodeClamp, {0, 1}, {v});
    const int inverted = g.Node(kNodeClamp, {1, 0}, {v});  // low > high: everything becomes high
    const int m = g.Data({{5, -5, 0.5f, 4}});
    const int mod = g.Node(kNodeModulo, {2}, {m});
    const int modZero = g.Node(kNodeModulo, {0}, {m});
    const int x = g.Data({{0.5f, 9, 9, 9}, {0.6f, 0, 0, 0}, {kNaN, 9, 9, 9}});
    const int step = g.Node(kNodeStep, {0.5f}, {x}, 3);
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(clamped, 0), {0, 0.5f, 1, 1}));
    EXPECT_TRUE(VecNear(g.at(inverted, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(mod, 0), {1, -1, 0.5f, 0}));
    EXPECT_TRUE(VecNear(g.at(modZero, 0), {kNaN, kNaN, kNaN, kNaN}));
    EXPECT_TRUE(VecNear(g.at(step, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(step, 1), {1, 1, 1, 1}));
    EXPECT_TRUE(VecNear(g.at(step, 2), {0, 0, 0, 0}));
}

TEST_F(Arithmetic, BlendClampsItsFactorLowFirst) {
    GraphBuilder g;
    const int a = g.Data({{4, 8, 0, 1}});
    const int b = g.Data({{0, 0, 4, 1}});
    const int t = g.Data({{2, 0, 0, 0}, {-1, 0, 0, 0}, {0.25f, 0, 0, 0}, {kNaN, 0, 0, 0}});
    const int blend = g.Node(kNodeBlend, {}, {a, b, t}, 4);
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(blend, 0), {4, 8, 0, 1}));
    EXPECT_TRUE(VecNear(g.at(blend, 1), {0, 0, 4, 1}));
    EXPECT_TRUE(VecNear(g.at(blend, 2), {1, 2, 3, 1}));
    EXPECT_TRUE(VecNear(g.at(blend, 3), {0, 0, 4, 1}));
}

TEST_F(Arithmetic, CountZeroWritesNothingAndLinksToEmptyNodesReadZeros) {
    GraphBuilder g;
    const int a = g.Data({{1, 1, 1, 1}});
    const int none = g.Node(kNodeAdd, {}, {a, a}, 0);
    const int empty = g.Node(kNodeEmpty, {});
    const int fromEmpty = g.Node(kNodeOffsetXyzw, {1, 2, 3, 4}, {empty});
    g.Evaluate();
    EXPECT_TRUE(g.out(none).evaluated);
    EXPECT_FALSE(g.out(empty).evaluated);
    EXPECT_TRUE(VecNear(g.at(fromEmpty, 0), {1, 2, 3, 4}));
}

}  // namespace
}  // namespace quixo
