#include "glyphs/GlyphValue.h"

#include <cstdio>

std::string FormatGlyphValue(std::string_view name, const GlyphDefinition& glyph) {
    std::string value(name);
    auto add = [&value](std::int32_t number) {
        value += ',';
        value += std::to_string(number);
    };
    add(glyph.pointCount);
    add(glyph.reserved);
    for (int h = 1; h <= kMaxHoles; ++h) add(glyph.holeStart[h]);
    add(glyph.contourCount);
    for (int j = 1; j <= kMaxContours; ++j) {
        bool used = j <= glyph.contourCount;
        add(used ? glyph.contourFirst[j] : 0);
        add(used ? glyph.contourLast[j] : 0);
    }
    for (int i = 1; i <= glyph.pointCount && i <= kMaxGlyphPoints; ++i) {
        add(glyph.pointX[i]);
        add(glyph.pointY[i]);
    }
    return value;
}

namespace {

bool IsNameSentinel(std::string_view name) {
    constexpr std::string_view sentinel = "ZAHYO-END";
    if (name.size() != sentinel.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c != sentinel[i]) return false;
    }
    return true;
}

}  // namespace

std::string GlyphNameProblem(std::string_view name) {
    if (name.empty()) return "the name is empty";
    if (name.size() > static_cast<std::size_t>(kGlyphNameLength))
        return "the name has " + std::to_string(name.size()) + " characters; at most " +
               std::to_string(kGlyphNameLength) + " fit the list";
    for (char c : name) {
        if (c == ',') return "the name holds a comma, which would split it into two tokens";
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7e)
            return "the name holds a character that is not printable ASCII";
    }
    if (name.front() == ' ' || name.back() == ' ') return "the name begins or ends with a space";
    if (IsNameSentinel(name)) return "the name is ZAHYO-END, which ends the glyph list";
    return {};
}

std::string DefaultGlyphName(char32_t character) {
    if (character > 0x20 && character < 0x7f && character != ',' && character != '"' && character != ';')
        return std::string(1, static_cast<char>(character));
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(character));
    return text;
}
