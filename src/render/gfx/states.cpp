#include "render/gfx/states.h"

#include "render/gfx/gl.h"

namespace quixo::gfx {

namespace {

GLenum GlStencilOp(StencilOp op) {
    static const GLenum kOps[] = {GL_KEEP, GL_KEEP,   GL_ZERO,      GL_REPLACE,  GL_INCR,
                                  GL_DECR, GL_INVERT, GL_INCR_WRAP, GL_DECR_WRAP};
    const auto i = static_cast<std::uint32_t>(op);
    return i < 9 ? kOps[i] : GL_KEEP;
}

GLenum GlBlend(Blend blend) {
    static const GLenum kFactors[] = {GL_ZERO,
                                      GL_ZERO,
                                      GL_ONE,
                                      GL_SRC_COLOR,
                                      GL_ONE_MINUS_SRC_COLOR,
                                      GL_SRC_ALPHA,
                                      GL_ONE_MINUS_SRC_ALPHA,
                                      GL_DST_ALPHA,
                                      GL_ONE_MINUS_DST_ALPHA,
                                      GL_DST_COLOR,
                                      GL_ONE_MINUS_DST_COLOR};
    const auto i = static_cast<std::uint32_t>(blend);
    return i < 11 ? kFactors[i] : GL_ONE;
}

GLenum GlBlendOp(BlendOp op) {
    static const GLenum kOps[] = {
        GL_FUNC_ADD, GL_FUNC_ADD, GL_FUNC_SUBTRACT, GL_FUNC_REVERSE_SUBTRACT, GL_MIN, GL_MAX};
    const auto i = static_cast<std::uint32_t>(op);
    return i < 6 ? kOps[i] : GL_FUNC_ADD;
}

GLint GlAddress(TextureAddressMode mode) {
    switch (mode) {
        case TextureAddressMode::Wrap:
            return GL_REPEAT;
        case TextureAddressMode::Mirror:
            return GL_MIRRORED_REPEAT;
        case TextureAddressMode::Border:
            return GL_CLAMP_TO_BORDER;
        default:
            return GL_CLAMP_TO_EDGE;
    }
}

template <typename E>
bool InRange(E value, E low, E high) {
    return static_cast<std::uint32_t>(value) >= static_cast<std::uint32_t>(low) &&
           static_cast<std::uint32_t>(value) <= static_cast<std::uint32_t>(high);
}

bool ValidStencilFace(const DepthStencilOpDesc& op) {
    return InRange(op.stencilFailOp, StencilOp::Keep, StencilOp::Decr) &&
           InRange(op.stencilDepthFailOp, StencilOp::Keep, StencilOp::Decr) &&
           InRange(op.stencilPassOp, StencilOp::Keep, StencilOp::Decr) &&
           InRange(op.stencilFunc, ComparisonFunc::Never, ComparisonFunc::Always);
}

void SetEnabled(GLenum cap, bool on) {
    if (on) {
        glEnable(cap);
    } else {
        glDisable(cap);
    }
}

void ApplyStencilFace(GLenum face, const DepthStencilOpDesc& op, std::uint32_t ref,
                      std::uint8_t readMask) {
    glStencilFuncSeparate(face, GlComparison(op.stencilFunc), static_cast<GLint>(ref), readMask);
    glStencilOpSeparate(face, GlStencilOp(op.stencilFailOp), GlStencilOp(op.stencilDepthFailOp),
                        GlStencilOp(op.stencilPassOp));
}

}  // namespace

bool CreateRasterizerState(Device& device, const RasterizerDesc& desc, RasterizerState& state) {
    const bool valid = (desc.fillMode == FillMode::Solid || desc.fillMode == FillMode::Wireframe) &&
                       InRange(desc.cullMode, CullMode::None, CullMode::Back);
    if (!valid) return RefuseCreation(device, "rasterizer state", "fill or cull mode out of range");
    state.desc = desc;
    return true;
}

bool CreateDepthStencilState(Device& device, const DepthStencilDesc& desc,
                             DepthStencilState& state) {
    const bool valid = InRange(desc.depthFunc, ComparisonFunc::Never, ComparisonFunc::Always) &&
                       InRange(desc.depthWriteMask, DepthWriteMask::Zero, DepthWriteMask::All) &&
                       ValidStencilFace(desc.frontFace) && ValidStencilFace(desc.backFace);
    if (!valid) {
        return RefuseCreation(device, "depth-stencil state",
                              "comparison, write mask or stencil operation out of range");
    }
    state.desc = desc;
    return true;
}

bool CreateBlendState(Device& device, const BlendDesc& desc, BlendState& state) {
    const RenderTargetBlendDesc& rt = desc.renderTarget0;
    const bool valid = InRange(rt.srcBlend, Blend::Zero, Blend::InvDestColor) &&
                       InRange(rt.destBlend, Blend::Zero, Blend::InvDestColor) &&
                       InRange(rt.srcBlendAlpha, Blend::Zero, Blend::InvDestColor) &&
                       InRange(rt.destBlendAlpha, Blend::Zero, Blend::InvDestColor) &&
                       InRange(rt.blendOp, BlendOp::Add, BlendOp::Max) &&
                       InRange(rt.blendOpAlpha, BlendOp::Add, BlendOp::Max);
    if (!valid)
        return RefuseCreation(device, "blend state", "blend factor or operation out of range");
    state.desc = desc;
    return true;
}

bool CreateSamplerState(Device& device, const SamplerDesc& desc, SamplerState& state) {
    state = SamplerState{};
    state.desc = desc;
    BeginCreation(device);
    glCreateSamplers(1, &state.name);
    const bool linearMin =
        desc.filter == Filter::MinMagMipLinear || desc.filter == Filter::MinMagLinearMipPoint;
    const bool linearMip =
        desc.filter == Filter::MinMagMipLinear || desc.filter == Filter::MinMagPointMipLinear;
    const GLint minFilter =
        linearMin ? (linearMip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR_MIPMAP_NEAREST)
                  : (linearMip ? GL_NEAREST_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_NEAREST);
    glSamplerParameteri(state.name, GL_TEXTURE_MIN_FILTER, minFilter);
    glSamplerParameteri(state.name, GL_TEXTURE_MAG_FILTER, linearMin ? GL_LINEAR : GL_NEAREST);
    glSamplerParameteri(state.name, GL_TEXTURE_WRAP_S, GlAddress(desc.addressU));
    glSamplerParameteri(state.name, GL_TEXTURE_WRAP_T, GlAddress(desc.addressV));
    glSamplerParameteri(state.name, GL_TEXTURE_WRAP_R, GlAddress(desc.addressW));
    glSamplerParameterf(state.name, GL_TEXTURE_LOD_BIAS, desc.mipLodBias);
    glSamplerParameterf(state.name, GL_TEXTURE_MIN_LOD, desc.minLod);
    glSamplerParameterf(state.name, GL_TEXTURE_MAX_LOD, desc.maxLod);
    glSamplerParameterfv(state.name, GL_TEXTURE_BORDER_COLOR, desc.borderColor);
    glSamplerParameterf(state.name, GL_TEXTURE_MAX_ANISOTROPY,
                        static_cast<float>(desc.maxAnisotropy ? desc.maxAnisotropy : 1));
    return EndCreation(device, ObjectKind::Sampler, state.name, [] { return "sampler state"; });
}

void ReleaseSamplerState(Device& device, SamplerState& state) {
    DeleteObject(device, ObjectKind::Sampler, state.name);
}

void ApplyRasterizerState(const RasterizerState* state) {
    const RasterizerDesc desc = state ? state->desc : RasterizerDesc{};
    glPolygonMode(GL_FRONT_AND_BACK, desc.fillMode == FillMode::Wireframe ? GL_LINE : GL_FILL);
    SetEnabled(GL_CULL_FACE, desc.cullMode != CullMode::None);
    glCullFace(desc.cullMode == CullMode::Front ? GL_FRONT : GL_BACK);
    // The upper-left origin flips y on the way to window coordinates, and GL decides the facing
    // there, so a triangle clockwise on screen is clockwise to GL too.
    glFrontFace(desc.frontCounterClockwise ? GL_CCW : GL_CW);
    const bool bias = desc.depthBias != 0 || desc.slopeScaledDepthBias != 0.0f;
    SetEnabled(GL_POLYGON_OFFSET_FILL, bias);
    // GL 4.5 has no bias clamp; the system never sets one.
    glPolygonOffset(desc.slopeScaledDepthBias, static_cast<float>(desc.depthBias));
    SetEnabled(GL_DEPTH_CLAMP, !desc.depthClipEnable);
    SetEnabled(GL_SCISSOR_TEST, desc.scissorEnable);
    SetEnabled(GL_MULTISAMPLE, desc.multisampleEnable);
    SetEnabled(GL_LINE_SMOOTH, desc.antialiasedLineEnable);
}

void ApplyDepthStencilState(const DepthStencilState* state, std::uint32_t stencilRef) {
    const DepthStencilDesc desc = state ? state->desc : DepthStencilDesc{};
    // Direct3D's disabled depth test still passes everything and writes nothing, which is GL's
    // disabled depth test too.
    SetEnabled(GL_DEPTH_TEST, desc.depthEnable);
    glDepthFunc(GlComparison(desc.depthFunc));
    glDepthMask(desc.depthWriteMask == DepthWriteMask::All ? GL_TRUE : GL_FALSE);
    SetEnabled(GL_STENCIL_TEST, desc.stencilEnable);
    ApplyStencilFace(GL_FRONT, desc.frontFace, stencilRef, desc.stencilReadMask);
    ApplyStencilFace(GL_BACK, desc.backFace, stencilRef, desc.stencilReadMask);
    glStencilMask(desc.stencilWriteMask);
}

void ApplyBlendState(const BlendState* state, const float blendFactor[4]) {
    const BlendDesc desc = state ? state->desc : BlendDesc{};
    const RenderTargetBlendDesc& rt = desc.renderTarget0;
    // Alpha-to-coverage is done by the pixel shader itself (an alpha test at 0.5, what it
    // amounts to on the single-sample targets used here); the context switches it per draw.
    glDisable(GL_SAMPLE_ALPHA_TO_COVERAGE);
    if (rt.blendEnable) {
        glEnablei(GL_BLEND, 0);
    } else {
        glDisablei(GL_BLEND, 0);
    }
    glBlendFuncSeparatei(0, GlBlend(rt.srcBlend), GlBlend(rt.destBlend), GlBlend(rt.srcBlendAlpha),
                         GlBlend(rt.destBlendAlpha));
    glBlendEquationSeparatei(0, GlBlendOp(rt.blendOp), GlBlendOp(rt.blendOpAlpha));
    const std::uint8_t m = rt.renderTargetWriteMask;
    glColorMaski(0, (m & 1) != 0, (m & 2) != 0, (m & 4) != 0, (m & 8) != 0);
    if (blendFactor) {
        glBlendColor(blendFactor[0], blendFactor[1], blendFactor[2], blendFactor[3]);
    } else {
        glBlendColor(1.0f, 1.0f, 1.0f, 1.0f);
    }
}

}  // namespace quixo::gfx
