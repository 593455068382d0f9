// quixo-tool eval: what it accepts, what it refuses and with which status.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "core/curve_track.h"
#include "core/timeline.h"
#include "graph/scene_data.h"
#include "tool/tool_run.h"
#include "unit/graph_test_util.h"

namespace quixo {
namespace {

using testing_util::Node;

using tool_test::RunTool;
using tool_test::TempDir;
using tool_test::ToolRun;

template <typename T>
std::string WriteRecords(const std::string& name, const std::vector<T>& records) {
    const auto path = TempDir() / name;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(records.data()),
              static_cast<std::streamsize>(records.size() * sizeof(T)));
    return path.string();
}

std::vector<StoredNode> Graphs(int k) {
    return std::vector<StoredNode>(k * kNodesPerGraph);
}

int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(EvalTool, MalformedInputIsOneLineAndExitTwo) {
    const std::string good = WriteRecords("good.bin", Graphs(1));
    const std::string cases[] = {
        "eval",                             // no graphs at all
        "eval --builtin --graphs " + good,  // both
        "eval --graphs " + WriteRecords("short.bin", std::vector<char>(100)),
        "eval --graphs " + WriteRecords("many.bin", Graphs(33)),
        "eval --graphs " + (TempDir() / "missing.bin").string(),
        "eval --graphs " + good + " --tracks " + good,    // not 66048 bytes
        "eval --graphs " + good + " --spectrum " + good,  // not 2048 bytes
        "eval --graphs " + good + " --slot 32",
        "eval --graphs " + good + " --passes 0",
        "eval --builtin --tracks " + good,
        // Folders and values the options cannot mean are refused as the line is parsed.
        "eval --graphs " + TempDir().string(),
        "eval --graphs " + good + " --tracks " + TempDir().string(),
        "eval --graphs " + good + " --spectrum " + TempDir().string(),
        "eval --graphs " + good + " --scene-frame -1",
        "eval --graphs " + good + " --scene-end-frame 2147483648",
        "eval --graphs " + good + " --aspect nan",
        "mesh --programs " + TempDir().string(),
    };
    for (const std::string& args : cases) {
        const ToolRun run = RunTool(args);
        EXPECT_EQ(run.status, 2) << args << "\n" << run.err;
        EXPECT_EQ(run.out, "") << args;
        EXPECT_EQ(Lines(run.err), 1) << args << "\n" << run.err;
    }
}

TEST(EvalTool, GraphsThatBreakALimitExitThree) {
    struct Case {
        const char* what;
        std::vector<StoredNode> graphs;
        std::string expect;  // part of the message
    };
    std::vector<Case> cases;

    auto g = Graphs(1);
    g[0] = Node(kNodeAdd);
    g[0].inputs[3] = 300;
    cases.push_back({"link out of range", g, "links to node 300"});

    g = Graphs(1);
    g[0] = Node(kNodeCopy);
    g[0].inputs[0] = 2;
    g[2] = Node(kNodeCopy);
    g[2].inputs[0] = 0;
    cases.push_back({"cycle", g, "depends on itself"});

    g = Graphs(1);
    g[5] = Node(kNodeCopy);
    g[5].inputs[0] = 5;
    cases.push_back({"self link", g, "depends on itself"});

    g = Graphs(3);
    g[0] = Node(kNodeSubGraphCall);
    g[0].params[0] = 2;
    g[2 * kNodesPerGraph] = Node(kNodeSubGraphCall);
    g[2 * kNodesPerGraph].params[0] = 2;
    cases.push_back({"call leading back", g, "leads back"});

    g = Graphs(1);
    g[0] = Node(kNodeSubGraphCall);
    g[0].params[0] = 32;
    cases.push_back({"call outside the slots", g, "outside 1..31"});

    g = Graphs(1);
    g[0] = Node(kNodeEmitter8);
    g[0].params[1] = -1;  // 2^32 - 1 instances
    cases.push_back({"draw list", g, "opaque draw list"});

    g = Graphs(1);
    g[0] = Node(kNodeConstant, 600);
    g[1] = Node(kNodeDebugPolyline);
    g[1].inputs[0] = 0;
    cases.push_back({"debug lines", g, "debug-line list"});

    g = Graphs(1);
    g[0] = Node(kNodeCurveSampler);
    g[0].params[0] = 64;
    cases.push_back({"track index", g, "samples track 64"});

    g = Graphs(1);
    g[0] = Node(kNodeConstant, 0x40000000);
    cases.push_back({"arena", g, "memory arena"});

    g = Graphs(1);
    g[0] = Node(28, 1100000);  // within the arena, but gigabytes of JSON at a larger count
    cases.push_back({"printed elements", g, "eval prints at most 1048576"});

    for (const Case& c : cases) {
        const ToolRun run = RunTool("eval --graphs " + WriteRecords("limit.bin", c.graphs));
        EXPECT_EQ(run.status, 3) << c.what << "\n" << run.err;
        EXPECT_NE(run.err.find(c.expect), std::string::npos) << c.what << ": " << run.err;
        EXPECT_EQ(Lines(run.err), 1) << c.what;
    }

    std::vector<CurveTrack> tracks(kCurveTrackCount);
    tracks[7].kind = 2;
    const std::string good = WriteRecords("good.bin", Graphs(1));
    ToolRun run = RunTool("eval --graphs " + good + " --tracks " + WriteRecords("t.bin", tracks));
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("track 7 has kind 2"), std::string::npos) << run.err;
    tracks[7].kind = 0;
    tracks[9].keyCount = 65;
    run = RunTool("eval --graphs " + good + " --tracks " + WriteRecords("t.bin", tracks));
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("track 9 has 65 keys"), std::string::npos) << run.err;
}

TEST(EvalTool, PrintsTheContractShape) {
    // Node 0 reads node 3, which comes later: the evaluator handles it, the check allows it.
    auto g = Graphs(2);
    g[0] = Node(kNodeCopy, 2);
    g[0].inputs[0] = 3;
    g[3] = Node(kNodeConstant, 4);
    g[kNodesPerGraph] = Node(kNodeConstant);  // slot 1
    const ToolRun run =
        RunTool("eval --graphs " + WriteRecords("ok.bin", g) + " --passes 3 --scene-frame 5");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto j = nlohmann::ordered_json::parse(run.out);
    std::vector<std::string> keys;
    for (const auto& item : j.items()) keys.push_back(item.key());
    EXPECT_EQ(keys, (std::vector<std::string>{"slot", "nodes", "opaque", "blended", "sprites",
                                              "debugLines", "settings", "camera"}));
    EXPECT_EQ(j["slot"], 0);
    ASSERT_EQ(j["nodes"].size(), 2u);  // empty nodes are left out
    EXPECT_EQ(j["nodes"][0]["index"], 0);
    EXPECT_EQ(j["nodes"][0]["count"], 2);
    EXPECT_EQ(j["nodes"][0]["elements"].size(), 2u);
    EXPECT_EQ(j["nodes"][1]["index"], 3);
    EXPECT_EQ(j["nodes"][1]["type"], kNodeConstant);
    const auto& s = j["settings"];
    EXPECT_EQ(s["lightDir"], nlohmann::json::parse("[1.0, 1.0, 1.0, 0.0]"));
    EXPECT_EQ(s["bloomEnabled"], 0);
    // Three passes: the first two frames were presented, which sets the clear colour back.
    EXPECT_EQ(static_cast<float>(s["clearColor"][2].get<double>()), 90.0f / 255.0f);
    EXPECT_EQ(j["camera"]["viewProj"].size(), 16u);
}

TEST(EvalTool, EvaluatesTheBuiltinScenes) {
    const ToolRun run = RunTool("eval --builtin --slot 3 --scene-frame 10 --scene-end-frame 1395");
    ASSERT_EQ(run.status, 0) << run.err;
    const auto j = nlohmann::json::parse(run.out);
    EXPECT_EQ(j["slot"], 3);
    EXPECT_GT(j["nodes"].size(), 3u);
    // What the clock reads on the last frame of each scene, fed back into eval: no value the
    // show reaches is refused (the last scene ends past the show's end).
    const auto durations = TimelineDurations();
    std::int32_t start = 0;
    for (int scene = 0; scene < kSceneCount; ++scene) {
        const std::int32_t last = std::min(start + durations[scene], kEndFrame) - 1;
        start += durations[scene];
        const ToolRun clock = RunTool("clock --ms " + std::to_string((last * 1666 + 99) / 100));
        ASSERT_EQ(clock.status, 0) << clock.err;
        const auto c = nlohmann::json::parse(clock.out);
        ASSERT_EQ(c["frame"], last);
        const ToolRun at =
            RunTool("eval --builtin --slot " + c["scene"].dump() + " --scene-frame " +
                    c["sceneFrame"].dump() + " --scene-end-frame " + c["sceneEndFrame"].dump());
        EXPECT_EQ(at.status, 0) << clock.out << at.err;
    }
    // Before any frame was presented the clear colour is the start value, zero.
    const ToolRun empty = RunTool("eval --builtin --slot 12");
    ASSERT_EQ(empty.status, 0) << empty.err;
    EXPECT_EQ(nlohmann::json::parse(empty.out)["nodes"].size(), 0u);
}

// The data folder compiled at run time is what the build embedded; a folder without sources is
// a source fault (exit 2) naming the folder.
TEST(EvalTool, SourcesOfTheDataFolderEvaluateLikeTheBuiltinScenes) {
    const std::string args = " --slot 6 --scene-frame 40 --scene-end-frame 3000 --passes 2";
    const ToolRun builtin = RunTool("eval --builtin" + args);
    const ToolRun sources =
        RunTool("eval --sources " + std::string(QUIXO_SOURCE_DIR) + "/data" + args);
    ASSERT_EQ(sources.status, 0) << sources.err;
    EXPECT_EQ(sources.out, builtin.out);
    const ToolRun missing = RunTool("eval --sources " + TempDir().string() + "/none");
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("/none/scenes"), std::string::npos) << missing.err;
    EXPECT_EQ(RunTool("eval --builtin --sources " + TempDir().string()).status, 2);
}

}  // namespace
}  // namespace quixo
