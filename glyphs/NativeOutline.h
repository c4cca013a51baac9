// The bytes the Windows reader of outlines is handed, read without the
// system: the outline buffer of GetGlyphOutlineW (GGO_NATIVE), and a font's
// own 'glyf' and 'cmap' tables as GetFontData gives them. Each reader checks
// every count, offset and length against the bytes it has before it reads,
// and refuses (or reports "none") rather than read past them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "glyphs/GlyphOutline.h"

// What a font's 'glyf' table says of one contour: the system's outlines
// carry no on- and off-curve flags, and a contour whose first point lies off
// the curve needs them to be walked as FreeType walks it.
struct ContourEnds {
    std::size_t points = 0;
    bool firstOn = true;
    bool lastOn = true;
};

// The contours of a GGO_NATIVE buffer of `size` bytes: little-endian
// TTPOLYGONHEADER records (byte count, type 24, start point) each followed by
// TTPOLYCURVE records (type, point count, points), points in 16.16 FIXED.
// A FIXED value is finite and within the 16-bit range of font units by its
// form, so every point is. False when the buffer is malformed: a length
// that does not hold its records, a record type or point count that cannot
// be. Contours of a single point are left out, as on the FreeType side.
//
// `ends`, when it describes every contour, gives the font's own flags: a
// contour that starts off the curve, which the system (Wine, at least)
// starts at that point as if it were on the curve, is walked again from the
// font's points so that it starts where FreeType starts it. `cubic`: the
// font's outlines are cubic curves (a 'CFF ' table), which the system
// reports as quadratic splines of two controls and an end.
bool NativeOutlineContours(const unsigned char* data, std::size_t size, const std::vector<ContourEnds>& ends, bool cubic,
                           CharacterOutline& outline);

// A table's tag as a number, its first letter in the high byte.
constexpr std::uint32_t FontTableTag(const char (&name)[5]) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(name[0])) << 24 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[1])) << 16 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[2])) << 8 |
           static_cast<std::uint32_t>(static_cast<unsigned char>(name[3]));
}

// The tables of one font, as the system (or a test) serves them.
class FontTables {
public:
    virtual ~FontTables() = default;
    // The table's size in bytes; 0 when the font has no such table.
    virtual std::uint32_t TableSize(std::uint32_t tag) const = 0;
    // `length` bytes of the table from `offset`; empty when the table does
    // not hold them all.
    virtual std::vector<unsigned char> TableBytes(std::uint32_t tag, std::uint32_t offset, std::uint32_t length) const = 0;
};

// The ends of every contour of one glyph of the font's 'glyf' table (with
// its 'loca' and 'head'), a composite glyph's components in order, as
// FreeType loads them; contours of a single point are left out, as the
// outline leaves them. False when the glyph's data does not hold together,
// or its components nest too deep or are too many.
bool GlyphContourEnds(const FontTables& font, unsigned glyph, std::vector<ContourEnds>& ends);

// The glyph a font's 'cmap' table gives the character, from the subtable
// FreeType chooses: a full Unicode one (platform 3 encoding 10, or
// platform 0 encoding 4) when the font has one, else a Unicode one of the
// Basic Multilingual Plane, the last in the table first either way. Formats
// 4, 12 and 13 are read; a subtable of another format, or one that does not
// hold together, is passed over as FreeType passes over a broken one.
// 0 when the subtable maps the character to no glyph, or to one the font
// does not have (`glyphCount` or beyond); no value when the table has no
// Unicode subtable that can be read.
std::optional<unsigned> CharacterGlyphIndex(const unsigned char* cmap, std::size_t size, unsigned glyphCount,
                                            char32_t character);
