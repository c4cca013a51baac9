#include "settings/GlyphTokens.h"

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

bool GlyphTokenReader::Next(std::string_view& token) {
    while (!rest_.empty() && rest_.front() == ',') rest_.remove_prefix(1);
    if (rest_.empty()) return false;
    std::size_t end = rest_.find(',');
    if (end == std::string_view::npos) end = rest_.size();
    token = rest_.substr(0, end);
    rest_.remove_prefix(end);
    return true;
}

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The longest prefix of `text` that is a decimal number in atof's grammar,
// without the hexadecimal, infinity and NaN forms that some C libraries add:
// the glyph format is decimal on every platform.
std::string_view DecimalPrefix(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsWhiteSpace(text[at])) ++at;
    std::size_t start = at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    std::size_t digits = 0;
    while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
    if (at < text.size() && text[at] == '.') {
        ++at;
        while (at < text.size() && IsDigit(text[at])) ++at, ++digits;
    }
    if (digits == 0) return {};
    std::size_t mantissaEnd = at;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        std::size_t exponent = at + 1;
        if (exponent < text.size() && (text[exponent] == '+' || text[exponent] == '-')) ++exponent;
        if (exponent < text.size() && IsDigit(text[exponent])) {
            at = exponent;
            while (at < text.size() && IsDigit(text[at])) ++at;
        } else {
            at = mantissaEnd;
        }
    }
    return text.substr(start, at - start);
}

}  // namespace

std::int32_t ReadGlyphNumber(std::string_view token) {
    std::string number(DecimalPrefix(token));
    if (number.empty()) return 0;
    double value = std::strtod(number.c_str(), nullptr);
    value = std::trunc(value);
    if (value >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}
