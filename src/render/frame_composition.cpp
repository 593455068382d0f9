// One frame: camera and per-frame constants, the object passes, then the fixed chain of
// full-screen passes (depth-of-field blur, bloom, composite, FXAA) and the present.
#include <chrono>
#include <cmath>
#include <cstring>

#include "core/camera.h"
#include "core/draw_lists.h"
#include "core/render_settings.h"
#include "platform/message_box.h"
#include "render/gfx/timer_query.h"
#include "render/render_passes.h"

namespace quixo {

namespace {

constexpr float kDofBlurFalloff = 0.1f;
constexpr int kBloomSlot = 2;
constexpr int kGaussSlot = 3;
constexpr int kCompositeSlot = 4;
const float kTransparentBlack[4] = {0.0f, 0.0f, 0.0f, 0.0f};

void BindInput(GpuState& gpu, std::uint32_t slot, int target) {
    gfx::PSSetShaderResources(*gpu.context, slot, &gpu.targets[target].shaderResourceView);
}

void ClearAndBind(GpuState& gpu, int target) {
    const gfx::RenderTargetView& view = gpu.targets[target].renderTargetView;
    gfx::ClearRenderTargetView(*gpu.context, view, kTransparentBlack);
    gfx::OMSetRenderTargets(*gpu.context, &view, &gpu.depthView);
}

// One direction of the blur: 16 taps at odd offsets, weights 0.5 · wᵢ / Σw with
// wᵢ = e^(−f·(2i)²), so the two taps of each weight sum to 1. The taps are a reference-frame
// pixel apart (a pixel at 1920 × 1080, half a pixel at 960 × 540), so bloom and depth of field
// reach as far at every size.
void UploadGaussWeights(GpuState& gpu, float falloff, float scale) {
    GaussFilterData data{};
    float raw[8];
    float sum = 0.0f;
    for (int i = 0; i < 8; ++i) {
        const float d = static_cast<float>(2 * i);
        raw[i] = std::exp(-falloff * d * d);
        sum += raw[i];
    }
    for (int i = 0; i < 8; ++i) data.gasWeight[i] = 0.5f * raw[i] / sum;
    data.gasScale = scale;
    data.gasSpread = gpu.viewport.height / kReferenceHeight;
    UploadConstants(gpu.constants[kGaussSlot], &data, sizeof data);
    gfx::PSSetConstantBuffers(*gpu.context, kGaussSlot, &gpu.constants[kGaussSlot]);
}

float WidthRatio(const GpuState& gpu, int target) {
    const auto sourceWidth = static_cast<std::uint32_t>(gpu.targets[target].width);
    return gpu.viewport.width / static_cast<float>(sourceWidth);
}

void GaussianBlur(GpuState& gpu, int source, int destination, float falloff) {
    const gfx::ComparisonFunc comparison = DepthOff(gpu);
    ClearAndBind(gpu, kTargetBlurIntermediate);
    UploadGaussWeights(gpu, falloff, WidthRatio(gpu, source));
    BindInput(gpu, 2, source);  // bloomMap
    FullScreenDraw(gpu, kShaderGauss1);

    ClearAndBind(gpu, destination);
    UploadGaussWeights(gpu, falloff, WidthRatio(gpu, kTargetBlurIntermediate));
    BindInput(gpu, 2, kTargetBlurIntermediate);
    FullScreenDraw(gpu, kShaderGauss2);
    DepthOn(gpu, comparison);
}

void Bloom(GpuState& gpu, const RenderSettings& s) {
    const gfx::ComparisonFunc comparison = DepthOff(gpu);
    ClearAndBind(gpu, kTargetBloomHighlight);
    BloomEffectData data{};
    data.bloomColor = s.bloomColor;
    data.bloomThrethold = s.bloomThreshold;
    UploadConstants(gpu.constants[kBloomSlot], &data, sizeof data);
    gfx::PSSetConstantBuffers(*gpu.context, kBloomSlot, &gpu.constants[kBloomSlot]);
    BindInput(gpu, 0, kTargetSceneColour);  // colorMap, read at mip 1
    FullScreenDraw(gpu, kShaderBloomHighlight);
    GaussianBlur(gpu, kTargetBloomHighlight, kTargetBloomBlurred, s.bloomBlurScale);
    DepthOn(gpu, comparison);
}

void Composite(GpuState& gpu, const RenderSettings& s) {
    const gfx::ComparisonFunc comparison = DepthOff(gpu);
    const gfx::RenderTargetView* output =
        s.fxaaEnabled ? &gpu.targets[kTargetComposite].renderTargetView : &gpu.backBufferView;
    gfx::OMSetRenderTargets(*gpu.context, output, &gpu.depthView);
    CompositeEffectData data{};
    data.dofFocus = s.dofFocus;
    data.transitionType = static_cast<std::uint32_t>(s.transitionType);
    data.transitionFactor = s.transitionFactor;
    UploadConstants(gpu.constants[kCompositeSlot], &data, sizeof data);
    gfx::PSSetConstantBuffers(*gpu.context, kCompositeSlot, &gpu.constants[kCompositeSlot]);
    gfx::GenerateMips(gpu.targets[kTargetSceneColour].shaderResourceView);
    BindInput(gpu, 0, kTargetSceneColour);    // colorMap
    BindInput(gpu, 1, kTargetVelocityDepth);  // velocityAndDepthMap
    BindInput(gpu, 2, kTargetBloomBlurred);   // bloomMap
    BindInput(gpu, 5, kTargetBlurredScene);   // dofBokhRT
    FullScreenDraw(gpu, kShaderComposite);
    DepthOn(gpu, comparison);
}

void Fxaa(GpuState& gpu) {
    const gfx::ComparisonFunc comparison = DepthOff(gpu);
    gfx::OMSetRenderTargets(*gpu.context, &gpu.backBufferView, &gpu.depthView);
    BindInput(gpu, 3, kTargetComposite);  // postEffectRT
    FullScreenDraw(gpu, kShaderFxaa);
    DepthOn(gpu, comparison);
}

// Starts timing this frame unless the last frame's result is still on its way.
bool BeginFrameTimer(GpuState& gpu) {
    if (gpu.timerQuery == 0) return false;
    if (gpu.timerPending) {
        std::uint64_t ns = 0;
        if (!gfx::TimerResult(gpu.timerQuery, ns)) return false;
        gpu.lastFrameGpuMs = static_cast<double>(ns) * 1e-6;
        gpu.timerPending = false;
    }
    gfx::BeginTimer(gpu.timerQuery);
    return true;
}

}  // namespace

void UploadConstants(gfx::Buffer& buffer, const void* data, std::size_t bytes) {
    void* p = gfx::Map(buffer);
    if (p == nullptr) return;
    std::memcpy(p, data, bytes);
    gfx::Unmap(buffer);
}

void RequireCreated(bool created, const gfx::Device& device, std::string_view what) {
    if (!created) FatalError("cannot create " + std::string(what) + ": " + device.lastError);
}

void BindConstants(GpuState& gpu, int slot) {
    const auto s = static_cast<std::uint32_t>(slot);
    gfx::VSSetConstantBuffers(*gpu.context, s, &gpu.constants[slot]);
    gfx::PSSetConstantBuffers(*gpu.context, s, &gpu.constants[slot]);
}

gfx::ComparisonFunc DepthOff(GpuState& gpu) {
    const gfx::ComparisonFunc remembered = gpu.depthStencilDesc.depthFunc;
    gpu.depthStencilDesc.depthFunc = gfx::ComparisonFunc::Always;
    gpu.depthStencilDesc.depthEnable = false;
    RequireCreated(gfx::CreateDepthStencilState(*gpu.device, gpu.depthStencilDesc, gpu.depthState),
                   *gpu.device, "the depth-stencil state of a full-screen pass");
    gfx::OMSetDepthStencilState(*gpu.context, &gpu.depthState, 0);
    return remembered;
}

void DepthOn(GpuState& gpu, gfx::ComparisonFunc comparison) {
    gpu.depthStencilDesc.depthEnable = true;
    gpu.depthStencilDesc.depthFunc = comparison;
    RequireCreated(gfx::CreateDepthStencilState(*gpu.device, gpu.depthStencilDesc, gpu.depthState),
                   *gpu.device, "the depth-stencil state of the object passes");
    gfx::OMSetDepthStencilState(*gpu.context, &gpu.depthState, 0);
}

void FullScreenDraw(GpuState& gpu, int index) {
    gfx::DeviceContext& ctx = *gpu.context;
    gfx::VSSetShader(ctx, &gpu.vertexShaders.entries[index].shader);
    gfx::PSSetShader(ctx, &gpu.pixelShaders.entries[index]);
    gfx::IASetVertexBuffers(ctx, nullptr, 0, 0);
    gfx::IASetPrimitiveTopology(ctx, gfx::PrimitiveTopology::TriangleStrip);
    gfx::Draw(ctx, 4, 0);
}

void BeginFrameState() {
    RenderSettings& s = Settings();
    ResetFrameArena();
    UpdateCamera(s, Camera());
    if (s.motionBlurEnabled) ResetPreviousTransforms(Lists(), s.motionBlurResetDistance);
}

void EndFrameState() {
    ResetAfterPresent(Settings());
    ResetDebugLines(Lists());
}

void RenderFrame(RenderDevice& rd) {
    GpuState& gpu = *rd.gpu;
    const RenderSettings& s = Settings();
    const auto start = std::chrono::steady_clock::now();
    const bool timed = BeginFrameTimer(gpu);
    gfx::BeginRingFrame(*gpu.device, gpu.objectRing);

    BeginFrameState();
    UploadPerFrameConstants(gpu);

    gfx::ClearRenderTargetView(*gpu.context, gpu.backBufferView, s.clearColor);
    gfx::ClearDepthStencilView(*gpu.context, gpu.depthView, gfx::ClearDepth | gfx::ClearStencil,
                               1.0f, 0);
    VelocityPass(gpu);
    ColourPass(gpu);
    GaussianBlur(gpu, kTargetSceneColour, kTargetBlurredScene, kDofBlurFalloff);
    if (s.bloomEnabled) Bloom(gpu, s);
    Composite(gpu, s);
    if (s.fxaaEnabled) Fxaa(gpu);

    gfx::EndRingFrame(*gpu.device, gpu.objectRing);
    if (timed) {
        gfx::EndTimer(gpu.timerQuery);
        gpu.timerPending = true;
    }
    gfx::Flush(*gpu.context);
    gpu.lastSubmitMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    gfx::Present(*gpu.context, *gpu.swapChain, s.vsyncEnabled ? 1 : 0);
    // Textures still arriving come one a frame, once this one is on its way.
    UploadNextTexture(gpu);
    EndFrameState();
}

}  // namespace quixo
