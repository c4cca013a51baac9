// Writing glyph values: the text of one ZAHYOn line, and the rules a name
// must follow to be stored and listed.
#pragma once

#include <string>
#include <string_view>

#include "settings/GlyphDefinition.h"

// The longest value the saver reads: it reads a value into 512 bytes.
inline constexpr std::size_t kGlyphValueLength = 511;

// The value of a ZAHYO key for `glyph`: name, pointCount, reserved, the four
// hole starts, contourCount, all 13 contour pairs (pairs beyond
// contourCount as 0,0) and the points, 34 + 2P tokens in all.
std::string FormatGlyphValue(std::string_view name, const GlyphDefinition& glyph);

// Why `name` cannot stand as a glyph name, or an empty string when it can:
// one to nine printable ASCII characters, no comma (it would split the
// token), no white space at either end (the profile reader drops it), and
// not the list's end marker.
std::string GlyphNameProblem(std::string_view name);

// The name the maker gives a character when none is asked for: the
// character itself when it is a printable ASCII character a name may hold,
// otherwise U+ and its code in hexadecimal (U+2665).
std::string DefaultGlyphName(char32_t character);
