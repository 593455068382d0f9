#pragma once
// A deliberately naive second modeller for differential tests: every rule as literally as it
// reads (vselect per vertex, quads removed one at a time by closing the gap, extrusion in
// place, subdivision with linear vertex searches and fully cleared accumulators), on growable
// arrays, with its own arithmetic written out. The engine's modeller takes shortcuts that
// must not change a single bit; this is what it is compared with.
#include <cstdint>
#include <vector>

#include "mesh/mesh_program.h"

namespace quixo::reference {

struct Vec {
    float x, y, z;
};

struct Mesh {
    std::uint32_t vertexCount = 0;
    std::uint32_t quadCount = 0;
    std::vector<std::uint32_t> quads;  // 4 per slot
    std::vector<Vec> positions, vertexNormals, quadNormals;
    std::vector<std::uint32_t> selected;
    explicit Mesh(std::uint32_t capacity);
};

// Runs one program on a fresh mesh; lastToggled carries over between calls as in the demo.
void Run(const MeshProgram& program, Mesh& mesh, std::int32_t& lastToggled);

}  // namespace quixo::reference
