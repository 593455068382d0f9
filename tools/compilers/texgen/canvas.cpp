#include "canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include <spng.h>

#include <algorithm>
#include <cmath>

namespace texgen {

Canvas::Canvas(int w, int h, Colour fill)
    : width(w), height(h), pixels(static_cast<size_t>(w) * h, fill) {}

void Blend(Colour& dst, const Colour& c, float coverage) {
    const float a = std::clamp(c.a * coverage, 0.0f, 1.0f);
    if (a <= 0.0f) return;
    const float outA = a + dst.a * (1.0f - a);
    auto mix = [&](float s, float d) {
        return outA > 0.0f ? (s * a + d * dst.a * (1.0f - a)) / outA : 0.0f;
    };
    dst = {mix(c.r, dst.r), mix(c.g, dst.g), mix(c.b, dst.b), outA};
}

void FillRect(Canvas& canvas, float x0, float y0, float x1, float y1, const Colour& c) {
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0)));
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0)));
    const int ix1 = std::min(canvas.width, static_cast<int>(std::ceil(x1)));
    const int iy1 = std::min(canvas.height, static_cast<int>(std::ceil(y1)));
    for (int y = iy0; y < iy1; ++y) {
        const float cy = std::clamp(std::min(y + 1.0f, y1) - std::max(float(y), y0), 0.0f, 1.0f);
        for (int x = ix0; x < ix1; ++x) {
            const float cx =
                std::clamp(std::min(x + 1.0f, x1) - std::max(float(x), x0), 0.0f, 1.0f);
            Blend(canvas.at(x, y), c, cx * cy);
        }
    }
}

namespace {

template <typename Coverage>
void Shade(Canvas& canvas, float cx, float cy, float reach, const Colour& c, Coverage coverage) {
    const int x0 = std::max(0, static_cast<int>(cx - reach));
    const int x1 = std::min(canvas.width, static_cast<int>(cx + reach) + 1);
    const int y0 = std::max(0, static_cast<int>(cy - reach));
    const int y1 = std::min(canvas.height, static_cast<int>(cy + reach) + 1);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            const float d = std::hypot(x + 0.5f - cx, y + 0.5f - cy);
            const float k = coverage(d);
            if (k > 0.0f) Blend(canvas.at(x, y), c, k);
        }
    }
}

}  // namespace

void FillDisc(Canvas& canvas, float cx, float cy, float radius, float feather, const Colour& c) {
    const float f = std::max(feather, 1.0f);
    Shade(canvas, cx, cy, radius + f, c,
          [&](float d) { return std::clamp((radius + f * 0.5f - d) / f, 0.0f, 1.0f); });
}

void StrokeRing(Canvas& canvas, float cx, float cy, float radius, float width, const Colour& c) {
    Shade(canvas, cx, cy, radius + width, c, [&](float d) {
        return std::clamp(width * 0.5f + 0.5f - std::fabs(d - radius), 0.0f, 1.0f);
    });
}

void Glow(Canvas& canvas, float cx, float cy, float radius, float sharpness, const Colour& c) {
    Shade(canvas, cx, cy, radius * 3.0f, c, [&](float d) {
        const float q = d / radius;
        return std::exp(-q * q * sharpness);
    });
}

bool DrawText(Canvas& canvas, const std::string& text, float cx, float cy, float emPixels,
              const Colour& c, bool bold, std::string& error) {
    // One library per call: FreeType libraries must not be shared between threads.
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        error = "cannot start FreeType";
        return false;
    }
    const char* path = bold ? "/usr/share/fonts/truetype/liberation/LiberationSans-Bold.ttf"
                            : "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
    FT_Face face = nullptr;
    if (FT_New_Face(library, path, 0, &face) != 0) {
        error = std::string("cannot load the font ") + path + " (install fonts-liberation)";
        FT_Done_FreeType(library);
        return false;
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(emPixels));
    // Measure, then draw centred on the pen's box: advance width across, cap height up.
    float width = 0.0f;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_DEFAULT) == 0) width += face->glyph->advance.x / 64.0f;
    }
    const float capHeight = emPixels * 0.72f;
    float penX = cx - width * 0.5f;
    const float baseline = cy + capHeight * 0.5f;
    for (unsigned char ch : text) {
        if (FT_Load_Char(face, ch, FT_LOAD_RENDER) != 0) continue;
        const FT_Bitmap& bm = face->glyph->bitmap;
        const int left = static_cast<int>(penX) + face->glyph->bitmap_left;
        const int top = static_cast<int>(baseline) - face->glyph->bitmap_top;
        for (unsigned row = 0; row < bm.rows; ++row) {
            for (unsigned col = 0; col < bm.width; ++col) {
                const int x = left + static_cast<int>(col), y = top + static_cast<int>(row);
                if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) continue;
                const float k = bm.buffer[row * bm.pitch + col] / 255.0f;
                if (k > 0.0f) Blend(canvas.at(x, y), c, k);
            }
        }
        penX += face->glyph->advance.x / 64.0f;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return true;
}

void Blur(Canvas& canvas, int radius, int passes) {
    std::vector<Colour> line;
    auto pass = [&](int count, int length, auto get) {
        line.resize(length);
        for (int n = 0; n < count; ++n) {
            for (int p = 0; p < passes; ++p) {
                for (int i = 0; i < length; ++i) line[i] = get(n, i);
                Colour sum{0, 0, 0, 0};
                const float norm = 1.0f / (2 * radius + 1);
                auto add = [&](const Colour& a, float s) {
                    sum.r += a.r * a.a * s;
                    sum.g += a.g * a.a * s;
                    sum.b += a.b * a.a * s;
                    sum.a += a.a * s;
                };
                for (int i = -radius; i <= radius; ++i) add(line[std::clamp(i, 0, length - 1)], 1);
                for (int i = 0; i < length; ++i) {
                    Colour& out = get(n, i);
                    const float a = sum.a * norm;
                    out = a > 0.0f ? Colour{sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, a}
                                   : Colour{0, 0, 0, 0};
                    add(line[std::min(i + radius + 1, length - 1)], 1);
                    add(line[std::max(i - radius, 0)], -1);
                }
            }
        }
    };
    pass(canvas.height, canvas.width, [&](int y, int x) -> Colour& { return canvas.at(x, y); });
    pass(canvas.width, canvas.height, [&](int x, int y) -> Colour& { return canvas.at(x, y); });
}

std::vector<std::uint8_t> EncodePng(const Canvas& canvas, int channels, std::string& error) {
    std::vector<std::uint8_t> raw(static_cast<size_t>(canvas.width) * canvas.height * channels);
    size_t o = 0;
    auto byte = [](float v) {
        return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    };
    for (const Colour& p : canvas.pixels) {
        raw[o++] = byte(p.r);
        raw[o++] = byte(p.g);
        raw[o++] = byte(p.b);
        if (channels == 4) raw[o++] = byte(p.a);
    }
    spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
    spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = static_cast<uint32_t>(canvas.width);
    ihdr.height = static_cast<uint32_t>(canvas.height);
    ihdr.bit_depth = 8;
    ihdr.color_type = channels == 4 ? SPNG_COLOR_TYPE_TRUECOLOR_ALPHA : SPNG_COLOR_TYPE_TRUECOLOR;
    spng_set_ihdr(ctx, &ihdr);
    std::vector<std::uint8_t> png;
    int rc = spng_encode_image(ctx, raw.data(), raw.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
    if (rc != 0) {
        error = std::string("PNG encoding failed: ") + spng_strerror(rc);
    } else {
        size_t length = 0;
        void* buffer = spng_get_png_buffer(ctx, &length, &rc);
        if (buffer == nullptr) {
            error = std::string("PNG encoding failed: ") + spng_strerror(rc);
        } else {
            png.assign(static_cast<std::uint8_t*>(buffer),
                       static_cast<std::uint8_t*>(buffer) + length);
            free(buffer);
        }
    }
    spng_ctx_free(ctx);
    return png;
}

float Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed) {
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0f;
}

}  // namespace texgen
