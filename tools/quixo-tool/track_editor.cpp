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

// What the editor's keys do.
enum class Action {
    kUp,
    kDown,
    kLeft,
    kRight,
    kSelectUp,
    kSelectDown,
    kSelectLeft,
    kSelectRight,
    kSetKey,
    kAddJump,
    kDelete,
    kMoveRowUp,
    kMoveRowDown,
    kMoveFrameUp,
    kMoveFrameDown,
    kNudgeUp,
    kNudgeDown,
    kNudgeUpMore,
    kNudgeDownMore,
    kKind,
    kCopy,
    kPaste,
    kQuantise,
    kInsertRow,
    kDeleteRow,
    kUndo,
    kRedo,
    kSave,
    kReload,
    kFollow,
    kLoop,
};

constexpr int kPlain = 0, kShift = 1, kCtrl = 2, kAlt = 4;

struct Binding {
    SDL_Keycode key;
    int mods;
    Action action;
};

constexpr Binding kBindings[] = {
    {SDLK_UP, kPlain, Action::kUp},
    {SDLK_DOWN, kPlain, Action::kDown},
    {SDLK_LEFT, kPlain, Action::kLeft},
    {SDLK_RIGHT, kPlain, Action::kRight},
    {SDLK_UP, kShift, Action::kSelectUp},
    {SDLK_DOWN, kShift, Action::kSelectDown},
    {SDLK_LEFT, kShift, Action::kSelectLeft},
    {SDLK_RIGHT, kShift, Action::kSelectRight},
    {SDLK_RETURN, kPlain, Action::kSetKey},
    {SDLK_KP_ENTER, kPlain, Action::kSetKey},
    {SDLK_RETURN, kShift, Action::kAddJump},
    {SDLK_DELETE, kPlain, Action::kDelete},
    {SDLK_UP, kCtrl, Action::kMoveRowUp},
    {SDLK_DOWN, kCtrl, Action::kMoveRowDown},
    {SDLK_UP, kAlt, Action::kMoveFrameUp},
    {SDLK_DOWN, kAlt, Action::kMoveFrameDown},
    {SDLK_RIGHTBRACKET, kPlain, Action::kNudgeUp},
    {SDLK_LEFTBRACKET, kPlain, Action::kNudgeDown},
    {SDLK_RIGHTBRACKET, kShift, Action::kNudgeUpMore},
    {SDLK_LEFTBRACKET, kShift, Action::kNudgeDownMore},
    {SDLK_k, kPlain, Action::kKind},
    {SDLK_c, kCtrl, Action::kCopy},
    {SDLK_v, kCtrl, Action::kPaste},
    {SDLK_q, kPlain, Action::kQuantise},
    {SDLK_INSERT, kPlain, Action::kInsertRow},
    {SDLK_BACKSPACE, kPlain, Action::kDeleteRow},
    {SDLK_z, kCtrl, Action::kUndo},
    {SDLK_y, kCtrl, Action::kRedo},
    {SDLK_z, kCtrl | kShift, Action::kRedo},
    {SDLK_s, kCtrl, Action::kSave},
    {SDLK_r, kCtrl, Action::kReload},
    {SDLK_f, kPlain, Action::kFollow},
    {SDLK_l, kPlain, Action::kLoop},
};

constexpr float kNudgeStep = 1;  // a hundredth of a unit, as the sources write values
constexpr float kNudgeStepMore = 10;

int Mods(SDL_Keymod mod) {
    return ((mod & KMOD_SHIFT) ? kShift : 0) | ((mod & KMOD_CTRL) ? kCtrl : 0) |
           ((mod & KMOD_ALT) ? kAlt : 0);
}

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

void LoadFromDisk(TrackEditor& e) {
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

Float3 WithComponent(Float3 v, int component, float value) {
    (component == 0 ? v.x : component == 1 ? v.y : v.z) = value;
    return v;
}

float Component(Float3 v, int component) {
    return component == 0 ? v.x : component == 1 ? v.y : v.z;
}

// The cursor's component of the first key in its row gets `value(old)`; without a key there, a
// key is set on the row with the curve's value and that component changed.
template <typename Value>
void ChangeCursorValue(TrackEditor& e, Value value) {
    const int track = CursorTrack(e);
    const std::vector<int> keys = KeysInRows(e.session.table[track], Grid(e), track, e.row, 1);
    if (!keys.empty()) {
        const CurveKey& k = e.session.table[track].keys[keys.front()];
        const Float3 v{k.x, k.y, k.z};
        Report(e, SetKeyValue(e.session, track, keys.front(),
                              WithComponent(v, e.component, value(Component(v, e.component)))));
        return;
    }
    const std::int64_t frame = RowTrackFrame(e, track, e.row);
    const Float3 v = SampledValue(e, track, frame);
    Report(e, SetKey(e.session, track, frame,
                     WithComponent(v, e.component, value(Component(v, e.component)))));
}

void CommitTyping(TrackEditor& e) {
    const std::string text = e.typing;
    e.typing.clear();
    const std::optional<float> value = ParseFloatWord(text);
    if (!value) {
        Report(e, {false, "'" + text + "' is not a number"});
        return;
    }
    ChangeCursorValue(e, [&](float) { return *value; });
}

void Nudge(TrackEditor& e, float step) {
    ChangeCursorValue(e, [&](float old) { return old + step; });
}

// A block edit that moves the keys it holds: the cursor and the selection go with them.
void MoveSelection(TrackEditor& e, int rows, TransportRequest& request) {
    const EditResult result = MoveBlockRows(e.session, Grid(e), SelectedBlock(e), rows);
    Report(e, result);
    if (!result.ok) return;
    const bool selecting = e.selecting;
    e.anchorRow += rows;
    MoveCursor(e, e.row + rows, e.column, selecting, request);
}

// A block of the cursor's track or the selection, `rowCount` rows from the cursor when nothing
// is selected.
RowBlock BlockOr(const TrackEditor& e, int rowCount) {
    if (e.selecting) return SelectedBlock(e);
    return RowBlock{{CursorTrack(e)}, e.row, rowCount};
}

}  // namespace

void ToggleTrackLoop(TrackEditor& e) {
    if (e.loop) {
        e.loop = false;
        Report(e, {true, "loop off"});
        return;
    }
    const RowBlock block = BlockOr(e, 4 * e.rowsPerBeat);  // a bar of four beats
    e.loop = true;
    e.loopFirst = block.firstRow;
    e.loopEnd = block.firstRow + std::max(block.rowCount, 1);
    Report(e, {true, "looping rows " + std::to_string(e.loopFirst) + " to " +
                         std::to_string(e.loopEnd - 1)});
}

namespace {

void Run(TrackEditor& e, Action action, TransportRequest& request) {
    const int track = CursorTrack(e);
    switch (action) {
        case Action::kUp:
        case Action::kDown:
        case Action::kSelectUp:
        case Action::kSelectDown: {
            const int step = action == Action::kUp || action == Action::kSelectUp ? -1 : 1;
            MoveCursor(e, e.row + step, e.column,
                       action == Action::kSelectUp || action == Action::kSelectDown, request);
            break;
        }
        case Action::kLeft:
        case Action::kRight: {
            // Through x, y and z of each track, then on to the next track.
            const int at = e.column * 3 + e.component + (action == Action::kLeft ? -1 : 1);
            const int last = static_cast<int>(e.order.size()) * 3 - 1;
            const int clamped = std::clamp(at, 0, last);
            e.component = clamped % 3;
            MoveCursor(e, e.row, clamped / 3, false, request);
            break;
        }
        case Action::kSelectLeft:
        case Action::kSelectRight:
            MoveCursor(e, e.row, e.column + (action == Action::kSelectLeft ? -1 : 1), true,
                       request);
            break;
        case Action::kSetKey:
        case Action::kAddJump: {
            const std::int64_t frame = RowTrackFrame(e, track, e.row);
            const Float3 v = SampledValue(e, track, frame);
            Report(e, action == Action::kSetKey ? SetKey(e.session, track, frame, v)
                                                : AddKey(e.session, track, frame, v));
            break;
        }
        case Action::kDelete:
            Report(e, DeleteBlock(e.session, Grid(e), SelectedBlock(e)));
            break;
        case Action::kMoveRowUp:
        case Action::kMoveRowDown:
            MoveSelection(e, action == Action::kMoveRowUp ? -1 : 1, request);
            break;
        case Action::kMoveFrameUp:
        case Action::kMoveFrameDown:
            Report(e, MoveBlockFrames(e.session, Grid(e), SelectedBlock(e),
                                      action == Action::kMoveFrameUp ? -1 : 1));
            break;
        case Action::kNudgeUp:
        case Action::kNudgeDown:
        case Action::kNudgeUpMore:
        case Action::kNudgeDownMore: {
            const bool more = action == Action::kNudgeUpMore || action == Action::kNudgeDownMore;
            const bool up = action == Action::kNudgeUp || action == Action::kNudgeUpMore;
            Nudge(e, (up ? 1 : -1) * (more ? kNudgeStepMore : kNudgeStep));
            break;
        }
        case Action::kKind:
            Report(e, SetKind(e.session, track, e.session.table[track].kind == 1 ? 0 : 1));
            break;
        case Action::kCopy: {
            e.clip = CopyBlock(e.session.table, Grid(e), SelectedBlock(e));
            std::size_t keys = 0;
            for (const auto& column : e.clip.columns) keys += column.size();
            Report(e, {true, "copied " + std::to_string(keys) + " keys"});
            break;
        }
        case Action::kPaste: {
            std::vector<int> tracks(e.order.begin() + e.column, e.order.end());
            Report(e, PasteBlock(e.session, Grid(e), e.clip, tracks, e.row));
            break;
        }
        case Action::kQuantise:
            Report(e, QuantiseBlock(e.session, Grid(e),
                                    BlockOr(e, static_cast<int>(e.grid.rows.size()) + 1)));
            if (!e.selecting) e.message = "track " + std::to_string(track) + ": quantised to rows";
            break;
        case Action::kInsertRow:
            Report(e, InsertRows(e.session, Grid(e), BlockOr(e, 1)));
            break;
        case Action::kDeleteRow:
            Report(e, DeleteRows(e.session, Grid(e), BlockOr(e, 1)));
            break;
        case Action::kUndo:
            Report(e, Undo(e.session));
            break;
        case Action::kRedo:
            Report(e, Redo(e.session));
            break;
        case Action::kSave:
            SaveTrackEdits(e);
            break;
        case Action::kReload:
            LoadFromDisk(e);
            break;
        case Action::kFollow:
            e.follow = !e.follow;
            Report(e, {true, e.follow ? "following the music" : "not following"});
            break;
        case Action::kLoop:
            ToggleTrackLoop(e);
            break;
    }
}

// Following, the cursor goes wherever the show goes: playing, seeking or scrubbing.
void Follow(TrackEditor& e, const PlayState& play) {
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

bool IsValueChar(char c, bool started) {
    return (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           (started && (c == 'e' || c == 'E' || c == '+'));
}

}  // namespace

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
    Follow(e, play);
}

bool TrackEditorAllowsQuit(TrackEditor& e) {
    if (!HasUnsavedEdits(e) || e.quitAsked) return true;
    e.quitAsked = true;
    Report(e,
           {false, "unsaved track edits: Escape again leaves without saving them, Ctrl+S saves"});
    return false;
}

bool TrackEditorEvent(TrackEditor& e, const SDL_Event& event, const PlayState& play,
                      TransportRequest& request) {
    Follow(e, play);  // a key after a seek in the same pass acts where the seek went
    if (event.type == SDL_TEXTINPUT) {
        const bool started = !e.typing.empty();
        const char* text = event.text.text;
        if (!IsValueChar(text[0], started)) return started;
        for (; *text != 0 && IsValueChar(*text, true); ++text) e.typing += *text;
        return true;
    }
    if (event.type != SDL_KEYDOWN) return false;
    const SDL_Keycode key = event.key.keysym.sym;
    const int mods = Mods(static_cast<SDL_Keymod>(event.key.keysym.mod));
    if (!e.typing.empty()) {
        if (key == SDLK_RETURN || key == SDLK_KP_ENTER) CommitTyping(e);
        if (key == SDLK_ESCAPE) e.typing.clear();
        if (key == SDLK_BACKSPACE) e.typing.pop_back();
        return true;  // everything else arrives as text
    }
    for (const Binding& b : kBindings) {
        if (b.key != key || b.mods != mods) continue;
        e.quitAsked = false;
        Run(e, b.action, request);
        return true;
    }
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
