#pragma once
// An image copied over what the window shows, after the frame has been presented into the
// default framebuffer and before the buffers are swapped: how the tools put a status panel on
// top of the picture without touching the frame the show rendered.
#include <cstdint>

#include "render/gfx/device.h"

namespace quixo::gfx {

struct WindowOverlay {
    std::uint32_t texture = 0;      // GL texture holding the image
    std::uint32_t framebuffer = 0;  // read framebuffer with the texture attached
    int width = 0, height = 0;      // the texture's size
};

// Uploads width × height RGBA8 pixels (rows top first) and copies them to the window's
// framebuffer with their top-left corner at (x, y) from the window's top-left; windowHeight is
// the framebuffer's height. The GL context of the window must be current. Call it from the
// swap step of a PresentTarget. False, with the reason in device.lastError, when the texture
// for an image of a new size cannot be made.
[[nodiscard]] bool DrawWindowOverlay(Device& device, WindowOverlay& overlay,
                                     const std::uint8_t* rgba, int width, int height, int x, int y,
                                     int windowHeight);

// Runs another library's GL drawing (the tools' GUI) into the window's framebuffer: called from
// the swap step like DrawWindowOverlay, with the window's framebuffer bound for drawing, and the
// device context's own binding put back after it.
void DrawIntoWindow(void (*draw)(void*), void* user);

// Frees the overlay's GL objects.
void ReleaseWindowOverlay(Device& device, WindowOverlay& overlay);

}  // namespace quixo::gfx
