#include "render/gfx/texture.h"

#include <string>

#include "render/gfx/gl.h"

namespace quixo::gfx {

std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height) {
    std::uint32_t levels = 1;
    for (std::uint32_t size = width > height ? width : height; size > 1; size >>= 1) ++levels;
    return levels;
}

std::string DescribeTexture(const Texture2DDesc& desc) {
    return "texture " + std::to_string(desc.width) + " x " + std::to_string(desc.height) + ", " +
           FormatName(desc.format) + ", " +
           (desc.mipLevels == 0 ? std::string("full mip chain")
                                : std::to_string(desc.mipLevels) + " mip level(s)");
}

bool CreateTexture2D(Device& device, const Texture2DDesc& desc, const void* initialTop,
                     Texture2D& texture) {
    texture = Texture2D{};
    const GlFormat gl = GlFormatOf(desc.format);
    if (gl.internalFormat == 0) {
        return RefuseCreation(device, DescribeTexture(desc), "no texture can have this format");
    }
    if (desc.width == 0 || desc.height == 0) {
        return RefuseCreation(device, DescribeTexture(desc), "a side of 0 texels");
    }
    texture.desc = desc;
    const std::uint32_t full = FullMipCount(desc.width, desc.height);
    texture.desc.mipLevels = desc.mipLevels == 0 || desc.mipLevels > full ? full : desc.mipLevels;
    BeginCreation(device);
    glCreateTextures(GL_TEXTURE_2D, 1, &texture.name);
    glTextureStorage2D(texture.name, static_cast<GLsizei>(texture.desc.mipLevels),
                       gl.internalFormat, static_cast<GLsizei>(desc.width),
                       static_cast<GLsizei>(desc.height));
    if (initialTop) {
        glTextureSubImage2D(texture.name, 0, 0, 0, static_cast<GLsizei>(desc.width),
                            static_cast<GLsizei>(desc.height), gl.uploadFormat, gl.uploadType,
                            initialTop);
    }
    return EndCreation(device, ObjectKind::Texture, texture.name,
                       [&] { return DescribeTexture(desc); });
}

void ReleaseTexture2D(Device& device, Texture2D& texture) {
    DeleteObject(device, ObjectKind::Texture, texture.name);
    texture = Texture2D{};
}

void WriteTextureLevel(const Texture2D& texture, std::uint32_t mip, const void* pixels) {
    const GlFormat gl = GlFormatOf(texture.desc.format);
    const std::uint32_t w = texture.desc.width >> mip ? texture.desc.width >> mip : 1;
    const std::uint32_t h = texture.desc.height >> mip ? texture.desc.height >> mip : 1;
    glTextureSubImage2D(texture.name, static_cast<GLint>(mip), 0, 0, static_cast<GLsizei>(w),
                        static_cast<GLsizei>(h), gl.uploadFormat, gl.uploadType, pixels);
}

bool CreateShaderResourceView(Device& device, const Texture2D& texture, ShaderResourceView& view,
                              std::uint32_t firstMip, std::uint32_t mipCount) {
    view = ShaderResourceView{};
    const std::uint32_t levels = texture.desc.mipLevels;
    const auto describe = [&] {
        return "shader resource view of mips " + std::to_string(firstMip) + ".. of a " +
               DescribeTexture(texture.desc);
    };
    if (texture.name == 0) return RefuseCreation(device, describe(), "the texture was not made");
    if (firstMip >= levels) return RefuseCreation(device, describe(), "no such mip level");
    if (mipCount == 0 || firstMip + mipCount > levels) mipCount = levels - firstMip;
    view.resource = texture.name;
    view.firstMip = firstMip;
    view.mipCount = mipCount;
    if (firstMip == 0 && mipCount == levels) {
        view.name = texture.name;
        return true;
    }
    // A GL texture view limits sampling to the range, as a Direct3D view does.
    BeginCreation(device);
    glGenTextures(1, &view.name);
    glTextureView(view.name, GL_TEXTURE_2D, texture.name,
                  GlFormatOf(texture.desc.format).internalFormat, firstMip, mipCount, 0, 1);
    return EndCreation(device, ObjectKind::Texture, view.name, describe);
}

void ReleaseShaderResourceView(Device& device, ShaderResourceView& view) {
    // A view of the whole texture is the texture itself, released with it.
    if (view.name != view.resource) DeleteObject(device, ObjectKind::Texture, view.name);
    view = ShaderResourceView{};
}

bool CreateRenderTargetView(Device& device, const Texture2D& texture, RenderTargetView& view,
                            std::uint32_t mip) {
    view = RenderTargetView{};
    const auto describe = [&] {
        return "render-target view of mip " + std::to_string(mip) + " of a " +
               DescribeTexture(texture.desc);
    };
    if (texture.name == 0) return RefuseCreation(device, describe(), "the texture was not made");
    if (mip >= texture.desc.mipLevels)
        return RefuseCreation(device, describe(), "no such mip level");
    view.resource = texture.name;
    view.mip = mip;
    view.width = texture.desc.width >> mip ? texture.desc.width >> mip : 1;
    view.height = texture.desc.height >> mip ? texture.desc.height >> mip : 1;
    return true;
}

bool CreateDepthStencilView(Device& device, const Texture2D& texture, DepthStencilView& view) {
    view = DepthStencilView{};
    const auto describe = [&] {
        return "depth-stencil view of a " + DescribeTexture(texture.desc);
    };
    if (texture.name == 0) return RefuseCreation(device, describe(), "the texture was not made");
    if (texture.desc.format != Format::D24_UNORM_S8_UINT)
        return RefuseCreation(device, describe(), "not a depth-stencil format");
    view.resource = texture.name;
    view.width = texture.desc.width;
    view.height = texture.desc.height;
    return true;
}

void GenerateMips(const ShaderResourceView& view) {
    if (view.name != 0) glGenerateTextureMipmap(view.name);
}

std::vector<float> ReadTexturePixels(const Texture2D& texture, std::uint32_t mip) {
    const std::uint32_t w = texture.desc.width >> mip ? texture.desc.width >> mip : 1;
    const std::uint32_t h = texture.desc.height >> mip ? texture.desc.height >> mip : 1;
    std::vector<float> pixels(static_cast<std::size_t>(w) * h * 4);
    glGetTextureImage(texture.name, static_cast<GLint>(mip), GL_RGBA, GL_FLOAT,
                      static_cast<GLsizei>(pixels.size() * sizeof(float)), pixels.data());
    return pixels;
}

}  // namespace quixo::gfx
