#pragma once
// The sync editor of `preview`: the curve tracks as columns of keys against the rows of the
// music, keyed while the show plays. The editing itself, the grid and the saving are
// authoring's (track_edit, row_grid, track_save); this is the editor's state, its keys, its
// window and what it asks of the preview's clock.
#include <SDL.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/row_grid.h"
#include "authoring/scene_compile.h"
#include "authoring/scene_source.h"
#include "authoring/track_edit.h"
#include "authoring/track_uses.h"
#include "core/curve_track.h"
#include "graph/graph_types.h"

namespace quixo::tool {

// The preview's clock as the editor sees it in a frame.
struct PlayState {
    std::int32_t frame;
    bool paused;
};

// What the editor asks of the preview's clock; the preview restarts the music to match.
struct TransportRequest {
    bool seek = false;
    std::int32_t frame = 0;
    bool setPaused = false;
    bool paused = false;
};

struct TrackEditor {
    bool shown = false;

    // The sources: the folder (empty when the show's embedded data plays, which cannot be
    // saved), the files as last loaded or saved, and what the scenes make of the tracks.
    std::string folder;
    std::vector<SourceFile> sceneFiles;
    std::vector<SourceFile> trackFiles;
    std::vector<SceneSource> scenes;
    TrackUses uses;
    std::array<std::int32_t, kSceneCount> durations{};

    TrackEditSession session;                 // on the device's working tracks
    CurveTrack saved[kCurveTrackCount] = {};  // what the track files hold

    RowGrid grid;
    std::string gridNote;  // where the grid came from

    // The columns while the current scene plays: its tracks first.
    int scene = -1;
    std::vector<int> order;
    int sampled = 0;
    TrackTime times[kCurveTrackCount] = {};

    // Cursor (row, column, component x/y/z) and the block selected from the anchor to it.
    int row = 0;
    int column = 0;
    int component = 0;
    bool selecting = false;
    int anchorRow = 0;
    int anchorColumn = 0;
    int firstColumn = 0;  // the first track column shown
    bool scrollToCursor = true;

    int rowsPerBeat = 4;
    bool follow = true;
    bool loop = false;
    int loopFirst = 0;  // rows [loopFirst, loopEnd)
    int loopEnd = 1;

    KeyClipboard clip;
    std::string typing;  // a value being typed into the cursor's component
    std::string message;
    bool refused = false;
    bool overwrite = false;  // the next save may write over files changed on disk
    bool quitAsked = false;  // Escape once with unsaved edits

    std::int32_t lastFrame = -1;  // the play frame the cursor last followed
    bool scrubbing = false;
    bool pausedBeforeScrub = false;
    int goToRow = 0;
};

// Sets the editor up on the working table, the sources (folder "" for the embedded data, with
// `scenes` and `tracks` empty) and the grid.
void StartTrackEditor(TrackEditor& e, CurveTrack* table, const std::string& folder,
                      const std::vector<SourceFile>& scenes, const std::vector<SourceFile>& tracks,
                      const std::array<std::int32_t, kSceneCount>& durations, RowGrid grid,
                      std::string gridNote);

// Whether the folder's texts are the ones the editor last loaded or saved (its own save, or a
// file touched but not changed, needs no reload).
bool SameSources(const TrackEditor& e, const std::vector<SourceFile>& scenes,
                 const std::vector<SourceFile>& tracks);

// After the preview reloaded the sources (which loads the files' tracks into the working
// table): `kept` is the table as it was before. Unsaved edits are kept and the maker told;
// otherwise the files' tracks stay, as one step that can be undone.
void TrackEditorReloaded(TrackEditor& e, const std::vector<SourceFile>& scenes,
                         const std::vector<SourceFile>& tracks, const CurveTrack* kept,
                         const std::array<std::int32_t, kSceneCount>& durations);

// Whether any track differs from what the files hold.
bool HasUnsavedEdits(const TrackEditor& e);

// Every frame, shown or not: follows the playing row and keeps a loop going.
void TrackEditorTick(TrackEditor& e, const PlayState& play, TransportRequest& request);

// A key or text event while the editor is shown; true when the editor used it.
bool TrackEditorEvent(TrackEditor& e, const SDL_Event& event, const PlayState& play,
                      TransportRequest& request);

// The editor's window, built between BeginGuiFrame and EndGuiFrame.
void DrawTrackEditor(TrackEditor& e, const PlayState& play, TransportRequest& request);

// Whether Escape may end the preview: with unsaved edits the first Escape only warns.
bool TrackEditorAllowsQuit(TrackEditor& e);

// Loads the track files as they are on disk now, as one step that can be undone (Ctrl+R).
void LoadTrackFiles(TrackEditor& e);

// Follows the play position with the cursor when following is on and the position moved.
void FollowPlay(TrackEditor& e, const PlayState& play);

// The selection, or `rowCount` rows of the cursor's track from the cursor when nothing is
// selected.
RowBlock CursorBlock(const TrackEditor& e, int rowCount);

// Loops the selected rows (a bar from the cursor without a selection), or stops looping (L).
void ToggleTrackLoop(TrackEditor& e);

// Saves the edited tracks (Ctrl+S); the panel tells what happened.
void SaveTrackEdits(TrackEditor& e);

// The editor's view of a row or a track: shared by its keys and its window.
std::int64_t RowTrackFrame(const TrackEditor& e, int track, int row);
Float3 SampledValue(const TrackEditor& e, int track, std::int64_t trackFrame);
int CursorTrack(const TrackEditor& e);
RowBlock SelectedBlock(const TrackEditor& e);
EditGrid Grid(const TrackEditor& e);
void Report(TrackEditor& e, const EditResult& result);
void MoveCursor(TrackEditor& e, int row, int column, bool select, TransportRequest& request);

}  // namespace quixo::tool
