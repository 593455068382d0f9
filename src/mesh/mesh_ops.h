#pragma once
// The modeller's operations, one small routine each, all with the signature of the operation
// table: the mesh and the decoded amount (ignored by those that need none).
#include <cstdint>
#include <string_view>

#include "mesh/quad_mesh.h"

namespace quixo {

using MeshOperation = void (*)(QuadMesh& mesh, float amount);

// Transforms.
void scale1(QuadMesh& mesh, float a);
void scale2(QuadMesh& mesh, float a);
void scale3(QuadMesh& mesh, float a);
void scale4(QuadMesh& mesh, float a);
void scale5(QuadMesh& mesh, float a);
void scale6(QuadMesh& mesh, float a);
void scale7(QuadMesh& mesh, float a);
void scale8(QuadMesh& mesh, float a);
void scalece(QuadMesh& mesh, float a);
void trans1(QuadMesh& mesh, float a);
void trans2b(QuadMesh& mesh, float a);
void trans3(QuadMesh& mesh, float a);
void trans4(QuadMesh& mesh, float a);
void trans5(QuadMesh& mesh, float a);
void trans6(QuadMesh& mesh, float a);
void trans2(QuadMesh& mesh, float a);
void rotate1(QuadMesh& mesh, float a);
void rotate2(QuadMesh& mesh, float a);
void rotate3(QuadMesh& mesh, float a);

// Selections (no geometry change).
void select1(QuadMesh& mesh, float a);
void select2(QuadMesh& mesh, float a);
void select3(QuadMesh& mesh, float a);
void select4(QuadMesh& mesh, float a);
void select5(QuadMesh& mesh, float a);
void select6(QuadMesh& mesh, float a);
void select7(QuadMesh& mesh, float a);
void select8(QuadMesh& mesh, float a);
// Toggles quad q (opcode 50, fed from the program's index stream).
void select9(QuadMesh& mesh, std::int32_t q);

// Topology.
void subd(QuadMesh& mesh, float a);
void smoooth(QuadMesh& mesh, float a);
void addquad(QuadMesh& mesh, float a);
void delQuad(QuadMesh& mesh, float a);
void addcube(QuadMesh& mesh, float a);

// The shared subdivision step: every quad split into four, with Catmull-Clark smoothing when
// smoothing is set.
void smooth(QuadMesh& mesh, bool smoothing);

// One operation of the programs: its code, the name the readable sources give it, the routine
// that runs it (null for the toggle, which the interpreter feeds from the quad stream), whether
// it reads its operand as an amount, and whether it only selects, so that the interpreter
// leaves the normals as they are after it. The interpreter, the source reader and the checks
// all read this one table.
struct MeshOpRow {
    std::uint8_t code;
    const char* name;
    MeshOperation run;
    bool takesAmount;
    bool selects;
};

constexpr std::uint8_t kToggleOpcode = 50;
constexpr int kTableOpcodes = 32;  // codes 0..31 dispatch through the table by code

// Rows 0..31 are codes 0..31; the last row is the toggle, code 50.
constexpr int kMeshOpCount = kTableOpcodes + 1;
extern const MeshOpRow functio[kMeshOpCount];

// The row of an opcode; null for the codes that do nothing.
const MeshOpRow* MeshOpOf(std::uint8_t code);

// The row of a source name; null when no operation has it.
const MeshOpRow* MeshOpNamed(std::string_view name);

}  // namespace quixo
