#pragma once
// The track editor's saving: the edited tracks written into the track sources through the tools'
// write-then-rename path, only after the build's own compiler has accepted the result, and never
// over a file that changed on disk since it was loaded unless the maker says so.
#include <string>
#include <vector>

#include "authoring/scene_compile.h"
#include "core/curve_track.h"

namespace quixo::tool {

struct TrackSaveResult {
    bool ok = false;
    std::string message;                     // for the editor's panel
    std::vector<std::string> changedOnDisk;  // files that differ from what was loaded
    std::vector<SourceFile> files;           // the track files as they are now on disk
    double ms = 0;                           // how long the save took
};

// Saves `table` into the track files `loaded` (names are their paths, texts as last loaded or
// saved); `scenes` are the scene sources the build compiles with them. Without `overwrite`, a
// file that no longer holds what was loaded is not written, and nothing is.
TrackSaveResult SaveTrackFiles(const std::vector<SourceFile>& loaded,
                               const std::vector<SourceFile>& scenes, const CurveTrack* table,
                               bool overwrite);

}  // namespace quixo::tool
