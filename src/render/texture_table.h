#pragma once
// The stored texture table: 29 embedded PNG images in table order.
#include <cstdint>

#include "core/texture_shapes.h"

namespace quixo {

struct StoredTexture {
    std::uint32_t reserved;  // 0 in every record
    std::uint32_t length;    // bytes of the PNG image
    const std::uint8_t* bytes;
};

// The 29 records.
const StoredTexture* StoredTextures();

}  // namespace quixo
