#include "authoring/show_seek.h"

#include <algorithm>

namespace quixo {

namespace {

std::int32_t ClampFrame(std::int64_t frame) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(frame, 0, kEndFrame - 1));
}

}  // namespace

std::int32_t SceneStartFrame(int scene, const std::int32_t durations[kSceneCount]) {
    std::int64_t start = 0;
    for (int s = 0; s < std::min(scene, kSceneCount); ++s) start += durations[s];
    return ClampFrame(start);
}

int SceneOfFrame(std::int32_t frame, const std::int32_t durations[kSceneCount]) {
    std::int64_t end = 0;
    for (int s = 0; s < kSceneCount; ++s) {
        end += durations[s];
        if (frame < end) return s;
    }
    return kSceneCount;
}

PreviewPosition ApplySeekKey(PreviewPosition p, SeekKey key,
                             const std::int32_t durations[kSceneCount]) {
    constexpr std::int32_t kSecond = 60;
    const int scene = std::min(SceneOfFrame(p.frame, durations), kSceneCount - 1);
    switch (key) {
        case SeekKey::kPauseResume:
            p.paused = !p.paused;
            break;
        case SeekKey::kSecondBack:
            p.frame = ClampFrame(std::int64_t{p.frame} - kSecond);
            break;
        case SeekKey::kSecondForward:
            p.frame = ClampFrame(std::int64_t{p.frame} + kSecond);
            break;
        case SeekKey::kPreviousScene: {
            const std::int32_t start = SceneStartFrame(scene, durations);
            p.frame = p.frame > start || scene == 0 ? start : SceneStartFrame(scene - 1, durations);
            break;
        }
        case SeekKey::kNextScene:
            p.frame = SceneStartFrame(scene + 1, durations);
            break;
        case SeekKey::kFrameBack:
            if (p.paused) p.frame = ClampFrame(std::int64_t{p.frame} - 1);
            break;
        case SeekKey::kFrameForward:
            if (p.paused) p.frame = ClampFrame(std::int64_t{p.frame} + 1);
            break;
        case SeekKey::kRestart:
            p.frame = 0;
            break;
    }
    return p;
}

}  // namespace quixo
