// Playback through SDL's dummy driver for a few seconds of the soundtrack: how far the reported
// position strays from an even clock, how far it can be from what has been handed to the
// device, and the audio thread's share of one core.
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <vector>

#include "platform/music.h"

namespace {

void BM_PlaybackDummyDriver(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    setenv("SDL_NO_SIGNAL_HANDLERS", "1", 1);
    using Clock = std::chrono::steady_clock;
    for (auto _ : state) {
        quixo::MusicSystem music;
        music.Init();
        if (!music.CreateSound(quixo::kMusicPath) || !music.PlaySound()) {
            state.SkipWithError("run from the build folder, where the music file is");
            return;
        }
        // Skip the start-up (the first blocks), then sample every half millisecond.
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        std::vector<double> t, p;
        double maxAhead = -1e9;
        const auto t0 = Clock::now();
        const std::int64_t busy0 = music.AudioBusyNs();
        while (Clock::now() - t0 < std::chrono::seconds(4)) {
            const std::int64_t handed = music.FramesHanded();
            const std::int64_t pos = music.PositionFrames();
            t.push_back(std::chrono::duration<double>(Clock::now() - t0).count());
            p.push_back(static_cast<double>(pos));
            maxAhead = std::max(maxAhead, static_cast<double>(pos - handed));
            std::this_thread::sleep_for(std::chrono::microseconds(500));
        }
        const double wall = std::chrono::duration<double>(Clock::now() - t0).count();
        const double busy = static_cast<double>(music.AudioBusyNs() - busy0) * 1e-9;
        // Least-squares line through (t, p): the even clock the position should follow.
        const double n = static_cast<double>(t.size());
        double st = 0, sp = 0, stt = 0, stp = 0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            st += t[i];
            sp += p[i];
            stt += t[i] * t[i];
            stp += t[i] * p[i];
        }
        const double slope = (n * stp - st * sp) / (n * stt - st * st);
        const double offset = (sp - slope * st) / n;
        double maxDev = 0;
        for (std::size_t i = 0; i < t.size(); ++i) {
            maxDev = std::max(maxDev, std::abs(p[i] - (offset + slope * t[i])));
        }
        state.counters["pace"] = slope / quixo::kMusicRate;
        state.counters["max_dev_ms"] = maxDev * 1000.0 / quixo::kMusicRate;
        state.counters["ahead_of_handed_ms"] = maxAhead * 1000.0 / quixo::kMusicRate;
        state.counters["latency_ms"] = music.latencyFrames() * 1000.0 / quixo::kMusicRate;
        state.counters["audio_cpu_pct"] = 100.0 * busy / wall;
    }
}
BENCHMARK(BM_PlaybackDummyDriver)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace
