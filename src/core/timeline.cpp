#include "core/timeline.h"

namespace quixo {

std::int32_t sceneFrame = 0;
std::int32_t sceneEndFrame = 0;

ClockReading ReadClock(std::int32_t positionMs, const std::int32_t durations[10]) {
    ClockReading r{};
    // 32-bit signed arithmetic, truncating: one frame per 16.66 ms. Widened for the product so
    // that positions past ~6 hours do not overflow.
    r.frame = static_cast<std::int32_t>(static_cast<std::int64_t>(positionMs) * 100 / 1666);
    std::int32_t sum = 0;
    std::int32_t i = 0;
    for (; i < 10; ++i) {
        sum += durations[i];
        if (r.frame < sum) break;
    }
    r.scene = i;
    r.end = r.frame >= kEndFrame;
    r.sceneEndFrame = sum;
    r.sceneFrame = i < 10 ? r.frame - (sum - durations[i]) : r.frame - sum;
    return r;
}

}  // namespace quixo
