#pragma once
#include <string>

#include "canvas.h"

namespace texgen {

constexpr int kTextureCount = 29;

struct TextureDesign {
    int width;
    int height;
    int channels;  // 3 RGB, 4 RGBA
    const char* name;
};

extern const TextureDesign kTextureDesigns[kTextureCount];

// Draws texture index onto a canvas of its design's size. False (error filled) on failure.
bool DrawTexture(int index, Canvas& canvas, std::string& error);

}  // namespace texgen
