// Fuzz target: the readers of what the system hands the Windows side (an
// outline buffer of GetGlyphOutlineW, a glyph of the 'glyf' table, the
// 'cmap' table), chosen by the first byte. Whatever the bytes, each must
// finish without a sanitizer report, and what it accepts must be usable:
// contours that close on their start with points within font units, font
// contours of two points or more, glyph numbers the font has.
#include <cmath>
#include <cstdint>
#include <map>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "glyphs/NativeOutline.h"

namespace {

using fuzzsupport::Fail;

bool InRange(const OutlinePoint& point) {
    return std::abs(point.x) <= 32768 && std::abs(point.y) <= 32768;  // false for NaN too
}

// Then: how many contours the font's flags describe (three bytes each), the flags, the buffer.
void ReadOutlineBuffer(fuzzsupport::ByteScript& script, std::string_view rest, bool cubic) {
    std::vector<ContourEnds> ends(script.Below(14));
    for (ContourEnds& contour : ends) contour = {script.Next(), (script.Next() & 1) != 0, (script.Next() & 1) != 0};
    rest.remove_prefix(std::min(rest.size(), 1 + 3 * ends.size()));
    CharacterOutline outline;
    if (!NativeOutlineContours(reinterpret_cast<const unsigned char*>(rest.data()), rest.size(), ends, cubic, outline)) return;
    for (const OutlineContour& contour : outline) {
        if (contour.segments.empty() || !InRange(contour.start)) Fail("a contour has a start and a segment");
        for (const OutlineSegment& segment : contour.segments) {
            bool inRange = InRange(segment.to) && segment.controlCount >= 0 && segment.controlCount <= 2;
            for (int k = 0; inRange && k < segment.controlCount; ++k) inRange = InRange(segment.control[k]);
            if (!inRange) Fail("a segment is a line or a curve within font units");
        }
        if (contour.segments.back().to.x != contour.start.x || contour.segments.back().to.y != contour.start.y)
            Fail("a contour closes on its start");
    }
}

// A font's tables served from strings, within their bytes.
class ServedTables : public FontTables {
public:
    std::map<std::uint32_t, std::string> tables;
    std::uint32_t TableSize(std::uint32_t tag) const override { return tables.count(tag) ? tables.at(tag).size() : 0; }
    std::vector<unsigned char> TableBytes(std::uint32_t tag, std::uint32_t offset, std::uint32_t length) const override {
        if (length == 0 || offset > TableSize(tag) || length > TableSize(tag) - offset) return {};
        return {tables.at(tag).begin() + offset, tables.at(tag).begin() + offset + length};
    }
};

// Then: the glyph, the 'loca' form and size, 'loca', 'glyf'.
void ReadGlyphEnds(fuzzsupport::ByteScript& script, std::string_view rest) {
    const unsigned glyph = script.Next() << 8 | script.Next();
    ServedTables font;
    font.tables[FontTableTag("head")] = std::string(51, '\0') + static_cast<char>(script.Next() & 1);
    const std::size_t locaSize = script.Next() << 8 | script.Next();
    rest.remove_prefix(std::min<std::size_t>(rest.size(), 5));
    font.tables[FontTableTag("loca")] = rest.substr(0, locaSize);
    font.tables[FontTableTag("glyf")] = rest.substr(std::min(rest.size(), locaSize));
    std::vector<ContourEnds> ends;
    if (!GlyphContourEnds(font, glyph, ends) && !ends.empty()) Fail("a refused glyph leaves no contours");
    for (const ContourEnds& contour : ends)
        if (contour.points < 2 || contour.points > 65536) Fail("a font contour has 2 to 65536 points");
}

// Then: the font's number of glyphs, the character, 'cmap'.
void ReadCharacterMap(fuzzsupport::ByteScript& script, std::string_view rest) {
    const unsigned glyphCount = script.Next() << 8 | script.Next();
    const char32_t character = (script.Next() << 16 | script.Next() << 8 | script.Next()) % 0x110000;
    rest.remove_prefix(std::min<std::size_t>(rest.size(), 5));
    const auto glyph = CharacterGlyphIndex(reinterpret_cast<const unsigned char*>(rest.data()), rest.size(), glyphCount, character);
    if (glyph && *glyph != 0 && *glyph >= glyphCount) Fail("a character's glyph is one the font has");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzzsupport::AsText(data, size);
    if (input.empty()) return 0;
    fuzzsupport::ByteScript script(input.substr(1));
    const unsigned reader = static_cast<unsigned char>(input[0]) % 4;
    if (reader < 2) ReadOutlineBuffer(script, input.substr(1), reader == 1);
    else if (reader == 2) ReadGlyphEnds(script, input.substr(1));
    else ReadCharacterMap(script, input.substr(1));
    return 0;
}
