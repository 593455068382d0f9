// quixo-tool profile [--size WxH] [--frames N] [--from F]
#include <algorithm>
#include <chrono>
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

}  // namespace

CommandRunner SetupProfile(CLI::App& sub) {
    auto o = std::make_shared<ProfileOptions>();
    sub.add_option("--size", o->size, "back-buffer size WxH (default 1920x1080)");
    sub.add_option("--frames", o->frames, "frames to render, 1..8200 (default 300)")
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
        StartHeadlessShow(*show, size, true, true);
        // Replaying up to --from and rendering on software GL both take a while.
        ProgressLine progress("profile", o->from + o->frames);
        while (show->nextFrame < o->from) {
            PlayNextFrame(*show, false);
            progress.Update(show->nextFrame, show->nextFrame - 1);
        }

        std::vector<double> cpuMs, gpuMs;
        using Clock = std::chrono::steady_clock;
        for (std::int64_t i = 0; i < o->frames; ++i) {
            const Clock::time_point start = Clock::now();
            PlayNextFrame(*show, true);
            cpuMs.push_back(
                std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            // The timer of a frame is read back once a later frame begins, without waiting.
            const double gpu = LastFrameGpuMs(*show->rd);
            if (gpu > 0.0 && i > 0) gpuMs.push_back(gpu);
            progress.Update(show->nextFrame, show->nextFrame - 1);
        }
        progress.Finish();
        gfx::Finish(show->graphics.context);

        const StartupTimes& t = show->times;
        Json startup = {{"textMeshes", t.textMeshes},
                        {"shaders", t.shaders},
                        {"meshes", t.meshes},
                        {"textures", t.textures},
                        {"resources", t.resources},
                        {"scenes", t.scenes},
                        {"total", t.total}};
        Json frame = {{"cpuMedianMs", Quantile(cpuMs, 0.5)},
                      {"cpuP99Ms", Quantile(cpuMs, 0.99)},
                      {"gpuMedianMs", Quantile(gpuMs, 0.5)}};
        PrintJson({{"startup", startup}, {"frame", frame}});
        return 0;
    };
}

}  // namespace quixo::tool
