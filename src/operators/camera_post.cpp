// The nodes that direct the renderer through RenderSettings: camera, light, clear colour and
// the post-processing switches. None writes its own output.
#include "core/render_device.h"
#include "core/render_settings.h"
#include "operators/node_types.h"

namespace quixo {

namespace {

constexpr float kDefaultFovY = 1.5707964f;  // pi / 2
constexpr float kDefaultNearZ = 0.05f;
constexpr float kDefaultFarZ = 1000.0f;
constexpr double kBlurScaleFactor = static_cast<double>(0.1f);

void SetXyz(float* dst, const Vec4& v) {
    dst[0] = v.x;
    dst[1] = v.y;
    dst[2] = v.z;
}

void SetXyzw(float* dst, const Vec4& v) {
    SetXyz(dst, v);
    dst[3] = v.w;
}

// Element 0 of the input, or the fallback when the input has no elements at all.
Vec4 FirstOr(const ValueArray& a, const Vec4& fallback) {
    return a.count == 0 ? fallback : ReadElement(0, a);
}

// The thirteen camera floats, always written together.
struct CameraBlock {
    Vec4 eye, target, up;
    float fovY, nearZ, farZ;
};

void WriteCamera(const NodeContext& ctx, const CameraBlock& c) {
    RenderSettings& s = Settings();
    SetXyz(s.eye, c.eye);
    SetXyz(s.target, c.target);
    SetXyz(s.up, c.up);
    s.fovY = c.fovY;
    s.aspect = ctx.device->displayAspect;
    s.nearZ = c.nearZ;
    s.farZ = c.farZ;
}

const Vec4 kUp{0, 1, 0, 0};

}  // namespace

void NodeLightDirection(const NodeContext& ctx) {
    SetXyzw(Settings().lightDir, FirstOr(ctx.in(1), Vec4{1, 1, 1, 1}));
}

void NodeClearColour(const NodeContext& ctx) {
    SetXyzw(Settings().clearColor, ReadElement(0, ctx.in(0)));
}

void NodeFixedCamera(const NodeContext& ctx) {
    WriteCamera(ctx,
                CameraBlock{ReadElement(0, ctx.in(0)), ReadElement(0, ctx.in(1)),
                            FirstOr(ctx.in(2), kUp), kDefaultFovY, kDefaultNearZ, kDefaultFarZ});
}

void NodeCamera(const NodeContext& ctx) {
    const ValueArray& lens = ctx.in(4);
    const Vec4 depth = ReadElement(0, lens);
    WriteCamera(
        ctx, CameraBlock{FirstOr(ctx.in(0), Vec4{1, 1, 1, 0}), ReadElement(0, ctx.in(1)),
                         FirstOr(ctx.in(2), kUp), FirstOr(ctx.in(3), Vec4{kDefaultFovY, 0, 0, 0}).x,
                         lens.count == 0 ? kDefaultNearZ : depth.x,
                         lens.count == 0 ? kDefaultFarZ : depth.y});
}

void NodeDepthOfField(const NodeContext& ctx) {
    RenderSettings& s = Settings();
    s.dofFocus = ReadElement(0, ctx.in(0)).x;
    s.dofEnabled = 1;
}

void NodeTransition(const NodeContext& ctx) {
    // A factor past 1 (or not a number) switches the transition off for this frame rather
    // than holding it at 1.
    const float f = ReadElement(0, ctx.in(0)).x;
    if (!(f <= 1.0f)) return;
    RenderSettings& s = Settings();
    s.transitionType = static_cast<std::int32_t>(IntParam(ctx, 0));
    s.transitionFactor = f;
}

void NodeMotionBlur(const NodeContext& ctx) {
    RenderSettings& s = Settings();
    s.motionBlurResetDistance = ctx.node().params[0];
    s.motionBlurEnabled = 1;
}

void NodeBloom(const NodeContext& ctx) {
    RenderSettings& s = Settings();
    s.bloomThreshold = ReadElement(0, ctx.in(0)).x;
    s.bloomBlurScale =
        static_cast<float>(static_cast<double>(ReadElement(1, ctx.in(1)).x) * kBlurScaleFactor);
    s.bloomColor = ReadElement(2, ctx.in(2)).x;
    s.bloomEnabled = 1;
}

}  // namespace quixo
