#pragma once
// A float RGBA canvas with the few drawing operations the texture designs need.
#include <cstdint>
#include <string>
#include <vector>

namespace texgen {

struct Colour {
    float r, g, b, a;
};

struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Colour> pixels;  // row 0 first

    Canvas(int w, int h, Colour fill = {0, 0, 0, 0});
    Colour& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Colour& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Source-over blend of c (its alpha scaled by coverage) onto the pixel.
void Blend(Colour& dst, const Colour& c, float coverage);

// A filled rectangle in pixels, edges anti-aliased.
void FillRect(Canvas& canvas, float x0, float y0, float x1, float y1, const Colour& c);

// A soft disc: full inside radius, fading out over feather pixels.
void FillDisc(Canvas& canvas, float cx, float cy, float radius, float feather, const Colour& c);

// A ring of the given width around radius.
void StrokeRing(Canvas& canvas, float cx, float cy, float radius, float width, const Colour& c);

// A glow: colour with alpha falling off as exp(-(d/radius)^2 * sharpness).
void Glow(Canvas& canvas, float cx, float cy, float radius, float sharpness, const Colour& c);

// Text in the Liberation Sans face, centred on (cx, cy), pixel height of the em square given.
// Returns false when the font cannot be loaded (error filled).
bool DrawText(Canvas& canvas, const std::string& text, float cx, float cy, float emPixels,
              const Colour& c, bool bold, std::string& error);

// A separable box blur repeated passes times (close to a gaussian for 3 passes).
void Blur(Canvas& canvas, int radius, int passes);

// Encodes the canvas as an 8-bit PNG with 3 (RGB) or 4 (RGBA) channels.
std::vector<std::uint8_t> EncodePng(const Canvas& canvas, int channels, std::string& error);

// Deterministic hash noise in [0, 1).
float Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed);

}  // namespace texgen
