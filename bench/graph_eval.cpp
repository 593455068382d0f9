// Graph evaluation speed: element throughput of the per-element arithmetic types on a full
// graph of 1024-element nodes, and one frame of each embedded scene as the main loop runs it.
#include <benchmark/benchmark.h>

#include <vector>

#include "core/draw_lists.h"
#include "core/render_device.h"
#include "core/render_settings.h"
#include "core/timeline.h"
#include "graph/curve_tracks.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "graph/scene_load.h"
#include "memory/arena.h"
#include "operators/node_table.h"
#include "startup/runtime.h"
#include "startup/show_frame.h"

namespace quixo {
namespace {

constexpr int kArithmeticSlot = 31;

// 256 nodes of 1024 elements: two lattice-free sources, then a chain in which every node
// combines the two nodes before it with an arithmetic type.
std::vector<StoredNode> ArithmeticGraph() {
    std::vector<StoredNode> g(kNodesPerGraph);
    const std::uint32_t kTypes[] = {kNodeAdd,        kNodeSubtract, kNodeMultiply, kNodeOffsetXyz,
                                    kNodeOffsetXyzw, kNodeScale,    kNodeClamp,    kNodeDivide};
    for (int n = 0; n < kNodesPerGraph; ++n) {
        StoredNode& node = g[n];
        node.count = 1024;
        for (auto& input : node.inputs) input = -1;
        if (n < 2) {
            node.type = kNodeConstant;
            node.params[0] = 1.0f + n;
            node.params[1] = 0.5f;
            node.params[2] = -2.0f;
            node.params[3] = 3.0f;
            continue;
        }
        node.type = kTypes[n % 8];
        node.inputs[0] = n - 1;
        node.inputs[1] = n - 2;
        node.params[0] = 0.999f;
        node.params[1] = 1.001f;
        node.params[2] = 0.5f;
        node.params[3] = 0.25f;
    }
    return g;
}

void SetUpGraphs() {
    static const bool done = [] {
        PrepareRuntime();
        AllocateGraphSlots();
        LoadSceneGraphs();
        LoadCurveTracks(Device(), StoredCurveTracks());
        Device().displayAspect = 1920.0f / 1080.0f;
        const std::vector<StoredNode> g = ArithmeticGraph();
        LoadStoredScene(kArithmeticSlot, g.data());
        return true;
    }();
    (void)done;
}

// What the main loop does for one frame of slot s, without rendering.
void RunFrame(int s, std::int32_t frameInScene = 0, std::int32_t sceneEnd = 0) {
    ClockReading clock{};
    clock.scene = s;
    clock.sceneFrame = frameInScene;
    clock.sceneEndFrame = sceneEnd;
    RunShowFrame(Device(), clock, FrameOutput::Skip);
}

void BM_ArithmeticGraph(benchmark::State& state) {
    SetUpGraphs();
    for (auto _ : state) {
        RunFrame(kArithmeticSlot);
        benchmark::DoNotOptimize(Slots().values[kArithmeticSlot][255].elements[1023]);
    }
    state.SetItemsProcessed(state.iterations() * kNodesPerGraph * 1024);
}
BENCHMARK(BM_ArithmeticGraph);

void BM_SceneFrame(benchmark::State& state) {
    SetUpGraphs();
    const int s = static_cast<int>(state.range(0));
    const auto durations = TimelineDurations();
    std::int32_t first = 0;
    for (int i = 0; i < s; ++i) first += durations[i];
    std::int32_t frame = 0;
    for (auto _ : state) {
        RunFrame(s, frame, first + durations[s]);
        frame = (frame + 1) % durations[s];
    }
    ResetShowState();
}
BENCHMARK(BM_SceneFrame)->DenseRange(0, kSceneCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quixo
