#include "platform/font_outline.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>

#include "platform/message_box.h"

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

constexpr const char* kSansFamily = "Liberation Sans";
constexpr const char* kDebianSansPath =
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";

bool IsRegularSans(FcPattern* pattern) {
    bool familyMatches = false;
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &family) == FcResultMatch; ++i) {
        if (std::strcmp(reinterpret_cast<const char*>(family), kSansFamily) == 0) {
            familyMatches = true;
        }
    }
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(pattern, FC_WEIGHT, 0, &weight);
    FcPatternGetInteger(pattern, FC_SLANT, 0, &slant);
    return familyMatches && weight == FC_WEIGHT_REGULAR && slant == FC_SLANT_ROMAN;
}

// fontconfig answers every query with its best match, which is some other face when the one
// asked for is missing: only a match of the right family and style counts.
std::string AskFontconfig() {
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (config == nullptr) return {};
    std::string path;
    FcPattern* query = FcNameParse(reinterpret_cast<const FcChar8*>("Liberation Sans:regular"));
    if (query != nullptr) {
        FcConfigSubstitute(config, query, FcMatchPattern);
        FcDefaultSubstitute(query);
        FcResult result = FcResultNoMatch;
        FcPattern* match = FcFontMatch(config, query, &result);
        FcChar8* file = nullptr;
        if (match != nullptr && IsRegularSans(match) &&
            FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
            path = reinterpret_cast<const char*>(file);
        }
        if (match != nullptr) FcPatternDestroy(match);
        FcPatternDestroy(query);
    }
    FcConfigDestroy(config);
    return path;
}

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

std::string FindSansFontFile() {
    std::string path = AskFontconfig();
    std::error_code error;
    if (!path.empty() && std::filesystem::is_regular_file(path, error)) return path;
    if (std::filesystem::is_regular_file(kDebianSansPath, error)) return kDebianSansPath;
    return {};
}

const OutlineFont& OpenOutlineFont(const std::string& path) {
    // Faces stay open for the whole run; opening the same file twice hands out the same face.
    static std::mutex lock;
    static std::map<std::string, std::unique_ptr<OutlineFont>> open;
    std::lock_guard<std::mutex> guard(lock);
    auto& slot = open[path];
    if (slot) return *slot;
    auto font = std::make_unique<OutlineFont>();
    if (FT_Init_FreeType(&font->library) != 0) FatalError("cannot start the FreeType library");
    if (FT_New_Face(font->library, path.c_str(), 0, &font->face) != 0 ||
        !FT_IS_SCALABLE(font->face) || font->face->units_per_EM == 0) {
        FatalError("cannot read the font file " + path + " as a scalable font");
    }
    font->unitsPerEm = static_cast<float>(font->face->units_per_EM);
    slot = std::move(font);
    return *slot;
}

const OutlineFont& SansOutlineFont() {
    static const OutlineFont& font = [&]() -> const OutlineFont& {
        const std::string path = FindSansFontFile();
        if (path.empty()) {
            FatalError(
                "the font Liberation Sans Regular is not installed (neither fontconfig nor " +
                std::string(kDebianSansPath) +
                " has it); install the package fonts-liberation to make the 3D text");
        }
        return OpenOutlineFont(path);
    }();
    return font;
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
