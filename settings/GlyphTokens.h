// The token reader of glyph values: comma-separated tokens in which runs of
// commas count as one separator and spaces belong to their token.
#pragma once

#include <cstdint>
#include <string_view>

class GlyphTokenReader {
public:
    explicit GlyphTokenReader(std::string_view value) : rest_(value) {}

    // The next non-empty token, or false when none is left.
    bool Next(std::string_view& token);

private:
    std::string_view rest_;
};

// A numeric token read as atof reads it (leading white space, an optional
// sign, digits with an optional decimal point, an optional exponent, up to
// the first character that does not fit; 0 when there is no number), then
// truncated toward zero. Values beyond the 32-bit range saturate.
std::int32_t ReadGlyphNumber(std::string_view token);
