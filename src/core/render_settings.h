#pragma once
// What the graph's settings nodes write and the renderer reads, with the per-frame resets.
#include <cstdint>

namespace quixo {

struct RenderSettings {
    float eye[3];
    float target[3];
    float up[3];
    float fovY;
    float aspect;
    float nearZ;
    float farZ;
    float lightDir[4];
    float clearColor[4];
    std::uint8_t bloomEnabled;
    float bloomThreshold;
    float bloomBlurScale;
    float bloomColor;
    std::uint8_t dofEnabled;
    float dofFocus;
    std::uint8_t motionBlurEnabled;
    float motionBlurResetDistance;
    std::int32_t transitionType;
    float transitionFactor;
    std::uint8_t vsyncEnabled;
    std::uint8_t fxaaEnabled;
};

// The one global record.
RenderSettings& Settings();

// Start values before the first frame: all zero, lightDir (1, 1, 1, 0).
void ResetSettingsToStart(RenderSettings& s);

// Main loop, before every graph evaluation: transition type and factor to 0.
void ResetTransition(RenderSettings& s);

// After every present: clear colour to (30, 65, 90, 255)/255, the three enable flags to 0.
void ResetAfterPresent(RenderSettings& s);

}  // namespace quixo
