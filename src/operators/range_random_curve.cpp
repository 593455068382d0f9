// Range mapping, seeded pseudo-random values and the curve track sampler.
#include <cmath>

#include "core/render_device.h"
#include "graph/curve_tracks.h"
#include "operators/node_types.h"

namespace quixo {

namespace {

// The float 0.01 widened to double: track values are stored in hundredths.
constexpr double kHundredth = static_cast<double>(0.01f);

// A track index past the table samples as a track without keys.
const CurveTrack& TrackAt(const RenderDevice& device, std::uint32_t k) {
    static const CurveTrack kNoTrack{};
    return k < kCurveTrackCount ? device.curveTracks[k] : kNoTrack;
}

// Frames 0 .. n-1 of the track summed in float, component by component; nothing for n <= 0
// (a negative time wrapped into the track). A track whose keys run past the show (only a stored
// one that passed no compiler) is summed no further than the latest key frame allowed: the loop
// is bounded, and every track the compiler accepts sums as before.
Float3 SumTrack(const CurveTrack& track, std::int32_t n) {
    const std::int32_t frames = n < std::int32_t{kMaxKeyFrame} ? n : std::int32_t{kMaxKeyFrame};
    Float3 s{0.0f, 0.0f, 0.0f};
    for (std::int32_t j = 0; j < frames; ++j) {
        const Float3 v = SampleTrack(track, static_cast<std::uint32_t>(j));
        s.x += v.x;
        s.y += v.y;
        s.z += v.z;
    }
    return s;
}

float Scaled(float s, float gain) {
    return static_cast<float>(static_cast<double>(s) * kHundredth) * gain;
}

}  // namespace

void NodeRangeMap(const NodeContext& ctx) {
    const float lo = ctx.node().params[0], hi = ctx.node().params[1];
    const std::uint32_t mode = IntParam(ctx, 2);
    switch (mode) {
        case 0:
            MapComponents(ctx, [=](float u) {
                const float t = u > lo ? u : lo;
                return t < hi ? t : hi;
            });
            break;
        case 1: {
            // The truncated remainder keeps values below lo below it.
            const float span = hi - lo;
            MapComponents(ctx, [=](float u) { return lo + std::fmod(u - lo, span); });
            break;
        }
        case 2:
            MapComponents(ctx, [=](float u) { return lo + std::fabs(u - lo); });
            break;
        default:
            break;  // elements keep what they held
    }
}

void NodeRandom(const NodeContext& ctx) {
    const float* p = ctx.node().params;
    std::uint32_t state = Nearest(p[0] * 8388607.0f);
    const double low = p[1];
    const double range = static_cast<double>(p[2]) - static_cast<double>(p[1]);
    auto draw = [&state, low, range]() {
        state = state * 1103515245u + 12345u;
        const auto r = static_cast<float>(static_cast<double>((state >> 16) & 0x7FFF) / 32767.0);
        return static_cast<float>(low + range * static_cast<double>(r));
    };
    ForEachElement(ctx, [&](std::uint32_t) {
        // Four draws in component order.
        const float x = draw();
        const float y = draw();
        const float z = draw();
        const float w = draw();
        return Vec4{x, y, z, w};
    });
}

void NodeCurveSampler(const NodeContext& ctx) {
    const CurveTrack& track = TrackAt(*ctx.device, IntParam(ctx, 0));
    const float gain = ctx.node().params[1];
    const bool wrap = IntParam(ctx, 2) != 0;
    const bool sum = IntParam(ctx, 3) != 0;
    const auto end = static_cast<float>(LastKeyFrame(track));
    const ValueArray& a = ctx.in(0);
    ForEachElement(ctx, [&](std::uint32_t i) {
        float t = ReadElement(i, a).x;
        if (wrap) {
            t = std::fmod(t, end);
        } else {
            const float m = t > 0.0f ? t : 0.0f;
            t = end <= m ? end : m;
        }
        // A time that is not a number rounds to frame 0 (and sums nothing).
        const std::uint32_t frame = Nearest(t);
        const Float3 s =
            sum ? SumTrack(track, static_cast<std::int32_t>(frame)) : SampleTrack(track, frame);
        return Vec4{Scaled(s.x, gain), Scaled(s.y, gain), Scaled(s.z, gain), 0.0f};
    });
}

}  // namespace quixo
