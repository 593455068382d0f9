#pragma once
// Shared set-up of the GPU tests: one headless device for the whole binary, small targets, and
// helpers to compile test shaders and read pixels back. Every test ends with the GL error count
// unchanged.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "render/gfx/headless.h"
#include "render/gfx/shader_compiler.h"

namespace quixo::gfx::test {

inline HeadlessGraphics& Graphics() {
    static HeadlessGraphics graphics;
    static bool started = [] {
        std::string error;
        const bool ok = StartHeadless(graphics, 8, 8, error);
        if (!ok) ADD_FAILURE() << error;
        return ok;
    }();
    (void)started;
    return graphics;
}

struct ColourTarget {
    Texture2D texture;
    RenderTargetView rtv;
    ShaderResourceView srv;
};

inline ColourTarget MakeTarget(std::uint32_t w, std::uint32_t h,
                               Format format = Format::R8G8B8A8_UNORM, std::uint32_t mips = 1) {
    ColourTarget t;
    Texture2DDesc desc;
    desc.width = w;
    desc.height = h;
    desc.format = format;
    desc.mipLevels = mips;
    desc.bindFlags = BindRenderTarget | BindShaderResource;
    EXPECT_TRUE(CreateTexture2D(Graphics().device, desc, nullptr, t.texture));
    EXPECT_TRUE(CreateRenderTargetView(Graphics().device, t.texture, t.rtv));
    EXPECT_TRUE(CreateShaderResourceView(Graphics().device, t.texture, t.srv));
    return t;
}

inline VertexShader MakeVertexShader(const std::string& source, const char* entry) {
    CompiledShader compiled;
    std::string error;
    VertexShader shader;
    EXPECT_TRUE(
        CompileHlsl(source.data(), source.size(), entry, ShaderStage::Vertex, compiled, error))
        << error;
    EXPECT_TRUE(CreateVertexShader(Graphics().device, compiled, shader, error)) << error;
    return shader;
}

inline PixelShader MakePixelShader(const std::string& source, const char* entry) {
    CompiledShader compiled;
    std::string error;
    PixelShader shader;
    EXPECT_TRUE(
        CompileHlsl(source.data(), source.size(), entry, ShaderStage::Pixel, compiled, error))
        << error;
    EXPECT_TRUE(CreatePixelShader(Graphics().device, compiled, shader, error)) << error;
    return shader;
}

inline Buffer MakeDynamicBuffer(std::uint32_t bytes, std::uint32_t bind) {
    Buffer buffer;
    EXPECT_TRUE(CreateBuffer(Graphics().device, {bytes, Usage::Dynamic, bind, CpuAccessWrite},
                             nullptr, buffer));
    return buffer;
}

inline void Fill(Buffer& buffer, const void* data, std::size_t bytes) {
    void* p = Map(buffer);
    ASSERT_NE(p, nullptr);
    std::memcpy(p, data, bytes);
    Unmap(buffer);
}

// RGBA of pixel (x, y) from a read-back.
inline const float* Pixel(const std::vector<float>& pixels, std::uint32_t width, std::uint32_t x,
                          std::uint32_t y) {
    return &pixels[(static_cast<std::size_t>(y) * width + x) * 4];
}

// Binds target as the only output with a full viewport.
inline void BindTarget(const ColourTarget& target, const DepthStencilView* depth = nullptr) {
    DeviceContext& ctx = Graphics().context;
    OMSetRenderTargets(ctx, &target.rtv, depth);
    Viewport vp;
    vp.width = static_cast<float>(target.rtv.width);
    vp.height = static_cast<float>(target.rtv.height);
    RSSetViewports(ctx, vp);
}

class GpuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Graphics().device.created);
        errorsBefore_ = GlErrorCount(Graphics().device);
    }
    void TearDown() override {
        EXPECT_EQ(GlErrorCount(Graphics().device), errorsBefore_) << GlErrorText(Graphics().device);
    }
    Device& device() { return Graphics().device; }
    DeviceContext& ctx() { return Graphics().context; }

private:
    std::uint64_t errorsBefore_ = 0;
};

}  // namespace quixo::gfx::test
