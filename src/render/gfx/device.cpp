#include "render/gfx/device.h"

#include <cstdlib>
#include <cstring>

#include "render/gfx/gl.h"

namespace quixo::gfx {

namespace {

constexpr std::size_t kKeptErrors = 32;

void RecordError(Device& device, const std::string& text) {
    ++device.glErrorCount;
    if (device.errors.size() < kKeptErrors) device.errors.push_back(text);
}

void APIENTRY OnDebugMessage(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length,
                             const GLchar* message, const void* user) {
    (void)source;
    (void)id;
    (void)severity;
    if (type != GL_DEBUG_TYPE_ERROR) return;
    auto& device = *static_cast<Device*>(const_cast<void*>(user));
    RecordError(device, std::string(message, length > 0 ? static_cast<std::size_t>(length)
                                                        : std::strlen(message)));
}

}  // namespace

GlFormat GlFormatOf(Format format) {
    switch (format) {
        case Format::R8G8B8A8_UNORM:
            return {GL_RGBA8, GL_RGBA, GL_UNSIGNED_BYTE, 4};
        case Format::B8G8R8A8_UNORM:
            return {GL_RGBA8, GL_BGRA, GL_UNSIGNED_BYTE, 4};
        case Format::R16G16B16A16_FLOAT:
            return {GL_RGBA16F, GL_RGBA, GL_HALF_FLOAT, 8};
        case Format::R32G32B32A32_FLOAT:
            return {GL_RGBA32F, GL_RGBA, GL_FLOAT, 16};
        case Format::D24_UNORM_S8_UINT:
            return {GL_DEPTH24_STENCIL8, GL_DEPTH_STENCIL, GL_UNSIGNED_INT_24_8, 4};
        default:
            return {0, 0, 0, 0};
    }
}

GLenum GlComparison(ComparisonFunc func) {
    switch (func) {
        case ComparisonFunc::Never:
            return GL_NEVER;
        case ComparisonFunc::Less:
            return GL_LESS;
        case ComparisonFunc::Equal:
            return GL_EQUAL;
        case ComparisonFunc::LessEqual:
            return GL_LEQUAL;
        case ComparisonFunc::Greater:
            return GL_GREATER;
        case ComparisonFunc::NotEqual:
            return GL_NOTEQUAL;
        case ComparisonFunc::GreaterEqual:
            return GL_GEQUAL;
        default:
            return GL_ALWAYS;
    }
}

bool DebugOutputRequested() {
    const char* value = std::getenv("QUIXO_GL_DEBUG");
    return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
}

bool CreateDevice(Device& device, std::string& error, bool debugOutput) {
    GLint major = 0, minor = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    if (major * 10 + minor < 45) {
        error = "OpenGL 4.5 is required, the context offers " + std::to_string(major) + "." +
                std::to_string(minor);
        return false;
    }
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    device.renderer = renderer ? renderer : "";

    if (debugOutput) {
        glEnable(GL_DEBUG_OUTPUT);
        glEnable(GL_DEBUG_OUTPUT_SYNCHRONOUS);
        glDebugMessageCallback(OnDebugMessage, &device);
        device.debugOutput = glIsEnabled(GL_DEBUG_OUTPUT) == GL_TRUE;
    } else {
        glDisable(GL_DEBUG_OUTPUT);
        device.debugOutput = false;
    }

    // Direct3D's conventions: clip y = +1 is the first row, depth 0..1. Rendering only into
    // textures makes that first row row 0 of memory, which is also what uploads and read-backs
    // see.
    glClipControl(GL_UPPER_LEFT, GL_ZERO_TO_ONE);
    glDisable(GL_DITHER);
    glEnable(GL_TEXTURE_CUBE_MAP_SEAMLESS);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    device.created = true;
    return true;
}

std::uint64_t GlErrorCount(Device& device) {
    // With debug output on, the callback has already counted what glGetError still holds.
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        if (!device.debugOutput) RecordError(device, "glGetError " + std::to_string(e));
    }
    return device.glErrorCount;
}

std::string GlErrorText(const Device& device) {
    std::string text;
    for (const auto& e : device.errors) text += e + "\n";
    return text;
}

}  // namespace quixo::gfx
