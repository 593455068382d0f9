#pragma once
// The camera matrices built from RenderSettings at the start of every frame.
#include "core/math.h"
#include "core/render_settings.h"

namespace quixo {

struct CameraMatrices {
    Matrix view;
    Matrix projection;
    Matrix viewProj;  // view × projection
};

// The one global set.
CameraMatrices& Camera();

// view = look-at RH (eye, target, up); projection = perspective-fov RH (fovY, aspect, near, far).
void UpdateCamera(const RenderSettings& settings, CameraMatrices& camera);

}  // namespace quixo
