// Start-up mesh building: every stored program run on the scratch mesh and finished into its
// vertex streams, as start-up does before upload.
#include <benchmark/benchmark.h>

#include "memory/arena.h"
#include "mesh/embedded_programs.h"
#include "mesh/text_mesh.h"
#include "mesh/word_list.h"

namespace {

using namespace quixo;

// The 39 program meshes in record order (the last toggled quad carries from one to the next).
void BuildProgramMeshes() {
    ResetModellerState();
    for (int i = 0; i < kMeshProgramCount; ++i) {
        MeshStreams streams = BuildEmbeddedProgramMesh(i);
        benchmark::DoNotOptimize(streams.vertices.data());
    }
}

// The 35 text meshes and their streams, as start-up builds them before the programs, so that the
// figure below covers all 74 meshes. The font is opened once, outside the timing.
void BuildTextMeshes() {
    static Arena arena;
    if (arena.base == nullptr) InitArena(arena, std::uint64_t{1} << 26);
    ArenaReset(arena);
    const OutlineFont& font = SansOutlineFont();
    GlyphMeshCache cache;
    for (int i = 0; i < kTextMeshCount; ++i) {
        const TextMesh mesh = StoreTextMesh(arena, BuildWordGeometry(font, WordList()[i], cache));
        MeshStreams streams = TextMeshStreams(mesh);
        benchmark::DoNotOptimize(streams.vertices.data());
    }
}

void BM_BuildAllMeshes(benchmark::State& state) {
    SansOutlineFont();
    for (auto _ : state) {
        BuildTextMeshes();
        BuildProgramMeshes();
    }
}
BENCHMARK(BM_BuildAllMeshes)->Unit(benchmark::kMillisecond);

void BM_BuildProgramMesh(benchmark::State& state) {
    const int record = static_cast<int>(state.range(0));
    for (auto _ : state) {
        ResetModellerState();
        MeshStreams streams = BuildEmbeddedProgramMesh(record);
        benchmark::DoNotOptimize(streams.vertices.data());
    }
}
BENCHMARK(BM_BuildProgramMesh)->DenseRange(0, kMeshProgramCount - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
