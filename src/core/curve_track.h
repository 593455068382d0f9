#pragma once
// Keyframed three-float curve tracks, stored and working form (identical layouts).
#include <cstdint>

namespace quixo {

constexpr int kCurveTrackCount = 64;
constexpr int kCurveKeysPerTrack = 64;

struct CurveKey {
    std::uint32_t frame;
    float x, y, z;
};
static_assert(sizeof(CurveKey) == 16);

struct CurveTrack {
    std::uint32_t kind;      // index into CurveInterpolation: 0 linear, 1 Catmull-Rom
    std::uint32_t keyCount;  // 0..64
    CurveKey keys[kCurveKeysPerTrack];
};
static_assert(sizeof(CurveTrack) == 1032);

// The latest frame a key may lie on: tracks are sampled at a frame of the show or of a scene,
// and neither goes past the show's 8200 frames. The source compiler refuses later keys, and a
// summing sampler never runs further than this on stored tracks that passed no compiler.
constexpr std::uint32_t kMaxKeyFrame = 8200;

constexpr std::uint32_t kStoredTracksBytes = kCurveTrackCount * sizeof(CurveTrack);  // 66048

}  // namespace quixo
