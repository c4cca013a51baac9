// A shaped text as the slots take it: grapheme clusters with their pen
// positions and ink, and the pages of nine inked clusters a long text is
// shown in. Plain data in and out, whichever shaper ran.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "glyphs/TextShaping.h"

// One grapheme cluster of a laid-out line, in font units of the asked font.
struct LaidOutCluster {
    std::uint32_t textIndex = 0;  // where its characters start in the shaped text
    std::u32string characters;    // in logical order
    double pen = 0.0;             // the pen where the cluster starts, from the line's left end
    double advance = 0.0;         // how far the cluster moves the pen
    // The union of the cluster's glyphs, each moved to its place from the
    // cluster's pen: a base and its marks are one outline.
    CharacterOutline outline;
    bool inked = false;    // the outline holds a contour with ink: the cluster takes a slot
    bool missing = false;  // no font has one of its characters (glyph 0 of the asked font)
    // What the outline is made of (face, glyph and place of each glyph): two
    // clusters with the same recipe have the same glyph.
    std::vector<double> recipe;
};

// A line laid out: its clusters in visual order (left to right) and the
// width its advances add up to.
struct LaidOutText {
    std::vector<LaidOutCluster> clusters;
    double width = 0.0;
};

// The outline of a glyph of a face, or nullptr when there is none.
using GlyphOutlineSource = std::function<const CharacterOutline*(std::uint32_t face, std::uint32_t glyph)>;

// Groups the shaped glyphs into clusters and places each from the running
// sum of advances, its glyphs moved by their offsets. A number from the
// shaper that is no number or lies beyond any font counts as 0. Without
// `withOutlines` the clusters only say whether they have ink, so that a
// long text costs no more than its pages.
LaidOutText LayOutText(const ShapedText& shaped, const GlyphOutlineSource& outlineOf, bool withOutlines = true);

// Font units in design units at `scale` (design units per font unit),
// rounded to the nearest, halves up, and kept within a million: the same
// number on every platform for the same font units.
std::int32_t ToDesignUnits(double fontUnits, double scale);

// Whether a character is a space a line may break at (a no-break space is
// not one).
bool IsBreakingSpace(char32_t character);

// A page: the characters text[begin, end) of the text, no space at either end.
struct TextPage {
    std::uint32_t begin = 0;
    std::uint32_t end = 0;
};

// Splits a text into pages of at most `perPage` inked clusters, breaking at
// a space where one lies within the page and between two clusters where a
// word is longer than a page. `clusters` are the text's clusters in any
// order; `textLength` is the length of the shaped text. A text with no ink
// is one page (perhaps empty).
std::vector<TextPage> BreakIntoPages(const std::vector<LaidOutCluster>& clusters, std::uint32_t textLength,
                                     int perPage);
