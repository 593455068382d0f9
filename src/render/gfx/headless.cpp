#include "render/gfx/headless.h"

namespace quixo::gfx {

bool StartHeadless(HeadlessGraphics& graphics, std::uint32_t width, std::uint32_t height,
                   std::string& error, bool debugOutput) {
    if (!MakeHeadlessContext(graphics, debugOutput, error)) return false;
    if (!CreateDevice(graphics.device, error, debugOutput)) return false;
    if (!CreateDeviceContext(graphics.device, graphics.context)) {
        error = "cannot create the device context";
        return false;
    }
    if (!CreateSwapChain(graphics.device, {width, height, Format::R8G8B8A8_UNORM}, nullptr,
                         graphics.swapChain)) {
        error = "cannot create the swap chain";
        return false;
    }
    return true;
}

void StopHeadless(HeadlessGraphics& graphics) {
    DestroyHeadlessContext(graphics);
}

}  // namespace quixo::gfx
