// The embedded shader library: every entry compiles into its table with a layout, members
// match the host structs, and a failing entry or a packing slip is reported, not hidden.
#include "render/shader_library.h"

#include "render/shader_source.h"
#include "render_harness.h"

namespace quixo::gfx::test {
namespace {

using ShaderLibrary = GpuTest;

ShaderLibrarySource Embedded() {
    EnsureArenas();
    return EmbeddedShaderLibrary();
}

TEST_F(ShaderLibrary, EveryEmbeddedEntryCompilesInListOrder) {
    static VertexShaderTable vertex;
    static PixelShaderTable pixel;
    const ShaderBuildReport report = BuildShaderTables(device(), Embedded(), vertex, pixel);
    EXPECT_TRUE(report.ok()) << report.firstError();
    ASSERT_EQ(vertex.count, kVertexShaderTableCount);
    ASSERT_EQ(pixel.count, kPixelShaderTableCount);
    for (int i = 0; i < kVertexShaderTableCount; ++i) {
        EXPECT_EQ(report.vertex[i].name, kVertexShaderEntries[i]);
        EXPECT_NE(vertex.entries[i].shader.program, 0u) << report.vertex[i].name;
        EXPECT_NE(vertex.entries[i].layout.vertexArray, 0u) << report.vertex[i].name;
    }
    for (int i = 0; i < kPixelShaderTableCount; ++i) {
        EXPECT_EQ(report.pixel[i].name, kPixelShaderEntries[i]);
        EXPECT_NE(pixel.entries[i].program, 0u) << report.pixel[i].name;
    }
}

TEST_F(ShaderLibrary, AShiftedHostMemberOrABrokenEntryFailsWithItsName) {
    ShaderLibrarySource source = Embedded();
    static const char* const vertexEntries[] = {"A_3_postprocessVS", nullptr};
    static const char* const pixelEntries[] = {"A_5_bloomHighlightPS", "noSuchPS", nullptr};
    source.vertexEntries = vertexEntries;
    source.pixelEntries = pixelEntries;
    std::vector<ConstantBufferMember> members(source.hostMembers,
                                              source.hostMembers + source.hostMemberCount);
    for (auto& m : members) {
        if (std::string(m.member) == "bloomThrethold") m.offset += 4;
    }
    source.hostMembers = members.data();
    static VertexShaderTable vertex;
    static PixelShaderTable pixel;
    const ShaderBuildReport report = BuildShaderTables(device(), source, vertex, pixel);
    EXPECT_FALSE(report.ok());
    ASSERT_EQ(report.pixel.size(), 2u);
    EXPECT_TRUE(report.vertex[0].ok) << report.vertex[0].error;
    EXPECT_FALSE(report.pixel[0].ok);
    EXPECT_NE(report.pixel[0].error.find("bloomThrethold"), std::string::npos)
        << report.pixel[0].error;
    EXPECT_FALSE(report.pixel[1].ok);
    EXPECT_NE(report.firstError().find("A_5_bloomHighlightPS"), std::string::npos);
}

TEST_F(ShaderLibrary, StartUpStopsWithTheCompilerTextWhenAnEntryFails) {
    // Mesa runs threads of its own: the child re-runs the test instead of forking mid-way.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ShaderLibrarySource source = Embedded();
    static const char* const vertexEntries[] = {"A_3_postprocessVS", "noSuchVS", nullptr};
    source.vertexEntries = vertexEntries;
    static VertexShaderTable vertex;
    static PixelShaderTable pixel;
    EXPECT_EXIT(CompileShaderLibraryOrStop(device(), source, vertex, pixel),
                ::testing::ExitedWithCode(1), "noSuchVS");
}

}  // namespace
}  // namespace quixo::gfx::test
