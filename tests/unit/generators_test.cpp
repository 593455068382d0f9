#include <gtest/gtest.h>

#include "core/timeline.h"
#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;
using test::VecNear;

class Generators : public test::OperatorTest {
protected:
    void TearDown() override {
        sceneFrame = 0;
        sceneEndFrame = 0;
    }
};

TEST_F(Generators, ConstantFillsEveryElement) {
    GraphBuilder g;
    const int c = g.Node(kNodeConstant, {1, 2, 3, 4}, {}, 3);
    g.Evaluate();
    for (std::uint32_t k = 0; k < 3; ++k) EXPECT_TRUE(VecNear(g.at(c, k), {1, 2, 3, 4}));
}

TEST_F(Generators, SceneClockModes) {
    GraphBuilder g;
    const int plain = g.Node(kNodeSceneClockOffset, {2, 1, 0}, {}, 2);
    const int remaining = g.Node(kNodeSceneClock, {1, 1});
    const int offMode = g.Node(kNodeSceneClock, {1, 2});
    const int offMode35 = g.Node(kNodeSceneClockOffset, {3, 1, 2});
    const int rounded = g.Node(kNodeSceneClockOffset, {1, 0, 0.4f});  // mode rounds to 0
    sceneFrame = 9;
    sceneEndFrame = 600;
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(plain, 1), {20, 20, 20, 20}));
    EXPECT_TRUE(VecNear(g.at(remaining, 0), {591, 591, 591, 591}));
    EXPECT_TRUE(VecNear(g.at(offMode, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(offMode35, 0), {0, 0, 0, 0}));
    EXPECT_TRUE(VecNear(g.at(rounded, 0), {9, 9, 9, 9}));

    // Past the scene's end the difference is converted as unsigned.
    sceneFrame = 10;
    sceneEndFrame = 9;
    g.Evaluate();
    EXPECT_EQ(g.at(remaining, 0).x, 4294967295.0f);
}

TEST_F(Generators, LatticeColumnsRowsAndLayers) {
    GraphBuilder g;
    const int flat = g.Node(kNodeLattice, {50, 0, 6, 0, 6}, {}, 1024);
    const int square = g.Node(kNodeLattice, {25, 25, 0.5f, 0.5f, 0.5f}, {}, 128);
    const int column = g.Node(kNodeLattice, {3, 0, 3, 0, 3}, {}, 1024);
    const int axis = g.Node(kNodeLattice, {0, 0, 1, 1, 2}, {}, 4);
    g.Evaluate();

    // a = 50, b = 1, c = 20: x repeats every 50 elements, one layer.
    EXPECT_TRUE(VecNear(g.at(flat, 0), {-147, 0, -57, 0}));
    EXPECT_TRUE(VecNear(g.at(flat, 1), {-141, 0, -57, 0}));
    EXPECT_TRUE(VecNear(g.at(flat, 49), {147, 0, -57, 0}));
    EXPECT_TRUE(VecNear(g.at(flat, 50), {-147, 0, -57, 0}));
    EXPECT_TRUE(VecNear(g.at(flat, 1023), {-147 + 6 * 23, 0, -57, 0}));

    // c = nearest(128 / 625) = 0.
    for (std::uint32_t i : {0u, 24u, 25u, 127u}) {
        const float x = (2.0f * static_cast<float>(i % 25) - 24) * 0.25f;
        const float y = (2.0f * static_cast<float>((i / 25) % 25) - 24) * 0.25f;
        EXPECT_TRUE(VecNear(g.at(square, i), {x, y, 0.25f, 0})) << i;
    }

    // c = 341; the layer is (i / 3) / 3, not i / 3.
    EXPECT_TRUE(VecNear(g.at(column, 0), {-3, 0, -510, 0}));
    EXPECT_TRUE(VecNear(g.at(column, 8), {3, 0, -510, 0}));
    EXPECT_TRUE(VecNear(g.at(column, 9), {-3, 0, -507, 0}));
    EXPECT_TRUE(VecNear(g.at(column, 1023), {-3, 0, -510 + 3 * 113, 0}));

    // a = b = 1, c = N: every point on the z axis.
    for (std::uint32_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(VecNear(g.at(axis, i), {0, 0, (2.0f * i - 3) * 1.0f, 0})) << i;
    }
}

TEST_F(Generators, LatticeWhoseLayerSizeWrapsToZeroIsLeftAlone) {
    GraphBuilder g;
    const int wrapped = g.Node(kNodeLattice, {65536, 65536, 1, 1, 1}, {}, 2);
    g.out(wrapped).elements[1] = Vec4{5, 6, 7, 8};
    g.Evaluate();
    EXPECT_TRUE(VecNear(g.at(wrapped, 1), {5, 6, 7, 8}));
}

}  // namespace
}  // namespace quixo
