// The readers of the system's outline buffers and of a font's own 'cmap' and
// 'glyf' tables, on bytes made here.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "glyphs/NativeOutline.h"
#include "support/FontBytes.h"

namespace {

using testsupport::BigEndian;
using testsupport::LittleEndian;

const unsigned char* Data(const std::string& bytes) {
    return reinterpret_cast<const unsigned char*>(bytes.data());
}

TEST(NativeOutline, BuffersThatDoNotHoldTheirRecordsAreRefused) {
    // One contour: its start and a line of one point, closed by a second line.
    const auto buffer = [](unsigned type, unsigned count) {
        std::string bytes;
        LittleEndian(bytes, 28, 4);
        LittleEndian(bytes, 24, 4);            // TT_POLYGON_TYPE
        LittleEndian(bytes, 0, 8);             // the start
        LittleEndian(LittleEndian(bytes, type, 2), count, 2);
        return LittleEndian(bytes, 5 << 16, 4) += std::string(4, '\0');  // (5, 0)
    };
    CharacterOutline outline;
    ASSERT_TRUE(NativeOutlineContours(Data(buffer(1, 1)), 28, {}, false, outline));
    ASSERT_EQ(outline.size(), 1u);
    EXPECT_EQ(outline[0].segments.size(), 2u);
    EXPECT_EQ(outline[0].segments[0].to.x, 5.0);
    EXPECT_FALSE(NativeOutlineContours(Data(buffer(1, 1)), 27, {}, false, outline));
    EXPECT_FALSE(NativeOutlineContours(Data(buffer(1, 2)), 28, {}, false, outline));
    // A spline needs a control and an end.
    EXPECT_FALSE(NativeOutlineContours(Data(buffer(2, 1)), 28, {}, false, outline));
}

struct Segment {
    unsigned first, last, delta, rangeOffset;
};

// A format 4 subtable; its glyph number runs follow the segments.
std::string SegmentMap(const std::vector<Segment>& segments, const std::vector<unsigned>& glyphs) {
    std::string body;
    for (const Segment& segment : segments) BigEndian(body, segment.last, 2);
    BigEndian(body, 0, 2);
    for (const Segment& segment : segments) BigEndian(body, segment.first, 2);
    for (const Segment& segment : segments) BigEndian(body, segment.delta, 2);
    for (const Segment& segment : segments) BigEndian(body, segment.rangeOffset, 2);
    for (unsigned glyph : glyphs) BigEndian(body, glyph, 2);
    std::string table;
    BigEndian(BigEndian(BigEndian(table, 4, 2), 14 + body.size(), 2), 0, 2);
    BigEndian(table, 2 * segments.size(), 2);
    return BigEndian(table, 0, 6) + body;
}

// A format 12 or 13 subtable of groups (first, last, glyph).
std::string GroupMap(unsigned format, const std::vector<std::vector<unsigned>>& groups) {
    std::string table;
    BigEndian(BigEndian(table, format, 2), 0, 2);
    BigEndian(BigEndian(BigEndian(table, 16 + 12 * groups.size(), 4), 0, 4), groups.size(), 4);
    for (const auto& group : groups)
        for (unsigned number : group) BigEndian(table, number, 4);
    return table;
}

// A 'cmap' table of (platform, encoding) records, each with its subtable.
std::string CharacterMap(const std::vector<std::pair<std::pair<unsigned, unsigned>, std::string>>& subtables) {
    std::string table, bodies;
    BigEndian(BigEndian(table, 0, 2), subtables.size(), 2);
    for (const auto& [ids, body] : subtables) {
        BigEndian(BigEndian(table, ids.first, 2), ids.second, 2);
        BigEndian(table, 4 + 8 * subtables.size() + bodies.size(), 4);
        bodies += body;
    }
    return table + bodies;
}

// The subtable FreeType would read, the formats, and glyph numbers the font
// does not have.
TEST(NativeOutline, CharactersFindTheirGlyphsAsFreeTypeFindsThem) {
    // A → 10 by delta; 0 → 20 and 1 → none by the run of glyph numbers after
    // the three range offsets.
    const std::string plane = SegmentMap({{'0', '1', 0, 6}, {'A', 'A', (10 - 'A') & 0xFFFF, 0}, {0xFFFF, 0xFFFF, 1, 0}}, {20, 0});
    const std::string full = GroupMap(12, {{'A', 'Z', 1}, {0x1D400, 0x1D401, 50}});
    const auto glyph = [](const std::string& cmap, char32_t character, unsigned glyphCount = 100) {
        return CharacterGlyphIndex(Data(cmap), cmap.size(), glyphCount, character).value_or(-1u);
    };
    const std::string both = CharacterMap({{{0, 3}, plane}, {{3, 1}, plane}, {{3, 10}, full}});
    EXPECT_EQ(glyph(both, 'A'), 1u);  // the full map is read for every character
    EXPECT_EQ(glyph(both, 'B'), 2u);
    EXPECT_EQ(glyph(both, U'\U0001D401'), 51u);
    EXPECT_EQ(glyph(both, U'\U0001D402'), 0u);
    EXPECT_EQ(glyph(both, U'\U0001D401', 51), 0u);  // a glyph the font does not have
    EXPECT_EQ(glyph(both, U'\U0001D401', 52), 51u);
    // A full map before the last map of the plane is still the one read.
    EXPECT_EQ(glyph(CharacterMap({{{0, 4}, full}, {{3, 1}, plane}}), 'A'), 1u);

    const std::string plain = CharacterMap({{{0, 3}, plane}, {{3, 1}, plane}});
    EXPECT_EQ(glyph(plain, 'A'), 10u);
    EXPECT_EQ(glyph(plain, '0'), 20u);
    EXPECT_EQ(glyph(plain, '1'), 0u);
    EXPECT_EQ(glyph(plain, 'B'), 0u);
    EXPECT_EQ(glyph(plain, U'\U0001D400'), 0u);
    // A table cut within its records reads no further than its end.
    EXPECT_EQ(glyph(both.substr(0, 4 + 8 + 4), '0'), -1u);

    // Groups out of order: the subtable is passed over for the next one.
    const std::string disordered = GroupMap(12, {{'A', 'Z', 1}, {'0', '9', 40}});
    EXPECT_EQ(glyph(CharacterMap({{{3, 1}, plane}, {{3, 10}, disordered}}), 'A'), 10u);
    const std::string many = GroupMap(13, {{'0', '9', 7}, {0x1D400, 0x1D433, 8}});
    EXPECT_EQ(glyph(CharacterMap({{{0, 4}, many}}), U'\U0001D410'), 8u);
    EXPECT_EQ(glyph(CharacterMap({{{0, 4}, many}}), '5'), 7u);
    // A symbol font has no Unicode map: the system maps its characters.
    EXPECT_EQ(glyph(CharacterMap({{{3, 0}, plane}}), 'A'), -1u);
    EXPECT_EQ(glyph(CharacterMap({{{3, 10}, full.substr(0, full.size() - 1)}}), 'A'), -1u);
}

// A simple glyph with its flags, a composite that holds it twice, one that
// holds itself, and a glyph whose flags run past its data.
TEST(NativeOutline, GlyphsGiveTheirContoursFlagsAndRefuseWhatCannotBe) {
    std::string simple;
    BigEndian(simple, 3, 2) += std::string(8, '\0');            // contours, bounding box
    BigEndian(BigEndian(BigEndian(simple, 0, 2), 3, 2), 6, 2);  // a lone point, then three and three
    BigEndian(simple, 0, 2);                                    // no instructions
    simple += std::string("\x01\x08\x01\x01\x01\x08\x01", 7);   // on, off twice, on, on, off twice
    const auto composite = [](std::vector<unsigned> components) {
        std::string glyph;
        BigEndian(glyph, 0xFFFF, 2) += std::string(8, '\0');
        for (std::size_t i = 0; i < components.size(); ++i)
            BigEndian(BigEndian(glyph, i + 1 < components.size() ? 0x20 : 0, 2), components[i], 2) += std::string(2, '\0');
        return glyph;
    };
    const std::vector<std::string> glyphs{simple, composite({0, 0}), composite({2}), simple.substr(0, simple.size() - 1)};
    testsupport::MemoryFontTables font;
    std::string head(50, '\0');
    font.tables[FontTableTag("head")] = BigEndian(head, 1, 2);  // long offsets
    std::string& loca = font.tables[FontTableTag("loca")];
    std::string& glyf = font.tables[FontTableTag("glyf")];
    for (const std::string& glyph : glyphs) {
        BigEndian(loca, glyf.size(), 4);
        glyf += glyph;
    }
    BigEndian(loca, glyf.size(), 4);

    std::vector<ContourEnds> ends;
    ASSERT_TRUE(GlyphContourEnds(font, 1, ends));
    ASSERT_EQ(ends.size(), 4u);  // the lone points are left out
    for (std::size_t i = 0; i < 4; i += 2) {
        EXPECT_EQ(ends[i].points, 3u);
        EXPECT_FALSE(ends[i].firstOn);
        EXPECT_TRUE(ends[i].lastOn);
        EXPECT_TRUE(ends[i + 1].firstOn);
        EXPECT_FALSE(ends[i + 1].lastOn);
    }
    EXPECT_FALSE(GlyphContourEnds(font, 2, ends));
    EXPECT_TRUE(ends.empty());
    EXPECT_FALSE(GlyphContourEnds(font, 3, ends));
    EXPECT_FALSE(GlyphContourEnds(font, 4, ends));  // beyond the 'loca' table
}

}  // namespace
