#pragma once
// The only place the GL API is included; private to render/gfx.
#include <GL/glcorearb.h>

#include <string>

#include "render/gfx/device.h"
#include "render/gfx/types.h"

namespace quixo::gfx {

// Pixel-stage constant buffer slot N reads GL uniform block binding N + this; vertex slot N
// reads binding N.
constexpr GLuint kPixelConstantBase = 8;

struct GlFormat {
    GLenum internalFormat;  // storage
    GLenum uploadFormat;    // pixel data layout for uploads and read-backs
    GLenum uploadType;
    std::uint32_t bytesPerPixel;
};

// The GL storage of a Direct3D format; internalFormat 0 for formats textures cannot have.
GlFormat GlFormatOf(Format format);

GLenum GlComparison(ComparisonFunc func);

// "GL_OUT_OF_MEMORY" and the like.
std::string GlErrorName(GLenum error);

// "B8G8R8A8_UNORM" and the like, for failure messages.
const char* FormatName(Format format);

// Creation bookkeeping, the same for every kind of object. A creation begins by setting aside
// the errors GL still holds from earlier calls (counted as GlErrorCount counts them, not blamed
// on it) and ends by asking GL whether it failed.
void BeginCreation(Device& device);

// Ends the creation of `name`: with no GL error and a name, the object is counted alive and the
// result is true. Otherwise what was made is deleted and device.lastError says which object,
// as describe() gives it, and GL's error. The description is only made for a failure.
bool FailCreation(Device& device, ObjectKind kind, GLuint& name, GLenum error,
                  const std::string& description);
template <typename Describe>
bool EndCreation(Device& device, ObjectKind kind, GLuint& name, Describe describe) {
    const GLenum error = glGetError();
    if (name != 0 && error == GL_NO_ERROR) {
        ++device.live[static_cast<std::uint32_t>(kind)];
        return true;
    }
    return FailCreation(device, kind, name, error, describe());
}

// A creation refused before GL was asked: device.lastError = "<description>: <reason>".
bool RefuseCreation(Device& device, const std::string& description, const std::string& reason);

// Deletes the object when it has a name, counts it released and clears the name.
void DeleteObject(Device& device, ObjectKind kind, GLuint& name);

}  // namespace quixo::gfx
