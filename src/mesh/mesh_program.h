#pragma once
// Mesh programs: stored byte-coded recipes run by the interpreter against the scratch mesh.
#include <cstdint>

#include "mesh/mesh_ops.h"
#include "mesh/quad_mesh.h"

namespace quixo {

constexpr int kMeshProgramCount = 39;
constexpr int kMeshProgramBytes = 1544;
constexpr int kMeshProgramSlots = 256;  // opcodes, operands and quad indices each

// One stored record, unpacked from its little-endian layout: op count at 0, opcodes at 1,
// operands at 257, 256 signed quad indices at 513, flag at 1537, two zero bytes, texMode at
// 1540.
struct MeshProgram {
    std::uint8_t opCount;
    std::uint8_t opcodes[kMeshProgramSlots];
    std::uint8_t operands[kMeshProgramSlots];
    std::int32_t quadStream[kMeshProgramSlots];
    std::uint8_t flag;     // carried, never read by the build
    std::int32_t texMode;  // 0: corner texture coordinates, 1: spherical angles
};

MeshProgram ReadMeshProgram(const std::uint8_t* record);
void WriteMeshProgram(const MeshProgram& program, std::uint8_t* record);

// The amount an operand byte stands for: b * 16/255 - 8, so 0 gives -8 and 255 gives 8.000001.
float DecodeOperand(std::uint8_t b);

// Runs operation k of the program on the mesh. streamPosition is the next index of the quad
// stream; a toggle consumes it. Codes outside the table other than the toggle do nothing.
void RunMeshProgramStep(const MeshProgram& program, int k, int& streamPosition, QuadMesh& mesh);

// Runs the whole program on a cleared mesh.
void unpacko(const MeshProgram& program, QuadMesh& mesh);

// Clears the scratch mesh and runs the program on it; the result stays in ScratchQuadMesh().
QuadMesh& BuildProgramMesh(const MeshProgram& program);

}  // namespace quixo
