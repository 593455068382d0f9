#pragma once
// Pixel tests of the shader library: the embedded entries drawn into small float targets,
// with their inputs as float textures and their constants in the host structs, each result
// compared with the entry's formula evaluated on the CPU.
#include <cmath>
#include <deque>
#include <functional>

#include "mesh/mesh_vertex.h"
#include "render/constant_buffers.h"
#include "render/shader_library.h"
#include "render/shader_source.h"
#include "render_harness.h"

namespace quixo::gfx::test {

struct Image {
    std::uint32_t width = 0, height = 0;
    std::vector<float> rgba;
    float* at(std::uint32_t x, std::uint32_t y) { return &rgba[(std::size_t{y} * width + x) * 4]; }
    // Texel with wrap-around addressing, as the one sampler reads.
    const float* wrapped(int x, int y) const {
        const int w = static_cast<int>(width), h = static_cast<int>(height);
        x = ((x % w) + w) % w;
        y = ((y % h) + h) % h;
        return &rgba[(static_cast<std::size_t>(y) * width + static_cast<std::size_t>(x)) * 4];
    }
};

// Bilinear sample with wrap-around at texture coordinate (u, v), as the sampler filters mip 0.
inline void Sample(const Image& image, float u, float v, float out[4]) {
    const float tx = u * static_cast<float>(image.width) - 0.5f;
    const float ty = v * static_cast<float>(image.height) - 0.5f;
    const float fx = std::floor(tx), fy = std::floor(ty);
    const float ax = tx - fx, ay = ty - fy;
    const int x0 = static_cast<int>(fx), y0 = static_cast<int>(fy);
    for (int c = 0; c < 4; ++c) {
        const float top = image.wrapped(x0, y0)[c] * (1 - ax) + image.wrapped(x0 + 1, y0)[c] * ax;
        const float bottom =
            image.wrapped(x0, y0 + 1)[c] * (1 - ax) + image.wrapped(x0 + 1, y0 + 1)[c] * ax;
        out[c] = top * (1 - ay) + bottom * ay;
    }
}

inline Image MakeImage(std::uint32_t w, std::uint32_t h,
                       const std::function<void(std::uint32_t, std::uint32_t, float*)>& f) {
    Image image{w, h, std::vector<float>(std::size_t{w} * h * 4)};
    for (std::uint32_t y = 0; y < h; ++y) {
        for (std::uint32_t x = 0; x < w; ++x) f(x, y, image.at(x, y));
    }
    return image;
}

class ShaderPixels : public GpuTest {
protected:
    static VertexShaderTable& Vertex() {
        static VertexShaderTable table;
        return table;
    }
    static PixelShaderTable& Pixel() {
        static PixelShaderTable table;
        return table;
    }

    void SetUp() override {
        GpuTest::SetUp();
        static bool built = [this] {
            EnsureArenas();
            const ShaderBuildReport report =
                BuildShaderTables(device(), EmbeddedShaderLibrary(), Vertex(), Pixel());
            EXPECT_TRUE(report.ok()) << report.firstError();
            return report.ok();
        }();
        ASSERT_TRUE(built);
        for (int i = 0; i < kConstantBufferCount; ++i) {
            buffers_[i] = MakeDynamicBuffer(kConstantBuffers[i].size, BindConstantBuffer);
        }
        SamplerDesc s;  // the device's one sampler: trilinear, wrapping
        s.addressU = s.addressV = s.addressW = TextureAddressMode::Wrap;
        s.comparisonFunc = ComparisonFunc::Always;
        s.minLod = 0;
        ASSERT_TRUE(CreateSamplerState(device(), s, sampler_));
        PSSetSamplers(ctx(), &sampler_);
        RasterizerDesc r;
        r.cullMode = CullMode::None;
        ASSERT_TRUE(CreateRasterizerState(device(), r, rasterizer_));
        RSSetState(ctx(), &rasterizer_);
        DepthStencilDesc d;
        d.depthEnable = false;
        ASSERT_TRUE(CreateDepthStencilState(device(), d, depthOff_));
        OMSetDepthStencilState(ctx(), &depthOff_, 0);
        OMSetBlendState(ctx(), nullptr);
        OMSetRenderTargets(ctx(), nullptr, nullptr);
        IASetVertexBuffers(ctx(), nullptr, 0, 0);
        for (std::uint32_t t = 0; t < kResourceSlots; ++t) PSSetShaderResources(ctx(), t, nullptr);
    }

    // Fills constant buffer `slot` and binds it to both stages.
    template <typename T>
    void SetConstants(int slot, const T& data) {
        ASSERT_EQ(sizeof(T), kConstantBuffers[slot].size);
        Fill(buffers_[slot], &data, sizeof data);
        VSSetConstantBuffers(ctx(), static_cast<std::uint32_t>(slot), &buffers_[slot]);
        PSSetConstantBuffers(ctx(), static_cast<std::uint32_t>(slot), &buffers_[slot]);
    }

    // An input texture at pixel slot t (one mip, 32-bit floats).
    void SetInput(std::uint32_t slot, const Image& image) {
        inputs_.emplace_back();
        Input& in = inputs_.back();
        Texture2DDesc desc;
        desc.width = image.width;
        desc.height = image.height;
        desc.format = Format::R32G32B32A32_FLOAT;
        desc.bindFlags = BindShaderResource;
        ASSERT_TRUE(CreateTexture2D(device(), desc, image.rgba.data(), in.texture));
        ASSERT_TRUE(CreateShaderResourceView(device(), in.texture, in.view));
        PSSetShaderResources(ctx(), slot, &in.view);
    }

    // Draws entry pair (vs, ps) into a w × h float target cleared to `clear`; with a vertex
    // buffer bound the draw is indexed.
    Image Render(int vs, int ps, std::uint32_t w, std::uint32_t h, const float clear[4] = nullptr) {
        WindowSizeData window{};
        window.w_width = static_cast<float>(w);
        window.w_height = static_cast<float>(h);
        SetConstants(5, window);
        ColourTarget target = MakeTarget(w, h, Format::R32G32B32A32_FLOAT);
        const float zero[4] = {0, 0, 0, 0};
        ClearRenderTargetView(ctx(), target.rtv, clear ? clear : zero);
        BindTarget(target);
        IASetInputLayout(ctx(), &Vertex().entries[vs].layout);
        VSSetShader(ctx(), &Vertex().entries[vs].shader);
        PSSetShader(ctx(), &Pixel().entries[ps]);
        if (ctx().vertexBuffer) {
            IASetPrimitiveTopology(ctx(), PrimitiveTopology::TriangleList);
            DrawIndexed(ctx(), indexCount_, 0, 0);
        } else {
            IASetPrimitiveTopology(ctx(), PrimitiveTopology::TriangleStrip);
            Draw(ctx(), 4, 0);
        }
        OMSetRenderTargets(ctx(), nullptr, nullptr);
        return Image{w, h, ReadTexturePixels(target.texture)};
    }

    // A mesh for the object entries: the given vertices as a triangle list.
    void SetMesh(const std::vector<MeshVertex>& vertices) {
        std::vector<std::uint32_t> indices(vertices.size());
        for (std::uint32_t i = 0; i < indices.size(); ++i) indices[i] = i;
        const auto vb = static_cast<std::uint32_t>(vertices.size() * sizeof(MeshVertex));
        const auto ib = static_cast<std::uint32_t>(indices.size() * 4);
        ASSERT_TRUE(CreateBuffer(device(), {vb, Usage::Immutable, BindVertexBuffer, 0},
                                 vertices.data(), meshVertices_));
        ASSERT_TRUE(CreateBuffer(device(), {ib, Usage::Immutable, BindIndexBuffer, 0},
                                 indices.data(), meshIndices_));
        IASetVertexBuffers(ctx(), &meshVertices_, sizeof(MeshVertex), 0);
        IASetIndexBuffer(ctx(), &meshIndices_, 0);
        indexCount_ = static_cast<std::uint32_t>(indices.size());
    }

private:
    struct Input {
        Texture2D texture;
        ShaderResourceView view;
    };
    Buffer buffers_[kConstantBufferCount];
    std::deque<Input> inputs_;  // kept alive while bound
    SamplerState sampler_;
    RasterizerState rasterizer_;
    DepthStencilState depthOff_;
    Buffer meshVertices_, meshIndices_;
    std::uint32_t indexCount_ = 0;
};

inline void ExpectPixel(const float* got, const float* want, float tolerance, const char* what,
                        std::uint32_t x, std::uint32_t y) {
    for (int c = 0; c < 4; ++c) {
        EXPECT_NEAR(got[c], want[c], tolerance)
            << what << " at " << x << "," << y << " channel " << c;
    }
}

}  // namespace quixo::gfx::test
