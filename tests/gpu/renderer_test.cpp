// The renderer on the headless device at 64 × 36: what the draw lists and settings written by
// a graph imply for the presented frame, checked against values worked out on the CPU.
#include "render/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "allocation_counter.h"
#include "core/camera.h"
#include "core/draw_lists.h"
#include "core/render_settings.h"
#include "cube_program.h"
#include "render/gfx/buffer_readback.h"
#include "render/shader_source.h"
#include "render_harness.h"
#include "startup/runtime.h"
#include "unit/graph_builder.h"

namespace quixo::gfx::test {
namespace {

constexpr int kW = 64;
constexpr int kH = 36;

RenderHarness& TheHarness() {
    return OpenRenderer(kW, kH);
}

struct Rgba {
    int r, g, b, a;
};

Rgba At(const std::vector<std::uint8_t>& image, int x, int y) {
    const std::uint8_t* p = &image[(static_cast<std::size_t>(y) * kW + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

::testing::AssertionResult Near(Rgba got, Rgba want, int tol = 1) {
    if (std::abs(got.r - want.r) <= tol && std::abs(got.g - want.g) <= tol &&
        std::abs(got.b - want.b) <= tol) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure()
           << "got (" << got.r << ", " << got.g << ", " << got.b << "), want (" << want.r << ", "
           << want.g << ", " << want.b << ")";
}

int Byte(float v) {
    return static_cast<int>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

// A graph of one frame: a fixed camera at (0, 0, 6) looking at the origin, plus what a test
// adds. Nodes are evaluated in index order, as a scene's are.
class Scene {
public:
    Scene() {
        const int eye = g.Data({{0, 0, 6, 0}});
        const int target = g.Data({{0, 0, 0, 0}});
        g.Node(kNodeFixedCamera, {}, {eye, target});
    }
    // An emitter (type 46) of one cube of half-size `half` at `at`, ambient colour `colour`.
    void Cube(Vec4 at, float half, Vec4 colour) {
        const int p = g.Data({at});
        const int s = g.Data({{half - 1, half - 1, half - 1, 0}});
        const int r = g.Data({{0, 0, 0, 0}});
        const int c = g.Data({colour});
        g.Node(kNodeEmitter6, {kCubeEntry, 1, kVertexShaderBaseAmbient, kPixelShaderBaseAmbient},
               {p, s, r, c});
    }
    // An emitter (type 48) of `count` opaque cubes in rows across the frame, drawn with the
    // instanced pair's shaders and the given texture: one run, as far as runs go.
    void TexturedCubes(int texture, std::uint32_t count, float half) {
        const int p = g.Node(quixo::test::kDataType, {}, {}, count);
        for (std::uint32_t k = 0; k < count; ++k) {
            const float column = static_cast<float>(k % 16), row = static_cast<float>(k / 16);
            g.out(p).elements[k] = {-2.4f + 0.32f * column, 1.2f - 0.3f * row, -0.01f * k, 0};
        }
        const int s = g.Data({{half, half, half, 0}});
        const int r = g.Data({{0.4f, 0.6f, 0, 0}});
        g.Node(kNodeEmitter8,
               {kCubeEntry, float(count), kShaderBaseCook, kShaderBaseCook, float(texture), 0},
               {p, s, r});
    }
    void ClearColour(Vec4 c) { g.Node(kNodeClearColour, {}, {g.Data({c})}); }
    void Transition(int type, float factor) {
        g.Node(kNodeTransition, {float(type)}, {g.Data({{factor, 0, 0, 0}})});
    }
    void MotionBlur(float resetDistance) { g.Node(kNodeMotionBlur, {resetDistance}); }
    // An emitter (type 48) that puts the cube into the blended list.
    void BlendedCube(Vec4 colour) {
        const int p = g.Data({{0, 0, 0, 0}});
        const int c = g.Data({colour});
        g.Node(kNodeEmitter8,
               {kCubeEntry, 1, kVertexShaderBaseAmbient, kPixelShaderBaseAmbient, 0, 1},
               {p, -1, -1, c});
    }

    // The main loop's frame: resets and evaluation, then the render.
    void Evaluate() {
        ResetListCounts(Lists());
        ResetTransition(Settings());
        g.Evaluate(TheHarness().rd);
    }
    static void Draw() { RenderFrame(TheHarness().rd); }
    // The whole frame; returns the presented image.
    std::vector<std::uint8_t> Render() {
        Evaluate();
        Draw();
        return ReadBackBuffer(TheHarness().rd);
    }

    static constexpr int kVertexShaderBaseAmbient = 9;
    static constexpr int kPixelShaderBaseAmbient = 9;
    static constexpr int kShaderBaseCook = 10;  // the pair with an instanced form

private:
    quixo::test::GraphBuilder g;
};

class Renderer : public GpuTest {
protected:
    void SetUp() override {
        GpuTest::SetUp();
        RenderHarness& h = TheHarness();
        ASSERT_NE(h.rd.gpu, nullptr);
        RebindLongLivedState(h.rd);
        RenderSettings& s = Settings();
        ResetSettingsToStart(s);
        ResetAfterPresent(s);
        // List storage starts zeroed in every test, as at program start.
        std::memset(&Lists(), 0, sizeof(DrawLists));
    }
};

// The screen position of p × world × viewProj in pixels (x right, y down).
struct Point2 {
    float x, y;
};
Point2 Project(const Matrix& worldViewProj, const float p[3]) {
    float c[4];
    TransformPoint(worldViewProj, p, c);
    return {(c[0] / c[3] + 1.0f) * 0.5f * kW, (1.0f - c[1] / c[3]) * 0.5f * kH};
}

// Signed distance of q from the convex hull of the points (negative inside).
float HullDistance(std::vector<Point2> pts, Point2 q) {
    std::sort(pts.begin(), pts.end(),
              [](Point2 a, Point2 b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    auto cross = [](Point2 o, Point2 a, Point2 b) {
        return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
    };
    std::vector<Point2> hull(2 * pts.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < pts.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
        hull[k++] = pts[i];
    }
    for (std::size_t i = pts.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], pts[i]) <= 0) --k;
        hull[k++] = pts[i];
    }
    hull.resize(k - 1);
    float worst = -1e30f;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const Point2 a = hull[i], b = hull[(i + 1) % hull.size()];
        const float len = std::hypot(b.x - a.x, b.y - a.y);
        worst = std::max(worst, -cross(a, b, q) / len);
    }
    return worst;
}

float CubeHullDistance(const float at[3], float half, Point2 q) {
    const float scale[3] = {half, half, half};
    const float rotation[3] = {0, 0, 0};
    const Matrix wvp = WorldMatrix(at, scale, rotation) * Camera().viewProj;
    std::vector<Point2> corners;
    for (int i = 0; i < 8; ++i) {
        const float c[3] = {(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f};
        corners.push_back(Project(wvp, c));
    }
    return HullDistance(corners, q);
}

TEST_F(Renderer, MeshUploadOfTheCubeProgramGivesThirtySixVerticesWithOneCentrePerFace) {
    const GpuMesh& cube = TheHarness().rd.gpu->meshes.entries[kCubeEntry];
    ASSERT_EQ(cube.indexCount, 36u);
    const std::vector<std::uint8_t> vb = ReadBufferBytes(cube.vertexBuffer);
    const std::vector<std::uint8_t> ib = ReadBufferBytes(cube.indexBuffer);
    ASSERT_EQ(vb.size(), 36 * sizeof(MeshVertex));
    ASSERT_EQ(ib.size(), 36 * sizeof(std::uint32_t));
    std::vector<MeshVertex> v(36);
    std::memcpy(v.data(), vb.data(), vb.size());
    std::vector<std::uint32_t> idx(36);
    std::memcpy(idx.data(), ib.data(), ib.size());
    for (std::uint32_t i = 0; i < 36; ++i) EXPECT_EQ(idx[i], i);
    for (int face = 0; face < 6; ++face) {
        // G is the mean of the face's corners and the same for all six of its vertices.
        float mean[3] = {0, 0, 0};
        for (int k : {0, 1, 2, 4}) {
            for (int c = 0; c < 3; ++c) mean[c] += v[face * 6 + k].position[c] / 4;
        }
        for (int k = 0; k < 6; ++k) {
            const MeshVertex& m = v[face * 6 + k];
            for (int c = 0; c < 3; ++c) EXPECT_FLOAT_EQ(m.centre[c], mean[c]) << face;
            EXPECT_EQ(m.centre[3], 1.0f);
        }
    }
    EXPECT_FLOAT_EQ(v[0].centre[2], -1.0f);

    GpuMesh empty;
    UploadMesh(device(), MeshStreams{}, empty);
    EXPECT_EQ(empty.vertexBuffer.name, 0u);
    EXPECT_EQ(empty.indexCount, 0u);
}

TEST_F(Renderer, TextAndProgramMeshesFillTheirEntriesAndAnEmptyOneStaysNull) {
    // The shared table is put back afterwards, so that the cube stays where the other tests
    // expect it.
    RenderDevice& shared = TheHarness().rd;
    const MeshTable saved = shared.gpu->meshes;
    std::vector<MeshStreams> text(3);
    text[0] = CubeProgramStreams();
    text[2] = CubeProgramStreams();
    EXPECT_EQ(UploadTextMeshes(shared, text.data(), 3), 3);
    EXPECT_EQ(shared.gpu->meshes.entries[0].indexCount, 36u);
    EXPECT_EQ(shared.gpu->meshes.entries[1].vertexBuffer.name, 0u);
    EXPECT_NE(shared.gpu->meshes.entries[2].vertexBuffer.name, 0u);
    BuildProgramMeshes(shared, kProgramMeshFirstEntry);
    for (int e = kProgramMeshFirstEntry; e < kMeshTableSize; ++e) {
        const GpuMesh& m = shared.gpu->meshes.entries[e];
        EXPECT_NE(m.vertexBuffer.name, 0u) << e;
        EXPECT_EQ(m.indexCount % 6, 0u) << e;  // six vertices a quad
        EXPECT_EQ(m.vertexBuffer.desc.byteWidth, m.indexCount * sizeof(MeshVertex)) << e;
    }
    shared.gpu->meshes = saved;
}

TEST_F(Renderer, TheTwentyNineTexturesHaveTheirTableSizesAndATopLevelView) {
    RenderDevice& rd = TheHarness().rd;
    CreateTextures(rd);
    for (int i = 0; i < kTextureCount; ++i) {
        const LoadedTexture& t = rd.gpu->textures.entries[i];
        EXPECT_EQ(t.width, kTextureShapes[i].width) << i;
        EXPECT_EQ(t.height, kTextureShapes[i].height) << i;
        EXPECT_NE(t.view.name, 0u) << i;
        EXPECT_EQ(t.view.mipCount, 1u) << i;
    }
}

TEST_F(Renderer, AnEmittedCubeLandsWhereWorldViewProjectionPutsIt) {
    Scene scene;
    const float at[3] = {1.2f, 0.4f, 0.0f};
    scene.Cube({at[0], at[1], at[2], 0}, 1.0f, {1.0f, 0.5f, 0.25f, 1.0f});
    scene.ClearColour({0, 0, 0, 1});
    const std::vector<std::uint8_t> image = scene.Render();
    int inside = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const float d = CubeHullDistance(at, 1.0f, {x + 0.5f, y + 0.5f});
            if (d < -1.0f) {
                ++inside;
                EXPECT_TRUE(Near(At(image, x, y), {255, 128, 64, 255})) << x << ", " << y;
            } else if (d > 1.0f) {
                EXPECT_TRUE(Near(At(image, x, y), {0, 0, 0, 255})) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(inside, 20);
}

TEST_F(Renderer, AClearColourNodeColoursTheBackgroundForOneFrame) {
    {
        Scene scene;
        scene.ClearColour({0.2f, 0.4f, 0.6f, 1.0f});
        const std::vector<std::uint8_t> image = scene.Render();
        for (int y = 0; y < kH; y += 5) {
            for (int x = 0; x < kW; x += 7) {
                EXPECT_TRUE(Near(At(image, x, y), {51, 102, 153, 255})) << x << ", " << y;
            }
        }
    }
    // The next frame without the node falls back to the default colour.
    Scene plain;
    EXPECT_TRUE(Near(At(plain.Render(), 10, 10), {30, 65, 90, 255}));
}

TEST_F(Renderer, AFadeToBlackDarkensTheFrameByItsFactor) {
    const Vec4 colour{0.8f, 0.6f, 0.4f, 1.0f};
    for (float factor : {0.25f, 0.5f, 1.0f, 0.0f}) {
        Scene scene;
        scene.ClearColour(colour);
        scene.Transition(1, factor);
        const std::vector<std::uint8_t> image = scene.Render();
        // The scene colour target holds 8-bit values; the composite scales them.
        const Rgba want{Byte(Byte(colour.x) / 255.0f * factor),
                        Byte(Byte(colour.y) / 255.0f * factor),
                        Byte(Byte(colour.z) / 255.0f * factor), 0};
        EXPECT_TRUE(Near(At(image, 3, 4), want)) << factor;
        EXPECT_TRUE(Near(At(image, 60, 30), want)) << factor;
    }
}

// Two frames: a still cube on the left and one that moves (by default right, on the right).
// With motion blur the composite averages nine samples into a tenth-weighted sum, so a still
// pixel comes out at 0.9 of its value; only pixels near the moving cube differ from that.
std::vector<std::uint8_t> TwoFrames(bool blur, Vec4 from = {0.6f, 0, 0, 0},
                                    Vec4 to = {1.6f, 0, 0, 0}) {
    std::memset(&Lists(), 0, sizeof(DrawLists));
    const Vec4 still{-1.8f, 0, 0, 0}, grey{0.6f, 0.6f, 0.6f, 1}, white{1, 1, 1, 1};
    {
        Scene first;
        first.ClearColour({0.4f, 0.2f, 0.0f, 1});
        first.Cube(still, 0.6f, grey);
        first.Cube(from, 0.6f, white);
        first.Render();
    }
    Scene second;
    second.ClearColour({0.4f, 0.2f, 0.0f, 1});
    second.Cube(still, 0.6f, grey);
    second.Cube(to, 0.6f, white);
    if (blur) second.MotionBlur(100.0f);
    return second.Render();
}

TEST_F(Renderer, MotionBlurChangesOnlyWhereObjectsMove) {
    const std::vector<std::uint8_t> off = TwoFrames(false);
    const std::vector<std::uint8_t> on = TwoFrames(true);
    const float from[3] = {0.6f, 0, 0}, to[3] = {1.6f, 0, 0};
    int changed = 0, still = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const Point2 q{x + 0.5f, y + 0.5f};
            const bool nearMotion =
                CubeHullDistance(from, 0.6f, q) < 3.0f || CubeHullDistance(to, 0.6f, q) < 3.0f;
            const Rgba a = At(off, x, y), b = At(on, x, y);
            const Rgba dimmed{Byte(a.r / 255.0f * 0.9f), Byte(a.g / 255.0f * 0.9f),
                              Byte(a.b / 255.0f * 0.9f), 0};
            if (!nearMotion) {
                ++still;
                EXPECT_TRUE(Near(b, dimmed)) << x << ", " << y;
            } else if (!Near(b, dimmed, 4)) {
                ++changed;
            }
        }
    }
    EXPECT_GT(still, 500);
    EXPECT_GT(changed, 10);
}

// The blur smears a moving object back over the path it came along: the trailing face is
// drawn into the velocity target where it was, and the composite gathers from there forward
// along the motion, onto the object. Nothing is smeared ahead of it. A motion to the left and
// one down, so that neither axis of the velocity may flip unnoticed.
TEST_F(Renderer, MotionBlurSmearsBehindAMotionLeftAndAMotionDown) {
    struct Case {
        Vec4 from, to;
    };
    const Case cases[] = {{{0.6f, 0, 0, 0}, {0, 0, 0, 0}},
                          {{0.4f, 0.8f, 0, 0}, {0.4f, 0.2f, 0, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to.y != c.from.y ? "down" : "left");
        const std::vector<std::uint8_t> off = TwoFrames(false, c.from, c.to);
        const std::vector<std::uint8_t> on = TwoFrames(true, c.from, c.to);
        const float from[3] = {c.from.x, c.from.y, 0}, to[3] = {c.to.x, c.to.y, 0};
        const float still[3] = {-1.8f, 0, 0};
        const Point2 a = Project(Camera().viewProj, from), b = Project(Camera().viewProj, to);
        int behind = 0, ahead = 0;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                const Point2 q{x + 0.5f, y + 0.5f};
                if (CubeHullDistance(to, 0.6f, q) < 1.0f) continue;
                if (CubeHullDistance(still, 0.6f, q) < 2.0f) continue;
                const Rgba was = At(off, x, y), now = At(on, x, y);
                if (now.g <= Byte(was.g / 255.0f * 0.9f) + 8) continue;
                const float along = (q.x - b.x) * (b.x - a.x) + (q.y - b.y) * (b.y - a.y);
                ++(along < 0 ? behind : ahead);
            }
        }
        EXPECT_GT(behind, 2);
        EXPECT_EQ(ahead, 0);
    }
}

// Depth of field through the whole frame: the velocity pass writes each pixel's depth, and
// the composite mixes in the blurred scene by its distance from the focus. Focused on the
// cube, the cube stays sharp; focused at depth 0, it blurs into the black around it.
TEST_F(Renderer, DepthOfFieldReadsTheDepthTheVelocityPassWrote) {
    auto frame = [](bool dof, float focus) {
        Scene scene;
        scene.ClearColour({0, 0, 0, 1});
        scene.Cube({0, 0, 0, 0}, 0.2f, {1, 0.5f, 0.25f, 1});
        scene.Evaluate();
        Settings().dofEnabled = dof;
        Settings().dofFocus = focus;
        Scene::Draw();
        return At(ReadBackBuffer(TheHarness().rd), kW / 2, kH / 2);
    };
    const Rgba sharp = frame(false, 0);
    const std::vector<float> depth =
        ReadTexturePixels(TheHarness().rd.gpu->targets[kTargetVelocityDepth].texture);
    const float cube = depth[(std::size_t{kH / 2} * kW + kW / 2) * 4 + 3];
    EXPECT_GT(cube, 0.0f);
    EXPECT_LT(cube, 1.0f);
    EXPECT_EQ(depth[3], 1.0f);  // the background keeps the cleared depth
    EXPECT_TRUE(Near(frame(true, cube), sharp, 2));
    // At 64 × 36 the blur reaches a thirtieth of what it does at 1920 × 1080: a small cube
    // still loses a few levels to the black around it.
    EXPECT_LT(frame(true, 0).g, sharp.g - 5);
}

TEST_F(Renderer, HundredsOfFramesWithEveryEffectRaiseNoGlError) {
    RenderSettings& s = Settings();
    for (int frame = 0; frame < 300; ++frame) {
        Scene scene;
        const float t = static_cast<float>(frame) * 0.05f;
        scene.Cube({std::sin(t), 0, 0, 0}, 0.5f, {0.9f, 0.9f, 0.9f, 1});
        if (frame % 2 == 0) scene.MotionBlur(0.5f);
        scene.Transition(frame % 4, 0.7f);
        scene.Evaluate();
        s.bloomEnabled = frame % 3 == 0;
        s.bloomThreshold = 0.5f;
        s.bloomBlurScale = 0.05f;
        s.bloomColor = 1.0f;
        s.dofEnabled = frame % 5 == 0;
        s.fxaaEnabled = frame % 2;
        SpriteItem sprite{{0, 0, 1, 1}, {0.5f, 0.5f}, {1, 1}, t, 28, frame % 3, 0.5f, 1.0f};
        PushSprite(Lists(), sprite);
        Scene::Draw();
    }
    s.fxaaEnabled = 0;
    EXPECT_GE(TheHarness().swapChain.presentCount, 300u);
}

TEST_F(Renderer, TheBlendedListIsDrawnLastPushedFirstWithAlphaBlending) {
    Scene scene;
    scene.ClearColour({0, 0, 1, 1});
    scene.BlendedCube({1, 0, 0, 0.5f});
    scene.BlendedCube({0, 1, 0, 0.5f});
    // The green cube, pushed last, is drawn first: its back faces, then its front faces, each
    // blended half over what is there. The red one at the same depth then fails the depth
    // test, so no red shows.
    const std::vector<std::uint8_t> image = scene.Render();
    EXPECT_TRUE(Near(At(image, 32, 18), {0, 191, 64, 255}));
}

// Items whose shader indices lie outside the tables (which the loaders refuse) are not drawn
// and are counted; the rest of the frame is drawn as usual.
TEST_F(Renderer, AnItemNamingAShaderOutsideItsTableIsSkippedAndCounted) {
    GpuState& gpu = *TheHarness().rd.gpu;
    const std::uint64_t before = gpu.skippedDrawItems;
    Scene scene;
    scene.ClearColour({0, 0, 1, 1});
    scene.Evaluate();
    DrawItem item{};
    item.meshIndex = kCubeEntry;
    for (int a = 0; a < 3; ++a) item.scale[a] = item.prevScale[a] = 1.0f;
    const std::int32_t bad[][2] = {{kVertexShaderCount, 9}, {9, -1}, {-7, 9}, {9, 1 << 30}};
    for (const auto& shaders : bad) {
        item.vertexShaderIndex = shaders[0];
        item.pixelShaderIndex = shaders[1];
        PushDrawItem(Lists(), item, &shaders == &bad[1]);
    }
    Scene::Draw();
    EXPECT_EQ(gpu.skippedDrawItems - before, 4u);
    EXPECT_TRUE(Near(At(ReadBackBuffer(TheHarness().rd), kW / 2, kH / 2), {0, 0, 255, 255}));
}

TEST_F(Renderer, WithoutFxaaTheCompositeGoesStraightToTheBackBuffer) {
    GpuState& gpu = *TheHarness().rd.gpu;
    const float marker[4] = {0.25f, 0.5f, 0.75f, 1.0f};
    ClearRenderTargetView(ctx(), gpu.targets[kTargetComposite].renderTargetView, marker);
    {
        Scene scene;
        scene.ClearColour({0.6f, 0.2f, 0.4f, 1});
        EXPECT_TRUE(Near(At(scene.Render(), 5, 5), {153, 51, 102, 255}));
        const std::vector<float> composite =
            ReadTexturePixels(gpu.targets[kTargetComposite].texture);
        EXPECT_NEAR(composite[0], 0.25f, 0.01f);
        EXPECT_NEAR(composite[2], 0.75f, 0.01f);
    }
    Settings().fxaaEnabled = 1;
    Scene scene;
    scene.ClearColour({0.6f, 0.2f, 0.4f, 1});
    // A flat image passes through FXAA unchanged; the composite target now holds it.
    EXPECT_TRUE(Near(At(scene.Render(), 5, 5), {153, 51, 102, 255}));
    const std::vector<float> composite = ReadTexturePixels(gpu.targets[kTargetComposite].texture);
    EXPECT_NEAR(composite[0], 0.6f, 0.01f);
    EXPECT_NEAR(composite[2], 0.4f, 0.01f);
    Settings().fxaaEnabled = 0;
}

TEST_F(Renderer, BloomLastsOnlyForTheFrameThatAskedForIt) {
    RenderSettings& s = Settings();
    const Vec4 grey{0.5f, 0.5f, 0.5f, 1};
    for (int frame = 0; frame < 3; ++frame) {
        Scene scene;
        scene.ClearColour(grey);
        const bool bloom = frame < 2;  // the highlight reads the previous frame's mips
        s.bloomEnabled = bloom;
        s.bloomThreshold = 0.1f;
        s.bloomColor = 1.0f;
        s.bloomBlurScale = 0.1f;
        scene.Evaluate();
        s.bloomEnabled = bloom;
        Scene::Draw();
        const Rgba got = At(ReadBackBuffer(TheHarness().rd), 20, 20);
        if (frame == 1) {
            EXPECT_GT(got.r, 128 + 5);
        }
        if (frame == 2) {
            EXPECT_TRUE(Near(got, {128, 128, 128, 255}));
        }
    }
    const std::vector<float> blurred =
        ReadTexturePixels(TheHarness().rd.gpu->targets[kTargetBloomBlurred].texture);
    EXPECT_GT(blurred[0], 0.0f);  // the old bloom is still there, unused
}

TEST_F(Renderer, TimerQueriesReportTheGpuTimeOfAFinishedFrame) {
    Scene scene;
    scene.Cube({0, 0, 0, 0}, 1.0f, {1, 1, 1, 1});
    for (int frame = 0; frame < 3; ++frame) {
        scene.Evaluate();
        Scene::Draw();
        Finish(ctx());
    }
    EXPECT_GT(LastFrameGpuMs(TheHarness().rd), 0.0);
    EXPECT_LT(LastFrameGpuMs(TheHarness().rd), 10000.0);
}

TEST_F(Renderer, AFrameAllocatesNothing) {
    {
        // The counter sees allocations at all.
        const std::uint64_t before = quixo::test::AllocationCount();
        quixo::test::CountAllocations(true);
        static int* volatile escaped = nullptr;
        std::vector<int> probe(8);
        escaped = probe.data();  // keeps the compiler from eliding the allocation
        quixo::test::CountAllocations(false);
        ASSERT_GT(quixo::test::AllocationCount(), before) << escaped[0];
    }
    RenderSettings& s = Settings();
    Scene scene;
    scene.Cube({0, 0, 0, 0}, 0.5f, {1, 1, 1, 1});
    scene.MotionBlur(1.0f);
    scene.Evaluate();
    SpriteItem sprite{{0, 0, 1, 1}, {0.5f, 0.5f}, {1, 1}, 0.3f, 28, 1, 0.5f, 2.0f};
    PushSprite(Lists(), sprite);
    PushSprite(Lists(), sprite);
    // The driver compiles each program at its first draw (and allocates doing so): the
    // first frames warm up, the later ones are counted, with every texture in place (until
    // then each frame uploads one more).
    FinishTextures(TheHarness().rd);
    for (int frame = 0; frame < 5; ++frame) {
        s.bloomEnabled = 1;
        s.dofEnabled = 1;
        s.motionBlurEnabled = 1;
        s.fxaaEnabled = 1;
        const bool counted = frame >= 2;
        const std::uint64_t before = quixo::test::AllocationCount();
        quixo::test::CountAllocations(counted);
        Scene::Draw();
        quixo::test::CountAllocations(false);
        if (counted) {
            EXPECT_EQ(quixo::test::AllocationCount(), before) << frame;
        }
    }
    s.fxaaEnabled = 0;
}

// Consecutive items that share a mesh and shaders are drawn as one instanced run. No scene of
// the show has a run that a change of texture alone must split, nor one longer than a run's
// buffer holds. Hand-made graphs of both must give the plain path's pixels bit for bit, in
// exactly as many draws as their runs: the velocity pass's runs (any texture) and the colour
// pass's (one texture each), where the plain path draws every item in both passes.
TEST_F(Renderer, InstancedRunsSplitAtATextureAndPastTheirCapacityLikeThePlainPath) {
    struct Emitter {
        int texture;
        std::uint32_t count;
    };
    const struct {
        const char* what;
        std::vector<Emitter> emitters;
        float half;
        std::uint64_t runs;
    } cases[] = {
        {"the texture changes twice", {{0, 5}, {1, 5}, {0, 5}}, 0.14f, 1 + 3},
        {"a run longer than two buffers", {{0, 2 * kObjectRunCapacity + 44}}, 0.12f, 3 + 3},
    };
    FinishTextures(TheHarness().rd);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::uint8_t> pictures[2];
        std::uint64_t draws[2] = {};
        std::uint64_t items = 0;
        for (const Emitter& e : c.emitters) items += e.count;
        for (const bool plain : {false, true}) {
            SetReferenceDrawing(TheHarness().rd, plain);
            RebindLongLivedState(TheHarness().rd);
            Scene scene;
            for (const Emitter& e : c.emitters) scene.TexturedCubes(e.texture, e.count, c.half);
            const std::uint64_t before = ctx().drawCount;
            pictures[plain] = scene.Render();
            draws[plain] = ctx().drawCount - before;
        }
        SetReferenceDrawing(TheHarness().rd, false);
        EXPECT_TRUE(pictures[0] == pictures[1]) << "the runs drew other pixels";
        EXPECT_EQ(draws[1] - draws[0], 2 * items - c.runs);
    }
}

}  // namespace
}  // namespace quixo::gfx::test
