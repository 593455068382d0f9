// Graph evaluation throughput of the per-element arithmetic node types: a 256-node graph of
// 1024-element nodes, counted in elements written per second.
#include "operators/operators.h"

#include <benchmark/benchmark.h>

#include <cstring>

#include "core/render_device.h"
#include "graph/graph.h"
#include "memory/arena.h"
#include "operators/node_table.h"
#include "startup/runtime.h"

namespace {

using namespace quixo;

constexpr std::uint32_t kElements = 1024;

struct ArithmeticGraph {
    OperatorNode nodes[kNodesPerGraph]{};
    ValueArray values[kNodesPerGraph]{};

    // Node 0 and 1 are constants; every later node applies one arithmetic type to two
    // earlier nodes, so inputs are always full-length arrays.
    explicit ArithmeticGraph(const std::uint32_t* types, int typeCount) {
        for (int i = 0; i < kNodesPerGraph; ++i) {
            OperatorNode& n = nodes[i];
            for (int k = 0; k < kNodeInputs; ++k) n.inputs[k] = -1;
            if (i < 2) {
                n.type = kNodeConstant;
                for (int k = 0; k < 4; ++k) n.params[k] = 0.5f + static_cast<float>(i + k);
            } else {
                n.type = types[i % typeCount];
                n.inputs[0] = i - 1;
                n.inputs[1] = i - 2;
                n.params[0] = 0.999f;
                n.params[1] = 1.001f;
                n.params[2] = 0.25f;
                n.params[3] = -0.25f;
            }
            values[i].count = kElements;
            values[i].elements = static_cast<Vec4*>(Allocate(kElements * sizeof(Vec4)));
        }
    }
};

void EnsureCore() {
    PrepareRuntime();
}

void RunGraph(benchmark::State& state, const std::uint32_t* types, int typeCount) {
    EnsureCore();
    static ArithmeticGraph* graph = nullptr;
    graph = new ArithmeticGraph(types, typeCount);
    RenderDevice& device = Device();
    for (auto _ : state) {
        GraphArguments args{};
        EvaluateGraph(device, graph->values, graph->nodes, args);
        benchmark::DoNotOptimize(graph->values[kNodesPerGraph - 1].elements[kElements - 1]);
    }
    state.SetItemsProcessed(state.iterations() * kNodesPerGraph * kElements);
    delete graph;
}

void BM_ArithmeticGraph(benchmark::State& state) {
    static const std::uint32_t kTypes[] = {kNodeAdd,        kNodeSubtract, kNodeMultiply,
                                           kNodeOffsetXyzw, kNodeScale,    kNodeMaxMin,
                                           kNodeClamp,      kNodeOffsetXyz};
    RunGraph(state, kTypes, 8);
}
BENCHMARK(BM_ArithmeticGraph);

void BM_AddGraph(benchmark::State& state) {
    static const std::uint32_t kTypes[] = {kNodeAdd};
    RunGraph(state, kTypes, 1);
}
BENCHMARK(BM_AddGraph);

}  // namespace
