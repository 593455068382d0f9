#include "core/math.h"

#include <cmath>

namespace quixo {

namespace {

float Cos(float a) {
    return static_cast<float>(std::cos(static_cast<double>(a)));
}
float Sin(float a) {
    return static_cast<float>(std::sin(static_cast<double>(a)));
}

Float3 Sub(const Float3& a, const Float3& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
float Dot(const Float3& a, const Float3& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
Float3 Cross(const Float3& a, const Float3& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Float3 Normalize(const Float3& v) {
    const float len = std::sqrt(Dot(v, v));
    if (len == 0.0f) return v;
    return {v.x / len, v.y / len, v.z / len};
}

}  // namespace

Matrix MatrixIdentity() {
    Matrix r{};
    for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
    return r;
}

Matrix MatrixTranslation(float x, float y, float z) {
    Matrix r = MatrixIdentity();
    r.m[3][0] = x;
    r.m[3][1] = y;
    r.m[3][2] = z;
    return r;
}

Matrix MatrixScaling(float sx, float sy, float sz) {
    Matrix r{};
    r.m[0][0] = sx;
    r.m[1][1] = sy;
    r.m[2][2] = sz;
    r.m[3][3] = 1.0f;
    return r;
}

Matrix MatrixRotationYawPitchRoll(float yaw, float pitch, float roll) {
    // Rz(roll) × Rx(pitch) × Ry(yaw), each in the row-vector form.
    const float cy = Cos(yaw), sy = Sin(yaw);
    const float cp = Cos(pitch), sp = Sin(pitch);
    const float cr = Cos(roll), sr = Sin(roll);
    Matrix r{};
    r.m[0][0] = cr * cy + sr * sp * sy;
    r.m[0][1] = sr * cp;
    r.m[0][2] = sr * sp * cy - cr * sy;
    r.m[1][0] = cr * sp * sy - sr * cy;
    r.m[1][1] = cr * cp;
    r.m[1][2] = sr * sy + cr * sp * cy;
    r.m[2][0] = cp * sy;
    r.m[2][1] = -sp;
    r.m[2][2] = cp * cy;
    r.m[3][3] = 1.0f;
    return r;
}

Quaternion QuaternionRotationYawPitchRoll(float yaw, float pitch, float roll) {
    const float cy = Cos(yaw * 0.5f), sy = Sin(yaw * 0.5f);
    const float cp = Cos(pitch * 0.5f), sp = Sin(pitch * 0.5f);
    const float cr = Cos(roll * 0.5f), sr = Sin(roll * 0.5f);
    Quaternion q;
    q.x = cy * sp * cr + sy * cp * sr;
    q.y = sy * cp * cr - cy * sp * sr;
    q.z = cy * cp * sr - sy * sp * cr;
    q.w = cy * cp * cr + sy * sp * sr;
    return q;
}

void MatrixMultiply(Matrix& out, const Matrix& a, const Matrix& b) {
    Matrix r;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] +
                        a.m[i][3] * b.m[3][j];
        }
    }
    out = r;
}

Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix r;
    MatrixMultiply(r, a, b);
    return r;
}

Matrix MatrixLookAtRH(const Float3& eye, const Float3& target, const Float3& up) {
    const Float3 zaxis = Normalize(Sub(eye, target));
    const Float3 xaxis = Normalize(Cross(up, zaxis));
    const Float3 yaxis = Cross(zaxis, xaxis);
    Matrix r{};
    r.m[0][0] = xaxis.x;
    r.m[1][0] = xaxis.y;
    r.m[2][0] = xaxis.z;
    r.m[0][1] = yaxis.x;
    r.m[1][1] = yaxis.y;
    r.m[2][1] = yaxis.z;
    r.m[0][2] = zaxis.x;
    r.m[1][2] = zaxis.y;
    r.m[2][2] = zaxis.z;
    r.m[3][0] = -Dot(xaxis, eye);
    r.m[3][1] = -Dot(yaxis, eye);
    r.m[3][2] = -Dot(zaxis, eye);
    r.m[3][3] = 1.0f;
    return r;
}

Matrix MatrixPerspectiveFovRH(float fovY, float aspect, float nearZ, float farZ) {
    const float yscale = 1.0f / static_cast<float>(std::tan(static_cast<double>(fovY) * 0.5));
    const float xscale = yscale / aspect;
    Matrix r{};
    r.m[0][0] = xscale;
    r.m[1][1] = yscale;
    r.m[2][2] = farZ / (nearZ - farZ);
    r.m[2][3] = -1.0f;
    r.m[3][2] = nearZ * farZ / (nearZ - farZ);
    return r;
}

Float3 Vec3CatmullRom(const Float3& p0, const Float3& p1, const Float3& p2, const Float3& p3,
                      float s) {
    const float s2 = s * s, s3 = s2 * s;
    auto c = [&](float a, float b, float c2, float d) {
        return 0.5f * (2.0f * b + (c2 - a) * s + (2.0f * a - 5.0f * b + 4.0f * c2 - d) * s2 +
                       (3.0f * b - a - 3.0f * c2 + d) * s3);
    };
    return {c(p0.x, p1.x, p2.x, p3.x), c(p0.y, p1.y, p2.y, p3.y), c(p0.z, p1.z, p2.z, p3.z)};
}

void TransformPoint(const Matrix& m, const float p[3], float out[4]) {
    for (int j = 0; j < 4; ++j) {
        out[j] = p[0] * m.m[0][j] + p[1] * m.m[1][j] + p[2] * m.m[2][j] + m.m[3][j];
    }
}

Matrix WorldMatrix(const float position[3], const float scale[3], const float rotation[3]) {
    return MatrixScaling(scale[0], scale[1], scale[2]) *
           MatrixRotationYawPitchRoll(rotation[0], rotation[1], rotation[2]) *
           MatrixTranslation(position[0], position[1], position[2]);
}

}  // namespace quixo
