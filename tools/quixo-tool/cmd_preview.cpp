// quixo-tool preview [--sources DIR] [--frame F] [--size WxH] [--silent]
//
// Plays the show in a window and recompiles the scene and track sources whenever a file under
// DIR changes, keeping the current frame. A source fault is printed and shown in the window;
// the last good scenes keep playing. Tab shows the track editor (track_editor.h).
#include <SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "authoring/music_grid.h"
#include "authoring/scene_reload.h"
#include "authoring/show_seek.h"
#include "authoring/text_overlay.h"
#include "commands.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "headless_show.h"
#include "imgui_layer.h"
#include "platform/module_decoder.h"
#include "platform/window.h"
#include "render/gfx/window_overlay.h"
#include "render/renderer.h"
#include "show_inputs.h"
#include "startup/music_clock.h"
#include "startup/playback_target.h"
#include "startup/runtime.h"
#include "startup/show_frame.h"
#include "track_editor.h"

namespace quixo::tool {

namespace {

using Clock = std::chrono::steady_clock;

struct PreviewOptions {
    std::string sources;
    std::int64_t frame = 0;
    std::string size = "1280x720";
    bool silent = false;
};

// The status panel drawn over the picture at each swap; O shows and hides it.
struct StatusPanel {
    bool shown = true;
    OverlayImage image;
    gfx::WindowOverlay gl;
};
StatusPanel statusPanel;
TrackEditor editor;
bool gui = false;  // the GUI's back ends started: the editor can be shown

// The show's runtime on the preview window's GL context.
Runtime runtime;

constexpr int kPanelMargin = 8;  // from the window's corner
constexpr OverlayStyle kPanelStyle{18, 8};

void PresentSwap(void* window, int syncInterval) {
    auto* w = static_cast<PlaybackWindow*>(window);
    if (statusPanel.shown) {
        const WindowSize size = DrawableSize(w);
        // A panel GL cannot make room for is left out, once said why.
        if (!gfx::DrawWindowOverlay(runtime.device, statusPanel.gl, statusPanel.image.rgba.data(),
                                    statusPanel.image.width, statusPanel.image.height, kPanelMargin,
                                    kPanelMargin, size.height)) {
            std::fprintf(stderr, "quixo-tool: no status panel: %s\n",
                         runtime.device.lastError.c_str());
            statusPanel.shown = false;
        }
    }
    DrawGui();
    SetSwapInterval(syncInterval);
    SwapWindow(w);
}

// "frame F  scene S:f": the frame, the scene and the frame within it, then the last frame's
// time; a source fault below.
void UpdateStatusPanel(const ClockReading& reading, double frameMs, bool paused,
                       const std::string& sourceError, int windowWidth) {
    char text[160];
    std::snprintf(text, sizeof text, "frame %d  scene %d:%d  %.1f ms%s", reading.frame,
                  reading.scene, reading.sceneFrame, frameMs, paused ? "  paused" : "");
    std::vector<OverlayLine> lines{{text}};
    // A fault is wrapped at the room between the panel's margins; at least a byte a line, so
    // that a window too narrow for one character still ends the loop.
    const int width = windowWidth - 2 * kPanelMargin;
    const int room = width - 2 * kPanelStyle.margin;
    for (std::size_t at = 0; at < sourceError.size();) {
        const std::string rest = sourceError.substr(at);
        const std::size_t n =
            std::max<std::size_t>(OverlayFitLength(rest, kPanelStyle.pixelHeight, room), 1);
        lines.push_back({rest.substr(0, n), 255, 96, 80});
        at += n;
    }
    statusPanel.image = DrawOverlayText(lines, kPanelStyle, width);
}

// The keys of the window; anything else is ignored.
bool KeyToSeek(SDL_Keycode key, SeekKey& out) {
    switch (key) {
        case SDLK_SPACE:
            out = SeekKey::kPauseResume;
            return true;
        case SDLK_LEFT:
            out = SeekKey::kSecondBack;
            return true;
        case SDLK_RIGHT:
            out = SeekKey::kSecondForward;
            return true;
        case SDLK_PAGEUP:
            out = SeekKey::kPreviousScene;
            return true;
        case SDLK_PAGEDOWN:
            out = SeekKey::kNextScene;
            return true;
        case SDLK_COMMA:
            out = SeekKey::kFrameBack;
            return true;
        case SDLK_PERIOD:
            out = SeekKey::kFrameForward;
            return true;
        case SDLK_HOME:
            out = SeekKey::kRestart;
            return true;
        default:
            return false;
    }
}

// The playing position: while the music plays it is the clock; paused, silent or without the
// music file the clock runs on wall time from the frame reached.
struct PlayClock {
    bool music = false;          // the music drives the clock now
    std::int32_t baseFrame = 0;  // wall time: the frame at baseTime
    Clock::time_point baseTime = Clock::now();

    std::int32_t Frame(const std::int32_t* durations) const {
        if (music) return ReadClock(MusicPositionMs(), durations).frame;
        const auto ms =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - baseTime);
        return baseFrame + static_cast<std::int32_t>(ms.count() * 100 / 1666);
    }
    void Rebase(std::int32_t frame) {
        baseFrame = frame;
        baseTime = Clock::now();
    }
};

std::string SourceErrorText(const std::vector<SourceError>& errors) {
    std::string text;
    for (const SourceError& e : errors) text += FormatSourceError(e) + "\n";
    return text;
}

// The editor's grid: the music's rows, or even rows when the module cannot be read.
RowGrid ReadRowGrid(std::string& note) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    RowGrid grid;
    if (ReadFileBytes(kMusicPath, &bytes, &error) && MusicRowGrid(bytes, grid, &error)) {
        note = kMusicPath;
        return grid;
    }
    std::fprintf(stderr, "quixo-tool: the track editor's rows are 6 frames each: %s: %s\n",
                 kMusicPath, error.c_str());
    note = "no music: rows of 6 frames";
    return EvenRowGrid(6);
}

void StartEditor(RenderDevice& rd, const std::string& sources,
                 const std::array<std::int32_t, kSceneCount>& durations) {
    gui = StartGui(SDL_GL_GetCurrentWindow(), SDL_GL_GetCurrentContext());
    if (!gui) std::fprintf(stderr, "quixo-tool: the track editor cannot start its GUI\n");
    std::vector<SourceFile> scenes, tracks;
    std::vector<SourceError> errors;
    if (!sources.empty()) ReadSourceFolder(sources, scenes, tracks, errors);
    std::string note;
    RowGrid grid = ReadRowGrid(note);
    StartTrackEditor(editor, rd.curveTracks, sources, scenes, tracks, durations, std::move(grid),
                     std::move(note));
}

// The watcher saw the folder change. Texts the editor already holds (its own save) need no
// reload; otherwise the scenes reload and the editor decides what becomes of the tracks.
void ReloadChangedSources(RenderDevice& rd, const std::string& dir, CompiledScenes& compiled,
                          std::array<std::int32_t, kSceneCount>& durations,
                          std::string& sourceError) {
    std::vector<SourceFile> scenes, tracks;
    std::vector<SourceError> errors;
    if (ReadSourceFolder(dir, scenes, tracks, errors) && SameSources(editor, scenes, tracks))
        return;
    CurveTrack kept[kCurveTrackCount];
    std::memcpy(kept, rd.curveTracks, sizeof kept);
    errors.clear();
    if (ReloadSceneSources(rd, dir, compiled, errors)) {
        durations = CompiledDurations(compiled);
        TrackEditorReloaded(editor, scenes, tracks, kept, durations);
        sourceError.clear();
        std::fprintf(stderr, "quixo-tool: reloaded %s\n", dir.c_str());
    } else {
        sourceError = FormatSourceError(errors.front());
        std::fprintf(stderr, "%s", SourceErrorText(errors).c_str());
    }
}

// Leaves as the demo does: the runtime shut down, then the process ended without static
// destructors.
[[noreturn]] void EndPreview() {
    StopMusic();
    if (gui) StopGui();
    gfx::ReleaseWindowOverlay(runtime.device, statusPanel.gl);
    ShutdownRuntime(runtime);
    std::fflush(nullptr);
    std::_Exit(0);
}

int RunPreview(const PreviewOptions& o) {
    const FrameSize size = ParseFrameSize(o.size);
    CompiledScenes compiled;
    if (!o.sources.empty()) compiled = CompileSourcesOrFail(o.sources);

    std::string error;
    PlaybackTarget playback;
    if (!OpenPlaybackTarget(size.width, size.height, false, PresentSwap, playback, error)) {
        std::fprintf(stderr, "quixo-tool: no window or graphics device: %s\n", error.c_str());
        return 1;
    }
    RuntimeOptions options;
    options.width = size.width;
    options.height = size.height;
    options.present = playback.present;
    options.debugOutput = gfx::DebugOutputRequested();
    options.vsync = true;
    StartRuntime(runtime, options);
    RenderDevice& rd = *runtime.rd;
    std::array<std::int32_t, kSceneCount> durations = TimelineDurations();
    if (!o.sources.empty()) {
        LoadCompiledScenes(rd, compiled);
        durations = CompiledDurations(compiled);
    }

    StartEditor(rd, o.sources, durations);

    PlayClock clock;
    PreviewPosition position{static_cast<std::int32_t>(o.frame), false};
    clock.Rebase(position.frame);
    bool silent = o.silent;
    // The music follows the picture: after a seek or a resume it starts again at the frame
    // reached. A music file that cannot be played leaves the preview silent from then on.
    const auto followMusic = [&] {
        if (silent) return;
        StopMusic();
        clock.music = false;
        if (position.paused) return;
        clock.music = StartMusic(kMusicPath, {}, FramePositionMs(position.frame));
        silent = !clock.music;
    };
    followMusic();
    const auto moveTo = [&](PreviewPosition next) {
        const PreviewPosition before = position;
        position = next;
        clock.Rebase(position.frame);
        if (position.frame != before.frame || position.paused != before.paused) followMusic();
    };
    const auto apply = [&](const TransportRequest& r) {
        if (r.seek || r.setPaused)
            moveTo({r.seek ? r.frame : position.frame, r.setPaused ? r.paused : position.paused});
    };

    SDL_SetWindowTitle(SDL_GL_GetCurrentWindow(), "quixo preview");
    std::string sourceError;
    std::int64_t stamp = o.sources.empty() ? 0 : SourceFolderStamp(o.sources);
    Clock::time_point lastPoll = Clock::now(), lastFrame = Clock::now();
    double frameMs = 0;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (gui) GuiEvent(event);
            if (event.type == SDL_QUIT && TrackEditorAllowsQuit(editor)) EndPreview();
            // A text field of the editor's window takes every key while it is being edited.
            if (editor.shown && GuiWantsKeyboard()) continue;
            TransportRequest request;
            if (editor.shown &&
                TrackEditorEvent(editor, event, {position.frame, position.paused}, request)) {
                apply(request);
                continue;
            }
            if (event.type != SDL_KEYDOWN) continue;
            const SDL_Keycode key = event.key.keysym.sym;
            if (key == SDLK_ESCAPE && TrackEditorAllowsQuit(editor)) EndPreview();
            if (key == SDLK_o) statusPanel.shown = !statusPanel.shown;
            if (key == SDLK_TAB && gui) editor.shown = !editor.shown;
            SeekKey seek;
            if (KeyToSeek(key, seek)) moveTo(ApplySeekKey(position, seek, durations.data()));
        }
        if (!position.paused) {
            position.frame = clock.Frame(durations.data());
            if (position.frame >= kEndFrame - 1) {
                position = {kEndFrame - 1, true};
                if (clock.music) StopMusic();
                clock.music = false;
            }
        } else {
            clock.Rebase(position.frame);
        }

        const Clock::time_point now = Clock::now();
        if (!o.sources.empty() && now - lastPoll >= std::chrono::seconds(1)) {
            lastPoll = now;
            const std::int64_t next = SourceFolderStamp(o.sources);
            if (next != stamp) {
                stamp = next;
                ReloadChangedSources(rd, o.sources, compiled, durations, sourceError);
            }
        }

        // The editor's edits change the working tracks in place, before this frame is drawn.
        TransportRequest tick;
        TrackEditorTick(editor, {position.frame, position.paused}, tick);
        apply(tick);  // a loop going round, before the editor shows where the show is
        if (editor.shown) {
            TransportRequest request;
            BeginGuiFrame();
            DrawTrackEditor(editor, {position.frame, position.paused}, request);
            EndGuiFrame();
            apply(request);
        }

        const ClockReading reading = FrameClock(position.frame, durations.data());
        if (statusPanel.shown)
            UpdateStatusPanel(reading, frameMs, position.paused, sourceError, size.width);
        RunShowFrame(rd, reading, FrameOutput::Draw);
        frameMs = std::chrono::duration<double, std::milli>(Clock::now() - lastFrame).count();
        lastFrame = Clock::now();
    }
}

}  // namespace

CommandRunner SetupPreview(CLI::App& sub) {
    auto o = std::make_shared<PreviewOptions>();
    sub.add_option("--sources", o->sources,
                   "compile DIR/scenes and DIR/tracks, and again whenever a file changes");
    sub.add_option("--frame", o->frame, "the frame to start from (default 0)")
        ->check(ShowFrameRange());
    sub.add_option("--size", o->size, "window size WxH (default 1280x720)");
    sub.add_flag("--silent", o->silent, "no music: the clock runs on wall time");
    return [o] { return RunPreview(*o); };
}

}  // namespace quixo::tool
