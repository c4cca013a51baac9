// A text laid out as a font lays it out. The platform's shaper (HarfBuzz on
// Linux, Uniscribe on Windows) turns a text into the font's glyphs with their
// positions and clusters; it composes the text (NFC) first and orders
// right-to-left runs visually. Nothing after it knows which shaper ran: the
// core takes the plain data below and decides what a cluster becomes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "glyphs/GlyphOutline.h"

// One glyph of a shaped text. Positions are in the units of the font the
// text was asked for (its em), also for a glyph a fallback font gave.
struct ShapedGlyph {
    std::uint32_t face = 0;        // which of the shaper's fonts: 0 the asked one, 1.. its fallbacks
    std::uint32_t glyphIndex = 0;  // the glyph's number in that font
    std::uint32_t cluster = 0;     // index in ShapedText::text of the first character of its cluster
    double xAdvance = 0.0;         // how far the pen moves after the glyph
    double xOffset = 0.0;          // where the glyph is drawn, from the pen
    double yOffset = 0.0;
};

// The glyphs in visual order, left to right. Consecutive glyphs with the same
// cluster form one grapheme cluster (a base with its marks, a ligature); a
// cluster's characters are text[cluster .. next cluster's start) in logical
// order, which for a right-to-left run is the cluster to its left.
struct ShapedText {
    std::u32string text;  // the text as shaped: composed (NFC)
    std::vector<ShapedGlyph> glyphs;
};

// A font as the text needs it, each platform's own. The outlines come in the
// asked font's units, so that glyphs of its fallbacks sit in the same space.
class TextFont {
public:
    virtual ~TextFont() = default;
    // Shapes `text` (composing it first); false with nothing shaped when the
    // shaper cannot run. A character no font has gives glyph 0 of face 0.
    virtual bool Shape(const std::u32string& text, ShapedText& shaped) = 0;
    // The outline of glyph `glyphIndex` of `face`; false when there is none
    // (no ink is an empty outline and true).
    virtual bool GlyphOutline(std::uint32_t face, std::uint32_t glyphIndex, CharacterOutline& outline) = 0;
    // The asked font's metrics: its em and capital height scale the text.
    virtual FontMetrics Metrics() const = 0;
};
