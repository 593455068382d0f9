#include "core/render_device.h"

#include <cstring>

#include "core/camera.h"
#include "core/draw_lists.h"
#include "core/render_settings.h"

namespace quixo {

RenderDevice& Device() {
    static RenderDevice device{};
    return device;
}

void ResetCoreRecords() {
    // Plain records: zero bytes are their empty state.
    std::memset(&Device(), 0, sizeof(RenderDevice));
    std::memset(&Lists(), 0, sizeof(DrawLists));
    std::memset(&Camera(), 0, sizeof(CameraMatrices));
    ResetSettingsToStart(Settings());
}

}  // namespace quixo
