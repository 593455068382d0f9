#pragma once
// A GL 4.5 core context without any window (EGL on the surfaceless platform): what tests and
// quixo-tool render with. HeadlessContext is the bare context, for callers that make their own
// device on it (the show's runtime); HeadlessGraphics adds the device, its context and a swap
// chain whose Present only submits.
#include <cstdint>
#include <string>

#include "render/gfx/context.h"
#include "render/gfx/device.h"
#include "render/gfx/swap_chain.h"

namespace quixo::gfx {

struct HeadlessContext {
    void* display = nullptr;    // EGLDisplay
    void* glContext = nullptr;  // EGLContext
};

// Makes a context current on the calling thread; a debug context when debugOutput is set. On
// failure the error says why.
[[nodiscard]] bool StartHeadlessContext(HeadlessContext& context, std::string& error,
                                        bool debugOutput = true);
void StopHeadlessContext(HeadlessContext& context);

struct HeadlessGraphics {
    HeadlessContext gl;
    Device device;
    DeviceContext context;
    SwapChain swapChain;
};

// The context, then the device, its context and a width × height swap chain. On failure the
// error says why. Tests and tools keep synchronous debug output; a caller that times frames as
// the demo runs them turns it off.
[[nodiscard]] bool StartHeadless(HeadlessGraphics& graphics, std::uint32_t width,
                                 std::uint32_t height, std::string& error, bool debugOutput = true);

// Releases the swap chain and the device context, then the GL context.
void StopHeadless(HeadlessGraphics& graphics);

}  // namespace quixo::gfx
