#include "glyphs/linux/FontGlyphs.h"

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

// The callbacks of FT_Outline_Decompose, each adding to the last contour.
OutlinePoint ToPoint(const FT_Vector* vector) {
    return {static_cast<double>(vector->x), static_cast<double>(vector->y)};
}

int MoveTo(const FT_Vector* to, void* user) {
    static_cast<CharacterOutline*>(user)->push_back({ToPoint(to), {}});
    return 0;
}

int LineTo(const FT_Vector* to, void* user) {
    static_cast<CharacterOutline*>(user)->back().segments.push_back({0, {}, ToPoint(to)});
    return 0;
}

int ConicTo(const FT_Vector* control, const FT_Vector* to, void* user) {
    static_cast<CharacterOutline*>(user)->back().segments.push_back({1, {ToPoint(control), {}}, ToPoint(to)});
    return 0;
}

int CubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user) {
    static_cast<CharacterOutline*>(user)->back().segments.push_back({2, {ToPoint(control1), ToPoint(control2)}, ToPoint(to)});
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
    // Glyphs are scaled by the em (through the capital height): a font
    // without one cannot be scaled at all.
    if (library_->face->units_per_EM == 0) {
        error = path + " gives 0 units per em";
        return false;
    }
    return true;
}

FontMetrics GlyphFont::Metrics() const {
    FontMetrics metrics;
    FT_Face face = library_->face;
    if (!face) return metrics;
    metrics.unitsPerEm = face->units_per_EM;
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version >= 2 && os2->sCapHeight > 0) metrics.capitalHeight = os2->sCapHeight;
    CharacterOutline letterH;
    std::string reason;
    if (metrics.capitalHeight <= 0.0 && Outline(U'H', letterH, reason)) metrics.letterHTop = OutlineTop(letterH);
    return metrics;
}

bool GlyphFont::HasCharacter(char32_t character) const {
    return library_->face && FT_Get_Char_Index(library_->face, character) != 0;
}

bool GlyphFont::Outline(char32_t character, CharacterOutline& outline, std::string& reason) const {
    outline.clear();
    if (!library_->face) {
        reason = "no font is open";
        return false;
    }
    const FT_UInt index = FT_Get_Char_Index(library_->face, character);
    if (index == 0) {
        reason = "the font has no glyph for " + CharacterName(character);
        return false;
    }
    return ReadOutline(index, CharacterName(character), outline, reason);
}

bool GlyphFont::GlyphOutline(unsigned glyphIndex, CharacterOutline& outline, std::string& reason) const {
    outline.clear();
    if (!library_->face) {
        reason = "no font is open";
        return false;
    }
    if (glyphIndex >= static_cast<unsigned>(library_->face->num_glyphs)) {
        reason = "the font has no glyph " + std::to_string(glyphIndex);
        return false;
    }
    return ReadOutline(glyphIndex, "glyph " + std::to_string(glyphIndex), outline, reason);
}

// Reads glyph `index`, which messages call `name` (a character's code, or
// the glyph's number).
bool GlyphFont::ReadOutline(unsigned index, const std::string& name, CharacterOutline& outline,
                            std::string& reason) const {
    FT_Face face = library_->face;
    if (FT_Load_Glyph(face, index, FT_LOAD_NO_SCALE | FT_LOAD_NO_BITMAP | FT_LOAD_NO_HINTING) != 0) {
        reason = "FreeType cannot load the glyph for " + name;
        return false;
    }
    if (face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) {
        reason = "the glyph for " + name + " is not an outline";
        return false;
    }
    const FT_Outline& points = face->glyph->outline;
    for (int i = 0; i < points.n_points; ++i) {
        const FT_Vector& point = points.points[i];
        if (point.x >= -kLargestFontUnits && point.x <= kLargestFontUnits && point.y >= -kLargestFontUnits &&
            point.y <= kLargestFontUnits)
            continue;
        reason = "the outline of " + name + " reaches beyond " + std::to_string(kLargestFontUnitCount) +
                 " font units, more than a font holds";
        return false;
    }
    FT_Outline_Funcs functions{};
    functions.move_to = MoveTo;
    functions.line_to = LineTo;
    functions.conic_to = ConicTo;
    functions.cubic_to = CubicTo;
    if (FT_Outline_Decompose(&face->glyph->outline, &functions, &outline) != 0) {
        reason = "FreeType cannot walk the outline of " + name;
        return false;
    }
    // A contour of one point has no ink, and the system's outlines on Windows
    // leave it out: left out here too, both sides give the same contours.
    for (int contour = points.n_contours - 1; contour >= 0; --contour) {
        const int first = contour == 0 ? 0 : points.contours[contour - 1] + 1;
        if (points.contours[contour] == first && static_cast<std::size_t>(contour) < outline.size())
            outline.erase(outline.begin() + contour);
    }
    return true;
}

MadeGlyph GlyphFont::Make(char32_t character, const MakeOptions& options) const {
    MadeGlyph made;
    CharacterOutline outline;
    if (!Outline(character, outline, made.fit.reason)) {
        made.fit.failure = FitFailure::FontGivesNoOutline;
        return made;
    }
    return MakeGlyph(outline, Metrics(), options);
}
