// Glyph outlines as stored in section [MOJI ZAHYO] of KORAVEL.ini, and the
// two readers of that section.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int kMaxSlots = 9;
inline constexpr int kMaxGlyphPoints = 45;
inline constexpr int kMaxContours = 13;
inline constexpr int kMaxHoles = 4;
inline constexpr int kMaxListedGlyphs = 99;
inline constexpr int kGlyphNameLength = 9;
// Name, pointCount, reserved, four hole starts, contourCount, 13 pairs.
inline constexpr int kGlyphHeaderTokens = 34;

// One slot's outline. Every array is 1-based: entry 0 is never used.
// Contour j is the closed polygon of points contourFirst[j]..contourLast[j].
// A contour whose first point is one of holeStart[1..4] is a hole.
struct GlyphDefinition {
    std::int32_t pointCount;
    std::int32_t reserved;
    std::int32_t holeStart[kMaxHoles + 1];
    std::int32_t contourCount;
    std::int32_t contourFirst[kMaxContours + 1];
    std::int32_t contourLast[kMaxContours + 1];
    std::int32_t pointX[kMaxGlyphPoints + 1];  // design units, x to the right
    std::int32_t pointY[kMaxGlyphPoints + 1];  // design units, y up
};

// The stored glyph names for the dialog's lists: entry i (0-based) is the
// name under key ZAHYO(i+1).
struct GlyphNameList {
    std::int32_t count;
    char names[kMaxListedGlyphs][kGlyphNameLength + 1];
};

extern GlyphNameList glyphNameList;

// The key of glyph `number`: "ZAHYO" and the number in decimal, built with
// the platform's "%u" formatting and string append. The number has at most
// three digits.
void MakeGlyphKey(std::uint32_t number, char (&key)[16]);

// The name stored under glyph `number` (its first token, "" for an empty
// value; the key is read with a 255-byte buffer), or false when the key
// holds no glyph: missing, or the end marker "ZAHYO-END".
bool ReadGlyphName(std::uint32_t number, std::string& name);

// Lists the names of ZAHYO1, ZAHYO2, ... up to the first missing key or the
// first value named ZAHYO-END, at most 99 of them. Names longer than nine
// characters are cut to nine.
void ListGlyphNames();

// Reads, for each shown slot k, the glyph that OPTIONAk selects and puts its
// outline into characterSlots[k].glyph (see ShownGlyphOf). A slot whose key is missing, whose glyph number is
// outside 1..999, or whose glyph breaks the storage limits gets an empty
// definition (no points, no contours): it shows nothing.
void LoadGlyphs();

// Parses one glyph value into `glyph`. Returns false, leaving `glyph`
// untouched, when the value has no name, is the sentinel, has fewer tokens
// than its point count needs, or has counts or contour indices the storage
// cannot hold.
bool ParseGlyphValue(std::string_view value, GlyphDefinition& glyph);
