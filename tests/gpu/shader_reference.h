#pragma once
// CPU versions of what the shader library's object, sprite and fractal entries compute, written
// from their descriptions, for the pixel tests to compare against. Single precision, as on the
// GPU. Host matrices are row-major in the row-vector convention (p maps to p x M), the layout
// the renderer uploads.
#include <algorithm>
#include <cmath>

namespace quixo::reference {

struct V2 {
    float x, y;
};

struct V3 {
    float x, y, z;
};

struct V4 {
    float x, y, z, w;
};

inline V3 operator+(V3 a, V3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline V3 operator-(V3 a, V3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline V3 operator*(V3 a, float s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(V3 a, V3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline float Length(V3 a) {
    return std::sqrt(Dot(a, a));
}
inline V3 Normalize(V3 a) {
    return a * (1.0f / Length(a));
}
inline float Dot4(V4 a, V4 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z + a.w * b.w;
}
inline V4 operator+(V4 a, V4 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z, a.w + b.w};
}
inline V4 operator*(V4 a, float s) {
    return {a.x * s, a.y * s, a.z * s, a.w * s};
}
inline V4 operator*(V4 a, V4 b) {
    return {a.x * b.x, a.y * b.y, a.z * b.z, a.w * b.w};
}

// p x M for a row vector with w = 0 (a direction), first three components.
inline V3 TransformDirection(V3 p, const float m[16]) {
    return {p.x * m[0] + p.y * m[4] + p.z * m[8], p.x * m[1] + p.y * m[5] + p.z * m[9],
            p.x * m[2] + p.y * m[6] + p.z * m[10]};
}

// M x v: the host matrix applied to a column vector, which is what multiplying a row vector
// with the upper 3 x 3 of a column_major shader matrix does.
inline V3 MatrixTimesColumn(const float m[16], V3 v) {
    return {m[0] * v.x + m[1] * v.y + m[2] * v.z, m[4] * v.x + m[5] * v.y + m[6] * v.z,
            m[8] * v.x + m[9] * v.y + m[10] * v.z};
}

// ---- Cook-Torrance (baseCookPS, crashPS) ----

// n and v unit vectors; l the light vector as given (not normalised).
inline float CookTorranceSpecular(V3 n, V3 v, V3 l) {
    const float m2 = 0.35f * 0.35f;
    const float ior = 20.0f;
    const V3 h = Normalize(l + v);
    const float nv = Dot(n, v), nh = Dot(n, h), vh = Dot(v, h), nl = Dot(n, l), lh = Dot(l, h);
    const float nh2 = nh * nh;
    const float d = std::exp(-(1 - nh2) / (nh2 * m2)) / (4 * m2 * nh2 * nh2);
    const float g = std::min(1.0f, std::min(2 * nh * nv / vh, 2 * nh * nl / vh));
    const float c = std::sqrt(ior * ior + lh * lh - 1);
    const float a = lh * (c + lh) - 1;
    const float b = lh * (c - lh) + 1;
    const float f = 0.5f * (c - lh) * (c - lh) / ((c + lh) * (c + lh)) * (1 + a * a / (b * b));
    return std::max(0.0f, f * d * g / nv);
}

// baseCookVS colour: options0 + options1 x (N . L + 0.5) with L = -lightDir, four components.
inline V4 BaseCookVertexColour(V4 options0, V4 options1, V4 normal, V4 lightDir) {
    const V4 l = lightDir * -1.0f;
    return options0 + options1 * (Dot4(normal, l) + 0.5f);
}

// baseCookPS for an interpolated colour, the vertex entry's normal output (already through
// worldViewProj), the object-space position, the eye and the light direction.
inline V4 BaseCookPixel(V4 colour, V3 normal, V3 localPos, V3 eye, V3 lightDir, V4 options2) {
    const float s =
        CookTorranceSpecular(Normalize(normal), Normalize(eye - localPos), lightDir * -1.0f);
    return colour + options2 * s;
}

// ---- Sprites (A_8_spriteVS, A_8_spritePS) ----

struct SpriteCorner {
    V2 clip;  // clip-space x, y
    V2 uv;
};

// The four strip corners for destination rectangle dst (x0, y0, x1, y1 in 0..1 screen units),
// rotation rot and a target of w x h pixels.
inline void SpriteCorners(const float dst[4], float rot, float w, float h, SpriteCorner out[4]) {
    const float k = h / w;
    const float left = (2 * dst[0] - 1) * k, top = -(2 * dst[1] - 1);
    const float right = (2 * dst[2] - 1) * k, bottom = -(2 * dst[3] - 1);
    const V2 corner[4] = {{left, top}, {right, top}, {left, bottom}, {right, bottom}};
    const V2 uv[4] = {{0, 0}, {1, 0}, {0, 1}, {1, 1}};
    const V2 c = {(left + right) * 0.5f, (top + bottom) * 0.5f};
    const float a = rot + 3.14159f;
    const float cs = std::cos(a), sn = std::sin(a);
    for (int i = 0; i < 4; ++i) {
        const V2 e = {corner[i].x - c.x, corner[i].y - c.y};
        out[i] = {{c.x + cs * e.x - sn * e.y, c.y + sn * e.x + cs * e.y}, uv[i]};
    }
}

// The texture coordinate the pixel entry reads for an interpolated uv.
inline V2 SpriteSourceCoord(const float src[4], V2 uv) {
    return {src[0] * uv.x + src[2] * (1 - uv.x), src[1] * uv.y + src[3] * (1 - uv.y)};
}

// Clip space to pixel coordinates (top-left origin) on a w x h target.
inline V2 ClipToPixel(V2 clip, float w, float h) {
    return {(clip.x * 0.5f + 0.5f) * w, (0.5f - clip.y * 0.5f) * h};
}

// The uv the rasterizer interpolates at pixel position p (pixel units) over the sprite's strip:
// the affine map through corners 0 (uv (0, 0)), 1 (uv (1, 0)) and 2 (uv (0, 1)).
inline V2 SpriteUvAtPixel(const SpriteCorner c[4], V2 p, float w, float h) {
    const V2 o = ClipToPixel(c[0].clip, w, h);
    const V2 a = ClipToPixel(c[1].clip, w, h);
    const V2 b = ClipToPixel(c[2].clip, w, h);
    const V2 e = {a.x - o.x, a.y - o.y}, f = {b.x - o.x, b.y - o.y}, d = {p.x - o.x, p.y - o.y};
    const float det = e.x * f.y - e.y * f.x;
    return {(d.x * f.y - d.y * f.x) / det, (e.x * d.y - e.y * d.x) / det};
}

// ---- Texture sampling as the one sampler does it at mip 0 (bilinear, wrap) ----

// texels: RGBA8, w x h, row 0 first. Returns the channels as 0..1 floats.
inline V4 SampleBilinearWrap(const unsigned char* texels, int w, int h, V2 uv) {
    const float x = uv.x * static_cast<float>(w) - 0.5f;
    const float y = uv.y * static_cast<float>(h) - 0.5f;
    const float fx = std::floor(x), fy = std::floor(y);
    const float ax = x - fx, ay = y - fy;
    auto texel = [&](int i, int j) {
        i = ((i % w) + w) % w;
        j = ((j % h) + h) % h;
        const unsigned char* t = texels + (j * w + i) * 4;
        return V4{t[0] / 255.0f, t[1] / 255.0f, t[2] / 255.0f, t[3] / 255.0f};
    };
    const int i = static_cast<int>(fx), j = static_cast<int>(fy);
    const V4 top = texel(i, j) * (1 - ax) + texel(i + 1, j) * ax;
    const V4 bottom = texel(i, j + 1) * (1 - ax) + texel(i + 1, j + 1) * ax;
    return top * (1 - ay) + bottom * ay;
}

// ---- Quaternion Julia ray march (juliaPS) ----

// Quaternions with the real part in x.
inline V4 QuatMul(V4 q, V4 p) {
    const V3 qv = {q.y, q.z, q.w}, pv = {p.y, p.z, p.w};
    const V3 c = {qv.y * pv.z - qv.z * pv.y, qv.z * pv.x - qv.x * pv.z, qv.x * pv.y - qv.y * pv.x};
    const V3 v = pv * q.x + qv * p.x + c;
    return {q.x * p.x - Dot(qv, pv), v.x, v.y, v.z};
}

inline V4 QuatSq(V4 q) {
    return {q.x * q.x - (q.y * q.y + q.z * q.z + q.w * q.w), 2 * q.x * q.y, 2 * q.x * q.z,
            2 * q.x * q.w};
}

constexpr float kJuliaEpsilon = 0.003f;

inline float JuliaDistance(V3 p, V4 k) {
    V4 z = {p.x, p.y, p.z, 0};
    V4 dz = {1, 0, 0, 0};
    for (int n = 0; n < 10 && Dot4(z, z) < 10; ++n) {
        dz = QuatMul(z, dz) * 2.0f;
        z = QuatSq(z) + k;
    }
    const float r = std::sqrt(Dot4(z, z));
    return 0.5f * r * std::log(r) / std::sqrt(Dot4(dz, dz));
}

// Marches p along dir; returns the last distance estimate (below epsilon: a hit).
inline float JuliaMarch(V3& p, V3 dir, V4 k) {
    float d = 1;
    for (int n = 0; n < 512 && d >= kJuliaEpsilon && Dot(p, p) < 3; ++n) {
        d = JuliaDistance(p, k);
        p = p + dir * d;
    }
    return d;
}

inline float JuliaModulus(V3 p, V4 k) {
    V4 z = {p.x, p.y, p.z, 0};
    for (int n = 0; n < 10; ++n) z = QuatSq(z) + k;
    return std::sqrt(Dot4(z, z));
}

inline V3 JuliaNormal(V3 p, V4 k) {
    const float h = 1e-6f;
    return Normalize({JuliaModulus(p + V3{h, 0, 0}, k) - JuliaModulus(p - V3{h, 0, 0}, k),
                      JuliaModulus(p + V3{0, h, 0}, k) - JuliaModulus(p - V3{0, h, 0}, k),
                      JuliaModulus(p + V3{0, 0, h}, k) - JuliaModulus(p - V3{0, 0, h}, k)});
}

struct JuliaResult {
    bool hit;
    bool shadowed;
    V3 point;  // where the march stopped
    V4 colour;
};

// The pixel at (x, y) (pixel centres at .5) of a w x h target, with the host viewProj, the eye
// and light positions, the colour (options[1]) and the Julia constant (options[2]).
inline JuliaResult JuliaPixel(float x, float y, float w, float h, const float viewProj[16], V3 eye,
                              V3 light, V4 colour, V4 k) {
    const V2 i = {(x - w / 2) / (h / 2) * 3, (y - h / 2) / (w / 2) * 3};
    const V3 dir = MatrixTimesColumn(viewProj, {i.x, -i.y, 1});
    V3 p = eye * 0.5f;
    JuliaResult r{false, false, p, {0, 0, 0, 0}};
    if (JuliaMarch(p, dir, k) >= kJuliaEpsilon) {
        r.point = p;
        return r;
    }
    const V3 n = JuliaNormal(p, k);
    const V3 toLight = Normalize(light - p);
    const float shade = Dot(n, toLight) + 0.5f;
    V3 q = p + n * (2 * kJuliaEpsilon);
    r.hit = true;
    r.point = p;
    r.shadowed = JuliaMarch(q, toLight, k) < kJuliaEpsilon;
    const float dim = r.shadowed ? 0.5f : 1.0f;
    r.colour = {colour.x * shade * dim, colour.y * shade * dim, colour.z * shade * dim, 1};
    return r;
}

}  // namespace quixo::reference
