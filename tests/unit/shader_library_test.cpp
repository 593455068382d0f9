// Compiles every entry of the embedded shader library with glslang's command-line compiler,
// with the settings the program uses (HLSL front end, HLSL register mapping, automatic
// bindings and locations, the legalising optimizer), and compares every constant-buffer
// member offset in the resulting SPIR-V with the host structs.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "render/constant_buffers.h"
#include "render/shader_source.h"

namespace quixo {
namespace {

struct CommandResult {
    int status;
    std::string output;
};

CommandResult RunCommand(const std::string& command) {
    CommandResult r{-1, {}};
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.output.append(buffer, n);
    r.status = pclose(pipe);
    return r;
}

// One constant-buffer member as the SPIR-V declares it.
struct BlockMember {
    int binding;
    std::string block;
    std::string member;
    std::uint32_t offset;
};

std::string Unquote(const std::string& s) {
    return s.size() >= 2 && s.front() == '"' ? s.substr(1, s.size() - 2) : s;
}

// Reads the uniform blocks out of a spirv-dis listing: block names and member names from the
// debug names, offsets from the member decorations, and each block's binding through its
// variable and pointer type.
std::vector<BlockMember> UniformBlocks(const std::string& listing) {
    std::map<std::string, std::string> typeName;
    std::map<std::string, std::map<int, std::string>> memberName;
    std::map<std::string, std::map<int, std::uint32_t>> memberOffset;
    std::map<std::string, std::string> pointee;  // uniform pointer type -> struct
    std::map<std::string, std::string> varType;  // uniform variable -> pointer type
    std::map<std::string, int> binding;
    std::istringstream lines(listing);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream in(line);
        std::vector<std::string> w;
        for (std::string t; in >> t;) w.push_back(t);
        if (w.size() >= 3 && w[0] == "OpName") typeName[w[1]] = Unquote(w[2]);
        if (w.size() >= 4 && w[0] == "OpMemberName")
            memberName[w[1]][std::stoi(w[2])] = Unquote(w[3]);
        if (w.size() >= 5 && w[0] == "OpMemberDecorate" && w[3] == "Offset")
            memberOffset[w[1]][std::stoi(w[2])] = static_cast<std::uint32_t>(std::stoul(w[4]));
        if (w.size() >= 4 && w[0] == "OpDecorate" && w[2] == "Binding")
            binding[w[1]] = std::stoi(w[3]);
        if (w.size() >= 5 && w[2] == "OpTypePointer" && w[3] == "Uniform") pointee[w[0]] = w[4];
        if (w.size() >= 5 && w[2] == "OpVariable" && w[4] == "Uniform") varType[w[0]] = w[3];
    }
    std::vector<BlockMember> out;
    for (const auto& [var, pointer] : varType) {
        const std::string& block = pointee[pointer];
        const int slot = binding.count(var) ? binding[var] : -1;
        for (const auto& [index, offset] : memberOffset[block])
            out.push_back({slot, typeName[block], memberName[block][index], offset});
    }
    return out;
}

#if defined(QUIXO_GLSLANG_VALIDATOR) && defined(QUIXO_SPIRV_DIS)

TEST(ShaderLibrary, EveryEntryCompilesAndMatchesTheHostConstantBuffers) {
    const std::filesystem::path dir = std::filesystem::path(QUIXO_BINARY_DIR) / "shader_check";
    std::filesystem::create_directories(dir);
    const std::filesystem::path source = dir / "library.hlsl";
    {
        Arena arena;
        InitArena(arena, 1 << 20);
        const ShaderSource s =
            JoinShaderPieces(arena, ShaderDeclarationsPiece(), ShaderFunctionsPiece());
        std::ofstream(source, std::ios::binary).write(s.text, s.length);
    }

    // (register, member) -> offset and the first entry that reported it.
    std::map<std::pair<int, std::string>, std::pair<std::uint32_t, std::string>> reported;
    const struct {
        const char* const* entries;
        const char* stage;
    } stages[] = {{kVertexShaderEntries, "vert"}, {kPixelShaderEntries, "frag"}};
    for (const auto& stage : stages) {
        for (int i = 0; stage.entries[i] != nullptr; ++i) {
            const std::string entry = stage.entries[i];
            const std::string spv = (dir / (entry + ".spv")).string();
            const CommandResult compiled = RunCommand(
                std::string(QUIXO_GLSLANG_VALIDATOR) + " -D -V -S " + stage.stage + " -e " + entry +
                " --hlsl-iomap --auto-map-bindings --auto-map-locations" +
                " -fhlsl_functionality1 -o " + spv + " " + source.string());
            ASSERT_EQ(compiled.status, 0) << entry << ":\n" << compiled.output;
            EXPECT_EQ(compiled.output.find("WARNING"), std::string::npos) << entry << ":\n"
                                                                          << compiled.output;

            const CommandResult listing = RunCommand(std::string(QUIXO_SPIRV_DIS) + " " + spv);
            ASSERT_EQ(listing.status, 0) << listing.output;
            for (const BlockMember& m : UniformBlocks(listing.output)) {
                ASSERT_GE(m.binding, 0) << entry << ": " << m.block << " has no binding";
                ASSERT_LT(m.binding, kConstantBufferCount) << entry << ": " << m.block;
                EXPECT_EQ(m.block, kConstantBuffers[m.binding].name) << entry;
                reported.emplace(std::pair{m.binding, m.member}, std::pair{m.offset, entry});
            }
        }
    }
    for (const auto& [key, value] : reported) {
        EXPECT_EQ(HostMemberOffset(key.first, key.second.c_str()), value.first)
            << value.second << ": b" << key.first << " " << key.second;
    }
    // Every host member exists in the shaders: a member missing there would shift the rest.
    for (const ConstantBufferMember& m : kConstantBufferMembers)
        EXPECT_TRUE(reported.count({m.slot, m.member})) << "b" << m.slot << " " << m.member;
}

#endif

TEST(ShaderLibrary, ReadsBlockMembersAndBindingsFromADisassembly) {
    const std::string listing = R"(
               OpName %PostEffectData_0 "PostEffectData"
               OpMemberName %PostEffectData_0 0 "dofFocus"
               OpMemberName %PostEffectData_0 1 "transitionType"
               OpMemberDecorate %PostEffectData_0 0 Offset 0
               OpMemberDecorate %PostEffectData_0 1 Offset 4
               OpDecorate %__0 Binding 4
%_ptr_Uniform_PostEffectData_0 = OpTypePointer Uniform %PostEffectData_0
        %__0 = OpVariable %_ptr_Uniform_PostEffectData_0 Uniform
   %colorMap = OpVariable %_ptr_UniformConstant_21 UniformConstant
)";
    const std::vector<BlockMember> members = UniformBlocks(listing);
    ASSERT_EQ(members.size(), 2u);
    EXPECT_EQ(members[1].binding, 4);
    EXPECT_EQ(members[1].block, "PostEffectData");
    EXPECT_EQ(members[1].member, "transitionType");
    EXPECT_EQ(members[1].offset, 4u);
}

TEST(ShaderLibrary, HostOffsetsAreFoundByRegisterAndName) {
    // The two PostEffectData buffers share a name; the register picks the right one.
    EXPECT_EQ(HostMemberOffset(4, "transitionType"), 4);
    EXPECT_EQ(HostMemberOffset(2, "transitionType"), -1);
    EXPECT_EQ(HostMemberOffset(3, "gasWeight7"), 28);
    EXPECT_EQ(HostMemberOffset(3, "gasScale"), 32);
    EXPECT_EQ(HostMemberOffset(5, "w_height"), 132);
    EXPECT_EQ(HostMemberOffset(6, "spriteRot"), 48);
    EXPECT_EQ(HostMemberOffset(0, "isBlu"), -1);
    for (const ConstantBufferMember& m : kConstantBufferMembers)
        EXPECT_LT(m.offset, kConstantBuffers[m.slot].size) << m.member;
}

}  // namespace
}  // namespace quixo
