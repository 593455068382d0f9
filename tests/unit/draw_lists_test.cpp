#include "core/draw_lists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>

namespace quixo {
namespace {

DrawItem ItemAt(float x, float s, float r) {
    DrawItem item{};
    item.position[0] = x;
    item.scale[0] = s;
    item.rotation[0] = r;
    // What a node writes into the prev fields is overwritten by the push.
    item.prevPosition[0] = 123;
    return item;
}

std::unique_ptr<DrawLists> FreshLists() {
    auto lists = std::make_unique<DrawLists>();
    std::memset(lists.get(), 0, sizeof(DrawLists));
    return lists;
}

TEST(DrawLists, PushCarriesTheSlotsPreviousTransform) {
    auto lists = FreshLists();
    PushDrawItem(*lists, ItemAt(1, 2, 3), false);
    PushDrawItem(*lists, ItemAt(4, 5, 6), false);
    // A slot never used before gives zeros.
    EXPECT_EQ(lists->opaque[0].prevPosition[0], 0);
    EXPECT_EQ(lists->opaque[0].prevScale[0], 0);
    EXPECT_EQ(lists->opaqueCount, 2u);

    ResetListCounts(*lists);
    EXPECT_EQ(lists->opaqueCount, 0u);
    PushDrawItem(*lists, ItemAt(7, 8, 9), false);
    EXPECT_EQ(lists->opaque[0].position[0], 7);
    EXPECT_EQ(lists->opaque[0].prevPosition[0], 1);
    EXPECT_EQ(lists->opaque[0].prevScale[0], 2);
    EXPECT_EQ(lists->opaque[0].prevRotation[0], 3);

    // Two frames later slot 1 still remembers its last occupant.
    ResetListCounts(*lists);
    ResetListCounts(*lists);
    PushDrawItem(*lists, ItemAt(0, 0, 0), false);
    PushDrawItem(*lists, ItemAt(0, 0, 0), false);
    EXPECT_EQ(lists->opaque[1].prevPosition[0], 4);

    // The blended list keeps its own slots.
    PushDrawItem(*lists, ItemAt(1, 1, 1), true);
    EXPECT_EQ(lists->blendedCount, 1u);
    EXPECT_EQ(lists->blended[0].prevPosition[0], 0);
}

TEST(DrawLists, FullListsDropFurtherItems) {
    auto lists = FreshLists();
    for (int i = 0; i < kDrawListCapacity + 10; ++i) {
        PushDrawItem(*lists, ItemAt(static_cast<float>(i), 1, 0), true);
    }
    EXPECT_EQ(lists->blendedCount, static_cast<std::uint32_t>(kDrawListCapacity));
    EXPECT_EQ(lists->blended[kDrawListCapacity - 1].position[0], kDrawListCapacity - 1);
    EXPECT_EQ(lists->opaqueCount, 0u);
    for (int i = 0; i < kSpriteListCapacity + 1; ++i) PushSprite(*lists, SpriteItem{});
    EXPECT_EQ(lists->spriteCount, static_cast<std::uint32_t>(kSpriteListCapacity));
    for (int i = 0; i < kDebugLineCapacity + 1; ++i) PushDebugLine(*lists, DebugLine{});
    EXPECT_EQ(lists->debugLineCount, static_cast<std::uint32_t>(kDebugLineCapacity));
    ResetDebugLines(*lists);
    EXPECT_EQ(lists->debugLineCount, 0u);
}

TEST(DrawLists, PreviousTransformResetAppliesToOpaqueItemsThatJumped) {
    auto lists = FreshLists();
    PushDrawItem(*lists, ItemAt(0, 1, 0), false);
    PushDrawItem(*lists, ItemAt(0, 1, 0), false);
    PushDrawItem(*lists, ItemAt(0, 1, 0), true);
    ResetListCounts(*lists);
    PushDrawItem(*lists, ItemAt(0.5f, 2, 1), false);  // moved 0.5
    PushDrawItem(*lists, ItemAt(50, 2, 1), false);    // jumped
    PushDrawItem(*lists, ItemAt(50, 2, 1), true);
    ResetPreviousTransforms(*lists, 1.0f);
    EXPECT_EQ(lists->opaque[0].prevPosition[0], 0);
    EXPECT_EQ(lists->opaque[0].prevScale[0], 1);
    EXPECT_EQ(lists->opaque[1].prevPosition[0], 50);
    EXPECT_EQ(lists->opaque[1].prevScale[0], 2);
    EXPECT_EQ(lists->opaque[1].prevRotation[0], 1);
    EXPECT_EQ(lists->blended[0].prevPosition[0], 0);  // the blended list is never reset

    // Distance 0: every moved item is reset.
    ResetPreviousTransforms(*lists, 0.0f);
    EXPECT_EQ(lists->opaque[0].prevPosition[0], 0.5f);
}

TEST(DrawLists, SpritesSortAscendingByKey) {
    SpriteItem s[3] = {};
    s[0].key = 3;
    s[1].key = 1;
    s[2].key = 2;
    s[0].textureIndex = 30;
    s[1].textureIndex = 10;
    s[2].textureIndex = 20;
    SortSprites(s, 3);
    EXPECT_EQ(s[0].textureIndex, 10);
    EXPECT_EQ(s[1].textureIndex, 20);
    EXPECT_EQ(s[2].textureIndex, 30);

    // A full list with many equal keys and fractions keeps every sprite and ends sorted.
    SpriteItem many[kSpriteListCapacity];
    std::mt19937 rng(5);
    for (int i = 0; i < kSpriteListCapacity; ++i) {
        many[i] = SpriteItem{};
        many[i].key = static_cast<float>(rng() % 8) * 0.25f;
        many[i].textureIndex = i;
    }
    SortSprites(many, kSpriteListCapacity);
    EXPECT_TRUE(
        std::is_sorted(many, many + kSpriteListCapacity,
                       [](const SpriteItem& a, const SpriteItem& b) { return a.key < b.key; }));
    bool seen[kSpriteListCapacity] = {};
    for (const SpriteItem& item : many) seen[item.textureIndex] = true;
    EXPECT_TRUE(std::all_of(seen, seen + kSpriteListCapacity, [](bool b) { return b; }));
    SortSprites(many, 0);  // nothing to sort
}

}  // namespace
}  // namespace quixo
