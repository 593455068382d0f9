#include "core/render_settings.h"

namespace quixo {

RenderSettings& Settings() {
    static RenderSettings settings = [] {
        RenderSettings s{};
        ResetSettingsToStart(s);
        return s;
    }();
    return settings;
}

void ResetSettingsToStart(RenderSettings& s) {
    s = RenderSettings{};
    s.lightDir[0] = 1.0f;
    s.lightDir[1] = 1.0f;
    s.lightDir[2] = 1.0f;
    s.lightDir[3] = 0.0f;
}

void ResetTransition(RenderSettings& s) {
    s.transitionType = 0;
    s.transitionFactor = 0.0f;
}

void ResetAfterPresent(RenderSettings& s) {
    s.clearColor[0] = 30.0f / 255.0f;
    s.clearColor[1] = 65.0f / 255.0f;
    s.clearColor[2] = 90.0f / 255.0f;
    s.clearColor[3] = 1.0f;
    s.bloomEnabled = 0;
    s.dofEnabled = 0;
    s.motionBlurEnabled = 0;
}

}  // namespace quixo
