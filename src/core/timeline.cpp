#include "core/timeline.h"

#include <algorithm>
#include <cstdint>

namespace quixo {

std::int32_t sceneFrame = 0;
std::int32_t sceneEndFrame = 0;

ClockReading ReadClock(std::int32_t positionMs, const std::int32_t durations[10]) {
    ClockReading r{};
    // 32-bit signed arithmetic, truncating: one frame per 16.66 ms. Widened for the product so
    // that positions past ~6 hours do not overflow.
    r.frame = static_cast<std::int32_t>(static_cast<std::int64_t>(positionMs) * 100 / 1666);
    // The durations are summed in 64 bits, so that no set of them can overflow the sum (the
    // source compiler keeps each within the show's length anyway); an end or a scene frame past
    // the 32-bit range reads as its largest value.
    std::int64_t sum = 0;
    std::int32_t i = 0;
    for (; i < 10; ++i) {
        sum += durations[i];
        if (r.frame < sum) break;
    }
    const std::int64_t start = i < 10 ? sum - durations[i] : sum;
    r.scene = i;
    r.end = r.frame >= kEndFrame;
    r.sceneEndFrame =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, INT32_MIN, INT32_MAX));
    r.sceneFrame =
        static_cast<std::int32_t>(std::clamp<std::int64_t>(r.frame - start, INT32_MIN, INT32_MAX));
    return r;
}

}  // namespace quixo
