#pragma once
// Helpers shared by the modeller tests: a heap mesh (the block is 14 MB) and a small program
// builder.
#include <initializer_list>
#include <memory>

#include "mesh/mesh_ops.h"
#include "mesh/mesh_program.h"

namespace quixo::test {

inline std::unique_ptr<QuadMesh> NewMesh() {
    return std::make_unique<QuadMesh>();  // value-initialised: all zero
}

inline std::unique_ptr<QuadMesh> NewCube() {
    auto mesh = NewMesh();
    addcube(*mesh, 0);
    setnorm(*mesh);
    return mesh;
}

struct Op {
    std::uint8_t code;
    std::uint8_t operand = 128;
};

// A program of the given operations; toggles take their quads from `stream` in order.
inline MeshProgram MakeProgram(std::initializer_list<Op> ops,
                               std::initializer_list<std::int32_t> stream = {}) {
    MeshProgram p{};
    for (const Op& op : ops) {
        p.opcodes[p.opCount] = op.code;
        p.operands[p.opCount] = op.operand;
        ++p.opCount;
    }
    int i = 0;
    for (std::int32_t q : stream) p.quadStream[i++] = q;
    return p;
}

}  // namespace quixo::test
