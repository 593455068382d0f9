#include "track_editor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

#include "authoring/scene_reload.h"
#include "authoring/show_seek.h"
#include "authoring/source_text.h"
#include "authoring/track_source.h"
#include "graph/curve_tracks.h"
#include "graph/scene_data.h"
#include "track_files.h"

namespace quixo::tool {

namespace {

void ParseScenes(TrackEditor& e) {
    e.scenes.assign(e.sceneFiles.size(), SceneSource{});
    std::vector<SourceError> errors;  // the files compiled before they got here
    for (std::size_t i = 0; i < e.sceneFiles.size(); ++i)
        ParseSceneSource(e.sceneFiles[i].text, e.sceneFiles[i].name, e.scenes[i], errors);
}

// Which nodes sample which track: from the sources, or from the embedded scenes (unnamed).
void FindUses(TrackEditor& e) {
    SceneGraphView views[kSceneCount];
    if (e.folder.empty()) {
        const SceneEntry* table = StoredSceneTable();
        for (int s = 0; s < kSceneCount; ++s)
            views[s].nodes = StoredScenes() + table[s].sceneRef * kNodesPerGraph;
    } else {
        for (const SceneSource& scene : e.scenes) {
            if (scene.index >= 0 && scene.index < kSceneCount)
                views[scene.index] = {scene.nodes, &scene.names};
        }
    }
    e.uses = FindTrackUses(views);
    e.scene = -1;  // the columns are laid out again on the next tick
}

bool TracksOfFiles(const std::vector<SourceFile>& files, CurveTrack* out, std::string& error) {
    auto parsed = std::make_unique<TrackSource>();
    std::vector<SourceError> errors;
    for (const SourceFile& f : files) ParseTrackSource(f.text, f.name, *parsed, errors);
    if (!errors.empty()) {
        error = FormatSourceError(errors.front());
        return false;
    }
    std::memcpy(out, parsed->tracks, sizeof parsed->tracks);
    return true;
}

// The columns for the scene that plays: its own tracks first, the cursor on the first.
void LayOutScene(TrackEditor& e, int scene) {
    if (scene == e.scene) return;
    e.scene = scene;
    e.order = TrackOrder(e.uses, scene);
    e.sampled = SampledTrackCount(e.uses, scene);
    for (int t = 0; t < kCurveTrackCount; ++t)
        e.times[t] = TrackTimeIn(e.uses, t, scene, e.durations.data());
    e.column = 0;
    e.firstColumn = 0;
    e.selecting = false;
}

}  // namespace

void LoadTrackFiles(TrackEditor& e) {
    if (e.folder.empty()) {
        Report(e, {false, "the embedded tracks have no files: start preview with --sources DIR"});
        return;
    }
    std::vector<SourceFile> scenes, tracks;
    std::vector<SourceError> errors;
    CurveTrack loaded[kCurveTrackCount];
    std::string error;
    if (!ReadSourceFolder(e.folder, scenes, tracks, errors)) {
        Report(e, {false, "not loaded: " + FormatSourceError(errors.front())});
    } else if (!TracksOfFiles(tracks, loaded, error)) {
        Report(e, {false, "not loaded: " + error});
    } else {
        Report(e, ReplaceTracks(e.session, "load the track files", loaded));
        e.trackFiles = tracks;
        std::memcpy(e.saved, loaded, sizeof loaded);
        e.overwrite = false;
    }
}

// A block of the cursor's track or the selection, `rowCount` rows from the cursor when nothing
// is selected.
RowBlock CursorBlock(const TrackEditor& e, int rowCount) {
    if (e.selecting) return SelectedBlock(e);
    return RowBlock{{CursorTrack(e)}, e.row, rowCount};
}

void ToggleTrackLoop(TrackEditor& e) {
    if (e.loop) {
        e.loop = false;
        Report(e, {true, "loop off"});
        return;
    }
    const RowBlock block = CursorBlock(e, 4 * e.rowsPerBeat);  // a bar of four beats
    e.loop = true;
    e.loopFirst = block.firstRow;
    e.loopEnd = block.firstRow + std::max(block.rowCount, 1);
    Report(e, {true, "looping rows " + std::to_string(e.loopFirst) + " to " +
                         std::to_string(e.loopEnd - 1)});
}

// Following, the cursor goes wherever the show goes: playing, seeking or scrubbing.
void FollowPlay(TrackEditor& e, const PlayState& play) {
    if (e.follow && play.frame != e.lastFrame) {
        const int playing = RowAtFrame(e.grid, play.frame);
        if (playing != e.row) {
            e.row = playing;
            e.selecting = false;
            e.scrollToCursor = true;
        }
    }
    e.lastFrame = play.frame;
}

void StartTrackEditor(TrackEditor& e, CurveTrack* table, const std::string& folder,
                      const std::vector<SourceFile>& scenes, const std::vector<SourceFile>& tracks,
                      const std::array<std::int32_t, kSceneCount>& durations, RowGrid grid,
                      std::string gridNote) {
    e.session = TrackEditSession{table, {}, 0};
    std::memcpy(e.saved, table, sizeof e.saved);
    e.folder = folder;
    e.sceneFiles = scenes;
    e.trackFiles = tracks;
    e.durations = durations;
    e.grid = std::move(grid);
    e.gridNote = std::move(gridNote);
    ParseScenes(e);
    FindUses(e);
    LayOutScene(e, 0);
}

bool SameSources(const TrackEditor& e, const std::vector<SourceFile>& scenes,
                 const std::vector<SourceFile>& tracks) {
    auto same = [](const std::vector<SourceFile>& a, const std::vector<SourceFile>& b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](const SourceFile& x, const SourceFile& y) {
                              return x.name == y.name && x.text == y.text;
                          });
    };
    return same(e.sceneFiles, scenes) && same(e.trackFiles, tracks);
}

void TrackEditorReloaded(TrackEditor& e, const std::vector<SourceFile>& scenes,
                         const std::vector<SourceFile>& tracks, const CurveTrack* kept,
                         const std::array<std::int32_t, kSceneCount>& durations) {
    CurveTrack fromFiles[kCurveTrackCount];
    std::memcpy(fromFiles, e.session.table, sizeof fromFiles);
    std::memcpy(e.session.table, kept, sizeof fromFiles);
    e.sceneFiles = scenes;
    e.durations = durations;
    ParseScenes(e);
    FindUses(e);
    const bool tracksChanged =
        !std::equal(e.trackFiles.begin(), e.trackFiles.end(), tracks.begin(), tracks.end(),
                    [](const SourceFile& x, const SourceFile& y) {
                        return x.name == y.name && x.text == y.text;
                    });
    if (!tracksChanged) return;
    if (HasUnsavedEdits(e)) {
        Report(e, {false,
                   "the track files changed on disk; your unsaved edits are kept: Ctrl+S "
                   "asks before writing over the files, Ctrl+R loads them instead"});
        return;
    }
    Report(e, ReplaceTracks(e.session, "reload the changed track files", fromFiles));
    e.trackFiles = tracks;
    std::memcpy(e.saved, fromFiles, sizeof fromFiles);
}

bool HasUnsavedEdits(const TrackEditor& e) {
    return !DifferingTracks(e.session.table, e.saved).empty();
}

void TrackEditorTick(TrackEditor& e, const PlayState& play, TransportRequest& request) {
    LayOutScene(e, std::min(SceneOfFrame(play.frame, e.durations.data()), kSceneCount - 1));
    if (e.loop && !play.paused && !e.scrubbing && play.frame >= RowFrame(e.grid, e.loopEnd)) {
        request.seek = true;
        request.frame = RowFrame(e.grid, e.loopFirst);
        return;
    }
    FollowPlay(e, play);
}

bool TrackEditorAllowsQuit(TrackEditor& e) {
    if (!HasUnsavedEdits(e) || e.quitAsked) return true;
    e.quitAsked = true;
    Report(e,
           {false, "unsaved track edits: Escape again leaves without saving them, Ctrl+S saves"});
    return false;
}

void SaveTrackEdits(TrackEditor& e) {
    if (e.folder.empty()) {
        Report(e, {false, "the embedded tracks have no files: start preview with --sources DIR"});
        return;
    }
    const TrackSaveResult result =
        SaveTrackFiles(e.trackFiles, e.sceneFiles, e.session.table, e.overwrite);
    e.overwrite = !result.changedOnDisk.empty();
    e.trackFiles = result.files;
    std::string error;
    if (!TracksOfFiles(e.trackFiles, e.saved, error)) Report(e, {false, error});
    Report(e, {result.ok, result.message});
    std::fprintf(stderr, "quixo-tool: %s\n", result.message.c_str());
}

std::int64_t RowTrackFrame(const TrackEditor& e, int track, int row) {
    return std::llround(TrackFrameAt(e.times[track], RowFrame(e.grid, row)));
}

Float3 SampledValue(const TrackEditor& e, int track, std::int64_t trackFrame) {
    // As the track sampler reads it: clamped to the frames from 0 to the last key's.
    const CurveTrack& t = e.session.table[track];
    const std::int64_t last = LastKeyFrame(t);
    return SampleTrack(t,
                       static_cast<std::uint32_t>(std::clamp<std::int64_t>(trackFrame, 0, last)));
}

int CursorTrack(const TrackEditor& e) {
    return e.order[e.column];
}

RowBlock SelectedBlock(const TrackEditor& e) {
    if (!e.selecting) return RowBlock{{CursorTrack(e)}, e.row, 1};
    RowBlock block;
    block.firstRow = std::min(e.row, e.anchorRow);
    block.rowCount = std::abs(e.row - e.anchorRow) + 1;
    for (int c = std::min(e.column, e.anchorColumn); c <= std::max(e.column, e.anchorColumn); ++c)
        block.tracks.push_back(e.order[c]);
    return block;
}

EditGrid Grid(const TrackEditor& e) {
    return EditGrid{&e.grid, e.times};
}

void Report(TrackEditor& e, const EditResult& result) {
    e.message = result.message;
    e.refused = !result.ok;
}

void MoveCursor(TrackEditor& e, int row, int column, bool select, TransportRequest& request) {
    if (select && !e.selecting) {
        e.anchorRow = e.row;
        e.anchorColumn = e.column;
    }
    e.selecting = select;
    const int last = static_cast<int>(e.grid.rows.size()) - 1;
    const int to = std::clamp(row, 0, last);
    e.column = std::clamp(column, 0, static_cast<int>(e.order.size()) - 1);
    e.scrollToCursor = true;
    if (to == e.row) return;
    e.row = to;
    // Following, the show goes where the cursor goes.
    if (e.follow) {
        request.seek = true;
        request.frame = std::clamp(RowFrame(e.grid, to), 0, kEndFrame - 1);
    }
}

}  // namespace quixo::tool
