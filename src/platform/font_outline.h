#pragma once
// Glyph outlines of the sans-serif face the 3D text is made from (Liberation Sans Regular),
// read with FreeType. The font file is built into the program, so every system makes the same
// text meshes whatever fonts it has. Coordinates are in em units: one unit is the font's em square,
// y points up and the baseline is y = 0, the glyph origin x = 0.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/embedded.h"

namespace quixo {

struct OutlinePoint {
    float x;
    float y;
};

enum class OutlineSegmentKind : std::uint8_t { Line, Conic, Cubic };

// One piece of a contour, starting where the previous one ended: a line to `end`, or a
// quadratic (one control point) or cubic (two control points) Bezier curve to it.
struct OutlineSegment {
    OutlineSegmentKind kind;
    OutlinePoint control[2];
    OutlinePoint end;
};

// A closed contour: the last segment ends at `start` again.
struct OutlineContour {
    OutlinePoint start;
    std::vector<OutlineSegment> segments;
};

// The contours are oriented so that the filled area lies to the right of the direction of
// travel (outer contours clockwise, holes counter-clockwise, as TrueType stores them);
// a font stored the other way round is turned around on loading.
struct GlyphOutline {
    std::vector<OutlineContour> contours;
    float advance = 0;  // horizontal advance width in em units
};

struct OutlineFont;  // an open face; lives until the process ends

// The bytes of the font file (Liberation Sans Regular, from the package fonts-liberation at
// build time).
Blob SansFontFile();

// The sans face, opened on first use and kept until the process ends.
const OutlineFont& SansOutlineFont();

// The outline of the glyph that the font maps the character code to (its "missing glyph"
// for a code it lacks).
GlyphOutline LoadGlyphOutline(const OutlineFont& font, std::uint32_t code);

}  // namespace quixo
