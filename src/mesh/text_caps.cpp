#include "mesh/text_caps.h"

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/tessellator.h"

namespace quixo {

namespace {

// What the tessellator's callbacks fill. Vertex data handed to the tessellator is the point's
// index, so the callbacks never hold pointers into a growing list.
struct TessState {
    std::vector<OutlinePoint>* points;
    std::vector<std::uint32_t>* triangles;
    bool failed = false;
};

void* IndexToData(std::size_t index) {
    return reinterpret_cast<void*>(static_cast<std::uintptr_t>(index));
}

std::uint32_t DataToIndex(void* data) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(data));
}

void GLAPIENTRY OnBegin(GLenum type, void* user) {
    // With an edge-flag callback the tessellator emits independent triangles only.
    if (type != GL_TRIANGLES) static_cast<TessState*>(user)->failed = true;
}

void GLAPIENTRY OnVertex(void* vertex, void* user) {
    static_cast<TessState*>(user)->triangles->push_back(DataToIndex(vertex));
}

void GLAPIENTRY OnEdgeFlag(GLboolean, void*) {}

void GLAPIENTRY OnCombine(GLdouble coords[3], void* [4], GLfloat[4], void** out, void* user) {
    auto& state = *static_cast<TessState*>(user);
    state.points->push_back({static_cast<float>(coords[0]), static_cast<float>(coords[1])});
    *out = IndexToData(state.points->size() - 1);
}

void GLAPIENTRY OnError(GLenum, void* user) {
    static_cast<TessState*>(user)->failed = true;
}

template <typename F>
TessCallback Callback(F* f) {
    return reinterpret_cast<TessCallback>(f);
}

double SignedArea2(const OutlinePoint& a, const OutlinePoint& b, const OutlinePoint& c) {
    return (static_cast<double>(b.x) - a.x) * (static_cast<double>(c.y) - a.y) -
           (static_cast<double>(b.y) - a.y) * (static_cast<double>(c.x) - a.x);
}

struct TessDeleter {
    void operator()(GLUtesselator* tess) const { gluDeleteTess(tess); }
};

}  // namespace

bool TriangulateCaps(const std::vector<Polyline>& contours, std::vector<OutlinePoint>& points,
                     std::vector<std::uint32_t>& triangles) {
    points.clear();
    triangles.clear();
    std::size_t total = 0;
    for (const Polyline& c : contours) total += c.size();
    if (total == 0) return true;

    std::unique_ptr<GLUtesselator, TessDeleter> tess(gluNewTess());
    if (!tess) return false;
    TessState state{&points, &triangles};
    GLUtesselator* t = tess.get();
    gluTessCallback(t, GLU_TESS_BEGIN_DATA, Callback(OnBegin));
    gluTessCallback(t, GLU_TESS_VERTEX_DATA, Callback(OnVertex));
    gluTessCallback(t, GLU_TESS_EDGE_FLAG_DATA, Callback(OnEdgeFlag));
    gluTessCallback(t, GLU_TESS_COMBINE_DATA, Callback(OnCombine));
    gluTessCallback(t, GLU_TESS_ERROR_DATA, Callback(OnError));
    gluTessProperty(t, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessNormal(t, 0, 0, 1);

    // The tessellator keeps pointers to the coordinates until the polygon ends.
    std::vector<GLdouble> coords(total * 3);
    points.reserve(total);
    gluTessBeginPolygon(t, &state);
    for (const Polyline& contour : contours) {
        gluTessBeginContour(t);
        for (const OutlinePoint& p : contour) {
            GLdouble* xyz = &coords[points.size() * 3];
            xyz[0] = p.x;
            xyz[1] = p.y;
            xyz[2] = 0;
            gluTessVertex(t, xyz, IndexToData(points.size()));
            points.push_back(p);
        }
        gluTessEndContour(t);
    }
    gluTessEndPolygon(t);

    if (state.failed || triangles.size() % 3 != 0) {
        points.clear();
        triangles.clear();
        return false;
    }
    // Orient every triangle to face +z, whatever order the tessellator emitted its corners in.
    for (std::size_t i = 0; i < triangles.size(); i += 3) {
        if (SignedArea2(points[triangles[i]], points[triangles[i + 1]], points[triangles[i + 2]]) <
            0) {
            std::swap(triangles[i + 1], triangles[i + 2]);
        }
    }
    return true;
}

}  // namespace quixo
