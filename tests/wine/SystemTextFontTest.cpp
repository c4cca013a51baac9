// Texts laid out by Uniscribe in the system's fonts. The glyphs and
// positions expected are HarfBuzz's for the same font files (hb-shape of
// Debian's libharfbuzz-bin 6.0, fonts-dejavu-core and fonts-ipafont-gothic),
// which the Linux side lays texts out with: Wine's Uniscribe gives the
// same, the kerning of DejaVu Sans included.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "glyphs/win32/SystemTextFont.h"

namespace {

struct Expected {
    std::uint32_t glyph, cluster;
    double advance, xOffset = 0.0;
};

LOGFONTW Family(const wchar_t* face) {
    LOGFONTW wanted{};
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    wanted.lfWeight = FW_NORMAL;
    return wanted;
}

void ExpectShaped(SystemTextFont& font, const std::u32string& text, const std::vector<Expected>& expected) {
    ShapedText shaped;
    ASSERT_TRUE(font.Shape(text, shaped));
    ASSERT_EQ(shaped.glyphs.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(shaped.glyphs[i].face, 0u);
        EXPECT_EQ(shaped.glyphs[i].glyphIndex, expected[i].glyph);
        EXPECT_EQ(shaped.glyphs[i].cluster, expected[i].cluster);
        EXPECT_EQ(shaped.glyphs[i].xAdvance, expected[i].advance);
        EXPECT_EQ(shaped.glyphs[i].xOffset, expected[i].xOffset);
        EXPECT_EQ(shaped.glyphs[i].yOffset, 0.0);
    }
}

TEST(SystemTextFont, LaysTextsOutAsHarfBuzzDoes) {
    SystemTextFont dejaVu, ipaGothic;
    ASSERT_TRUE(dejaVu.Open(Family(L"DejaVu Sans")));
    ASSERT_EQ(dejaVu.FaceName(0), L"DejaVu Sans");
    // Kerned: A-V, V-A and A-T come closer than the 1401 units of an A alone.
    ExpectShaped(dejaVu, U"AVATAR",
                 {{36, 0, 1270}, {57, 1, 1270}, {36, 2, 1242}, {55, 3, 1092}, {36, 4, 1401}, {53, 5, 1423}});
    // A base and its combining mark are one cluster; a pair the font has as
    // one character is composed first.
    ExpectShaped(dejaVu, U"q\u0301e\u0301o\u0338",
                 {{84, 0, 1300}, {690, 0, 0, -165}, {171, 2, 1260}, {82, 3, 1253}, {745, 3, 0}});
    // Right-to-left runs in visual order, the paragraph's direction taken
    // from its first strong character.
    ExpectShaped(dejaVu, U"ab \u05d0\u05d1\u05d2",
                 {{68, 0, 1255}, {69, 1, 1300}, {3, 2, 651}, {1321, 5, 844}, {1320, 4, 1184}, {1319, 3, 1369}});
    ExpectShaped(dejaVu, U"\u05d0\u05b8\u05d1 ab",
                 {{68, 4, 1255}, {69, 5, 1300}, {3, 3, 651}, {1320, 2, 1184}, {1305, 0, 0, 79}, {1319, 0, 1369}});
    ASSERT_TRUE(ipaGothic.Open(Family(L"IPAGothic")));
    ExpectShaped(ipaGothic, U"日本語のﾃｷｽﾄ、ＡＢ",
                 {{3039, 0, 2048}, {3477, 1, 2048}, {1707, 2, 2048}, {642, 3, 2048}, {326, 4, 1024}, {314, 5, 1024},
                  {320, 6, 1024}, {327, 7, 1024}, {389, 8, 2048}, {545, 9, 2048}, {546, 10, 2048}});
    ShapedText composed;
    ASSERT_TRUE(dejaVu.Shape(U"e\u0301\U0001D538", composed));
    EXPECT_EQ(composed.text, U"\u00e9\U0001D538");
    ASSERT_EQ(composed.glyphs.size(), 2u);
    EXPECT_EQ(composed.glyphs[1].cluster, 1u);  // in characters, not UTF-16 units
}

// A character the font lacks comes from a substitute, in the asked font's
// units; one that no font has is the asked font's glyph 0, which has no
// outline. A font uninstalled since it was chosen is the system's
// user-interface font.
TEST(SystemTextFont, TakesWhatTheFontLacksFromTheSystemsSubstitutes) {
    SystemTextFont font;
    ASSERT_TRUE(font.Open(Family(L"DejaVu Sans")));
    ShapedText shaped;
    ASSERT_TRUE(font.Shape(U"A\u3042\u0378B", shaped));
    ASSERT_EQ(shaped.glyphs.size(), 4u);
    EXPECT_EQ(shaped.glyphs[0].glyphIndex, 36u);
    const ShapedGlyph& kana = shaped.glyphs[1];
    EXPECT_EQ(kana.face, 1u);
    EXPECT_EQ(kana.cluster, 1u);
    EXPECT_NE(kana.glyphIndex, 0u);
    EXPECT_EQ(kana.xAdvance, 2048.0);  // a full-width kana: one em of DejaVu Sans's 2048 units
    CharacterOutline outline;
    EXPECT_TRUE(font.GlyphOutline(1, kana.glyphIndex, outline));
    EXPECT_FALSE(outline.empty());
    EXPECT_EQ(shaped.glyphs[2].face, 0u);
    EXPECT_EQ(shaped.glyphs[2].glyphIndex, 0u);
    EXPECT_EQ(shaped.glyphs[2].cluster, 2u);
    EXPECT_FALSE(font.GlyphOutline(0, 0, outline));
    EXPECT_EQ(shaped.glyphs[3].glyphIndex, 37u);
    ASSERT_TRUE(font.Shape(U"\u0378", shaped));  // known to be in no font: not looked for again
    EXPECT_EQ(shaped.glyphs.at(0).glyphIndex, 0u);

    SystemTextFont uninstalled;
    ASSERT_TRUE(uninstalled.Open(Family(L"No Such Font")));
    EXPECT_EQ(uninstalled.FaceName(0), SystemInterfaceFace());
    EXPECT_TRUE(uninstalled.Shape(U"KORAVEL", shaped));
    EXPECT_EQ(shaped.glyphs.size(), 7u);
}

}  // namespace
