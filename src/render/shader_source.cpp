#include "render/shader_source.h"

#include <algorithm>

#include "platform/embedded.h"

QUIXO_DECLARE_BLOB(shader_declarations);
QUIXO_DECLARE_BLOB(shader_functions);

namespace quixo {

const char* const kVertexShaderEntries[kVertexShaderTableCount + 1] = {
    "A_0_debuglineVS",
    "A_1_create_velocity_and_depthVS",
    "A_3_postprocessVS",
    "A_4_fxaaVS",
    "A_5_bloomHighlightVS",
    "A_6_gauss1VS",
    "A_7_gauss2VS",
    "A_8_spriteVS",
    "A_backcubeVS",
    "baseAmbientVS",
    "baseCookVS",
    "crashVS",
    "juliaVS",
    "neuronVS",
    "spikeVS",
    "testModelVS",
    "testVS",
    "texTestVS",
    "x_cam_VS",
    "A_1_create_velocity_and_depth_instancedVS",
    "baseCook_instancedVS",
    nullptr,
};

const char* const kPixelShaderEntries[kPixelShaderTableCount + 1] = {
    "A_0_debuglinePS",
    "A_1_create_velocity_and_depthPS",
    "A_3_postprocessPS",
    "A_4_fxaaPS",
    "A_5_bloomHighlightPS",
    "A_6_gauss1PS",
    "A_7_gauss2PS",
    "A_8_spritePS",
    "A_backcubePS",
    "baseAmbientPS",
    "baseCookPS",
    "crashPS",
    "hogePS",
    "juliaPS",
    "neuronPS",
    "spikePS",
    "testModelPS",
    "testPS",
    "texTestPS",
    "x_cam_lookat_PS",
    "x_cam_pos_PS",
    "baseCook_instancedPS",
    nullptr,
};

namespace {

std::string_view AsText(Blob blob) {
    return {reinterpret_cast<const char*>(blob.data), blob.size};
}

}  // namespace

std::string_view ShaderDeclarationsPiece() {
    return AsText(QUIXO_BLOB(shader_declarations));
}

std::string_view ShaderFunctionsPiece() {
    return AsText(QUIXO_BLOB(shader_functions));
}

ShaderSource JoinShaderPieces(Arena& arena, std::string_view first, std::string_view second) {
    const auto length = static_cast<std::uint32_t>(first.size() + second.size());
    // Arena memory is zeroed, so the two spare bytes terminate the text without being written.
    auto* text = static_cast<char*>(ArenaAllocate(arena, length + 2));
    std::copy(first.begin(), first.end(), text);
    std::copy(second.begin(), second.end(), text + first.size());
    return {text, length};
}

ShaderSource AssembleShaderSource() {
    return JoinShaderPieces(MemoryArena(), ShaderDeclarationsPiece(), ShaderFunctionsPiece());
}

}  // namespace quixo
