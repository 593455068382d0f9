// quixo-tool mesh (--builtin | --programs FILE) [--record I] [--summary]
// Runs mesh program records in order, each on a freshly cleared scratch mesh with the last
// toggled quad carried over, as the demo builds them, and prints the resulting quad meshes.
#include <vector>

#include "authoring/program_check.h"
#include "commands.h"
#include "json_out.h"
#include "mesh/embedded_programs.h"
#include "tool_files.h"

namespace quixo::tool {

namespace {

std::vector<std::uint8_t> ReadRecords(const std::string& path) {
    const std::vector<std::uint8_t> bytes = ReadInputFile(path);
    if (bytes.empty() || bytes.size() % kMeshProgramBytes != 0) {
        FailInput(path + ": " + std::to_string(bytes.size()) + " bytes, not a whole number of " +
                  std::to_string(kMeshProgramBytes) + "-byte mesh program records");
    }
    return bytes;
}

Json Vectors(const Float3* v, std::uint32_t n) {
    Json array = Json::array();
    for (std::uint32_t i = 0; i < n; ++i) {
        array.push_back({JsonFloat(v[i].x), JsonFloat(v[i].y), JsonFloat(v[i].z)});
    }
    return array;
}

Json MeshRecord(int index, const QuadMesh& mesh, bool summary) {
    Json record = {
        {"index", index}, {"vertexCount", mesh.vertexCount}, {"quadCount", mesh.quadCount}};
    if (summary) return record;
    record["positions"] = Vectors(mesh.positions, mesh.vertexCount);
    Json quads = Json::array();
    Json selected = Json::array();
    for (std::uint32_t q = 0; q < mesh.quadCount; ++q) {
        quads.push_back({mesh.quads[q][0], mesh.quads[q][1], mesh.quads[q][2], mesh.quads[q][3]});
        selected.push_back(mesh.selected[q]);
    }
    record["quads"] = std::move(quads);
    record["selected"] = std::move(selected);
    record["quadNormals"] = Vectors(mesh.quadNormals, mesh.quadCount);
    record["vertexNormals"] = Vectors(mesh.vertexNormals, mesh.vertexCount);
    return record;
}

struct MeshOptions {
    bool builtin = false;
    std::string programs;
    int record = -1;
    bool summary = false;
};

int RunMesh(const MeshOptions& o) {
    if (o.builtin == !o.programs.empty()) FailInput("give exactly one of --builtin and --programs");
    std::vector<std::uint8_t> bytes;
    if (o.builtin) {
        const std::uint8_t* p = EmbeddedMeshProgramBytes();
        bytes.assign(p, p + kMeshProgramCount * kMeshProgramBytes);
    } else {
        bytes = ReadRecords(o.programs);
    }
    const int count = static_cast<int>(bytes.size() / kMeshProgramBytes);
    if (o.record >= count) {
        FailInput("--record " + std::to_string(o.record) + ": there are " + std::to_string(count) +
                  " records");
    }
    const int last = o.record >= 0 ? o.record : count - 1;
    ResetModellerState();
    QuadMesh& mesh = ScratchQuadMesh();
    Json records = Json::array();
    for (int i = 0; i <= last; ++i) {
        const MeshProgram program = ReadMeshProgram(bytes.data() + i * kMeshProgramBytes);
        ClearUsedQuadMesh(mesh);
        if (const auto fault = RunMeshProgramChecked(program, mesh)) {
            FailLimit("mesh program record " + std::to_string(i) + ", operation " +
                      std::to_string(fault->step) + " (code " +
                      std::to_string(program.opcodes[fault->step]) + "): " + fault->message);
        }
        if (o.record < 0 || o.record == i) records.push_back(MeshRecord(i, mesh, o.summary));
    }
    PrintJson({{"records", std::move(records)}});
    return 0;
}

}  // namespace

CommandRunner SetupMesh(CLI::App& sub) {
    auto o = std::make_shared<MeshOptions>();
    sub.add_flag("--builtin", o->builtin, "the embedded mesh programs");
    sub.add_option("--programs", o->programs, "a file of 1544-byte mesh program records")
        ->check(ReadableFile());
    sub.add_option("--record", o->record, "print only this record (the ones before it still run)")
        ->check(CLI::NonNegativeNumber);
    sub.add_flag("--summary", o->summary, "only the index and the two counts of each record");
    return [o] { return RunMesh(*o); };
}

// `stats` "meshes": the final counts of the embedded programs.
Json MeshStats() {
    ResetModellerState();
    QuadMesh& mesh = ScratchQuadMesh();
    Json meshes = Json::array();
    for (int i = 0; i < kMeshProgramCount; ++i) {
        ClearUsedQuadMesh(mesh);
        unpacko(EmbeddedMeshProgram(i), mesh);
        meshes.push_back({{"vertexCount", mesh.vertexCount}, {"quadCount", mesh.quadCount}});
    }
    return meshes;
}

}  // namespace quixo::tool
