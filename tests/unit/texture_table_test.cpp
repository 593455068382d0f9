#include "render/texture_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>

#include "graph/scene_data.h"
#include "operators/node_table.h"
#include "render/gfx/texture_loader.h"

namespace quixo {
namespace {

std::uint32_t BigEndian(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) |
           p[3];
}

// Every embedded image is a PNG of exactly the size and channel count its index requires.
TEST(TextureTable, EveryImageHasItsRequiredShape) {
    const StoredTexture* table = StoredTextures();
    const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1a, '\n'};
    for (int i = 0; i < kTextureCount; ++i) {
        SCOPED_TRACE(i);
        const StoredTexture& t = table[i];
        EXPECT_EQ(t.reserved, 0u);
        ASSERT_GT(t.length, 33u);
        ASSERT_EQ(std::memcmp(t.bytes, signature, 8), 0);
        ASSERT_EQ(std::memcmp(t.bytes + 12, "IHDR", 4), 0);
        EXPECT_EQ(BigEndian(t.bytes + 16), std::uint32_t(kTextureShapes[i].width));
        EXPECT_EQ(BigEndian(t.bytes + 20), std::uint32_t(kTextureShapes[i].height));
        EXPECT_EQ(t.bytes[24], 8);  // bits per channel
        EXPECT_EQ(t.bytes[25], kTextureShapes[i].channels == 4 ? 6 : 2);
    }
}

// A sprite added to the picture is also alpha-tested at 0.5, so its texture's alpha must not
// fall with the glow: wherever any colour is left it is full, or the glow ends in a hard disc.
TEST(TextureTable, EveryTextureOfAnAddedSpriteIsOpaqueWhereverItHasColour) {
    constexpr int kAdditive = 2;  // the sprite's blend mode, parameter 2
    std::set<int> added;
    for (int n = 0; n < kSceneCount * kNodesPerGraph; ++n) {
        const StoredNode& node = StoredScenes()[n];
        if (node.type == kNodeSprite && static_cast<int>(node.params[2]) == kAdditive)
            added.insert(static_cast<int>(node.params[0]));
    }
    ASSERT_FALSE(added.empty());
    for (const int i : added) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(i >= 0 && i < kTextureCount);
        gfx::DecodedImage image;
        std::string error;
        const StoredTexture& t = StoredTextures()[i];
        ASSERT_TRUE(gfx::DecodePng(t.bytes, t.length, image, error)) << error;
        int cut = 0;
        for (std::size_t p = 0; p < image.rgba.size(); p += 4) {
            const std::uint8_t* texel = &image.rgba[p];
            if (std::max({texel[0], texel[1], texel[2]}) > 0 && texel[3] != 255) ++cut;
        }
        EXPECT_EQ(cut, 0) << "texels with colour whose alpha is not full";
    }
}

}  // namespace
}  // namespace quixo
