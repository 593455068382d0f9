// quixo-tool preview [--sources DIR] [--frame F] [--size WxH] [--silent]
//
// Plays the show in a window and recompiles the scene and track sources whenever a file under
// DIR changes, keeping the current frame. A source fault is printed and shown in the window;
// the last good scenes keep playing.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "authoring/scene_reload.h"
#include "authoring/show_seek.h"
#include "authoring/text_overlay.h"
#include "commands.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "headless_show.h"
#include "platform/window.h"
#include "render/gfx/window_overlay.h"
#include "render/renderer.h"
#include "show_inputs.h"
#include "startup/music_clock.h"
#include "startup/playback_target.h"
#include "startup/runtime.h"
#include "startup/show_frame.h"

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

// Leaves as the demo does: the runtime shut down, then the process ended without static
// destructors.
[[noreturn]] void EndPreview() {
    StopMusic();
    gfx::ReleaseWindowOverlay(runtime.device, statusPanel.gl);
    ShutdownRuntime(runtime);
    std::fflush(nullptr);
    std::_Exit(0);
}

std::string SourceErrorText(const std::vector<SourceError>& errors) {
    std::string text;
    for (const SourceError& e : errors) text += FormatSourceError(e) + "\n";
    return text;
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

    SDL_SetWindowTitle(SDL_GL_GetCurrentWindow(), "quixo preview");
    std::string sourceError;
    std::int64_t stamp = o.sources.empty() ? 0 : SourceFolderStamp(o.sources);
    Clock::time_point lastPoll = Clock::now(), lastFrame = Clock::now();
    double frameMs = 0;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type == SDL_QUIT) EndPreview();
            if (event.type != SDL_KEYDOWN) continue;
            const SDL_Keycode key = event.key.keysym.sym;
            if (key == SDLK_ESCAPE) EndPreview();
            if (key == SDLK_o) statusPanel.shown = !statusPanel.shown;
            SeekKey seek;
            if (!KeyToSeek(key, seek)) continue;
            const PreviewPosition before = position;
            position = ApplySeekKey(position, seek, durations.data());
            clock.Rebase(position.frame);
            if (position.frame != before.frame || position.paused != before.paused) followMusic();
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
                std::vector<SourceError> errors;
                if (ReloadSceneSources(rd, o.sources, compiled, errors)) {
                    durations = CompiledDurations(compiled);
                    sourceError.clear();
                    std::fprintf(stderr, "quixo-tool: reloaded %s\n", o.sources.c_str());
                } else {
                    sourceError = FormatSourceError(errors.front());
                    std::fprintf(stderr, "%s", SourceErrorText(errors).c_str());
                }
            }
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
