#pragma once
#include <string>

#include "canvas.h"
#include "core/texture_shapes.h"

namespace texgen {

using quixo::kTextureCount;

// One row per texture, in texture-index order; the sizes are quixo::kTextureShapes.
struct TextureDesign {
    const char* name;                                  // what the image shows, for messages
    void (*draw)(Canvas& canvas, std::string& error);  // error filled on failure
};
extern const TextureDesign kTextureDesigns[kTextureCount];

// Draws texture index onto a canvas of its shape's size. False (error filled) on failure.
bool DrawTexture(int index, Canvas& canvas, std::string& error);

}  // namespace texgen
