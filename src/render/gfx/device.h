#pragma once
// The device: the GL context's capabilities and the error bookkeeping every test asserts on.
// The device works on the GL 4.5 core context that is current on the calling thread (the
// window's or the headless one); it is created once and lives as long as that context.
#include <cstdint>
#include <string>
#include <vector>

namespace quixo::gfx {

// The kinds of GL object the layer makes; each is counted while it lives.
enum class ObjectKind : std::uint32_t {
    Buffer,
    Texture,
    Framebuffer,
    VertexArray,
    Program,
    ProgramPipeline,
    Sampler,
    Query,
    Sync,
    Count,
};
inline constexpr std::uint32_t kObjectKinds = static_cast<std::uint32_t>(ObjectKind::Count);

struct Device {
    bool created = false;
    bool debugOutput = false;         // errors arrive through the debug callback
    std::uint64_t glErrorCount = 0;   // every GL error seen so far
    std::vector<std::string> errors;  // the first errors' texts, for failure messages
    std::string renderer;             // GL_RENDERER, for reports
    // GL objects made through this device and not yet released, by kind.
    std::uint32_t live[kObjectKinds] = {};
    // Why the last creation that failed failed: the object, its description and GL's error.
    std::string lastError;
};

// Checks for GL 4.5 and switches on Direct3D's clip conventions (top-left origin, depth 0 to 1).
// With debugOutput, GL reports every error through a synchronous callback as it happens (tests
// and tools); it costs time on every call and keeps a driver from working on its own thread,
// so the demo goes without unless asked (DebugOutputRequested) and counts errors with
// glGetError instead. Returns false with a reason when the context cannot serve.
[[nodiscard]] bool CreateDevice(Device& device, std::string& error, bool debugOutput);

// The device is done with its GL context: the debug callback is taken away (it points at this
// record). Whatever it made must have been released first; LiveObjectCount tells.
void ReleaseDevice(Device& device);

// True when the environment variable QUIXO_GL_DEBUG is set to anything but "" or "0".
bool DebugOutputRequested();

// Every GL error so far, including ones still pending in glGetError.
std::uint64_t GlErrorCount(Device& device);

// The recorded error texts joined by newlines (empty when there were none).
std::string GlErrorText(const Device& device);

// Every GL object the device has made and not released.
std::uint32_t LiveObjectCount(const Device& device);

// The live objects by kind, such as "2 buffers, 1 texture" ("none" when there are none).
std::string LiveObjectSummary(const Device& device);

// For tests, GL's own answer: how many objects of the kinds the layer makes have names
// 1..highestName (each kind has its own names; fences have none and are not counted).
std::uint32_t GlObjectsNamed(std::uint32_t highestName);

}  // namespace quixo::gfx
