#pragma once
// The working curve tracks and their sampling.
#include "graph/curve_track.h"
#include "render/render_device.h"

namespace quixo {

// Copies the 64 stored tracks into the device's working table: kind, key count, and every key's
// frame and x, y, z bit for bit.
void LoadCurveTracks(RenderDevice& device, const CurveTrack* stored);

}  // namespace quixo
