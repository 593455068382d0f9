// The HLSL path on the CPU: bindings kept from the registers, vertex inputs with their
// semantics, varyings at the shared locations, HLSL packing offsets, compiler messages naming
// the entry; and the present rectangle.
#include <gtest/gtest.h>

#include <string>

#include "render/gfx/shader_compiler.h"
#include "render/gfx/swap_chain.h"

namespace quixo::gfx {
namespace {

const std::string kSource = R"(
cbuffer Packed : register(b3) { float3 a; float b; float2 c; float d; float4x4 m; int e; };
cbuffer Other : register(b5) { float w_width; float w_height; };
Texture2D first : register(t2);
Texture2D second : register(t7);
SamplerState samp : register(s0);
struct VSIn { float4 P : P; float4 N : N; float4 C : C; };
struct VO { float4 pos : SV_POSITION; float4 col : COLOR0; float2 uv : TEXCOORD0; float3 n : TEXCOORD1; };
VO vs(VSIn v) { VO o; o.pos = mul(v.P, m) + float4(a, b); o.col = v.C; o.uv = c; o.n = v.N.xyz * d; return o; }
float4 ps(VO i) : SV_Target { return first.Sample(samp, i.uv) + second.Load(int3(0, 0, 0)) * w_width + i.n.x; }
)";

TEST(ShaderCompiler, VertexEntryReportsSemanticsVaryingsAndPackedOffsets) {
    CompiledShader out;
    std::string error;
    ASSERT_TRUE(CompileHlsl(kSource.data(), kSource.size(), "vs", ShaderStage::Vertex, out, error))
        << error;
    ASSERT_EQ(out.inputs.size(), 3u);
    std::string semantics;
    for (const auto& in : out.inputs) semantics += in.semantic + " ";
    EXPECT_EQ(semantics, "P N C ");
    // HLSL packing: b shares a's register, d follows c, the matrix starts a new register.
    struct Expect {
        const char* member;
        std::uint32_t offset;
    };
    const Expect expected[] = {{"a", 0}, {"b", 12}, {"c", 16}, {"d", 24}, {"m", 32}, {"e", 96}};
    for (const Expect& e : expected) {
        bool found = false;
        for (const auto& m : out.members) {
            if (m.member == e.member) {
                found = true;
                EXPECT_EQ(m.offset, e.offset) << e.member;
                EXPECT_EQ(m.buffer, "Packed");
                EXPECT_EQ(m.slot, 3u);
            }
        }
        EXPECT_TRUE(found) << e.member;
    }
    EXPECT_NE(out.glsl.find("binding = 3"), std::string::npos) << out.glsl;
    EXPECT_NE(out.glsl.find("location = " + std::to_string(VaryingLocation("TEXCOORD1"))),
              std::string::npos)
        << out.glsl;
    EXPECT_EQ(out.glsl.find("BaseInstance"), std::string::npos) << out.glsl;
}

TEST(ShaderCompiler, PixelEntryBindsTexturesToTheirRegistersAndGetsTheAlphaSwitch) {
    CompiledShader out;
    std::string error;
    ASSERT_TRUE(CompileHlsl(kSource.data(), kSource.size(), "ps", ShaderStage::Pixel, out, error))
        << error;
    EXPECT_NE(out.glsl.find("layout(binding = 2) uniform sampler2D"), std::string::npos)
        << out.glsl;
    EXPECT_NE(out.glsl.find("layout(binding = 7) uniform sampler2D"), std::string::npos)
        << out.glsl;
    EXPECT_NE(out.glsl.find(kAlphaTestUniform), std::string::npos);
    bool width = false;
    for (const auto& m : out.members)
        width |= m.member == "w_width" && m.slot == 5 && m.offset == 0;
    EXPECT_TRUE(width);
}

TEST(ShaderCompiler, FailureNamesTheEntryAndMissingEntriesFail) {
    CompiledShader out;
    std::string error;
    // An error anywhere in the source fails every entry, as the whole text is compiled.
    const std::string broken = kSource + "float4 broken() : SV_Target { return undefinedThing; }\n";
    EXPECT_FALSE(
        CompileHlsl(broken.data(), broken.size(), "broken", ShaderStage::Pixel, out, error));
    EXPECT_NE(error.find("broken"), std::string::npos) << error;
    EXPECT_NE(error.find("undefinedThing"), std::string::npos) << error;
    error.clear();
    EXPECT_FALSE(CompileHlsl(kSource.data(), kSource.size(), "noSuchEntry", ShaderStage::Vertex,
                             out, error));
    EXPECT_NE(error.find("noSuchEntry"), std::string::npos) << error;
}

TEST(ShaderCompiler, SemanticsAndVaryingTable) {
    EXPECT_EQ(CanonicalSemantic("texcoord", 0), "TEXCOORD");
    EXPECT_EQ(CanonicalSemantic("Color", 1), "COLOR1");
    EXPECT_EQ(VaryingLocation("COLOR"), VaryingLocation("COLOR0"));
    EXPECT_NE(VaryingLocation("TEXCOORD"), VaryingLocation("TEXCOORD3"));
    EXPECT_NE(VaryingLocation("COLOR1"), VaryingLocation("TEXCOORD1"));
    EXPECT_EQ(VaryingLocation("NOSUCH"), -1);
    EXPECT_EQ(VaryingLocation("COLOR9"), -1);
}

TEST(PresentRect, KeepsAspectCentredInTheWindow) {
    const PresentRect same = FitPresentRect(1920, 1080, 1920, 1080);
    EXPECT_EQ(same.x, 0);
    EXPECT_EQ(same.width, 1920);
    const PresentRect wide = FitPresentRect(1280, 720, 2560, 1080);  // pillar-boxed
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.width, 1920);
    EXPECT_EQ(wide.x, 320);
    EXPECT_EQ(wide.y, 0);
    const PresentRect tall = FitPresentRect(1920, 1080, 1920, 1200);  // letter-boxed
    EXPECT_EQ(tall.width, 1920);
    EXPECT_EQ(tall.height, 1080);
    EXPECT_EQ(tall.y, 60);
    EXPECT_EQ(FitPresentRect(0, 10, 100, 100).width, 0);
}

}  // namespace
}  // namespace quixo::gfx
