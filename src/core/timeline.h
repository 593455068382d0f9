#pragma once
// The music position as the presentation's clock: frame number, scene, and the two values the
// time operators read.
#include <cstdint>

namespace quixo {

constexpr std::int32_t kEndFrame = 8200;  // the presentation ends here, inside scene 9

struct ClockReading {
    std::int32_t frame;          // position × 100 / 1666
    std::int32_t scene;          // 0..9, or 10 past the whole timeline
    std::int32_t sceneFrame;     // frames since the scene began
    std::int32_t sceneEndFrame;  // the scene's end frame (exclusive)
    bool end;                    // frame >= 8200: the main loop leaves
};

// The clock of a position in milliseconds over the ten scene durations.
ClockReading ReadClock(std::int32_t positionMs, const std::int32_t durations[10]);

// Set by the main loop from each reading, read by the time operators. Both start at 0.
extern std::int32_t sceneFrame;
extern std::int32_t sceneEndFrame;

}  // namespace quixo
