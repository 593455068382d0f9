// The per-frame constants and the two object passes over the draw lists: velocity and depth
// of the opaque items, then the colour pass (opaque, blended last-pushed first, sprites).
#include <cstring>

#include "core/camera.h"
#include "core/draw_lists.h"
#include "core/render_settings.h"
#include "render/render_passes.h"

namespace quixo {

namespace {

constexpr int kObjectSlot = 1;
constexpr int kSpriteSlot = 6;
constexpr std::uint32_t kColourTextureSlot = 7;  // colorTex
constexpr std::uint32_t kSpriteTextureSlot = 6;  // sprite
constexpr std::uint32_t kVertexStride = sizeof(MeshVertex);

void CopyMatrix(float out[16], const Matrix& m) {
    std::memcpy(out, m.m, sizeof m.m);
}

// World, world × viewProj and the previous world × this frame's viewProj, so that camera
// motion alone gives no velocity; then the item's twenty option floats.
void UploadObjectConstants(GpuState& gpu, const DrawItem& item) {
    const Matrix& viewProj = Camera().viewProj;
    const Matrix world = WorldMatrix(item.position, item.scale, item.rotation);
    const Matrix prevWorld = WorldMatrix(item.prevPosition, item.prevScale, item.prevRotation);
    PerObjectData data;
    CopyMatrix(data.world, world);
    CopyMatrix(data.worldViewProj, world * viewProj);
    CopyMatrix(data.oldWorldViewProj, prevWorld * viewProj);
    std::memcpy(data.options, item.options, sizeof item.options);
    std::memset(data.options[5], 0, sizeof(float) * 12);
    UploadConstants(gpu.constants[kObjectSlot], &data, sizeof data);
    BindConstants(gpu, kObjectSlot);
}

const GpuMesh* MeshOf(GpuState& gpu, const DrawItem& item) {
    if (item.meshIndex < 0 || item.meshIndex >= kMeshTableSize) return nullptr;
    const GpuMesh& mesh = gpu.meshes.entries[item.meshIndex];
    return mesh.vertexBuffer.name != 0 ? &mesh : nullptr;
}

void BindShaders(GpuState& gpu, int vertexIndex, int pixelIndex) {
    const VertexShaderEntry& vs = gpu.vertexShaders.entries[vertexIndex];
    gfx::IASetInputLayout(*gpu.context, &vs.layout);
    gfx::VSSetShader(*gpu.context, &vs.shader);
    gfx::PSSetShader(*gpu.context, &gpu.pixelShaders.entries[pixelIndex]);
}

void DrawMesh(GpuState& gpu, const GpuMesh& mesh) {
    gfx::IASetVertexBuffers(*gpu.context, &mesh.vertexBuffer, kVertexStride, 0);
    gfx::IASetIndexBuffer(*gpu.context, &mesh.indexBuffer, 0);
    gfx::IASetPrimitiveTopology(*gpu.context, gfx::PrimitiveTopology::TriangleList);
    gfx::DrawIndexed(*gpu.context, mesh.indexCount, 0, 0);
}

const gfx::ShaderResourceView* TextureView(GpuState& gpu, std::int32_t index) {
    if (index < 0 || index >= kTextureCount) return nullptr;
    const gfx::ShaderResourceView& view = gpu.textures.entries[index].view;
    return view.name != 0 ? &view : nullptr;
}

void DrawItemColour(GpuState& gpu, const DrawItem& item) {
    const GpuMesh* mesh = MeshOf(gpu, item);
    if (item.meshIndex != -1 && mesh == nullptr) return;
    UploadObjectConstants(gpu, item);
    BindShaders(gpu, item.vertexShaderIndex, item.pixelShaderIndex);
    if (item.meshIndex == -1) {
        // The shader builds its geometry from the vertex number.
        gfx::IASetVertexBuffers(*gpu.context, nullptr, 0, 0);
        gfx::IASetPrimitiveTopology(*gpu.context, gfx::PrimitiveTopology::TriangleStrip);
        gfx::Draw(*gpu.context, 4, 0);
        return;
    }
    gfx::PSSetShaderResources(*gpu.context, kColourTextureSlot,
                              TextureView(gpu, item.textureIndex));
    DrawMesh(gpu, *mesh);
}

const gfx::BlendState* SpriteBlend(GpuState& gpu, std::int32_t mode) {
    if (mode == 1) return &gpu.blendAlpha;
    if (mode == 2) return &gpu.blendAdditive;
    return &gpu.blendOpaque;
}

void DrawSprite(GpuState& gpu, const SpriteItem& sprite) {
    const gfx::ComparisonFunc comparison = DepthOff(gpu);
    gfx::OMSetBlendState(*gpu.context, SpriteBlend(gpu, sprite.blendMode));
    float texW = 0.0f, texH = 0.0f;
    if (sprite.textureIndex >= 0 && sprite.textureIndex < kTextureCount) {
        texW = static_cast<float>(gpu.textures.entries[sprite.textureIndex].width);
        texH = static_cast<float>(gpu.textures.entries[sprite.textureIndex].height);
    }
    // Half extents against the reference frame. The sprite entry measures x in units of the
    // frame's height (it scales by h / w), so the reference width keeps the texels' shape at
    // any aspect ratio, and at the reference size this is the target's own pixel size.
    const float hw =
        texW * sprite.size[0] * (sprite.srcRect[2] - sprite.srcRect[0]) / kReferenceWidth;
    const float hh =
        texH * sprite.size[1] * (sprite.srcRect[3] - sprite.srcRect[1]) / kReferenceHeight;
    SpriteData data{};
    std::memcpy(data.spritesrcRect, sprite.srcRect, sizeof sprite.srcRect);
    data.spriteDstRect[0] = sprite.center[0] - hw;
    data.spriteDstRect[1] = sprite.center[1] - hh;
    data.spriteDstRect[2] = sprite.center[0] + hw;
    data.spriteDstRect[3] = sprite.center[1] + hh;
    data.spriteZ[0] = 0.5f;
    data.spriteRot[0] = sprite.rotation;
    data.spriteAlpha[0] = sprite.alpha;
    UploadConstants(gpu.constants[kSpriteSlot], &data, sizeof data);
    BindConstants(gpu, kSpriteSlot);
    BindShaders(gpu, kShaderSprite, kShaderSprite);
    gfx::PSSetShaderResources(*gpu.context, kSpriteTextureSlot,
                              TextureView(gpu, sprite.textureIndex));
    gfx::IASetVertexBuffers(*gpu.context, nullptr, 0, 0);
    gfx::IASetPrimitiveTopology(*gpu.context, gfx::PrimitiveTopology::TriangleStrip);
    gfx::Draw(*gpu.context, 4, 0);
    DepthOn(gpu, comparison);
}

}  // namespace

void UploadPerFrameConstants(GpuState& gpu) {
    const RenderSettings& s = Settings();
    PerFrameData data{};
    CopyMatrix(data.viewProj, Camera().view * Camera().projection);
    data.eyePosVS[0] = s.eye[0];
    data.eyePosVS[1] = s.eye[1];
    data.eyePosVS[2] = s.eye[2];
    data.eyePosVS[3] = 1.0f;
    std::memcpy(data.lightDirVS, s.lightDir, sizeof s.lightDir);
    data.isBlur = s.motionBlurEnabled;
    data.isRenderDof = s.dofEnabled;
    data.isRenderBloom = s.bloomEnabled;
    UploadConstants(gpu.constants[0], &data, sizeof data);
    BindConstants(gpu, 0);
}

void VelocityPass(GpuState& gpu) {
    static const float kVelocityClear[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    const RenderTarget& target = gpu.targets[kTargetVelocityDepth];
    gfx::ClearRenderTargetView(*gpu.context, target.renderTargetView, kVelocityClear);
    gfx::OMSetRenderTargets(*gpu.context, &target.renderTargetView, &gpu.depthView);
    const DrawLists& lists = Lists();
    for (std::uint32_t i = 0; i < lists.opaqueCount; ++i) {
        const DrawItem& item = lists.opaque[i];
        const GpuMesh* mesh = MeshOf(gpu, item);
        if (mesh == nullptr) continue;
        UploadObjectConstants(gpu, item);
        BindShaders(gpu, kShaderVelocityAndDepth, kShaderVelocityAndDepth);
        DrawMesh(gpu, *mesh);
    }
    gfx::OMSetRenderTargets(*gpu.context, &gpu.backBufferView, &gpu.depthView);
}

void ColourPass(GpuState& gpu) {
    gfx::DeviceContext& ctx = *gpu.context;
    const RenderTarget& target = gpu.targets[kTargetSceneColour];
    gfx::ClearRenderTargetView(ctx, target.renderTargetView, Settings().clearColor);
    gfx::OMSetRenderTargets(ctx, &target.renderTargetView, &gpu.depthView);
    gfx::ClearDepthStencilView(ctx, gpu.depthView, gfx::ClearDepth | gfx::ClearStencil, 1.0f, 0);

    DrawLists& lists = Lists();
    gfx::OMSetBlendState(ctx, &gpu.blendOpaque);
    for (std::uint32_t i = 0; i < lists.opaqueCount; ++i) DrawItemColour(gpu, lists.opaque[i]);
    gfx::OMSetBlendState(ctx, &gpu.blendAlpha);
    for (std::uint32_t i = lists.blendedCount; i-- > 0;) DrawItemColour(gpu, lists.blended[i]);
    gfx::OMSetBlendState(ctx, &gpu.blendOpaque);

    if (lists.spriteCount > 0) SortSprites(lists.sprites, lists.spriteCount);
    gfx::ClearDepthStencilView(ctx, gpu.depthView, gfx::ClearDepth | gfx::ClearStencil, 1.0f, 0);
    for (std::uint32_t i = 0; i < lists.spriteCount; ++i) DrawSprite(gpu, lists.sprites[i]);
    gfx::OMSetBlendState(ctx, &gpu.blendOpaque);
}

}  // namespace quixo
