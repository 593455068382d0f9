#include "mesh/mesh_streams.h"

#include <cmath>

namespace quixo {

namespace {

constexpr int kTriangleCorners[6] = {0, 1, 3, 1, 2, 3};
constexpr float kCornerTexcoords[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};

float Atan2(float y, float x) {
    return static_cast<float>(std::atan2(static_cast<double>(y), static_cast<double>(x)));
}

}  // namespace

void SphericalTexcoord(const Float3& p, float out[2]) {
    out[0] = 0.0f;
    out[1] = 0.0f;
    const float r = std::sqrt(p.x * p.x + p.y * p.y + p.z * p.z);
    if (r == 0.0f) return;
    const float e = p.z / r;
    out[0] = Atan2(std::sqrt(1.0f - e * e), std::fabs(e));
    const float h = std::sqrt(p.x * p.x + p.y * p.y);
    if (h == 0.0f) return;
    const float t = p.y / h;
    out[1] = Atan2(t, std::sqrt(1.0f - t * t));
}

MeshStreams BuildProgramStreams(const QuadMesh& mesh, std::int32_t texMode) {
    MeshStreams streams;
    const std::uint32_t count = 6 * mesh.quadCount;
    streams.vertices.resize(count);
    streams.indices.resize(count);
    MeshVertex* out = streams.vertices.data();
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        const std::uint32_t* c = mesh.quads[q];
        Float3 centre = mesh.positions[c[1]];
        maths1(centre, centre, mesh.positions[c[0]]);
        maths1(centre, centre, mesh.positions[c[2]]);
        maths1(centre, centre, mesh.positions[c[3]]);
        maths9(centre, 0.25f);
        for (int k = 0; k < 6; ++k, ++out) {
            const int corner = kTriangleCorners[k];
            const Float3& p = mesh.positions[c[corner]];
            const Float3& n = mesh.vertexNormals[c[corner]];
            *out = MeshVertex{{p.x, p.y, p.z, 1.0f},
                              {n.x, n.y, n.z, 1.0f},
                              {0, 0, 0, 0},
                              {0x80, 0x80, 0x80, 0x80},
                              {centre.x, centre.y, centre.z, 1.0f}};
            if (texMode == 0) {
                out->texcoord[0] = kCornerTexcoords[corner][0];
                out->texcoord[1] = kCornerTexcoords[corner][1];
            } else if (texMode == 1) {
                SphericalTexcoord(p, out->texcoord);
            }
        }
    }
    for (std::uint32_t i = 0; i < count; ++i) streams.indices[i] = i;
    return streams;
}

}  // namespace quixo
