#include <gtest/gtest.h>

#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;

class SpritesLines : public test::OperatorTest {};

TEST_F(SpritesLines, SpriteWithoutInputsUsesTheDefaults) {
    GraphBuilder g;
    g.Node(kNodeSprite, {7.5f, 1, 2.5f, 0.009949f});
    g.Evaluate();
    ASSERT_EQ(Lists().spriteCount, 1u);
    const SpriteItem& s = Lists().sprites[0];
    EXPECT_EQ(s.srcRect[0], 0);
    EXPECT_EQ(s.srcRect[1], 0);
    EXPECT_EQ(s.srcRect[2], 1);
    EXPECT_EQ(s.srcRect[3], 1);
    EXPECT_EQ(s.center[0], 0);
    EXPECT_EQ(s.center[1], 0);
    EXPECT_EQ(s.size[0], 1);
    EXPECT_EQ(s.size[1], 1);
    EXPECT_EQ(s.rotation, 0);
    EXPECT_EQ(s.alpha, 1);
    EXPECT_EQ(s.textureIndex, 8);
    EXPECT_EQ(s.blendMode, 2);
    EXPECT_EQ(s.key, 0.009949f);
}

TEST_F(SpritesLines, ConnectedInputsFillEachInstanceInOrder) {
    GraphBuilder g;
    const int rect = g.Data({{0.5f, 0.5f, 1, 1}});
    const int centre = g.Data({{0.1f, 0.2f, 9, 9}, {0.3f, 0.4f, 9, 9}, {0.5f, 0.6f, 9, 9}});
    const int size = g.Data({{2, 3, 9, 9}});
    const int rot = g.Data({{0.7f, 9, 9, 9}});
    const int alpha = g.Data({{0, 0, 0, 0}});  // connected zero: fully transparent
    g.Node(kNodeSprite, {1, 2, 1, 0.75f}, {rect, centre, size, rot, alpha});
    g.Node(kNodeSprite, {2, 3, 1, 0.25f}, {-1, centre});
    g.Evaluate();
    ASSERT_EQ(Lists().spriteCount, 5u);
    const SpriteItem* s = Lists().sprites;
    EXPECT_EQ(s[0].srcRect[0], 0.5f);
    EXPECT_EQ(s[1].center[0], 0.3f);
    EXPECT_EQ(s[1].size[1], 3);
    EXPECT_EQ(s[1].rotation, 0.7f);
    EXPECT_EQ(s[1].alpha, 0);
    for (int k = 2; k < 5; ++k) {
        EXPECT_EQ(s[k].textureIndex, 2);
        EXPECT_EQ(s[k].center[1], g.at(centre, k - 2).y);
        EXPECT_EQ(s[k].alpha, 1);
    }
    // The fractional keys order the two runs.
    SortSprites(Lists().sprites, Lists().spriteCount);
    EXPECT_EQ(s[0].textureIndex, 2);
    EXPECT_EQ(s[4].textureIndex, 1);
}

TEST_F(SpritesLines, AFullSpriteListKeepsItsFirstEntries) {
    GraphBuilder g;
    g.Node(kNodeSprite, {1, 60});
    g.Node(kNodeSprite, {2, 10});
    g.Node(kNodeSprite, {3, -1});
    g.Evaluate();
    EXPECT_EQ(Lists().spriteCount, static_cast<std::uint32_t>(kSpriteListCapacity));
    EXPECT_EQ(Lists().sprites[59].textureIndex, 1);
    EXPECT_EQ(Lists().sprites[63].textureIndex, 2);
}

TEST_F(SpritesLines, PolylineJoinsNeighbouringPointsInWhite) {
    GraphBuilder g;
    g.Node(kNodeDebugPolyline, {}, {g.Data({{1, 2, 3, 4}})});
    EXPECT_EQ(Lists().debugLineCount, 0u);
    const int pts = g.Data({{0, 0, 0, 9}, {1, 0, 0, 9}, {1, 1, 0, 9}, {1, 1, 1, 9}});
    g.Node(kNodeDebugPolyline, {}, {pts});
    g.Node(kNodePointSink, {}, {pts});
    g.Evaluate();
    ASSERT_EQ(Lists().debugLineCount, 3u);
    for (int i = 0; i < 3; ++i) {
        const DebugLine& l = Lists().debugLines[i];
        const Vec4 a = g.at(pts, i), b = g.at(pts, i + 1);
        EXPECT_EQ(l.colour, 0xFFFFFFFFu);
        EXPECT_EQ(l.from[0], a.x);
        EXPECT_EQ(l.from[2], a.z);
        EXPECT_EQ(l.to[1], b.y);
        EXPECT_EQ(l.to[2], b.z);
    }
}

}  // namespace
}  // namespace quixo
