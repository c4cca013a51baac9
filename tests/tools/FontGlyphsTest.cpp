#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "SetupCheck.h"
#include "data/DejaVuSansText.h"
#include "glyphs/linux/FontGlyphs.h"
#include "tools/GlyphCheck.h"
#include "glyphs/GlyphValue.h"

namespace {

class FontGlyphs : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(font.Open(KORAVEL_TEST_FONT, error)) << error << " (package fonts-dejavu-core)";
    }

    int Holes(const GlyphDefinition& glyph) {
        int holes = 0;
        for (int h = 1; h <= kMaxHoles; ++h) holes += glyph.holeStart[h] != 0;
        return holes;
    }

    GlyphFont font;
    MakeOptions options;
};

const std::u32string kLettersAndDigits = U"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

TEST_F(FontGlyphs, EveryLetterAndDigitPassesTheCheckerAndLoadsThroughSetup) {
    std::string text = "[KORAVEL]\r\n[MOJI ZAHYO]\r\n";
    std::vector<int> pointCounts;
    for (char32_t character : kLettersAndDigits) {
        const MadeGlyph made = font.Make(character, options);
        ASSERT_TRUE(made.fit.fitted) << static_cast<char>(character) << ": " << made.fit.reason;
        // Flattening, simplifying and rounding together move no outline
        // visibly: a few design units at most in a cell of 100.
        EXPECT_LT(made.fit.shapeError, 2.5) << static_cast<char>(character);
        const std::string value = FormatGlyphValue(DefaultGlyphName(character), made.fit.glyph);
        const std::vector<std::string> reasons = CheckGlyphValue(value);
        EXPECT_TRUE(reasons.empty()) << static_cast<char>(character) << ": " << reasons.front();
        text += "ZAHYO" + std::to_string(pointCounts.size() + 1) + "=" + value + "\r\n";
        pointCounts.push_back(made.fit.glyph.pointCount);
    }
    UseSettingsFile(text);
    for (std::size_t n = 1; n <= pointCounts.size(); ++n)
        EXPECT_EQ(LoadAndSetUp(static_cast<int>(n), pointCounts[n - 1]), "");
}

TEST_F(FontGlyphs, LettersWithCountersGetTheirHoles) {
    const struct {
        char32_t character;
        int contours;
        int holes;
    } cases[] = {{U'A', 2, 1}, {U'B', 3, 2}, {U'O', 2, 1}, {U'8', 3, 2}, {U'E', 1, 0}, {U'i', 2, 0}, {U'%', 5, 2}};
    for (const auto& expected : cases) {
        const MadeGlyph made = font.Make(expected.character, options);
        ASSERT_TRUE(made.fit.fitted) << made.fit.reason;
        const GlyphDefinition& glyph = made.fit.glyph;
        EXPECT_EQ(glyph.contourCount, expected.contours) << static_cast<char>(expected.character);
        EXPECT_EQ(Holes(glyph), expected.holes) << static_cast<char>(expected.character);
        // Each listed hole starts a contour, and it is never the first one.
        for (int h = 1; h <= Holes(glyph); ++h) {
            bool startsContour = false;
            for (int j = 2; j <= glyph.contourCount; ++j) startsContour |= glyph.contourFirst[j] == glyph.holeStart[h];
            EXPECT_TRUE(startsContour) << static_cast<char>(expected.character);
        }
    }
}

TEST_F(FontGlyphs, CapitalsShareOneBaselineAndStayInTheCell) {
    const MadeGlyph h = font.Make(U'H', options);
    ASSERT_TRUE(h.fit.fitted);
    const GlyphDefinition& glyph = h.fit.glyph;
    const auto [lowY, highY] = std::minmax_element(glyph.pointY + 1, glyph.pointY + glyph.pointCount + 1);
    const auto [lowX, highX] = std::minmax_element(glyph.pointX + 1, glyph.pointX + glyph.pointCount + 1);
    EXPECT_EQ(*lowY, -40);
    EXPECT_EQ(*highY, 40);
    EXPECT_LE(std::abs(*lowX + *highX), 1);  // centred on the cell

    // W is wider than the cell allows at the common scale: it is narrowed.
    const MadeGlyph w = font.Make(U'W', options);
    ASSERT_TRUE(w.fit.fitted);
    EXPECT_TRUE(w.narrowed);
    const auto [wLow, wHigh] = std::minmax_element(w.fit.glyph.pointX + 1, w.fit.glyph.pointX + w.fit.glyph.pointCount + 1);
    EXPECT_GE(*wLow, -48);
    EXPECT_LE(*wHigh, 48);
}

TEST_F(FontGlyphs, CharactersThatCannotFitAreReportedWithTheReason) {
    EXPECT_EQ(font.Make(U'\U0001F319', options).fit.reason, "the font has no glyph for U+1F319");
    EXPECT_EQ(font.Make(U' ', options).fit.reason, "the character has no outline to show");
    EXPECT_EQ(font.Make(U'\u2603', options).fit.reason, "the outline has 26 contours; at most 13 fit");  // snowman
    EXPECT_EQ(font.Make(U'\u2318', options).fit.reason, "the outline has 5 holes; at most 4 fit");      // command key
}

// The values that Windows must give from the same file through its own outlines.
TEST(FontOpen, DejaVuSansGivesTheSharedValuesOfItsText) {
    GlyphFont font;
    std::string error;
    ASSERT_TRUE(font.Open(KORAVEL_TEST_FONT_REGULAR, error)) << error;
    for (int i = 0; i < 3; ++i) {
        const MadeGlyph made = font.Make(kDejaVuSansText[i], MakeOptions{});
        EXPECT_EQ(FormatGlyphValue(DefaultGlyphName(kDejaVuSansText[i]), made.fit.glyph), kDejaVuSansTextValues[i]);
    }
    const MadeGlyph dot = font.Make(kDejaVuSansCircledDot, MakeOptions{});
    EXPECT_EQ(FormatGlyphValue(DefaultGlyphName(kDejaVuSansCircledDot), dot.fit.glyph), kDejaVuSansCircledDotValue);
    const MadeGlyph a = font.Make(kDejaVuSansDoubleStruckA, MakeOptions{});
    EXPECT_EQ(FormatGlyphValue(DefaultGlyphName(kDejaVuSansDoubleStruckA), a.fit.glyph), kDejaVuSansDoubleStruckAValue);
}

TEST(FontOpen, RefusesFilesThatAreNoFonts) {
    GlyphFont font;
    std::string error;
    EXPECT_FALSE(font.Open(std::string(KORAVEL_SOURCE_DIR) + "/res/KORAVEL.ini", error));
    EXPECT_NE(error.find("as a font"), std::string::npos) << error;
    CharacterOutline outline;
    EXPECT_FALSE(font.Outline(U'A', outline, error));
}

}  // namespace
