// The track editor's sources: saving edits back into the track files (comments, blank lines and
// track order kept, only changed key lines rewritten, and what the build compiles from them is
// the table that was played), the names and times the scenes give the tracks, and the row grid
// read from a module.
#include "authoring/track_save.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <sstream>

#include "authoring/music_grid.h"
#include "authoring/scene_reload.h"
#include "authoring/scene_source.h"
#include "authoring/track_edit.h"
#include "authoring/track_source.h"
#include "authoring/track_uses.h"
#include "platform/module_decoder.h"
#include "xm_writer.h"

namespace quixo {
namespace {

const char kSource[] =
    "# Tracks for the test. '#' starts a comment.\n"
    "\n"
    "# the camera\n"
    "track 3 linear   # moves\n"
    "0     10 20 30\n"
    "40    100 100 0   # on\n"
    "# the hold\n"
    "40    100 0 0\n"
    "100   5 5 5\n"
    "\n"
    "track 7 catmull_rom\n"
    "0 1 2 3\n"
    "8 4 5 6\n";

// The tracks a source defines.
std::unique_ptr<TrackSource> Parse(const std::vector<SourceFile>& files) {
    auto parsed = std::make_unique<TrackSource>();
    std::vector<SourceError> errors;
    for (const SourceFile& f : files)
        EXPECT_TRUE(ParseTrackSource(f.text, f.name, *parsed, errors));
    return parsed;
}

struct SaveCase {
    const char* name;
    std::function<void(CurveTrack*)> edit;
    const char* expected;  // the file after saving
};

const SaveCase kSaveCases[] = {
    {"nothing changed", [](CurveTrack*) {}, kSource},
    {"a changed value keeps its line's comment", [](CurveTrack* t) { t[3].keys[1].x = 50; },
     "# Tracks for the test. '#' starts a comment.\n\n# the camera\ntrack 3 linear   # moves\n"
     "0     10 20 30\n40    50 100 0   # on\n# the hold\n40    100 0 0\n100   5 5 5\n\n"
     "track 7 catmull_rom\n0 1 2 3\n8 4 5 6\n"},
    {"an added key goes in frame order and comments stay put",
     [](CurveTrack* t) {
         CurveTrack& c = t[3];
         std::memmove(&c.keys[2], &c.keys[1], 3 * sizeof(CurveKey));
         c.keys[1] = {20, 0.1f, -0.0f, 1e-7f};
         c.keyCount = 5;
     },
     "# Tracks for the test. '#' starts a comment.\n\n# the camera\ntrack 3 linear   # moves\n"
     "0     10 20 30\n20    0.1 -0 1e-07\n40    100 100 0   # on\n# the hold\n40    100 0 0\n"
     "100   5 5 5\n\ntrack 7 catmull_rom\n0 1 2 3\n8 4 5 6\n"},
    {"a deleted key takes its line and its comment with it",
     [](CurveTrack* t) {
         CurveTrack& c = t[3];
         std::memmove(&c.keys[1], &c.keys[2], 2 * sizeof(CurveKey));
         c.keys[3] = {};
         c.keyCount = 3;
     },
     "# Tracks for the test. '#' starts a comment.\n\n# the camera\ntrack 3 linear   # moves\n"
     "0     10 20 30\n40    100 0 0\n# the hold\n100   5 5 5\n\ntrack 7 catmull_rom\n0 1 2 3\n"
     "8 4 5 6\n"},
    {"a kind change rewrites the kind word only", [](CurveTrack* t) { t[3].kind = 1; },
     "# Tracks for the test. '#' starts a comment.\n\n# the camera\ntrack 3 catmull_rom   # moves\n"
     "0     10 20 30\n40    100 100 0   # on\n# the hold\n40    100 0 0\n100   5 5 5\n\n"
     "track 7 catmull_rom\n0 1 2 3\n8 4 5 6\n"},
    {"a key moved in a track of narrow frames", [](CurveTrack* t) { t[7].keys[1].frame = 9; },
     "# Tracks for the test. '#' starts a comment.\n\n# the camera\ntrack 3 linear   # moves\n"
     "0     10 20 30\n40    100 100 0   # on\n# the hold\n40    100 0 0\n100   5 5 5\n\n"
     "track 7 catmull_rom\n0 1 2 3\n9 4 5 6\n"},
    {"a track no file held goes after the nearest below it",
     [](CurveTrack* t) {
         t[5].keyCount = 2;
         t[5].keys[0] = {0, 1, 2, 3};
         t[5].keys[1] = {10, 4, 5, 6};
     },
     "# Tracks for the test. '#' starts a comment.\n\n# the camera\ntrack 3 linear   # moves\n"
     "0     10 20 30\n40    100 100 0   # on\n# the hold\n40    100 0 0\n100   5 5 5\n\n"
     "track 7 catmull_rom\n0 1 2 3\n8 4 5 6\n\ntrack 5 linear\n0     1 2 3\n10    4 5 6\n"},
};

TEST(TrackEditor, SaveKeepsCommentsAsATableOfCases) {
    const std::vector<SourceFile> files{{"a.track", kSource},
                                        {"b.track", "track 9 linear\n0 1 1 1\n"}};
    for (const SaveCase& c : kSaveCases) {
        auto table = Parse(files);
        c.edit(table->tracks);
        std::vector<SourceFile> out;
        std::vector<SourceError> errors;
        ASSERT_TRUE(RewriteTrackSources(files, table->tracks, out, errors))
            << c.name << ": " << (errors.empty() ? "" : FormatSourceError(errors[0]));
        ASSERT_EQ(out.size(), 2u);
        EXPECT_EQ(out[0].text, c.expected) << c.name;
        EXPECT_EQ(out[1].text, files[1].text) << c.name;
    }
    EXPECT_EQ(FormatKeyLine({8200, 16777216.0f, 0.5f, -3}, 4), "8200 16777216 0.5 -3");
}

// The build's own compiler, run on the saved sources, gives exactly the table the editor played.
TEST(TrackEditor, SavedSourcesCompileToThePlayedTable) {
    std::vector<SourceFile> scenes, tracks;
    std::vector<SourceError> errors;
    ASSERT_TRUE(ReadSourceFolder(std::string(QUIXO_SOURCE_DIR) + "/data", scenes, tracks, errors));
    CompiledScenes compiled;
    ASSERT_TRUE(CompileSceneSources(scenes, tracks, compiled, errors));
    CurveTrack table[kCurveTrackCount];
    std::memcpy(table, compiled.tracks.data(), sizeof table);

    TrackEditSession s{table, {}, 0};
    const RowGrid grid = EvenRowGrid(7);
    TrackTime times[kCurveTrackCount] = {};
    const EditGrid g{&grid, times};
    EXPECT_TRUE(SetKey(s, 9, 100, {1.5f, -2, 3}).ok);
    EXPECT_TRUE(AddKey(s, 6, 190, {7, 7, 7}).ok);
    EXPECT_TRUE(SetKind(s, 0, 0).ok);
    EXPECT_TRUE(DeleteKey(s, 7, 3).ok);
    EXPECT_TRUE(QuantiseBlock(s, g, RowBlock{{12}, 1, 100}).ok);
    EXPECT_TRUE(SetKey(s, 60, 0, {1, 2, 3}).ok);
    EXPECT_TRUE(InsertRows(s, g, RowBlock{{61, 22}, 3, 2}).ok);

    std::vector<SourceFile> saved;
    ASSERT_TRUE(RewriteTrackSources(tracks, table, saved, errors))
        << FormatSourceError(errors.front());
    CompiledScenes rebuilt;
    ASSERT_TRUE(CompileSceneSources(scenes, saved, rebuilt, errors))
        << FormatSourceError(errors.front());
    ASSERT_EQ(rebuilt.tracks.size(), sizeof table);
    EXPECT_EQ(std::memcmp(rebuilt.tracks.data(), table, sizeof table), 0);

    // Every comment and blank line of every file is still there, in its order.
    for (std::size_t f = 0; f < tracks.size(); ++f) {
        std::istringstream was(tracks[f].text), now(saved[f].text);
        std::string line, found;
        while (std::getline(was, line)) {
            if (!line.empty() && line[0] != '#') continue;
            do {
                ASSERT_TRUE(std::getline(now, found)) << tracks[f].name << " lost: " << line;
            } while (found != line);
        }
    }
}

std::vector<SceneSource> ParseDataScenes() {
    std::vector<SourceFile> scenes, tracks;
    std::vector<SourceError> errors;
    EXPECT_TRUE(ReadSourceFolder(std::string(QUIXO_SOURCE_DIR) + "/data", scenes, tracks, errors));
    std::vector<SceneSource> parsed(scenes.size());
    for (std::size_t i = 0; i < scenes.size(); ++i)
        EXPECT_TRUE(ParseSceneSource(scenes[i].text, scenes[i].name, parsed[i], errors));
    return parsed;
}

TEST(TrackEditor, TracksAreNamedAndTimedByTheirSamplers) {
    const std::vector<SceneSource> parsed = ParseDataScenes();
    SceneGraphView views[kSceneCount];
    std::int32_t durations[kSceneCount];
    for (const SceneSource& s : parsed) {
        views[s.index] = {s.nodes, &s.names};
        durations[s.index] = s.duration;
    }
    const TrackUses uses = FindTrackUses(views);
    // Scene 2 samples the camera (track 9, "eye") and the waves (track 10) on its own frames.
    const std::vector<int> order = TrackOrder(uses, 2);
    ASSERT_EQ(order.size(), 64u);
    EXPECT_EQ(order[0], 9);
    EXPECT_EQ(order[1], 10);
    EXPECT_EQ(SampledTrackCount(uses, 2), 2);
    EXPECT_EQ(order[2], 0);  // then the rest by number
    EXPECT_EQ(TrackName(uses, 9, 2), "eye");
    EXPECT_EQ(TrackName(uses, 9, 0), "s2 eye");
    const TrackTime time = TrackTimeIn(uses, 9, 2, durations);
    EXPECT_EQ(time.origin, 600);
    EXPECT_EQ(time.scale, 1);
    EXPECT_EQ(TrackName(uses, 63, 2), "");
    EXPECT_EQ(TrackTimeIn(uses, 63, 2, durations).origin, 0);
}

// A module whose speed and tempo change and whose first pattern breaks early: the grid's rows
// are the rows as they play, each as long as they sound.
TEST(TrackEditor, MusicGridFollowsTempoSpeedAndBreaks) {
    using namespace xmgen;
    constexpr std::uint8_t kEffectPatternBreak = 0x0D;  // XM Dxx
    XmModule m;
    m.name = "grid";
    m.channels = 1;
    m.speed = 6;
    m.bpm = 125;
    XmPattern first(8, 1), second(4, 1);
    first.At(2, 0) = {0, 0, 0, kEffectSpeed, 3};
    first.At(4, 0) = {0, 0, 0, kEffectSpeed, 250};
    first.At(5, 0) = {0, 0, 0, kEffectPatternBreak, 0};
    m.patterns = {first, second};
    m.orders = {0, 1};
    RowGrid grid;
    std::string error;
    ASSERT_TRUE(MusicRowGrid(WriteXm(m), grid, &error)) << error;
    // A tick lasts 2.5 s / tempo: rows of 6 ticks at 125, then 3 ticks, then 3 at 250.
    const double starts[] = {0, 0.12, 0.24, 0.30, 0.36, 0.39, 0.42, 0.45, 0.48, 0.51};
    const int orders[] = {0, 0, 0, 0, 0, 0, 1, 1, 1, 1};
    const int rows[] = {0, 1, 2, 3, 4, 5, 0, 1, 2, 3};
    ASSERT_EQ(grid.rows.size(), std::size(starts));
    EXPECT_TRUE(grid.fromMusic);
    for (std::size_t i = 0; i < grid.rows.size(); ++i) {
        const MusicRow& r = grid.rows[i];
        EXPECT_NEAR(r.seconds, starts[i], 16.0 / 48000) << i;
        EXPECT_EQ(r.order, orders[i]) << i;
        EXPECT_EQ(r.pattern, orders[i]) << i;
        EXPECT_EQ(r.row, rows[i]) << i;
        EXPECT_EQ(r.frame, static_cast<std::int32_t>(std::int64_t(r.seconds * 1000) * 100 / 1666))
            << i;
    }
    EXPECT_EQ(grid.rows[1].speed, 6);
    EXPECT_EQ(grid.rows[3].speed, 3);
    EXPECT_EQ(grid.rows[5].tempo, 250);

    // The soundtrack: the row that opens scene 1 starts 0.004 frames before it, so the clock
    // still reads frame 539 there.
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(std::string(QUIXO_SOURCE_DIR) + "/media_tessorin2012/music/music.xm",
                              &bytes, &error));
    ASSERT_TRUE(MusicRowGrid(bytes, grid, &error)) << error;
    const int flash = RowAtFrame(grid, 540);
    EXPECT_EQ(grid.rows[flash].frame, 539);
    EXPECT_EQ(grid.rows[flash].row, 0);
    EXPECT_GT(grid.rows.back().frame, 8200);
}

}  // namespace
}  // namespace quixo
