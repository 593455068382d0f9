// The headless capture subcommands as outside checks run them: exit status, the JSON line, and
// the PNG file they write.
#include <gtest/gtest.h>
#include <spng.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "e2e/x_session.h"
#include "graph/graph_types.h"

namespace quixo::e2e {
namespace {

std::string Tool(const std::string& arguments) {
    return std::string(QUIXO_TOOL) + " " + arguments + " 2>/dev/null";
}

std::string TempPng(const char* name) {
    return "/tmp/quixo-capture-" + std::to_string(getpid()) + "-" + name + ".png";
}

struct Png {
    std::uint32_t width = 0, height = 0;
    std::vector<std::uint8_t> rgba;
};

bool ReadPng(const std::string& path, Png& png) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    spng_ctx* ctx = spng_ctx_new(0);
    spng_ihdr ihdr{};
    std::size_t size = 0;
    bool ok = spng_set_png_buffer(ctx, bytes.data(), bytes.size()) == 0 &&
              spng_get_ihdr(ctx, &ihdr) == 0 &&
              spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0;
    if (ok) {
        png.rgba.resize(size);
        ok = spng_decode_image(ctx, png.rgba.data(), size, SPNG_FMT_RGBA8, 0) == 0;
        png.width = ihdr.width;
        png.height = ihdr.height;
    }
    spng_ctx_free(ctx);
    return ok;
}

// Frame 540 is the first of scene 1: the frame-to-clock mapping must not round it back into
// scene 0. The frame before it is drawn too, and neither may raise a GL error.
TEST(CaptureTool, RenderWritesTheFrameAndReportsItsClock) {
    const std::string out = TempPng("render");
    const CommandResult r =
        RunCommand(Tool("render --frame 540 --size 64x36 --fxaa off --out " + out), 120);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto json = nlohmann::json::parse(r.output);
    EXPECT_EQ(json["frame"], 540);
    EXPECT_EQ(json["scene"], 1);
    EXPECT_EQ(json["sceneFrame"], 0);
    EXPECT_DOUBLE_EQ(json["seconds"].get<double>(), 9.0);
    EXPECT_EQ(json["glErrors"], 0);

    Png png;
    ASSERT_TRUE(ReadPng(out, png));
    std::remove(out.c_str());
    EXPECT_EQ(png.width, 64u);
    EXPECT_EQ(png.height, 36u);
    ASSERT_EQ(png.rgba.size(), 64u * 36u * 4u);
    for (std::size_t i = 3; i < png.rgba.size(); i += 4) ASSERT_EQ(png.rgba[i], 255) << i;
}

TEST(CaptureTool, ContactSheetTilesLabelledThumbnails) {
    const std::string out = TempPng("sheet");
    const CommandResult r =
        RunCommand(Tool("contact-sheet --every 3000 --size 40x24 --columns 2 --out " + out), 180);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto json = nlohmann::json::parse(r.output);
    EXPECT_EQ(json["thumbnails"], 3);  // frames 0, 3000 and 6000
    EXPECT_EQ(json["columns"], 2);
    EXPECT_EQ(json["rows"], 2);
    EXPECT_EQ(json["glErrors"], 0);
    Png png;
    ASSERT_TRUE(ReadPng(out, png));
    std::remove(out.c_str());
    EXPECT_EQ(png.width, 80u);
    EXPECT_EQ(png.height, 48u);
    // The label's first row is its black box; the cell that has no thumbnail stays black.
    auto at = [&](std::uint32_t x, std::uint32_t y) { return &png.rgba[(y * png.width + x) * 4]; };
    EXPECT_EQ(at(0, 0)[0], 0);
    EXPECT_EQ(at(79, 47)[0], 0);
    // The label "F0 S0" is white on black: the box's pixels are greys, and the glyphs' stems
    // are full white.
    int white = 0;
    for (std::uint32_t y = 0; y < 14; ++y) {
        for (std::uint32_t x = 0; x < 20; ++x) {
            const std::uint8_t* p = at(x, y);
            EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
            white += p[0] == 255;
        }
    }
    EXPECT_GE(white, 8);
}

TEST(CaptureTool, ContactSheetThumbnailsAreTheShowsFramesScaledDown) {
    // Frame 6000 rendered at 80 × 48, and the same frame as a 40 × 24 thumbnail of frames
    // rendered at 80 × 48: each thumbnail pixel is the mean of a 2 × 2 block.
    const std::string frame = TempPng("frame"), sheet = TempPng("scaled");
    ASSERT_EQ(RunCommand(Tool("render --frame 6000 --size 80x48 --out " + frame), 180).status, 0);
    const CommandResult r = RunCommand(
        Tool("contact-sheet --every 6000 --size 40x24 --render 80x48 --columns 1 --out " + sheet),
        180);
    ASSERT_EQ(r.status, 0) << r.output;
    Png full, thumbs;
    ASSERT_TRUE(ReadPng(frame, full));
    ASSERT_TRUE(ReadPng(sheet, thumbs));
    std::remove(frame.c_str());
    std::remove(sheet.c_str());
    ASSERT_EQ(thumbs.width, 40u);
    ASSERT_EQ(thumbs.height, 48u);
    int worst = 0, spread = 0;
    // Below the label of the second thumbnail (frame 6000).
    for (std::uint32_t y = 14; y < 24; ++y) {
        for (std::uint32_t x = 0; x < 40; ++x) {
            for (int c = 0; c < 3; ++c) {
                int sum = 0;
                for (std::uint32_t d = 0; d < 4; ++d)
                    sum += full.rgba[((2 * y + d / 2) * 80 + 2 * x + d % 2) * 4 + c];
                const int thumb = thumbs.rgba[((24 + y) * 40 + x) * 4 + c];
                worst = std::max(worst, std::abs(thumb - (sum + 2) / 4));
                spread = std::max(spread, std::abs(thumb - thumbs.rgba[((24 + 14) * 40) * 4 + c]));
            }
        }
    }
    EXPECT_LE(worst, 1);
    EXPECT_GT(spread, 0) << "the compared part of the frame is one flat colour";
}

TEST(CaptureTool, ProfileReportsEveryStartupStepAndFrameTimes) {
    const CommandResult r = RunCommand(Tool("profile --size 64x36 --frames 5 --from 10"), 120);
    ASSERT_EQ(r.status, 0) << r.output;
    const auto json = nlohmann::json::parse(r.output);
    double sum = 0;
    for (const char* key : {"textMeshes", "shaders", "meshes", "resources", "scenes"}) {
        ASSERT_TRUE(json["startup"].contains(key)) << key;
        EXPECT_GE(json["startup"][key].get<double>(), 0.0) << key;
        sum += json["startup"][key].get<double>();
    }
    EXPECT_LE(sum, json["startup"]["total"].get<double>() + 1e-6);
    EXPECT_GT(json["frame"]["cpuMedianMs"].get<double>(), 0.0);
    EXPECT_GE(json["frame"]["cpuP99Ms"].get<double>(), json["frame"]["cpuMedianMs"].get<double>());
    EXPECT_GE(json["frame"]["gpuMedianMs"].get<double>(), 0.0);
    // The parts of a frame: each within the whole CPU frame, the GPU time aside.
    const double cpuP99 = json["frame"]["cpuP99Ms"].get<double>();
    for (const char* part : {"cpuThread", "eval", "submit", "gpu"}) {
        const auto& times = json["frame"][part];
        ASSERT_TRUE(times.contains("medianMs") && times.contains("p99Ms")) << part;
        EXPECT_GE(times["p99Ms"].get<double>(), times["medianMs"].get<double>()) << part;
        if (std::string(part) != "gpu") {
            EXPECT_GT(times["medianMs"].get<double>(), 0.0) << part;
            EXPECT_LE(times["p99Ms"].get<double>(), cpuP99) << part;
        }
    }
    // Timed as the demo runs: no synchronous debug output unless asked for.
    EXPECT_FALSE(json["frame"]["glDebugOutput"].get<bool>());
    EXPECT_EQ(json["glErrors"].get<int>(), 0);
    const double firstFrame = json["startup"]["processToFirstFrame"].get<double>();
    EXPECT_GE(firstFrame, json["startup"]["total"].get<double>());
    // The first frame's own textures are uploaded inside it.
    const double textures = json["startup"]["firstFrameTextures"].get<double>();
    EXPECT_GE(textures, 0.0);
    EXPECT_LE(textures, firstFrame - json["startup"]["total"].get<double>());
}

// A stored scene whose emitter names a shader outside the tables.
std::string WriteGraphWithShader(int vertexShader, int pixelShader) {
    std::vector<StoredNode> nodes(kNodesPerGraph);
    nodes[0].type = 46;
    for (auto& input : nodes[0].inputs) input = -1;
    nodes[0].params[0] = 0;  // mesh
    nodes[0].params[1] = 1;  // instances
    nodes[0].params[2] = static_cast<float>(vertexShader);
    nodes[0].params[3] = static_cast<float>(pixelShader);
    nodes[0].count = 1;
    const std::string path = TempPng("shader-graph");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(nodes.data()), kStoredSceneBytes);
    return path;
}

// Malformed requests (2) and outputs that cannot be written (1) are refused before any device
// is set up, so none of these takes long.
TEST(CaptureTool, RefusesFramesAndSizesOutsideTheShow) {
    const std::string badShader = WriteGraphWithShader(9, 21);
    const std::string badVertexShader = WriteGraphWithShader(-1, 9);
    const struct {
        std::string args;
        int status;
    } cases[] = {
        {"render --frame 8200 --out /tmp/x.png", 2},
        {"render --frame -1 --out /tmp/x.png", 2},
        {"render --frame 1 --size 0x10 --out /tmp/x.png", 2},
        {"render --frame 1 --size 64 --out /tmp/x.png", 2},
        {"render --frame 1 --size 4294967297x1 --out /tmp/x.png", 2},  // once read as 1x1
        {"render --frame 1 --size 64x36x --out /tmp/x.png", 2},
        {"contact-sheet --every 0 --out /tmp/x.png", 2},
        {"contact-sheet --every 9223372036854775807 --out /tmp/x.png", 2},  // once SIGFPE
        {"contact-sheet --every 60 --columns 0 --out /tmp/x.png", 2},
        {"profile --from 8190 --frames 20", 2},
        {"profile --from 1 --frames 9223372036854775807", 2},  // once overflowed and ran on
        {"render --frame 1 --graphs /tmp --out /tmp/x.png", 2},
        {"contact-sheet --every 60 --graphs /tmp --out /tmp/x.png", 2},
        {"render --frame 1 --graphs " + badShader + " --out /tmp/x.png", 2},  // once SIGSEGV
        {"contact-sheet --every 60 --graphs " + badVertexShader + " --out /tmp/x.png", 2},
        {"render --frame 1 --out /nonexistent/x.png", 1},
        {"render --frame 1 --out /tmp", 1},
        {"contact-sheet --every 60 --out /nonexistent/x.png", 1},
        {"video --out /nonexistent/x.mp4 --to 2", 1},
    };
    for (const auto& c : cases) {
        const CommandResult r = RunCommand(std::string(QUIXO_TOOL) + " " + c.args + " 2>&1", 30);
        EXPECT_EQ(r.status, c.status) << c.args << "\n" << r.output;
        // One line saying why.
        EXPECT_EQ(std::count(r.output.begin(), r.output.end(), '\n'), 1) << c.args << r.output;
    }
    std::remove(badShader.c_str());
    std::remove(badVertexShader.c_str());
}

// A run stopped part-way leaves the file it was to replace as it was, and nothing beside it.
TEST(CaptureTool, AStoppedRunLeavesThePreviousFileWhole) {
    const std::string dir = "/tmp/quixo-capture-" + std::to_string(getpid()) + "-stopped";
    const std::string out = dir + "/sheet.png";
    ASSERT_EQ(RunCommand("mkdir -p " + dir + " && printf good > " + out).status, 0);
    // The temporary file is made before the work starts; the signal comes while rendering.
    const std::string tool = std::string(QUIXO_TOOL) +
                             " contact-sheet --every 1 --size 16x16 --render 16x16 --out " + out;
    const std::string waitForTemporary = "for i in $(seq 300); do ls " + dir +
                                         "/.sheet.png.* >/dev/null 2>&1 && echo made && break; "
                                         "sleep 0.1; done; sleep 1";
    const CommandResult r =
        RunCommand(tool + " 2>/dev/null & pid=$!; " + waitForTemporary +
                       "; kill -TERM $pid; { wait $pid; } 2>/dev/null; echo $?; ls -A " + dir,
                   120);
    // The temporary file was there while rendering, and went with the signal.
    EXPECT_EQ(r.output, "made\n143\nsheet.png\n");
    std::ifstream in(out, std::ios::binary);
    const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(kept, "good");
    RunCommand("rm -rf " + dir);
}

}  // namespace
}  // namespace quixo::e2e
