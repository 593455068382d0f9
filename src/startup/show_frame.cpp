#include "startup/show_frame.h"

#include "core/draw_lists.h"
#include "core/render_settings.h"
#include "graph/graph.h"
#include "memory/arena.h"
#include "render/renderer.h"

namespace quixo {

void ResetShowState() {
    sceneFrame = 0;
    sceneEndFrame = 0;
}

void EvaluateShowFrame(RenderDevice& rd, const ClockReading& clock) {
    sceneFrame = clock.sceneFrame;
    sceneEndFrame = clock.sceneEndFrame;
    ResetFrameArena();
    ResetTransition(Settings());
    ResetListCounts(Lists());
    GraphArguments args{};
    EvaluateGraph(rd, Slots().values[clock.scene], Slots().nodes[clock.scene], args);
}

void RunShowFrame(RenderDevice& rd, const ClockReading& clock, FrameOutput output) {
    EvaluateShowFrame(rd, clock);
    if (output == FrameOutput::Draw) {
        RenderFrame(rd);
    } else {
        BeginFrameState();
        EndFrameState();
    }
}

}  // namespace quixo
