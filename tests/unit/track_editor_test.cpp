// The track editor's editing model: every edit as a case of one table (what it makes of a
// track, or that it is refused and the track stays as it was), undo and redo, and the row grid
// the row-based edits read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <vector>

#include "authoring/row_grid.h"
#include "authoring/track_edit.h"

namespace quixo {

// Keys compare and print by their fields (the tables below list them).
bool operator==(const CurveKey& a, const CurveKey& b) {
    return a.frame == b.frame && a.x == b.x && a.y == b.y && a.z == b.z;
}

void PrintTo(const CurveKey& k, std::ostream* os) {
    *os << "(" << k.frame << ": " << k.x << " " << k.y << " " << k.z << ")";
}

namespace {

// Rows of 6, 6, 8 and 8 frames over and over: a tempo that changes every two rows. Rows start
// at 0, 6, 12, 20, 28, 34, 40, 48, 56, ...
RowGrid UnevenGrid() {
    RowGrid grid;
    const int lengths[] = {6, 6, 8, 8};
    for (std::int32_t frame = 0, i = 0; frame <= 8300; frame += lengths[i++ % 4]) {
        MusicRow row;
        row.row = i;
        row.frame = frame;
        grid.rows.push_back(row);
    }
    return grid;
}

constexpr int kTrack = 5;

struct Fixture {
    CurveTrack table[kCurveTrackCount] = {};
    TrackEditSession session;
    RowGrid grid = UnevenGrid();
    TrackTime times[kCurveTrackCount] = {};
    EditGrid g{&grid, times};

    explicit Fixture(const std::vector<CurveKey>& keys, std::uint32_t kind = 0) {
        table[kTrack].kind = kind;
        table[kTrack].keyCount = static_cast<std::uint32_t>(keys.size());
        for (std::size_t i = 0; i < keys.size(); ++i) table[kTrack].keys[i] = keys[i];
        session.table = table;
    }
};

std::vector<CurveKey> KeysOf(const CurveTrack& t) {
    return std::vector<CurveKey>(t.keys, t.keys + t.keyCount);
}

RowBlock Rows(int first, int count) {
    return RowBlock{{kTrack}, first, count};
}

// Keys at the given frames, each with x = its frame.
std::vector<CurveKey> At(std::initializer_list<std::uint32_t> frames) {
    std::vector<CurveKey> keys;
    for (const std::uint32_t f : frames) keys.push_back({f, float(f), 0, 0});
    return keys;
}

const std::vector<CurveKey> kBase = At({0, 12, 20, 34});

using Edit = std::function<EditResult(Fixture&)>;

struct EditCase {
    const char* name;
    std::vector<CurveKey> before;
    Edit edit;
    bool ok;
    std::vector<CurveKey> after;  // the track's keys after an accepted edit
    const char* refusal = "";     // part of a refused edit's message
};

std::vector<CurveKey> Full() {
    std::vector<CurveKey> keys;
    for (std::uint32_t i = 0; i < kCurveKeysPerTrack; ++i) keys.push_back({i * 10, 0, 0, 0});
    return keys;
}

std::vector<CurveKey> AllButLast() {
    std::vector<CurveKey> keys = Full();
    keys.pop_back();
    return keys;
}

const float kNan = std::numeric_limits<float>::quiet_NaN();

const EditCase kEditCases[] = {
    {"set a key between keys",
     kBase,
     [](Fixture& f) {
         return SetKey(f.session, kTrack, 6, {1, 2, 3});
     },
     true,
     {{0, 0, 0, 0}, {6, 1, 2, 3}, {12, 12, 0, 0}, {20, 20, 0, 0}, {34, 34, 0, 0}}},
    {"set a key on a keyed frame changes it",
     kBase,
     [](Fixture& f) {
         return SetKey(f.session, kTrack, 12, {1, 2, 3});
     },
     true,
     {{0, 0, 0, 0}, {12, 1, 2, 3}, {20, 20, 0, 0}, {34, 34, 0, 0}}},
    {"set a key on a jump changes its later key",
     {{0, 0, 0, 0}, {10, 1, 0, 0}, {10, 2, 0, 0}, {20, 0, 0, 0}},
     [](Fixture& f) {
         return SetKey(f.session, kTrack, 10, {9, 9, 9});
     },
     true,
     {{0, 0, 0, 0}, {10, 1, 0, 0}, {10, 9, 9, 9}, {20, 0, 0, 0}}},
    {"set a key past the last frame",
     kBase,
     [](Fixture& f) { return SetKey(f.session, kTrack, 8201, {}); },
     false,
     {},
     "8201 is outside 0..8200"},
    {"set a key before frame 0",
     kBase,
     [](Fixture& f) { return SetKey(f.session, kTrack, -1, {}); },
     false,
     {},
     "-1 is outside 0..8200"},
    {"set a key at frame 8200",
     kBase,
     [](Fixture& f) { return SetKey(f.session, kTrack, 8200, {}); },
     true,
     {{0, 0, 0, 0}, {12, 12, 0, 0}, {20, 20, 0, 0}, {34, 34, 0, 0}, {8200, 0, 0, 0}}},
    {"a 65th key",
     Full(),
     [](Fixture& f) { return SetKey(f.session, kTrack, 5, {}); },
     false,
     {},
     "at most 64 keys"},
    {"a 64th key", AllButLast(), [](Fixture& f) { return SetKey(f.session, kTrack, 630, {}); },
     true, Full()},
    {"add a key on a keyed frame makes a jump",
     kBase,
     [](Fixture& f) {
         return AddKey(f.session, kTrack, 12, {1, 1, 1});
     },
     true,
     {{0, 0, 0, 0}, {12, 12, 0, 0}, {12, 1, 1, 1}, {20, 20, 0, 0}, {34, 34, 0, 0}}},
    {"a third key on a jump",
     {{0, 0, 0, 0}, {10, 1, 0, 0}, {10, 2, 0, 0}},
     [](Fixture& f) { return AddKey(f.session, kTrack, 10, {}); },
     false,
     {},
     "a third key on frame 10"},
    {"type a value",
     kBase,
     [](Fixture& f) {
         return SetKeyValue(f.session, kTrack, 1, {-5, 0.25f, 1e6f});
     },
     true,
     {{0, 0, 0, 0}, {12, -5, 0.25f, 1e6f}, {20, 20, 0, 0}, {34, 34, 0, 0}}},
    {"a value that is not a number",
     kBase,
     [](Fixture& f) {
         return SetKeyValue(f.session, kTrack, 1, {kNan, 0, 0});
     },
     false,
     {},
     "finite"},
    {"a key that is not there",
     kBase,
     [](Fixture& f) { return SetKeyValue(f.session, kTrack, 4, {}); },
     false,
     {},
     "no such key"},
    {"delete a key", kBase, [](Fixture& f) { return DeleteKey(f.session, kTrack, 0); }, true,
     At({12, 20, 34})},
    {"delete the keys of rows 2 and 3", kBase,
     [](Fixture& f) { return DeleteBlock(f.session, f.g, Rows(2, 2)); }, true, At({0, 34})},
    {"move a key two rows",
     kBase,
     [](Fixture& f) { return MoveBlockRows(f.session, f.g, Rows(5, 1), 2); },
     true,
     {{0, 0, 0, 0}, {12, 12, 0, 0}, {20, 20, 0, 0}, {48, 34, 0, 0}}},
    {"a key between rows keeps its place in the row",
     At({0, 24}),
     [](Fixture& f) { return MoveBlockRows(f.session, f.g, Rows(3, 1), 1); },
     true,
     {{0, 0, 0, 0}, {31, 24, 0, 0}}},
    {"move a block up past the first frame",
     kBase,
     [](Fixture& f) { return MoveBlockRows(f.session, f.g, Rows(0, 2), -1); },
     false,
     {},
     "-6 is outside 0..8200"},
    {"move a key onto the next",
     kBase,
     [](Fixture& f) { return MoveBlockRows(f.session, f.g, Rows(2, 1), 1); },
     false,
     {},
     "the keys at frames 12 and 20 would meet on frame 20"},
    {"move a key past the next",
     kBase,
     [](Fixture& f) { return MoveBlockFrames(f.session, f.g, Rows(2, 1), 10); },
     false,
     {},
     "would pass each other at frame 20"},
    {"move a key by frames",
     kBase,
     [](Fixture& f) { return MoveBlockFrames(f.session, f.g, Rows(2, 1), 3); },
     true,
     {{0, 0, 0, 0}, {15, 12, 0, 0}, {20, 20, 0, 0}, {34, 34, 0, 0}}},
    {"move a jump keeps it a jump",
     {{0, 0, 0, 0}, {12, 1, 0, 0}, {12, 2, 0, 0}},
     [](Fixture& f) { return MoveBlockFrames(f.session, f.g, Rows(2, 1), 1); },
     true,
     {{0, 0, 0, 0}, {13, 1, 0, 0}, {13, 2, 0, 0}}},
    {"quantise to the nearest rows",
     At({0, 7, 25, 34}),
     [](Fixture& f) { return QuantiseBlock(f.session, f.g, Rows(0, 10)); },
     true,
     {{0, 0, 0, 0}, {6, 7, 0, 0}, {28, 25, 0, 0}, {34, 34, 0, 0}}},
    {"quantise only inside the block",
     At({0, 7, 25}),
     [](Fixture& f) { return QuantiseBlock(f.session, f.g, Rows(3, 1)); },
     true,
     {{0, 0, 0, 0}, {7, 7, 0, 0}, {28, 25, 0, 0}}},
    {"quantise two keys onto one row",
     At({0, 11, 13}),
     [](Fixture& f) { return QuantiseBlock(f.session, f.g, Rows(0, 10)); },
     false,
     {},
     "the keys at frames 11 and 13 would meet on frame 12"},
    {"insert a row",
     kBase,
     [](Fixture& f) { return InsertRows(f.session, f.g, Rows(2, 1)); },
     true,
     {{0, 0, 0, 0}, {20, 12, 0, 0}, {28, 20, 0, 0}, {40, 34, 0, 0}}},
    {"insert rows past the last frame",
     At({0, 8200}),
     [](Fixture& f) { return InsertRows(f.session, f.g, Rows(1, 1)); },
     false,
     {},
     "outside 0..8200"},
    {"delete a row",
     kBase,
     [](Fixture& f) { return DeleteRows(f.session, f.g, Rows(2, 1)); },
     true,
     {{0, 0, 0, 0}, {12, 20, 0, 0}, {28, 34, 0, 0}}},
    {"paste a block further down",
     kBase,
     [](Fixture& f) {
         const KeyClipboard clip = CopyBlock(f.table, f.g, Rows(2, 2));
         return PasteBlock(f.session, f.g, clip, {kTrack}, 7);
     },
     true,
     {{0, 0, 0, 0},
      {12, 12, 0, 0},
      {20, 20, 0, 0},
      {34, 34, 0, 0},
      {48, 12, 0, 0},
      {56, 20, 0, 0}}},
    {"paste over keys replaces them",
     kBase,
     [](Fixture& f) {
         const KeyClipboard clip = CopyBlock(f.table, f.g, Rows(0, 2));
         return PasteBlock(f.session, f.g, clip, {kTrack}, 2);
     },
     true,
     {{0, 0, 0, 0}, {12, 0, 0, 0}, {34, 34, 0, 0}}},
    {"paste past the 64th key",
     Full(),
     [](Fixture& f) {
         const KeyClipboard clip = CopyBlock(f.table, f.g, Rows(0, 1));
         return PasteBlock(f.session, f.g, clip, {kTrack}, 1000);
     },
     false,
     {},
     "at most 64 keys"},
};

TEST(TrackEditor, EveryEditAsATableOfCases) {
    for (const EditCase& c : kEditCases) {
        Fixture f(c.before);
        const CurveTrack was = f.table[kTrack];
        const EditResult result = c.edit(f);
        EXPECT_EQ(result.ok, c.ok) << c.name << ": " << result.message;
        if (c.ok) {
            EXPECT_EQ(KeysOf(f.table[kTrack]), c.after) << c.name;
            EXPECT_EQ(f.session.steps.size(), 1u) << c.name;
            // Entries past the key count stay zero, as the source compiler leaves them.
            for (std::uint32_t k = f.table[kTrack].keyCount; k < kCurveKeysPerTrack; ++k)
                EXPECT_EQ(f.table[kTrack].keys[k], (CurveKey{0, 0, 0, 0})) << c.name << " " << k;
        } else {
            EXPECT_NE(result.message.find(c.refusal), std::string::npos)
                << c.name << ": " << result.message;
            EXPECT_EQ(std::memcmp(&was, &f.table[kTrack], sizeof was), 0) << c.name;
            EXPECT_TRUE(f.session.steps.empty()) << c.name;
        }
    }
}

TEST(TrackEditor, KindChangesAndOnlyRealChangesAreSteps) {
    Fixture f(kBase);
    EXPECT_TRUE(SetKind(f.session, kTrack, 1).ok);
    EXPECT_EQ(f.table[kTrack].kind, 1u);
    EXPECT_EQ(KeysOf(f.table[kTrack]), kBase);
    EXPECT_FALSE(SetKind(f.session, kTrack, 2).ok);
    EXPECT_EQ(f.table[kTrack].kind, 1u);
    // Already on rows: quantising changes nothing and leaves no step to undo.
    EXPECT_TRUE(QuantiseBlock(f.session, f.g, Rows(0, 10)).ok);
    EXPECT_EQ(f.session.steps.size(), 1u);
}

// The keys of a track sampled on scene time sit at the rows where the show reaches them.
TEST(TrackEditor, RowEditsReadEachTrackOnItsOwnTime) {
    Fixture f(At({0, 8}));
    f.times[kTrack] = {600, 1};  // scene frames of a scene starting at show frame 600
    const int row600 = RowAtFrame(f.grid, 600);
    EXPECT_EQ(KeysInRows(f.table[kTrack], f.g, kTrack, row600, 1), (std::vector<int>{0}));
    EXPECT_TRUE(InsertRows(f.session, f.g, RowBlock{{kTrack}, row600, 1}).ok);
    const int length = RowFrame(f.grid, row600 + 1) - RowFrame(f.grid, row600);
    EXPECT_EQ(f.table[kTrack].keys[0].frame, static_cast<std::uint32_t>(length));
}

struct HistoryCase {
    const char* name;
    std::vector<std::function<EditResult(Fixture&)>> steps;
    std::vector<CurveKey> after;
    std::size_t stepCount;  // steps kept (done and undone)
    std::size_t done;
};

const HistoryCase kHistoryCases[] = {
    {"undo two edits",
     {[](Fixture& f) { return SetKey(f.session, kTrack, 6, {}); },
      [](Fixture& f) { return DeleteKey(f.session, kTrack, 0); },
      [](Fixture& f) { return Undo(f.session); }, [](Fixture& f) { return Undo(f.session); }},
     kBase,
     2,
     0},
    {"redo after undo",
     {[](Fixture& f) { return SetKey(f.session, kTrack, 6, {}); },
      [](Fixture& f) { return Undo(f.session); }, [](Fixture& f) { return Redo(f.session); }},
     {{0, 0, 0, 0}, {6, 0, 0, 0}, {12, 12, 0, 0}, {20, 20, 0, 0}, {34, 34, 0, 0}},
     1,
     1},
    {"a new edit drops what could be redone",
     {[](Fixture& f) { return SetKey(f.session, kTrack, 6, {}); },
      [](Fixture& f) { return Undo(f.session); },
      [](Fixture& f) { return DeleteKey(f.session, kTrack, 3); }},
     At({0, 12, 20}),
     1,
     1},
    {"a refused edit leaves no step",
     {[](Fixture& f) { return SetKey(f.session, kTrack, 9000, {}); }},
     kBase,
     0,
     0},
    {"undo a reload",
     {[](Fixture& f) {
          CurveTrack next[kCurveTrackCount] = {};
          return ReplaceTracks(f.session, "reload", next);
      },
      [](Fixture& f) { return Undo(f.session); }},
     kBase,
     1,
     0},
};

TEST(TrackEditor, UndoAndRedoAsATableOfCases) {
    for (const HistoryCase& c : kHistoryCases) {
        Fixture f(kBase);
        for (const auto& step : c.steps) step(f);
        EXPECT_EQ(KeysOf(f.table[kTrack]), c.after) << c.name;
        EXPECT_EQ(f.session.steps.size(), c.stepCount) << c.name;
        EXPECT_EQ(f.session.done, c.done) << c.name;
    }
    Fixture f(kBase);
    EXPECT_FALSE(Undo(f.session).ok);
    EXPECT_FALSE(Redo(f.session).ok);
    // As far back as the session goes: a thousand edits, all undone.
    for (int i = 0; i < 1000; ++i) SetKeyValue(f.session, kTrack, 1, {float(i), 0, 0});
    while (Undo(f.session).ok) {
    }
    EXPECT_EQ(KeysOf(f.table[kTrack]), kBase);
}

struct GridCase {
    double frame;
    double position;
};

TEST(TrackEditor, RowGridPositionsAsATableOfCases) {
    const RowGrid grid = UnevenGrid();
    const GridCase cases[] = {
        {0, 0}, {3, 0.5}, {12, 2}, {16, 2.5}, {26, 3.75}, {-6, -1}, {-3, -0.5},
    };
    for (const GridCase& c : cases) {
        EXPECT_DOUBLE_EQ(FrameToRowPosition(grid, c.frame), c.position) << c.frame;
        EXPECT_DOUBLE_EQ(RowPositionToFrame(grid, c.position), c.frame) << c.position;
    }
    const int last = static_cast<int>(grid.rows.size()) - 1;
    const double lastLength = grid.rows[last].frame - grid.rows[last - 1].frame;
    EXPECT_DOUBLE_EQ(FrameToRowPosition(grid, grid.rows[last].frame + lastLength), last + 1);
    EXPECT_EQ(RowFrame(grid, last + 2), grid.rows[last].frame + 2 * lastLength);
    EXPECT_EQ(RowAtFrame(grid, 19), 2);
    EXPECT_EQ(RowAtFrame(grid, 20), 3);
    EXPECT_EQ(RowAtFrame(grid, -5), 0);
    const TrackTime half{100, 0.5};
    EXPECT_DOUBLE_EQ(TrackFrameAt(half, 140), 20);
    EXPECT_DOUBLE_EQ(ShowFrameAt(half, 20), 140);
    const RowGrid even = EvenRowGrid(6);
    EXPECT_EQ(even.rows.back().frame, 8196);
    EXPECT_FALSE(even.fromMusic);
}

}  // namespace
}  // namespace quixo
