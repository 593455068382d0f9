// Transform operations: they move vertices and leave the topology alone.
#include <cmath>

#include "mesh/mesh_ops.h"

namespace quixo {

namespace {

// Per-vertex vselect() answers for the current selection, gathered in one pass over the quads.
// A transform changes positions only, never the selection or the quads, so these equal what
// vselect would return for every vertex throughout the operation.
std::uint8_t vertexSelected[kMeshCapacity];

void MarkSelectedVertices(const QuadMesh& mesh) {
    mset(vertexSelected, 0, mesh.vertexCount);
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        if (mesh.selected[q] == 0) continue;
        for (int j = 0; j < 4; ++j) vertexSelected[mesh.quads[q][j]] = 1;
    }
}

void scaleob(QuadMesh& mesh, const Float3& f, bool all) {
    if (!all) MarkSelectedVertices(mesh);
    for (std::uint32_t v = 0; v < mesh.vertexCount; ++v) {
        if (all || vertexSelected[v]) maths3(mesh.positions[v], mesh.positions[v], f);
    }
}

void transob(QuadMesh& mesh, const Float3& d, int mode) {
    if (mode == 1) MarkSelectedVertices(mesh);
    for (std::uint32_t v = 0; v < mesh.vertexCount; ++v) {
        if (mode == 0 || vertexSelected[v]) maths1(mesh.positions[v], mesh.positions[v], d);
    }
}

void rotobj(QuadMesh& mesh, float a, int axis) {
    const float angle = (a * 22.5f) * 0.017453279346227646f;
    const float co = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float si = static_cast<float>(std::sin(static_cast<double>(angle)));
    MarkSelectedVertices(mesh);
    for (std::uint32_t v = 0; v < mesh.vertexCount; ++v) {
        if (!vertexSelected[v]) continue;
        Float3& p = mesh.positions[v];
        const float x = p.x, y = p.y, z = p.z;
        if (axis == 0) {
            p.y = co * y - si * z;
            p.z = si * y + co * z;
        } else if (axis == 1) {
            p.x = co * x + si * z;
            p.z = co * z - si * x;
        } else {
            p.x = co * x - si * y;
            p.y = si * x + co * y;
        }
    }
}

}  // namespace

void scale1(QuadMesh& mesh, float a) {
    scaleob(mesh, {a, 1, 1}, true);
}
void scale2(QuadMesh& mesh, float a) {
    scaleob(mesh, {1, a, 1}, true);
}
void scale3(QuadMesh& mesh, float a) {
    scaleob(mesh, {1, 1, a}, true);
}
void scale4(QuadMesh& mesh, float a) {
    scaleob(mesh, {a, a, a}, true);
}
void scale5(QuadMesh& mesh, float a) {
    scaleob(mesh, {a, 1, 1}, false);
}
void scale6(QuadMesh& mesh, float a) {
    scaleob(mesh, {1, a, 1}, false);
}
void scale7(QuadMesh& mesh, float a) {
    scaleob(mesh, {1, 1, a}, false);
}
void scale8(QuadMesh& mesh, float a) {
    scaleob(mesh, {a, a, a}, false);
}

// Each selected quad shrinks or grows about its own centre; shared corners are pulled once per
// selected quad, each centre taken after the earlier quads have moved.
void scalece(QuadMesh& mesh, float a) {
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        if (mesh.selected[q] == 0) continue;
        const Float3 m = centroi(mesh, q);
        for (int j = 0; j < 4; ++j) {
            Float3& p = mesh.positions[mesh.quads[q][j]];
            maths8(p, m, p, a);
        }
    }
}

void trans1(QuadMesh& mesh, float a) {
    transob(mesh, {a, 0, 0}, 0);
}
void trans2b(QuadMesh& mesh, float a) {
    transob(mesh, {0, a, 0}, 0);
}
void trans3(QuadMesh& mesh, float a) {
    transob(mesh, {0, 0, a}, 0);
}
void trans4(QuadMesh& mesh, float a) {
    transob(mesh, {a, 0, 0}, 1);
}
void trans5(QuadMesh& mesh, float a) {
    transob(mesh, {0, a, 0}, 1);
}
void trans6(QuadMesh& mesh, float a) {
    transob(mesh, {0, 0, a}, 1);
}

// Pushes each selected quad's corners along its last computed (area-weighted) normal; after an
// extrusion this lifts the caps.
void trans2(QuadMesh& mesh, float a) {
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        if (mesh.selected[q] == 0) continue;
        for (int j = 0; j < 4; ++j) {
            Float3& p = mesh.positions[mesh.quads[q][j]];
            maths4(p, mesh.quadNormals[q], a, p);
        }
    }
}

void rotate1(QuadMesh& mesh, float a) {
    rotobj(mesh, a, 0);
}
void rotate2(QuadMesh& mesh, float a) {
    rotobj(mesh, a, 1);
}
void rotate3(QuadMesh& mesh, float a) {
    rotobj(mesh, a, 2);
}

}  // namespace quixo
