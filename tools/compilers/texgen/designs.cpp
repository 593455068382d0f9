// The 29 textures of the show, drawn procedurally: object surfaces, title cards, palettes of
// the four machines, sprites. Shapes and patterns in the spirit of the eighties home
// computers; no real trademark art.
#include "designs.h"

#include <algorithm>
#include <cmath>

namespace texgen {

namespace {

constexpr float kPi = 3.14159265f;

const Colour kWhite{1, 1, 1, 1};
const Colour kRed{0.86f, 0.08f, 0.1f, 1};
const Colour kC64Light{0.55f, 0.55f, 0.95f, 1};
const Colour kC64Dark{0.25f, 0.2f, 0.7f, 1};
const Colour kAmber{1.0f, 0.72f, 0.25f, 1};
// The four bright colours of the Spectrum's rainbow flash.
const Colour kSpectrumBands[4] = {
    {0.85f, 0, 0, 1}, {0.9f, 0.85f, 0, 1}, {0, 0.8f, 0, 1}, {0, 0.8f, 0.9f, 1}};

Colour Mix(const Colour& a, const Colour& b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

// A rainbow stripe colour of the kind the eighties machines drew in raster bars.
Colour Rainbow(float t) {
    const float r = 0.5f + 0.5f * std::cos(2 * kPi * (t + 0.0f));
    const float g = 0.5f + 0.5f * std::cos(2 * kPi * (t + 0.33f));
    const float b = 0.5f + 0.5f * std::cos(2 * kPi * (t + 0.67f));
    return {r, g, b, 1};
}

void Checker(Canvas& c, int cells, const Colour& a, const Colour& b) {
    const int cell = c.width / cells;
    for (int y = 0; y < c.height; ++y)
        for (int x = 0; x < c.width; ++x) c.at(x, y) = ((x / cell + y / cell) & 1) ? b : a;
}

void ScanlineMetal(Canvas& c, std::string&) {
    for (int y = 0; y < c.height; ++y) {
        const float band = 0.55f + 0.2f * std::sin(y * 0.05f) + ((y % 8) < 2 ? -0.12f : 0.0f);
        for (int x = 0; x < c.width; ++x) {
            const float n = Hash(x / 3, y, 7) * 0.08f;
            const float v = band + n;
            c.at(x, y) = {v * 0.9f, v * 0.95f, v, 1};
        }
    }
}

void AlphaGrid(Canvas& c, std::string&) {
    const int cell = 64;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const int dx = std::abs((x % cell) - cell / 2), dy = std::abs((y % cell) - cell / 2);
            const float edge = static_cast<float>(std::max(dx, dy)) / (cell / 2);
            const float a = edge > 0.9f ? 1.0f : std::pow(edge, 6.0f) * 0.5f;
            c.at(x, y) = {0.7f, 0.4f, 1.0f, a};
        }
    }
}

// A title card: large lettering with a soft glow, on transparent ground.
void TitleCard(Canvas& c, const std::string& text, float em, const Colour& ink, const Colour& glow,
               std::string& error) {
    DrawText(c, text, c.width * 0.5f, c.height * 0.5f, em, glow, true, error);
    Blur(c, 24, 3);
    DrawText(c, text, c.width * 0.5f, c.height * 0.5f, em, ink, true, error);
}

// A machine card: the name over stripes in the machine's colours.
void MachineCard(Canvas& c, const std::string& name, const Colour* stripes, int count,
                 std::string& error) {
    // Long names get smaller lettering so that they stay inside the card.
    const float em = c.height * std::min(0.2f, 1.5f / static_cast<float>(name.size()));
    const float y0 = c.height * 0.62f, h = c.height * 0.035f;
    for (int i = 0; i < count; ++i) {
        FillRect(c, c.width * 0.12f, y0 + i * h * 1.3f, c.width * 0.88f, y0 + i * h * 1.3f + h,
                 stripes[i]);
    }
    TitleCard(c, name, em, kWhite, stripes[0], error);
}

void Vignette(Canvas& c, std::string&) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float u = (x + 0.5f) / c.width - 0.5f, v = (y + 0.5f) / c.height - 0.5f;
            const float d = std::sqrt(u * u + v * v) * 1.41421f;
            c.at(x, y) = {0, 0, 0, std::clamp(std::pow(d, 2.5f), 0.0f, 1.0f) * 0.85f};
        }
    }
}

void CrtOverlay(Canvas& c, std::string&) {
    for (int y = 0; y < c.height; ++y) {
        const float line = (y % 4) < 2 ? 0.35f : 0.0f;
        for (int x = 0; x < c.width; ++x) {
            const int phase = x % 6;
            const Colour mask = phase < 2   ? Colour{1, 0.2f, 0.2f, 1}
                                : phase < 4 ? Colour{0.2f, 1, 0.2f, 1}
                                            : Colour{0.2f, 0.2f, 1, 1};
            c.at(x, y) = {mask.r * 0.1f, mask.g * 0.1f, mask.b * 0.1f, line + 0.08f};
        }
    }
}

void Backdrop(Canvas& c, std::string&) {
    const Colour top{0.02f, 0.02f, 0.08f, 1}, mid{0.25f, 0.05f, 0.35f, 1},
        bottom{0.95f, 0.45f, 0.2f, 1};
    for (int y = 0; y < c.height; ++y) {
        const float t = static_cast<float>(y) / (c.height - 1);
        const Colour row = t < 0.6f ? Mix(top, mid, t / 0.6f) : Mix(mid, bottom, (t - 0.6f) / 0.4f);
        for (int x = 0; x < c.width; ++x) {
            const float star = Hash(x, y, 3) > 0.9993f && t < 0.5f ? 0.8f : 0.0f;
            c.at(x, y) = {row.r + star, row.g + star, row.b + star, 1};
        }
    }
}

void C64Blues(Canvas& c, std::string&) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const bool border = x < 96 || x >= c.width - 96 || y < 96 || y >= c.height - 96;
            const bool glyph =
                !border && ((x / 16 + y / 16) % 5 == 0) && Hash(x / 16, y / 16, 5) > 0.5f;
            c.at(x, y) = border ? kC64Light : glyph ? kC64Light : kC64Dark;
        }
    }
}

void SpectrumStripes(Canvas& c, std::string&) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float d = (x + y) / 96.0f;
            const int i = static_cast<int>(d) % 6;
            c.at(x, y) = i < 4 ? kSpectrumBands[i] : Colour{0.05f, 0.05f, 0.05f, 1};
        }
    }
}

void CircuitBoard(Canvas& c, std::string&) {
    for (auto& p : c.pixels) p = {0.02f, 0.2f, 0.08f, 1};
    const Colour trace{0.75f, 0.6f, 0.2f, 1};
    for (int i = 0; i < 220; ++i) {
        float x = Hash(i, 1, 11) * c.width, y = Hash(i, 2, 11) * c.height;
        for (int seg = 0; seg < 5; ++seg) {
            const bool horizontal = Hash(i, seg, 13) > 0.5f;
            const float len = 40 + Hash(i, seg, 17) * 200;
            const float nx = horizontal ? x + len : x, ny = horizontal ? y : y + len;
            FillRect(c, std::min(x, nx) - 2, std::min(y, ny) - 2, std::max(x, nx) + 2,
                     std::max(y, ny) + 2, trace);
            x = nx;
            y = ny;
        }
        FillDisc(c, x, y, 6, 1.5f, trace);
    }
    for (int i = 0; i < 14; ++i) {
        const float x = Hash(i, 5, 19) * (c.width - 200), y = Hash(i, 6, 19) * (c.height - 100);
        FillRect(c, x, y, x + 180, y + 70, {0.06f, 0.06f, 0.07f, 1});
    }
}

void Noise(Canvas& c, std::string&) {
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            float v = 0, amp = 0.5f;
            for (int o = 0; o < 4; ++o) {
                const int s = 64 >> o;
                v += Hash(x / s, y / s, 23 + o) * amp;
                amp *= 0.5f;
            }
            c.at(x, y) = {v, v, v, 1};
        }
    }
    Blur(c, 3, 2);
}

void Flare(Canvas& c, const Colour& tint) {
    const float cx = c.width * 0.5f, cy = c.height * 0.5f;
    Glow(c, cx, cy, c.width * 0.12f, 1.0f, {tint.r, tint.g, tint.b, 0.8f});
    Glow(c, cx, cy, c.width * 0.03f, 1.0f, kWhite);
    // The streak thins out over the outer part of the width, so that it still ends softly
    // when a sprite draws the flare smaller than the frame.
    for (int x = 0; x < c.width; ++x) {
        const float u = std::fabs((x + 0.5f) / c.width * 2 - 1);
        const float thin = std::clamp((1 - u) / 0.45f, 0.0f, 1.0f);
        FillRect(c, x, cy - 6, x + 1, cy + 6, {tint.r, tint.g, tint.b, 0.35f * thin});
    }
    Blur(c, 8, 2);
}

void GlowDot(Canvas& c, std::string&) {
    Glow(c, c.width * 0.5f, c.height * 0.5f, c.width * 0.18f, 1.0f, kWhite);
}

void RingFlare(Canvas& c, std::string&) {
    StrokeRing(c, c.width * 0.5f, c.height * 0.5f, c.width * 0.36f, 40, {0.4f, 0.8f, 1.0f, 0.9f});
    Blur(c, 20, 3);
    StrokeRing(c, c.width * 0.5f, c.height * 0.5f, c.width * 0.36f, 10, kWhite);
}

// Silhouettes of home computers, drawn as plain shapes: a keyboard wedge with a key grid.
void KeyboardMachine(Canvas& c, const Colour& body, const Colour& keys, float depth,
                     const std::string& label, std::string& error) {
    const float w = c.width, h = c.height;
    FillRect(c, w * 0.1f, h * (0.55f - depth), w * 0.9f, h * 0.72f, body);
    for (int row = 0; row < 4; ++row) {
        for (int col = 0; col < 14; ++col) {
            const float x = w * (0.16f + col * 0.047f),
                        y = h * (0.58f - depth * 0.5f + row * 0.03f);
            FillRect(c, x, y, x + w * 0.038f, y + h * 0.022f, keys);
        }
    }
    DrawText(c, label, w * 0.5f, h * 0.69f, h * 0.03f, keys, true, error);
}

void CrtFrame(Canvas& c, std::string&) {
    const float w = c.width, h = c.height;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float u = std::fabs((x + 0.5f) / w - 0.5f) * 2,
                        v = std::fabs((y + 0.5f) / h - 0.5f) * 2;
            const float d = std::pow(std::pow(u, 6.0f) + std::pow(v, 6.0f), 1.0f / 6.0f);
            const float a = std::clamp((d - 0.88f) * 40.0f, 0.0f, 1.0f);
            c.at(x, y) = {0.12f, 0.11f, 0.1f, a};
        }
    }
}

void StarBurst(Canvas& c, std::string&) {
    const float cx = c.width * 0.5f, cy = c.height * 0.5f;
    for (int y = 0; y < c.height; ++y) {
        for (int x = 0; x < c.width; ++x) {
            const float dx = x - cx, dy = y - cy;
            const float r = std::sqrt(dx * dx + dy * dy) / (c.width * 0.5f);
            const float rays = std::pow(std::fabs(std::cos(std::atan2(dy, dx) * 6.0f)), 20.0f);
            const float a =
                std::clamp((rays * 0.8f + 0.2f) * std::exp(-r * 4.0f) * 1.5f, 0.0f, 1.0f);
            c.at(x, y) = {1.0f, 0.85f, 0.6f, a};
        }
    }
}

void Particle(Canvas& c, std::string&) {
    Glow(c, c.width * 0.5f, c.height * 0.5f, c.width * 0.2f, 1.2f, kWhite);
}

// The designs below are shared patterns given one texture's own text and colours.

void RedWhiteChecker(Canvas& c, std::string&) {
    Checker(c, 8, kRed, kWhite);
}

void GroupName(Canvas& c, std::string& error) {
    TitleCard(c, "TESSORIN", c.height * 0.16f, kWhite, kAmber, error);
}

void Presents(Canvas& c, std::string& error) {
    TitleCard(c, "presents", c.height * 0.12f, {0.8f, 0.9f, 1, 1}, {0.3f, 0.5f, 1, 1}, error);
}

void Title(Canvas& c, std::string& error) {
    TitleCard(c, "QUIXO", c.height * 0.3f, kWhite, {1, 0.3f, 0.6f, 1}, error);
}

void AmigaCard(Canvas& c, std::string& error) {
    const Colour s[3] = {kRed, kWhite, {0.3f, 0.2f, 0.8f, 1}};
    MachineCard(c, "AMIGA", s, 3, error);
}

void AtariCard(Canvas& c, std::string& error) {
    Colour s[6];
    for (int i = 0; i < 6; ++i) s[i] = Rainbow(i / 6.0f);
    MachineCard(c, "ATARI", s, 6, error);
}

void C64Card(Canvas& c, std::string& error) {
    const Colour s[3] = {kC64Light, kC64Dark, {0.4f, 0.35f, 0.9f, 1}};
    MachineCard(c, "C64", s, 3, error);
}

void SpectrumCard(Canvas& c, std::string& error) {
    MachineCard(c, "ZX-Spectrum", kSpectrumBands, 4, error);
}

void Credits(Canvas& c, std::string& error) {
    TitleCard(c, "CREDITS", c.height * 0.18f, kWhite, {0.3f, 0.9f, 0.8f, 1}, error);
}

void Greetings(Canvas& c, std::string& error) {
    TitleCard(c, "GREETINGS", c.height * 0.15f, kWhite, {1, 0.6f, 0.2f, 1}, error);
}

void WarmFlare(Canvas& c, std::string&) {
    Flare(c, {1.0f, 0.6f, 0.3f, 1});
}

void WedgeMachine(Canvas& c, std::string& error) {
    KeyboardMachine(c, {0.85f, 0.83f, 0.78f, 1}, {0.35f, 0.33f, 0.3f, 1}, 0.06f, "A-1000", error);
}

void BreadbinMachine(Canvas& c, std::string& error) {
    KeyboardMachine(c, {0.45f, 0.38f, 0.3f, 1}, {0.2f, 0.17f, 0.14f, 1}, 0.1f, "SIXTY-FOUR", error);
}

// The rubber-key machine has a red stripe along the right of its front edge.
void RubberKeyMachine(Canvas& c, std::string& error) {
    KeyboardMachine(c, {0.08f, 0.08f, 0.09f, 1}, {0.6f, 0.6f, 0.62f, 1}, 0.03f, "48K", error);
    FillRect(c, c.width * 0.62f, c.height * 0.7f, c.width * 0.88f, c.height * 0.715f,
             {0.85f, 0, 0, 1});
}

void ConsoleMachine(Canvas& c, std::string& error) {
    KeyboardMachine(c, {0.75f, 0.75f, 0.72f, 1}, {0.25f, 0.25f, 0.27f, 1}, 0.08f, "ST", error);
}

}  // namespace

// constexpr so that a row left out (its draw null) stops the build below.
constexpr TextureDesign kTextureDesigns[kTextureCount] = {
    {"checker", RedWhiteChecker},
    {"scanline metal", ScanlineMetal},
    {"alpha grid", AlphaGrid},
    {"group name", GroupName},
    {"presents", Presents},
    {"title", Title},
    {"AMIGA card", AmigaCard},
    {"ATARI card", AtariCard},
    {"C64 card", C64Card},
    {"ZX-Spectrum card", SpectrumCard},
    {"CREDITS", Credits},
    {"GREETINGS", Greetings},
    {"vignette", Vignette},
    {"CRT scanlines", CrtOverlay},
    {"backdrop", Backdrop},
    {"C64 blues", C64Blues},
    {"Spectrum stripes", SpectrumStripes},
    {"circuit board", CircuitBoard},
    {"noise", Noise},
    {"flare", WarmFlare, Alpha::Premultiplied},
    {"glow dot", GlowDot, Alpha::Premultiplied},
    {"ring flare", RingFlare, Alpha::Premultiplied},
    {"wedge machine", WedgeMachine},
    {"breadbin machine", BreadbinMachine},
    {"rubber-key machine", RubberKeyMachine},
    {"console machine", ConsoleMachine},
    {"CRT frame", CrtFrame},
    {"star burst", StarBurst, Alpha::Premultiplied},
    {"particle", Particle, Alpha::Premultiplied},
};

static_assert(
    [] {
        for (const TextureDesign& d : kTextureDesigns)
            if (d.name == nullptr || d.draw == nullptr) return false;
        return true;
    }(),
    "every texture needs a row in kTextureDesigns");

bool DrawTexture(int index, Canvas& c, std::string& error) {
    if (index < 0 || index >= kTextureCount) {
        error = "no design for texture " + std::to_string(index);
        return false;
    }
    kTextureDesigns[index].draw(c, error);
    if (kTextureDesigns[index].alpha == Alpha::Premultiplied) {
        // Additive sprites are also alpha-tested at 0.5, so a falling alpha would end the glow
        // in a hard disc: the colour carries the whole falloff, and alpha is full wherever any
        // light is left once stored in 8 bits (and zero where none is, so nothing is drawn).
        constexpr float kDarkest = 0.5f / 255.0f;
        for (Colour& p : c.pixels) {
            p = {p.r * p.a, p.g * p.a, p.b * p.a, p.a};
            p.a = std::max({p.r, p.g, p.b}) >= kDarkest ? 1.0f : 0.0f;
        }
    }
    return error.empty();
}

}  // namespace texgen
