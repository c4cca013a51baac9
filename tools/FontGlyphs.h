// Glyphs from TrueType and OpenType fonts, through FreeType: outlines
// flattened into paths and placed in the 100-unit cell.
#pragma once

#include <string>
#include <vector>

#include "tools/FitGlyph.h"

struct MakeOptions {
    // Height of the capital letters in design units. The baseline lies at
    // -capitalHeight / 2, so capitals are centred on the cell's origin.
    double capitalHeight = 80.0;
    // Widest ink a glyph may have; a wider glyph is narrowed to it (keeping
    // its proportions), centred in the cell either way.
    double maximumWidth = 96.0;
    // Writes glyphs whose contours overlap or cross themselves all the same.
    bool allowCrossings = false;
};

struct MadeGlyph {
    GlyphFit fit;
    bool narrowed = false;  // the glyph was too wide at the common scale
};

class GlyphFont {
public:
    GlyphFont();
    ~GlyphFont();
    GlyphFont(const GlyphFont&) = delete;
    GlyphFont& operator=(const GlyphFont&) = delete;

    // Opens face `faceIndex` of the font file; false with the reason.
    bool Open(const std::string& path, std::string& error, long faceIndex = 0);

    // The capital height in font units: the font's own figure, else the
    // height of its H, else seven tenths of the em.
    double CapitalHeight() const;

    // The outline of `character` in font units, curves flattened into short
    // lines; false with the reason when the font has no outline for it.
    bool Outline(char32_t character, std::vector<OutlinePath>& paths, std::string& reason) const;

    // The character scaled, placed in the cell and fitted to the format.
    MadeGlyph Make(char32_t character, const MakeOptions& options) const;

private:
    struct Library;
    Library* library_;
};
