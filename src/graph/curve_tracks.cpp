#include "graph/curve_tracks.h"

#include <cstring>

#include "core/render_device.h"

namespace quixo {

namespace {

// Keys beyond the table are never read, whatever the count field claims.
std::uint32_t UsedKeys(const CurveTrack& track) {
    return track.keyCount < kCurveKeysPerTrack ? track.keyCount : kCurveKeysPerTrack;
}

// The first key whose frame is greater than f, or n when there is none.
std::uint32_t FirstKeyAfter(const CurveTrack& track, std::uint32_t n, std::uint32_t f) {
    std::uint32_t i = 0;
    while (i < n && track.keys[i].frame <= f) ++i;
    return i;
}

Float3 KeyValue(const CurveKey& key) {
    return {key.x, key.y, key.z};
}

}  // namespace

void LoadCurveTracks(RenderDevice& device, const CurveTrack* stored) {
    for (int t = 0; t < kCurveTrackCount; ++t) {
        CurveTrack& track = device.curveTracks[t];
        track.kind = stored[t].kind;
        track.keyCount = stored[t].keyCount;
        for (int k = 0; k < kCurveKeysPerTrack; ++k) {
            track.keys[k].frame = stored[t].keys[k].frame;
            std::memcpy(&track.keys[k].x, &stored[t].keys[k].x, 3 * sizeof(float));
        }
    }
}

Float3 InterpolateLinear(const CurveTrack& track, std::uint32_t frame) {
    const std::uint32_t n = UsedKeys(track);
    if (n == 0) return {0, 0, 0};
    const std::uint32_t stop = track.keys[n - 1].frame - 1;
    const std::uint32_t f = frame >= stop ? stop : frame;
    const std::uint32_t i = FirstKeyAfter(track, n, f);
    // No key at or before f (a frame before the first key), or none after it (every key at
    // frame 0, a single key among them): there is no pair to interpolate between.
    if (i == 0) return KeyValue(track.keys[0]);
    if (i == n) return KeyValue(track.keys[n - 1]);
    // Every key before i lies at or before f, so the frame difference is at least 1.
    const CurveKey& prev = track.keys[i - 1];
    const CurveKey& next = track.keys[i];
    const float num = static_cast<float>(f - prev.frame);
    const float den = static_cast<float>(static_cast<std::int32_t>(next.frame - prev.frame));
    const float t = num / den;
    const float u = 1.0f - t;
    return {t * next.x + u * prev.x, t * next.y + u * prev.y, t * next.z + u * prev.z};
}

Float3 InterpolateCatmullRom(const CurveTrack& track, std::uint32_t frame) {
    const std::uint32_t n = UsedKeys(track);
    if (n == 0) return {0, 0, 0};
    if (frame >= track.keys[n - 1].frame) return KeyValue(track.keys[n - 1]);
    const std::uint32_t i = FirstKeyAfter(track, n, frame);
    if (i == 0) return KeyValue(track.keys[0]);
    const CurveKey& k0 = track.keys[i >= 2 ? i - 2 : 0];
    const CurveKey& k1 = track.keys[i - 1];
    const CurveKey& k2 = track.keys[i];
    const float t = static_cast<float>(frame - k1.frame) / static_cast<float>(k2.frame - k1.frame);
    return Vec3CatmullRom(KeyValue(k0), KeyValue(k1), KeyValue(k2), KeyValue(k2), t);
}

const CurveInterpolator CurveInterpolation[2] = {InterpolateLinear, InterpolateCatmullRom};

Float3 SampleTrack(const CurveTrack& track, std::uint32_t frame) {
    if (track.kind >= 2) return {0, 0, 0};
    return CurveInterpolation[track.kind](track, frame);
}

std::uint32_t LastKeyFrame(const CurveTrack& track) {
    const std::uint32_t n = UsedKeys(track);
    return n == 0 ? 0 : track.keys[n - 1].frame;
}

}  // namespace quixo
