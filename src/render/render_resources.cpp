// Everything the renderer keeps for the whole run, created once in start-up order.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>

#include "core/draw_lists.h"
#include "core/render_settings.h"
#include "platform/message_box.h"
#include "render/gfx/timer_query.h"
#include "render/render_passes.h"

namespace quixo {

namespace {

// Made by SetupDevice, gone with ReleaseRenderer: one per start-up of the device.
std::unique_ptr<GpuState> g_gpu;

gfx::RasterizerDesc RasterizerDescription() {
    gfx::RasterizerDesc d;
    d.fillMode = gfx::FillMode::Solid;
    d.cullMode = gfx::CullMode::None;
    d.frontCounterClockwise = false;
    d.depthClipEnable = true;
    return d;
}

gfx::DepthStencilDesc DepthStencilDescription() {
    gfx::DepthStencilDesc d;
    d.depthEnable = true;
    d.depthWriteMask = gfx::DepthWriteMask::All;
    d.depthFunc = gfx::ComparisonFunc::Less;
    d.stencilEnable = false;
    d.stencilReadMask = 0;
    d.stencilWriteMask = 0;
    d.frontFace.stencilFunc = gfx::ComparisonFunc::Never;
    d.backFace.stencilFunc = gfx::ComparisonFunc::Never;
    return d;
}

gfx::SamplerDesc SamplerDescription() {
    gfx::SamplerDesc d;
    d.filter = gfx::Filter::MinMagMipLinear;
    d.addressU = d.addressV = d.addressW = gfx::TextureAddressMode::Wrap;
    d.mipLodBias = 0.0f;
    d.maxAnisotropy = 1;
    d.comparisonFunc = gfx::ComparisonFunc::Always;
    std::fill(d.borderColor, d.borderColor + 4, 0.0f);
    d.minLod = 0.0f;
    d.maxLod = 3.402823466e+38f;
    return d;
}

struct TargetShape {
    const char* name;  // for failure messages
    gfx::Format format;
    bool mipChain;  // full chain with generate-mips
};

// Creation order of the seven targets (TargetIndex).
constexpr TargetShape kTargetShapes[kTargetCount] = {
    {"the scene colour target", gfx::Format::B8G8R8A8_UNORM, true},
    {"the bloom highlight target", gfx::Format::B8G8R8A8_UNORM, true},
    {"the blurred bloom target", gfx::Format::B8G8R8A8_UNORM, true},
    {"the composite target", gfx::Format::B8G8R8A8_UNORM, true},
    {"the velocity and depth target", gfx::Format::R16G16B16A16_FLOAT, false},
    {"the blurred scene target", gfx::Format::R16G16B16A16_FLOAT, false},
    {"the blur intermediate target", gfx::Format::R16G16B16A16_FLOAT, false},
};

void CreateTarget(GpuState& gpu, const RenderDevice& rd, const TargetShape& shape,
                  RenderTarget& target) {
    gfx::Texture2DDesc desc;
    desc.width = static_cast<std::uint32_t>(rd.width);
    desc.height = static_cast<std::uint32_t>(rd.height);
    desc.mipLevels = shape.mipChain ? 0 : 1;
    desc.format = shape.format;
    desc.usage = gfx::Usage::Default;
    desc.bindFlags = gfx::BindRenderTarget | gfx::BindShaderResource;
    desc.miscFlags = shape.mipChain ? std::uint32_t{gfx::ResourceMiscGenerateMips} : 0u;
    RequireCreated(gfx::CreateTexture2D(*gpu.device, desc, nullptr, target.texture), *gpu.device,
                   shape.name);
    RequireCreated(
        gfx::CreateRenderTargetView(*gpu.device, target.texture, target.renderTargetView),
        *gpu.device, std::string("the render-target view of ") + shape.name);
    RequireCreated(
        gfx::CreateShaderResourceView(*gpu.device, target.texture, target.shaderResourceView),
        *gpu.device, std::string("the shader resource view of ") + shape.name);
    target.width = rd.width;
    target.height = rd.height;
    if (shape.mipChain) gfx::GenerateMips(target.shaderResourceView);
}

gfx::BlendDesc Blending(bool alphaToCoverage, bool enable, gfx::Blend src, gfx::Blend dest,
                        gfx::Blend srcAlpha, gfx::Blend destAlpha) {
    gfx::BlendDesc d;
    d.alphaToCoverageEnable = alphaToCoverage;
    d.renderTarget0.blendEnable = enable;
    d.renderTarget0.srcBlend = src;
    d.renderTarget0.destBlend = dest;
    d.renderTarget0.blendOp = gfx::BlendOp::Add;
    d.renderTarget0.srcBlendAlpha = srcAlpha;
    d.renderTarget0.destBlendAlpha = destAlpha;
    d.renderTarget0.blendOpAlpha = gfx::BlendOp::Add;
    d.renderTarget0.renderTargetWriteMask = 0xF;
    return d;
}

void CreateBlendStates(GpuState& gpu) {
    using gfx::Blend;
    RequireCreated(
        gfx::CreateBlendState(
            *gpu.device, Blending(false, false, Blend::One, Blend::Zero, Blend::One, Blend::Zero),
            gpu.blendOpaque),
        *gpu.device, "the opaque blend state");
    RequireCreated(gfx::CreateBlendState(*gpu.device,
                                         Blending(false, true, Blend::SrcAlpha, Blend::InvSrcAlpha,
                                                  Blend::One, Blend::Zero),
                                         gpu.blendAlpha),
                   *gpu.device, "the alpha blend state");
    RequireCreated(
        gfx::CreateBlendState(
            *gpu.device, Blending(true, true, Blend::One, Blend::One, Blend::Zero, Blend::Zero),
            gpu.blendAdditive),
        *gpu.device, "the additive blend state");
}

}  // namespace

void SetupDevice(RenderDevice& rd, gfx::Device& device, gfx::DeviceContext& context,
                 gfx::SwapChain& swapChain) {
    g_gpu = std::make_unique<GpuState>();
    GpuState& gpu = *g_gpu;
    rd.gpu = &gpu;
    rd.displayAspect = static_cast<float>(rd.width) / static_cast<float>(rd.height);
    gpu.device = &device;
    gpu.context = &context;
    gpu.swapChain = &swapChain;
    RequireCreated(
        gfx::CreateRenderTargetView(device, gfx::GetBuffer(swapChain), gpu.backBufferView),
        *gpu.device, "the back buffer's render-target view");

    gfx::Texture2DDesc depth;
    depth.width = static_cast<std::uint32_t>(rd.width);
    depth.height = static_cast<std::uint32_t>(rd.height);
    depth.mipLevels = 1;
    depth.format = gfx::Format::D24_UNORM_S8_UINT;
    depth.bindFlags = gfx::BindDepthStencil;
    RequireCreated(gfx::CreateTexture2D(device, depth, nullptr, gpu.depthTexture), *gpu.device,
                   "the depth buffer");
    RequireCreated(gfx::CreateDepthStencilView(device, gpu.depthTexture, gpu.depthView),
                   *gpu.device, "the depth buffer's view");

    gpu.viewport = gfx::Viewport{
        0.0f, 0.0f, static_cast<float>(rd.width), static_cast<float>(rd.height), 0.0f, 1.0f};
    gpu.rasterizerDesc = RasterizerDescription();
    gpu.depthStencilDesc = DepthStencilDescription();
    gpu.samplerDesc = SamplerDescription();
    RequireCreated(gfx::CreateRasterizerState(device, gpu.rasterizerDesc, gpu.rasterizer),
                   *gpu.device, "the rasterizer state");
    RequireCreated(gfx::CreateDepthStencilState(device, gpu.depthStencilDesc, gpu.depthState),
                   *gpu.device, "the depth-stencil state");
    RequireCreated(gfx::CreateSamplerState(device, gpu.samplerDesc, gpu.sampler), *gpu.device,
                   "the sampler state");

    gfx::OMSetRenderTargets(context, &gpu.backBufferView, &gpu.depthView);
    gfx::RSSetViewports(context, gpu.viewport);
    gfx::RSSetState(context, &gpu.rasterizer);
    gfx::OMSetDepthStencilState(context, &gpu.depthState, 0);
    gfx::PSSetSamplers(context, &gpu.sampler);
}

void CompileShaders(RenderDevice& rd) {
    CompileShaderLibrary(*rd.gpu->device, rd.gpu->vertexShaders, rd.gpu->pixelShaders);
}

void CreateRenderResources(RenderDevice& rd, bool vsync, bool antiAlias) {
    GpuState& gpu = *rd.gpu;
    RenderSettings& settings = Settings();
    settings.vsyncEnabled = vsync ? 1 : 0;
    settings.fxaaEnabled = antiAlias ? 1 : 0;

    for (const ConstantBufferInfo& info : kConstantBuffers) {
        const gfx::BufferDesc desc{info.size, gfx::Usage::Dynamic, gfx::BindConstantBuffer,
                                   gfx::CpuAccessWrite};
        RequireCreated(gfx::CreateBuffer(*gpu.device, desc, nullptr, gpu.constants[info.slot]),
                       *gpu.device, std::string("the constant buffer ") + info.name);
    }
    // The opaque items twice (velocity and colour), the blended ones once.
    if (!gfx::CreateConstantRing(*gpu.device, 3 * kDrawListCapacity, sizeof(PerObjectData),
                                 gpu.objectRing)) {
        gpu.referenceDrawing = true;  // without the ring, every item uploads its own
    }
    for (int t = 0; t < kTargetCount; ++t) CreateTarget(gpu, rd, kTargetShapes[t], gpu.targets[t]);

    const gfx::BufferDesc lines{kDebugLineVertices * sizeof(MeshVertex), gfx::Usage::Dynamic,
                                gfx::BindVertexBuffer, gfx::CpuAccessWrite};
    RequireCreated(gfx::CreateBuffer(*gpu.device, lines, nullptr, gpu.debugLineBuffer), *gpu.device,
                   "the debug-line vertex buffer");
    Lists().debugLineCount = 0;

    WindowSizeData window{};
    window.w_width = static_cast<float>(rd.width);
    window.w_height = static_cast<float>(rd.height);
    UploadConstants(gpu.constants[5], &window, sizeof window);
    BindConstants(gpu, 5);

    CreateBlendStates(gpu);
    settings.lightDir[0] = 1.0f;
    settings.lightDir[1] = 1.0f;
    settings.lightDir[2] = 1.0f;
    settings.lightDir[3] = 0.0f;

    if (gpu.timerQueries) {
        RequireCreated(gfx::CreateTimerQuery(*gpu.device, gpu.timerQuery), *gpu.device,
                       "the frame timer query");
    }
}

void ReleaseRenderer(RenderDevice& rd) {
    if (rd.gpu == nullptr) return;
    GpuState& gpu = *rd.gpu;
    gfx::Device& device = *gpu.device;
    // Nothing bound may point at what goes next.
    gfx::ClearState(*gpu.context);
    ReleaseTextures(gpu);
    for (GpuMesh& mesh : gpu.meshes.entries) {
        gfx::ReleaseBuffer(device, mesh.vertexBuffer);
        gfx::ReleaseBuffer(device, mesh.indexBuffer);
    }
    ReleaseShaderTables(device, gpu.vertexShaders, gpu.pixelShaders);
    for (RenderTarget& target : gpu.targets) {
        gfx::ReleaseShaderResourceView(device, target.shaderResourceView);
        gfx::ReleaseTexture2D(device, target.texture);
    }
    for (gfx::Buffer& buffer : gpu.constants) gfx::ReleaseBuffer(device, buffer);
    gfx::ReleaseConstantRing(device, gpu.objectRing);
    gfx::ReleaseBuffer(device, gpu.debugLineBuffer);
    gfx::ReleaseSamplerState(device, gpu.sampler);
    gfx::ReleaseTexture2D(device, gpu.depthTexture);
    gfx::ReleaseTimerQuery(device, gpu.timerQuery);
    rd.gpu = nullptr;
    g_gpu.reset();
}

void RebindLongLivedState(RenderDevice& rd) {
    GpuState& gpu = *rd.gpu;
    // The caller has drawn on the same GL context: what it bound is unknown here.
    gfx::ForgetBoundState(*gpu.context);
    gfx::RSSetViewports(*gpu.context, gpu.viewport);
    gfx::RSSetState(*gpu.context, &gpu.rasterizer);
    gfx::OMSetDepthStencilState(*gpu.context, &gpu.depthState, 0);
    gfx::PSSetSamplers(*gpu.context, &gpu.sampler);
    BindConstants(gpu, 5);
}

std::vector<std::uint8_t> ReadBackBuffer(RenderDevice& rd) {
    const std::vector<float> pixels = gfx::ReadTexturePixels(gfx::GetBuffer(*rd.gpu->swapChain));
    std::vector<std::uint8_t> bytes(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const float v = std::clamp(pixels[i], 0.0f, 1.0f);
        bytes[i] = static_cast<std::uint8_t>(std::lround(v * 255.0f));
    }
    return bytes;
}

double LastFrameGpuMs(const RenderDevice& rd) {
    return rd.gpu ? rd.gpu->lastFrameGpuMs : 0.0;
}

double LastFrameSubmitMs(const RenderDevice& rd) {
    return rd.gpu ? rd.gpu->lastSubmitMs : 0.0;
}

void SetReferenceDrawing(RenderDevice& rd, bool on) {
    GpuState& gpu = *rd.gpu;
    gpu.referenceDrawing = on || gpu.objectRing.mapped == nullptr;
    gpu.context->skipRedundantState = !on;
    gfx::ForgetBoundState(*gpu.context);
}

}  // namespace quixo
