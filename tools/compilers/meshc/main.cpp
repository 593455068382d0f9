// meshc: checks the readable mesh programs and writes the 39 stored records.
//
//     meshc SOURCE OUTPUT          compile (every program is run and checked)
//     meshc --trace SOURCE [NAME]  exploration aid: counts after every operation
//
// Each program runs as the demo runs it (fresh mesh, the last toggled quad carried over from
// the program before), so a program is rejected, with its file and line, when it would break
// the mesh's capacities, toggle a quad that does not exist, or end with other counts than its
// "expect" line says.
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "authoring/program_check.h"
#include "authoring/source_text.h"
#include "mesh/mesh_ops.h"
#include "mesh_source.h"

namespace {

using namespace quixo;
using meshc::SourceProgram;

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(path + ": cannot be read");
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::uint32_t SelectedCount(const QuadMesh& mesh) {
    std::uint32_t n = 0;
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) n += mesh.selected[q] != 0;
    return n;
}

// Runs every program in order and checks it; traced programs print a line per operation.
void RunAll(const std::vector<SourceProgram>& programs, const std::string& file,
            const std::string& traced, bool trace) {
    ResetModellerState();
    QuadMesh& mesh = ScratchQuadMesh();
    for (std::size_t i = 0; i < programs.size(); ++i) {
        const SourceProgram& sp = programs[i];
        const bool show =
            trace && (traced.empty() || traced == sp.name || traced == std::to_string(i));
        if (show) std::printf("program %zu %s\n", i, sp.name.c_str());
        ClearUsedQuadMesh(mesh);
        const auto fault = RunMeshProgramChecked(sp.program, mesh, [&](int k, const QuadMesh& m) {
            if (show) {
                std::printf(
                    "  line %4d  op %3d  code %2d  vertices %6u  quads %6u  selected %6u  ref %d\n",
                    sp.opLines[k], k, sp.program.opcodes[k], m.vertexCount, m.quadCount,
                    SelectedCount(m), lastToggledQuad);
            }
        });
        if (fault) {
            throw std::runtime_error(FormatSourceError(
                {file, sp.opLines[fault->step], "program " + sp.name + ": " + fault->message}));
        }
        if (!trace && (mesh.vertexCount != sp.expectVertices || mesh.quadCount != sp.expectQuads)) {
            throw std::runtime_error(FormatSourceError(
                {file, sp.line,
                 "program " + sp.name + " ends with " + std::to_string(mesh.vertexCount) +
                     " vertices and " + std::to_string(mesh.quadCount) + " quads, expected " +
                     std::to_string(sp.expectVertices) + " and " +
                     std::to_string(sp.expectQuads)}));
        }
        if (show) {
            std::printf("  end: %u vertices, %u quads (expected %u, %u)\n", mesh.vertexCount,
                        mesh.quadCount, sp.expectVertices, sp.expectQuads);
        }
    }
}

// The programs of a source, or the exception that lists every fault, a line each.
std::vector<SourceProgram> ReadPrograms(const std::string& source) {
    std::vector<SourceProgram> programs;
    std::vector<SourceError> errors;
    if (!meshc::ParseMeshSource(ReadText(source), source, programs, errors)) {
        std::string text;
        for (const SourceError& e : errors) {
            if (!text.empty()) text += '\n';
            text += FormatSourceError(e);
        }
        throw std::runtime_error(text);
    }
    return programs;
}

int Compile(const std::string& source, const std::string& output) {
    const auto programs = ReadPrograms(source);
    RunAll(programs, source, "", false);
    if (programs.size() != kMeshProgramCount) {
        throw std::runtime_error(
            FormatSourceError({source, 1,
                               std::to_string(programs.size()) + " programs, the demo stores " +
                                   std::to_string(kMeshProgramCount)}));
    }
    std::vector<std::uint8_t> bytes(programs.size() * kMeshProgramBytes);
    for (std::size_t i = 0; i < programs.size(); ++i) {
        WriteMeshProgram(programs[i].program, bytes.data() + i * kMeshProgramBytes);
    }
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error(output + ": cannot be written");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (args.size() >= 2 && args[0] == "--trace") {
            const auto programs = ReadPrograms(args[1]);
            RunAll(programs, args[1], args.size() > 2 ? args[2] : "", true);
            return 0;
        }
        if (args.size() != 2) {
            std::fprintf(stderr, "usage: meshc SOURCE OUTPUT\n");
            return 2;
        }
        return Compile(args[0], args[1]);
    } catch (const std::exception& e) {
        // "file:line: message" lines, as the scene compiler writes its faults.
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
}
