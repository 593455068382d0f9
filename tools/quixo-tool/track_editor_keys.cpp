// The track editor's keys: one table from key and modifiers to what it does, and the values
// typed or nudged into the cursor's component.
#include <algorithm>
#include <optional>

#include "authoring/source_text.h"
#include "track_editor.h"

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

constexpr int kEveryRow = 1 << 24;  // more rows than any track's keys reach, either way
constexpr float kNudgeStep = 1;     // a hundredth of a unit, as the sources write values
constexpr float kNudgeStepMore = 10;

int Mods(SDL_Keymod mod) {
    return ((mod & KMOD_SHIFT) ? kShift : 0) | ((mod & KMOD_CTRL) ? kCtrl : 0) |
           ((mod & KMOD_ALT) ? kAlt : 0);
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
        case Action::kQuantise: {
            // Without a selection, every key of the cursor's track, wherever it lies.
            const RowBlock whole{{track}, -kEveryRow, 2 * kEveryRow};
            Report(e, QuantiseBlock(e.session, Grid(e), e.selecting ? SelectedBlock(e) : whole));
            break;
        }
        case Action::kInsertRow:
            Report(e, InsertRows(e.session, Grid(e), CursorBlock(e, 1)));
            break;
        case Action::kDeleteRow:
            Report(e, DeleteRows(e.session, Grid(e), CursorBlock(e, 1)));
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
            LoadTrackFiles(e);
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

bool IsValueChar(char c, bool started) {
    return (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           (started && (c == 'e' || c == 'E' || c == '+'));
}

}  // namespace

bool TrackEditorEvent(TrackEditor& e, const SDL_Event& event, const PlayState& play,
                      TransportRequest& request) {
    FollowPlay(e, play);  // a key after a seek in the same pass acts where the seek went
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

}  // namespace quixo::tool
