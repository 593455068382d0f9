#pragma once
// The 39 stored mesh programs, compiled from data/meshes at build time.
#include "mesh/mesh_program.h"
#include "mesh/mesh_vertex.h"

namespace quixo {

// The stored bytes: kMeshProgramCount records of kMeshProgramBytes, back to back.
const std::uint8_t* EmbeddedMeshProgramBytes();

// Record i, unpacked.
MeshProgram EmbeddedMeshProgram(int i);

// Runs program record i on the cleared scratch mesh and finishes it into vertex streams. The
// last toggled quad carries over from the previous build, so build the records in order.
MeshStreams BuildEmbeddedProgramMesh(int i);

}  // namespace quixo
