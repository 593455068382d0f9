#pragma once
// The only place the GL API is included; private to render/gfx. Every GL function comes through
// libepoxy, which looks each one up in the current context's driver on first use: the same path
// on Linux and on Windows, whose opengl32 exports only GL 1.1.
#include <epoxy/gl.h>

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

}  // namespace quixo::gfx
