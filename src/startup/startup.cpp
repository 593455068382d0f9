#include "startup/startup.h"

#include <chrono>

#include "graph/curve_tracks.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "graph/scene_load.h"
#include "memory/arena.h"
#include "mesh/embedded_programs.h"
#include "mesh/text_mesh.h"
#include "operators/node_table.h"
#include "render/renderer.h"

namespace quixo {

namespace {

using StepClock = std::chrono::steady_clock;

double SecondsSince(StepClock::time_point start) {
    return std::chrono::duration<double>(StepClock::now() - start).count();
}

// Built once; the meshes live in the memory arena, the table itself in static storage.
TextMeshTable g_textMeshes;

}  // namespace

void BuildProgramMeshes(RenderDevice& rd, int firstEntry) {
    ResetModellerState();
    for (int i = 0; i < kMeshProgramCount; ++i) {
        const MeshStreams streams = BuildEmbeddedProgramMesh(i);
        UploadMesh(*rd.gpu->device, streams, rd.gpu->meshes.entries[firstEntry + i]);
    }
}

StartupTimes StartContent(RenderDevice& rd, gfx::Device& device, gfx::DeviceContext& context,
                          gfx::SwapChain& swapChain, const ContentOptions& options) {
    StartupTimes t{};
    const StepClock::time_point begin = StepClock::now();
    // PNG decoding is the longest step and needs no GL: it runs on the other cores while this
    // thread builds the meshes and compiles the shaders. No step waits for it: each texture is
    // uploaded when a frame first draws it, the others a frame at a time (see renderer.h).
    // The show begins with scene 0: its textures are decoded first.
    bool first[kTextureCount] = {};
    MarkNamedTextures(StoredScenes(), kNodesPerGraph, first, kTextureCount);
    StartTextureDecoding(first);

    StepClock::time_point step = StepClock::now();
    MakeTextMeshes(g_textMeshes);
    t.textMeshes = SecondsSince(step);

    step = StepClock::now();
    SetupDevice(rd, device, context, swapChain);
    rd.gpu->timerQueries = options.timerQueries;
    t.resources = SecondsSince(step);

    step = StepClock::now();
    CompileShaders(rd);
    t.shaders = SecondsSince(step);

    step = StepClock::now();
    static MeshStreams textStreams[kTextMeshCount];
    for (int i = 0; i < g_textMeshes.count; ++i)
        textStreams[i] = TextMeshStreams(g_textMeshes.meshes[i]);
    const int n = UploadTextMeshes(rd, textStreams, g_textMeshes.count);
    // The CPU copies are not needed once uploaded.
    for (int i = 0; i < g_textMeshes.count; ++i) textStreams[i] = MeshStreams{};
    t.textMeshes += SecondsSince(step);

    step = StepClock::now();
    BuildProgramMeshes(rd, n);
    t.meshes = SecondsSince(step);

    step = StepClock::now();
    CreateRenderResources(rd, options.vsync, options.antiAlias);
    t.resources += SecondsSince(step);

    step = StepClock::now();
    AllocateGraphSlots();
    LoadSceneGraphs();
    LoadCurveTracks(rd, StoredCurveTracks());
    t.scenes = SecondsSince(step);

    t.total = SecondsSince(begin);
    return t;
}

}  // namespace quixo
