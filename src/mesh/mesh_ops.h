#pragma once
// The modeller's operations, one small routine each, all with the signature of the operation
// table: the mesh and the decoded amount (ignored by those that need none).
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

// The operation table, indexed by opcodes 0 to 31.
extern const MeshOperation functio[32];

}  // namespace quixo
