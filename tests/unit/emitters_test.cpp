#include <gtest/gtest.h>

#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;

class Emitters : public test::OperatorTest {};

void ExpectXyz(const float* v, float x, float y, float z) {
    EXPECT_EQ(v[0], x);
    EXPECT_EQ(v[1], y);
    EXPECT_EQ(v[2], z);
}

void ExpectOption(const DrawItem& item, int o, const Vec4& v) {
    EXPECT_TRUE(test::VecNear(Vec4{item.options[4 * o], item.options[4 * o + 1],
                                   item.options[4 * o + 2], item.options[4 * o + 3]},
                              v))
        << "option " << o;
}

TEST_F(Emitters, InstanceCountRoundsHalfToEven) {
    GraphBuilder g;
    g.Node(kNodeEmitter8, {1, 0.4f});
    g.Node(kNodeEmitter8, {1, 2.5f});
    g.Node(kNodeEmitter8, {1, 3.5f, 0, 0, 0, 1});
    g.Evaluate();
    EXPECT_EQ(Lists().opaqueCount, 2u);
    EXPECT_EQ(Lists().blendedCount, 4u);
}

TEST_F(Emitters, UnconnectedInputsGiveUnitScaleAtTheOrigin) {
    GraphBuilder g;
    g.Node(kNodeEmitter8, {37, 2, 10, 11, 24, -1});  // any nonzero list flag picks the blended list
    g.Node(kNodeEmitter3, {5, 1, 3, 4, 99, 99});
    g.Evaluate();
    ASSERT_EQ(Lists().blendedCount, 2u);
    for (int k = 0; k < 2; ++k) {
        const DrawItem& item = Lists().blended[k];
        EXPECT_EQ(item.meshIndex, 37);
        EXPECT_EQ(item.vertexShaderIndex, 10);
        EXPECT_EQ(item.pixelShaderIndex, 11);
        EXPECT_EQ(item.textureIndex, 24);
        ExpectXyz(item.position, 0, 0, 0);
        ExpectXyz(item.scale, 1, 1, 1);
        ExpectXyz(item.rotation, 0, 0, 0);
        for (int o = 0; o < 5; ++o) ExpectOption(item, o, {0, 0, 0, 0});
    }
    ASSERT_EQ(Lists().opaqueCount, 1u);
    const DrawItem& plain = Lists().opaque[0];
    EXPECT_EQ(plain.meshIndex, 5);
    EXPECT_EQ(plain.textureIndex, 0);  // type 45 takes no texture
    ExpectXyz(plain.scale, 1, 1, 1);
}

TEST_F(Emitters, ScaleIsAnOffsetForTypes45And46AndTheScaleItselfFor47And48) {
    GraphBuilder g;
    const int one = g.Data({{1, 1, 1, 0}});
    const int zero = g.Data({{0, 0, 0, 0}});
    g.Node(kNodeEmitter3, {0, 1}, {-1, one});
    g.Node(kNodeEmitter6, {0, 1}, {-1, one});
    g.Node(kNodeEmitter7, {0, 1}, {-1, one});
    g.Node(kNodeEmitter8, {0, 1}, {-1, zero});
    g.Evaluate();
    ASSERT_EQ(Lists().opaqueCount, 4u);
    ExpectXyz(Lists().opaque[0].scale, 2, 2, 2);
    ExpectXyz(Lists().opaque[1].scale, 2, 2, 2);
    ExpectXyz(Lists().opaque[2].scale, 1, 1, 1);
    ExpectXyz(Lists().opaque[3].scale, 0, 0, 0);
}

TEST_F(Emitters, OptionsComeFromTheTrailingInputs) {
    GraphBuilder g;
    const int pos = g.Data({{1, 2, 3, 9}, {4, 5, 6, 9}, {7, 8, 9, 9}});
    const int rot = g.Data({{0.1f, 0.2f, 0.3f, 0}});
    int opt[5];
    for (int o = 0; o < 5; ++o) {
        const float f = static_cast<float>(o + 1);
        opt[o] = g.Data({{f, f, f, f}});
    }
    g.Node(kNodeEmitter6, {0, 1}, {pos, -1, rot, opt[0], opt[1], opt[2], opt[3], opt[4]});
    g.Node(kNodeEmitter7, {0, 1}, {pos, -1, rot, opt[0], opt[1], opt[2], opt[3], opt[4]});
    g.Node(kNodeEmitter8, {0, 5}, {pos, -1, rot, opt[0], opt[1], opt[2], opt[3], opt[4]});
    g.Evaluate();
    ASSERT_EQ(Lists().opaqueCount, 7u);
    const DrawItem& six = Lists().opaque[0];
    for (int o = 0; o < 3; ++o) ExpectOption(six, o, g.at(opt[o], 0));
    ExpectOption(six, 3, {0, 0, 0, 0});
    ExpectOption(six, 4, {0, 0, 0, 0});
    const DrawItem& seven = Lists().opaque[1];
    ExpectOption(seven, 3, {4, 4, 4, 4});
    ExpectOption(seven, 4, {4, 4, 4, 4});  // in6 twice; in7 is not read
    // Instances 3 and 4 repeat the last position.
    for (int k = 0; k < 5; ++k) {
        const DrawItem& item = Lists().opaque[2 + k];
        const Vec4 p = g.at(pos, k < 3 ? k : 2);
        ExpectXyz(item.position, p.x, p.y, p.z);
        ExpectXyz(item.rotation, 0.1f, 0.2f, 0.3f);
        ExpectOption(item, 4, {5, 5, 5, 5});
    }
}

TEST_F(Emitters, AFullListStopsAHugeInstanceCount) {
    GraphBuilder g;
    g.Node(kNodeEmitter3, {0, 10});
    g.Node(kNodeEmitter8, {0, -1});  // nearest(p1) = -1: 2^32 - 1 instances asked for
    g.Node(kNodeEmitter3, {0, 1});
    g.Evaluate();
    EXPECT_EQ(Lists().opaqueCount, static_cast<std::uint32_t>(kDrawListCapacity));
    EXPECT_EQ(Lists().blendedCount, 0u);
}

}  // namespace
}  // namespace quixo
