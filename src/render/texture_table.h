#pragma once
// The stored texture table: 29 embedded PNG images in table order.
#include <cstdint>

namespace quixo {

constexpr int kTextureCount = 29;

struct StoredTexture {
    std::uint32_t reserved;  // 0 in every record
    std::uint32_t length;    // bytes of the PNG image
    const std::uint8_t* bytes;
};

// The 29 records.
const StoredTexture* StoredTextures();

// The size and channel count each image must have (index order).
struct TextureShape {
    int width;
    int height;
    int channels;
};
extern const TextureShape kTextureShapes[kTextureCount];

}  // namespace quixo
