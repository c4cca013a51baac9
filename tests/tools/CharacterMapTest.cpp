// The reader of 'cmap' tables that the Windows side looks characters up
// with, against FreeType on the same font file.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H

#include <vector>

#include "glyphs/NativeOutline.h"

namespace {

// Every character of DejaVu Sans, and the one on either side of it, gets
// the glyph FreeType gives it: from the font's full map, and for the
// characters up to U+FFFF from its format 4 map alone.
TEST(CharacterMap, GivesEveryCharacterTheGlyphFreeTypeGives) {
    FT_Library library;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face;
    ASSERT_EQ(FT_New_Face(library, KORAVEL_TEST_FONT_REGULAR, 0, &face), 0);
    FT_ULong size = 0;
    ASSERT_EQ(FT_Load_Sfnt_Table(face, TTAG_cmap, 0, nullptr, &size), 0);
    std::vector<unsigned char> full(size);
    ASSERT_EQ(FT_Load_Sfnt_Table(face, TTAG_cmap, 0, full.data(), &size), 0);
    // The full map's records turned into those of an encoding no reader takes.
    std::vector<unsigned char> plane = full;
    for (std::size_t record = 4; record + 8 <= 4 + 8 * std::size_t{full[2] * 256u + full[3]}; record += 8)
        if (full[record + 3] == 10 || full[record + 3] == 4) plane[record + 3] = 99;

    const auto glyphCount = static_cast<unsigned>(face->num_glyphs);
    int characters = 0, wrong = 0;
    FT_UInt index;
    for (FT_ULong character = FT_Get_First_Char(face, &index); index != 0; character = FT_Get_Next_Char(face, character, &index)) {
        ++characters;
        for (const char32_t near : {character - 1, character, character + 1}) {
            const unsigned expected = FT_Get_Char_Index(face, near);
            const unsigned fromFull = CharacterGlyphIndex(full.data(), full.size(), glyphCount, near).value_or(-1u);
            const unsigned fromPlane = CharacterGlyphIndex(plane.data(), plane.size(), glyphCount, near).value_or(-1u);
            if (fromFull != expected || (near <= 0xFFFF && fromPlane != expected)) {
                if (++wrong <= 5) ADD_FAILURE() << std::hex << "U+" << static_cast<unsigned>(near) << ": FreeType " << expected << ", full map "
                                                << fromFull << ", format 4 " << fromPlane;
            }
        }
    }
    EXPECT_GT(characters, 5000);
    EXPECT_EQ(wrong, 0);
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

}  // namespace
