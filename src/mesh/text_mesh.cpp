#include "mesh/text_mesh.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numeric>

#include "mesh/text_caps.h"

namespace quixo {

namespace {

constexpr int kMaxCurvePieces = 256;  // a bound for absurd control points, never reached in a font
constexpr float kFloatMax = 3.4028235e38f;

double Length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

// Pieces of equal parameter length so that a curve whose second derivative never exceeds
// 8 * bound strays at most `deviation` from its chords (the chord error of a piece of
// parameter length h is at most max|B''| h^2 / 8).
int PieceCount(double bound, double deviation) {
    const double n = std::ceil(std::sqrt(bound / deviation));
    return n < 1 ? 1 : n > kMaxCurvePieces ? kMaxCurvePieces : static_cast<int>(n);
}

bool SamePoint(const OutlinePoint& a, const OutlinePoint& b) {
    return a.x == b.x && a.y == b.y;
}

TextVertex Vertex(float x, float y, float z, float nx, float ny, float nz) {
    return {{x, y, z}, {nx, ny, nz}};
}

void AddTriangle(TextGeometry& g, std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    g.indices.insert(g.indices.end(), {a, b, c});
}

// The sides along one closed polyline: a quad of two triangles per segment spanning the depth.
// Normals are (-t.y, t.x, 0) from the segment's direction t, which points out of the letter
// because the filled area lies to the right of the direction of travel.
void AddSides(const Polyline& line, TextGeometry& g) {
    const std::size_t n = line.size();
    std::vector<OutlinePoint> tangent(n);
    for (std::size_t i = 0; i < n; ++i) {
        const OutlinePoint& a = line[i];
        const OutlinePoint& b = line[(i + 1) % n];
        const double dx = static_cast<double>(b.x) - a.x;
        const double dy = static_cast<double>(b.y) - a.y;
        const double len = Length(dx, dy);
        tangent[i] = {static_cast<float>(dx / len), static_cast<float>(dy / len)};
    }
    const float creaseCos = static_cast<float>(std::cos(kTextCreaseDegrees * M_PI / 180.0));
    // For each point, the first of the two vertices (front, back) that start segment i and
    // those that end segment i - 1; the same pair where the outline turns gently.
    std::vector<std::uint32_t> starts(n), ends(n);
    const auto addPair = [&g](const OutlinePoint& p, float nx, float ny) {
        const auto first = static_cast<std::uint32_t>(g.vertices.size());
        g.vertices.push_back(Vertex(p.x, p.y, 0, nx, ny, 0));
        g.vertices.push_back(Vertex(p.x, p.y, -kTextExtrusion, nx, ny, 0));
        return first;
    };
    for (std::size_t i = 0; i < n; ++i) {
        const OutlinePoint& in = tangent[(i + n - 1) % n];
        const OutlinePoint& out = tangent[i];
        if (in.x * out.x + in.y * out.y >= creaseCos) {
            const double sx = -(in.y + out.y);
            const double sy = in.x + out.x;
            const double len = Length(sx, sy);
            starts[i] = ends[i] =
                addPair(line[i], static_cast<float>(sx / len), static_cast<float>(sy / len));
        } else {
            ends[i] = addPair(line[i], -in.y, in.x);
            starts[i] = addPair(line[i], -out.y, out.x);
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t a0 = starts[i], a1 = a0 + 1;
        const std::uint32_t b0 = ends[(i + 1) % n], b1 = b0 + 1;
        AddTriangle(g, a0, b0, a1);
        AddTriangle(g, b0, b1, a1);
    }
}

// Back cap at z = 0 facing +z, and the front cap at z = -depth facing -z: the same triangles
// with their winding swapped.
bool AddCaps(const std::vector<Polyline>& contours, TextGeometry& g) {
    std::vector<OutlinePoint> points;
    std::vector<std::uint32_t> triangles;
    if (!TriangulateCaps(contours, points, triangles)) return false;
    const auto back = static_cast<std::uint32_t>(g.vertices.size());
    for (const OutlinePoint& p : points) g.vertices.push_back(Vertex(p.x, p.y, 0, 0, 0, 1));
    const auto front = static_cast<std::uint32_t>(g.vertices.size());
    for (const OutlinePoint& p : points) {
        g.vertices.push_back(Vertex(p.x, p.y, -kTextExtrusion, 0, 0, -1));
    }
    for (std::size_t i = 0; i < triangles.size(); i += 3) {
        AddTriangle(g, back + triangles[i], back + triangles[i + 1], back + triangles[i + 2]);
    }
    for (std::size_t i = 0; i < triangles.size(); i += 3) {
        AddTriangle(g, front + triangles[i], front + triangles[i + 2], front + triangles[i + 1]);
    }
    return true;
}

// One glyph's mesh with its origin at x = 0.
TextGeometry BuildGlyphGeometry(const GlyphOutline& glyph) {
    TextGeometry g;
    const std::vector<Polyline> contours = FlattenGlyph(glyph, 0, kTextDeviation);
    // A glyph whose outline the tessellator cannot fill is left out rather than drawn open.
    if (!AddCaps(contours, g)) return {};
    for (const Polyline& line : contours) AddSides(line, g);
    return g;
}

void AppendMoved(TextGeometry& word, const TextGeometry& glyph, float dx) {
    const auto base = static_cast<std::uint32_t>(word.vertices.size());
    for (TextVertex v : glyph.vertices) {
        v.position[0] += dx;
        word.vertices.push_back(v);
    }
    for (std::uint32_t index : glyph.indices) word.indices.push_back(base + index);
}

}  // namespace

void FlattenSegment(OutlinePoint from, const OutlineSegment& segment, float deviation,
                    std::vector<OutlinePoint>& out) {
    const double x0 = from.x, y0 = from.y;
    const double x1 = segment.control[0].x, y1 = segment.control[0].y;
    const double x2 = segment.control[1].x, y2 = segment.control[1].y;
    const double x3 = segment.end.x, y3 = segment.end.y;
    int pieces = 1;
    if (segment.kind == OutlineSegmentKind::Conic) {
        // B'' = 2 (p0 - 2 p1 + p2)
        pieces = PieceCount(Length(x0 - 2 * x1 + x3, y0 - 2 * y1 + y3) / 4, deviation);
    } else if (segment.kind == OutlineSegmentKind::Cubic) {
        // |B''| <= 6 max(|p0 - 2 p1 + p2|, |p1 - 2 p2 + p3|)
        const double bend = std::max(Length(x0 - 2 * x1 + x2, y0 - 2 * y1 + y2),
                                     Length(x1 - 2 * x2 + x3, y1 - 2 * y2 + y3));
        pieces = PieceCount(bend * 0.75, deviation);
    }
    for (int k = 1; k < pieces; ++k) {
        const double t = static_cast<double>(k) / pieces, s = 1 - t;
        double x, y;
        if (segment.kind == OutlineSegmentKind::Conic) {
            x = s * s * x0 + 2 * s * t * x1 + t * t * x3;
            y = s * s * y0 + 2 * s * t * y1 + t * t * y3;
        } else {
            x = s * s * s * x0 + 3 * s * s * t * x1 + 3 * s * t * t * x2 + t * t * t * x3;
            y = s * s * s * y0 + 3 * s * s * t * y1 + 3 * s * t * t * y2 + t * t * t * y3;
        }
        out.push_back({static_cast<float>(x), static_cast<float>(y)});
    }
    out.push_back(segment.end);
}

std::vector<Polyline> FlattenGlyph(const GlyphOutline& glyph, float penX, float deviation) {
    std::vector<Polyline> lines;
    for (const OutlineContour& contour : glyph.contours) {
        std::vector<OutlinePoint> raw{contour.start};
        OutlinePoint from = contour.start;
        for (const OutlineSegment& segment : contour.segments) {
            FlattenSegment(from, segment, deviation, raw);
            from = segment.end;
        }
        Polyline line;
        for (const OutlinePoint& p : raw) {
            if (line.empty() || !SamePoint(line.back(), p)) line.push_back(p);
        }
        while (line.size() > 1 && SamePoint(line.back(), line.front())) line.pop_back();
        if (line.size() < 3) continue;
        for (OutlinePoint& p : line) p.x += penX;
        lines.push_back(std::move(line));
    }
    return lines;
}

TextGeometry BuildWordGeometry(const OutlineFont& font, std::string_view word,
                               GlyphMeshCache& cache) {
    TextGeometry g;
    float pen = 0;
    for (char c : word) {
        const auto code = static_cast<unsigned char>(c);
        auto found = cache.glyphs.find(code);
        if (found == cache.glyphs.end()) {
            const GlyphOutline glyph = LoadGlyphOutline(font, code);
            found =
                cache.glyphs
                    .emplace(code, GlyphMeshCache::Entry{BuildGlyphGeometry(glyph), glyph.advance})
                    .first;
        }
        AppendMoved(g, found->second.geometry, pen);
        pen += found->second.advance;
    }
    return g;
}

TextGeometry BuildWordGeometry(const OutlineFont& font, std::string_view word) {
    GlyphMeshCache cache;
    return BuildWordGeometry(font, word, cache);
}

bool FitsTextMesh(const TextGeometry& geometry) {
    return geometry.vertices.size() <= 0xffff && geometry.indices.size() <= 0xffff;
}

TextMesh StoreTextMesh(Arena& arena, const TextGeometry& geometry) {
    TextMesh mesh;
    mesh.vertexCount = static_cast<std::uint16_t>(geometry.vertices.size());
    mesh.indexCount = static_cast<std::uint16_t>(geometry.indices.size());
    // The index array before may end on an odd pair of bytes: the vertex floats are aligned.
    mesh.vertices = static_cast<TextVertex*>(
        ArenaAllocate(arena, mesh.vertexCount * sizeof(TextVertex), alignof(TextVertex)));
    mesh.indices = static_cast<std::uint16_t*>(
        ArenaAllocate(arena, mesh.indexCount * sizeof(std::uint16_t), alignof(std::uint16_t)));
    if (mesh.vertexCount > 0) {
        std::memcpy(mesh.vertices, geometry.vertices.data(), mesh.vertexCount * sizeof(TextVertex));
    }
    for (int i = 0; i < mesh.indexCount; ++i) {
        mesh.indices[i] = static_cast<std::uint16_t>(geometry.indices[i]);
    }
    CentreTextMesh(mesh);
    return mesh;
}

void CentreTextMesh(TextMesh& mesh) {
    float maxX = -kFloatMax, minX = kFloatMax, minY = kFloatMax;
    for (int i = 0; i < mesh.vertexCount; ++i) {
        const float* p = mesh.vertices[i].position;
        maxX = std::max(maxX, p[0]);
        minX = std::min(minX, p[0]);
        minY = std::min(minY, p[1]);
    }
    const float centreX = (minX + maxX) * 0.5f;
    for (int i = 0; i < mesh.vertexCount; ++i) {
        mesh.vertices[i].position[0] -= centreX;
        mesh.vertices[i].position[1] -= minY;
    }
}

MeshStreams TextMeshStreams(const TextMesh& mesh) {
    MeshStreams streams;
    const int triangles = mesh.indexCount / 3;
    streams.vertices.resize(static_cast<std::size_t>(triangles) * 3);
    streams.indices.resize(streams.vertices.size());
    std::iota(streams.indices.begin(), streams.indices.end(), 0u);
    for (int t = 0; t < triangles; ++t) {
        const TextVertex* corner[3];
        for (int k = 0; k < 3; ++k) corner[k] = &mesh.vertices[mesh.indices[t * 3 + k]];
        float centre[3];
        for (int axis = 0; axis < 3; ++axis) {
            centre[axis] = (corner[0]->position[axis] + corner[1]->position[axis] +
                            corner[2]->position[axis]) *
                           0.3333333134651184f;
        }
        for (int k = 0; k < 3; ++k) {
            MeshVertex& v = streams.vertices[t * 3 + k];
            const float* p = corner[k]->position;
            const float* n = corner[0]->normal;
            v = MeshVertex{{p[0], p[1], p[2], 1},
                           {n[0], n[1], n[2], 1},
                           {0.5f, 0.5f, 0, 0},
                           {0xff, 0xff, 0x00, 0xff},
                           {centre[0], centre[1], centre[2], 1}};
        }
    }
    return streams;
}

}  // namespace quixo
