#pragma once
// Writing edited curve tracks back into their sources. Each file keeps its comments, blank
// lines and the order of its tracks; only the tracks that changed get new key lines (a key that
// kept its frame and value keeps its line, and a key that kept its frame keeps the comment at
// the end of its line), and a changed kind is rewritten in the track's own line. A track that no
// file defined goes to the end of the file that defines the nearest track numbered below it.
#include <string>
#include <vector>

#include "authoring/scene_compile.h"
#include "core/curve_track.h"

namespace quixo {

// The track files (as loaded: name and text) rewritten to hold `table`, in the same order; a
// file whose tracks did not change comes back unchanged. The result is parsed again and must
// give `table` exactly; false (and errors) when it does not or the files do not parse.
bool RewriteTrackSources(const std::vector<SourceFile>& files, const CurveTrack* table,
                         std::vector<SourceFile>& out, std::vector<SourceError>& errors);

// One key as a source line: the frame padded to `frameWidth` columns, then x, y and z written
// so that they read back as the same floats.
std::string FormatKeyLine(const CurveKey& key, int frameWidth);

}  // namespace quixo
