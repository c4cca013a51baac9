// A glyph from one character of a font: the outline scaled into the
// 100-unit cell and fitted to the stored format. The same outline gives the
// same glyph, number for number, on every platform: the arithmetic is only
// +, -, *, / and square roots, each rounded on its own (no contraction into
// fused multiply-adds), so Linux and Windows builds agree.
#pragma once

#include <string>

#include "glyphs/FitGlyph.h"
#include "glyphs/GlyphOutline.h"

struct MakeOptions {
    // Height of the capital letters in design units. The baseline lies at
    // -capitalHeight / 2, so capitals are centred on the cell's origin.
    double capitalHeight = 80.0;
    // Widest ink a glyph may have; a wider glyph is narrowed to it (keeping
    // its proportions), centred in the cell either way.
    double maximumWidth = 96.0;
    // Writes glyphs whose contours overlap or cross themselves all the same.
    bool allowCrossings = false;
    // Keeps the largest contours of an outline that has too many (FitGlyph).
    bool keepLargest = false;
    // The cell and value a stored glyph keeps to, or a shown glyph's.
    FitLimits limits = kStoredGlyphLimits;
};

struct MadeGlyph {
    GlyphFit fit;
    bool narrowed = false;  // the glyph was too wide at the common scale
    // The middle of the ink from left to right, in the outline's font units:
    // the point that the glyph's x = 0 stands for.
    double inkMiddle = 0.0;
};

MadeGlyph MakeGlyph(const CharacterOutline& outline, const FontMetrics& metrics, const MakeOptions& options);

// A glyph for a text: the largest contours are kept, and an overlap that
// the strict fitting refuses is drawn all the same (the end face then shows
// it as a hole) rather than leaving the slot empty; `note` says what was
// given up, and is empty when nothing was. A glyph to store is narrowed to
// the cell's 96 units of ink, as every glyph of the file; one made for the
// text shown (kShownGlyphLimits) keeps its character's width.
MadeGlyph MakeTextGlyph(const CharacterOutline& outline, const FontMetrics& metrics, std::string& note,
                        FitLimits limits = kStoredGlyphLimits);
