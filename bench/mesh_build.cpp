// Start-up mesh building: every stored program run on the scratch mesh and finished into its
// vertex streams, as start-up does before upload.
#include <benchmark/benchmark.h>

#include "mesh/embedded_programs.h"

namespace {

using namespace quixo;

// The 39 program meshes in record order (the last toggled quad carries from one to the next).
void BuildProgramMeshes() {
    lastToggledQuad = -1;
    for (int i = 0; i < kMeshProgramCount; ++i) {
        MeshStreams streams = BuildEmbeddedProgramMesh(i);
        benchmark::DoNotOptimize(streams.vertices.data());
    }
}

// The 35 text meshes join here once they exist: build them before the programs, as start-up
// does, and the figure below covers all 74 meshes.
void BuildTextMeshes() {}

void BM_BuildAllMeshes(benchmark::State& state) {
    for (auto _ : state) {
        BuildTextMeshes();
        BuildProgramMeshes();
    }
}
BENCHMARK(BM_BuildAllMeshes)->Unit(benchmark::kMillisecond);

void BM_BuildProgramMesh(benchmark::State& state) {
    const int record = static_cast<int>(state.range(0));
    for (auto _ : state) {
        lastToggledQuad = -1;
        MeshStreams streams = BuildEmbeddedProgramMesh(record);
        benchmark::DoNotOptimize(streams.vertices.data());
    }
}
BENCHMARK(BM_BuildProgramMesh)->DenseRange(0, kMeshProgramCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
