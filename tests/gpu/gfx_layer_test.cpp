// The graphics layer on llvmpipe: clears, strips and indexed lists landing on the expected
// pixels, Direct3D's orientation, the blend and depth states, constants refilled between draws,
// mips, and the output-over-input rule.
#include <cmath>
#include <functional>
#include <string>

#include "gpu_fixture.h"
#include "mesh/mesh_vertex.h"

namespace quixo::gfx::test {
namespace {

const std::string kSource = R"(
cbuffer Colours : register(b1) { float4 tint; float4 shift; };
Texture2D tex0 : register(t0);
SamplerState samp : register(s0);
struct VSIn { float4 P : P; float4 N : N; float4 T : T; float4 C : C; float4 G : G; };
struct VO { float4 pos : SV_POSITION; float4 col : COLOR0; float2 uv : TEXCOORD0; };
VO quadVS(uint id : SV_VertexID) {
    VO o;
    float2 c = float2(id & 1, id >> 1) * 2 - 1;
    o.pos = float4(c, 0.5, 1);
    o.col = tint;
    o.uv = c * float2(0.5, -0.5) + 0.5;
    return o;
}
VO meshVS(VSIn v) {
    VO o;
    o.pos = v.P + shift;
    o.col = v.C;
    o.uv = v.T.xy;
    return o;
}
float4 colourPS(VO i) : SV_Target { return i.col; }
float4 tintPS(VO i) : SV_Target { return tint; }
float4 fragCoordPS(VO i) : SV_Target { return float4(i.pos.x / 8, i.pos.y / 8, i.uv.y, 1); }
float4 texPS(VO i) : SV_Target { return tex0.Sample(samp, i.uv); }
float4 loadPS(VO i) : SV_Target { return tex0.Load(int3(i.pos.xy, 0)); }
)";

struct Colours {
    float tint[4];
    float shift[4];
};

class GfxLayer : public GpuTest {
protected:
    void SetUp() override {
        GpuTest::SetUp();
        static VertexShader quad = MakeVertexShader(kSource, "quadVS");
        static VertexShader mesh = MakeVertexShader(kSource, "meshVS");
        static PixelShader colour = MakePixelShader(kSource, "colourPS");
        static PixelShader tint = MakePixelShader(kSource, "tintPS");
        static PixelShader fragCoord = MakePixelShader(kSource, "fragCoordPS");
        static PixelShader tex = MakePixelShader(kSource, "texPS");
        static PixelShader load = MakePixelShader(kSource, "loadPS");
        quadVS = &quad;
        meshVS = &mesh;
        colourPS = &colour;
        tintPS = &tint;
        fragCoordPS = &fragCoord;
        texPS = &tex;
        loadPS = &load;
        constants = MakeDynamicBuffer(sizeof(Colours), BindConstantBuffer);
        RasterizerDesc noCull;  // the system's state; the full-screen strip is counter-clockwise
        noCull.cullMode = CullMode::None;
        ASSERT_TRUE(CreateRasterizerState(device(), noCull, cullNone));
        RSSetState(ctx(), &cullNone);
        OMSetBlendState(ctx(), nullptr);
        DepthStencilDesc noDepth;
        noDepth.depthEnable = false;
        ASSERT_TRUE(CreateDepthStencilState(device(), noDepth, depthOff));
        OMSetDepthStencilState(ctx(), &depthOff, 0);
        IASetVertexBuffers(ctx(), nullptr, 0, 0);
        OMSetRenderTargets(ctx(), nullptr, nullptr);
        for (std::uint32_t s = 0; s < kResourceSlots; ++s) PSSetShaderResources(ctx(), s, nullptr);
    }

    void SetColours(const Colours& c, bool vertex = true, bool pixel = true) {
        Fill(constants, &c, sizeof c);
        if (vertex) VSSetConstantBuffers(ctx(), 1, &constants);
        if (pixel) PSSetConstantBuffers(ctx(), 1, &constants);
    }

    void DrawQuad(const PixelShader* ps) {
        VSSetShader(ctx(), quadVS);
        PSSetShader(ctx(), ps);
        IASetPrimitiveTopology(ctx(), PrimitiveTopology::TriangleStrip);
        Draw(ctx(), 4, 0);
    }

    const VertexShader* quadVS = nullptr;
    const VertexShader* meshVS = nullptr;
    const PixelShader *colourPS = nullptr, *tintPS = nullptr, *fragCoordPS = nullptr,
                      *texPS = nullptr, *loadPS = nullptr;
    Buffer constants;
    DepthStencilState depthOff;
    RasterizerState cullNone;
};

TEST_F(GfxLayer, ClearsFillEveryPixelOfBothColourFormats) {
    for (Format format : {Format::R8G8B8A8_UNORM, Format::R16G16B16A16_FLOAT}) {
        ColourTarget t = MakeTarget(4, 3, format);
        const float c[4] = {0.25f, 0.5f, 0.75f, 1.0f};
        ClearRenderTargetView(ctx(), t.rtv, c);
        const auto px = ReadTexturePixels(t.texture);
        ASSERT_EQ(px.size(), 4u * 3u * 4u);
        for (std::size_t i = 0; i < px.size(); ++i) EXPECT_NEAR(px[i], c[i % 4], 1.0 / 255);
    }
}

TEST_F(GfxLayer, StripWithoutBuffersCoversTargetWithTopLeftOrigin) {
    ColourTarget t = MakeTarget(8, 8);
    BindTarget(t);
    DrawQuad(fragCoordPS);
    const auto px = ReadTexturePixels(t.texture);
    // SV_Position counts from the top-left pixel centre, and row 0 of the read-back is the row
    // that clip y = +1 reaches (uv.y = 0 there).
    for (std::uint32_t y = 0; y < 8; ++y) {
        for (std::uint32_t x = 0; x < 8; ++x) {
            const float* p = Pixel(px, 8, x, y);
            EXPECT_NEAR(p[0], (x + 0.5f) / 8, 1.0 / 255);
            EXPECT_NEAR(p[1], (y + 0.5f) / 8, 1.0 / 255);
            EXPECT_NEAR(p[2], (y + 0.5f) / 8, 1.5 / 255);
        }
    }
}

TEST_F(GfxLayer, VertexAndPixelConstantSlotsAreSeparate) {
    ColourTarget t = MakeTarget(2, 2);
    BindTarget(t);
    Colours forVertex{{1, 0, 0, 1}, {}};
    Colours forPixel{{0, 0, 1, 1}, {}};
    Buffer other = MakeDynamicBuffer(sizeof(Colours), BindConstantBuffer);
    Fill(constants, &forVertex, sizeof forVertex);
    Fill(other, &forPixel, sizeof forPixel);
    VSSetConstantBuffers(ctx(), 1, &constants);
    PSSetConstantBuffers(ctx(), 1, &other);
    DrawQuad(colourPS);
    auto px = ReadTexturePixels(t.texture);
    EXPECT_FLOAT_EQ(px[0], 1.0f);
    EXPECT_FLOAT_EQ(px[2], 0.0f);
    DrawQuad(tintPS);
    px = ReadTexturePixels(t.texture);
    EXPECT_FLOAT_EQ(px[0], 0.0f);
    EXPECT_FLOAT_EQ(px[2], 1.0f);
}

MeshVertex Vertex(float x, float y, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    MeshVertex v{};
    v.position[0] = x;
    v.position[1] = y;
    v.position[2] = 0.5f;
    v.position[3] = 1.0f;
    v.colour[0] = r;
    v.colour[1] = g;
    v.colour[2] = b;
    v.colour[3] = 255;
    return v;
}

const InputElementDesc kLayout[] = {
    {"P", 0, Format::R32G32B32A32_FLOAT, 0, 0},  {"N", 0, Format::R32G32B32A32_FLOAT, 0, 16},
    {"T", 0, Format::R32G32B32A32_FLOAT, 0, 32}, {"C", 0, Format::R8G8B8A8_UNORM, 0, 48},
    {"G", 0, Format::R32G32B32A32_FLOAT, 0, 52},
};

TEST_F(GfxLayer, IndexedTriangleFromMeshVerticesLandsOnItsPixels) {
    // The top-left half of the target: corners top-left, top-right, bottom-left, clockwise on
    // screen, which is the front face; back faces are culled by default.
    const MeshVertex vertices[] = {Vertex(-1, 1, 255, 0, 0), Vertex(1, 1, 255, 0, 0),
                                   Vertex(-1, -1, 255, 0, 0), Vertex(1, -1, 0, 255, 0)};
    const std::uint32_t front[] = {0, 1, 2};
    const std::uint32_t back[] = {1, 2, 3};  // bottom-right half, counter-clockwise
    Buffer vb, ib;
    ASSERT_TRUE(CreateBuffer(device(), {sizeof vertices, Usage::Immutable, BindVertexBuffer, 0},
                             vertices, vb));
    ASSERT_TRUE(CreateBuffer(
        device(), {sizeof front + sizeof back, Usage::Dynamic, BindIndexBuffer, CpuAccessWrite},
        nullptr, ib));
    std::uint32_t indices[6];
    std::memcpy(indices, front, sizeof front);
    std::memcpy(indices + 3, back, sizeof back);
    Fill(ib, indices, sizeof indices);
    std::string error;
    InputLayout layout;
    ASSERT_TRUE(CreateInputLayout(device(), kLayout, 5, *meshVS, layout, error)) << error;

    ColourTarget t = MakeTarget(8, 8);
    const float black[4] = {0, 0, 0, 0};
    ClearRenderTargetView(ctx(), t.rtv, black);
    BindTarget(t);
    RSSetState(ctx(), nullptr);  // Direct3D's default: cull back faces, clockwise in front
    SetColours({{}, {0, 0, 0, 0}});
    IASetInputLayout(ctx(), &layout);
    IASetVertexBuffers(ctx(), &vb, sizeof(MeshVertex), 0);
    IASetIndexBuffer(ctx(), &ib, 0);
    IASetPrimitiveTopology(ctx(), PrimitiveTopology::TriangleList);
    VSSetShader(ctx(), meshVS);
    PSSetShader(ctx(), colourPS);
    DrawIndexed(ctx(), 6, 0, 0);
    auto px = ReadTexturePixels(t.texture);
    for (std::uint32_t y = 0; y < 8; ++y) {
        for (std::uint32_t x = 0; x < 8; ++x) {
            const float* p = Pixel(px, 8, x, y);
            const bool inside = x + y < 7;
            EXPECT_FLOAT_EQ(p[0], inside ? 1.0f : 0.0f) << x << "," << y;
            EXPECT_FLOAT_EQ(p[1], 0.0f) << "the back face was drawn at " << x << "," << y;
        }
    }
    // With culling off (the system's rasterizer state) the counter-clockwise half shows too,
    // drawn from its start index.
    RSSetState(ctx(), &cullNone);
    DrawIndexed(ctx(), 3, 3, 0);
    px = ReadTexturePixels(t.texture);
    EXPECT_GT(Pixel(px, 8, 7, 7)[1], 0.5f);
    EXPECT_FLOAT_EQ(Pixel(px, 8, 0, 0)[0], 1.0f);
}

TEST_F(GfxLayer, ConstantsMappedWithDiscardChangeBetweenDraws) {
    ColourTarget t = MakeTarget(4, 4);
    BindTarget(t);
    RasterizerDesc scissor;
    scissor.cullMode = CullMode::None;
    scissor.scissorEnable = true;
    RasterizerState state;
    ASSERT_TRUE(CreateRasterizerState(device(), scissor, state));
    RSSetState(ctx(), &state);
    for (int i = 0; i < 4; ++i) {
        // One draw per row, each with its own buffer contents; no draw waits for the one before.
        const float v = 0.2f * static_cast<float>(i + 1);
        SetColours({{v, v, v, 1}, {}});
        RSSetScissorRects(ctx(), {0, i, 4, i + 1});
        DrawQuad(tintPS);
    }
    RSSetState(ctx(), &cullNone);
    const auto px = ReadTexturePixels(t.texture);
    for (std::uint32_t y = 0; y < 4; ++y) {
        EXPECT_NEAR(Pixel(px, 4, 2, y)[0], 0.2f * static_cast<float>(y + 1), 1.0 / 255);
    }
}

struct BlendCase {
    const char* name;
    BlendDesc desc;
    float source[4];
    float expected[4];
};

TEST_F(GfxLayer, TheThreeBlendStatesKeepDirect3DMeaning) {
    BlendDesc opaque;
    BlendDesc alpha;
    alpha.renderTarget0 = {true,       Blend::SrcAlpha, Blend::InvSrcAlpha, BlendOp::Add,
                           Blend::One, Blend::Zero,     BlendOp::Add,       0xF};
    BlendDesc additive;
    additive.alphaToCoverageEnable = true;
    additive.renderTarget0 = {true,        Blend::One,  Blend::One,   BlendOp::Add,
                              Blend::Zero, Blend::Zero, BlendOp::Add, 0xF};
    const float dest[4] = {0.2f, 0.4f, 0.6f, 0.8f};
    const BlendCase cases[] = {
        {"opaque", opaque, {0.5f, 0.5f, 0.5f, 0.25f}, {0.5f, 0.5f, 0.5f, 0.25f}},
        {"alpha", alpha, {1.0f, 0.0f, 0.0f, 0.25f}, {0.4f, 0.3f, 0.45f, 0.25f}},
        {"additive", additive, {0.2f, 0.2f, 0.2f, 0.6f}, {0.4f, 0.6f, 0.8f, 0.0f}},
        // Below 0.5 alpha-to-coverage on one sample covers nothing: the target keeps its value.
        {"additive, alpha below one half",
         additive,
         {0.2f, 0.2f, 0.2f, 0.4f},
         {0.2f, 0.4f, 0.6f, 0.8f}},
    };
    for (const BlendCase& c : cases) {
        ColourTarget t = MakeTarget(2, 2);
        ClearRenderTargetView(ctx(), t.rtv, dest);
        BindTarget(t);
        BlendState state;
        ASSERT_TRUE(CreateBlendState(device(), c.desc, state));
        OMSetBlendState(ctx(), &state);
        Colours colours{};
        std::memcpy(colours.tint, c.source, sizeof colours.tint);
        SetColours(colours);
        DrawQuad(tintPS);
        const auto px = ReadTexturePixels(t.texture);
        for (int k = 0; k < 4; ++k)
            EXPECT_NEAR(px[k], c.expected[k], 1.5 / 255) << c.name << " " << k;
    }
    OMSetBlendState(ctx(), nullptr);
}

TEST_F(GfxLayer, DepthLessKeepsTheNearerDrawAndClearsResetIt) {
    ColourTarget t = MakeTarget(2, 2);
    Texture2D depthTexture;
    Texture2DDesc desc;
    desc.width = 2;
    desc.height = 2;
    desc.format = Format::D24_UNORM_S8_UINT;
    desc.bindFlags = BindDepthStencil;
    ASSERT_TRUE(CreateTexture2D(device(), desc, nullptr, depthTexture));
    DepthStencilView dsv;
    ASSERT_TRUE(CreateDepthStencilView(device(), depthTexture, dsv));
    OMSetDepthStencilState(ctx(), nullptr, 0);  // Direct3D's default: depth less, writes on
    BindTarget(t, &dsv);
    ClearDepthStencilView(ctx(), dsv, ClearDepth | ClearStencil, 1.0f, 0);
    SetColours({{1, 0, 0, 1}, {}});
    DrawQuad(tintPS);  // z = 0.5
    SetColours({{0, 1, 0, 1}, {}});
    DrawQuad(tintPS);  // same depth: not less, rejected
    auto px = ReadTexturePixels(t.texture);
    EXPECT_FLOAT_EQ(px[0], 1.0f);
    EXPECT_FLOAT_EQ(px[1], 0.0f);
    ClearDepthStencilView(ctx(), dsv, ClearDepth | ClearStencil, 1.0f, 0);
    DrawQuad(tintPS);
    px = ReadTexturePixels(t.texture);
    EXPECT_FLOAT_EQ(px[1], 1.0f);
    OMSetRenderTargets(ctx(), nullptr, nullptr);
}

TEST_F(GfxLayer, GeneratedMipsAverageAndATopLevelViewSamplesOnlyMipZero) {
    // A 4 × 4 checker of black and white: mip 1 is mid grey, mip 2 too.
    std::vector<std::uint8_t> checker(4 * 4 * 4);
    for (int i = 0; i < 16; ++i) {
        const std::uint8_t v = ((i % 4) + (i / 4)) % 2 ? 255 : 0;
        checker[i * 4 + 0] = checker[i * 4 + 1] = checker[i * 4 + 2] = v;
        checker[i * 4 + 3] = 255;
    }
    Texture2DDesc desc;
    desc.width = 4;
    desc.height = 4;
    desc.mipLevels = 0;
    desc.format = Format::R8G8B8A8_UNORM;
    desc.bindFlags = BindShaderResource | BindRenderTarget;
    desc.miscFlags = ResourceMiscGenerateMips;
    Texture2D texture;
    ASSERT_TRUE(CreateTexture2D(device(), desc, checker.data(), texture));
    EXPECT_EQ(texture.desc.mipLevels, 3u);
    ShaderResourceView all, top;
    ASSERT_TRUE(CreateShaderResourceView(device(), texture, all));
    ASSERT_TRUE(CreateShaderResourceView(device(), texture, top, 0, 1));
    GenerateMips(all);
    const auto mip1 = ReadTexturePixels(texture, 1);
    ASSERT_EQ(mip1.size(), 2u * 2u * 4u);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(mip1[i * 4], 0.5f, 1.5 / 255);

    // A 1 × 1 target minifies the texture 4 times: the full view reads the grey of mip 2,
    // the view of mip 0 alone reads a texel of the checker.
    SamplerDesc linear;
    linear.addressU = linear.addressV = linear.addressW = TextureAddressMode::Wrap;
    SamplerState sampler;
    ASSERT_TRUE(CreateSamplerState(device(), linear, sampler));
    PSSetSamplers(ctx(), &sampler);
    ColourTarget t = MakeTarget(1, 1);
    BindTarget(t);
    PSSetShaderResources(ctx(), 0, &all);
    DrawQuad(texPS);
    EXPECT_NEAR(ReadTexturePixels(t.texture)[0], 0.5f, 2.0 / 255);
    PSSetShaderResources(ctx(), 0, &top);
    DrawQuad(loadPS);
    EXPECT_FLOAT_EQ(ReadTexturePixels(t.texture)[0], 0.0f);
}

TEST_F(GfxLayer, BindingAResourceForOutputUnbindsItsInputs) {
    ColourTarget a = MakeTarget(2, 2);
    ColourTarget b = MakeTarget(2, 2);
    PSSetShaderResources(ctx(), 3, &a.srv);
    PSSetShaderResources(ctx(), 4, &b.srv);
    BindTarget(a);
    EXPECT_EQ(ctx().psResources[3], nullptr);
    EXPECT_EQ(ctx().psResources[4], &b.srv);
    // While a is bound for output, it cannot become an input.
    PSSetShaderResources(ctx(), 5, &a.srv);
    EXPECT_EQ(ctx().psResources[5], nullptr);
    BindTarget(b);
    PSSetShaderResources(ctx(), 5, &a.srv);
    EXPECT_EQ(ctx().psResources[5], &a.srv);
    EXPECT_EQ(ctx().psResources[4], nullptr);
}

TEST_F(GfxLayer, PresentWithoutWindowSubmitsAndCounts) {
    SwapChain& chain = Graphics().swapChain;
    RenderTargetView back;
    ASSERT_TRUE(CreateRenderTargetView(device(), GetBuffer(chain), back));
    const float c[4] = {0, 1, 0, 1};
    ClearRenderTargetView(ctx(), back, c);
    const auto before = chain.presentCount;
    Present(ctx(), chain, 1);
    EXPECT_EQ(chain.presentCount, before + 1);
    EXPECT_FLOAT_EQ(ReadTexturePixels(chain.backBuffer)[1], 1.0f);
}

}  // namespace
}  // namespace quixo::gfx::test

namespace quixo::gfx::test {
namespace {

TEST(GfxDevice, AGlErrorIsCountedWithItsText) {
    Device& device = Graphics().device;
    ASSERT_TRUE(device.created);
    EXPECT_TRUE(device.debugOutput);
    const auto before = GlErrorCount(device);
    const ShaderResourceView bogus{0x7FFFFFF0u, 0x7FFFFFF0u, 0, 1};
    PSSetShaderResources(Graphics().context, 0, &bogus);  // no such texture
    EXPECT_EQ(GlErrorCount(device), before + 1);
    EXPECT_FALSE(GlErrorText(device).empty());
    PSSetShaderResources(Graphics().context, 0, nullptr);
    EXPECT_EQ(GlErrorCount(device), before + 1);
}

TEST(GfxDevice, AFailedCreationNamesTheObjectAndTheReasonAndLeavesNothing) {
    Device& device = Graphics().device;
    const std::uint32_t live = LiveObjectCount(device);
    Texture2DDesc huge;  // past every GL's largest texture
    huge.width = 1u << 20;
    huge.height = 1;
    huge.format = Format::R8G8B8A8_UNORM;
    Texture2DDesc square = huge;
    square.width = 4;
    square.height = 4;
    Texture2D texture, small;
    ASSERT_TRUE(CreateTexture2D(device, square, nullptr, small));
    ShaderResourceView view;
    Buffer buffer;
    const struct {
        std::function<bool()> create;
        const char* description;  // both part of device.lastError
        const char* reason;
    } cases[] = {
        {[&] { return CreateTexture2D(device, huge, nullptr, texture); },
         "texture 1048576 x 1, R8G8B8A8_UNORM", "GL_INVALID_VALUE"},
        {[&] {
             return CreateBuffer(device, {0, Usage::Dynamic, BindConstantBuffer, 0}, nullptr,
                                 buffer);
         },
         "buffer of 0 bytes (dynamic, constant)", "no bytes"},
        {[&] { return CreateShaderResourceView(device, small, view, 3, 1); }, "texture 4 x 4",
         "no such mip level"},
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(c.create()) << c.description;
        EXPECT_NE(device.lastError.find(c.description), std::string::npos) << device.lastError;
        EXPECT_NE(device.lastError.find(c.reason), std::string::npos) << device.lastError;
    }
    EXPECT_EQ(texture.name, 0u);
    EXPECT_EQ(buffer.name, 0u);
    ReleaseTexture2D(device, small);
    EXPECT_EQ(LiveObjectCount(device), live) << LiveObjectSummary(device);
}

}  // namespace
}  // namespace quixo::gfx::test
