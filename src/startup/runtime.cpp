#include "startup/runtime.h"

#include <chrono>
#include <string>

#include "graph/curve_tracks.h"
#include "graph/graph.h"
#include "graph/scene_data.h"
#include "graph/scene_load.h"
#include "memory/arena.h"
#include "mesh/embedded_programs.h"
#include "mesh/quad_mesh.h"
#include "mesh/text_mesh.h"
#include "operators/node_table.h"
#include "platform/message_box.h"
#include "render/renderer.h"
#include "startup/show_frame.h"

namespace quixo {

namespace {

using StepClock = std::chrono::steady_clock;

double SecondsSince(StepClock::time_point start) {
    return std::chrono::duration<double>(StepClock::now() - start).count();
}

// Built once a start-up; the meshes live in the memory arena, the table itself in static
// storage.
TextMeshTable g_textMeshes;

// The device, its context and the swap chain on the current GL context.
void CreateGraphics(Runtime& runtime, const RuntimeOptions& options) {
    std::string error;
    runtime.device = gfx::Device{};
    if (!gfx::CreateDevice(runtime.device, error, options.debugOutput)) {
        FatalError("no usable graphics device: " + error);
    }
    if (!gfx::CreateDeviceContext(runtime.device, runtime.context)) {
        FatalError("cannot create the device context: " + runtime.device.lastError);
    }
    const gfx::SwapChainDesc desc{static_cast<std::uint32_t>(options.width),
                                  static_cast<std::uint32_t>(options.height)};
    const gfx::PresentTarget* target = options.present.swap ? &options.present : nullptr;
    if (!gfx::CreateSwapChain(runtime.device, desc, target, runtime.swapChain)) {
        FatalError("cannot create the swap chain: " + runtime.device.lastError);
    }
}

}  // namespace

void PrepareRuntime() {
    if (MemoryArena().base != nullptr) return;
    SetupArenas();
    InitGraphCore();
    ResetShowState();
    ResetCoreRecords();
}

void BuildProgramMeshes(RenderDevice& rd, int firstEntry) {
    ResetModellerState();
    for (int i = 0; i < kMeshProgramCount; ++i) {
        const MeshStreams streams = BuildEmbeddedProgramMesh(i);
        UploadMesh(*rd.gpu->device, streams, rd.gpu->meshes.entries[firstEntry + i]);
    }
}

StartupTimes StartRuntime(Runtime& runtime, const RuntimeOptions& options) {
    PrepareRuntime();
    StartupTimes& t = runtime.times;
    t = StartupTimes{};
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
    RenderDevice& rd = Device();
    rd.width = options.width;
    rd.height = options.height;
    runtime.lent = options.lent;
    if (runtime.lent.device != nullptr) {
        SetupDevice(rd, *runtime.lent.device, *runtime.lent.context, *runtime.lent.swapChain);
    } else {
        CreateGraphics(runtime, options);
        SetupDevice(rd, runtime.device, runtime.context, runtime.swapChain);
    }
    rd.gpu->timerQueries = options.timerQueries;
    runtime.rd = &rd;
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

void ShutdownRuntime(Runtime& runtime) {
    if (runtime.rd != nullptr) ReleaseRenderer(*runtime.rd);
    runtime.rd = nullptr;
    runtime.lent = LentGraphics{};
    if (runtime.device.created) {
        gfx::ReleaseSwapChain(runtime.device, runtime.swapChain);
        gfx::ReleaseDeviceContext(runtime.context);
        gfx::ReleaseDevice(runtime.device);
    }
    // The CPU side: what points into the arenas first, then the arenas themselves.
    g_textMeshes = TextMeshTable{};
    ReleaseGraphCore();
    ReleaseArenas();
    ResetShowState();
    ResetModellerState();
    ResetCoreRecords();
}

}  // namespace quixo
