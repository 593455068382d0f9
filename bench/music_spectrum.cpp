// The spectrum's cost per request: the copy out of the sample history, the window, the FFT and
// the magnitudes, as a spectrum node pays it each evaluation.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "platform/music.h"
#include "platform/spectrum_analyzer.h"

namespace {

void BM_SpectrumAnalyzer(benchmark::State& state) {
    const int size = static_cast<int>(state.range(0));
    quixo::SpectrumAnalyzer analyzer;
    std::vector<float> samples(2 * size), out(size);
    for (int i = 0; i < 2 * size; ++i) samples[i] = static_cast<float>(std::sin(i * 0.1));
    for (auto _ : state) {
        analyzer.Compute(samples.data(), size, out.data());
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_SpectrumAnalyzer)->Arg(64)->Arg(512);

// Through the music system while it plays (silently, so the audio thread fills the history).
void BM_MusicGetSpectrum(benchmark::State& state) {
    quixo::MusicSystem music(quixo::MusicConfig{quixo::MusicOutput::Silent});
    music.Init();
    if (!music.CreateSound(quixo::kMusicPath) || !music.PlaySound()) {
        state.SkipWithError("run from the build folder, where the music file is");
        return;
    }
    float out[512];
    for (auto _ : state) {
        music.GetSpectrum(out, 512, 0);
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_MusicGetSpectrum);

}  // namespace
