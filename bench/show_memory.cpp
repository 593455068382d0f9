// The whole show played headless, every one of its 8200 frames drawn at a small size, as a soak
// test of memory and the graphics layer: resident memory must stay flat once the first scene
// has run (the arenas are reused every frame, the GPU resources are made at start-up), and no
// frame may raise a GL error. One iteration; the figures are counters, so
// `--benchmark_format=json` reports them as JSON:
//   rss_mib_start        resident memory after start-up
//   rss_mib_sceneS       the most resident memory seen while scene S played
//   heap_mib_sceneS      the most heap in use (malloc's count, Mesa's allocations included)
//                        while scene S played: what is really held, as against pages the
//                        allocator keeps resident after a peak
//   heap_free_mib_sceneS the most freed heap the allocator kept while scene S played: pages
//                        that count as resident without holding anything
//   memory_arena_mib_start, memory_arena_mib_end  the memory arena's fill around the frames
//   growth_mib           the most resident memory in scenes 1..9 less the most in scene 0
//   heap_growth_mib      the same for the heap in use
//   gl_errors            GL errors over start-up and every frame
// Run it from the repository root so that the graphs read the soundtrack's spectrum;
// without the file the spectrum reads zeros. The size comes from the benchmark's arguments.
// Long on a software renderer: about 5 minutes of CPU at 64x36 (21 minutes on a busy
// two-core machine).
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>

#include "authoring/offline_spectrum.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "memory/arena.h"
#include "platform/module_decoder.h"
#include "platform/music.h"
#include "platform/spectrum.h"
#include "render/gfx/headless.h"
#include "startup/runtime.h"
#include "startup/show_frame.h"

namespace {

using namespace quixo;

double ResidentMiB() {
    long pages = 0, resident = 0;
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (f == nullptr) return 0;
    const int read = std::fscanf(f, "%ld %ld", &pages, &resident);
    std::fclose(f);
    if (read != 2) return 0;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}

double HeapInUseMiB() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks + m.hblkhd) / 1048576.0;
}

double HeapFreeMiB() {
    return static_cast<double>(mallinfo2().fordblks) / 1048576.0;
}

// The smallest position whose clock reads this frame, as the headless tools play it.
std::int32_t FramePositionMs(std::int32_t frame) {
    return static_cast<std::int32_t>((static_cast<std::int64_t>(frame) * 1666 + 99) / 100);
}

void BM_WholeShowResidentMemory(benchmark::State& state) {
    const auto width = static_cast<std::uint32_t>(state.range(0));
    const auto height = static_cast<std::uint32_t>(state.range(1));
    for (auto _ : state) {
        static gfx::HeadlessContext gl;
        std::string error;
        if (!gfx::StartHeadlessContext(gl, error)) {
            state.SkipWithError(("no headless graphics device: " + error).c_str());
            return;
        }
        static Runtime runtime;
        RuntimeOptions options;
        options.width = static_cast<std::int32_t>(width);
        options.height = static_cast<std::int32_t>(height);
        options.debugOutput = true;
        StartRuntime(runtime, options);
        RenderDevice& rd = *runtime.rd;
        std::vector<std::uint8_t> bytes;
        std::unique_ptr<OfflineSpectrum> music;
        if (ReadFileBytes(kMusicPath, &bytes, &error))
            music = OfflineSpectrum::Decode(bytes, kMusicRate, &error);
        if (music) SetSpectrumSource(music.get());
        state.counters["music"] = music ? 1 : 0;
        state.counters["rss_mib_start"] = ResidentMiB();

        const auto durations = TimelineDurations();
        double peak[kSceneCount] = {};
        double heap[kSceneCount] = {};
        double heapFree[kSceneCount] = {};
        state.counters["memory_arena_mib_start"] = MemoryArena().fillOffset / 1048576.0;
        for (std::int32_t frame = 0; frame < kEndFrame; ++frame) {
            const std::int32_t ms = FramePositionMs(frame);
            if (music) music->SetPositionMs(ms);
            const ClockReading clock = ReadClock(ms, durations.data());
            RunShowFrame(rd, clock, FrameOutput::Draw);
            const int scene = std::min(clock.scene, kSceneCount - 1);
            peak[scene] = std::max(peak[scene], ResidentMiB());
            heap[scene] = std::max(heap[scene], HeapInUseMiB());
            heapFree[scene] = std::max(heapFree[scene], HeapFreeMiB());
        }
        if (music) SetSpectrumSource(nullptr);
        double later = 0, laterHeap = 0;
        for (int s = 0; s < kSceneCount; ++s) {
            state.counters["rss_mib_scene" + std::to_string(s)] = peak[s];
            state.counters["heap_mib_scene" + std::to_string(s)] = heap[s];
            state.counters["heap_free_mib_scene" + std::to_string(s)] = heapFree[s];
            if (s > 0) later = std::max(later, peak[s]);
            if (s > 0) laterHeap = std::max(laterHeap, heap[s]);
        }
        state.counters["growth_mib"] = later - peak[0];
        state.counters["heap_growth_mib"] = laterHeap - heap[0];
        state.counters["memory_arena_mib_end"] = MemoryArena().fillOffset / 1048576.0;
        state.counters["gl_errors"] = static_cast<double>(gfx::GlErrorCount(runtime.device));
        state.counters["frames"] = kEndFrame;
        ShutdownRuntime(runtime);
        gfx::StopHeadlessContext(gl);
    }
}
BENCHMARK(BM_WholeShowResidentMemory)->Args({64, 36})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
