#pragma once
// Finishing a program mesh: every quad becomes two triangles with their own six vertices, so
// the flat per-face data (face centre, corner texture coordinates) can travel with each vertex.
#include <cstdint>

#include "mesh/mesh_vertex.h"
#include "mesh/quad_mesh.h"

namespace quixo {

// Six vertices per quad for the corners c0, c1, c3, c1, c2, c3, and the indices 0 .. 6Q - 1.
// texMode 0 gives each corner its fixed texture coordinate; texMode 1 the spherical angles of
// the vertex position; any other value leaves them zero. A mesh without quads gives empty
// streams.
MeshStreams BuildProgramStreams(const QuadMesh& mesh, std::int32_t texMode);

// The spherical angles of a position (texMode 1): the angle from the z axis folded into
// [0, pi/2] and the latitude of y in the xy plane in [-pi/2, pi/2]; 0 where undefined.
void SphericalTexcoord(const Float3& p, float out[2]);

}  // namespace quixo
