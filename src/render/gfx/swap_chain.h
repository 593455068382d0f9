#pragma once
// The swap chain: the back buffer is an off-screen texture, and Present copies it into the
// window with a vertical flip (GL windows count rows from the bottom), scaled to fit with its
// aspect kept and black bars around. The window is reached through PresentTarget, so that the
// layer knows no window system; without a target Present only submits the frame.
#include <cstdint>
#include <vector>

#include "render/gfx/context.h"
#include "render/gfx/texture.h"

namespace quixo::gfx {

struct PresentTarget {
    void* window = nullptr;
    // The drawable size of the window in pixels.
    void (*drawableSize)(void* window, int* width, int* height) = nullptr;
    // Shows the window's default framebuffer; syncInterval 1 waits for the vertical blank.
    void (*swap)(void* window, int syncInterval) = nullptr;
};

struct SwapChainDesc {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    Format format = Format::R8G8B8A8_UNORM;
};

struct SwapChain {
    Texture2D backBuffer;
    PresentTarget target;
    std::uint32_t readFramebuffer = 0;
    std::uint64_t presentCount = 0;
};

// Where the back buffer lands in a window of the given size: the largest centred rectangle
// with the back buffer's aspect ratio.
struct PresentRect {
    std::int32_t x, y, width, height;
};
PresentRect FitPresentRect(std::uint32_t sourceWidth, std::uint32_t sourceHeight,
                           std::int32_t windowWidth, std::int32_t windowHeight);

// False, with the reason in device.lastError, when the back buffer cannot be made.
[[nodiscard]] bool CreateSwapChain(Device& device, const SwapChainDesc& desc,
                                   const PresentTarget* target, SwapChain& swapChain);
void ReleaseSwapChain(Device& device, SwapChain& swapChain);

// Buffer 0, for a render-target view.
inline const Texture2D& GetBuffer(const SwapChain& swapChain) {
    return swapChain.backBuffer;
}

void Present(DeviceContext& context, SwapChain& swapChain, int syncInterval);

// For tests: what the window's default framebuffer holds (read before the swap shows it), as
// RGBA8 with rows top first.
std::vector<std::uint8_t> ReadWindowPixels(std::int32_t width, std::int32_t height);

}  // namespace quixo::gfx
