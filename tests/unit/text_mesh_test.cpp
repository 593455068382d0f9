#include "mesh/text_mesh.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace quixo {
namespace {

using Point = std::array<float, 3>;

const OutlineFont& Font() {
    return SansOutlineFont();
}

TextGeometry Word(const std::string& word) {
    return BuildWordGeometry(Font(), word);
}

Point PositionOf(const TextGeometry& g, std::uint32_t index) {
    const float* p = g.vertices[index].position;
    return {p[0], p[1], p[2]};
}

// (b - a) x (c - a) of triangle t.
std::array<double, 3> Cross(const TextGeometry& g, std::size_t t) {
    const Point a = PositionOf(g, g.indices[t * 3]);
    const Point b = PositionOf(g, g.indices[t * 3 + 1]);
    const Point c = PositionOf(g, g.indices[t * 3 + 2]);
    const double u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const double v[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    return {u[1] * v[2] - u[2] * v[1], u[2] * v[0] - u[0] * v[2], u[0] * v[1] - u[1] * v[0]};
}

bool AllNormals(const TextGeometry& g, std::size_t t, float nz) {
    for (int k = 0; k < 3; ++k) {
        const float* n = g.vertices[g.indices[t * 3 + k]].normal;
        if (n[0] != 0 || n[1] != 0 || n[2] != nz) return false;
    }
    return true;
}

bool IsSide(const TextGeometry& g, std::size_t t) {
    for (int k = 0; k < 3; ++k) {
        if (g.vertices[g.indices[t * 3 + k]].normal[2] != 0) return false;
    }
    return true;
}

std::size_t TriangleCount(const TextGeometry& g) {
    return g.indices.size() / 3;
}

// A closed, consistently wound surface uses every directed edge once and its reverse once.
int OpenOrInconsistentEdges(const TextGeometry& g) {
    std::map<std::pair<Point, Point>, int> edges;
    for (std::size_t t = 0; t < TriangleCount(g); ++t) {
        for (int k = 0; k < 3; ++k) {
            ++edges[{PositionOf(g, g.indices[t * 3 + k]),
                     PositionOf(g, g.indices[t * 3 + (k + 1) % 3])}];
        }
    }
    int bad = 0;
    for (const auto& [edge, count] : edges) {
        const auto reverse = edges.find({edge.second, edge.first});
        if (count != 1 || reverse == edges.end() || reverse->second != 1) ++bad;
    }
    return bad;
}

double ShoelaceArea(const std::vector<Polyline>& contours) {
    double sum = 0;
    for (const Polyline& line : contours) {
        for (std::size_t i = 0; i < line.size(); ++i) {
            const OutlinePoint& a = line[i];
            const OutlinePoint& b = line[(i + 1) % line.size()];
            sum += (static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y) / 2;
        }
    }
    return sum;
}

TEST(TextMesh, WordsAreClosedConsistentlyWoundSurfacesWithWholeTriangles) {
    // "A", "O", "B", "8" have holes; "%" has separate pieces; the rest are words of the list.
    for (const char* word : {"A", "O", "B", "8", "%", "ZX-Spectrum", "GREETINGS", "Ember Loom"}) {
        const TextGeometry g = Word(word);
        ASSERT_FALSE(g.indices.empty()) << word;
        EXPECT_EQ(g.indices.size() % 3, 0u) << word;
        EXPECT_LT(*std::max_element(g.indices.begin(), g.indices.end()), g.vertices.size());
        EXPECT_EQ(OpenOrInconsistentEdges(g), 0) << word;
        // Every triangle winds counter-clockwise seen from outside, along its first normal.
        // The tessellator may join collinear outline points with zero-area slivers, which
        // have no winding to check.
        int inward = 0;
        for (std::size_t t = 0; t < TriangleCount(g); ++t) {
            const auto c = Cross(g, t);
            const float* n = g.vertices[g.indices[t * 3]].normal;
            if (c[0] * n[0] + c[1] * n[1] + c[2] * n[2] < 0) ++inward;
        }
        EXPECT_EQ(inward, 0) << word;
    }
}

TEST(TextMesh, FrontCapIsTheBackCapMirroredAndHolesStayOpen) {
    for (const char* glyph : {"A", "O", "B"}) {
        const TextGeometry g = Word(glyph);
        using Flat = std::array<std::array<float, 2>, 3>;
        std::vector<Flat> back, front;
        double backArea = 0;
        for (std::size_t t = 0; t < TriangleCount(g); ++t) {
            const bool isBack = AllNormals(g, t, 1), isFront = AllNormals(g, t, -1);
            if (!isBack && !isFront) continue;
            Flat flat;
            for (int k = 0; k < 3; ++k) {
                // The front cap is listed in the order that undoes its swapped winding.
                const int corner = isBack ? k : (3 - k) % 3;
                const Point p = PositionOf(g, g.indices[t * 3 + corner]);
                EXPECT_EQ(p[2], isBack ? 0.0f : -kTextExtrusion) << glyph;
                flat[k] = {p[0], p[1]};
            }
            std::rotate(flat.begin(), std::min_element(flat.begin(), flat.end()), flat.end());
            (isBack ? back : front).push_back(flat);
            if (isBack) backArea += Cross(g, t)[2] / 2;
        }
        std::sort(back.begin(), back.end());
        std::sort(front.begin(), front.end());
        EXPECT_EQ(back, front) << glyph;
        // The filled area lies right of the outline, so the outline's signed area is negative;
        // a filled hole would add its area, a double cover twice the triangles' area.
        const auto contours = FlattenGlyph(LoadGlyphOutline(Font(), glyph[0]), 0, kTextDeviation);
        ASSERT_GE(contours.size(), 2u) << glyph;
        EXPECT_NEAR(backArea, -ShoelaceArea(contours), 1e-6) << glyph;
        EXPECT_LT(backArea, -ShoelaceArea({contours[0]}) - 0.01) << glyph;
    }
}

TEST(TextMesh, SideNormalsArePerpendicularToTheOutlineAndSplitOnlyAtCorners) {
    const float tolerance = std::sin(kTextCreaseDegrees * 3.14159265f / 360) + 1e-6f;
    const TextGeometry g = Word("ZX-Spectrum");
    for (std::size_t t = 0; t < TriangleCount(g); ++t) {
        if (!IsSide(g, t)) continue;
        // The one edge of a side triangle that runs along the outline keeps its z.
        for (int k = 0; k < 3; ++k) {
            const std::uint32_t i = g.indices[t * 3 + k], j = g.indices[t * 3 + (k + 1) % 3];
            const Point p = PositionOf(g, i), q = PositionOf(g, j);
            if (p[2] != q[2]) continue;
            const double dx = q[0] - p[0], dy = q[1] - p[1], len = std::hypot(dx, dy);
            for (std::uint32_t v : {i, j}) {
                const float* n = g.vertices[v].normal;
                EXPECT_NEAR(std::hypot(n[0], n[1]), 1.0, 1e-6);
                EXPECT_LE(std::abs(n[0] * dx + n[1] * dy) / len, tolerance);
            }
        }
    }
    // "I" is a rectangle: four corners, each side flat with an axis normal pointing away from
    // the letter; "O" turns gently everywhere, so its sides share one pair of vertices a point.
    const TextGeometry bar = Word("I");
    const auto barLines = FlattenGlyph(LoadGlyphOutline(Font(), 'I'), 0, kTextDeviation);
    ASSERT_EQ(barLines.size(), 1u);
    ASSERT_EQ(barLines[0].size(), 4u);
    float cx = 0, cy = 0;
    for (const OutlinePoint& p : barLines[0]) cx += p.x / 4, cy += p.y / 4;
    int sideVertices = 0;
    for (const TextVertex& v : bar.vertices) {
        if (v.normal[2] != 0) continue;
        ++sideVertices;
        EXPECT_EQ(std::abs(v.normal[0]) + std::abs(v.normal[1]), 1.0f);
        EXPECT_GT(v.normal[0] * (v.position[0] - cx) + v.normal[1] * (v.position[1] - cy), 0);
    }
    EXPECT_EQ(sideVertices, 4 * 4);
    const auto ringLines = FlattenGlyph(LoadGlyphOutline(Font(), 'O'), 0, kTextDeviation);
    const std::size_t ringPoints = ringLines[0].size() + ringLines[1].size();
    const TextGeometry ring = Word("O");
    EXPECT_EQ(std::count_if(ring.vertices.begin(), ring.vertices.end(),
                            [](const TextVertex& v) { return v.normal[2] == 0; }),
              static_cast<std::ptrdiff_t>(2 * ringPoints));
}

TEST(TextMesh, GlyphsSitOnTheBaselineInEmUnitsAndAdvanceByTheirWidths) {
    const TextGeometry h = Word("H");
    float minX = 1, minY = 1, maxY = 0;
    for (const TextVertex& v : h.vertices) {
        minX = std::min(minX, v.position[0]);
        minY = std::min(minY, v.position[1]);
        maxY = std::max(maxY, v.position[1]);
    }
    EXPECT_EQ(minY, 0.0f);  // on the baseline
    EXPECT_GT(minX, 0.0f);  // right of the origin by the side bearing
    EXPECT_LT(minX, 0.15f);
    EXPECT_GT(maxY, 0.6f);  // a capital is most of an em tall
    EXPECT_LT(maxY, 0.8f);

    const float advance = LoadGlyphOutline(Font(), 'H').advance;
    const float space = LoadGlyphOutline(Font(), ' ').advance;
    EXPECT_GT(space, 0.0f);
    const TextGeometry pair = Word("H H");
    ASSERT_EQ(pair.vertices.size(), 2 * h.vertices.size());
    ASSERT_EQ(pair.indices.size(), 2 * h.indices.size());
    const std::size_t n = h.vertices.size();
    for (std::size_t i = 0; i < n; ++i) {
        EXPECT_FLOAT_EQ(pair.vertices[n + i].position[0],
                        h.vertices[i].position[0] + advance + space);
        EXPECT_EQ(pair.vertices[n + i].position[1], h.vertices[i].position[1]);
    }
    for (std::size_t i = 0; i < h.indices.size(); ++i) {
        EXPECT_EQ(pair.indices[h.indices.size() + i], h.indices[i] + n);
    }

    float pMinY = 0;
    for (const TextVertex& v : Word("p").vertices) pMinY = std::min(pMinY, v.position[1]);
    EXPECT_LT(pMinY, -0.1f);  // descenders reach below the baseline
}

double DistanceToPolyline(double x, double y, const std::vector<OutlinePoint>& line) {
    double best = 1e30;
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        const double ax = line[i].x, ay = line[i].y;
        const double dx = line[i + 1].x - ax, dy = line[i + 1].y - ay;
        double s = ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy);
        s = std::clamp(s, 0.0, 1.0);
        best = std::min(best, std::hypot(x - ax - s * dx, y - ay - s * dy));
    }
    return best;
}

TEST(TextMesh, CurvesFlattenWithinTheDeviationWithoutNeedlessPoints) {
    const OutlinePoint from{0, 0};
    const OutlineSegment conic{OutlineSegmentKind::Conic, {{0.5f, 1}, {0, 0}}, {1, 0}};
    const OutlineSegment cubic{OutlineSegmentKind::Cubic, {{0, 1}, {1, 1}}, {1, 0}};
    for (const OutlineSegment& segment : {conic, cubic}) {
        std::vector<OutlinePoint> line{from};
        FlattenSegment(from, segment, kTextDeviation, line);
        EXPECT_EQ(line.back().x, segment.end.x);
        EXPECT_EQ(line.back().y, segment.end.y);
        double worst = 0;
        for (int k = 0; k <= 2000; ++k) {
            const double t = k / 2000.0, s = 1 - t;
            const auto& c = segment.control;
            double x, y;
            if (segment.kind == OutlineSegmentKind::Conic) {
                x = 2 * s * t * c[0].x + t * t * segment.end.x;
                y = 2 * s * t * c[0].y + t * t * segment.end.y;
            } else {
                x = 3 * s * s * t * c[0].x + 3 * s * t * t * c[1].x + t * t * t * segment.end.x;
                y = 3 * s * s * t * c[0].y + 3 * s * t * t * c[1].y + t * t * t * segment.end.y;
            }
            worst = std::max(worst, DistanceToPolyline(x, y, line));
        }
        EXPECT_LE(worst, kTextDeviation + 1e-6);
        EXPECT_GT(worst, kTextDeviation / 5);  // no more points than the tolerance asks for
    }
    std::vector<OutlinePoint> line;
    FlattenSegment(from, {OutlineSegmentKind::Line, {}, {2, 3}}, kTextDeviation, line);
    ASSERT_EQ(line.size(), 1u);
    EXPECT_EQ(line[0].x, 2.0f);
}

TEST(TextMesh, CentringMovesXToSymmetricExtremesAndTheLowestPointToZero) {
    TextVertex vertices[3] = {{{1, 2, 3}, {0, 0, 1}}, {{5, -1, 0}, {0, 0, 1}}, {{2, 4, -1}, {}}};
    TextMesh mesh{3, 0, vertices, nullptr};
    CentreTextMesh(mesh);
    const float expected[3][3] = {{-2, 3, 3}, {2, 0, 0}, {-1, 5, -1}};
    for (int i = 0; i < 3; ++i) {
        for (int a = 0; a < 3; ++a) EXPECT_EQ(vertices[i].position[a], expected[i][a]);
    }

    // The made table: every word stands on y = 0 around x = 0, in arena memory.
    if (MemoryArena().base == nullptr) InitArena(MemoryArena());
    static TextMeshTable table;
    MakeTextMeshes(table);
    ASSERT_EQ(table.count, kTextMeshCount);
    for (int w = 0; w < kTextMeshCount; ++w) {
        const TextMesh& m = table.meshes[w];
        ASSERT_GT(m.vertexCount, 0) << WordList()[w];
        EXPECT_EQ(m.indexCount % 3, 0);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(m.vertices) % alignof(float), 0u);
        EXPECT_GE(reinterpret_cast<const std::uint8_t*>(m.vertices), MemoryArena().base);
        float lo[3] = {1e9f, 1e9f, 1e9f}, hi[3] = {-1e9f, -1e9f, -1e9f};
        for (int i = 0; i < m.vertexCount; ++i) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], m.vertices[i].position[a]);
                hi[a] = std::max(hi[a], m.vertices[i].position[a]);
            }
        }
        for (int i = 0; i < m.indexCount; ++i) EXPECT_LT(m.indices[i], m.vertexCount);
        EXPECT_EQ(lo[1], 0.0f) << WordList()[w];
        EXPECT_NEAR(lo[0] + hi[0], 0.0f, 1e-6f) << WordList()[w];
        EXPECT_EQ(lo[2], -kTextExtrusion);
        EXPECT_EQ(hi[2], 0.0f);
    }
}

TEST(TextMesh, StreamsGiveThreeFlatYellowVerticesPerWholeTriangle) {
    TextVertex vertices[4] = {{{0, 0, 0}, {0, 0, 1}},
                              {{3, 0, 0}, {1, 0, 0}},
                              {{0, 3, -0.05f}, {0, 1, 0}},
                              {{1, 1, 1}, {0, 0, -1}}};
    std::uint16_t indices[7] = {0, 1, 2, 3, 2, 1, 0};  // a stray index past the last triangle
    const MeshStreams s = TextMeshStreams(TextMesh{4, 7, vertices, indices});
    ASSERT_EQ(s.vertices.size(), 6u);
    ASSERT_EQ(s.indices.size(), 6u);
    for (std::uint32_t i = 0; i < 6; ++i) EXPECT_EQ(s.indices[i], i);
    for (int t = 0; t < 2; ++t) {
        const TextVertex* c[3];
        for (int k = 0; k < 3; ++k) c[k] = &vertices[indices[t * 3 + k]];
        for (int k = 0; k < 3; ++k) {
            const MeshVertex& v = s.vertices[t * 3 + k];
            for (int a = 0; a < 3; ++a) {
                EXPECT_EQ(v.position[a], c[k]->position[a]);
                EXPECT_EQ(v.normal[a], c[0]->normal[a]);  // the first corner's, for all three
                EXPECT_EQ(v.centre[a], (c[0]->position[a] + c[1]->position[a] + c[2]->position[a]) *
                                           0.3333333134651184f);
            }
            EXPECT_EQ(v.position[3], 1.0f);
            EXPECT_EQ(v.normal[3], 1.0f);
            EXPECT_EQ(v.centre[3], 1.0f);
            EXPECT_EQ(v.texcoord[0], 0.5f);
            EXPECT_EQ(v.texcoord[1], 0.5f);
            const std::uint8_t yellow[4] = {0xff, 0xff, 0x00, 0xff};
            EXPECT_TRUE(std::equal(v.colour, v.colour + 4, yellow));
        }
    }
    EXPECT_TRUE(TextMeshStreams(TextMesh{}).vertices.empty());
}

TEST(TextMesh, OnlyGeometryWithinSixteenBitCountsFits) {
    TextGeometry g;
    g.vertices.resize(0xffff);
    g.indices.resize(0xffff);
    EXPECT_TRUE(FitsTextMesh(g));
    g.vertices.resize(0x10000);
    EXPECT_FALSE(FitsTextMesh(g));
    g.vertices.resize(3);
    g.indices.resize(0x10000 + 2);
    EXPECT_FALSE(FitsTextMesh(g));
    EXPECT_FALSE(FitsTextMesh(Word(std::string(2000, 'W'))));
}

}  // namespace
}  // namespace quixo
