#include "render/gfx/texture.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height) {
    std::uint32_t levels = 1;
    for (std::uint32_t size = width > height ? width : height; size > 1; size >>= 1) ++levels;
    return levels;
}

bool CreateTexture2D(Device& device, const Texture2DDesc& desc, const void* initialTop,
                     Texture2D& texture) {
    (void)device;
    const GlFormat gl = GlFormatOf(desc.format);
    if (gl.internalFormat == 0 || desc.width == 0 || desc.height == 0) return false;
    texture.desc = desc;
    const std::uint32_t full = FullMipCount(desc.width, desc.height);
    texture.desc.mipLevels = desc.mipLevels == 0 || desc.mipLevels > full ? full : desc.mipLevels;
    glCreateTextures(GL_TEXTURE_2D, 1, &texture.name);
    glTextureStorage2D(texture.name, static_cast<GLsizei>(texture.desc.mipLevels),
                       gl.internalFormat, static_cast<GLsizei>(desc.width),
                       static_cast<GLsizei>(desc.height));
    if (initialTop) {
        glTextureSubImage2D(texture.name, 0, 0, 0, static_cast<GLsizei>(desc.width),
                            static_cast<GLsizei>(desc.height), gl.uploadFormat, gl.uploadType,
                            initialTop);
    }
    return texture.name != 0;
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
    (void)device;
    const std::uint32_t levels = texture.desc.mipLevels;
    if (texture.name == 0 || firstMip >= levels) return false;
    if (mipCount == 0 || firstMip + mipCount > levels) mipCount = levels - firstMip;
    view.resource = texture.name;
    view.firstMip = firstMip;
    view.mipCount = mipCount;
    if (firstMip == 0 && mipCount == levels) {
        view.name = texture.name;
        return true;
    }
    // A GL texture view limits sampling to the range, as a Direct3D view does.
    glGenTextures(1, &view.name);
    glTextureView(view.name, GL_TEXTURE_2D, texture.name,
                  GlFormatOf(texture.desc.format).internalFormat, firstMip, mipCount, 0, 1);
    return view.name != 0;
}

bool CreateRenderTargetView(Device& device, const Texture2D& texture, RenderTargetView& view,
                            std::uint32_t mip) {
    (void)device;
    if (texture.name == 0 || mip >= texture.desc.mipLevels) return false;
    view.resource = texture.name;
    view.mip = mip;
    view.width = texture.desc.width >> mip ? texture.desc.width >> mip : 1;
    view.height = texture.desc.height >> mip ? texture.desc.height >> mip : 1;
    return true;
}

bool CreateDepthStencilView(Device& device, const Texture2D& texture, DepthStencilView& view) {
    (void)device;
    if (texture.name == 0 || texture.desc.format != Format::D24_UNORM_S8_UINT) return false;
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
