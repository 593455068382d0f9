#pragma once
// Lines of text on an opaque panel, drawn into an RGBA image with FreeType from Liberation Sans
// (the face of the 3D text): the preview window's status panel and the contact sheet's
// thumbnail labels. Glyphs are anti-aliased: each pixel is the line's colour mixed over the
// panel by how much of it the glyph covers. The first call finds and opens the font; without
// it the program stops with a message naming the package to install.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quixo {

struct OverlayLine {
    std::string text;  // UTF-8; characters the font lacks show as its empty box
    std::uint8_t red = 255, green = 255, blue = 255;
};

struct OverlayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows top first, opaque
};

struct OverlayStyle {
    int pixelHeight = 16;                          // the font size: its em square in pixels
    int margin = 4;                                // panel pixels around the text on every side
    std::uint8_t red = 16, green = 16, blue = 24;  // the panel
};

// The panel is margin + one row per line + margin high, a row being the font's ascender to
// descender at the size, and as wide as margin + the longest line + margin, but never wider
// than maxWidth: a longer line is cut after its last character that ends before the right
// margin.
OverlayImage DrawOverlayText(const std::vector<OverlayLine>& lines, const OverlayStyle& style,
                             int maxWidth);

// How many leading bytes of `text` (whole characters) fit in `width` pixels at the size: what a
// line of a panel with that much room between its margins shows. A caller wraps long text by it.
std::size_t OverlayFitLength(const std::string& text, int pixelHeight, int width);

}  // namespace quixo
