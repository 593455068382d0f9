#pragma once
// Solid 3D text: each word's glyph outlines flattened into polylines, the caps triangulated and
// the outline extruded into sides, then centred so that the word stands on y = 0 around x = 0.
// The meshes are made once at start-up into arena memory and uploaded later as the first
// entries of the mesh table.
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "memory/arena.h"
#include "mesh/mesh_vertex.h"
#include "mesh/word_list.h"
#include "platform/font_outline.h"

namespace quixo {

constexpr float kTextDeviation = 0.001f;  // largest distance of a flattened curve from the true one
constexpr float kTextExtrusion = 0.05f;   // depth of the letters, from z = 0 to z = -0.05
// Outline points where the direction turns by less than this share one normal between the two
// side segments (curves shade smoothly); sharper corners get one normal per side (they shade
// flat).
constexpr float kTextCreaseDegrees = 35.0f;

// 24 bytes: position and normal.
struct TextVertex {
    float position[3];
    float normal[3];
};
static_assert(sizeof(TextVertex) == 24);

// One word's mesh, vertices and indices in arena memory. Every three indices form a triangle.
struct TextMesh {
    std::uint16_t vertexCount = 0;
    std::uint16_t indexCount = 0;
    TextVertex* vertices = nullptr;
    std::uint16_t* indices = nullptr;
};

struct TextMeshTable {
    TextMesh meshes[kTextMeshCount];
    int count = 0;
};

// A word's mesh as built, before it is checked against the 16-bit counts and stored.
// Triangles wind counter-clockwise seen from outside: (b - a) x (c - a) points away from the
// solid, along the normal.
struct TextGeometry {
    std::vector<TextVertex> vertices;
    std::vector<std::uint32_t> indices;
};

// A closed polyline: the last point joins the first; no two neighbours are equal.
using Polyline = std::vector<OutlinePoint>;

// Appends the points of one outline segment that starts at `from`, up to and including its end,
// close enough that no point of the curve lies farther than `deviation` from the polyline.
void FlattenSegment(OutlinePoint from, const OutlineSegment& segment, float deviation,
                    std::vector<OutlinePoint>& out);

// The glyph's contours as closed polylines (same orientation: filled area on the right),
// moved right by penX. Contours that flatten to fewer than three points are dropped.
std::vector<Polyline> FlattenGlyph(const GlyphOutline& glyph, float penX, float deviation);

// Glyph meshes by character code, each with its origin at x = 0, kept while the words of one
// font are built: words repeat letters, and a glyph costs far more to build than to copy.
struct GlyphMeshCache {
    struct Entry {
        TextGeometry geometry;
        float advance;
    };
    std::unordered_map<std::uint32_t, Entry> glyphs;
};

// The word's mesh in em units: baseline y = 0, the first glyph's origin at x = 0, glyphs placed
// by their advance widths; back cap at z = 0 facing +z, front cap at z = -kTextExtrusion facing
// -z, sides along every polyline segment. The bytes of the word are character codes in the
// Latin-1 range. The cache must only ever have seen this font.
TextGeometry BuildWordGeometry(const OutlineFont& font, std::string_view word,
                               GlyphMeshCache& cache);
TextGeometry BuildWordGeometry(const OutlineFont& font, std::string_view word);

// Whether the counts fit the 16-bit fields of a TextMesh.
bool FitsTextMesh(const TextGeometry& geometry);

// Copies a geometry that fits into memory from the arena (vertices, then indices) and centres
// it (CentreTextMesh).
TextMesh StoreTextMesh(Arena& arena, const TextGeometry& geometry);

// Moves the word so that its x extremes are symmetric about 0 and its lowest point is at y = 0;
// z is unchanged.
void CentreTextMesh(TextMesh& mesh);

// The first kTextMeshCount words of the embedded list, made with the sans face into memory from
// the memory arena. Stops with a message when the font is missing.
void MakeTextMeshes(TextMeshTable& table);

// The upload form: three vertices for each whole triangle, shaded flat with the normal of its
// first vertex, yellow, with the triangle's centre; sequential indices. Empty for an empty mesh.
MeshStreams TextMeshStreams(const TextMesh& mesh);

}  // namespace quixo
