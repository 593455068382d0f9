#pragma once
// The readable form of the mesh programs: one program per block, one operation per line.
//
//     program NAME
//       texmode 1            optional, default 0
//       flag 1               optional, default 0
//       expect 386 384       the vertex and quad counts the program must end with
//       addcube              an operation by name; transforms take an amount: scalece 0.533
//       toggle 3 7           toggles (opcode 50), one per quad index
//     end
//
// '#' starts a comment. Amounts must be values an operand byte encodes (b * 16/255 - 8), to
// within 0.001. The operation names are those of the modeller's operation table.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "authoring/source_text.h"
#include "mesh/mesh_program.h"

namespace quixo::meshc {

struct SourceProgram {
    std::string name;
    int line = 0;  // of its "program" line
    MeshProgram program{};
    std::vector<int> opLines;  // source line of each operation
    bool hasExpect = false;
    std::uint32_t expectVertices = 0;
    std::uint32_t expectQuads = 0;
};

// Parses the source text (named file for the messages) into programs. Appends one error per
// fault found, each at its line, and returns whether there was none.
bool ParseMeshSource(std::string_view text, const std::string& file,
                     std::vector<SourceProgram>& programs, std::vector<SourceError>& errors);

// The operand byte for an amount, or -1 when no byte encodes it.
int OperandByteFor(double amount);

}  // namespace quixo::meshc
