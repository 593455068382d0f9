#include "core/camera.h"

namespace quixo {

CameraMatrices& Camera() {
    static CameraMatrices camera{};
    return camera;
}

void UpdateCamera(const RenderSettings& s, CameraMatrices& camera) {
    camera.view =
        MatrixLookAtRH({s.eye[0], s.eye[1], s.eye[2]}, {s.target[0], s.target[1], s.target[2]},
                       {s.up[0], s.up[1], s.up[2]});
    camera.projection = MatrixPerspectiveFovRH(s.fovY, s.aspect, s.nearZ, s.farZ);
    MatrixMultiply(camera.viewProj, camera.view, camera.projection);
}

}  // namespace quixo
