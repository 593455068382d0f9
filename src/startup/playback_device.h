#pragma once
// The window and the graphics device the show plays on, opened the same way by the demo and by
// the authoring preview.
#include <string>

#include "platform/window.h"
#include "render/gfx/context.h"
#include "render/gfx/device.h"
#include "render/gfx/swap_chain.h"

namespace quixo {

struct PlaybackDevice {
    PlaybackWindow* window = nullptr;
    gfx::Device device;
    gfx::DeviceContext context;
    gfx::SwapChain swapChain;  // back buffer of width × height, presented into the window
};

// Opens the playback window (see OpenPlaybackWindow) and a device whose swap chain presents
// into it, calling `swap` with the window to show each frame. False with the reason in error.
bool OpenPlaybackDevice(int width, int height, bool fullScreen,
                        void (*swap)(void* window, int syncInterval), PlaybackDevice& out,
                        std::string& error);

}  // namespace quixo
