#include "platform/font_outline.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <memory>

#include "platform/message_box.h"

QUIXO_DECLARE_BLOB(sans_font);

namespace quixo {

struct OutlineFont {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    float unitsPerEm = 1;

    OutlineFont() = default;
    OutlineFont(const OutlineFont&) = delete;
    OutlineFont& operator=(const OutlineFont&) = delete;
    ~OutlineFont() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

namespace {

OutlinePoint ToEm(const FT_Vector* v, float unitsPerEm) {
    return {static_cast<float>(v->x) / unitsPerEm, static_cast<float>(v->y) / unitsPerEm};
}

struct DecomposeState {
    GlyphOutline* glyph;
    float unitsPerEm;
};

DecomposeState& State(void* user) {
    return *static_cast<DecomposeState*>(user);
}

void AddSegment(void* user, OutlineSegmentKind kind, const FT_Vector* c0, const FT_Vector* c1,
                const FT_Vector* to) {
    DecomposeState& s = State(user);
    OutlineSegment segment{kind, {{0, 0}, {0, 0}}, ToEm(to, s.unitsPerEm)};
    if (c0 != nullptr) segment.control[0] = ToEm(c0, s.unitsPerEm);
    if (c1 != nullptr) segment.control[1] = ToEm(c1, s.unitsPerEm);
    s.glyph->contours.back().segments.push_back(segment);
}

int MoveTo(const FT_Vector* to, void* user) {
    DecomposeState& s = State(user);
    s.glyph->contours.push_back({ToEm(to, s.unitsPerEm), {}});
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    AddSegment(user, OutlineSegmentKind::Line, nullptr, nullptr, to);
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    AddSegment(user, OutlineSegmentKind::Conic, control, nullptr, to);
    return 0;
}

int CubicTo(const FT_Vector* c0, const FT_Vector* c1, const FT_Vector* to, void* user) {
    AddSegment(user, OutlineSegmentKind::Cubic, c0, c1, to);
    return 0;
}

// The same closed path travelled the other way.
OutlineContour Reversed(const OutlineContour& contour) {
    OutlineContour out{contour.start, {}};
    const auto& segs = contour.segments;
    for (std::size_t k = segs.size(); k-- > 0;) {
        const OutlinePoint from = k == 0 ? contour.start : segs[k - 1].end;
        OutlineSegment s = segs[k];
        if (s.kind == OutlineSegmentKind::Cubic) std::swap(s.control[0], s.control[1]);
        s.end = from;
        out.segments.push_back(s);
    }
    return out;
}

}  // namespace

Blob SansFontFile() {
    return QUIXO_BLOB(sans_font);
}

const OutlineFont& SansOutlineFont() {
    // Opened once, thread-safely, and never closed: text is built from it at any time.
    static const std::unique_ptr<OutlineFont> font = [] {
        auto opened = std::make_unique<OutlineFont>();
        const Blob file = SansFontFile();
        if (FT_Init_FreeType(&opened->library) != 0)
            FatalError("cannot start the FreeType library");
        if (FT_New_Memory_Face(opened->library, file.data, static_cast<FT_Long>(file.size), 0,
                               &opened->face) != 0 ||
            !FT_IS_SCALABLE(opened->face) || opened->face->units_per_EM == 0) {
            FatalError("the built-in font cannot be read as a scalable font");
        }
        opened->unitsPerEm = static_cast<float>(opened->face->units_per_EM);
        return opened;
    }();
    return *font;
}

GlyphOutline LoadGlyphOutline(const OutlineFont& font, std::uint32_t code) {
    GlyphOutline glyph;
    FT_Face face = font.face;
    const FT_UInt index = FT_Get_Char_Index(face, code);
    // Unscaled and unhinted: the outline exactly as designed, in font units.
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP) !=
        0) {
        return glyph;
    }
    glyph.advance = static_cast<float>(face->glyph->advance.x) / font.unitsPerEm;
    FT_Outline* outline = &face->glyph->outline;
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE || outline->n_contours == 0) return glyph;

    const FT_Outline_Funcs funcs{MoveTo, LineTo, ConicTo, CubicTo, 0, 0};
    DecomposeState state{&glyph, font.unitsPerEm};
    if (FT_Outline_Decompose(outline, &funcs, &state) != 0) {
        glyph.contours.clear();
        return glyph;
    }
    if (FT_Outline_Get_Orientation(outline) == FT_ORIENTATION_POSTSCRIPT) {
        for (auto& contour : glyph.contours) contour = Reversed(contour);
    }
    return glyph;
}

}  // namespace quixo
