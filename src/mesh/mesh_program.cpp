#include "mesh/mesh_program.h"

#include <cstring>

#include "mesh/mesh_ops.h"

namespace quixo {

const MeshOperation functio[32] = {
    scale1,  scale2,  scale3,  scale4,  scale5,  scale6,  scale7,  scale8,
    scalece, trans1,  trans2b, trans3,  trans4,  trans5,  trans6,  trans2,
    rotate1, rotate2, rotate3, select1, select2, select3, select4, select5,
    select6, select7, select8, subd,    smoooth, addquad, delQuad, addcube,
};

namespace {

std::int32_t ReadI32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 |
                                     std::uint32_t{p[2]} << 16 | std::uint32_t{p[3]} << 24);
}

void WriteI32(std::uint8_t* p, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(u >> (8 * i));
}

constexpr int kOpcodesAt = 1;
constexpr int kOperandsAt = 257;
constexpr int kStreamAt = 513;
constexpr int kFlagAt = 1537;
constexpr int kTexModeAt = 1540;

}  // namespace

MeshProgram ReadMeshProgram(const std::uint8_t* record) {
    MeshProgram p{};
    p.opCount = record[0];
    std::memcpy(p.opcodes, record + kOpcodesAt, kMeshProgramSlots);
    std::memcpy(p.operands, record + kOperandsAt, kMeshProgramSlots);
    for (int i = 0; i < kMeshProgramSlots; ++i)
        p.quadStream[i] = ReadI32(record + kStreamAt + 4 * i);
    p.flag = record[kFlagAt];
    p.texMode = ReadI32(record + kTexModeAt);
    return p;
}

void WriteMeshProgram(const MeshProgram& p, std::uint8_t* record) {
    std::memset(record, 0, kMeshProgramBytes);
    record[0] = p.opCount;
    std::memcpy(record + kOpcodesAt, p.opcodes, kMeshProgramSlots);
    std::memcpy(record + kOperandsAt, p.operands, kMeshProgramSlots);
    for (int i = 0; i < kMeshProgramSlots; ++i)
        WriteI32(record + kStreamAt + 4 * i, p.quadStream[i]);
    record[kFlagAt] = p.flag;
    WriteI32(record + kTexModeAt, p.texMode);
}

float DecodeOperand(std::uint8_t b) {
    // The factor is held as a float; the product and difference are exact in double, so one
    // rounding to float remains.
    constexpr float kFactor = 0.062745101749897f;
    return static_cast<float>(static_cast<double>(b) * static_cast<double>(kFactor) - 8.0);
}

bool IsSelectionOpcode(std::uint8_t opcode) {
    return (opcode >= 19 && opcode <= 26) || opcode == kToggleOpcode;
}

void RunMeshProgramStep(const MeshProgram& program, int k, int& streamPosition, QuadMesh& mesh) {
    const std::uint8_t opcode = program.opcodes[k];
    if (opcode < 32) {
        functio[opcode](mesh, DecodeOperand(program.operands[k]));
        if (!IsSelectionOpcode(opcode)) setnorm(mesh);
    } else if (opcode == kToggleOpcode) {
        select9(mesh, program.quadStream[streamPosition++]);
    }
}

void unpacko(const MeshProgram& program, QuadMesh& mesh) {
    int streamPosition = 0;
    for (int k = 0; k < program.opCount; ++k) RunMeshProgramStep(program, k, streamPosition, mesh);
}

QuadMesh& BuildProgramMesh(const MeshProgram& program) {
    QuadMesh& mesh = ScratchQuadMesh();
    ClearUsedQuadMesh(mesh);
    unpacko(program, mesh);
    return mesh;
}

}  // namespace quixo
