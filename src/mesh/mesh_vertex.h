#pragma once
// The one 68-byte vertex of every mesh, text mesh and debug line (semantics P, N, T, C, G).
#include <cstdint>
#include <vector>

namespace quixo {

struct MeshVertex {
    float position[4];       // P: x, y, z, 1
    float normal[4];         // N: not normalised, w = 1
    float texcoord[4];       // T: x, y used
    std::uint8_t colour[4];  // C: one byte per channel in memory order
    float centre[4];         // G: centre of the vertex's face, w = 1
};
static_assert(sizeof(MeshVertex) == 68);

// A finished mesh on the CPU: six vertices a quad (three a triangle) and sequential indices,
// ready for upload. Empty when the mesh has no faces (drawing skips it).
struct MeshStreams {
    std::vector<MeshVertex> vertices;
    std::vector<std::uint32_t> indices;
};

}  // namespace quixo
