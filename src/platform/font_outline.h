#pragma once
// Glyph outlines of the sans-serif face the 3D text is made from (Liberation Sans Regular),
// read with FreeType. Coordinates are in em units: one unit is the font's em square, y points
// up and the baseline is y = 0, the glyph origin x = 0.
#include <cstdint>
#include <string>
#include <vector>

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

// The file of Liberation Sans Regular: asked from fontconfig, then the Debian package's path.
// Empty when neither has it.
std::string FindSansFontFile();

// Opens a font file. Stops the program with a clear message when the file cannot be read as
// a scalable font.
const OutlineFont& OpenOutlineFont(const std::string& path);

// The sans face, found and opened on first use; stops the program with a message naming the
// missing package when the font is not installed.
const OutlineFont& SansOutlineFont();

// The outline of the glyph that the font maps the character code to (its "missing glyph"
// for a code it lacks).
GlyphOutline LoadGlyphOutline(const OutlineFont& font, std::uint32_t code);

}  // namespace quixo
