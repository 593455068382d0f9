// quixo-tool profile [--size WxH] [--frames N] [--from F]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "headless_show.h"
#include "json_out.h"
#include "progress.h"
#include "render/gfx/context.h"
#include "render/renderer.h"

namespace quixo::tool {

namespace {

using Clock = std::chrono::steady_clock;

struct ProfileOptions {
    std::string size = "1920x1080";
    std::int64_t frames = 300;
    std::int64_t from = 0;
};

// The value at quantile q of the sorted samples (nearest rank); 0 without samples.
double Quantile(std::vector<double> samples, double q) {
    if (samples.empty()) return 0.0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<std::size_t>(q * static_cast<double>(samples.size() - 1) + 0.5);
    return samples[std::min(rank, samples.size() - 1)];
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Seconds since the process started (the kernel's start time, in clock ticks since boot, against
// the boot-time clock), so that loading the program and its libraries counts too; -1 when the
// system does not say.
double SecondsSinceProcessStart() {
    std::FILE* f = std::fopen("/proc/self/stat", "r");
    if (f == nullptr) return -1.0;
    char line[1024] = {};
    const std::size_t n = std::fread(line, 1, sizeof line - 1, f);
    std::fclose(f);
    line[n] = '\0';
    // Field 22; the command name (field 2) may hold spaces, so count from its closing bracket.
    const char* p = std::strrchr(line, ')');
    unsigned long long startTicks = 0;
    for (int field = 3; p != nullptr && field <= 22; ++field) {
        p = std::strchr(p + 1, ' ');
        if (p != nullptr && field == 22) startTicks = std::strtoull(p + 1, nullptr, 10);
    }
    timespec now{};
    if (p == nullptr || clock_gettime(CLOCK_BOOTTIME, &now) != 0) return -1.0;
    const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9 -
           static_cast<double>(startTicks) / ticks;
}

// CPU time of the calling thread: unlike the wall clock it does not grow while the thread
// waits for a core, so it shows a frame's own cost on a busy machine too.
double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) * 1e-6;
}

Json Spread(const std::vector<double>& samples) {
    return {{"medianMs", Quantile(samples, 0.5)}, {"p99Ms", Quantile(samples, 0.99)}};
}

}  // namespace

CommandRunner SetupProfile(CLI::App& sub) {
    auto o = std::make_shared<ProfileOptions>();
    sub.add_option("--size", o->size, "back-buffer size WxH (default 1920x1080)");
    sub.add_option("--frames", o->frames,
                   "frames to render, 1..8200 (default 300); the first is timed as start-up")
        ->check(CLI::Range(std::int64_t{1}, std::int64_t{kEndFrame}));
    sub.add_option("--from", o->from, "the first frame rendered (default 0)")
        ->check(ShowFrameRange());
    return [o] {
        // Both are within the show, so the sum cannot overflow.
        if (o->from + o->frames > kEndFrame)
            FailInput("--frames must be at least 1 and end by frame " +
                      std::to_string(kEndFrame - 1));
        const FrameSize size = ParseFrameSize(o->size);
        auto show = std::make_unique<HeadlessShow>();
        // Frames are timed as the demo runs them: without synchronous debug output unless
        // QUIXO_GL_DEBUG asks for it.
        StartHeadlessShow(*show, size, true, true, gfx::DebugOutputRequested());
        const double processToReady = SecondsSinceProcessStart();
        // Replaying up to --from and rendering on software GL both take a while.
        ProgressLine progress("profile", o->from + o->frames);
        while (show->nextFrame < o->from) {
            PlayNextFrame(*show, false);
            progress.Update(show->nextFrame, show->nextFrame - 1);
        }

        std::vector<double> cpuMs, threadMs, evalMs, submitMs, gpuMs;
        double firstFrame = 0.0, firstFrameTextures = 0.0;
        for (std::int64_t i = 0; i < o->frames; ++i) {
            const Clock::time_point start = Clock::now();
            const double threadStart = ThreadCpuMs();
            double eval = 0.0;
            PlayNextFrameTimed(*show, eval);
            if (i == 0) {
                // The first frame is there once the GPU has drawn it, with the textures it
                // draws. It counts towards the start-up, not the frame times: the other
                // textures are uploaded now, so that the frames timed after it are the show's
                // steady frames.
                gfx::Finish(show->runtime.context);
                firstFrame = MsSince(start) * 1e-3;
                firstFrameTextures = TextureUploadSeconds();
                FinishTextures(*show->rd);
            } else {
                cpuMs.push_back(MsSince(start));
                threadMs.push_back(ThreadCpuMs() - threadStart);
                evalMs.push_back(eval);
                submitMs.push_back(LastFrameSubmitMs(*show->rd));
                // The timer of a frame is read back once a later frame begins, without waiting.
                const double gpu = LastFrameGpuMs(*show->rd);
                if (gpu > 0.0 && i > 1) gpuMs.push_back(gpu);
            }
            progress.Update(show->nextFrame, show->nextFrame - 1);
        }
        progress.Finish();
        gfx::Finish(show->runtime.context);

        const StartupTimes& t = show->runtime.times;
        Json startup = {
            {"textMeshes", t.textMeshes},
            {"shaders", t.shaders},
            {"meshes", t.meshes},
            {"firstFrameTextures", firstFrameTextures},
            {"resources", t.resources},
            {"scenes", t.scenes},
            {"total", t.total},
            {"processToFirstFrame", processToReady < 0.0 ? -1.0 : processToReady + firstFrame}};
        Json frame = {{"cpuMedianMs", Quantile(cpuMs, 0.5)},
                      {"cpuP99Ms", Quantile(cpuMs, 0.99)},
                      {"gpuMedianMs", Quantile(gpuMs, 0.5)},
                      {"gpuP99Ms", Quantile(gpuMs, 0.99)},
                      {"cpuThread", Spread(threadMs)},
                      {"eval", Spread(evalMs)},
                      {"submit", Spread(submitMs)},
                      {"gpu", Spread(gpuMs)},
                      {"glDebugOutput", show->runtime.device.debugOutput}};
        PrintJson({{"startup", startup}, {"frame", frame}, {"glErrors", ShowGlErrors(*show)}});
        return 0;
    };
}

}  // namespace quixo::tool
