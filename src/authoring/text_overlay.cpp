#include "authoring/text_overlay.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>

#include "platform/font_outline.h"
#include "platform/message_box.h"

namespace quixo {

namespace {

constexpr char32_t kReplacement = 0xfffd;

// A glyph rendered at one size: its coverage bitmap, placed from the pen on the baseline.
struct Glyph {
    int left = 0, top = 0;  // the bitmap's top-left pixel: right of and up from the pen
    int width = 0, rows = 0;
    int advance = 0;  // whole pixels
    std::vector<std::uint8_t> coverage;
};

// Vertical metrics of one size, in whole pixels.
struct RowMetrics {
    int baseline;  // from the top of a row
    int height;
};

// A face of its own rather than the 3D text's: that one is read unscaled, this one is set to a
// pixel size. Rendered glyphs are kept, since the preview redraws its panel every frame.
struct OverlayFont {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int size = 0;  // the pixel size the face is set to
    std::map<std::pair<int, char32_t>, Glyph> glyphs;
    std::mutex lock;

    explicit OverlayFont(Blob file) {
        if (FT_Init_FreeType(&library) != 0) FatalError("cannot start the FreeType library");
        if (FT_New_Memory_Face(library, file.data, static_cast<FT_Long>(file.size), 0, &face) !=
                0 ||
            !FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
            FatalError("the built-in font cannot be read as a scalable font");
        }
    }
    OverlayFont(const OverlayFont&) = delete;
    OverlayFont& operator=(const OverlayFont&) = delete;
    ~OverlayFont() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }

    const Glyph& GlyphOf(int pixelHeight, char32_t code) {
        auto [it, added] = glyphs.try_emplace({pixelHeight, code});
        if (!added) return it->second;
        if (size != pixelHeight) {
            FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));
            size = pixelHeight;
        }
        if (FT_Load_Char(face, code, FT_LOAD_RENDER) != 0) return it->second;
        const FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        Glyph& g = it->second;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(bitmap.width);
        g.rows = static_cast<int>(bitmap.rows);
        g.advance = static_cast<int>((slot->advance.x + 32) >> 6);
        g.coverage.resize(static_cast<std::size_t>(g.width) * g.rows);
        for (int r = 0; r < g.rows; ++r) {
            std::copy_n(bitmap.buffer + static_cast<std::ptrdiff_t>(r) * bitmap.pitch, g.width,
                        g.coverage.begin() + static_cast<std::ptrdiff_t>(r) * g.width);
        }
        return g;
    }

    RowMetrics Rows(int pixelHeight) const {
        const double scale = static_cast<double>(pixelHeight) / face->units_per_EM;
        return {static_cast<int>(std::lround(face->ascender * scale)),
                static_cast<int>(std::lround((face->ascender - face->descender) * scale))};
    }
};

OverlayFont& Font() {
    static OverlayFont font(SansFontFile());
    return font;
}

// The next character of UTF-8 text from `at`, which it moves past; a malformed sequence reads
// as one replacement character for its first byte.
char32_t NextCharacter(const std::string& text, std::size_t& at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at++);
    if (lead < 0x80) return lead;
    const int extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc2 ? 1 : 0;
    if (extra == 0 || lead > 0xf4 || at + extra > text.size()) return kReplacement;
    char32_t code = lead & (0x3fu >> extra);
    for (int k = 0; k < extra; ++k) {
        if ((byte(at + k) & 0xc0) != 0x80) return kReplacement;
        code = (code << 6) | (byte(at + k) & 0x3f);
    }
    at += extra;
    return code;
}

struct PlacedGlyph {
    const Glyph* glyph;
    int pen;
};

// The glyphs of the characters of `text` that fit one after another in `room` pixels.
struct LineLayout {
    std::vector<PlacedGlyph> glyphs;
    int width = 0;          // of the whole text, shown or not
    std::size_t bytes = 0;  // of the text the glyphs show
};

LineLayout LayOutLine(OverlayFont& font, const std::string& text, int pixelHeight, int room) {
    LineLayout line;
    bool cut = false;
    for (std::size_t at = 0; at < text.size();) {
        const Glyph& g = font.GlyphOf(pixelHeight, NextCharacter(text, at));
        cut = cut || line.width + g.advance > room;
        if (!cut) {
            line.glyphs.push_back({&g, line.width});
            line.bytes = at;
        }
        line.width += g.advance;
    }
    return line;
}

// Mixes the colour over the pixels the glyph covers, its pen at (x, baseline y), clipped.
void DrawGlyph(OverlayImage& image, const Glyph& g, int x, int y, const std::uint8_t* rgb) {
    for (int r = 0; r < g.rows; ++r) {
        const int py = y - g.top + r;
        if (py < 0 || py >= image.height) continue;
        for (int c = 0; c < g.width; ++c) {
            const int px = x + g.left + c;
            const unsigned a = g.coverage[static_cast<std::size_t>(r) * g.width + c];
            if (px < 0 || px >= image.width || a == 0) continue;
            std::uint8_t* p = &image.rgba[(static_cast<std::size_t>(py) * image.width + px) * 4];
            for (int k = 0; k < 3; ++k)
                p[k] = static_cast<std::uint8_t>((p[k] * (255 - a) + rgb[k] * a + 127) / 255);
        }
    }
}

int ValidSize(int pixelHeight) {
    return std::clamp(pixelHeight, 1, 1024);
}

}  // namespace

OverlayImage DrawOverlayText(const std::vector<OverlayLine>& lines, const OverlayStyle& style,
                             int maxWidth) {
    OverlayFont& font = Font();
    std::lock_guard<std::mutex> guard(font.lock);
    const int size = ValidSize(style.pixelHeight);
    const int margin = std::max(style.margin, 0);
    const int room = std::max(maxWidth, 1) - 2 * margin;
    std::vector<LineLayout> laid;
    int widest = 0;
    for (const OverlayLine& line : lines) {
        laid.push_back(LayOutLine(font, line.text, size, room));
        widest = std::max(widest, laid.back().width);
    }
    const RowMetrics rows = font.Rows(size);
    OverlayImage image;
    image.width = std::min(widest + 2 * margin, std::max(maxWidth, 1));
    image.height = static_cast<int>(lines.size()) * rows.height + 2 * margin;
    image.rgba.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    for (std::size_t i = 0; i < image.rgba.size(); i += 4) {
        image.rgba[i] = style.red;
        image.rgba[i + 1] = style.green;
        image.rgba[i + 2] = style.blue;
        image.rgba[i + 3] = 255;
    }
    for (std::size_t l = 0; l < lines.size(); ++l) {
        const std::uint8_t rgb[3] = {lines[l].red, lines[l].green, lines[l].blue};
        const int baseline = margin + static_cast<int>(l) * rows.height + rows.baseline;
        for (const PlacedGlyph& g : laid[l].glyphs)
            DrawGlyph(image, *g.glyph, margin + g.pen, baseline, rgb);
    }
    return image;
}

std::size_t OverlayFitLength(const std::string& text, int pixelHeight, int width) {
    OverlayFont& font = Font();
    std::lock_guard<std::mutex> guard(font.lock);
    return LayOutLine(font, text, ValidSize(pixelHeight), width).bytes;
}

}  // namespace quixo
