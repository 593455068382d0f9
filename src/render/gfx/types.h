#pragma once
// The Direct3D 11 vocabulary the renderer speaks: formats, usages, bind flags and the state
// descriptions, with Direct3D's numeric values where callers store or compare them. The graphics
// layer maps them onto OpenGL; nothing outside render/gfx sees a GL name or header.
#include <cstdint>

namespace quixo::gfx {

enum class Format : std::uint32_t {
    Unknown = 0,
    R32G32B32A32_FLOAT = 2,
    R16G16B16A16_FLOAT = 10,
    R8G8B8A8_UNORM = 28,
    D24_UNORM_S8_UINT = 45,
    B8G8R8A8_UNORM = 87,
};

enum class Usage : std::uint32_t { Default = 0, Immutable = 1, Dynamic = 2, Staging = 3 };

enum BindFlag : std::uint32_t {
    BindVertexBuffer = 0x1,
    BindIndexBuffer = 0x2,
    BindConstantBuffer = 0x4,
    BindShaderResource = 0x8,
    BindRenderTarget = 0x20,
    BindDepthStencil = 0x40,
};

enum CpuAccessFlag : std::uint32_t { CpuAccessWrite = 0x10000, CpuAccessRead = 0x20000 };

enum ResourceMiscFlag : std::uint32_t { ResourceMiscGenerateMips = 0x1 };

enum ClearFlag : std::uint32_t { ClearDepth = 0x1, ClearStencil = 0x2 };

enum class PrimitiveTopology : std::uint32_t {
    Undefined = 0,
    PointList = 1,
    LineList = 2,
    LineStrip = 3,
    TriangleList = 4,
    TriangleStrip = 5,
};

enum class FillMode : std::uint32_t { Wireframe = 2, Solid = 3 };
enum class CullMode : std::uint32_t { None = 1, Front = 2, Back = 3 };

enum class ComparisonFunc : std::uint32_t {
    Never = 1,
    Less = 2,
    Equal = 3,
    LessEqual = 4,
    Greater = 5,
    NotEqual = 6,
    GreaterEqual = 7,
    Always = 8,
};

enum class DepthWriteMask : std::uint32_t { Zero = 0, All = 1 };

enum class StencilOp : std::uint32_t {
    Keep = 1,
    Zero = 2,
    Replace = 3,
    IncrSat = 4,
    DecrSat = 5,
    Invert = 6,
    Incr = 7,
    Decr = 8,
};

enum class Blend : std::uint32_t {
    Zero = 1,
    One = 2,
    SrcColor = 3,
    InvSrcColor = 4,
    SrcAlpha = 5,
    InvSrcAlpha = 6,
    DestAlpha = 7,
    InvDestAlpha = 8,
    DestColor = 9,
    InvDestColor = 10,
};

enum class BlendOp : std::uint32_t { Add = 1, Subtract = 2, RevSubtract = 3, Min = 4, Max = 5 };

enum class Filter : std::uint32_t {
    MinMagMipPoint = 0x0,
    MinMagPointMipLinear = 0x1,
    MinMagLinearMipPoint = 0x14,
    MinMagMipLinear = 0x15,
};

enum class TextureAddressMode : std::uint32_t { Wrap = 1, Mirror = 2, Clamp = 3, Border = 4 };

enum class MapType : std::uint32_t { WriteDiscard = 4 };

struct RasterizerDesc {
    FillMode fillMode = FillMode::Solid;
    CullMode cullMode = CullMode::Back;
    bool frontCounterClockwise = false;
    std::int32_t depthBias = 0;
    float depthBiasClamp = 0.0f;
    float slopeScaledDepthBias = 0.0f;
    bool depthClipEnable = true;
    bool scissorEnable = false;
    bool multisampleEnable = false;
    bool antialiasedLineEnable = false;
};

struct DepthStencilOpDesc {
    StencilOp stencilFailOp = StencilOp::Keep;
    StencilOp stencilDepthFailOp = StencilOp::Keep;
    StencilOp stencilPassOp = StencilOp::Keep;
    ComparisonFunc stencilFunc = ComparisonFunc::Always;
    bool operator==(const DepthStencilOpDesc&) const = default;
};

struct DepthStencilDesc {
    bool depthEnable = true;
    DepthWriteMask depthWriteMask = DepthWriteMask::All;
    ComparisonFunc depthFunc = ComparisonFunc::Less;
    bool stencilEnable = false;
    std::uint8_t stencilReadMask = 0xFF;
    std::uint8_t stencilWriteMask = 0xFF;
    DepthStencilOpDesc frontFace;
    DepthStencilOpDesc backFace;
    bool operator==(const DepthStencilDesc&) const = default;
};

struct RenderTargetBlendDesc {
    bool blendEnable = false;
    Blend srcBlend = Blend::One;
    Blend destBlend = Blend::Zero;
    BlendOp blendOp = BlendOp::Add;
    Blend srcBlendAlpha = Blend::One;
    Blend destBlendAlpha = Blend::Zero;
    BlendOp blendOpAlpha = BlendOp::Add;
    std::uint8_t renderTargetWriteMask = 0xF;
    bool operator==(const RenderTargetBlendDesc&) const = default;
};

// Render target 0 only: the system never blends targets independently.
struct BlendDesc {
    bool alphaToCoverageEnable = false;
    RenderTargetBlendDesc renderTarget0;
    bool operator==(const BlendDesc&) const = default;
};

struct SamplerDesc {
    Filter filter = Filter::MinMagMipLinear;
    TextureAddressMode addressU = TextureAddressMode::Clamp;
    TextureAddressMode addressV = TextureAddressMode::Clamp;
    TextureAddressMode addressW = TextureAddressMode::Clamp;
    float mipLodBias = 0.0f;
    std::uint32_t maxAnisotropy = 1;
    ComparisonFunc comparisonFunc = ComparisonFunc::Never;
    float borderColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    float minLod = -3.402823466e+38f;
    float maxLod = 3.402823466e+38f;
};

struct Viewport {
    float topLeftX = 0.0f;
    float topLeftY = 0.0f;
    float width = 0.0f;
    float height = 0.0f;
    float minDepth = 0.0f;
    float maxDepth = 1.0f;
};

struct Rect {
    std::int32_t left, top, right, bottom;
};

}  // namespace quixo::gfx
