#pragma once
// The show's runtime: everything between the process's start and the first frame, in its
// fixed order, and all of it taken down again. The demo, the preview, the headless tools, the
// benchmarks and the tests bring the show up and down through these three functions alone.
#include <cstdint>

#include "core/render_device.h"
#include "render/gfx/context.h"
#include "render/gfx/device.h"
#include "render/gfx/swap_chain.h"

namespace quixo {

// Seconds spent in each group of steps, for the profile.
struct StartupTimes {
    double textMeshes;  // building the text meshes and uploading them
    double shaders;     // compiling the shader library
    double meshes;      // building and uploading the 39 program meshes
    double resources;   // device set-up and render resources
    double scenes;      // graph storage, scene graphs and curve tracks
    double total;
};

// Graphics made already on the current GL context, lent to the runtime: the GPU tests share one
// device among all their tests. The lender keeps them; the runtime releases only what it made.
struct LentGraphics {
    gfx::Device* device = nullptr;
    gfx::DeviceContext* context = nullptr;
    gfx::SwapChain* swapChain = nullptr;
};

struct RuntimeOptions {
    std::int32_t width = 1920;  // the back buffer
    std::int32_t height = 1080;
    gfx::PresentTarget present;  // the window frames are shown in; none: Present only submits
    bool debugOutput = false;    // synchronous GL debug output
    bool vsync = false;
    bool antiAlias = true;      // the FXAA pass
    bool timerQueries = false;  // GPU frame timing (profiling tools)
    LentGraphics lent;          // none: the runtime makes its device, context and swap chain
};

// The graphics the runtime made on the caller's GL context, and the render context. The
// records stay after shutdown, so that the device's counts (live objects, GL errors) can be
// read.
struct Runtime {
    gfx::Device device;
    gfx::DeviceContext context;
    gfx::SwapChain swapChain;
    LentGraphics lent;           // what it runs on instead, when lent
    RenderDevice* rd = nullptr;  // the one render-context record while started
    StartupTimes times{};
};

// The steps before any window: both memory arenas, the graph core and the clock values, the
// CPU-side records at their start values. Does nothing when they are up already (the demo
// takes this step before its launcher; StartRuntime takes it for everyone else).
void PrepareRuntime();

// On the GL 4.5 context current on this thread, in this order: PrepareRuntime if it is not
// done, the texture decoding started, the text meshes, the device, its context and the swap
// chain, the shaders, the text meshes uploaded into the first mesh entries and the 39 program
// meshes behind them, the render resources, the graph storage, the ten scenes into slots 0..9
// and the curve tracks. A failure stops the program with a message box and exit status 1.
StartupTimes StartRuntime(Runtime& runtime, const RuntimeOptions& options);

// Releases every GL object the device made (the GL context itself stays the caller's), stops
// the texture decoding, gives the arenas back and sets the CPU-side records to their start
// values. The runtime may be started again afterwards.
void ShutdownRuntime(Runtime& runtime);

// The 39 stored programs run by the modeller, in record order, into mesh table entries
// firstEntry .. firstEntry + 38.
void BuildProgramMeshes(RenderDevice& rd, int firstEntry);

}  // namespace quixo
