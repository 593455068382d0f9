#pragma once
#include <string>

#include "canvas.h"
#include "core/texture_shapes.h"

namespace texgen {

using quixo::kTextureCount;

// What each image shows, for messages; the sizes are quixo::kTextureShapes.
extern const char* const kTextureNames[kTextureCount];

// Draws texture index onto a canvas of its shape's size. False (error filled) on failure.
bool DrawTexture(int index, Canvas& canvas, std::string& error);

}  // namespace texgen
