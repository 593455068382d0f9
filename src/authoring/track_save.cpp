#include "authoring/track_save.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>
#include <optional>

#include "authoring/source_text.h"
#include "authoring/track_edit.h"
#include "authoring/track_source.h"

namespace quixo {

namespace {

constexpr int kDefaultFrameWidth = 6;

// One line of a track file: its words (code before any '#') and what the code holds.
struct TrackLine {
    std::string text;
    std::vector<std::string> words;
    std::vector<std::size_t> wordAt;  // where each word starts in text
    int track = -1;                   // the track a header line starts
    bool key = false;                 // a key line of the track above it
};

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            return lines;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
}

std::vector<TrackLine> ReadLines(const std::string& text) {
    std::vector<TrackLine> lines;
    bool inTrack = false;
    for (std::string& raw : SplitLines(text)) {
        TrackLine& line = lines.emplace_back();
        line.text = std::move(raw);
        const std::vector<SourceLine> split = SplitSource(line.text);
        if (split.empty()) continue;
        for (const std::string_view word : split[0].words) {
            line.words.emplace_back(word);
            line.wordAt.push_back(static_cast<std::size_t>(word.data() - line.text.data()));
        }
        if (line.words[0] == "track") {
            const auto number = line.words.size() == 3
                                    ? ParseIntWord(line.words[1], 0, kCurveTrackCount - 1)
                                    : std::nullopt;
            line.track = number ? static_cast<int>(*number) : -1;
            inTrack = true;
        } else {
            line.key = inTrack;
        }
    }
    return lines;
}

std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += '\n';
        text += lines[i];
    }
    return text;
}

// The column where a key line's second word starts: how wide its author made the frame.
int FrameWidth(const TrackLine& line) {
    return line.words.size() >= 2 ? static_cast<int>(line.wordAt[1]) : kDefaultFrameWidth;
}

// The end of a line from the whitespace before its '#', or "".
std::string TrailingComment(const std::string& text) {
    const std::size_t hash = text.find('#');
    if (hash == std::string::npos) return "";
    std::size_t start = hash;
    while (start > 0 && (text[start - 1] == ' ' || text[start - 1] == '\t')) --start;
    return text.substr(start);
}

std::string FloatWord(float v) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
    return std::string(buffer, result.ptr);
}

const char* KindWord(std::uint32_t kind) {
    return kind == 1 ? "catmull_rom" : "linear";
}

// A key's place: its frame and whether it is the first or second key on that frame.
struct KeyPlace {
    std::uint32_t frame;
    int rank;
    bool operator==(const KeyPlace& o) const { return frame == o.frame && rank == o.rank; }
    bool operator<=(const KeyPlace& o) const {
        return frame < o.frame || (frame == o.frame && rank <= o.rank);
    }
};

std::vector<KeyPlace> Places(const std::vector<CurveKey>& keys) {
    std::vector<KeyPlace> places;
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const int rank = i > 0 && keys[i - 1].frame == keys[i].frame ? places.back().rank + 1 : 0;
        places.push_back({keys[i].frame, rank});
    }
    return places;
}

bool SameKey(const CurveKey& a, const CurveKey& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// A key line of a track's block as it was loaded.
struct OldKey {
    CurveKey key;
    std::string text;
};

// Rewrites the block of `track` that starts at header line `h` and runs to its last key line.
// Lines that hold no key keep their place after the keys that came before them.
std::vector<std::string> RewriteBlock(const std::vector<TrackLine>& lines, std::size_t h,
                                      std::size_t end, std::uint32_t oldKind,
                                      const CurveTrack& track) {
    std::vector<std::string> out;
    const TrackLine& header = lines[h];
    if (oldKind != track.kind) {
        const std::size_t at = header.wordAt[2];
        out.push_back(header.text.substr(0, at) + KindWord(track.kind) +
                      header.text.substr(at + header.words[2].size()));
    } else {
        out.push_back(header.text);
    }
    std::vector<OldKey> old;
    std::vector<CurveKey> oldKeys;
    int frameWidth = kDefaultFrameWidth;
    for (std::size_t i = h + 1; i <= end; ++i) {
        if (!lines[i].key) continue;
        const auto& w = lines[i].words;
        if (old.empty()) frameWidth = FrameWidth(lines[i]);
        const CurveKey key{static_cast<std::uint32_t>(*ParseIntWord(w[0], 0, kMaxKeyFrame)),
                           *ParseFloatWord(w[1]), *ParseFloatWord(w[2]), *ParseFloatWord(w[3])};
        old.push_back({key, lines[i].text});
        oldKeys.push_back(key);
    }
    const std::vector<KeyPlace> oldPlaces = Places(oldKeys);
    const std::vector<CurveKey> keys(track.keys, track.keys + track.keyCount);
    const std::vector<KeyPlace> places = Places(keys);

    // A new key keeps the line of an old key with its frame and value, else takes the end-of-line
    // comment of an old key on its frame; each old line serves once.
    std::vector<bool> used(old.size(), false);
    auto take = [&](const CurveKey& key, bool exact) -> const OldKey* {
        for (std::size_t i = 0; i < old.size(); ++i) {
            if (used[i] || old[i].key.frame != key.frame) continue;
            if (exact && !SameKey(old[i].key, key)) continue;
            used[i] = true;
            return &old[i];
        }
        return nullptr;
    };
    std::vector<std::string> written(keys.size());
    for (int exact = 1; exact >= 0; --exact) {
        for (std::size_t k = 0; k < keys.size(); ++k) {
            if (!written[k].empty()) continue;
            if (const OldKey* was = take(keys[k], exact != 0)) {
                written[k] = exact
                                 ? was->text
                                 : FormatKeyLine(keys[k], frameWidth) + TrailingComment(was->text);
            }
        }
    }
    for (std::size_t k = 0; k < keys.size(); ++k) {
        if (written[k].empty()) written[k] = FormatKeyLine(keys[k], frameWidth);
    }
    std::size_t next = 0;  // the first new key not yet written
    std::size_t oldSeen = 0;
    for (std::size_t i = h + 1; i <= end; ++i) {
        if (lines[i].key) {
            ++oldSeen;
            continue;
        }
        // A comment or blank line stays after the keys up to the old key above it.
        while (oldSeen > 0 && next < keys.size() && places[next] <= oldPlaces[oldSeen - 1])
            out.push_back(written[next++]);
        out.push_back(lines[i].text);
    }
    while (next < keys.size()) out.push_back(written[next++]);
    return out;
}

// Where each track is defined: file and header line; -1 for none.
struct Definition {
    int file = -1;
    std::size_t line = 0;
};

// The file a track that no file defines is added to: the one defining the nearest track below
// it, else the first.
int FileForNewTrack(const Definition* defined, int track) {
    for (int t = track - 1; t >= 0; --t) {
        if (defined[t].file >= 0) return defined[t].file;
    }
    return 0;
}

std::vector<std::string> NewTrackLines(int track, const CurveTrack& t) {
    std::vector<std::string> out{"", "track " + std::to_string(track) + " " + KindWord(t.kind)};
    for (std::uint32_t k = 0; k < t.keyCount; ++k)
        out.push_back(FormatKeyLine(t.keys[k], kDefaultFrameWidth));
    return out;
}

}  // namespace

std::string FormatKeyLine(const CurveKey& key, int frameWidth) {
    std::string line = std::to_string(key.frame);
    line.append(
        std::max<std::size_t>(static_cast<std::size_t>(frameWidth), line.size() + 1) - line.size(),
        ' ');
    return line + FloatWord(key.x) + " " + FloatWord(key.y) + " " + FloatWord(key.z);
}

bool RewriteTrackSources(const std::vector<SourceFile>& files, const CurveTrack* table,
                         std::vector<SourceFile>& out, std::vector<SourceError>& errors) {
    auto loaded = std::make_unique<TrackSource>();
    bool ok = true;
    for (const SourceFile& file : files)
        ok &= ParseTrackSource(file.text, file.name, *loaded, errors);
    if (!ok) return false;
    if (files.empty()) {
        errors.push_back({"tracks", 0, "no track file to write into"});
        return false;
    }
    const std::vector<int> changed = DifferingTracks(loaded->tracks, table);

    std::vector<std::vector<TrackLine>> lines;
    Definition defined[kCurveTrackCount];
    for (std::size_t f = 0; f < files.size(); ++f) {
        lines.push_back(ReadLines(files[f].text));
        for (std::size_t i = 0; i < lines[f].size(); ++i) {
            const int t = lines[f][i].track;
            if (t >= 0) defined[t] = {static_cast<int>(f), i};
        }
    }
    out = files;
    for (std::size_t f = 0; f < files.size(); ++f) {
        std::vector<std::string> text;
        const std::vector<TrackLine>& in = lines[f];
        for (std::size_t i = 0; i < in.size(); ++i) {
            const int t = in[i].track;
            if (t < 0 || std::find(changed.begin(), changed.end(), t) == changed.end()) {
                text.push_back(in[i].text);
                continue;
            }
            std::size_t end = i;  // the block's last key line
            for (std::size_t j = i + 1; j < in.size() && in[j].track < 0; ++j) {
                if (in[j].key) end = j;
            }
            for (std::string& line : RewriteBlock(in, i, end, loaded->tracks[t].kind, table[t]))
                text.push_back(std::move(line));
            i = end;
        }
        for (const int t : changed) {
            if (defined[t].file >= 0 || FileForNewTrack(defined, t) != static_cast<int>(f))
                continue;
            // Before the empty piece that a final newline leaves, so the file still ends in one.
            const bool newline = !text.empty() && text.back().empty();
            if (newline) text.pop_back();
            for (std::string& line : NewTrackLines(t, table[t])) text.push_back(std::move(line));
            if (newline) text.emplace_back();
        }
        out[f].text = JoinLines(text);
    }

    auto saved = std::make_unique<TrackSource>();
    for (const SourceFile& file : out) ok &= ParseTrackSource(file.text, file.name, *saved, errors);
    if (!ok) return false;
    const std::vector<int> differ = DifferingTracks(saved->tracks, table);
    if (!differ.empty()) {
        errors.push_back({files.front().name, 0,
                          "the rewritten sources would not read back as track " +
                              std::to_string(differ.front()) + " holds now"});
        return false;
    }
    return true;
}

}  // namespace quixo
