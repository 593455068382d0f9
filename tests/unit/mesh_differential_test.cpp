// The engine's modeller against the naive reference on random programs. The engine clears only
// what the last program used, marks selected vertices once per transform, extrudes and deletes
// in single passes and mimics the stale slots a removal in place leaves behind; any of these
// shortcuts changing one bit of one program shows up here.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "mesh/mesh_ops.h"
#include "mesh_reference.h"
#include "mesh_test_util.h"

namespace quixo {
namespace {

// Equal bits, or both not a number (payloads need not agree).
bool Same(float a, float b) {
    std::uint32_t x, y;
    std::memcpy(&x, &a, 4);
    std::memcpy(&y, &b, 4);
    return x == y || (std::isnan(a) && std::isnan(b));
}

::testing::AssertionResult SameMesh(const QuadMesh& m, const reference::Mesh& r) {
    if (m.vertexCount != r.vertexCount || m.quadCount != r.quadCount) {
        return ::testing::AssertionFailure() << "counts " << m.vertexCount << "/" << m.quadCount
                                             << " vs " << r.vertexCount << "/" << r.quadCount;
    }
    auto same3 = [](const Float3& a, const reference::Vec& b) {
        return Same(a.x, b.x) && Same(a.y, b.y) && Same(a.z, b.z);
    };
    for (std::uint32_t v = 0; v < m.vertexCount; ++v) {
        if (!same3(m.positions[v], r.positions[v]))
            return ::testing::AssertionFailure() << "position " << v;
        if (!same3(m.vertexNormals[v], r.vertexNormals[v])) {
            return ::testing::AssertionFailure() << "vertex normal " << v;
        }
    }
    for (std::uint32_t q = 0; q < m.quadCount; ++q) {
        for (int j = 0; j < 4; ++j) {
            if (m.quads[q][j] != r.quads[4 * q + j])
                return ::testing::AssertionFailure() << "quad " << q;
        }
        if (m.selected[q] != r.selected[q]) return ::testing::AssertionFailure() << "flag " << q;
        if (!same3(m.quadNormals[q], r.quadNormals[q])) {
            return ::testing::AssertionFailure() << "quad normal " << q;
        }
    }
    return ::testing::AssertionSuccess();
}

// A random program, generated while the engine runs it so that toggles name existing quads and
// the mesh stays small enough for the reference's quadratic scans.
MeshProgram RandomProgram(std::mt19937& rng, QuadMesh& mesh) {
    MeshProgram p{};
    int stream = 0;
    const int length = 1 + static_cast<int>(rng() % 40);
    for (int k = 0; k < length; ++k) {
        std::uint8_t code;
        const std::uint32_t pick = rng() % 100;
        if (k == 0 || pick < 6) {
            code = 31;
        } else if (pick < 30) {
            code = kToggleOpcode;
        } else if (pick < 33) {
            code = static_cast<std::uint8_t>(32 + rng() % 224);  // no operation
        } else if (pick < 45) {
            // Range selections and deletions, so that references to deleted quads come up.
            code = static_cast<std::uint8_t>(pick < 40 ? 24 + rng() % 3 : 30);
        } else {
            code = static_cast<std::uint8_t>(rng() % 31);
        }
        if (code == kToggleOpcode && mesh.quadCount == 0) code = 19;
        if ((code == 27 || code == 28) && mesh.quadCount > 150) code = 30;
        if ((code == 29 || code == 31) && mesh.quadCount > 600) code = 30;
        // Mostly amounts near 1 and 0 so shapes stay finite, now and then any byte.
        const std::uint8_t operand = rng() % 4 == 0 ? static_cast<std::uint8_t>(rng() % 256)
                                                    : static_cast<std::uint8_t>(120 + rng() % 28);
        p.opcodes[p.opCount] = code;
        p.operands[p.opCount] = operand;
        if (code == kToggleOpcode)
            p.quadStream[stream] = static_cast<std::int32_t>(rng() % mesh.quadCount);
        int position = stream;
        RunMeshProgramStep(p, p.opCount, position, mesh);
        stream = position;
        ++p.opCount;
    }
    return p;
}

TEST(MeshDifferential, RandomProgramsMatchTheNaiveModeller) {
    std::mt19937 rng(20261208);
    QuadMesh& mesh = ScratchQuadMesh();
    std::int32_t referenceLast = -1;
    ResetModellerState();
    for (int round = 0; round < 150; ++round) {
        const std::int32_t lastBefore = lastToggledQuad;
        ClearUsedQuadMesh(mesh);
        const MeshProgram program = RandomProgram(rng, mesh);

        // The engine's own run through the interpreter, from the same start.
        ClearUsedQuadMesh(mesh);
        lastToggledQuad = lastBefore;
        unpacko(program, mesh);

        reference::Mesh ref(20000);
        reference::Run(program, ref, referenceLast);
        ASSERT_TRUE(SameMesh(mesh, ref)) << "round " << round;
        ASSERT_EQ(lastToggledQuad, referenceLast) << "round " << round;
    }
}

}  // namespace
}  // namespace quixo
