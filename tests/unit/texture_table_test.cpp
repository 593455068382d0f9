#include "render/texture_table.h"

#include <gtest/gtest.h>

#include <cstring>

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

}  // namespace
}  // namespace quixo
