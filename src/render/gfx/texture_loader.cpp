#include "render/gfx/texture_loader.h"

#include <spng.h>

#include <algorithm>

namespace quixo::gfx {

namespace {

// The largest texture the device takes; also what keeps a corrupt header from asking for
// gigabytes.
constexpr std::uint32_t kMaxImageSide = 16384;

struct SpngContext {
    explicit SpngContext(int flags) : ctx(spng_ctx_new(flags)) {}
    ~SpngContext() { spng_ctx_free(ctx); }
    SpngContext(const SpngContext&) = delete;
    SpngContext& operator=(const SpngContext&) = delete;
    spng_ctx* ctx;
};

}  // namespace

bool DecodePng(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& error,
               bool verifyChecksums) {
    SpngContext png(verifyChecksums ? 0 : SPNG_CTX_IGNORE_ADLER32);
    if (!png.ctx) {
        error = "out of memory";
        return false;
    }
    int rc = spng_set_image_limits(png.ctx, kMaxImageSide, kMaxImageSide);
    if (rc == 0 && !verifyChecksums) rc = spng_set_crc_action(png.ctx, SPNG_CRC_USE, SPNG_CRC_USE);
    if (rc == 0) rc = spng_set_png_buffer(png.ctx, data, size);
    spng_ihdr header{};
    if (rc == 0) rc = spng_get_ihdr(png.ctx, &header);
    std::size_t bytes = 0;
    if (rc == 0) rc = spng_decoded_image_size(png.ctx, SPNG_FMT_RGBA8, &bytes);
    if (rc == 0) {
        image.width = header.width;
        image.height = header.height;
        image.rgba.resize(bytes);
        // A transparency chunk gives alpha; otherwise RGBA8 output fills it with 255.
        rc = spng_decode_image(png.ctx, image.rgba.data(), bytes, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS);
    }
    if (rc != 0) {
        error = spng_strerror(rc);
        image = DecodedImage{};
        return false;
    }
    return true;
}

void MakeMipChain(DecodedImage& image) {
    image.mips.clear();
    std::uint32_t w = image.width, h = image.height;
    const std::uint8_t* src = image.rgba.data();
    while (w > 1 || h > 1) {
        const std::uint32_t mw = w > 1 ? w / 2 : 1, mh = h > 1 ? h / 2 : 1;
        std::vector<std::uint8_t> level(std::size_t{mw} * mh * 4);
        for (std::uint32_t y = 0; y < mh; ++y) {
            const std::size_t row0 = std::size_t{std::min(2 * y, h - 1)} * w * 4;
            const std::size_t row1 = std::size_t{std::min(2 * y + 1, h - 1)} * w * 4;
            for (std::uint32_t x = 0; x < mw; ++x) {
                const std::size_t x0 = std::size_t{std::min(2 * x, w - 1)} * 4;
                const std::size_t x1 = std::size_t{std::min(2 * x + 1, w - 1)} * 4;
                std::uint8_t* out = &level[(std::size_t{y} * mw + x) * 4];
                for (int c = 0; c < 4; ++c) {
                    const unsigned sum = src[row0 + x0 + c] + src[row0 + x1 + c] +
                                         src[row1 + x0 + c] + src[row1 + x1 + c];
                    out[c] = static_cast<std::uint8_t>((sum + 2) / 4);
                }
            }
        }
        image.mips.push_back(std::move(level));
        src = image.mips.back().data();  // the buffer stays put when the vector grows
        w = mw;
        h = mh;
    }
}

bool CreateTextureFromMemory(Device& device, const std::uint8_t* data, std::size_t size, int index,
                             LoadedTexture& out, std::string& error) {
    DecodedImage image;
    std::string reason;
    if (!DecodePng(data, size, image, reason)) {
        error = "texture " + std::to_string(index) + ": not a valid PNG image (" + reason + ")";
        return false;
    }
    return CreateTextureFromImage(device, image, index, out, error);
}

bool CreateTextureFromImage(Device& device, const DecodedImage& image, int index,
                            LoadedTexture& out, std::string& error) {
    Texture2DDesc desc;
    desc.width = image.width;
    desc.height = image.height;
    desc.mipLevels = 0;
    desc.format = Format::R8G8B8A8_UNORM;
    desc.bindFlags = BindShaderResource;
    ShaderResourceView whole;
    if (!CreateTexture2D(device, desc, image.rgba.data(), out.texture) ||
        !CreateShaderResourceView(device, out.texture, whole) ||
        !CreateShaderResourceView(device, out.texture, out.view, 0, 1)) {
        error = "texture " + std::to_string(index) + ": cannot create the " + device.lastError;
        ReleaseLoadedTexture(device, out);
        return false;
    }
    if (image.mips.size() + 1 == out.texture.desc.mipLevels) {
        for (std::uint32_t mip = 1; mip < out.texture.desc.mipLevels; ++mip)
            WriteTextureLevel(out.texture, mip, image.mips[mip - 1].data());
    } else {
        GenerateMips(whole);
    }
    out.width = static_cast<std::int32_t>(image.width);
    out.height = static_cast<std::int32_t>(image.height);
    return true;
}

void ReleaseLoadedTexture(Device& device, LoadedTexture& texture) {
    ReleaseShaderResourceView(device, texture.view);
    ReleaseTexture2D(device, texture.texture);
    texture = LoadedTexture{};
}

}  // namespace quixo::gfx
