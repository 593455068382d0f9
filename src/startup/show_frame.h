#pragma once
// The show's per-frame state has one owner. The demo's main loop, the preview, the headless
// tools and the tests all step the show through these functions, and nothing else writes the
// clock values the time operators read (sceneFrame, sceneEndFrame).
#include "core/render_device.h"
#include "core/timeline.h"

namespace quixo {

// Before the first frame: the clock values back to 0, as at start-up.
void ResetShowState();

// The frame's part before rendering: the clock values stored, the frame arena, the transition
// and the three item lists reset, then graph slot clock.scene evaluated with empty arguments.
void EvaluateShowFrame(RenderDevice& rd, const ClockReading& clock);

enum class FrameOutput {
    Draw,  // rendered and presented
    Skip,  // only what rendering changes on the CPU side (camera, previous transforms, the
           // after-present resets): the next frame sees the state playback would leave
};

// One whole frame: EvaluateShowFrame, then the frame drawn or skipped.
void RunShowFrame(RenderDevice& rd, const ClockReading& clock, FrameOutput output);

}  // namespace quixo
