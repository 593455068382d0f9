#pragma once
// The preview window's status panel: lines of text drawn with a built-in 5 × 7 pixel font into
// an RGBA image, so that no font file or text shader is needed to show the frame counters and
// source faults over the picture.
#include <cstdint>
#include <string>
#include <vector>

namespace quixo::tool {

struct OverlayLine {
    std::string text;  // lower case is shown as upper case; characters without a glyph as '?'
    std::uint8_t red = 255, green = 255, blue = 255;
};

struct OverlayImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;  // rows top first, opaque
};

// Each glyph cell is 6 × 9 font pixels (one column and two rows of spacing), drawn `scale`
// screen pixels per font pixel on a dark panel with a margin of one cell column. The panel is
// as wide as the longest line but never wider than maxWidth pixels: longer lines are cut.
OverlayImage DrawOverlayText(const std::vector<OverlayLine>& lines, int scale, int maxWidth);

}  // namespace quixo::tool
