#pragma once
// The size and channel count of each of the 29 stored images, in table order: what the
// texture generator draws and what the start-up check expects. Kept apart from the table of
// embedded images so that the generator, which runs before they exist, can share it.
#include <cstdint>

namespace quixo {

constexpr int kTextureCount = 29;

struct TextureShape {
    int width;
    int height;
    int channels;  // 3 RGB, 4 RGBA
};
extern const TextureShape kTextureShapes[kTextureCount];

}  // namespace quixo
