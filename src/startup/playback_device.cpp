#include "startup/playback_device.h"

namespace quixo {

namespace {

void PresentDrawableSize(void* window, int* width, int* height) {
    const WindowSize size = DrawableSize(static_cast<PlaybackWindow*>(window));
    *width = size.width;
    *height = size.height;
}

}  // namespace

bool OpenPlaybackDevice(int width, int height, bool fullScreen,
                        void (*swap)(void* window, int syncInterval), PlaybackDevice& out,
                        std::string& error) {
    out.window = OpenPlaybackWindow(width, height, fullScreen, error);
    if (out.window == nullptr) return false;
    // The demo without synchronous debug output unless QUIXO_GL_DEBUG asks for it.
    if (!gfx::CreateDevice(out.device, error, gfx::DebugOutputRequested())) return false;
    if (!gfx::CreateDeviceContext(out.device, out.context)) {
        error = "cannot set up the graphics context";
        return false;
    }
    const gfx::PresentTarget target{out.window, PresentDrawableSize, swap};
    const gfx::SwapChainDesc desc{static_cast<std::uint32_t>(width),
                                  static_cast<std::uint32_t>(height)};
    if (!gfx::CreateSwapChain(out.device, desc, &target, out.swapChain)) {
        error = "cannot create the swap chain";
        return false;
    }
    return true;
}

}  // namespace quixo
