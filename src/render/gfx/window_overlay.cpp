#include "render/gfx/window_overlay.h"

#include <string>

#include "render/gfx/gl.h"

namespace quixo::gfx {

void ReleaseWindowOverlay(Device& device, WindowOverlay& overlay) {
    DeleteObject(device, ObjectKind::Framebuffer, overlay.framebuffer);
    DeleteObject(device, ObjectKind::Texture, overlay.texture);
    overlay = {};
}

bool DrawWindowOverlay(Device& device, WindowOverlay& overlay, const std::uint8_t* rgba, int width,
                       int height, int x, int y, int windowHeight) {
    if (width <= 0 || height <= 0) return true;
    if (overlay.width != width || overlay.height != height) {
        // Texture storage is immutable: a panel of another size gets a new texture.
        ReleaseWindowOverlay(device, overlay);
        const auto describe = [&] {
            return "overlay of " + std::to_string(width) + " x " + std::to_string(height);
        };
        BeginCreation(device);
        glCreateTextures(GL_TEXTURE_2D, 1, &overlay.texture);
        glTextureStorage2D(overlay.texture, 1, GL_RGBA8, width, height);
        if (!EndCreation(device, ObjectKind::Texture, overlay.texture, describe)) return false;
        BeginCreation(device);
        glCreateFramebuffers(1, &overlay.framebuffer);
        glNamedFramebufferTexture(overlay.framebuffer, GL_COLOR_ATTACHMENT0, overlay.texture, 0);
        if (!EndCreation(device, ObjectKind::Framebuffer, overlay.framebuffer, describe)) {
            ReleaseWindowOverlay(device, overlay);
            return false;
        }
        overlay.width = width;
        overlay.height = height;
    }
    glTextureSubImage2D(overlay.texture, 0, 0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
    // Texture row 0 is the image's top; the window's row 0 is its bottom, so the copy flips.
    glDisable(GL_SCISSOR_TEST);
    glBlitNamedFramebuffer(overlay.framebuffer, 0, 0, 0, width, height, x, windowHeight - y,
                           x + width, windowHeight - y - height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    return true;
}

void DrawIntoWindow(void (*draw)(void*), void* user) {
    GLint bound = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &bound);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    draw(user);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(bound));
}

}  // namespace quixo::gfx
