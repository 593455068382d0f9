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
PerObjectData ObjectConstants(const DrawItem& item) {
    const Matrix& viewProj = Camera().viewProj;
    const Matrix world = WorldMatrix(item.position, item.scale, item.rotation);
    const Matrix prevWorld = WorldMatrix(item.prevPosition, item.prevScale, item.prevRotation);
    PerObjectData data;
    CopyMatrix(data.world, world);
    CopyMatrix(data.worldViewProj, world * viewProj);
    CopyMatrix(data.oldWorldViewProj, prevWorld * viewProj);
    std::memcpy(data.options, item.options, sizeof item.options);
    std::memset(data.options[5], 0, sizeof(float) * 12);
    return data;
}

// One item's constants at b1: a block of this frame's ring bound by range, or, drawing the
// reference way (or with the ring full), through the b1 buffer of their own.
void BindObjectConstants(GpuState& gpu, const PerObjectData& data) {
    std::uint32_t offset = 0;
    void* block = nullptr;
    if (gpu.referenceDrawing ||
        !gfx::AllocateRing(gpu.objectRing, sizeof(PerObjectData), offset, block)) {
        UploadConstants(gpu.constants[kObjectSlot], &data, sizeof data);
        BindConstants(gpu, kObjectSlot);
        return;
    }
    std::memcpy(block, &data, sizeof data);
    gfx::SetConstantBufferRange(*gpu.context, kObjectSlot, &gpu.objectRing.buffer, offset,
                                sizeof data);
}

// The opaque items' constants, once for both passes.
void ComputeOpaqueConstants(GpuState& gpu, const DrawLists& lists) {
    for (std::uint32_t i = 0; i < lists.opaqueCount; ++i) {
        gpu.opaqueConstants[i] = ObjectConstants(lists.opaque[i]);
    }
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

void BindMesh(GpuState& gpu, const GpuMesh& mesh) {
    gfx::IASetVertexBuffers(*gpu.context, &mesh.vertexBuffer, kVertexStride, 0);
    gfx::IASetIndexBuffer(*gpu.context, &mesh.indexBuffer, 0);
    gfx::IASetPrimitiveTopology(*gpu.context, gfx::PrimitiveTopology::TriangleList);
}

void DrawMesh(GpuState& gpu, const GpuMesh& mesh) {
    BindMesh(gpu, mesh);
    gfx::DrawIndexed(*gpu.context, mesh.indexCount, 0, 0);
}

const gfx::ShaderResourceView* ViewOf(const gfx::LoadedTexture* texture) {
    return texture != nullptr && texture->view.name != 0 ? &texture->view : nullptr;
}

const gfx::ShaderResourceView* TextureView(GpuState& gpu, std::int32_t index) {
    return ViewOf(UsableTexture(gpu, index));
}

// The loaders check every shader index a graph can push, but the tables must not be read past
// whatever the lists hold: an item naming a shader outside them is skipped and counted.
bool ShadersInTables(GpuState& gpu, const DrawItem& item) {
    if (item.vertexShaderIndex >= 0 && item.vertexShaderIndex < kVertexShaderCount &&
        item.pixelShaderIndex >= 0 && item.pixelShaderIndex < kPixelShaderCount)
        return true;
    ++gpu.skippedDrawItems;
    return false;
}

// `constants` are the item's own when already computed (opaque items), else null.
void DrawItemColour(GpuState& gpu, const DrawItem& item, const PerObjectData* constants) {
    if (!ShadersInTables(gpu, item)) return;
    const GpuMesh* mesh = MeshOf(gpu, item);
    if (item.meshIndex != -1 && mesh == nullptr) return;
    BindObjectConstants(gpu, constants ? *constants : ObjectConstants(item));
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

// Runs: consecutive items that one instanced draw takes, each item's constants read by its
// instance from the ObjectRun buffer (b7). Instances are drawn in order, so depth test and
// blending see the items as if drawn one by one, and the pixels are the same.
constexpr std::uint32_t kRunSlot = 7;

struct InstancedForm {
    int vertex, pixel;                    // the pair the items name
    int instancedVertex, instancedPixel;  // its instanced form
};

// The pairs with an instanced form: those of the show's long runs (the Grid's cubes).
constexpr InstancedForm kInstancedForms[] = {
    {kVertexShaderBaseCook, kPixelShaderBaseCook, kVertexShaderBaseCookInstanced,
     kPixelShaderBaseCookInstanced},
};

const InstancedForm* InstancedFormOf(const DrawItem& item) {
    for (const InstancedForm& form : kInstancedForms) {
        if (form.vertex == item.vertexShaderIndex && form.pixel == item.pixelShaderIndex) {
            return &form;
        }
    }
    return nullptr;
}

// Item k of a run that starts at `first` and walks the list in direction `step`.
std::uint32_t RunItem(std::uint32_t first, int step, std::uint32_t k) {
    return step > 0 ? first + k : first - k;
}

// How many items from `first` (at most `available`) share the first one's mesh and, for the
// colour pass, its shaders and texture.
std::uint32_t RunLength(const DrawItem* items, std::uint32_t first, int step,
                        std::uint32_t available, bool colour) {
    const DrawItem& a = items[first];
    const std::uint32_t limit = available < kObjectRunCapacity ? available : kObjectRunCapacity;
    std::uint32_t n = 1;
    for (; n < limit; ++n) {
        const DrawItem& b = items[RunItem(first, step, n)];
        if (b.meshIndex != a.meshIndex) break;
        if (colour &&
            (b.vertexShaderIndex != a.vertexShaderIndex ||
             b.pixelShaderIndex != a.pixelShaderIndex || b.textureIndex != a.textureIndex)) {
            break;
        }
    }
    return n;
}

// The run's records into the ring, bound at b7; false when the ring is full. `constants`
// holds the items' constants when already computed, else null.
bool BindRun(GpuState& gpu, const DrawItem* items, std::uint32_t first, int step,
             std::uint32_t count, const PerObjectData* constants) {
    std::uint32_t offset = 0;
    void* block = nullptr;
    const auto bytes = static_cast<std::uint32_t>(count * sizeof(PerObjectData));
    if (!gfx::AllocateRing(gpu.objectRing, bytes, offset, block)) return false;
    auto* records = static_cast<PerObjectData*>(block);
    for (std::uint32_t k = 0; k < count; ++k) {
        const std::uint32_t i = RunItem(first, step, k);
        records[k] = constants ? constants[i] : ObjectConstants(items[i]);
    }
    gfx::SetConstantBufferRange(*gpu.context, kRunSlot, &gpu.objectRing.buffer, offset, bytes);
    return true;
}

void DrawMeshInstanced(GpuState& gpu, const GpuMesh& mesh, std::uint32_t instances) {
    BindMesh(gpu, mesh);
    gfx::DrawIndexedInstanced(*gpu.context, mesh.indexCount, instances, 0, 0);
}

// The velocity pass's run from opaque item `first`, whose mesh is `mesh`: the items drawn, or
// 0 when they are to be drawn one by one.
std::uint32_t DrawVelocityRun(GpuState& gpu, const DrawLists& lists, std::uint32_t first,
                              const GpuMesh& mesh) {
    if (gpu.referenceDrawing) return 0;
    const std::uint32_t n = RunLength(lists.opaque, first, +1, lists.opaqueCount - first, false);
    if (n < 2 || !BindRun(gpu, lists.opaque, first, +1, n, gpu.opaqueConstants)) return 0;
    BindShaders(gpu, kVertexShaderVelocityInstanced, kShaderVelocityAndDepth);
    DrawMeshInstanced(gpu, mesh, n);
    return n;
}

// The colour pass's run from items[first] in direction `step` (count items in the list): the
// items drawn, or 0 when they are to be drawn one by one.
std::uint32_t DrawColourRun(GpuState& gpu, const DrawItem* items, std::uint32_t count,
                            std::uint32_t first, int step, const PerObjectData* constants) {
    if (gpu.referenceDrawing) return 0;
    const DrawItem& item = items[first];
    const GpuMesh* mesh = MeshOf(gpu, item);
    const InstancedForm* form = InstancedFormOf(item);
    if (mesh == nullptr || form == nullptr) return 0;
    const std::uint32_t available = step > 0 ? count - first : first + 1;
    const std::uint32_t n = RunLength(items, first, step, available, true);
    if (n < 2 || !BindRun(gpu, items, first, step, n, constants)) return 0;
    BindShaders(gpu, form->instancedVertex, form->instancedPixel);
    gfx::PSSetShaderResources(*gpu.context, kColourTextureSlot,
                              TextureView(gpu, item.textureIndex));
    DrawMeshInstanced(gpu, *mesh, n);
    return n;
}

// The colour pass over `count` items, first to last (step +1) or last to first (step −1), in
// runs where they form them. `constants` holds the items' constants when already computed.
void DrawColourList(GpuState& gpu, const DrawItem* items, std::uint32_t count, int step,
                    const PerObjectData* constants) {
    for (std::uint32_t done = 0; done < count;) {
        const std::uint32_t i = step > 0 ? done : count - 1 - done;
        const std::uint32_t run = DrawColourRun(gpu, items, count, i, step, constants);
        if (run > 0) {
            done += run;
            continue;
        }
        DrawItemColour(gpu, items[i], constants ? &constants[i] : nullptr);
        ++done;
    }
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
    const gfx::LoadedTexture* texture = UsableTexture(gpu, sprite.textureIndex);
    if (texture != nullptr) {
        texW = static_cast<float>(texture->width);
        texH = static_cast<float>(texture->height);
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
    gfx::PSSetShaderResources(*gpu.context, kSpriteTextureSlot, ViewOf(texture));
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
    ComputeOpaqueConstants(gpu, lists);
    for (std::uint32_t i = 0; i < lists.opaqueCount;) {
        const DrawItem& item = lists.opaque[i];
        const GpuMesh* mesh = MeshOf(gpu, item);
        if (mesh == nullptr) {
            ++i;
            continue;
        }
        const std::uint32_t run = DrawVelocityRun(gpu, lists, i, *mesh);
        if (run > 0) {
            i += run;
            continue;
        }
        BindObjectConstants(gpu, gpu.opaqueConstants[i]);
        BindShaders(gpu, kShaderVelocityAndDepth, kShaderVelocityAndDepth);
        DrawMesh(gpu, *mesh);
        ++i;
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
    // The velocity pass of this frame has computed the opaque items' constants.
    DrawColourList(gpu, lists.opaque, lists.opaqueCount, +1, gpu.opaqueConstants);
    gfx::OMSetBlendState(ctx, &gpu.blendAlpha);
    DrawColourList(gpu, lists.blended, lists.blendedCount, -1, nullptr);
    gfx::OMSetBlendState(ctx, &gpu.blendOpaque);

    if (lists.spriteCount > 0) SortSprites(lists.sprites, lists.spriteCount);
    gfx::ClearDepthStencilView(ctx, gpu.depthView, gfx::ClearDepth | gfx::ClearStencil, 1.0f, 0);
    for (std::uint32_t i = 0; i < lists.spriteCount; ++i) DrawSprite(gpu, lists.sprites[i]);
    gfx::OMSetBlendState(ctx, &gpu.blendOpaque);
}

}  // namespace quixo
