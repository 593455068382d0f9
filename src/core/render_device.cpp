#include "core/render_device.h"

namespace quixo {

RenderDevice& Device() {
    static RenderDevice device{};
    return device;
}

}  // namespace quixo
