#pragma once
// Sampling keyframed curve tracks at integer frames, and the copy of the stored tracks into the
// render device's working table.
#include <cstdint>

#include "core/curve_track.h"
#include "core/math.h"

namespace quixo {

struct RenderDevice;

// Copies the 64 stored tracks (kind, key count, every key's frame and x, y, z bit for bit) into
// device.curveTracks.
void LoadCurveTracks(RenderDevice& device, const CurveTrack* stored);

// Piecewise linear between the keys enclosing the frame. A frame at or past the last key
// samples one frame before it. Frames before the first key give the first key's value.
Float3 InterpolateLinear(const CurveTrack& track, std::uint32_t frame);

// Catmull-Rom between the enclosing keys, with the later key doubled as the fourth control
// point. A frame at or past the last key gives the last key exactly; frames before the first
// key give the first key's value.
Float3 InterpolateCatmullRom(const CurveTrack& track, std::uint32_t frame);

using CurveInterpolator = Float3 (*)(const CurveTrack&, std::uint32_t);

// Indexed by the track's kind: 0 linear, 1 Catmull-Rom.
extern const CurveInterpolator CurveInterpolation[2];

// The track at the frame through the interpolation its kind names. A kind outside the table
// gives (0, 0, 0).
Float3 SampleTrack(const CurveTrack& track, std::uint32_t frame);

// The frame of the track's last key, or 0 for a track without keys.
std::uint32_t LastKeyFrame(const CurveTrack& track);

}  // namespace quixo
