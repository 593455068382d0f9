#pragma once
// HLSL to GLSL 450: glslang's HLSL front end makes SPIR-V (legalised by the optimizer), and
// SPIRV-Cross writes GLSL with Direct3D's bindings kept: cbuffer bN is uniform block N,
// texture tN is texture unit N, vertex inputs keep their semantics for the input layout, and
// varyings between the stages take their locations from one table shared by all entries.
// Pure CPU work: no GL context is needed.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quixo::gfx {

enum class ShaderStage { Vertex, Pixel };

// A vertex input as the shader declares it: semantic upper-cased, index appended unless 0.
struct ShaderInput {
    std::string semantic;
    std::uint32_t location;
};

// One member of a constant buffer with the offset the compiled shader reads it at.
struct CbufferMember {
    std::string buffer;  // the cbuffer's name
    std::uint32_t slot;  // its register bN
    std::string member;
    std::uint32_t offset;
};

struct CompiledShader {
    ShaderStage stage = ShaderStage::Vertex;
    std::string entry;
    std::string glsl;
    std::vector<ShaderInput> inputs;  // vertex stage only
    std::vector<CbufferMember> members;
};

// The GLSL uniform a pixel shader reads to act as alpha-to-coverage on single-sample targets
// (discard below alpha 0.5); absent when its first output has no alpha.
inline constexpr const char* kAlphaTestUniform = "quixo_alphaToCoverage";

// Compiles entry of the source (length bytes; the text need not be terminated). On failure the
// error holds the compiler's messages, which name the entry as the file.
bool CompileHlsl(const char* source, std::size_t length, const char* entry, ShaderStage stage,
                 CompiledShader& out, std::string& error);

// The varying location of a stage-to-stage semantic (as glslang spells it), -1 when the table
// has none.
int VaryingLocation(const std::string& semantic);

// Splits "TEXCOORD3" into the canonical name-and-index spelling used for matching: upper case,
// index dropped when 0.
std::string CanonicalSemantic(const std::string& name, std::uint32_t index);

}  // namespace quixo::gfx
