#include "render/shader_source.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

namespace quixo {
namespace {

TEST(ShaderSource, JoinsBothPiecesIntoOneZeroTerminatedArenaBlock) {
    Arena arena;
    InitArena(arena, 1 << 20);
    ArenaAllocate(arena, 3);  // the block starts wherever the arena stands
    const ShaderSource s = JoinShaderPieces(arena, "float a;\n", "float b;");
    EXPECT_EQ(s.text, reinterpret_cast<char*>(arena.base + 3));
    EXPECT_EQ(s.length, 17u);
    EXPECT_EQ(std::string(s.text, s.length), "float a;\nfloat b;");
    EXPECT_EQ(s.text[17], 0);
    EXPECT_EQ(s.text[18], 0);
    // Exactly L1 + L2 + 2 bytes were taken.
    EXPECT_EQ(arena.fillOffset, 3u + 17u + 2u);
}

TEST(ShaderSource, JoinOfEmptyPiecesIsTwoZeroBytes) {
    Arena arena;
    InitArena(arena, 1 << 20);
    const ShaderSource s = JoinShaderPieces(arena, "", "");
    EXPECT_EQ(s.length, 0u);
    EXPECT_EQ(s.text[0], 0);
    EXPECT_EQ(arena.fillOffset, 2u);
}

TEST(ShaderSource, StoredPiecesAreWholeTextsThatJoinInOrder) {
    const std::string_view one = ShaderDeclarationsPiece();
    const std::string_view two = ShaderFunctionsPiece();
    ASSERT_GT(one.size(), 1000u);
    ASSERT_GT(two.size(), 5000u);
    // A zero inside a piece would cut the text short for the compiler.
    EXPECT_EQ(one.find('\0'), std::string_view::npos);
    EXPECT_EQ(two.find('\0'), std::string_view::npos);
    // The declarations come first: the functions use what they declare.
    EXPECT_NE(one.find("cbuffer PerFrameData"), std::string_view::npos);
    EXPECT_NE(two.find("float4 A_4_fxaaPS("), std::string_view::npos);

    Arena arena;
    InitArena(arena, 1 << 20);
    const ShaderSource s = JoinShaderPieces(arena, one, two);
    ASSERT_EQ(s.length, one.size() + two.size());
    EXPECT_EQ(std::string_view(s.text, one.size()), one);
    EXPECT_EQ(std::string_view(s.text + one.size(), two.size()), two);
    EXPECT_EQ(s.text[s.length], 0);
}

// Counts a null-terminated list and checks its names are unique and carry the stage suffix.
void ExpectEntryList(const char* const* list, int count, std::string_view suffix) {
    std::set<std::string> seen;
    int n = 0;
    while (list[n] != nullptr) {
        const std::string name = list[n];
        EXPECT_TRUE(seen.insert(name).second) << "duplicate entry " << name;
        EXPECT_TRUE(name.ends_with(suffix)) << name;
        ++n;
    }
    EXPECT_EQ(n, count);
}

TEST(ShaderSource, EntryListsAreNullTerminatedUniqueAndStageNamed) {
    ExpectEntryList(kVertexShaderEntries, kVertexShaderTableCount, "VS");
    ExpectEntryList(kPixelShaderEntries, kPixelShaderTableCount, "PS");
}

TEST(ShaderSource, FixedIndicesNameTheirEntries) {
    const struct {
        int index;
        const char* vertex;
        const char* pixel;
    } fixed[] = {
        {kShaderDebugLine, "A_0_debuglineVS", "A_0_debuglinePS"},
        {kShaderVelocityAndDepth, "A_1_create_velocity_and_depthVS",
         "A_1_create_velocity_and_depthPS"},
        {kShaderComposite, "A_3_postprocessVS", "A_3_postprocessPS"},
        {kShaderFxaa, "A_4_fxaaVS", "A_4_fxaaPS"},
        {kShaderBloomHighlight, "A_5_bloomHighlightVS", "A_5_bloomHighlightPS"},
        {kShaderGauss1, "A_6_gauss1VS", "A_6_gauss1PS"},
        {kShaderGauss2, "A_7_gauss2VS", "A_7_gauss2PS"},
        {kShaderSprite, "A_8_spriteVS", "A_8_spritePS"},
    };
    for (const auto& f : fixed) {
        EXPECT_STREQ(kVertexShaderEntries[f.index], f.vertex);
        EXPECT_STREQ(kPixelShaderEntries[f.index], f.pixel);
    }
    EXPECT_STREQ(kVertexShaderEntries[kVertexShaderBaseCook], "baseCookVS");
    EXPECT_STREQ(kPixelShaderEntries[kPixelShaderBaseCook], "baseCookPS");
    EXPECT_STREQ(kVertexShaderEntries[kVertexShaderTexTest], "texTestVS");
    EXPECT_STREQ(kPixelShaderEntries[kPixelShaderTexTest], "texTestPS");
    EXPECT_STREQ(kVertexShaderEntries[kVertexShaderVelocityInstanced],
                 "A_1_create_velocity_and_depth_instancedVS");
    EXPECT_STREQ(kVertexShaderEntries[kVertexShaderBaseCookInstanced], "baseCook_instancedVS");
    EXPECT_STREQ(kPixelShaderEntries[kPixelShaderBaseCookInstanced], "baseCook_instancedPS");
    // From index 12 on the lists diverge.
    EXPECT_STREQ(kVertexShaderEntries[12], "juliaVS");
    EXPECT_STREQ(kPixelShaderEntries[12], "hogePS");
    EXPECT_STREQ(kPixelShaderEntries[20], "x_cam_pos_PS");
}

}  // namespace
}  // namespace quixo
