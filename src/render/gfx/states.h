#pragma once
// Pipeline state objects. As in Direct3D they are immutable once created; the rasterizer,
// depth-stencil and blend states are their descriptions, applied when the context sets them.
#include <cstdint>

#include "render/gfx/device.h"
#include "render/gfx/types.h"

namespace quixo::gfx {

struct RasterizerState {
    RasterizerDesc desc;
};
struct DepthStencilState {
    DepthStencilDesc desc;
};
struct BlendState {
    BlendDesc desc;
};
struct SamplerState {
    std::uint32_t name = 0;  // GL sampler object
    SamplerDesc desc;
};

// A description with a value out of its range is refused (false, the reason in
// device.lastError), as Direct3D refuses it. Only the sampler is a GL object, to be released.
[[nodiscard]] bool CreateRasterizerState(Device& device, const RasterizerDesc& desc,
                                         RasterizerState& state);
[[nodiscard]] bool CreateDepthStencilState(Device& device, const DepthStencilDesc& desc,
                                           DepthStencilState& state);
[[nodiscard]] bool CreateBlendState(Device& device, const BlendDesc& desc, BlendState& state);
[[nodiscard]] bool CreateSamplerState(Device& device, const SamplerDesc& desc, SamplerState& state);
void ReleaseSamplerState(Device& device, SamplerState& state);

// Puts the state into effect on the current GL context; null means Direct3D's default state.
void ApplyRasterizerState(const RasterizerState* state);
void ApplyDepthStencilState(const DepthStencilState* state, std::uint32_t stencilRef);
void ApplyBlendState(const BlendState* state, const float blendFactor[4]);

}  // namespace quixo::gfx
