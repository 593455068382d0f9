#pragma once
// The content start-up shared by the demo and the tools: everything between the playback
// window (or the headless context) and the main loop, in its fixed order, each step timed.
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

struct ContentOptions {
    bool vsync;
    bool antiAlias;     // the FXAA pass
    bool timerQueries;  // GPU frame timing (profiling tools)
};

// The 39 stored programs run by the modeller, in record order, into mesh table entries
// firstEntry .. firstEntry + 38.
void BuildProgramMeshes(RenderDevice& rd, int firstEntry);

// Runs, in this order: text meshes, device set-up on the given device, context and swap chain,
// shaders, text upload into the first mesh entries, the 39 program meshes behind them,
// render resources, graph storage, the ten scenes into slots 0..9, the curve tracks. The
// textures' decoding starts first and goes on after it returns (see StartTextureDecoding).
// rd.width and rd.height must hold the back buffer's size; the arenas and the graph core must
// be set up. Failures stop the program with a message (inside the steps).
StartupTimes StartContent(RenderDevice& rd, gfx::Device& device, gfx::DeviceContext& context,
                          gfx::SwapChain& swapChain, const ContentOptions& options);

}  // namespace quixo
