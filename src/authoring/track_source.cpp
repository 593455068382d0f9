#include "authoring/track_source.h"

namespace quixo {

namespace {

// linear, catmull_rom, or the kind's number; anything else is not a kind.
int ParseKind(std::string_view word) {
    if (word == "linear" || word == "0") return 0;
    if (word == "catmull_rom" || word == "1") return 1;
    return -1;
}

}  // namespace

bool ParseTrackSource(std::string_view text, const std::string& file, TrackSource& out,
                      std::vector<SourceError>& errors) {
    bool ok = true;
    auto fail = [&](int line, const std::string& message) {
        errors.push_back({file, line, message});
        ok = false;
    };
    CurveTrack* current = nullptr;  // the track whose keys follow; null after a bad header
    bool skipping = false;          // keys of a rejected track header are not checked again
    for (const SourceLine& line : SplitSource(text)) {
        const auto& w = line.words;
        if (w[0] == "track") {
            current = nullptr;
            skipping = true;
            if (w.size() != 3) {
                fail(line.number, "expected 'track <0..63> linear|catmull_rom'");
                continue;
            }
            const auto index = ParseIntWord(w[1], 0, kCurveTrackCount - 1);
            const int kind = ParseKind(w[2]);
            if (!index) fail(line.number, "track number '" + std::string(w[1]) + "' is not 0..63");
            if (kind < 0) {
                fail(line.number,
                     "track kind '" + std::string(w[2]) + "' is not linear (0) or catmull_rom (1)");
            }
            if (!index || kind < 0) continue;
            if (!out.files[*index].empty()) {
                fail(line.number, "track " + std::to_string(*index) + " is already defined at " +
                                      out.files[*index] + ":" + std::to_string(out.lines[*index]));
                continue;
            }
            out.files[*index] = file;
            out.lines[*index] = line.number;
            current = &out.tracks[*index];
            current->kind = static_cast<std::uint32_t>(kind);
            skipping = false;
            continue;
        }
        if (current == nullptr) {
            if (!skipping) fail(line.number, "a key before any 'track' line");
            continue;
        }
        if (w.size() != 4) {
            fail(line.number, "expected a key: '<frame> <x> <y> <z>'");
            continue;
        }
        const auto frame = ParseIntWord(w[0], 0, kMaxKeyFrame);
        const auto x = ParseFloatWord(w[1]);
        const auto y = ParseFloatWord(w[2]);
        const auto z = ParseFloatWord(w[3]);
        if (!frame) {
            fail(line.number, "key frame '" + std::string(w[0]) + "' is not a frame 0.." +
                                  std::to_string(kMaxKeyFrame));
            continue;
        }
        if (!x || !y || !z) {
            fail(line.number, "key values must be three finite numbers");
            continue;
        }
        if (current->keyCount >= kCurveKeysPerTrack) {
            fail(line.number, "more than 64 keys in one track");
            continue;
        }
        const auto f = static_cast<std::uint32_t>(*frame);
        if (current->keyCount > 0 && f < current->keys[current->keyCount - 1].frame) {
            fail(line.number, "key frame " + std::to_string(f) +
                                  " comes before the previous key's " +
                                  std::to_string(current->keys[current->keyCount - 1].frame));
            continue;
        }
        current->keys[current->keyCount++] = CurveKey{f, *x, *y, *z};
    }
    return ok;
}

}  // namespace quixo
