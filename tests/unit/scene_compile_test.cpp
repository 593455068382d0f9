#include "authoring/scene_compile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "authoring/scene_source.h"
#include "authoring/track_source.h"
#include "graph/scene_data.h"
#include "operators/node_table.h"

namespace quixo {
namespace {

const std::int32_t kDurations[10] = {540, 60, 600, 195, 350, 350, 1740, 1400, 1397, 1680};

// Ten minimal scenes; scene `special` gets `body` instead of its one constant.
std::vector<SourceFile> Scenes(int special = -1, const std::string& body = "") {
    std::vector<SourceFile> files;
    for (int s = 0; s < 10; ++s) {
        std::string text =
            "scene " + std::to_string(s) + " duration " + std::to_string(kDurations[s]) + "\n";
        text += s == special ? body : "c = constant p 1 2 3 4\n";
        files.push_back({"s" + std::to_string(s) + ".scene", text});
    }
    return files;
}

// Track 0 with two keys, track 1 with one, track 2 starting late.
const char kTracks[] =
    "track 0 linear\n0 1 1 1\n10 2 2 2\ntrack 1 linear\n0 5 5 5\n"
    "track 2 catmull_rom\n30 1 1 1\n60 2 2 2\n";

std::string FirstError(const std::vector<SourceFile>& scenes, const std::string& tracks = "") {
    CompiledScenes out;
    std::vector<SourceError> errors;
    std::vector<SourceFile> trackFiles;
    if (!tracks.empty()) trackFiles.push_back({"t.track", tracks});
    if (CompileSceneSources(scenes, trackFiles, out, errors)) return "";
    return errors.empty() ? "(failed without a message)" : FormatSourceError(errors[0]);
}

TEST(SceneSource, ParsesNamesTypesParametersLinksAndCounts) {
    SceneSource scene;
    std::vector<SourceError> errors;
    ASSERT_TRUE(
        ParseSceneSource("scene 3 duration 195  # comment\n"
                         "a = constant p 1 -2.5 0x1p-2\n"
                         "\n"
                         "b = lattice count 1024 p 32 32\n"
                         "c = add in a - b   # second input unconnected\n",
                         "x.scene", scene, errors))
        << FormatSourceError(errors[0]);
    EXPECT_EQ(scene.index, 3);
    EXPECT_EQ(scene.duration, 195);
    EXPECT_EQ(scene.nodeCount, 3);
    EXPECT_EQ(scene.nodes[0].type, kNodeConstant);
    EXPECT_EQ(scene.nodes[0].count, 1u);
    EXPECT_EQ(scene.nodes[0].params[1], -2.5f);
    EXPECT_EQ(scene.nodes[0].params[2], 0.25f);
    EXPECT_EQ(scene.nodes[0].params[3], 0.0f);
    EXPECT_EQ(scene.nodes[1].count, 1024u);
    EXPECT_EQ(scene.nodes[2].inputs[0], 0);
    EXPECT_EQ(scene.nodes[2].inputs[1], -1);
    EXPECT_EQ(scene.nodes[2].inputs[2], 1);
    EXPECT_EQ(scene.nodes[2].inputs[3], -1);
    EXPECT_EQ(scene.nodeLines[2], 5);
    // Unused slots are the stored empty record: all zero bytes.
    const StoredNode zero{};
    EXPECT_EQ(std::memcmp(&scene.nodes[3], &zero, sizeof zero), 0);
}

// A named type without a function would parse and compile, then silently compute nothing.
TEST(SceneSource, EveryNamedNodeTypeComputesSomething) {
    for (const NodeTypeRow& row : kNodeTypeTable) {
        EXPECT_EQ(row.name != nullptr, row.run != nullptr) << "type " << row.type;
    }
    EXPECT_EQ(kNodeTypeTable[kNodeEmpty].run, nullptr);
}

TEST(SceneSource, ReportsFaultsWithFileAndLine) {
    struct Case {
        std::string body;
        std::string error;
    };
    const Case cases[] = {
        {"a = constnat\n", "s4.scene:2: unknown node type 'constnat'"},
        {"a = add in b\nb = constant\n",
         "s4.scene:2: input 0 links to 'b', which is not an earlier node"},
        {"a = add in a\n", "s4.scene:2: input 0 links to 'a', which is not an earlier node"},
        {"a = constant\na = constant\n", "s4.scene:3: node 'a' is already defined on line 2"},
        {"a = constant count 5000\n", "s4.scene:2: count takes one element count 0..4096"},
        {"a = constant p 1 2 3 4 5 6 7 8 9\n", "s4.scene:2: 'p' takes 1 to 8 values"},
        {"a = constant p 1e40\n", "s4.scene:2: parameter '1e40' is not a finite number"},
        {"a = constant q 1\n", "s4.scene:2: unexpected 'q' (expected count, p or in)"},
        {"a constant\n", "s4.scene:2: expected '<name> = <type> [count N] [p ...] [in ...]'"},
        {"scene 4 duration 350\n", "s4.scene:2: a second scene line (the first is on line 1)"},
        // Limits of the graph as a whole, placed at the node that breaks them.
        {"c = constant\nt = track_sampler in c p 70\n",
         "s4.scene:3: node 't': node 1 samples track 70, outside 0..63"},
        {"c = constant\nt = track_sampler in c p 9\n",
         "s4.scene:3: node 't': node 1 samples track 9, which has no keys; a sampled track "
         "needs at least 2"},
        {"c = constant\nt = track_sampler in c p 1\n",
         "s4.scene:3: node 't': node 1 samples track 1, which has 1 key; a sampled track needs "
         "at least 2"},
        {"c = constant\nt = track_sampler in c p 2\n",
         "s4.scene:3: node 't': node 1 samples track 2, whose first key is at frame 30; a "
         "sampled track must start at frame 0"},
        {"a = object8 p 35 4000\nb = object8 p 35 97\n",
         "s4.scene:3: node 'b': slot 4 pushes 4097 items into the opaque draw list in one frame "
         "by node 1; it holds 4096"},
        {"a = sprite p 3 65\n",
         "s4.scene:2: node 'a': slot 4 pushes 65 sprites into the sprite "
         "list in one frame by node 0; it holds 64"},
        {"a = subgraph_call p 4\n",
         "s4.scene:2: node 'a': node 0 of slot 4 calls slot 4, which "
         "leads back to a graph being evaluated"},
        {"a = subgraph_call p 40\n",
         "s4.scene:2: node 'a': node 0 calls graph slot 40, outside 1..31"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FirstError(Scenes(4, c.body), kTracks), c.error) << c.body;
    }
}

TEST(SceneCompile, RefusesMeshShaderAndTextureIndicesOutsideTheirTables) {
    struct Case {
        std::string body;
        std::string error;
    };
    const Case cases[] = {
        {"c = constant\na = object8 p 74 1\n",
         "s4.scene:3: node 'a': node 1 uses mesh 74 (p0), outside -1..73"},
        {"a = object3 p -2 1\n", "s4.scene:2: node 'a': node 0 uses mesh -2 (p0), outside -1..73"},
        // Indices are read as the nearest integer, halfway values going to the even one.
        {"a = object8 p 73.5 1\n",
         "s4.scene:2: node 'a': node 0 uses mesh 74 (p0), outside -1..73"},
        {"a = object6 p 0 1 19\n",
         "s4.scene:2: node 'a': node 0 uses vertex shader 19 (p2), outside 0..18"},
        {"a = object7 p 0 1 0 21\n",
         "s4.scene:2: node 'a': node 0 uses pixel shader 21 (p3), outside 0..20"},
        {"a = object8 p 0 1 0 0 29\n",
         "s4.scene:2: node 'a': node 0 uses texture 29 (p4), outside 0..28"},
        {"a = sprite p -1 1\n", "s4.scene:2: node 'a': node 0 uses texture -1 (p0), outside 0..28"},
    };
    for (const Case& c : cases) EXPECT_EQ(FirstError(Scenes(4, c.body), kTracks), c.error);

    // The last entry of each table, "no mesh", and values that round into the tables pass.
    EXPECT_EQ(FirstError(Scenes(4,
                                "a = object8 p 73 1 18 20 28\n"
                                "b = object8 p -1.4 1 17.5 0.5 27.5 1\n"
                                "c = sprite p 28.5 1\n"),
                         kTracks),
              "");

    // Every fault of every scene is reported, not only the first.
    CompiledScenes out;
    std::vector<SourceError> errors;
    auto scenes = Scenes(2, "a = object8 p 80 1 30 0 40\n");
    scenes[6].text += "b = sprite p 29 1\n";
    EXPECT_FALSE(CompileSceneSources(scenes, {}, out, errors));
    std::vector<std::string> got;
    for (const SourceError& e : errors) got.push_back(FormatSourceError(e));
    EXPECT_EQ(got, (std::vector<std::string>{
                       "s2.scene:2: node 'a': node 0 uses mesh 80 (p0), outside -1..73",
                       "s2.scene:2: node 'a': node 0 uses vertex shader 30 (p2), outside 0..18",
                       "s2.scene:2: node 'a': node 0 uses texture 40 (p4), outside 0..28",
                       "s6.scene:3: node 'b': node 1 uses texture 29 (p0), outside 0..28",
                   }));
}

// A scene that fills every per-frame list exactly, through each kind of node that pushes.
const char kFullLists[] =
    "a = object3 p 0 4000\n"
    "b = object6 p 0 95.5\n"  // 96 instances: the opaque list is full
    "c = object8 p 0 4096 0 0 0 1\n"
    "s = sprite p 3 64\n"
    "pts = constant count 513\n"
    "l = debug_polyline in pts\n"
    "q = point_collector count 4096 in pts\n";  // collects, but pushes nothing

TEST(SceneCompile, CountsEveryPushingNodeAgainstItsList) {
    EXPECT_EQ(FirstError(Scenes(4, kFullLists), kTracks), "");

    struct Case {
        std::string extra;
        std::string error;
    };
    const Case cases[] = {
        {"x = object7 p 0 1\n",
         "s4.scene:9: node 'x': slot 4 pushes 4097 items into the opaque draw list in one frame "
         "by node 7; it holds 4096"},
        {"x = object8 p 0 1 0 0 0 -1\n",
         "s4.scene:9: node 'x': slot 4 pushes 4097 items into the blended draw list in one frame "
         "by node 7; it holds 4096"},
        {"x = sprite p 3 1\n",
         "s4.scene:9: node 'x': slot 4 pushes 65 sprites into the sprite list in one frame by "
         "node 7; it holds 64"},
        {"two = constant count 2\nx = debug_polyline in two\n",
         "s4.scene:10: node 'x': slot 4 pushes 513 lines into the debug-line list in one frame by "
         "node 8; it holds 512"},
        // A called scene's pushes join the caller's frame, every time it is called.
        {"x = subgraph_call p 5\n",
         "s4.scene:9: node 'x': slot 4 pushes 4097 items into the opaque draw list in one frame "
         "by node 7; it holds 4096"},
    };
    for (const Case& c : cases) {
        auto scenes = Scenes(4, kFullLists + c.extra);
        scenes[5].text += "one = object3 p 0 1\n";
        EXPECT_EQ(FirstError(scenes, kTracks), c.error) << c.extra;
    }

    auto scenes = Scenes(3, "a = subgraph_call p 5\nb = subgraph_call p 5\n");
    scenes[5].text += "pts = constant count 258\nl = debug_polyline in pts\n";
    EXPECT_EQ(FirstError(scenes),
              "s3.scene:3: node 'b': slot 3 pushes 514 lines into the debug-line list in one frame "
              "by node 1; it holds 512");
}

TEST(SceneSource, ChecksTheSetOfScenesAsAWhole) {
    auto scenes = Scenes();
    scenes[7].text = "scene 2 duration 1400\nc = constant\n";
    EXPECT_EQ(FirstError(scenes), "s7.scene:1: scene 2 is already defined at s2.scene:1");

    scenes = Scenes();
    scenes.pop_back();
    EXPECT_EQ(FirstError(scenes), "scenes: no source defines scene 9");

    scenes = Scenes();
    scenes[9].text = "scene 9 duration 1567\nc = constant\n";
    EXPECT_EQ(FirstError(scenes),
              "s9.scene:1: the ten durations add up to 8199 frames, short of the show's 8200");

    // A scene may last the whole show, not longer: ten such durations stay far inside the
    // clock's 32-bit sums.
    scenes = Scenes();
    scenes[0].text = "scene 0 duration 8200\nc = constant\n";
    EXPECT_EQ(FirstError(scenes), "");
    scenes[0].text = "scene 0 duration 8201\nc = constant\n";
    EXPECT_EQ(FirstError(scenes), "s0.scene:1: duration '8201' is not a frame count 1..8200");

    // A call that leads back through another scene, reported where the loop closes.
    scenes = Scenes();
    scenes[1].text = "scene 1 duration 60\ncall = subgraph_call p 2\n";
    scenes[2].text = "scene 2 duration 600\nback = subgraph_call p 1\n";
    EXPECT_EQ(FirstError(scenes),
              "s2.scene:2: node 'back': node 0 of slot 2 calls slot 1, which "
              "leads back to a graph being evaluated");

    // Pushes of a called scene count towards the caller's frame.
    scenes = Scenes();
    scenes[1].text = "scene 1 duration 60\ns = sprite p 3 40\ncall = subgraph_call p 2\n";
    scenes[2].text = "scene 2 duration 600\ns = sprite p 3 30\n";
    EXPECT_EQ(FirstError(scenes),
              "s1.scene:3: node 'call': slot 1 pushes 70 sprites into the "
              "sprite list in one frame by node 1; it holds 64");
}

TEST(TrackSource, ParsesKindsAndKeysAndReportsBadOnes) {
    TrackSource tracks;
    std::vector<SourceError> errors;
    ASSERT_TRUE(
        ParseTrackSource("track 2 linear\n0 10 10 10\n400 60 20 0\n400 1 2 3\n"
                         "track 5 catmull_rom\n0 1 2 3\n",
                         "a.track", tracks, errors));
    EXPECT_EQ(tracks.tracks[2].keyCount, 3u);
    EXPECT_EQ(tracks.tracks[2].keys[1].frame, 400u);
    EXPECT_EQ(tracks.tracks[2].keys[2].z, 3.0f);
    EXPECT_EQ(tracks.tracks[5].kind, 1u);
    EXPECT_EQ(tracks.tracks[0].keyCount, 0u);

    struct Case {
        std::string text;
        std::string error;
    };
    std::string many = "track 1 linear\n";
    for (int i = 0; i <= 64; ++i) many += std::to_string(i) + " 0 0 0\n";
    const Case cases[] = {
        {"track 1 cubic\n", "b.track:1: track kind 'cubic' is not linear (0) or catmull_rom (1)"},
        {"track 1 2\n", "b.track:1: track kind '2' is not linear (0) or catmull_rom (1)"},
        {"track 64 linear\n", "b.track:1: track number '64' is not 0..63"},
        {"track 1 linear\n10 0 0 0\n5 0 0 0\n",
         "b.track:3: key frame 5 comes before the previous key's 10"},
        {"track 1 linear\n0 0 0 0\n8200 0 0 0\n8201 0 0 0\n",
         "b.track:4: key frame '8201' is not a frame 0..8200"},
        {"0 1 2 3\n", "b.track:1: a key before any 'track' line"},
        {"track 1 linear\n0 1 2\n", "b.track:2: expected a key: '<frame> <x> <y> <z>'"},
        {"track 2 linear\n", "b.track:1: track 2 is already defined at a.track:1"},
        {many, "b.track:66: more than 64 keys in one track"},
    };
    for (const Case& c : cases) {
        TrackSource t = tracks;
        std::vector<SourceError> e;
        EXPECT_FALSE(ParseTrackSource(c.text, "b.track", t, e)) << c.text;
        ASSERT_FALSE(e.empty());
        EXPECT_EQ(FormatSourceError(e[0]), c.error);
    }
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(SceneCompile, EmbeddedDataIsExactlyWhatTheSourcesCompileTo) {
    std::vector<SourceFile> scenes, tracks;
    const std::filesystem::path data = std::filesystem::path(QUIXO_SOURCE_DIR) / "data";
    for (const auto& entry : std::filesystem::directory_iterator(data / "scenes")) {
        if (entry.path().extension() == ".scene") {
            scenes.push_back({entry.path().string(), ReadText(entry.path())});
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(data / "tracks")) {
        if (entry.path().extension() == ".track") {
            tracks.push_back({entry.path().string(), ReadText(entry.path())});
        }
    }
    CompiledScenes out;
    std::vector<SourceError> errors;
    ASSERT_TRUE(CompileSceneSources(scenes, tracks, out, errors)) << FormatSourceError(errors[0]);
    ASSERT_EQ(out.scenes.size(), 10u * 18432 + 80);
    ASSERT_EQ(out.tracks.size(), 66048u);
    EXPECT_EQ(std::memcmp(out.scenes.data(), StoredScenes(), out.scenes.size()), 0);
    EXPECT_EQ(std::memcmp(out.tracks.data(), StoredCurveTracks(), out.tracks.size()), 0);
    for (int s = 0; s < kSceneCount; ++s) {
        EXPECT_EQ(StoredSceneTable()[s].sceneRef, static_cast<std::uint32_t>(s));
    }
}

}  // namespace
}  // namespace quixo
