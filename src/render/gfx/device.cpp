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

std::string GlErrorName(GLenum error) {
    switch (error) {
        case GL_INVALID_ENUM:
            return "GL_INVALID_ENUM";
        case GL_INVALID_VALUE:
            return "GL_INVALID_VALUE";
        case GL_INVALID_OPERATION:
            return "GL_INVALID_OPERATION";
        case GL_INVALID_FRAMEBUFFER_OPERATION:
            return "GL_INVALID_FRAMEBUFFER_OPERATION";
        case GL_OUT_OF_MEMORY:
            return "GL_OUT_OF_MEMORY";
        case GL_STACK_OVERFLOW:
            return "GL_STACK_OVERFLOW";
        case GL_STACK_UNDERFLOW:
            return "GL_STACK_UNDERFLOW";
        case GL_CONTEXT_LOST:
            return "GL_CONTEXT_LOST";
        default:
            return "GL error " + std::to_string(error);
    }
}

const char* FormatName(Format format) {
    switch (format) {
        case Format::R32G32B32A32_FLOAT:
            return "R32G32B32A32_FLOAT";
        case Format::R16G16B16A16_FLOAT:
            return "R16G16B16A16_FLOAT";
        case Format::R8G8B8A8_UNORM:
            return "R8G8B8A8_UNORM";
        case Format::D24_UNORM_S8_UINT:
            return "D24_UNORM_S8_UINT";
        case Format::B8G8R8A8_UNORM:
            return "B8G8R8A8_UNORM";
        default:
            return "UNKNOWN";
    }
}

void BeginCreation(Device& device) {
    // With debug output the callback has counted these already; without, they are counted
    // here, as GlErrorCount would.
    for (GLenum e = glGetError(); e != GL_NO_ERROR; e = glGetError()) {
        if (!device.debugOutput) RecordError(device, "glGetError " + std::to_string(e));
    }
}

bool FailCreation(Device& device, ObjectKind kind, GLuint& name, GLenum error,
                  const std::string& description) {
    if (error != GL_NO_ERROR && !device.debugOutput) {
        RecordError(device, "glGetError " + std::to_string(error));
    }
    device.lastError =
        description + ": " + (error != GL_NO_ERROR ? GlErrorName(error) : "GL made no object");
    if (name != 0) {
        // Counted alive first, so that the deletion's count balances.
        ++device.live[static_cast<std::uint32_t>(kind)];
        DeleteObject(device, kind, name);
    }
    return false;
}

bool RefuseCreation(Device& device, const std::string& description, const std::string& reason) {
    device.lastError = description + ": " + reason;
    return false;
}

void DeleteObject(Device& device, ObjectKind kind, GLuint& name) {
    if (name == 0) return;
    switch (kind) {
        case ObjectKind::Buffer:
            glDeleteBuffers(1, &name);
            break;
        case ObjectKind::Texture:
            glDeleteTextures(1, &name);
            break;
        case ObjectKind::Framebuffer:
            glDeleteFramebuffers(1, &name);
            break;
        case ObjectKind::VertexArray:
            glDeleteVertexArrays(1, &name);
            break;
        case ObjectKind::Program:
            glDeleteProgram(name);
            break;
        case ObjectKind::ProgramPipeline:
            glDeleteProgramPipelines(1, &name);
            break;
        case ObjectKind::Sampler:
            glDeleteSamplers(1, &name);
            break;
        case ObjectKind::Query:
            glDeleteQueries(1, &name);
            break;
        case ObjectKind::Sync:
        case ObjectKind::Count:
            return;  // fences are pointers, released where they are kept
    }
    --device.live[static_cast<std::uint32_t>(kind)];
    name = 0;
}

std::uint32_t LiveObjectCount(const Device& device) {
    std::uint32_t total = 0;
    for (std::uint32_t n : device.live) total += n;
    return total;
}

std::string LiveObjectSummary(const Device& device) {
    static const char* const kNames[kObjectKinds] = {"buffer",       "texture", "framebuffer",
                                                     "vertex array", "program", "program pipeline",
                                                     "sampler",      "query",   "fence"};
    std::string text;
    for (std::uint32_t k = 0; k < kObjectKinds; ++k) {
        if (device.live[k] == 0) continue;
        if (!text.empty()) text += ", ";
        text += std::to_string(device.live[k]) + " " + kNames[k] + (device.live[k] > 1 ? "s" : "");
    }
    return text.empty() ? "none" : text;
}

std::uint32_t GlObjectsNamed(std::uint32_t highestName) {
    // Each kind has names of its own: name 1 may be a buffer and a texture at once.
    std::uint32_t count = 0;
    for (GLuint name = 1; name <= highestName; ++name) {
        count += glIsBuffer(name) + glIsTexture(name) + glIsFramebuffer(name) +
                 glIsVertexArray(name) + glIsProgram(name) + glIsProgramPipeline(name) +
                 glIsSampler(name) + glIsQuery(name);
    }
    return count;
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

void ReleaseDevice(Device& device) {
    if (!device.created) return;
    if (device.debugOutput) glDebugMessageCallback(nullptr, nullptr);
    device.created = false;
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
