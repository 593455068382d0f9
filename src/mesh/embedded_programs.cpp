#include "mesh/embedded_programs.h"

#include "mesh/mesh_streams.h"
#include "platform/embedded.h"

QUIXO_DECLARE_BLOB(mesh_programs);

namespace quixo {

const std::uint8_t* EmbeddedMeshProgramBytes() {
    return QUIXO_BLOB(mesh_programs).data;
}

MeshProgram EmbeddedMeshProgram(int i) {
    return ReadMeshProgram(EmbeddedMeshProgramBytes() + i * kMeshProgramBytes);
}

MeshStreams BuildEmbeddedProgramMesh(int i) {
    const MeshProgram program = EmbeddedMeshProgram(i);
    return BuildProgramStreams(BuildProgramMesh(program), program.texMode);
}

}  // namespace quixo
