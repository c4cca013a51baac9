// Glyphs from TrueType and OpenType fonts, through FreeType: each
// character's outline handed to the glyph maker as plain data.
#pragma once

#include <string>
#include <vector>

#include "glyphs/MakeGlyph.h"

class GlyphFont {
public:
    GlyphFont();
    ~GlyphFont();
    GlyphFont(const GlyphFont&) = delete;
    GlyphFont& operator=(const GlyphFont&) = delete;

    // Opens face `faceIndex` of the font file; false with the reason.
    bool Open(const std::string& path, std::string& error, long faceIndex = 0);

    // Whether the font has a glyph for `character`.
    bool HasCharacter(char32_t character) const;

    // The outline of `character` in font units; false with the reason when
    // the font has no outline for it.
    bool Outline(char32_t character, CharacterOutline& outline, std::string& reason) const;

    // The outline of glyph `glyphIndex` (the font's own numbering, as a
    // shaper gives it) in font units; false with the reason when the font
    // cannot give it. A glyph without ink (a space) is an empty outline.
    bool GlyphOutline(unsigned glyphIndex, CharacterOutline& outline, std::string& reason) const;

    // What the glyph maker needs of the font: its em, capital height and H.
    FontMetrics Metrics() const;

    // The character scaled, placed in the cell and fitted to the format.
    MadeGlyph Make(char32_t character, const MakeOptions& options) const;

private:
    bool ReadOutline(unsigned glyphIndex, const std::string& name, CharacterOutline& outline, std::string& reason) const;

    struct Library;
    Library* library_;
};
