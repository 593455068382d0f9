#pragma once
// A checking run of a mesh program, for the build-time compiler and the tool: the stored
// records are trusted at start-up, so this is where a program that would break the mesh's
// capacities or toggle a missing quad is caught, before it runs past an array.
#include <functional>
#include <optional>
#include <string>

#include "mesh/mesh_program.h"

namespace quixo {

struct MeshProgramFault {
    int step;             // index of the operation that would break a limit
    std::string message;  // what it would break
};

// Called after each operation that ran, with its index.
using MeshStepObserver = std::function<void(int step, const QuadMesh& mesh)>;

// Runs the program on the (cleared) mesh like unpacko, checking each operation before it runs.
// Stops at the first operation that would break a limit and reports it; the mesh then holds
// the result of the operations before it.
std::optional<MeshProgramFault> RunMeshProgramChecked(const MeshProgram& program, QuadMesh& mesh,
                                                      const MeshStepObserver& observer = {});

// The vertex count one subdivision step would leave, found without touching the mesh.
std::uint64_t CountSubdivisionVertices(const QuadMesh& mesh, bool smoothing);

}  // namespace quixo
