#pragma once
// Encodes small PNG images for tests (8 bits a channel, RGB or RGBA).
#include <spng.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace quixo::test {

inline std::vector<std::uint8_t> EncodePng(std::uint32_t width, std::uint32_t height, int channels,
                                           const std::vector<std::uint8_t>& pixels) {
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr header{};
    header.width = width;
    header.height = height;
    header.bit_depth = 8;
    header.color_type = channels == 4 ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
    spng_set_ihdr(ctx, &header);
    std::vector<std::uint8_t> png;
    if (spng_encode_image(ctx, pixels.data(), pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) ==
        0) {
        std::size_t size = 0;
        int error = 0;
        auto* data = static_cast<std::uint8_t*>(spng_get_png_buffer(ctx, &size, &error));
        if (data) png.assign(data, data + size);
        std::free(data);
    }
    spng_ctx_free(ctx);
    return png;
}

}  // namespace quixo::test
