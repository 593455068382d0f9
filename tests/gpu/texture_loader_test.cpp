// Textures from PNG bytes on the device: size recorded, full chain built, mip 0 viewed alone,
// and a bad image reported with its table index.
#include "render/gfx/texture_loader.h"

#include "gpu_fixture.h"
#include "png_test_util.h"

namespace quixo::gfx::test {
namespace {

using TextureLoader = GpuTest;

TEST_F(TextureLoader, PngBecomesRgba8WithFullChainAndTopLevelView) {
    // 8 × 4 RGB, left half black and right half white: every mip averages towards grey.
    std::vector<std::uint8_t> rgb(8 * 4 * 3);
    for (std::size_t p = 0; p < 32; ++p) {
        const std::uint8_t v = (p % 8) < 4 ? 0 : 255;
        rgb[p * 3] = rgb[p * 3 + 1] = rgb[p * 3 + 2] = v;
    }
    const auto png = quixo::test::EncodePng(8, 4, 3, rgb);
    LoadedTexture loaded;
    std::string error;
    ASSERT_TRUE(CreateTextureFromMemory(device(), png.data(), png.size(), 3, loaded, error))
        << error;
    EXPECT_EQ(loaded.width, 8);
    EXPECT_EQ(loaded.height, 4);
    EXPECT_EQ(loaded.texture.desc.format, Format::R8G8B8A8_UNORM);
    EXPECT_EQ(loaded.texture.desc.mipLevels, 4u);  // 8×4, 4×2, 2×1, 1×1
    EXPECT_EQ(loaded.view.firstMip, 0u);
    EXPECT_EQ(loaded.view.mipCount, 1u);
    const auto top = ReadTexturePixels(loaded.texture, 0);
    EXPECT_FLOAT_EQ(Pixel(top, 8, 0, 0)[0], 0.0f);
    EXPECT_FLOAT_EQ(Pixel(top, 8, 7, 3)[0], 1.0f);
    EXPECT_FLOAT_EQ(Pixel(top, 8, 7, 3)[3], 1.0f);
    const auto last = ReadTexturePixels(loaded.texture, 3);
    EXPECT_NEAR(last[0], 0.5f, 1.5 / 255);
    EXPECT_FLOAT_EQ(last[3], 1.0f);
}

// The start-up builds the chains on worker threads: they must hold what the GPU would build,
// up to a rounding step a level (each level is rounded to 8 bits before the next is made from
// it, and the driver's filter rounds its own way).
TEST_F(TextureLoader, AChainMadeOnTheCpuMatchesTheOneTheGpuGenerates) {
    for (const auto& [w, h] : {std::pair{64u, 32u}, std::pair{4u, 16u}}) {
        DecodedImage image{w, h, std::vector<std::uint8_t>(std::size_t{w} * h * 4), {}};
        std::uint32_t seed = 12345;
        for (std::uint8_t& byte : image.rgba) {
            seed = seed * 1664525u + 1013904223u;
            byte = static_cast<std::uint8_t>(seed >> 24);
        }
        LoadedTexture gpu, cpu;
        std::string error;
        ASSERT_TRUE(CreateTextureFromImage(device(), image, 0, gpu, error)) << error;
        MakeMipChain(image);
        ASSERT_EQ(image.mips.size() + 1, FullMipCount(w, h));
        ASSERT_TRUE(CreateTextureFromImage(device(), image, 0, cpu, error)) << error;
        for (std::uint32_t mip = 1; mip < gpu.texture.desc.mipLevels; ++mip) {
            const auto expected = ReadTexturePixels(gpu.texture, mip);
            const auto actual = ReadTexturePixels(cpu.texture, mip);
            ASSERT_EQ(actual.size(), expected.size());
            for (std::size_t k = 0; k < actual.size(); ++k)
                ASSERT_NEAR(actual[k], expected[k], mip * 1.01 / 255)
                    << w << "x" << h << " mip " << mip;
        }
    }
}

TEST_F(TextureLoader, CorruptImageNamesItsIndex) {
    const std::uint8_t junk[] = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6, 7, 8};
    LoadedTexture loaded;
    std::string error;
    EXPECT_FALSE(CreateTextureFromMemory(device(), junk, sizeof junk, 17, loaded, error));
    EXPECT_NE(error.find("texture 17"), std::string::npos) << error;
    EXPECT_EQ(loaded.texture.name, 0u);
}

}  // namespace
}  // namespace quixo::gfx::test
