// quixo: the demo. No command line: the launcher, then the show in time with the music.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/render_device.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "memory/arena.h"
#include "platform/message_box.h"
#include "platform/window.h"
#include "render/renderer.h"
#include "startup/launcher.h"
#include "startup/main_loop.h"
#include "startup/music_clock.h"
#include "startup/playback_target.h"
#include "startup/runtime.h"
#include "startup/show_frame.h"

namespace quixo {
namespace {

// The process ends here on every path, and no static destructor runs (the music keeps playing
// on its own thread until the process is gone).
[[noreturn]] void EndProcess(int status) {
    std::fflush(nullptr);
    std::_Exit(status);
}

void PresentSwap(void* window, int syncInterval) {
    // Changing the interval can cost a driver round trip: only when it changes.
    static int current = -1;
    if (syncInterval != current) {
        SetSwapInterval(syncInterval);
        current = syncInterval;
    }
    SwapWindow(static_cast<PlaybackWindow*>(window));
}

struct Show {
    PlaybackWindow* window;
    RenderDevice* rd;
    gfx::Device* device;
    std::uint32_t frames = 0;
};

// Without debug output GL keeps only the first error until asked; asking makes a threaded
// driver catch up with the program, so the show asks once a second and at its end.
constexpr std::uint32_t kFramesPerErrorCount = 60;

bool ServiceMusicPlaying(void*) {
    return IsMusicPlaying();
}

PassEvent ServicePoll(void* user) {
    switch (PollWindowEvent(static_cast<Show*>(user)->window)) {
        case WindowEvent::None:
            return PassEvent::None;
        case WindowEvent::Quit:
            return PassEvent::Quit;
        case WindowEvent::Other:
            return PassEvent::Other;
    }
    return PassEvent::Other;
}

bool ServiceEscape(void*) {
    return EscapeDown();
}

// With the music off no music was started, and the position reads 0: frame 0 repeats.
std::int32_t ServicePosition(void*) {
    return MusicPositionMs();
}

void ServiceFrame(void* user, const ClockReading& clock) {
    Show& show = *static_cast<Show*>(user);
    RunShowFrame(*show.rd, clock, FrameOutput::Draw);
    if (++show.frames % kFramesPerErrorCount == 0) gfx::GlErrorCount(*show.device);
}

int Run() {
    UseInteractiveMessageBoxes();
    PrepareRuntime();

    const std::optional<LaunchSettings> launched = RunLauncher();
    if (!launched) return 1;  // no display at all: the launcher has said why
    const LaunchSettings settings = *launched;
    if (settings.ok == 0) return 0;
    std::fprintf(stderr, "%s\n", FormatLaunchSettings(settings).c_str());

    std::string error;
    PlaybackTarget playback;
    if (!OpenPlaybackTarget(settings.width, settings.height, settings.fullScreen != 0, PresentSwap,
                            playback, error))
        FatalError(error);

    RuntimeOptions options;
    options.width = settings.width;
    options.height = settings.height;
    options.present = playback.present;
    options.debugOutput = gfx::DebugOutputRequested();
    options.vsync = settings.vsync != 0;
    options.antiAlias = settings.antiAlias != 0;
    static Runtime runtime;
    StartRuntime(runtime, options);

    // A module that cannot be opened has been reported by name; the show does not start.
    if (settings.music != 0 && !StartMusic()) return 1;

    Show show{playback.window, runtime.rd, &runtime.device};
    const MainLoopServices services{settings.music != 0, &show,         ServiceMusicPlaying,
                                    ServicePoll,         ServiceEscape, ServicePosition,
                                    ServiceFrame};
    RunMainLoop(services, TimelineDurations().data());
    if (const std::uint64_t errors = gfx::GlErrorCount(runtime.device); errors != 0) {
        std::fprintf(stderr, "quixo: %llu OpenGL errors during the show; the first:\n%s",
                     static_cast<unsigned long long>(errors),
                     gfx::GlErrorText(runtime.device).c_str());
    }
    ShutdownRuntime(runtime);
    return 0;
}

}  // namespace
}  // namespace quixo

int main() {
    quixo::EndProcess(quixo::Run());
}
