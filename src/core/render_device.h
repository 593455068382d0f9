#pragma once
// The one render-context record, handed to graph evaluation and mesh upload. The CPU-side
// fields are what the graph reads (aspect, curve tracks); the GPU side belongs to the renderer.
#include <cstdint>

#include "core/curve_track.h"

namespace quixo {

struct GpuState;  // device, targets, tables: owned by the renderer, null without a GPU

struct RenderDevice {
    std::int32_t width;
    std::int32_t height;
    float displayAspect;  // width / height as a float
    CurveTrack curveTracks[kCurveTrackCount];
    GpuState* gpu;
};

// The one global record (zeroed static storage).
RenderDevice& Device();

// The CPU-side records of the show back to their start values: the render-context record zero
// (no GPU, no curve tracks), the draw lists empty, RenderSettings as at start-up, the camera
// zero.
void ResetCoreRecords();

}  // namespace quixo
