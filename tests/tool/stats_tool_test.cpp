// quixo-tool stats against what the build made: the scene table the show plays and the texture
// images the generator wrote.
#include <gtest/gtest.h>
#include <spng.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "render/texture_table.h"
#include "tool/tool_run.h"

namespace quixo {
namespace {

// Runs `quixo-tool stats` from the source folder (where the soundtrack lies) and parses its
// output; an exit status other than 0 fails the test.
nlohmann::json Stats() {
    const tool_test::ToolRun run = tool_test::RunTool("stats");
    EXPECT_EQ(run.status, 0) << run.err;
    return nlohmann::json::parse(run.out, nullptr, false);
}

struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int channels = 0;
    std::uintmax_t bytes = 0;
};

// The header of a PNG file as the generator wrote it (8-bit RGB or RGBA only).
PngHeader ReadPngHeader(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in),
                                          std::istreambuf_iterator<char>()};
    PngHeader header;
    header.bytes = bytes.size();
    spng_ctx* ctx = spng_ctx_new(0);
    spng_ihdr ihdr{};
    if (spng_set_png_buffer(ctx, bytes.data(), bytes.size()) == 0 &&
        spng_get_ihdr(ctx, &ihdr) == 0 && ihdr.bit_depth == 8) {
        header.width = ihdr.width;
        header.height = ihdr.height;
        header.channels = ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR_ALPHA ? 4
                          : ihdr.color_type == SPNG_COLOR_TYPE_TRUECOLOR     ? 3
                                                                             : 0;
    }
    spng_ctx_free(ctx);
    return header;
}

TEST(StatsTool, ReportsTheShowsScenesAndTheTexturesTheBuildGenerated) {
    const nlohmann::json stats = Stats();
    ASSERT_TRUE(stats.is_object());

    std::vector<int> durations;
    for (const auto& scene : stats["scenes"]) durations.push_back(scene["duration"].get<int>());
    EXPECT_EQ(durations, (std::vector<int>{540, 60, 600, 195, 350, 350, 1740, 1400, 1397, 1680}));

    // The camera work and animation come from curve tracks: at least 20 of them are sampled.
    int used = 0;
    for (const auto& track : stats["tracks"]) {
        if (track["usedBy"].empty()) continue;
        ++used;
        EXPECT_GE(track["keys"].get<int>(), 2) << track.dump();
    }
    EXPECT_GE(used, 20);

    const nlohmann::json& textures = stats["textures"];
    ASSERT_EQ(textures.size(), 29u);
    const std::filesystem::path folder = std::filesystem::path(QUIXO_BINARY_DIR) / "data/textures";
    for (int i = 0; i < kTextureCount; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "texture_%02d.png", i);
        SCOPED_TRACE(name);
        const PngHeader file = ReadPngHeader(folder / name);
        const nlohmann::json& reported = textures[i];
        ASSERT_FALSE(reported.contains("error")) << reported.dump();
        // What the tool reports is the generated file, embedded unchanged...
        EXPECT_EQ(reported["bytes"].get<std::uintmax_t>(), file.bytes);
        EXPECT_EQ(reported["width"].get<std::uint32_t>(), file.width);
        EXPECT_EQ(reported["height"].get<std::uint32_t>(), file.height);
        EXPECT_EQ(reported["channels"].get<int>(), file.channels);
        EXPECT_EQ(reported["bitDepth"].get<int>(), 8);
        // ...and the file has the shape its table entry requires.
        EXPECT_EQ(file.width, static_cast<std::uint32_t>(kTextureShapes[i].width));
        EXPECT_EQ(file.height, static_cast<std::uint32_t>(kTextureShapes[i].height));
        EXPECT_EQ(file.channels, kTextureShapes[i].channels);
    }
}

}  // namespace
}  // namespace quixo
