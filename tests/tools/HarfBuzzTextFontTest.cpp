// The Linux text font against HarfBuzz's own shaping of DejaVu Sans, as
// hb-shape (libharfbuzz-bin) prints it: glyphs, clusters and advances in
// the font's units, kerning included.
#include <gtest/gtest.h>

#include <vector>

#include "glyphs/linux/HarfBuzzTextFont.h"

namespace {

std::vector<std::string> said;
void Note(const std::string& message) { said.push_back(message); }

struct Glyph {
    std::uint32_t face, glyph, cluster;
    double advance;
    bool operator==(const Glyph&) const = default;
};

std::vector<Glyph> Shaped(HarfBuzzTextFont& font, const std::u32string& text, std::u32string* composed = nullptr) {
    ShapedText shaped;
    EXPECT_TRUE(font.Shape(text, shaped));
    if (composed) *composed = shaped.text;
    std::vector<Glyph> glyphs;
    for (const ShapedGlyph& g : shaped.glyphs) glyphs.push_back({g.face, g.glyphIndex, g.cluster, g.xAdvance});
    return glyphs;
}

TEST(HarfBuzzTextFont, GivesHarfBuzzsPositionsClustersAndVisualOrder) {
    HarfBuzzTextFont font(KORAVEL_TEST_FONT_REGULAR, Note);
    ASSERT_TRUE(font.usable());
    EXPECT_EQ(font.FaceFile(0), KORAVEL_TEST_FONT_REGULAR);
    EXPECT_EQ(font.Metrics().unitsPerEm, 2048);
    // hb-shape DejaVuSans.ttf AVATAR: A and V kern (1401 without), V and A,
    // A and T, T and A.
    EXPECT_EQ(Shaped(font, U"AVATAR"), (std::vector<Glyph>{{0, 36, 0, 1270}, {0, 57, 1, 1270}, {0, 36, 2, 1242},
                                                            {0, 55, 3, 1092}, {0, 36, 4, 1401}, {0, 53, 5, 1423}}));
    // Composed first: e and the combining acute are the one glyph of é; q
    // and a tilde, which has no composed form, are one cluster of two.
    std::u32string composed;
    EXPECT_EQ(Shaped(font, U"e\u0301", &composed), (std::vector<Glyph>{{0, 171, 0, 1260}}));
    EXPECT_EQ(composed, U"\u00E9");
    EXPECT_EQ(Shaped(font, U"q\u0303"), (std::vector<Glyph>{{0, 84, 0, 1300}, {0, 692, 0, 0}}));
    // A right-to-left paragraph: the Latin letter at the left, the Hebrew
    // letters right to left.
    EXPECT_EQ(Shaped(font, U"\u05D0\u05D1 c"),
              (std::vector<Glyph>{{0, 70, 3, 1126}, {0, 3, 2, 651}, {0, 1320, 1, 1184}, {0, 1319, 0, 1369}}));
    EXPECT_TRUE(said.empty()) << said.front();
}

TEST(HarfBuzzTextFont, TakesStandInsForWhatTheFontLacksAndGlyphZeroForWhatNoFontHas) {
    HarfBuzzTextFont font(KORAVEL_TEST_FONT_REGULAR, Note);
    const std::vector<Glyph> glyphs = Shaped(font, U"A\u3053\U0010FFFD");
    ASSERT_EQ(glyphs.size(), 3u);
    EXPECT_GT(glyphs[1].face, 0u);
    EXPECT_NE(glyphs[1].glyph, 0u);
    EXPECT_NE(font.FaceFile(glyphs[1].face), KORAVEL_TEST_FONT_REGULAR);
    EXPECT_EQ(glyphs[2].face, 0u);
    EXPECT_EQ(glyphs[2].glyph, 0u);
    CharacterOutline outline;
    EXPECT_TRUE(font.GlyphOutline(glyphs[1].face, glyphs[1].glyph, outline));
    EXPECT_FALSE(outline.empty());
    EXPECT_FALSE(font.GlyphOutline(7, 1, outline));

    // A file that is no font is said, and sans-serif stands in.
    said.clear();
    HarfBuzzTextFont none("/nonexistent/font.ttf", Note);
    EXPECT_TRUE(none.usable());
    EXPECT_EQ(said, (std::vector<std::string>{"cannot use /nonexistent/font.ttf as a font: no such file; taking sans-serif"}));
}

}  // namespace
