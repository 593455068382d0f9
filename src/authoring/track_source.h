#pragma once
// The readable source of the curve tracks, parsed into the stored records. The format:
//
//   track 2 linear          # track number 0..63 and kind: linear (0) or catmull_rom (1)
//   0     10 10 10          # frame x y z, frames 0..8200 in non-decreasing order, at most
//                           # 64 keys
//   400   60 20 0
//   1000  60 20 0           # two keys on one frame make a jump
//
// Tracks no source names stay empty (kind linear, no keys).
#include <string>
#include <string_view>
#include <vector>

#include "authoring/source_text.h"
#include "core/curve_track.h"

namespace quixo {

struct TrackSource {
    CurveTrack tracks[kCurveTrackCount] = {};
    std::string files[kCurveTrackCount];  // where each track is defined; empty when it is not
    int lines[kCurveTrackCount] = {};
};

// Parses one track file into out (several files may fill one TrackSource; a track may be
// defined only once). Appends one error per fault and returns whether there was none.
bool ParseTrackSource(std::string_view text, const std::string& file, TrackSource& out,
                      std::vector<SourceError>& errors);

}  // namespace quixo
