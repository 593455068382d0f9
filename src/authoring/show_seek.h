#pragma once
// Moving about the show while previewing it: the frame the keys of the preview window lead to,
// kept apart from the window so that it can be checked without one.
#include <cstdint>

#include "core/timeline.h"
#include "graph/graph_types.h"

namespace quixo {

enum class SeekKey {
    kPauseResume,
    kSecondBack,
    kSecondForward,
    kPreviousScene,
    kNextScene,
    kFrameBack,     // only while paused
    kFrameForward,  // only while paused
    kRestart,
};

struct PreviewPosition {
    std::int32_t frame;  // 0..kEndFrame-1
    bool paused;
};

// The first frame of each scene over the ten durations, and kEndFrame-1 as the last place to go.
std::int32_t SceneStartFrame(int scene, const std::int32_t durations[kSceneCount]);

// Where a key leaves the position: seeks clamp to the show's frames; the previous-scene key goes
// to the start of the current scene, or of the one before when already at its start.
PreviewPosition ApplySeekKey(PreviewPosition position, SeekKey key,
                             const std::int32_t durations[kSceneCount]);

// The scene of a frame over the given durations (kSceneCount past the whole timeline).
int SceneOfFrame(std::int32_t frame, const std::int32_t durations[kSceneCount]);

}  // namespace quixo
