// Making the 35 text meshes of the word list, as start-up does (outlines, flattening, caps,
// sides, arena copy and centring), and turning them into upload streams. The font is opened
// before timing: finding and opening it is a one-off cost of the platform.
#include <benchmark/benchmark.h>

#include "memory/arena.h"
#include "mesh/text_mesh.h"
#include "mesh/word_list.h"

namespace {

using namespace quixo;

void BM_BuildAllTextMeshes(benchmark::State& state) {
    const OutlineFont& font = SansOutlineFont();
    Arena arena;
    InitArena(arena, std::uint64_t{1} << 26);
    std::size_t vertices = 0;
    for (auto _ : state) {
        ArenaReset(arena);
        vertices = 0;
        GlyphMeshCache cache;
        for (int i = 0; i < kTextMeshCount; ++i) {
            const TextMesh mesh =
                StoreTextMesh(arena, BuildWordGeometry(font, WordList()[i], cache));
            vertices += mesh.vertexCount;
            benchmark::DoNotOptimize(mesh.vertices);
        }
    }
    state.counters["vertices"] = static_cast<double>(vertices);
}
BENCHMARK(BM_BuildAllTextMeshes)->Unit(benchmark::kMillisecond);

void BM_TextMeshStreams(benchmark::State& state) {
    const OutlineFont& font = SansOutlineFont();
    Arena arena;
    InitArena(arena, std::uint64_t{1} << 26);
    TextMesh meshes[kTextMeshCount];
    for (int i = 0; i < kTextMeshCount; ++i) {
        meshes[i] = StoreTextMesh(arena, BuildWordGeometry(font, WordList()[i]));
    }
    for (auto _ : state) {
        for (const TextMesh& mesh : meshes) {
            MeshStreams streams = TextMeshStreams(mesh);
            benchmark::DoNotOptimize(streams.vertices.data());
        }
    }
}
BENCHMARK(BM_TextMeshStreams)->Unit(benchmark::kMillisecond);

}  // namespace
