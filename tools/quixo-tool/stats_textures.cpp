// The `stats` section of the embedded texture table: each image as its PNG header describes it.
#include <spng.h>

#include "commands.h"
#include "render/texture_table.h"

namespace quixo::tool {

namespace {

// Channels stored per pixel for a PNG colour type (a palette image stores RGB).
int ColourTypeChannels(std::uint8_t colourType) {
    switch (colourType) {
        case SPNG_COLOR_TYPE_GRAYSCALE:
            return 1;
        case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA:
            return 2;
        case SPNG_COLOR_TYPE_TRUECOLOR:
        case SPNG_COLOR_TYPE_INDEXED:
            return 3;
        case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA:
            return 4;
        default:
            return 0;
    }
}

Json DescribeImage(const StoredTexture& texture) {
    Json entry = {{"bytes", texture.length}};
    spng_ctx* ctx = spng_ctx_new(0);
    spng_ihdr header{};
    int rc = ctx == nullptr ? SPNG_EMEM : spng_set_png_buffer(ctx, texture.bytes, texture.length);
    if (rc == 0) rc = spng_get_ihdr(ctx, &header);
    spng_ctx_free(ctx);
    if (rc != 0) {
        entry["error"] = spng_strerror(rc);
        return entry;
    }
    entry["width"] = header.width;
    entry["height"] = header.height;
    entry["channels"] = ColourTypeChannels(header.color_type);
    entry["bitDepth"] = header.bit_depth;
    return entry;
}

}  // namespace

// [{"bytes": n, "width": w, "height": h, "channels": c, "bitDepth": b}, ...] in table order;
// an image whose header cannot be read has "error" instead of the four header fields.
Json TextureStats() {
    Json textures = Json::array();
    for (int i = 0; i < kTextureCount; ++i) textures.push_back(DescribeImage(StoredTextures()[i]));
    return textures;
}

}  // namespace quixo::tool
