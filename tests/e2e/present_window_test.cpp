// Presenting into a real window, in a private X server: the back buffer lands upright and not
// mirrored in the largest centred rectangle of its aspect ratio, with black bars around it, as
// read back from the window's own framebuffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/x_session.h"
#include "platform/window.h"
#include "render/gfx/context.h"
#include "render/gfx/device.h"
#include "render/gfx/shader.h"
#include "render/gfx/shader_compiler.h"
#include "render/gfx/states.h"
#include "render/gfx/swap_chain.h"

namespace quixo::e2e {
namespace {

// A full-screen quad whose colour tells the quarters of the image apart: red on the left half,
// green on the top half, blue everywhere.
const std::string kSource = R"(
struct VO { float4 pos : SV_POSITION; };
VO quadVS(uint id : SV_VertexID) {
    VO o;
    o.pos = float4(float2(id & 1, id >> 1) * 2 - 1, 0.5, 1);
    return o;
}
float4 quarterPS(VO i) : SV_Target {
    return float4(i.pos.x < 16 ? 1 : 0, i.pos.y < 8 ? 1 : 0, 0.5, 1);
}
)";

std::vector<std::uint8_t>& Shown() {
    static std::vector<std::uint8_t> pixels;
    return pixels;
}

void Size(void* window, int* width, int* height) {
    const WindowSize size = DrawableSize(static_cast<PlaybackWindow*>(window));
    *width = size.width;
    *height = size.height;
}

// Reads what Present put into the window before showing it.
void CaptureAndSwap(void* window, int) {
    int w = 0, h = 0;
    Size(window, &w, &h);
    Shown() = gfx::ReadWindowPixels(w, h);
    SwapWindow(static_cast<PlaybackWindow*>(window));
}

TEST(PresentWindow, TheFrameLandsUprightAndUnmirroredInItsLetterbox) {
    QUIXO_RUN_UNDER_XVFB();
    std::string error;
    PlaybackWindow* window = OpenPlaybackWindow(64, 64, false, error);
    ASSERT_NE(window, nullptr) << error;
    ASSERT_EQ(DrawableSize(window).width, 64);
    ASSERT_EQ(DrawableSize(window).height, 64);
    gfx::Device device;
    gfx::DeviceContext ctx;
    ASSERT_TRUE(gfx::CreateDevice(device, error, true)) << error;
    ASSERT_TRUE(gfx::CreateDeviceContext(device, ctx));
    const gfx::PresentTarget target{window, Size, CaptureAndSwap};
    gfx::SwapChain chain;
    ASSERT_TRUE(gfx::CreateSwapChain(device, {32, 16}, &target, chain));

    gfx::CompiledShader vsCode, psCode;
    gfx::VertexShader vs;
    gfx::PixelShader ps;
    ASSERT_TRUE(gfx::CompileHlsl(kSource.data(), kSource.size(), "quadVS", gfx::ShaderStage::Vertex,
                                 vsCode, error))
        << error;
    ASSERT_TRUE(gfx::CompileHlsl(kSource.data(), kSource.size(), "quarterPS",
                                 gfx::ShaderStage::Pixel, psCode, error))
        << error;
    ASSERT_TRUE(gfx::CreateVertexShader(device, vsCode, vs, error)) << error;
    ASSERT_TRUE(gfx::CreatePixelShader(device, psCode, ps, error)) << error;
    gfx::RenderTargetView back;
    ASSERT_TRUE(gfx::CreateRenderTargetView(device, gfx::GetBuffer(chain), back));
    gfx::OMSetRenderTargets(ctx, &back, nullptr);
    gfx::Viewport viewport;
    viewport.width = 32;
    viewport.height = 16;
    gfx::RSSetViewports(ctx, viewport);
    gfx::RasterizerDesc noCull;  // the strip is counter-clockwise
    noCull.cullMode = gfx::CullMode::None;
    gfx::RasterizerState rasterizer;
    ASSERT_TRUE(gfx::CreateRasterizerState(device, noCull, rasterizer));
    gfx::RSSetState(ctx, &rasterizer);
    gfx::VSSetShader(ctx, &vs);
    gfx::PSSetShader(ctx, &ps);
    gfx::IASetVertexBuffers(ctx, nullptr, 0, 0);
    gfx::IASetPrimitiveTopology(ctx, gfx::PrimitiveTopology::TriangleStrip);
    gfx::Draw(ctx, 4, 0);
    gfx::Present(ctx, chain, 0);

    // A 2:1 frame in a square window: full width, rows 16 to 47, black above and below.
    const std::vector<std::uint8_t>& shown = Shown();
    ASSERT_EQ(shown.size(), 64u * 64u * 4u);
    struct Probe {
        int x, y;
        int r, g, b;
    };
    const Probe probes[] = {
        {8, 20, 255, 255, 128}, {56, 20, 0, 255, 128}, {8, 44, 255, 0, 128},
        {56, 44, 0, 0, 128},    {32, 6, 0, 0, 0},      {32, 57, 0, 0, 0},
    };
    for (const Probe& p : probes) {
        const std::uint8_t* px = &shown[(static_cast<std::size_t>(p.y) * 64 + p.x) * 4];
        EXPECT_NEAR(px[0], p.r, 2) << p.x << ", " << p.y;
        EXPECT_NEAR(px[1], p.g, 2) << p.x << ", " << p.y;
        EXPECT_NEAR(px[2], p.b, 2) << p.x << ", " << p.y;
    }
    // The bars end where the letterbox begins.
    EXPECT_EQ(shown[(15 * 64 + 8) * 4], 0);
    EXPECT_EQ(shown[(16 * 64 + 8) * 4], 255);
    EXPECT_EQ(shown[(47 * 64 + 8) * 4], 255);
    EXPECT_EQ(shown[(48 * 64 + 8) * 4], 0);
}

}  // namespace
}  // namespace quixo::e2e
