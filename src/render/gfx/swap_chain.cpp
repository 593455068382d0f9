#include "render/gfx/swap_chain.h"

#include <algorithm>

#include "render/gfx/gl.h"

namespace quixo::gfx {

PresentRect FitPresentRect(std::uint32_t sourceWidth, std::uint32_t sourceHeight,
                           std::int32_t windowWidth, std::int32_t windowHeight) {
    if (sourceWidth == 0 || sourceHeight == 0 || windowWidth <= 0 || windowHeight <= 0) {
        return {0, 0, 0, 0};
    }
    // Compare w/W against h/H in integers: the tighter axis fills the window.
    const std::int64_t sw = sourceWidth, sh = sourceHeight;
    PresentRect r{0, 0, windowWidth, windowHeight};
    if (windowWidth * sh > windowHeight * sw) {
        r.width = static_cast<std::int32_t>(windowHeight * sw / sh);
        r.x = (windowWidth - r.width) / 2;
    } else {
        r.height = static_cast<std::int32_t>(windowWidth * sh / sw);
        r.y = (windowHeight - r.height) / 2;
    }
    return r;
}

bool CreateSwapChain(Device& device, const SwapChainDesc& desc, const PresentTarget* target,
                     SwapChain& swapChain) {
    Texture2DDesc back;
    back.width = desc.width;
    back.height = desc.height;
    back.format = desc.format;
    back.bindFlags = BindRenderTarget | BindShaderResource;
    swapChain = SwapChain{};
    if (!CreateTexture2D(device, back, nullptr, swapChain.backBuffer)) return false;
    if (target) swapChain.target = *target;
    BeginCreation(device);
    glCreateFramebuffers(1, &swapChain.readFramebuffer);
    glNamedFramebufferTexture(swapChain.readFramebuffer, GL_COLOR_ATTACHMENT0,
                              swapChain.backBuffer.name, 0);
    glNamedFramebufferReadBuffer(swapChain.readFramebuffer, GL_COLOR_ATTACHMENT0);
    if (!EndCreation(device, ObjectKind::Framebuffer, swapChain.readFramebuffer,
                     [] { return "read framebuffer of the swap chain"; })) {
        ReleaseTexture2D(device, swapChain.backBuffer);
        return false;
    }
    return true;
}

void ReleaseSwapChain(Device& device, SwapChain& swapChain) {
    DeleteObject(device, ObjectKind::Framebuffer, swapChain.readFramebuffer);
    ReleaseTexture2D(device, swapChain.backBuffer);
    swapChain = SwapChain{};
}

void Present(DeviceContext& context, SwapChain& swapChain, int syncInterval) {
    ++swapChain.presentCount;
    const PresentTarget& target = swapChain.target;
    if (!target.swap || !target.drawableSize) {
        Flush(context);
        return;
    }
    int w = 0, h = 0;
    target.drawableSize(target.window, &w, &h);
    const auto& back = swapChain.backBuffer.desc;
    const PresentRect r = FitPresentRect(back.width, back.height, w, h);
    // The blit and the clear of the bars obey the scissor and the colour mask.
    glDisable(GL_SCISSOR_TEST);
    glColorMaski(0, GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glClearNamedFramebufferfv(0, GL_COLOR, 0, black);
    // Row 0 of the back buffer is the top of the image; the window's row 0 is its bottom.
    glBlitNamedFramebuffer(swapChain.readFramebuffer, 0, 0, 0, static_cast<GLint>(back.width),
                           static_cast<GLint>(back.height), r.x, h - r.y, r.x + r.width,
                           h - r.y - r.height, GL_COLOR_BUFFER_BIT, GL_LINEAR);
    target.swap(target.window, syncInterval);
    // Put back what the bound states say.
    ApplyBlendState(context.blend, nullptr);
    if (context.rasterizer && context.rasterizer->desc.scissorEnable) glEnable(GL_SCISSOR_TEST);
}

std::vector<std::uint8_t> ReadWindowPixels(std::int32_t width, std::int32_t height) {
    const auto w = static_cast<std::size_t>(width), h = static_cast<std::size_t>(height);
    std::vector<std::uint8_t> bottomUp(w * h * 4), rows(w * h * 4);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, 0);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
    for (std::size_t y = 0; y < h; ++y) {
        std::copy_n(&bottomUp[(h - 1 - y) * w * 4], w * 4, &rows[y * w * 4]);
    }
    return rows;
}

}  // namespace quixo::gfx
