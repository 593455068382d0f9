// Selection operations: they change only the selected flags and the reference quad.
#include "mesh/mesh_ops.h"

namespace quixo {

void select1(QuadMesh& mesh, float) {
    selrang(mesh, 0, std::int64_t{mesh.quadCount} - 1, 1);
}

void select2(QuadMesh& mesh, float) {
    selrang(mesh, 0, std::int64_t{mesh.quadCount} - 1, 0);
    lastToggledQuad = -1;
}

void select3(QuadMesh& mesh, float) {
    selinvr(mesh);
    lastToggledQuad = -1;
}

void select4(QuadMesh& mesh, float) {
    expands(mesh, 1);
}

void select5(QuadMesh& mesh, float) {
    expands(mesh, 0);
}

namespace {

float Axis(const Float3& p, int axis) {
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

// Adds every quad whose centre lies between the reference quad's extreme corners on the axis:
// a slab through the mesh.
void axissel(QuadMesh& mesh, int axis) {
    if (lastToggledQuad == -1) return;
    float lo = 1000000.0f;
    float hi = -1000000.0f;
    for (int j = 0; j < 4; ++j) {
        const float t = Axis(mesh.positions[mesh.quads[lastToggledQuad][j]], axis);
        if (t <= lo) lo = t;
        if (t >= hi) hi = t;
    }
    for (std::uint32_t i = 0; i < mesh.quadCount; ++i) {
        const float c = Axis(centroi(mesh, i), axis);
        if (lo <= c && c <= hi) mesh.selected[i] = 1;
    }
}

}  // namespace

void select6(QuadMesh& mesh, float) {
    axissel(mesh, 0);
}

void select7(QuadMesh& mesh, float) {
    axissel(mesh, 1);
}

void select8(QuadMesh& mesh, float) {
    axissel(mesh, 2);
}

void select9(QuadMesh& mesh, std::int32_t q) {
    mesh.selected[q] = mesh.selected[q] == 0 ? 1 : 0;
    lastToggledQuad = mesh.selected[q] ? q : -1;
}

}  // namespace quixo
