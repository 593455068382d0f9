// Start-up mesh building: every stored program run on the scratch mesh and finished into its
// vertex streams, as start-up does before upload.
#include <benchmark/benchmark.h>

#include "memory/arena.h"
#include "mesh/embedded_programs.h"
#include "mesh/quad_mesh.h"
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

// A flat grid at the modeller's capacity (500 x 500 vertices, 249001 quads) with one quad in
// every 64 selected, grown twice by the selection's expand step, as a program does to select
// patches of a large mesh. Each step visits every quad's corners once; a scan of every
// unselected quad per selected one would take many seconds here.
void BM_ExpandCapacityMesh(benchmark::State& state) {
    constexpr std::uint32_t kSide = 500;
    static QuadMesh mesh;
    mesh.vertexCount = kSide * kSide;
    mesh.quadCount = 0;
    for (std::uint32_t y = 0; y + 1 < kSide; ++y) {
        for (std::uint32_t x = 0; x + 1 < kSide; ++x) {
            const std::uint32_t v = y * kSide + x;
            addQ(mesh, v, v + 1, v + kSide + 1, v + kSide, 0);
        }
    }
    std::uint32_t selected = 0;
    for (auto _ : state) {
        for (std::uint32_t q = 0; q < mesh.quadCount; ++q) mesh.selected[q] = q % 64 == 0;
        expands(mesh, 1);
        expands(mesh, 1);
        selected = 0;
        for (std::uint32_t q = 0; q < mesh.quadCount; ++q) selected += mesh.selected[q];
    }
    state.counters["quads"] = mesh.quadCount;
    state.counters["selected"] = selected;
}
BENCHMARK(BM_ExpandCapacityMesh)->Unit(benchmark::kMillisecond);

}  // namespace
