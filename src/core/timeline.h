#pragma once
// The music position as the presentation's clock: frame number, scene, and the two values the
// time operators read.
#include <cstdint>

namespace quixo {

constexpr std::int32_t kEndFrame = 8200;  // the presentation ends here, inside scene 9

// The longest scene a source may give: the show's whole length. Ten such durations add up to
// far less than the clock's 32-bit range.
constexpr std::int32_t kMaxSceneDuration = kEndFrame;

// The clock values the show can reach while it plays (frames 0..8199) on any timeline the
// scene compiler accepts: a frame within its scene comes before the scene's end, and the
// latest end is that of a scene beginning on the last frame and lasting the longest.
constexpr std::int32_t kMaxSceneFrame = kMaxSceneDuration - 1;
constexpr std::int32_t kMaxSceneEndFrame = (kEndFrame - 1) + kMaxSceneDuration;

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
