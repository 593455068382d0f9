#pragma once
// Matrix, rotation and spline helpers in the row-vector convention: a point p maps to p × M,
// matrices are stored row by row, and A × B applies A first. Angles in radians; a yaw-pitch-roll
// rotation applies roll (about z), then pitch (about x), then yaw (about y).

#include "core/float3.h"

namespace quixo {

struct Matrix {
    float m[4][4];
};

struct Quaternion {
    float x, y, z, w;
};

Matrix MatrixIdentity();
Matrix MatrixTranslation(float x, float y, float z);
Matrix MatrixScaling(float sx, float sy, float sz);
Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll);
Quaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll);

// out = a × b; out may be a or b.
void MatrixMultiply(Matrix& out, const Matrix& a, const Matrix& b);
Matrix operator*(const Matrix& a, const Matrix& b);

// Right-handed view matrix looking from eye towards target.
Matrix MatrixLookAtRH(const Float3& eye, const Float3& target, const Float3& up);

// Right-handed perspective projection mapping view depth near..far to 0..1.
Matrix MatrixPerspectiveFovRH(float fovY, float aspect, float nearZ, float farZ);

// Uniform Catmull-Rom point between p1 (s = 0) and p2 (s = 1).
Float3 Vec3CatmullRom(const Float3& p0, const Float3& p1, const Float3& p2, const Float3& p3,
                      float s);

// p × M for a point (w = 1), without the perspective divide: x, y, z, w.
void TransformPoint(const Matrix& m, const float p[3], float out[4]);

// World = Scaling × RotationYawPitchRoll × Translation.
Matrix WorldMatrix(const float position[3], const float scale[3], const float rotation[3]);

}  // namespace quixo
