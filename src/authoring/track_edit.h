#pragma once
// Editing the curve tracks while the show plays. Every edit works on the table the sampler
// reads, in place, so the next frame drawn shows it; it is checked against the stored format's
// limits first (at most 64 keys, frames 0..8200 in non-decreasing order, at most two keys on
// one frame, where they make a jump) and refused whole, with a message, when it would break
// one; and it is recorded with the tracks before and after, so that it can be undone and
// redone as far back as the session goes.
//
// Keys are addressed in track frames, the frames the sampler is handed. Edits that work in rows
// (blocks, moves by rows, quantising, inserting and deleting rows) see each track on the music's
// grid through that track's time (row_grid.h).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "authoring/row_grid.h"
#include "core/curve_track.h"
#include "core/float3.h"

namespace quixo {

// One edit: the tracks it changed, as they were and as they became.
struct TrackStep {
    std::string name;
    std::vector<int> tracks;
    std::vector<CurveTrack> before;
    std::vector<CurveTrack> after;
};

struct TrackEditSession {
    CurveTrack* table = nullptr;  // the working table, kCurveTrackCount tracks
    std::vector<TrackStep> steps;
    std::size_t done = 0;  // steps[0, done) are applied; the rest can be redone
};

// What an edit did, for the editor's panel: refused edits leave every track as it was.
struct EditResult {
    bool ok;
    std::string message;
};

// The grid the row-based edits read, and each track's time on it (kCurveTrackCount entries).
struct EditGrid {
    const RowGrid* grid;
    const TrackTime* times;
};

// Rows [firstRow, firstRow + rowCount) of some tracks. A key belongs to the row it lies in,
// also when it lies between two rows' frames.
struct RowBlock {
    std::vector<int> tracks;
    int firstRow = 0;
    int rowCount = 1;
};

// Keys copied out of a block: per column, each key's place in rows from the block's first row.
struct ClipKey {
    double rowOffset;
    float x, y, z;
};
struct KeyClipboard {
    int rowCount = 0;
    std::vector<std::vector<ClipKey>> columns;
};

// The first limit the track breaks, or nothing.
std::optional<std::string> TrackLimitFault(const CurveTrack& track);

// The key at `frame` on track `track` gets this value: a new key when there is none, else the
// one there (the later of a jump, the value the track holds from that frame on).
EditResult SetKey(TrackEditSession& s, int track, std::int64_t frame, Float3 value);
// A key after any on that frame: on a keyed frame it makes a jump.
EditResult AddKey(TrackEditSession& s, int track, std::int64_t frame, Float3 value);
// Key `index` of a track gets a new value (typed or nudged).
EditResult SetKeyValue(TrackEditSession& s, int track, int index, Float3 value);
EditResult DeleteKey(TrackEditSession& s, int track, int index);
// 0 linear, 1 catmull_rom.
EditResult SetKind(TrackEditSession& s, int track, std::uint32_t kind);

// The keys inside a block: deleted, moved by whole rows (each keeping its place within its row)
// or by frames, or quantised to the start of the nearest row. Moves and quantising keep the keys'
// order: an edit that would carry a key past another, or put two keys of different frames on
// one, is refused.
EditResult DeleteBlock(TrackEditSession& s, const EditGrid& g, const RowBlock& block);
EditResult MoveBlockRows(TrackEditSession& s, const EditGrid& g, const RowBlock& block, int rows);
EditResult MoveBlockFrames(TrackEditSession& s, const EditGrid& g, const RowBlock& block,
                           int frames);
EditResult QuantiseBlock(TrackEditSession& s, const EditGrid& g, const RowBlock& block);

// Inserts block.rowCount empty rows at block.firstRow on the block's tracks, moving every key
// from there on later by as many rows; deleting removes the keys of those rows and moves the
// later ones up.
EditResult InsertRows(TrackEditSession& s, const EditGrid& g, const RowBlock& block);
EditResult DeleteRows(TrackEditSession& s, const EditGrid& g, const RowBlock& block);

KeyClipboard CopyBlock(const CurveTrack* table, const EditGrid& g, const RowBlock& block);
// Column c of the clipboard onto tracks[c] from row `row` on: the keys of the rows it covers
// are replaced.
EditResult PasteBlock(TrackEditSession& s, const EditGrid& g, const KeyClipboard& clip,
                      const std::vector<int>& tracks, int row);

// Any set of tracks (a reload of the sources) as one step that can be undone.
EditResult ReplaceTracks(TrackEditSession& s, const std::string& name, const CurveTrack* tracks);

EditResult Undo(TrackEditSession& s);
EditResult Redo(TrackEditSession& s);

// The tracks whose records differ between two tables (kind, key count or any key bit).
std::vector<int> DifferingTracks(const CurveTrack* a, const CurveTrack* b);

// The row a key of a track lies in (a key between rows' frames lies in the earlier row).
std::int64_t KeyRow(const EditGrid& g, int track, std::int64_t frame);

// The indices of a track's keys that lie in rows [firstRow, firstRow + rowCount).
std::vector<int> KeysInRows(const CurveTrack& track, const EditGrid& g, int trackIndex,
                            int firstRow, int rowCount);

}  // namespace quixo
