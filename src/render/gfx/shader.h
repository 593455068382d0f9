#pragma once
// Vertex and pixel shaders (separable GL programs made from compiled HLSL) and input layouts,
// which bind the elements of a vertex description to the shader's inputs by semantic, as
// Direct3D matches a layout against a shader's input signature.
#include <cstdint>
#include <string>
#include <vector>

#include "render/gfx/device.h"
#include "render/gfx/shader_compiler.h"
#include "render/gfx/types.h"

namespace quixo::gfx {

struct VertexShader {
    std::uint32_t program = 0;
    std::vector<ShaderInput> inputs;
};

struct PixelShader {
    std::uint32_t program = 0;
    std::int32_t alphaTestLocation = -1;  // the alpha-to-coverage switch, -1 when absent
    mutable std::int32_t alphaTestValue = 0;
};

struct InputElementDesc {
    const char* semanticName;
    std::uint32_t semanticIndex;
    Format format;
    std::uint32_t inputSlot;
    std::uint32_t alignedByteOffset;
};

struct InputLayout {
    std::uint32_t vertexArray = 0;  // GL vertex array object with the attribute formats
};

[[nodiscard]] bool CreateVertexShader(Device& device, const CompiledShader& compiled,
                                      VertexShader& shader, std::string& error);
[[nodiscard]] bool CreatePixelShader(Device& device, const CompiledShader& compiled,
                                     PixelShader& shader, std::string& error);
void ReleaseVertexShader(Device& device, VertexShader& shader);
void ReleasePixelShader(Device& device, PixelShader& shader);

// Elements the shader does not read are skipped; an input the elements do not provide is an
// error, as in Direct3D.
[[nodiscard]] bool CreateInputLayout(Device& device, const InputElementDesc* elements,
                                     std::uint32_t count, const VertexShader& shader,
                                     InputLayout& layout, std::string& error);
void ReleaseInputLayout(Device& device, InputLayout& layout);

}  // namespace quixo::gfx
