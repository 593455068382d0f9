#pragma once
// A GL 4.5 core context that shows nothing (EGL on the surfaceless platform on Linux, a hidden
// window's WGL context on Windows), with the device, its context and a swap chain whose Present
// only submits: what tests and quixo-tool render with.
#include <string>

#include "render/gfx/context.h"
#include "render/gfx/device.h"
#include "render/gfx/swap_chain.h"

namespace quixo::gfx {

struct HeadlessGraphics {
    void* display = nullptr;    // EGLDisplay; the hidden window's device context on Windows
    void* glContext = nullptr;  // EGLContext; HGLRC on Windows
    void* window = nullptr;     // the hidden window on Windows
    Device device;
    DeviceContext context;
    SwapChain swapChain;
};

// Makes the context current on the calling thread and creates the device, its context and a
// width × height swap chain. On failure the error says why. Tests and tools keep synchronous
// debug output; a caller that times frames as the demo runs them turns it off.
bool StartHeadless(HeadlessGraphics& graphics, std::uint32_t width, std::uint32_t height,
                   std::string& error, bool debugOutput = true);

void StopHeadless(HeadlessGraphics& graphics);

// The system's part: the context made and current on the calling thread, and its end.
bool MakeHeadlessContext(HeadlessGraphics& graphics, bool debugOutput, std::string& error);
void DestroyHeadlessContext(HeadlessGraphics& graphics);

}  // namespace quixo::gfx
