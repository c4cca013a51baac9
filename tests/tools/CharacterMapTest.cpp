// The reader of 'cmap' tables that the Windows side looks characters up
// with: against FreeType on the same font file, and on tables made here for
// the rules a real font does not reach.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "glyphs/NativeOutline.h"

namespace {

// Every character of DejaVu Sans, and the one on either side of it, gets
// the glyph FreeType gives it: from the whole table; with the last full map
// (3, 10) given an encoding no reader takes, so that the earlier one (0, 4)
// must be preferred to the map of the plane (3, 1); and, up to U+FFFF, with
// both full maps so hidden.
TEST(CharacterMap, GivesEveryCharacterTheGlyphFreeTypeGives) {
    FT_Library library;
    FT_Face face;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    ASSERT_EQ(FT_New_Face(library, KORAVEL_TEST_FONT_REGULAR, 0, &face), 0);
    FT_ULong size = 0;
    ASSERT_EQ(FT_Load_Sfnt_Table(face, TTAG_cmap, 0, nullptr, &size), 0);
    std::vector<std::vector<unsigned char>> tables(3, std::vector<unsigned char>(size));
    ASSERT_EQ(FT_Load_Sfnt_Table(face, TTAG_cmap, 0, tables[0].data(), &size), 0);
    tables[1] = tables[2] = tables[0];
    for (std::size_t record = 4; record + 8 <= 4 + 8 * std::size_t{tables[0][2] * 256u + tables[0][3]}; record += 8) {
        if (tables[0][record + 3] == 10) tables[1][record + 3] = tables[2][record + 3] = 99;
        if (tables[0][record + 3] == 4) tables[2][record + 3] = 99;
    }
    int characters = 0, wrong = 0;
    FT_UInt index;
    for (FT_ULong character = FT_Get_First_Char(face, &index); index != 0; character = FT_Get_Next_Char(face, character, &index)) {
        ++characters;
        for (const char32_t near : {character - 1, character, character + 1})
            for (std::size_t t = 0; t < tables.size() && (t < 2 || near <= 0xFFFF); ++t) {
                const unsigned found = CharacterGlyphIndex(tables[t].data(), size, face->num_glyphs, near).value_or(-1u);
                if (found != FT_Get_Char_Index(face, near) && ++wrong <= 5)
                    ADD_FAILURE() << "table " << t << ", U+" << std::hex << static_cast<unsigned>(near) << ": " << found;
            }
    }
    EXPECT_GT(characters, 5000);
    EXPECT_EQ(wrong, 0);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

// A 'cmap' table of one full Unicode map (0, 4) of format 12 or 13, with
// groups of (first, last, glyph): numbers of two or four bytes, high byte first.
std::string GroupMap(std::uint32_t format, std::initializer_list<std::array<std::uint32_t, 3>> groups) {
    const auto count = static_cast<std::uint32_t>(groups.size());
    // The header and its one record, then the map's header.
    std::vector<std::pair<std::uint32_t, int>> numbers{{0, 2}, {1, 2}, {0, 2}, {4, 2}, {12, 4},
                                                       {format, 2}, {0, 2}, {16 + 12 * count, 4}, {0, 4}, {count, 4}};
    for (const auto& group : groups)
        for (std::uint32_t number : group) numbers.push_back({number, 4});
    std::string table;
    for (const auto& [value, size] : numbers)
        for (int i = size - 1; i >= 0; --i) table += static_cast<char>(value >> 8 * i & 0xFF);
    return table;
}

TEST(CharacterMap, GroupMapsGiveTheirGlyphsAndAreReadOnlyInOrder) {
    const auto glyph = [](const std::string& cmap, char32_t character, unsigned glyphCount = 100) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(cmap.data());
        return CharacterGlyphIndex(bytes, cmap.size(), glyphCount, character).value_or(-1u);
    };
    const std::string sequential = GroupMap(12, {{'0', '9', 7}, {0x1D400, 0x1D433, 40}});
    EXPECT_EQ(glyph(sequential, U'\U0001D410'), 56u);
    EXPECT_EQ(glyph(sequential, U'\U0001D410', 56), 0u);  // a glyph the font does not have
    EXPECT_EQ(glyph(sequential, U'\U0001D434'), 0u);
    const std::string shared = GroupMap(13, {{'0', '9', 7}, {0x1D400, 0x1D433, 8}});
    EXPECT_EQ(glyph(shared, U'\U0001D410'), 8u);
    EXPECT_EQ(glyph(shared, '5'), 7u);
    // Groups out of order or overlapping, or a table cut short: no map.
    EXPECT_EQ(glyph(GroupMap(12, {{0x1D400, 0x1D433, 8}, {'0', '9', 7}}), '5'), -1u);
    EXPECT_EQ(glyph(GroupMap(12, {{'0', '9', 7}, {'9', 'A', 7}}), '5'), -1u);
    EXPECT_EQ(glyph(shared.substr(0, shared.size() - 1), '5'), -1u);
}

}  // namespace
