// PNG decoding into RGBA8: channels expanded, rows in order, corrupt bytes refused.
#include <gtest/gtest.h>

#include "png_test_util.h"
#include "render/gfx/texture_loader.h"

namespace quixo::gfx {
namespace {

TEST(PngDecode, RgbGetsOpaqueAlphaAndRowsStayInOrder) {
    // 2 × 2 RGB: red, green / blue, white.
    const std::vector<std::uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    const auto png = test::EncodePng(2, 2, 3, rgb);
    ASSERT_FALSE(png.empty());
    DecodedImage image;
    std::string error;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), image, error)) << error;
    EXPECT_EQ(image.width, 2u);
    EXPECT_EQ(image.height, 2u);
    const std::vector<std::uint8_t> expected = {255, 0, 0,   255, 0,   255, 0,   255,
                                                0,   0, 255, 255, 255, 255, 255, 255};
    EXPECT_EQ(image.rgba, expected);
}

TEST(PngDecode, RgbaKeepsItsAlpha) {
    const std::vector<std::uint8_t> rgba = {10, 20, 30, 40};
    const auto png = test::EncodePng(1, 1, 4, rgba);
    DecodedImage image;
    std::string error;
    ASSERT_TRUE(DecodePng(png.data(), png.size(), image, error)) << error;
    EXPECT_EQ(image.rgba, rgba);
}

// With or without checksums (the embedded textures skip them): damage the decoder itself sees.
TEST(PngDecode, CorruptOrTruncatedBytesAreRefused) {
    for (const bool checksums : {true, false}) {
        SCOPED_TRACE(checksums ? "checksums verified" : "checksums skipped");
        const std::vector<std::uint8_t> rgb(16 * 16 * 3, 128);
        auto png = test::EncodePng(16, 16, 3, rgb);
        DecodedImage image;
        std::string error;
        ASSERT_TRUE(DecodePng(png.data(), png.size(), image, error, checksums)) << error;
        const std::vector<std::uint8_t> truncated(png.begin(), png.begin() + png.size() / 2);
        EXPECT_FALSE(DecodePng(truncated.data(), truncated.size(), image, error, checksums));
        EXPECT_FALSE(error.empty());
        png[1] = 'X';  // signature
        EXPECT_FALSE(DecodePng(png.data(), png.size(), image, error, checksums));
        const std::uint8_t nothing[1] = {0};
        EXPECT_FALSE(DecodePng(nothing, 0, image, error, checksums));
        EXPECT_TRUE(image.rgba.empty());
    }
}

}  // namespace
}  // namespace quixo::gfx
