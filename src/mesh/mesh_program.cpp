#include "mesh/mesh_program.h"

#include <cstring>

#include "mesh/mesh_ops.h"

namespace quixo {

namespace {

constexpr bool kAmount = true;
constexpr bool kSelects = true;

}  // namespace

constexpr MeshOpRow functio[kMeshOpCount] = {
    {0, "scale1", scale1, kAmount, false},
    {1, "scale2", scale2, kAmount, false},
    {2, "scale3", scale3, kAmount, false},
    {3, "scale4", scale4, kAmount, false},
    {4, "scale5", scale5, kAmount, false},
    {5, "scale6", scale6, kAmount, false},
    {6, "scale7", scale7, kAmount, false},
    {7, "scale8", scale8, kAmount, false},
    {8, "scalece", scalece, kAmount, false},
    {9, "trans1", trans1, kAmount, false},
    {10, "trans2b", trans2b, kAmount, false},
    {11, "trans3", trans3, kAmount, false},
    {12, "trans4", trans4, kAmount, false},
    {13, "trans5", trans5, kAmount, false},
    {14, "trans6", trans6, kAmount, false},
    {15, "trans2", trans2, kAmount, false},
    {16, "rotate1", rotate1, kAmount, false},
    {17, "rotate2", rotate2, kAmount, false},
    {18, "rotate3", rotate3, kAmount, false},
    {19, "select1", select1, false, kSelects},
    {20, "select2", select2, false, kSelects},
    {21, "select3", select3, false, kSelects},
    {22, "select4", select4, false, kSelects},
    {23, "select5", select5, false, kSelects},
    {24, "select6", select6, false, kSelects},
    {25, "select7", select7, false, kSelects},
    {26, "select8", select8, false, kSelects},
    {27, "subd", subd, false, false},
    {28, "smoooth", smoooth, false, false},
    {29, "addquad", addquad, false, false},
    {30, "delQuad", delQuad, false, false},
    {31, "addcube", addcube, false, false},
    {kToggleOpcode, "toggle", nullptr, false, kSelects},
};

namespace {

// The table's own checks. Only names, codes and flags: whether a routine is there is a unit
// test's (a sanitizer build does not take a function's address as a constant).
constexpr bool SameName(const char* a, const char* b) {
    while (*a != '\0' && *a == *b) ++a, ++b;
    return *a == *b;
}

constexpr bool CodesInPlace() {
    for (int i = 0; i < kTableOpcodes; ++i) {
        if (functio[i].code != i) return false;
    }
    return functio[kTableOpcodes].code == kToggleOpcode && kToggleOpcode >= kTableOpcodes;
}

constexpr bool NamesDistinct() {
    for (int i = 0; i < kMeshOpCount; ++i) {
        if (functio[i].name == nullptr || functio[i].name[0] == '\0') return false;
        for (int j = 0; j < i; ++j) {
            if (SameName(functio[i].name, functio[j].name)) return false;
        }
    }
    return true;
}

constexpr bool SelectionsTakeNoAmount() {
    for (const MeshOpRow& row : functio) {
        if (row.selects && row.takesAmount) return false;
    }
    return true;
}

static_assert(CodesInPlace(), "row i of the operation table is code i; the toggle comes last");
static_assert(NamesDistinct(), "every operation has a name of its own");
static_assert(SelectionsTakeNoAmount(), "a selection reads no amount");

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

const MeshOpRow* MeshOpOf(std::uint8_t code) {
    if (code < kTableOpcodes) return &functio[code];
    return code == kToggleOpcode ? &functio[kTableOpcodes] : nullptr;
}

const MeshOpRow* MeshOpNamed(std::string_view name) {
    for (const MeshOpRow& row : functio) {
        if (name == row.name) return &row;
    }
    return nullptr;
}

void RunMeshProgramStep(const MeshProgram& program, int k, int& streamPosition, QuadMesh& mesh) {
    const MeshOpRow* op = MeshOpOf(program.opcodes[k]);
    if (op == nullptr) return;
    if (op->run == nullptr) {
        select9(mesh, program.quadStream[streamPosition++]);
        return;
    }
    op->run(mesh, DecodeOperand(program.operands[k]));
    if (!op->selects) setnorm(mesh);
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
