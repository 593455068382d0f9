// Rendering hand-made graphs and scene sources compiled at run time through quixo-tool.
#include <gtest/gtest.h>
#include <spng.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "e2e/x_session.h"
#include "graph/graph_types.h"
#include "operators/node_table.h"

namespace quixo::e2e {
namespace {

std::string Temp(const std::string& name) {
    return "/tmp/quixo-authoring-" + std::to_string(getpid()) + "-" + name;
}

std::vector<std::uint8_t> DecodePng(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    spng_ctx* ctx = spng_ctx_new(0);
    std::size_t size = 0;
    std::vector<std::uint8_t> rgba;
    if (spng_set_png_buffer(ctx, bytes.data(), bytes.size()) == 0 &&
        spng_decoded_image_size(ctx, SPNG_FMT_RGBA8, &size) == 0) {
        rgba.resize(size);
        if (spng_decode_image(ctx, rgba.data(), size, SPNG_FMT_RGBA8, 0) != 0) rgba.clear();
    }
    spng_ctx_free(ctx);
    return rgba;
}

StoredNode EmptyNode() {
    StoredNode n{};
    for (auto& input : n.inputs) input = -1;
    return n;
}

// A constant colour fed to the clear-colour node: the whole frame is that colour.
TEST(AuthoringTool, RenderGraphsOfAClearColourGivesThatColour) {
    std::vector<StoredNode> graph(kNodesPerGraph, EmptyNode());
    graph[0].type = kNodeConstant;
    graph[0].count = 1;
    const float colour[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    for (int i = 0; i < 4; ++i) graph[0].params[i] = colour[i];
    graph[1].type = kNodeClearColour;
    graph[1].count = 1;
    graph[1].inputs[0] = 0;
    const std::string graphs = Temp("graph.bin"), out = Temp("clear.png");
    std::ofstream(graphs, std::ios::binary)
        .write(reinterpret_cast<const char*>(graph.data()), kStoredSceneBytes);

    const CommandResult r =
        RunCommand(std::string(QUIXO_TOOL) + " render --frame 10 --size 32x16 " +
                       "--fxaa off --graphs " + graphs + " --out " + out + " 2>&1",
                   120);
    std::remove(graphs.c_str());
    ASSERT_EQ(r.status, 0) << r.output;
    const std::vector<std::uint8_t> rgba = DecodePng(out);
    std::remove(out.c_str());
    ASSERT_EQ(rgba.size(), 32u * 16u * 4u);
    for (std::size_t p = 0; p < rgba.size(); p += 4) {
        for (int c = 0; c < 3; ++c)
            ASSERT_NEAR(rgba[p + c], colour[c] * 255.0f, 2.0f) << "pixel " << p / 4 << " " << c;
    }
}

// A source fault ends render with exit 2 and the fault's file and line, before any device.
TEST(AuthoringTool, RenderSourcesReportsAFaultWithFileAndLine) {
    namespace fs = std::filesystem;
    const fs::path dir = Temp("sources");
    fs::create_directories(dir / "scenes");
    fs::create_directories(dir / "tracks");
    for (const char* sub : {"scenes", "tracks"})
        for (const auto& e : fs::directory_iterator(fs::path(QUIXO_SOURCE_DIR) / "data" / sub))
            if (e.path().extension() != ".cmake") fs::copy(e.path(), dir / sub);
    std::ofstream(dir / "scenes" / "s1_flash.scene", std::ios::app) << "oops = no_such_type\n";

    const CommandResult r = RunCommand(std::string(QUIXO_TOOL) + " render --frame 0 --sources " +
                                           dir.string() + " --out /tmp/unused.png 2>&1",
                                       60);
    fs::remove_all(dir);
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_NE(r.output.find("s1_flash.scene:"), std::string::npos) << r.output;
}

}  // namespace
}  // namespace quixo::e2e
