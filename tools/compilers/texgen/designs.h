#pragma once
#include <string>

#include "canvas.h"
#include "core/texture_shapes.h"

namespace texgen {

using quixo::kTextureCount;

// How a texture's colour relates to its alpha. Glows that sprites add to the picture are
// premultiplied: the colour itself fades with the falloff, so additive blending (which ignores
// alpha) lights the frame softly instead of adding a flat disc as far as the glow reaches.
// Their alpha is then 1 wherever the colour is not black: additive drawing keeps only the
// pixels whose alpha reaches 0.5, and a falloff in alpha would cut the glow off there. Such a
// texture belongs under additive blending: alpha blending would darken the picture behind
// its dim falloff.
enum class Alpha { Straight, Premultiplied };

// One row per texture, in texture-index order; the sizes are quixo::kTextureShapes.
struct TextureDesign {
    const char* name;                                  // what the image shows, for messages
    void (*draw)(Canvas& canvas, std::string& error);  // error filled on failure
    Alpha alpha = Alpha::Straight;
};
extern const TextureDesign kTextureDesigns[kTextureCount];

// Draws texture index onto a canvas of its shape's size. False (error filled) on failure.
bool DrawTexture(int index, Canvas& canvas, std::string& error);

}  // namespace texgen
