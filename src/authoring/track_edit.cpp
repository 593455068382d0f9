#include "authoring/track_edit.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace quixo {

namespace {

// A key while an edit is made: the frame wide enough to hold a frame out of range, so that the
// limits can refuse it instead of it wrapping.
struct Key {
    std::int64_t frame;
    float x, y, z;
};
using Keys = std::vector<Key>;

Keys KeysOf(const CurveTrack& track) {
    Keys keys;
    const std::uint32_t n = std::min<std::uint32_t>(track.keyCount, kCurveKeysPerTrack);
    for (std::uint32_t i = 0; i < n; ++i) {
        const CurveKey& k = track.keys[i];
        keys.push_back({k.frame, k.x, k.y, k.z});
    }
    return keys;
}

Key MakeKey(std::int64_t frame, Float3 v) {
    return {frame, v.x, v.y, v.z};
}

// A track of the given kind holding the keys, every unused entry zero (as the source compiler
// leaves them), or the limit the keys break.
std::optional<std::string> BuildTrack(std::uint32_t kind, const Keys& keys, CurveTrack& out) {
    if (keys.size() > static_cast<std::size_t>(kCurveKeysPerTrack))
        return "a track holds at most 64 keys";
    for (const Key& k : keys) {
        if (k.frame < 0 || k.frame > kMaxKeyFrame) {
            return "key frame " + std::to_string(k.frame) + " is outside 0.." +
                   std::to_string(kMaxKeyFrame);
        }
    }
    out = CurveTrack{};
    out.kind = kind;
    out.keyCount = static_cast<std::uint32_t>(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        out.keys[i] = {static_cast<std::uint32_t>(keys[i].frame), keys[i].x, keys[i].y, keys[i].z};
    }
    return TrackLimitFault(out);
}

bool SameTrack(const CurveTrack& a, const CurveTrack& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

struct Change {
    int track;
    CurveTrack next;
};

// Records and applies the changes that alter a track; an edit that alters none leaves no step.
EditResult Commit(TrackEditSession& s, const std::string& name,
                  const std::vector<Change>& changes) {
    TrackStep step{name, {}, {}, {}};
    for (const Change& c : changes) {
        if (SameTrack(s.table[c.track], c.next)) continue;
        step.tracks.push_back(c.track);
        step.before.push_back(s.table[c.track]);
        step.after.push_back(c.next);
    }
    if (step.tracks.empty()) return {true, name + ": nothing to change"};
    for (std::size_t i = 0; i < step.tracks.size(); ++i) s.table[step.tracks[i]] = step.after[i];
    s.steps.resize(s.done);
    s.steps.push_back(std::move(step));
    s.done = s.steps.size();
    return {true, name};
}

EditResult Refuse(int track, const std::string& why) {
    return {false, "track " + std::to_string(track) + ": " + why};
}

// Builds the next state of one track from its keys and commits it, or refuses the edit.
EditResult CommitKeys(TrackEditSession& s, const std::string& name, int track, std::uint32_t kind,
                      const Keys& keys) {
    CurveTrack next;
    if (const auto fault = BuildTrack(kind, keys, next)) return Refuse(track, *fault);
    return Commit(s, "track " + std::to_string(track) + ": " + name, {{track, next}});
}

bool ValidTrack(int track) {
    return track >= 0 && track < kCurveTrackCount;
}

double KeyRowPosition(const EditGrid& g, int track, std::int64_t frame) {
    return TrackFrameToRowPosition(*g.grid, g.times[track], static_cast<double>(frame));
}

bool InRows(std::int64_t row, int first, int count) {
    return row >= first && row < std::int64_t{first} + count;
}

// A new frame for some keys of each track of a block: `remap` answers the key's new frame, or
// nothing to keep it where it is (and it may drop the key by setting `drop`). The keys keep
// their order, and keys on different frames stay on different frames.
template <typename Remap>
EditResult RemapBlock(TrackEditSession& s, const RowBlock& block, const std::string& name,
                      Remap remap) {
    std::vector<Change> changes;
    for (const int track : block.tracks) {
        if (!ValidTrack(track)) return Refuse(track, "no such track");
        const Keys keys = KeysOf(s.table[track]);
        Keys next;
        std::vector<std::int64_t> was;  // each kept key's frame before the edit
        for (const Key& k : keys) {
            bool drop = false;
            const std::optional<std::int64_t> to = remap(track, k.frame, drop);
            if (drop) continue;
            next.push_back(k);
            if (to) next.back().frame = *to;
            was.push_back(k.frame);
        }
        for (std::size_t i = 1; i < next.size(); ++i) {
            const bool apart = was[i] != was[i - 1];
            if (next[i].frame < next[i - 1].frame ||
                (apart && next[i].frame == next[i - 1].frame)) {
                return Refuse(
                    track, "the keys at frames " + std::to_string(was[i - 1]) + " and " +
                               std::to_string(was[i]) + " would " +
                               (next[i].frame == next[i - 1].frame ? "meet on frame "
                                                                   : "pass each other at frame ") +
                               std::to_string(next[i].frame));
            }
        }
        CurveTrack built;
        if (const auto fault = BuildTrack(s.table[track].kind, next, built))
            return Refuse(track, *fault);
        changes.push_back({track, built});
    }
    return Commit(s, name, changes);
}

EditResult ApplyStep(TrackEditSession& s, const TrackStep& step, bool forward) {
    const std::vector<CurveTrack>& states = forward ? step.after : step.before;
    for (std::size_t i = 0; i < step.tracks.size(); ++i) s.table[step.tracks[i]] = states[i];
    return {true, (forward ? "redid " : "undid ") + step.name};
}

}  // namespace

std::optional<std::string> TrackLimitFault(const CurveTrack& track) {
    if (track.kind > 1)
        return "kind " + std::to_string(track.kind) + " is not linear or catmull_rom";
    if (track.keyCount > static_cast<std::uint32_t>(kCurveKeysPerTrack))
        return "a track holds at most 64 keys";
    for (std::uint32_t i = 0; i < track.keyCount; ++i) {
        const CurveKey& k = track.keys[i];
        if (k.frame > kMaxKeyFrame) {
            return "key frame " + std::to_string(k.frame) + " is outside 0.." +
                   std::to_string(kMaxKeyFrame);
        }
        if (!std::isfinite(k.x) || !std::isfinite(k.y) || !std::isfinite(k.z))
            return "key values must be finite numbers";
        if (i == 0) continue;
        if (k.frame < track.keys[i - 1].frame) {
            return "key frame " + std::to_string(k.frame) + " comes before the previous key's " +
                   std::to_string(track.keys[i - 1].frame);
        }
        if (i >= 2 && k.frame == track.keys[i - 2].frame) {
            return "a third key on frame " + std::to_string(k.frame) +
                   ": two keys on one frame make a jump, a third would never be seen";
        }
    }
    return std::nullopt;
}

EditResult SetKey(TrackEditSession& s, int track, std::int64_t frame, Float3 value) {
    if (!ValidTrack(track)) return Refuse(track, "no such track");
    Keys keys = KeysOf(s.table[track]);
    // The later of the keys on this frame, if any: the value the track holds from the frame on.
    const auto after = std::upper_bound(keys.begin(), keys.end(), frame,
                                        [](std::int64_t f, const Key& k) { return f < k.frame; });
    if (after != keys.begin() && std::prev(after)->frame == frame) {
        *std::prev(after) = MakeKey(frame, value);
    } else {
        keys.insert(after, MakeKey(frame, value));
    }
    return CommitKeys(s, "set key at " + std::to_string(frame), track, s.table[track].kind, keys);
}

EditResult AddKey(TrackEditSession& s, int track, std::int64_t frame, Float3 value) {
    if (!ValidTrack(track)) return Refuse(track, "no such track");
    Keys keys = KeysOf(s.table[track]);
    const auto after = std::upper_bound(keys.begin(), keys.end(), frame,
                                        [](std::int64_t f, const Key& k) { return f < k.frame; });
    const bool jump = after != keys.begin() && std::prev(after)->frame == frame;
    keys.insert(after, MakeKey(frame, value));
    return CommitKeys(s, (jump ? "jump at " : "key at ") + std::to_string(frame), track,
                      s.table[track].kind, keys);
}

EditResult SetKeyValue(TrackEditSession& s, int track, int index, Float3 value) {
    if (!ValidTrack(track)) return Refuse(track, "no such track");
    Keys keys = KeysOf(s.table[track]);
    if (index < 0 || index >= static_cast<int>(keys.size())) return Refuse(track, "no such key");
    keys[index] = MakeKey(keys[index].frame, value);
    return CommitKeys(s, "value at " + std::to_string(keys[index].frame), track,
                      s.table[track].kind, keys);
}

EditResult DeleteKey(TrackEditSession& s, int track, int index) {
    if (!ValidTrack(track)) return Refuse(track, "no such track");
    Keys keys = KeysOf(s.table[track]);
    if (index < 0 || index >= static_cast<int>(keys.size())) return Refuse(track, "no such key");
    const std::int64_t frame = keys[index].frame;
    keys.erase(keys.begin() + index);
    return CommitKeys(s, "delete key at " + std::to_string(frame), track, s.table[track].kind,
                      keys);
}

EditResult SetKind(TrackEditSession& s, int track, std::uint32_t kind) {
    if (!ValidTrack(track)) return Refuse(track, "no such track");
    return CommitKeys(s, kind == 1 ? "catmull_rom" : "linear", track, kind, KeysOf(s.table[track]));
}

EditResult DeleteBlock(TrackEditSession& s, const EditGrid& g, const RowBlock& block) {
    return RemapBlock(
        s, block, "delete keys",
        [&](int track, std::int64_t frame, bool& drop) -> std::optional<std::int64_t> {
            drop = InRows(KeyRow(g, track, frame), block.firstRow, block.rowCount);
            return std::nullopt;
        });
}

EditResult MoveBlockRows(TrackEditSession& s, const EditGrid& g, const RowBlock& block, int rows) {
    return RemapBlock(s, block, "move keys " + std::to_string(rows) + " rows",
                      [&](int track, std::int64_t frame, bool&) -> std::optional<std::int64_t> {
                          if (!InRows(KeyRow(g, track, frame), block.firstRow, block.rowCount))
                              return std::nullopt;
                          return RowPositionToTrackFrame(*g.grid, g.times[track],
                                                         KeyRowPosition(g, track, frame) + rows);
                      });
}

EditResult MoveBlockFrames(TrackEditSession& s, const EditGrid& g, const RowBlock& block,
                           int frames) {
    return RemapBlock(s, block, "move keys " + std::to_string(frames) + " frames",
                      [&](int track, std::int64_t frame, bool&) -> std::optional<std::int64_t> {
                          if (!InRows(KeyRow(g, track, frame), block.firstRow, block.rowCount))
                              return std::nullopt;
                          return frame + frames;
                      });
}

EditResult QuantiseBlock(TrackEditSession& s, const EditGrid& g, const RowBlock& block) {
    return RemapBlock(s, block, "quantise keys",
                      [&](int track, std::int64_t frame, bool&) -> std::optional<std::int64_t> {
                          if (!InRows(KeyRow(g, track, frame), block.firstRow, block.rowCount))
                              return std::nullopt;
                          const double nearest = std::floor(KeyRowPosition(g, track, frame) + 0.5);
                          return RowPositionToTrackFrame(*g.grid, g.times[track], nearest);
                      });
}

EditResult InsertRows(TrackEditSession& s, const EditGrid& g, const RowBlock& block) {
    return RemapBlock(s, block, "insert " + std::to_string(block.rowCount) + " rows",
                      [&](int track, std::int64_t frame, bool&) -> std::optional<std::int64_t> {
                          if (KeyRow(g, track, frame) < block.firstRow) return std::nullopt;
                          return RowPositionToTrackFrame(
                              *g.grid, g.times[track],
                              KeyRowPosition(g, track, frame) + block.rowCount);
                      });
}

EditResult DeleteRows(TrackEditSession& s, const EditGrid& g, const RowBlock& block) {
    return RemapBlock(
        s, block, "delete " + std::to_string(block.rowCount) + " rows",
        [&](int track, std::int64_t frame, bool& drop) -> std::optional<std::int64_t> {
            const std::int64_t row = KeyRow(g, track, frame);
            if (row < block.firstRow) return std::nullopt;
            drop = InRows(row, block.firstRow, block.rowCount);
            return RowPositionToTrackFrame(*g.grid, g.times[track],
                                           KeyRowPosition(g, track, frame) - block.rowCount);
        });
}

KeyClipboard CopyBlock(const CurveTrack* table, const EditGrid& g, const RowBlock& block) {
    KeyClipboard clip;
    clip.rowCount = block.rowCount;
    for (const int track : block.tracks) {
        std::vector<ClipKey>& column = clip.columns.emplace_back();
        if (!ValidTrack(track)) continue;
        for (const Key& k : KeysOf(table[track])) {
            if (!InRows(KeyRow(g, track, k.frame), block.firstRow, block.rowCount)) continue;
            column.push_back({KeyRowPosition(g, track, k.frame) - block.firstRow, k.x, k.y, k.z});
        }
    }
    return clip;
}

EditResult PasteBlock(TrackEditSession& s, const EditGrid& g, const KeyClipboard& clip,
                      const std::vector<int>& tracks, int row) {
    if (clip.columns.empty()) return {false, "nothing copied"};
    std::vector<Change> changes;
    for (std::size_t c = 0; c < clip.columns.size() && c < tracks.size(); ++c) {
        const int track = tracks[c];
        if (!ValidTrack(track)) return Refuse(track, "no such track");
        Keys next;
        for (const Key& k : KeysOf(s.table[track])) {
            if (!InRows(KeyRow(g, track, k.frame), row, clip.rowCount)) next.push_back(k);
        }
        for (const ClipKey& k : clip.columns[c]) {
            const std::int64_t frame =
                RowPositionToTrackFrame(*g.grid, g.times[track], row + k.rowOffset);
            next.push_back({frame, k.x, k.y, k.z});
        }
        // The pasted keys come in order and fill the rows the kept ones left empty.
        std::stable_sort(next.begin(), next.end(),
                         [](const Key& a, const Key& b) { return a.frame < b.frame; });
        CurveTrack built;
        if (const auto fault = BuildTrack(s.table[track].kind, next, built))
            return Refuse(track, *fault);
        changes.push_back({track, built});
    }
    return Commit(s, "paste", changes);
}

EditResult ReplaceTracks(TrackEditSession& s, const std::string& name, const CurveTrack* tracks) {
    std::vector<Change> changes;
    for (int t = 0; t < kCurveTrackCount; ++t) changes.push_back({t, tracks[t]});
    return Commit(s, name, changes);
}

EditResult Undo(TrackEditSession& s) {
    if (s.done == 0) return {false, "nothing to undo"};
    --s.done;
    return ApplyStep(s, s.steps[s.done], false);
}

EditResult Redo(TrackEditSession& s) {
    if (s.done == s.steps.size()) return {false, "nothing to redo"};
    ++s.done;
    return ApplyStep(s, s.steps[s.done - 1], true);
}

std::vector<int> DifferingTracks(const CurveTrack* a, const CurveTrack* b) {
    std::vector<int> tracks;
    for (int t = 0; t < kCurveTrackCount; ++t) {
        if (!SameTrack(a[t], b[t])) tracks.push_back(t);
    }
    return tracks;
}

std::int64_t KeyRow(const EditGrid& g, int track, std::int64_t frame) {
    // A key a rounding error short of a row's start belongs to that row.
    return static_cast<std::int64_t>(std::floor(KeyRowPosition(g, track, frame) + 1e-9));
}

std::vector<int> KeysInRows(const CurveTrack& track, const EditGrid& g, int trackIndex,
                            int firstRow, int rowCount) {
    std::vector<int> found;
    const Keys keys = KeysOf(track);
    for (std::size_t i = 0; i < keys.size(); ++i) {
        if (InRows(KeyRow(g, trackIndex, keys[i].frame), firstRow, rowCount))
            found.push_back(static_cast<int>(i));
    }
    return found;
}

}  // namespace quixo
