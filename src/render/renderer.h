#pragma once
// The GPU half of the render context: every long-lived graphics object, made once at start-up
// in a fixed order, and the frame that turns the draw lists and RenderSettings into a
// presented image.
#include <cstdint>
#include <vector>

#include "core/draw_lists.h"
#include "core/render_device.h"
#include "memory/arena.h"
#include "mesh/mesh_vertex.h"
#include "render/gfx/constant_ring.h"
#include "render/gfx/context.h"
#include "render/gfx/swap_chain.h"
#include "render/gfx/texture_loader.h"
#include "render/shader_library.h"
#include "render/texture_table.h"

namespace quixo {

constexpr int kMeshTableSize = 74;
constexpr int kProgramMeshFirstEntry = 35;          // after the text meshes
constexpr std::uint32_t kDebugLineVertices = 1024;  // two vertices per debug line

// One mesh table entry; a vertex buffer without a GL name is no mesh, and drawing skips it.
struct GpuMesh {
    gfx::Buffer vertexBuffer;
    gfx::Buffer indexBuffer;
    std::uint32_t indexCount = 0;
};

struct MeshTable {
    GpuMesh entries[kMeshTableSize];
};

struct TextureTable {
    gfx::LoadedTexture entries[kTextureCount];
};

struct RenderTarget {
    gfx::Texture2D texture;
    gfx::RenderTargetView renderTargetView;
    gfx::ShaderResourceView shaderResourceView;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// The seven off-screen targets, in creation order.
enum TargetIndex : int {
    kTargetSceneColour,
    kTargetBloomHighlight,
    kTargetBloomBlurred,
    kTargetComposite,
    kTargetVelocityDepth,
    kTargetBlurredScene,
    kTargetBlurIntermediate,
    kTargetCount,
};

struct GpuState {
    gfx::Device* device = nullptr;
    gfx::DeviceContext* context = nullptr;
    gfx::SwapChain* swapChain = nullptr;
    gfx::RenderTargetView backBufferView;
    gfx::Texture2D depthTexture;
    gfx::DepthStencilView depthView;
    gfx::Viewport viewport;
    // Kept descriptions; the depth-stencil one is edited by the full-screen passes.
    gfx::RasterizerDesc rasterizerDesc;
    gfx::DepthStencilDesc depthStencilDesc;
    gfx::SamplerDesc samplerDesc;
    gfx::RasterizerState rasterizer;
    gfx::SamplerState sampler;
    // The depth state in effect: the context points at it, so it lives here.
    gfx::DepthStencilState depthState;
    gfx::Buffer constants[kConstantBufferCount];  // index = register
    // Each drawn item's PerObjectData for the frame: a block bound by range at b1, or a run's
    // records at b7. The opaque items' constants are computed once, for both passes.
    gfx::ConstantRing objectRing;
    PerObjectData opaqueConstants[kDrawListCapacity];
    // One draw per item, its constants through the b1 buffer, every state set in full: the
    // plain path the faster one must match pixel for pixel (SetReferenceDrawing).
    bool referenceDrawing = false;
    RenderTarget targets[kTargetCount];
    gfx::Buffer debugLineBuffer;
    gfx::BlendState blendOpaque, blendAlpha, blendAdditive;
    MeshTable meshes;
    VertexShaderTable vertexShaders;
    PixelShaderTable pixelShaders;
    TextureTable textures;
    // GPU frame timing (tools): on when timerQueries is set before CreateRenderResources.
    bool timerQueries = false;
    std::uint32_t timerQuery = 0;
    bool timerPending = false;
    double lastFrameGpuMs = 0.0;
    // Draw items skipped for naming a shader outside its table, since start-up.
    std::uint64_t skippedDrawItems = 0;
    // CPU time of the last RenderFrame up to its present call.
    double lastSubmitMs = 0.0;
};

// Start-up steps, called in this order; device, context and swap chain are created by the
// caller (on the window's GL context, or headless with gfx::StartHeadless). rd.width and
// rd.height must hold the back buffer's size.
void SetupDevice(RenderDevice& rd, gfx::Device& device, gfx::DeviceContext& context,
                 gfx::SwapChain& swapChain);
void CompileShaders(RenderDevice& rd);
// Entries 0 .. count-1 from the text meshes' streams; returns count.
int UploadTextMeshes(RenderDevice& rd, const MeshStreams* streams, int count);
// Starts decoding the 29 embedded images afresh on worker threads, one per core, so that the
// decoding overlaps the start-up steps. Needs no GL. The workers decode the images marked in
// `first` (the first frame's, when known; null: all in turn), the others once a frame has been
// presented. Each texture is uploaded on the GL thread the first time a frame draws it
// (UsableTexture), and each RenderFrame uploads one more that is decoded already after its
// present, so the first frame waits only for its own.
void StartTextureDecoding(const bool first[kTextureCount]);
// Texture `index` of the table (null outside it), uploaded first if it is not yet, waiting for
// its decoding; decoding starts here if no start-up began it. Called on the GL thread. A
// corrupt image stops the program with a message naming its index.
const gfx::LoadedTexture* UsableTexture(GpuState& gpu, std::int32_t index);
// Uploads the first texture that is decoded and not yet uploaded, if any, without waiting.
void UploadNextTexture(GpuState& gpu);
// Every texture not yet uploaded, waiting for their decoding.
void FinishTextures(RenderDevice& rd);
// All 29 textures afresh, decoded and uploaded before it returns.
void CreateTextures(RenderDevice& rd);
// Seconds spent uploading textures since decoding last started.
double TextureUploadSeconds();
void CreateRenderResources(RenderDevice& rd, bool vsync, bool antiAlias);

// Every GL object the start-up steps made (meshes, shaders, textures, targets, buffers, states)
// released, the texture decoding stopped and the context's bindings cleared; rd.gpu is null
// afterwards. The device, its context and the swap chain are the caller's.
void ReleaseRenderer(RenderDevice& rd);
// The textures uploaded so far, after the decoding workers have stopped; the next start-up
// decodes afresh.
void ReleaseTextures(GpuState& gpu);

// One frame of the composition chain, present included, from the global draw lists,
// RenderSettings and camera.
void RenderFrame(RenderDevice& rd);

// The CPU side of RenderFrame, before the drawing (frame arena, camera update, previous-
// transform reset) and after the present (the settings and debug lines that last one frame).
// A frame replayed without drawing runs the two back to back.
void BeginFrameState();
void EndFrameState();

// For tests and tools: the back buffer as RGBA8, rows top first.
std::vector<std::uint8_t> ReadBackBuffer(RenderDevice& rd);
// GPU time of the last frame that has finished, in milliseconds (0 without timer queries).
double LastFrameGpuMs(const RenderDevice& rd);
// CPU time of the last frame's drawing, up to the present call, in milliseconds.
double LastFrameSubmitMs(const RenderDevice& rd);
// For tests: one draw per item, each with its own constant-buffer upload and every state set
// again, the straightforward path the faster one (runs drawn instanced, constants from the
// ring, state already bound skipped) is compared with.
void SetReferenceDrawing(RenderDevice& rd, bool on);
// For tests and tools that share the context with other drawing: binds again what start-up
// binds once for the whole run (rasterizer, viewport, sampler, depth state, window-size
// buffer).
void RebindLongLivedState(RenderDevice& rd);

// One mesh into its table entry: dynamic buffers written once by map with discard. Empty
// streams leave the entry without a mesh.
void UploadMesh(gfx::Device& device, const MeshStreams& streams, GpuMesh& entry);

}  // namespace quixo
