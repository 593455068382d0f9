#include "authoring/program_check.h"

#include <unordered_set>

#include "mesh/mesh_ops.h"
#include "mesh/position_index.h"

namespace quixo {

namespace {

std::uint32_t SelectedCount(const QuadMesh& mesh) {
    std::uint32_t n = 0;
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) n += mesh.selected[q] != 0;
    return n;
}

std::string Counts(std::uint64_t vertices, std::uint64_t quads) {
    return std::to_string(vertices) + " vertices and " + std::to_string(quads) + " quads";
}

// Why operation k would break a limit, or nothing.
std::optional<std::string> CheckStep(const MeshProgram& program, int k, int streamPosition,
                                     const QuadMesh& mesh) {
    const std::uint8_t opcode = program.opcodes[k];
    const std::uint64_t v = mesh.vertexCount;
    const std::uint64_t q = mesh.quadCount;
    std::uint64_t needV = v;
    std::uint64_t needQ = q;
    if (opcode == 31) {
        needV = v + 8;
        needQ = q + 6;
    } else if (opcode == 29) {
        const std::uint64_t s = SelectedCount(mesh);
        needV = v + 4 * s;
        needQ = q + 4 * s + (s > 0);  // the slot past the end is written too
    } else if (opcode == 27 || opcode == 28) {
        needQ = 5 * q;  // the children are appended before the parents go
        if (needQ <= kMeshCapacity) needV = CountSubdivisionVertices(mesh, opcode == 28);
    } else if (opcode == kToggleOpcode) {
        if (streamPosition >= kMeshProgramSlots)
            return "toggle past the end of the quad index stream";
        const std::int32_t index = program.quadStream[streamPosition];
        if (index < 0 || static_cast<std::uint64_t>(index) >= q) {
            return "toggles quad " + std::to_string(index) + ", but the mesh has " +
                   std::to_string(q) + " quads";
        }
    }
    if (needV > kMeshCapacity || needQ > kMeshCapacity) {
        return "needs room for " + Counts(needV, needQ) + "; the mesh holds " +
               Counts(kMeshCapacity, kMeshCapacity);
    }
    return std::nullopt;
}

}  // namespace

std::uint64_t CountSubdivisionVertices(const QuadMesh& mesh, bool smoothing) {
    // The face points are always new; an edge point is new unless an equal position was
    // created earlier in the same step (face or edge point), which is what addvert finds.
    std::unordered_set<PositionKey, PositionKeyHash> created;
    std::uint64_t count = mesh.vertexCount;
    PositionKey key;
    for (std::uint32_t i = 0; i < mesh.quadCount; ++i) {
        const std::uint32_t* w = mesh.quads[i];
        const Float3 c = centroi(mesh, i);
        ++count;
        if (MakePositionKey(c, key)) created.insert(key);
        for (int j = 0; j < 4; ++j) {
            Float3 edge;
            maths1(edge, mesh.positions[w[j]], mesh.positions[w[(j + 1) % 4]]);
            if (!smoothing) maths9(edge, 0.5f);
            if (!MakePositionKey(edge, key)) {
                ++count;
            } else if (created.insert(key).second) {
                ++count;
            }
        }
    }
    return count;
}

std::optional<MeshProgramFault> RunMeshProgramChecked(const MeshProgram& program, QuadMesh& mesh,
                                                      const MeshStepObserver& observer) {
    int streamPosition = 0;
    for (int k = 0; k < program.opCount; ++k) {
        if (auto why = CheckStep(program, k, streamPosition, mesh)) {
            return MeshProgramFault{k, *why};
        }
        RunMeshProgramStep(program, k, streamPosition, mesh);
        if (observer) observer(k, mesh);
    }
    return std::nullopt;
}

}  // namespace quixo
