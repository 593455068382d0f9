#pragma once
// The renderer on the headless device, shared by the GPU tests that go through it: the arenas
// and graph core set up once, and the render layer's one GPU state opened on a swap chain of
// the size a test asks for.
#include <cstdint>
#include <vector>

#include "core/timeline.h"
#include "gpu_fixture.h"
#include "render/renderer.h"
#include "startup/runtime.h"

namespace quixo::gfx::test {

// Where the renderer harness puts the cube program's mesh: the first stored program's entry.
constexpr int kCubeEntry = kProgramMeshFirstEntry;

// The arenas and graph core, once per test program (the shader library decompresses into the
// arenas, the graph tests evaluate in them).
void EnsureArenas();

enum class Content {
    Renderer,  // device, shaders, render resources and the cube mesh: what the draw lists need
    Show,      // the show's runtime, started on the shared device
};

struct RenderHarness {
    explicit RenderHarness(Content c)
        : content(c), rd(c == Content::Show ? quixo::Device() : own) {}
    Content content;
    RenderDevice own{};
    RenderDevice& rd;  // the show's record is the runtime's, the global one
    SwapChain swapChain;
    Runtime runtime;
    std::uint32_t width = 0, height = 0;
};

// The render layer keeps one GPU state per process, so there is one harness: opened at
// width × height with `content` on first use and opened again (on a new swap chain) when a
// test asks for another size or content. Tests that share the context with other drawing
// rebind the long-lived state themselves (RebindLongLivedState).
RenderHarness& OpenRenderer(std::uint32_t width, std::uint32_t height,
                            Content content = Content::Renderer);

// The clock as the main loop reads it at global frame `frame`: the first music position whose
// reading is that frame.
ClockReading ClockAt(std::int32_t frame);

// One frame of the main loop on the show: clock stored, graph evaluated, frame drawn and
// presented.
void PlayFrame(RenderHarness& show, std::int32_t frame);

}  // namespace quixo::gfx::test
