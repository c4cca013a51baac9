// Outlines of the fonts installed on Windows, read through GDI and handed to
// the glyph maker as the same plain data that FreeType gives on Linux: the
// same font file gives the same CharacterOutline, point for point, and so the
// same glyphs, number for number.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "glyphs/GlyphOutline.h"

// A font of the system made at its em size, so that outlines come in font units.
struct SystemFont {
    HDC dc = nullptr;
    HFONT font = nullptr;
    HGDIOBJ previous = nullptr;
    FontMetrics metrics;
    std::wstring face;  // the face the system chose for the request (GetTextFaceW)
    // The font's 'cmap' table and its number of glyphs ('maxp'), read once:
    // characters are looked up there as FreeType looks them up.
    std::vector<unsigned char> characterMap;
    unsigned glyphCount = 0;
};

// Opens the outline font that `wanted` describes (its face name, weight,
// italic and character set; its height is ignored) in a memory DC, made at
// its em size. The metrics are those the FreeType side reads: the em, the
// capital height of the 'OS/2' table (version 2 and later), else the top of
// the H. False, with nothing left open, when the system gives no outline font
// or one whose em lies outside the 16 to 16384 units a font may have.
bool OpenSystemFont(const LOGFONTW& wanted, SystemFont& font);
void CloseSystemFont(SystemFont& font);

// Whether the font has a glyph of its own for the character, found in the
// font's 'cmap' table as FreeType finds it, characters beyond U+FFFF
// included (GDI's GetGlyphIndicesW takes 16-bit characters only). A font
// without a Unicode map there (a symbol font) is asked through the system,
// for characters up to U+FFFF.
bool SystemFontHas(const SystemFont& font, char32_t character);

// The character's outline in font units: true with its contours (none for a
// character without ink, such as a space); false when the font has no glyph
// for it or the system gives no outline. Wine starts a contour whose first
// point lies off the curve at that point, as if it were on the curve: such a
// contour is walked again from the font's own points, with the on- and
// off-curve flags of its 'glyf' table, so it starts where FreeType starts it.
// Wine also reports the cubic curves of a font with PostScript outlines (a
// 'CFF ' table) as quadratic splines of two controls and an end: in such a
// font they are read as the cubic curves they are.
bool SystemGlyphOutline(const SystemFont& font, char32_t character, CharacterOutline& outline);

// The outline of the font's glyph number `index` (a shaper's glyph), read
// as SystemGlyphOutline reads a character's: false when the font has no
// such glyph or the system gives no outline.
bool SystemGlyphIndexOutline(const SystemFont& font, unsigned index, CharacterOutline& outline);
