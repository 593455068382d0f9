#pragma once
// 2D textures and their views. Views name the texture storage they look at, so the context can
// tell when one resource is bound both for output and as an input.
#include <cstdint>
#include <string>
#include <vector>

#include "render/gfx/device.h"
#include "render/gfx/types.h"

namespace quixo::gfx {

struct Texture2DDesc {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t mipLevels = 1;  // 0: the full chain down to 1 × 1
    Format format = Format::Unknown;
    Usage usage = Usage::Default;
    std::uint32_t bindFlags = 0;
    std::uint32_t miscFlags = 0;
};

struct Texture2D {
    std::uint32_t name = 0;  // GL texture
    Texture2DDesc desc;      // mipLevels is the real count
};

// A view of mip levels [firstMip, firstMip + mipCount) of a texture.
struct ShaderResourceView {
    std::uint32_t name = 0;      // what is bound to a texture unit (the texture or a GL view)
    std::uint32_t resource = 0;  // the texture's storage
    std::uint32_t firstMip = 0;
    std::uint32_t mipCount = 0;
};

struct RenderTargetView {
    std::uint32_t resource = 0;
    std::uint32_t mip = 0;
    std::uint32_t width = 0, height = 0;
};

struct DepthStencilView {
    std::uint32_t resource = 0;
    std::uint32_t width = 0, height = 0;
};

// Number of levels of a full mip chain for a w × h texture.
std::uint32_t FullMipCount(std::uint32_t width, std::uint32_t height);

// Creates the texture; initialTop (optional) holds mip 0, rows tightly packed, row 0 first.
// Every creation here returns false with the reason in device.lastError when it fails.
[[nodiscard]] bool CreateTexture2D(Device& device, const Texture2DDesc& desc,
                                   const void* initialTop, Texture2D& texture);
void ReleaseTexture2D(Device& device, Texture2D& texture);

// "texture 1920 x 1080, B8G8R8A8_UNORM, full mip chain", for messages.
std::string DescribeTexture(const Texture2DDesc& desc);

// Replaces mip level `mip` of the texture; rows tightly packed, row 0 first.
void WriteTextureLevel(const Texture2D& texture, std::uint32_t mip, const void* pixels);

// Whole texture when mipCount is 0, else the given range.
[[nodiscard]] bool CreateShaderResourceView(Device& device, const Texture2D& texture,
                                            ShaderResourceView& view, std::uint32_t firstMip = 0,
                                            std::uint32_t mipCount = 0);
// Releases the GL view a mip range needed; a view of the whole texture goes with the texture.
void ReleaseShaderResourceView(Device& device, ShaderResourceView& view);
// Render-target and depth-stencil views are descriptions of the texture they look at: nothing
// to release.
[[nodiscard]] bool CreateRenderTargetView(Device& device, const Texture2D& texture,
                                          RenderTargetView& view, std::uint32_t mip = 0);
[[nodiscard]] bool CreateDepthStencilView(Device& device, const Texture2D& texture,
                                          DepthStencilView& view);

// Rebuilds every level below the view's first from it.
void GenerateMips(const ShaderResourceView& view);

// Reads one mip level of a colour texture as RGBA floats, row 0 first (tests and tools).
std::vector<float> ReadTexturePixels(const Texture2D& texture, std::uint32_t mip = 0);

}  // namespace quixo::gfx
