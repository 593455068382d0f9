#include <gtest/gtest.h>

#include <cmath>

#include "graph_builder.h"

namespace quixo {
namespace {

using test::GraphBuilder;

class CameraPost : public test::OperatorTest {};

TEST_F(CameraPost, CameraWithoutInputsUsesTheDefaults) {
    GraphBuilder g;
    g.Node(kNodeCamera, {});
    g.Evaluate();
    const RenderSettings& s = Settings();
    EXPECT_EQ(s.eye[0], 1);
    EXPECT_EQ(s.eye[1], 1);
    EXPECT_EQ(s.eye[2], 1);
    EXPECT_EQ(s.target[0], 0);
    EXPECT_EQ(s.up[1], 1);
    EXPECT_EQ(s.fovY, 1.5707964f);
    EXPECT_EQ(s.nearZ, 0.05f);
    EXPECT_EQ(s.farZ, 1000.0f);
    EXPECT_EQ(s.aspect, 1.7777778f);
}

TEST_F(CameraPost, CameraInputsAndTheLaterWriterWins) {
    GraphBuilder g;
    const int eye = g.Data({{1, 2, 3, 4}});
    const int target = g.Data({{5, 6, 7, 8}});
    const int up = g.Data({{0, 0, 1, 0}});
    const int fov = g.Data({{0.5f, 9, 9, 9}});
    const int depth = g.Data({{0.1f, 500, 0, 0}});
    g.Node(kNodeFixedCamera, {}, {eye, target});
    g.Node(kNodeCamera, {}, {eye, target, up, fov, depth});
    g.Evaluate();
    const RenderSettings& s = Settings();
    EXPECT_EQ(s.eye[2], 3);
    EXPECT_EQ(s.target[0], 5);
    EXPECT_EQ(s.up[2], 1);
    EXPECT_EQ(s.fovY, 0.5f);
    EXPECT_EQ(s.nearZ, 0.1f);
    EXPECT_EQ(s.farZ, 500.0f);

    GraphBuilder fixed;
    fixed.Node(kNodeFixedCamera, {}, {-1, target});
    Device().displayAspect = 1.25f;
    fixed.Evaluate();
    EXPECT_EQ(s.eye[0], 0);  // no default eye for the fixed-lens camera
    EXPECT_EQ(s.up[1], 1);
    EXPECT_EQ(s.fovY, 1.5707964f);
    EXPECT_EQ(s.aspect, 1.25f);
}

TEST_F(CameraPost, LightAndClearColour) {
    GraphBuilder g;
    g.Node(kNodeLightDirection, {}, {g.Data({{9, 9, 9, 9}})});  // in0 has no effect
    g.Node(kNodeClearColour, {});
    g.Evaluate();
    const RenderSettings& s = Settings();
    for (int c = 0; c < 4; ++c) EXPECT_EQ(s.lightDir[c], 1) << c;
    for (int c = 0; c < 4; ++c) EXPECT_EQ(s.clearColor[c], 0) << c;

    GraphBuilder h;
    const int dir = h.Data({{0, -1, 0, 0}, {5, 5, 5, 5}});
    h.Node(kNodeLightDirection, {}, {-1, dir});
    h.Node(kNodeClearColour, {}, {h.Data({{0.1f, 0.2f, 0.3f, 0.4f}})});
    h.Evaluate();
    EXPECT_EQ(s.lightDir[1], -1);
    EXPECT_EQ(s.lightDir[3], 0);
    EXPECT_EQ(s.clearColor[3], 0.4f);
}

TEST_F(CameraPost, TransitionFactorPastOneWritesNothing) {
    struct Case {
        float p0, f;
        bool writes;
        std::int32_t type;
    };
    const Case cases[] = {{1, 1.0f, true, 1},    {1, 1.0001f, false, 0}, {1, -0.5f, true, 1},
                          {1.5f, 0.5f, true, 2}, {2.5f, 0.5f, true, 2},  {1, NAN, false, 0}};
    for (const Case& c : cases) {
        ResetTransition(Settings());
        GraphBuilder g;
        g.Node(kNodeTransition, {c.p0}, {g.Data({{c.f, 0, 0, 0}})});
        g.Evaluate();
        EXPECT_EQ(Settings().transitionType, c.type) << c.p0 << " " << c.f;
        EXPECT_EQ(Settings().transitionFactor, c.writes ? c.f : 0.0f) << c.f;
    }
}

TEST_F(CameraPost, EffectSwitchesAndParameters) {
    GraphBuilder g;
    g.Node(kNodeDepthOfField, {}, {g.Data({{12.5f, 0, 0, 0}})});
    g.Node(kNodeMotionBlur, {100.7f});
    const int three = g.Data({{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}});
    g.Node(kNodeBloom, {}, {three, three, three});
    g.Evaluate();
    const RenderSettings& s = Settings();
    EXPECT_EQ(s.dofEnabled, 1);
    EXPECT_EQ(s.dofFocus, 12.5f);
    EXPECT_EQ(s.motionBlurEnabled, 1);
    EXPECT_EQ(s.motionBlurResetDistance, 100.7f);  // not made an integer
    EXPECT_EQ(s.bloomEnabled, 1);
    EXPECT_EQ(s.bloomThreshold, 1);
    EXPECT_EQ(s.bloomBlurScale, static_cast<float>(2.0 * static_cast<double>(0.1f)));
    EXPECT_EQ(s.bloomColor, 3);

    GraphBuilder h;
    const int single = h.Data({{4, 0, 0, 0}});
    h.Node(kNodeBloom, {}, {single, single, single});
    h.Evaluate();
    EXPECT_EQ(s.bloomBlurScale, static_cast<float>(4.0 * static_cast<double>(0.1f)));
    EXPECT_EQ(s.bloomColor, 4);

    // Without the nodes the switches stay off after the end-of-frame reset.
    ResetAfterPresent(Settings());
    GraphBuilder none;
    none.Node(kNodeConstant, {});
    none.Evaluate();
    EXPECT_EQ(s.bloomEnabled, 0);
    EXPECT_EQ(s.dofEnabled, 0);
    EXPECT_EQ(s.motionBlurEnabled, 0);
    EXPECT_EQ(s.clearColor[1], 65.0f / 255.0f);
}

}  // namespace
}  // namespace quixo
