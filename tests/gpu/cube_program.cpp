#include "cube_program.h"

#include "mesh/mesh_program.h"
#include "mesh/mesh_streams.h"

namespace quixo::gfx::test {

MeshStreams CubeProgramStreams() {
    constexpr std::uint8_t kAddcube = 31;
    MeshProgram program{};
    program.opCount = 1;
    program.opcodes[0] = kAddcube;
    return BuildProgramStreams(BuildProgramMesh(program), 0);
}

}  // namespace quixo::gfx::test
