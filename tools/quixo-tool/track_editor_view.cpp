// The track editor's window: the transport line, the grid of rows against track columns with
// the selected track's curve beside it, the cursor's keys and the status.
#include <imgui.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "authoring/show_seek.h"
#include "track_editor.h"

namespace quixo::tool {

namespace {

// A number after a short prefix. Appended: GCC 12 at -O3 warns falsely (-Wrestrict) about a
// literal put before a temporary string.
std::string Prefixed(const char* prefix, std::int64_t n) {
    std::string text = prefix;
    text += std::to_string(n);
    return text;
}

constexpr ImU32 kText = IM_COL32(220, 220, 220, 255);
constexpr ImU32 kDim = IM_COL32(110, 110, 120, 255);
constexpr ImU32 kBeat = IM_COL32(255, 255, 255, 16);
constexpr ImU32 kBar = IM_COL32(255, 255, 255, 34);
constexpr ImU32 kCursorRow = IM_COL32(70, 110, 200, 70);
constexpr ImU32 kCursorCell = IM_COL32(120, 170, 255, 255);
constexpr ImU32 kSelection = IM_COL32(200, 200, 90, 60);
constexpr ImU32 kPlayLine = IM_COL32(90, 230, 120, 255);
constexpr ImU32 kSceneLine = IM_COL32(230, 90, 220, 255);
constexpr ImU32 kLoopBar = IM_COL32(240, 150, 40, 150);
constexpr ImU32 kRefused = IM_COL32(255, 110, 90, 255);
constexpr ImU32 kComponents[3] = {IM_COL32(255, 100, 100, 255), IM_COL32(110, 230, 110, 255),
                                  IM_COL32(110, 150, 255, 255)};
constexpr int kValueChars = 8;  // characters per x, y or z
constexpr int kTagChars = 3;    // "+12", "J", before the values

// Where things are in the grid this frame.
struct Layout {
    float rowHeight;
    float charWidth;
    float timeWidth;
    float columnWidth;
    float curveWidth;
    int columns;  // track columns shown
};

Layout MeasureLayout(const TrackEditor& e, float width) {
    Layout l;
    l.charWidth = ImGui::CalcTextSize("0").x;
    l.rowHeight = ImGui::GetTextLineHeight() + 2;
    l.timeWidth = l.charWidth * 31;
    l.columnWidth = l.charWidth * (kTagChars + 3 * kValueChars + 1);
    l.curveWidth = std::max(l.charWidth * 16, width * 0.12f);
    const float room = width - l.timeWidth - l.curveWidth;
    l.columns =
        std::clamp(static_cast<int>(room / l.columnWidth), 1, static_cast<int>(e.order.size()));
    return l;
}

// A value in at most kValueChars - 1 characters: fewer digits until it fits.
std::string ValueText(float v) {
    char text[32];
    for (int digits = 6; digits >= 1; --digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, v);
        if (std::strlen(text) < kValueChars) break;
    }
    return text;
}

void Text(ImDrawList* draw, float x, float y, ImU32 colour, const std::string& text) {
    draw->AddText(ImVec2(x, y), colour, text.c_str());
}

std::string TimeText(const TrackEditor& e, int r) {
    const MusicRow& m = e.grid.rows[r];
    char text[64];
    if (e.grid.fromMusic) {
        std::snprintf(text, sizeof text, "%4d %3d %3d %3d %5d %7.3f", r, m.order, m.pattern, m.row,
                      m.frame, m.seconds);
    } else {
        std::snprintf(text, sizeof text, "%4d   -   -   - %5d %7.3f", r, m.frame, m.seconds);
    }
    return text;
}

void DrawTransport(TrackEditor& e, const PlayState& play, TransportRequest& request) {
    if (ImGui::Button(play.paused ? "Play" : "Pause")) {
        request.setPaused = true;
        request.paused = !play.paused;
    }
    ImGui::SameLine();
    const int scene = std::min(SceneOfFrame(play.frame, e.durations.data()), kSceneCount - 1);
    ImGui::Text("frame %d  scene %d:%d", play.frame, scene,
                play.frame - SceneStartFrame(scene, e.durations.data()));
    ImGui::SameLine();
    ImGui::Checkbox("follow", &e.follow);
    ImGui::SameLine();
    bool loop = e.loop;
    if (ImGui::Checkbox("loop", &loop)) ToggleTrackLoop(e);
    if (e.loop) {
        ImGui::SameLine();
        ImGui::Text("rows %d-%d", e.loopFirst, e.loopEnd - 1);
    }
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 6);
    if (ImGui::InputInt("rows a beat", &e.rowsPerBeat))
        e.rowsPerBeat = std::clamp(e.rowsPerBeat, 1, 64);
    ImGui::SameLine();
    ImGui::SetNextItemWidth(ImGui::GetFontSize() * 6);
    if (ImGui::InputInt("go to row", &e.goToRow, 1, 16, ImGuiInputTextFlags_EnterReturnsTrue)) {
        MoveCursor(e, e.goToRow, e.column, false, request);
        request.seek = true;
        request.frame = std::clamp(RowFrame(e.grid, e.row), 0, kEndFrame - 1);
    }
    for (int s = 0; s < kSceneCount; ++s) {
        ImGui::SameLine();
        const std::string label = Prefixed("S", s);
        if (ImGui::SmallButton(label.c_str())) {
            const std::int32_t start = SceneStartFrame(s, e.durations.data());
            MoveCursor(e, RowAtFrame(e.grid, start), e.column, false, request);
            request.seek = true;
            request.frame = start;
        }
    }
    const MusicRow& m = e.grid.rows[e.row];
    if (e.grid.fromMusic) {
        ImGui::Text("row %d: order %d, pattern %d, row %d; speed %d, tempo %d; %.3f s, frame %d",
                    e.row, m.order, m.pattern, m.row, m.speed, m.tempo, m.seconds, m.frame);
    } else {
        ImGui::Text("row %d: %.3f s, frame %d (%s)", e.row, m.seconds, m.frame, e.gridNote.c_str());
    }
}

void DrawHeader(const TrackEditor& e, const Layout& l) {
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 at = ImGui::GetCursorScreenPos();
    Text(draw, at.x, at.y, kDim, "row ord pat row frame     sec");
    for (int c = 0; c < l.columns && e.firstColumn + c < static_cast<int>(e.order.size()); ++c) {
        const int column = e.firstColumn + c;
        const int t = e.order[column];
        const bool dirty = std::memcmp(&e.session.table[t], &e.saved[t], sizeof(CurveTrack)) != 0;
        const std::string name = TrackName(e.uses, t, e.scene);
        const std::string label = std::to_string(t) +
                                  (e.session.table[t].kind == 1 ? " C " : " L ") +
                                  (name.empty() ? "-" : name) + (dirty ? " *" : "");
        Text(draw, at.x + l.timeWidth + c * l.columnWidth, at.y, column < e.sampled ? kText : kDim,
             label);
    }
    const float curveX = at.x + l.timeWidth + l.columns * l.columnWidth;
    const char* names[3] = {"x", "y", "z"};
    for (int k = 0; k < 3; ++k)
        Text(draw, curveX + k * l.charWidth * 2, at.y, kComponents[k], names[k]);
    Text(draw, curveX + 7 * l.charWidth, at.y, kDim,
         e.session.table[CursorTrack(e)].kind == 1 ? "catmull_rom" : "linear");
    ImGui::Dummy(ImVec2(0, l.rowHeight));
}

// One track's cell in one row: the first key's values (a tag for a key between rows, a jump or
// more keys), or a dot.
void DrawCell(const TrackEditor& e, const Layout& l, ImDrawList* draw, float x, float y, int t,
              int r, const std::vector<int>& keys, bool cursor) {
    if (keys.empty()) {
        Text(draw, x + (kTagChars + kValueChars) * l.charWidth, y, kDim, ".");
    } else {
        const CurveKey& k = e.session.table[t].keys[keys.front()];
        const bool jump = keys.size() >= 2 && e.session.table[t].keys[keys[1]].frame == k.frame;
        const std::int64_t off = static_cast<std::int64_t>(k.frame) - RowTrackFrame(e, t, r);
        std::string tag = jump ? "J" : off != 0 ? Prefixed(off > 0 ? "+" : "", off) : "";
        if (keys.size() > (jump ? 2u : 1u)) tag += "*";
        Text(draw, x, y, kDim, tag);
        const float v[3] = {k.x, k.y, k.z};
        for (int c = 0; c < 3; ++c)
            Text(draw, x + (kTagChars + c * kValueChars) * l.charWidth, y, kText, ValueText(v[c]));
    }
    if (!cursor) return;
    const float fx = x + (kTagChars + e.component * kValueChars) * l.charWidth - 2;
    const ImVec2 a(fx, y), b(fx + (kValueChars - 1) * l.charWidth + 4, y + l.rowHeight - 1);
    if (!e.typing.empty()) {
        draw->AddRectFilled(a, b, IM_COL32(20, 30, 60, 255));
        Text(draw, fx + 2, y, kCursorCell, e.typing + "_");
    }
    draw->AddRect(a, b, kCursorCell);
}

// The cursor track's x, y and z over the visible rows, sampled as the show samples them.
void DrawCurve(const TrackEditor& e, const Layout& l, ImDrawList* draw, ImVec2 origin, float x0,
               int first, int last) {
    const int t = CursorTrack(e);
    const std::int32_t from = RowFrame(e.grid, first), to = RowFrame(e.grid, last + 1);
    const int step = std::max(1, (to - from) / 400);
    std::vector<float> frames, values[3];
    float low = 1e30f, high = -1e30f;
    for (std::int32_t f = from; f <= to; f += step) {
        const Float3 v = SampledValue(e, t, std::llround(TrackFrameAt(e.times[t], f)));
        frames.push_back(static_cast<float>(f));
        const float c[3] = {v.x, v.y, v.z};
        for (int k = 0; k < 3; ++k) {
            values[k].push_back(c[k]);
            low = std::min(low, c[k]);
            high = std::max(high, c[k]);
        }
    }
    if (high - low < 1e-6f) {
        low -= 1;
        high += 1;
    }
    const float w = l.curveWidth - 2 * l.charWidth;
    std::vector<ImVec2> points(frames.size());
    for (int k = 0; k < 3; ++k) {
        for (std::size_t i = 0; i < frames.size(); ++i) {
            const float y =
                origin.y + static_cast<float>(FrameToRowPosition(e.grid, frames[i])) * l.rowHeight;
            points[i] = ImVec2(x0 + l.charWidth + (values[k][i] - low) / (high - low) * w, y);
        }
        draw->AddPolyline(points.data(), static_cast<int>(points.size()), kComponents[k],
                          ImDrawFlags_None, 1.5f);
    }
    draw->AddLine(ImVec2(x0, origin.y + first * l.rowHeight),
                  ImVec2(x0, origin.y + (last + 1) * l.rowHeight), kDim);
}

void HandleGridMouse(TrackEditor& e, const PlayState& play, TransportRequest& request,
                     const Layout& l, ImVec2 origin) {
    const ImVec2 mouse = ImGui::GetMousePos();
    const double position = (mouse.y - origin.y) / l.rowHeight;
    if (ImGui::IsWindowHovered() && ImGui::IsMouseClicked(ImGuiMouseButton_Left)) {
        const float x = mouse.x - origin.x;
        if (x < l.timeWidth) {
            // Dragging on the rows' times scrubs; the show pauses while the mouse is held.
            e.scrubbing = true;
            e.pausedBeforeScrub = play.paused;
        } else if (x < l.timeWidth + l.columns * l.columnWidth) {
            const int c = static_cast<int>((x - l.timeWidth) / l.columnWidth);
            const float inCell = x - l.timeWidth - c * l.columnWidth - kTagChars * l.charWidth;
            e.component = std::clamp(static_cast<int>(inCell / (kValueChars * l.charWidth)), 0, 2);
            MoveCursor(e, static_cast<int>(std::floor(position)), e.firstColumn + c,
                       ImGui::GetIO().KeyShift, request);
        }
    }
    if (!e.scrubbing) return;
    request.seek = true;
    request.frame =
        std::clamp(static_cast<std::int32_t>(std::llround(RowPositionToFrame(e.grid, position))), 0,
                   kEndFrame - 1);
    request.setPaused = true;
    request.paused = true;
    if (!ImGui::IsMouseDown(ImGuiMouseButton_Left)) {
        e.scrubbing = false;
        request.paused = e.pausedBeforeScrub;
    }
}

void DrawGrid(TrackEditor& e, const PlayState& play, TransportRequest& request, float height) {
    const Layout l = MeasureLayout(e, ImGui::GetContentRegionAvail().x);
    e.firstColumn = std::clamp(e.firstColumn, std::max(0, e.column - l.columns + 1), e.column);
    DrawHeader(e, l);
    ImGui::BeginChild("grid", ImVec2(0, height), false);
    ImDrawList* draw = ImGui::GetWindowDrawList();
    const ImVec2 origin = ImGui::GetCursorScreenPos();
    const int rows = static_cast<int>(e.grid.rows.size());
    const float scroll = ImGui::GetScrollY(), view = ImGui::GetWindowHeight();
    if (e.scrollToCursor) {
        const float y = e.row * l.rowHeight;
        if (y < scroll + 2 * l.rowHeight || y > scroll + view - 3 * l.rowHeight)
            ImGui::SetScrollY(y - view / 2);
        e.scrollToCursor = false;
    }
    const int first = std::clamp(static_cast<int>(scroll / l.rowHeight), 0, rows - 1);
    const int last = std::clamp(static_cast<int>((scroll + view) / l.rowHeight) + 1, 0, rows - 1);
    const float right = origin.x + l.timeWidth + l.columns * l.columnWidth;
    const EditGrid g = Grid(e);

    // Keys by the row they lie in, per shown column.
    std::vector<std::vector<std::vector<int>>> cells(
        l.columns, std::vector<std::vector<int>>(last - first + 1));
    for (int c = 0; c < l.columns && e.firstColumn + c < static_cast<int>(e.order.size()); ++c) {
        const int t = e.order[e.firstColumn + c];
        for (std::uint32_t k = 0; k < e.session.table[t].keyCount; ++k) {
            const std::int64_t r = KeyRow(g, t, e.session.table[t].keys[k].frame);
            if (r >= first && r <= last) cells[c][r - first].push_back(static_cast<int>(k));
        }
    }
    const RowBlock selected = SelectedBlock(e);
    for (int r = first; r <= last; ++r) {
        const float y = origin.y + r * l.rowHeight;
        const int inPattern = e.grid.fromMusic ? e.grid.rows[r].row : r;
        if (inPattern % e.rowsPerBeat == 0) {
            draw->AddRectFilled(ImVec2(origin.x, y), ImVec2(right, y + l.rowHeight),
                                inPattern % (4 * e.rowsPerBeat) == 0 ? kBar : kBeat);
        }
        if (r == e.row)
            draw->AddRectFilled(ImVec2(origin.x, y), ImVec2(right, y + l.rowHeight), kCursorRow);
        if (e.loop && r >= e.loopFirst && r < e.loopEnd)
            draw->AddRectFilled(ImVec2(origin.x, y), ImVec2(origin.x + 3, y + l.rowHeight),
                                kLoopBar);
        Text(draw, origin.x + 4, y, kDim, TimeText(e, r));
        for (int c = 0; c < l.columns && e.firstColumn + c < static_cast<int>(e.order.size());
             ++c) {
            const int column = e.firstColumn + c;
            const float x = origin.x + l.timeWidth + c * l.columnWidth;
            const bool inBlock = e.selecting && r >= selected.firstRow &&
                                 r < selected.firstRow + selected.rowCount &&
                                 std::find(selected.tracks.begin(), selected.tracks.end(),
                                           e.order[column]) != selected.tracks.end();
            if (inBlock)
                draw->AddRectFilled(ImVec2(x, y), ImVec2(x + l.columnWidth, y + l.rowHeight),
                                    kSelection);
            DrawCell(e, l, draw, x, y, e.order[column], r, cells[c][r - first],
                     r == e.row && column == e.column);
        }
    }
    // Scene starts and the playing frame, where they fall inside their rows.
    auto frameY = [&](double frame) {
        return origin.y + static_cast<float>(FrameToRowPosition(e.grid, frame)) * l.rowHeight;
    };
    for (int s = 1; s < kSceneCount; ++s) {
        const float y = frameY(SceneStartFrame(s, e.durations.data()));
        if (y < origin.y + first * l.rowHeight || y > origin.y + (last + 1) * l.rowHeight) continue;
        draw->AddLine(ImVec2(origin.x, y), ImVec2(right, y), kSceneLine, 1.5f);
        Text(draw, origin.x + l.timeWidth - 8 * l.charWidth, y - l.rowHeight + 2, kSceneLine,
             "scene " + std::to_string(s));
    }
    const float playY = frameY(play.frame);
    draw->AddLine(ImVec2(origin.x, playY), ImVec2(right, playY), kPlayLine, 2);
    DrawCurve(e, l, draw, origin, right + l.charWidth, first, last);
    ImGui::Dummy(ImVec2(right + l.curveWidth - origin.x, rows * l.rowHeight));
    HandleGridMouse(e, play, request, l, origin);
    ImGui::EndChild();
}

// The keys in the cursor's row: each value can be typed here too; the track's kind.
void DrawKeyPanel(TrackEditor& e) {
    const int t = CursorTrack(e);
    const std::string name = TrackName(e.uses, t, e.scene);
    ImGui::Text("track %d %s", t, name.empty() ? "(no scene samples it)" : name.c_str());
    ImGui::SameLine();
    const std::uint32_t kind = e.session.table[t].kind;
    if (ImGui::RadioButton("linear", kind == 0)) Report(e, SetKind(e.session, t, 0));
    ImGui::SameLine();
    if (ImGui::RadioButton("catmull_rom", kind == 1)) Report(e, SetKind(e.session, t, 1));
    ImGui::SameLine();
    ImGui::Text("%u keys", e.session.table[t].keyCount);
    for (const int k : KeysInRows(e.session.table[t], Grid(e), t, e.row, 1)) {
        const CurveKey& key = e.session.table[t].keys[k];
        float v[3] = {key.x, key.y, key.z};
        ImGui::PushID(k);
        ImGui::Text("key %2d at frame %4u", k, key.frame);
        ImGui::SameLine();
        ImGui::SetNextItemWidth(ImGui::GetFontSize() * 18);
        if (ImGui::InputFloat3("##value", v, "%.6g", ImGuiInputTextFlags_EnterReturnsTrue))
            Report(e, SetKeyValue(e.session, t, k, {v[0], v[1], v[2]}));
        ImGui::SameLine();
        if (ImGui::SmallButton("delete")) Report(e, DeleteKey(e.session, t, k));
        ImGui::PopID();
    }
}

void DrawStatus(TrackEditor& e) {
    if (ImGui::Button("Save")) SaveTrackEdits(e);
    ImGui::SameLine();
    if (ImGui::Button("Undo")) Report(e, Undo(e.session));
    ImGui::SameLine();
    if (ImGui::Button("Redo")) Report(e, Redo(e.session));
    ImGui::SameLine();
    ImGui::Text("%zu of %zu steps", e.session.done, e.session.steps.size());
    ImGui::SameLine();
    const std::vector<int> unsaved = DifferingTracks(e.session.table, e.saved);
    std::string list;
    for (const int t : unsaved) list += Prefixed(" ", t);
    ImGui::TextUnformatted(unsaved.empty() ? "  all saved" : ("  unsaved:" + list).c_str());
    if (!e.message.empty()) {
        ImGui::PushStyleColor(ImGuiCol_Text, e.refused ? kRefused : kText);
        ImGui::TextWrapped("%s", e.message.c_str());
        ImGui::PopStyleColor();
    }
    ImGui::PushStyleColor(ImGuiCol_Text, kDim);
    ImGui::TextWrapped(
        "Enter key  Shift+Enter jump  0-9 type  [ ] nudge  Del delete  Ctrl+Up/Down move a row  "
        "Alt+Up/Down a frame  K kind  Shift+arrows select  Ctrl+C/V copy/paste  Q quantise  "
        "Ins/Backspace rows  Ctrl+Z/Y undo/redo  Ctrl+S save  Ctrl+R load files  F follow  L loop  "
        "Space play  drag the times to scrub  Tab hide");
    ImGui::PopStyleColor();
}

}  // namespace

void DrawTrackEditor(TrackEditor& e, const PlayState& play, TransportRequest& request) {
    const ImVec2 display = ImGui::GetIO().DisplaySize;
    ImGui::SetNextWindowPos(ImVec2(display.x * 0.25f, 0), ImGuiCond_Always);
    ImGui::SetNextWindowSize(ImVec2(display.x * 0.75f, display.y), ImGuiCond_Always);
    ImGui::SetNextWindowBgAlpha(0.7f);  // the picture shows through
    ImGui::Begin("Tracks", nullptr,
                 ImGuiWindowFlags_NoMove | ImGuiWindowFlags_NoResize | ImGuiWindowFlags_NoCollapse |
                     ImGuiWindowFlags_NoScrollbar | ImGuiWindowFlags_NoScrollWithMouse);
    DrawTransport(e, play, request);
    ImGui::Separator();
    const float below = ImGui::GetTextLineHeightWithSpacing() * 9;
    DrawGrid(e, play, request, std::max(ImGui::GetContentRegionAvail().y - below, 80.0f));
    ImGui::Separator();
    DrawKeyPanel(e);
    ImGui::Separator();
    DrawStatus(e);
    ImGui::End();
}

}  // namespace quixo::tool
