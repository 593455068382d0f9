#include "render/gfx/headless.h"

namespace quixo::gfx {

bool StartHeadless(HeadlessGraphics& graphics, std::uint32_t width, std::uint32_t height,
                   std::string& error, bool debugOutput) {
    if (!StartHeadlessContext(graphics.gl, error, debugOutput)) return false;
    if (!CreateDevice(graphics.device, error, debugOutput)) return false;
    if (!CreateDeviceContext(graphics.device, graphics.context)) {
        error = "cannot create the device context: " + graphics.device.lastError;
        return false;
    }
    if (!CreateSwapChain(graphics.device, {width, height, Format::R8G8B8A8_UNORM}, nullptr,
                         graphics.swapChain)) {
        error = "cannot create the swap chain: " + graphics.device.lastError;
        return false;
    }
    return true;
}

void StopHeadless(HeadlessGraphics& graphics) {
    if (graphics.device.created) {
        ReleaseSwapChain(graphics.device, graphics.swapChain);
        ReleaseDeviceContext(graphics.context);
    }
    StopHeadlessContext(graphics.gl);
}

}  // namespace quixo::gfx
