// Fuzz target: the readers of what the system hands the Windows side — an
// outline buffer of GetGlyphOutlineW, a glyph of the 'glyf' table and the
// 'cmap' table. Whatever the bytes, each reader must finish without a
// sanitizer report, and what it accepts must be usable: contours that close
// on their start with finite points in the range of font units, contours of
// two points or more, glyph numbers the font has.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "glyphs/NativeOutline.h"
#include "tests/support/FontBytes.h"

namespace {

using fuzzsupport::ByteScript;
using fuzzsupport::Fail;

bool InRange(const OutlinePoint& point) {
    return std::isfinite(point.x) && std::isfinite(point.y) && std::abs(point.x) <= 32768 && std::abs(point.y) <= 32768;
}

// Bytes 1, 2: cubic or not, and how many contours the font's flags describe,
// three bytes each; the rest is the buffer.
void ReadOutlineBuffer(ByteScript& script, std::string_view rest) {
    const bool cubic = script.Next() & 1;
    std::vector<ContourEnds> ends(script.Below(14));
    for (ContourEnds& contour : ends) contour = {script.Next(), (script.Next() & 1) != 0, (script.Next() & 1) != 0};
    rest.remove_prefix(std::min(rest.size(), 2 + 3 * ends.size()));
    CharacterOutline outline;
    if (!NativeOutlineContours(reinterpret_cast<const unsigned char*>(rest.data()), rest.size(), ends, cubic, outline)) return;
    if (outline.size() > rest.size() / 16) Fail("every contour has a header of its own");
    for (const OutlineContour& contour : outline) {
        if (contour.segments.empty() || !InRange(contour.start)) Fail("a contour has a start and a segment");
        for (const OutlineSegment& segment : contour.segments) {
            if (segment.controlCount < 0 || segment.controlCount > 2 || !InRange(segment.to)) Fail("a segment is a line or a curve");
            for (int k = 0; k < segment.controlCount; ++k)
                if (!InRange(segment.control[k])) Fail("a control point lies within font units");
        }
        const OutlinePoint& end = contour.segments.back().to;
        if (end.x != contour.start.x || end.y != contour.start.y) Fail("a contour closes on its start");
    }
}

// Bytes 1-3: the glyph and the 'loca' form; bytes 4-5: the size of 'loca',
// then its bytes; the rest is 'glyf'.
void ReadGlyphEnds(ByteScript& script, std::string_view rest) {
    const unsigned glyph = script.Next() << 8 | script.Next();
    const unsigned longOffsets = script.Next() & 1;
    const std::size_t locaSize = script.Next() << 8 | script.Next();
    rest.remove_prefix(std::min<std::size_t>(rest.size(), 5));
    testsupport::MemoryFontTables font;
    std::string head(50, '\0');
    testsupport::BigEndian(head, longOffsets, 2);
    font.tables[FontTableTag("head")] = head;
    font.tables[FontTableTag("loca")] = std::string(rest.substr(0, locaSize));
    rest.remove_prefix(std::min(rest.size(), locaSize));
    font.tables[FontTableTag("glyf")] = std::string(rest);
    std::vector<ContourEnds> ends;
    if (!GlyphContourEnds(font, glyph, ends)) {
        if (!ends.empty()) Fail("a refused glyph leaves no contours");
        return;
    }
    for (const ContourEnds& contour : ends)
        if (contour.points < 2 || contour.points > 65536) Fail("a contour has 2 to 65536 points");
}

// Bytes 1-2: the font's number of glyphs; bytes 3-5: the character; the
// rest is 'cmap'.
void ReadCharacterMap(ByteScript& script, std::string_view rest) {
    const unsigned glyphCount = script.Next() << 8 | script.Next();
    const char32_t character = (script.Next() << 16 | script.Next() << 8 | script.Next()) % 0x110000;
    rest.remove_prefix(std::min<std::size_t>(rest.size(), 5));
    const std::optional<unsigned> glyph =
        CharacterGlyphIndex(reinterpret_cast<const unsigned char*>(rest.data()), rest.size(), glyphCount, character);
    if (glyph && *glyph != 0 && *glyph >= glyphCount) Fail("a character's glyph is one the font has");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input = fuzzsupport::AsText(data, size);
    if (input.empty()) return 0;
    ByteScript script(input.substr(1));
    const std::string_view rest = input.substr(1);
    switch (static_cast<unsigned char>(input[0]) % 3) {
    case 0: ReadOutlineBuffer(script, rest); break;
    case 1: ReadGlyphEnds(script, rest); break;
    default: ReadCharacterMap(script, rest); break;
    }
    return 0;
}
