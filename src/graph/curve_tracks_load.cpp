#include <cstring>

#include "graph/curve_tracks.h"

namespace quixo {

void LoadCurveTracks(RenderDevice& device, const CurveTrack* stored) {
    // The working form has the stored layout, so one copy carries every field bit for bit.
    std::memcpy(device.curveTracks, stored, sizeof device.curveTracks);
}

}  // namespace quixo
