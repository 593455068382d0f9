// The stored mesh programs and their compiler.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "mesh/embedded_programs.h"

namespace quixo {
namespace {

TEST(MeshPrograms, EveryRecordEndsWithItsCounts) {
    const std::uint32_t counts[kMeshProgramCount][2] = {
        {386, 384}, {386, 384},   {8, 6},       {386, 384}, {386, 384}, {482, 480},   {32, 30},
        {500, 384}, {506, 408},   {152, 120},   {866, 864}, {98, 96},   {642, 320},   {642, 320},
        {642, 160}, {642, 320},   {1538, 1536}, {482, 480}, {8, 6},     {1922, 1536}, {506, 408},
        {506, 408}, {1783, 1792}, {5184, 4096}, {386, 64},  {482, 480}, {386, 384},   {3242, 3072},
        {122, 120}, {314, 288},   {8, 6},       {32, 30},   {32, 30},   {386, 384},   {96, 76},
        {8, 4},     {16, 12},     {642, 160},   {386, 64},
    };
    ResetModellerState();
    for (int i = 0; i < kMeshProgramCount; ++i) {
        const MeshStreams streams = BuildEmbeddedProgramMesh(i);
        const QuadMesh& mesh = ScratchQuadMesh();
        EXPECT_EQ(mesh.vertexCount, counts[i][0]) << "record " << i;
        EXPECT_EQ(mesh.quadCount, counts[i][1]) << "record " << i;
        EXPECT_EQ(streams.vertices.size(), 6u * counts[i][1]) << "record " << i;
    }
}

TEST(MeshPrograms, TellingRowsTexModeAndFlags) {
    const MeshProgram cube = EmbeddedMeshProgram(2);
    ASSERT_EQ(cube.opCount, 1);
    EXPECT_EQ(cube.opcodes[0], 31);
    for (int r : {0, 1}) {
        const MeshProgram blob = EmbeddedMeshProgram(r);
        ASSERT_EQ(blob.opCount, 4);
        const std::uint8_t codes[4] = {31, 28, 28, 28};
        for (int k = 0; k < 4; ++k) EXPECT_EQ(blob.opcodes[k], codes[k]);
        EXPECT_EQ(blob.texMode, r);
    }
    const MeshProgram plated = EmbeddedMeshProgram(6);
    ASSERT_EQ(plated.opCount, 4);
    const std::uint8_t codes[4] = {31, 29, 8, 13}, operands[4] = {128, 128, 136, 129};
    for (int k = 0; k < 4; ++k) {
        EXPECT_EQ(plated.opcodes[k], codes[k]);
        EXPECT_EQ(plated.operands[k], operands[k]);
    }
    int flagged = 0;
    for (int i = 0; i < kMeshProgramCount; ++i) {
        const MeshProgram p = EmbeddedMeshProgram(i);
        const std::uint8_t* bytes = EmbeddedMeshProgramBytes() + i * kMeshProgramBytes;
        EXPECT_EQ(p.opcodes[0], 31) << "record " << i;
        EXPECT_EQ(p.texMode, i == 1 ? 1 : 0) << "record " << i;
        EXPECT_EQ(bytes[1538], 0);
        EXPECT_EQ(bytes[1539], 0);
        flagged += p.flag != 0;
    }
    EXPECT_EQ(flagged, 2);
}

// Runs meshc on a source text; returns its exit status and what it wrote to stderr.
std::pair<int, std::string> Compile(const std::string& name, const std::string& source) {
    const std::string dir = ::testing::TempDir();
    const std::string src = dir + name + ".mesh", log = dir + name + ".log";
    std::ofstream(src) << source;
    const std::string command = std::string(QUIXO_BINARY_DIR) + "/tools/compilers/meshc/meshc " +
                                src + " " + dir + name + ".bin 2> " + log;
    const int status = std::system(command.c_str());
    std::ifstream in(log);
    std::string message((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return {status, message};
}

TEST(MeshCompiler, RejectsWithFileAndLine) {
    struct Case {
        const char* name;
        const char* source;
        const char* expected;
    };
    const Case cases[] = {
        {"amount", "program a\n  expect 8 6\n  addcube\n  scale4 0.5\nend\n",
         "amount.mesh:4: no operand byte encodes 0.5"},
        {"toggle", "program a\n  expect 8 6\n  addcube\n  toggle 6\nend\n",
         "toggle.mesh:4: program a: toggles quad 6, but the mesh has 6 quads"},
        {"capacity",
         "program a\n  expect 0 0\n  addcube\n  smoooth\n  smoooth\n  smoooth\n  smoooth\n"
         "  smoooth\n  smoooth\n  smoooth\n  smoooth\nend\n",
         "capacity.mesh:11: program a: needs room for"},
        {"counts", "program a\n  expect 8 7\n  addcube\nend\n",
         "counts.mesh:1: program a ends with 8 vertices and 6 quads, expected 8 and 7"},
        {"unknown", "program a\n  expect 8 6\n  addcube\n  smooth\nend\n",
         "unknown.mesh:4: unknown operation \"smooth\""},
        {"noamount", "program a\n  expect 8 6\n  addcube 1\nend\n",
         "noamount.mesh:3: addcube takes no amount"},
        {"total", "program a\n  expect 8 6\n  addcube\nend\n", "total.mesh:1: 1 programs"},
    };
    for (const Case& c : cases) {
        const auto [status, message] = Compile(c.name, c.source);
        EXPECT_NE(status, 0) << c.name;
        EXPECT_NE(message.find(c.expected), std::string::npos) << c.name << ": " << message;
    }
}

}  // namespace
}  // namespace quixo
