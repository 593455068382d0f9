#pragma once
// The device: the GL context's capabilities and the error bookkeeping every test asserts on.
// The device works on the GL 4.5 core context that is current on the calling thread (the
// window's or the headless one); it is created once and lives as long as that context.
#include <cstdint>
#include <string>
#include <vector>

namespace quixo::gfx {

struct Device {
    bool created = false;
    bool debugOutput = false;         // errors arrive through the debug callback
    std::uint64_t glErrorCount = 0;   // every GL error seen so far
    std::vector<std::string> errors;  // the first errors' texts, for failure messages
    std::string renderer;             // GL_RENDERER, for reports
};

// Checks for GL 4.5 and switches on Direct3D's clip conventions (top-left origin, depth 0 to 1).
// With debugOutput, GL reports every error through a synchronous callback as it happens (tests
// and tools); it costs time on every call and keeps a driver from working on its own thread,
// so the demo goes without unless asked (DebugOutputRequested) and counts errors with
// glGetError instead. Returns false with a reason when the context cannot serve.
bool CreateDevice(Device& device, std::string& error, bool debugOutput);

// True when the environment variable QUIXO_GL_DEBUG is set to anything but "" or "0".
bool DebugOutputRequested();

// Every GL error so far, including ones still pending in glGetError.
std::uint64_t GlErrorCount(Device& device);

// The recorded error texts joined by newlines (empty when there were none).
std::string GlErrorText(const Device& device);

}  // namespace quixo::gfx
