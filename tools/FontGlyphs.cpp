#include "tools/FontGlyphs.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cstdio>

struct GlyphFont::Library {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
};

namespace {

// Lines per curve: fine enough that the flattening itself adds no visible
// error at the sizes of the cell; the simplifier then keeps what matters.
constexpr int kConicSteps = 16;
constexpr int kCubicSteps = 24;

struct Flattener {
    std::vector<OutlinePath>* paths;
    OutlinePoint current{0.0, 0.0};

    void Add(OutlinePoint point) {
        paths->back().push_back(point);
        current = point;
    }
};

OutlinePoint ToPoint(const FT_Vector* vector) {
    return {static_cast<double>(vector->x), static_cast<double>(vector->y)};
}

int MoveTo(const FT_Vector* to, void* user) {
    auto* flattener = static_cast<Flattener*>(user);
    flattener->paths->emplace_back();
    flattener->Add(ToPoint(to));
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    static_cast<Flattener*>(user)->Add(ToPoint(to));
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    auto* flattener = static_cast<Flattener*>(user);
    const OutlinePoint p0 = flattener->current;
    const OutlinePoint p1 = ToPoint(control);
    const OutlinePoint p2 = ToPoint(to);
    for (int step = 1; step <= kConicSteps; ++step) {
        const double t = static_cast<double>(step) / kConicSteps;
        const double u = 1.0 - t;
        flattener->Add({u * u * p0.x + 2 * u * t * p1.x + t * t * p2.x, u * u * p0.y + 2 * u * t * p1.y + t * t * p2.y});
    }
    return 0;
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    auto* flattener = static_cast<Flattener*>(user);
    const OutlinePoint p0 = flattener->current;
    const OutlinePoint p1 = ToPoint(control1);
    const OutlinePoint p2 = ToPoint(control2);
    const OutlinePoint p3 = ToPoint(to);
    for (int step = 1; step <= kCubicSteps; ++step) {
        const double t = static_cast<double>(step) / kCubicSteps;
        const double u = 1.0 - t;
        const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
        flattener->Add({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
    }
    return 0;
}

std::string CharacterName(char32_t character) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}

}  // namespace

GlyphFont::GlyphFont() : library_(new Library) {}

GlyphFont::~GlyphFont() {
    if (library_->face) FT_Done_Face(library_->face);
    if (library_->library) FT_Done_FreeType(library_->library);
    delete library_;
}

bool GlyphFont::Open(const std::string& path, std::string& error, long faceIndex) {
    if (!library_->library && FT_Init_FreeType(&library_->library) != 0) {
        error = "FreeType could not start";
        return false;
    }
    if (library_->face) {
        FT_Done_Face(library_->face);
        library_->face = nullptr;
    }
    if (FT_New_Face(library_->library, path.c_str(), faceIndex, &library_->face) != 0) {
        library_->face = nullptr;
        error = "cannot read " + path + " as a font";
        return false;
    }
    if (!FT_IS_SCALABLE(library_->face)) {
        error = path + " holds no outlines (a bitmap font)";
        return false;
    }
    if (FT_Select_Charmap(library_->face, FT_ENCODING_UNICODE) != 0) {
        error = path + " has no Unicode character map";
        return false;
    }
    return true;
}

double GlyphFont::CapitalHeight() const {
    FT_Face face = library_->face;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->sCapHeight > 0) return os2->sCapHeight;
    std::vector<OutlinePath> paths;
    std::string reason;
    if (Outline(U'H', paths, reason)) {
        double top = 0.0;
        for (const OutlinePath& path : paths)
            for (const OutlinePoint& point : path) top = std::max(top, point.y);
        if (top > 0.0) return top;
    }
    return face->units_per_EM * 0.7;
}

bool GlyphFont::Outline(char32_t character, std::vector<OutlinePath>& paths, std::string& reason) const {
    paths.clear();
    FT_Face face = library_->face;
    if (!face) {
        reason = "no font is open";
        return false;
    }
    const FT_UInt index = FT_Get_Char_Index(face, character);
    if (index == 0) {
        reason = "the font has no glyph for " + CharacterName(character);
        return false;
    }
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) {
        reason = "FreeType cannot load the glyph for " + CharacterName(character);
        return false;
    }
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        reason = "the glyph for " + CharacterName(character) + " is not an outline";
        return false;
    }
    FT_Outline_Funcs functions{};
    functions.move_to = MoveTo;
    functions.line_to = LineTo;
    functions.conic_to = ConicTo;
    functions.cubic_to = CubicTo;
    Flattener flattener{&paths};
    if (FT_Outline_Decompose(&face->glyph->outline, &functions, &flattener) != 0) {
        reason = "FreeType cannot walk the outline of " + CharacterName(character);
        return false;
    }
    return true;
}

MadeGlyph GlyphFont::Make(char32_t character, const MakeOptions& options) const {
    MadeGlyph made;
    std::vector<OutlinePath> paths;
    if (!Outline(character, paths, made.fit.reason)) return made;

    double left = 0.0, right = 0.0;
    bool any = false;
    for (const OutlinePath& path : paths) {
        for (const OutlinePoint& point : path) {
            left = any ? std::min(left, point.x) : point.x;
            right = any ? std::max(right, point.x) : point.x;
            any = true;
        }
    }
    if (!any) {
        made.fit.reason = "the character has no outline to show";
        return made;
    }
    double scale = options.capitalHeight / CapitalHeight();
    if ((right - left) * scale > options.maximumWidth) {
        scale = options.maximumWidth / (right - left);
        made.narrowed = true;
    }
    const double middle = (left + right) / 2.0;
    const double baseline = -options.capitalHeight / 2.0;
    for (OutlinePath& path : paths)
        for (OutlinePoint& point : path) point = {(point.x - middle) * scale, point.y * scale + baseline};
    made.fit = FitGlyph(paths, options.allowCrossings);
    return made;
}
