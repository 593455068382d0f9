#pragma once
// Textures from PNG bytes: always RGBA8 (an image without alpha gets 255), the full mip chain
// generated from the top level, and a view of mip 0 alone, which is all the renderer samples.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "render/gfx/device.h"
#include "render/gfx/texture.h"

namespace quixo::gfx {

struct DecodedImage {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint8_t> rgba;  // row 0 first, 4 bytes a pixel
    // Levels 1.. of the mip chain when MakeMipChain made them; empty: the GPU makes them.
    std::vector<std::vector<std::uint8_t>> mips;
};

// The rest of the image's full mip chain, each level the rounded 2 × 2 box average of the one
// above (a side already one texel long averages with itself), as the GPU builds it. Needs no GL, so
// that worker threads can spare the GL thread that work.
void MakeMipChain(DecodedImage& image);

// Decodes a PNG image of any bit depth and colour type into RGBA8; false with the decoder's
// reason when the bytes are not a valid image. Without verifyChecksums the chunk CRCs and the
// stream's Adler-32 are not computed (a tenth of the decoding time): only for images the build
// made and embedded, which cannot have been damaged on the way.
bool DecodePng(const std::uint8_t* data, std::size_t size, DecodedImage& image, std::string& error,
               bool verifyChecksums = true);

struct LoadedTexture {
    Texture2D texture;
    ShaderResourceView view;  // mip 0 only
    std::int32_t height = 0;
    std::int32_t width = 0;
};

// Creates texture `index` of the texture table from its PNG bytes. A bad image, or a texture
// GL cannot make, gives an error that names the index.
[[nodiscard]] bool CreateTextureFromMemory(Device& device, const std::uint8_t* data,
                                           std::size_t size, int index, LoadedTexture& out,
                                           std::string& error);

// The same from an image already decoded (decoding needs no GL and may run on any thread).
[[nodiscard]] bool CreateTextureFromImage(Device& device, const DecodedImage& image, int index,
                                          LoadedTexture& out, std::string& error);

// The texture and its view.
void ReleaseLoadedTexture(Device& device, LoadedTexture& texture);

}  // namespace quixo::gfx
