#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "SceneTestSupport.h"
#include "glyphs/LayOutText.h"
#include "scene/SetupScene.h"
#include "scene/TextShow.h"

namespace {

// A font of boxes at 1000 units per em with capitals 800 high, so that 10
// font units are one design unit. Each character is its own glyph, a box
// 50 units in from either side of its advance: 600 units, "l" 250, ":" and
// the space 300, "W" 1400. "A" before "V" kerns by -100. A combining mark (U+0300 ..
// U+036F) joins its base's cluster with no advance, drawn above it; Hebrew
// runs come out right to left; the joiner U+200D and the space have no
// ink; U+E000 is in no font (glyph 0).
class BoxFont : public TextFont {
public:
    std::map<std::uint32_t, int> outlineCalls;

    bool Shape(const std::u32string& text, ShapedText& shaped) override {
        shaped = {text, {}};
        for (std::uint32_t i = 0; i < text.size(); ++i) {
            const char32_t c = text[i];
            ShapedGlyph glyph{0, c == U'\uE000' ? 0u : static_cast<std::uint32_t>(c), i, Advance(c), 0.0, 0.0};
            if (c >= U'\u0300' && c <= U'\u036F' && i > 0) {
                glyph.cluster = shaped.glyphs.back().cluster;
                glyph.xOffset = -shaped.glyphs.back().xAdvance;
                glyph.yOffset = 900;
            }
            if (c == U'V' && i > 0 && text[i - 1] == U'A') shaped.glyphs.back().xAdvance -= 100;
            shaped.glyphs.push_back(glyph);
        }
        // Right to left: each run of Hebrew letters in reverse.
        for (auto run = shaped.glyphs.begin(); run != shaped.glyphs.end();) {
            auto end = std::find_if(run, shaped.glyphs.end(), [](const ShapedGlyph& g) { return !IsHebrew(g.glyphIndex); });
            std::reverse(run, end);
            run = end == shaped.glyphs.end() ? end : end + 1;
        }
        return true;
    }
    bool GlyphOutline(std::uint32_t, std::uint32_t glyph, CharacterOutline& outline) override {
        ++outlineCalls[glyph];
        outline.clear();
        const double right = glyph >= 0x300 && glyph <= 0x36F ? 300 : Advance(glyph) - 50;
        if (glyph != U' ' && glyph != 0x200D)
            outline.push_back({{50, 0}, {{0, {}, {right, 0}}, {0, {}, {right, 800}}, {0, {}, {50, 800}}}});
        return true;
    }
    FontMetrics Metrics() const override { return {1000, 800, 0}; }

private:
    static bool IsHebrew(std::uint32_t c) { return c >= 0x5D0 && c <= 0x5EA; }
    static double Advance(char32_t c) {
        if (c >= U'\u0300' && c <= U'\u036F') return 0;
        if (c == U'W') return 1400;
        return c == U'l' ? 250 : c == U':' || c == U' ' ? 300 : c == 0x200D ? 0 : 600;
    }
};

std::vector<std::string> said;
void Note(const std::string& message) { said.push_back(message); }

ClockTime At(int hour, int minute, int second, std::int64_t steady) {
    return {2026, 12, 9, hour, minute, second, steady};
}

class TextShowTest : public scenetest::FreshScene {
protected:
    void SetUp() override {
        FreshScene::SetUp();
        said.clear();
        settings.SIZEY = settings.SIZE = 10;
    }
    void TearDown() override { StopTextShow(); }

    std::vector<std::int32_t> Centers() const {
        std::vector<std::int32_t> centers;
        for (int k = 1; k <= settings.OPTIONN; ++k) centers.push_back(characterSlots[k].centerX);
        return centers;
    }
    BoxFont font;
};

TEST_F(TextShowTest, SlotsStandWhereTheFontPutsTheirInk) {
    // A 500 (kerned) + V 600 + l 250 = 1350 wide; each centre is its box's
    // middle from the row's middle, 675: -375, 125 and 550 font units.
    ASSERT_TRUE(StartTextShow(font, U"AVl", 4, At(12, 0, 0, 0), Note));
    settings.OPTIONP = 2;
    SetupScene();
    EXPECT_EQ(settings.OPTIONN, 3);
    EXPECT_EQ(textRow.width, 135);
    EXPECT_EQ(Centers(), (std::vector<std::int32_t>{-37, 13, 55}));  // halves round up
    EXPECT_EQ(sceneState.minPosX, 67);  // half the laid-out width, not three cells'
    // A window set up again (its glyphs loaded anew) gets the same places.
    std::memset(characterSlots, 0, sizeof characterSlots);
    settings.OPTIONN = 1;
    ASSERT_TRUE(ShowTextAgain());
    SetupScene();
    EXPECT_EQ(Centers(), (std::vector<std::int32_t>{-37, 13, 55}));
    // The glyph is the l's own narrow box, its 15 units about the centre,
    // in sixteenths of a unit, which hold its half exactly.
    const int subunits = characterSlots[3].glyph.subunits;
    EXPECT_EQ(subunits, 16);
    EXPECT_EQ(characterSlots[3].glyph.pointX[1] - subunits * characterSlots[3].centerX, 120);
    EXPECT_EQ(characterSlots[3].glyph.pointX[3] - subunits * characterSlots[3].centerX, -120);
    // A character wider than a stored glyph's cell keeps its width: W's box
    // of 130 units is not narrowed to the cell's 96.
    ASSERT_TRUE(StartTextShow(font, U"lW", 4, At(12, 0, 0, 0), Note));
    const ShownGlyph& w = characterSlots[2].glyph;
    const auto [left, right] = std::minmax_element(w.pointX + 1, w.pointX + 1 + w.pointCount);
    EXPECT_EQ(*right - *left, 130 * 16);

    // Ended, the same scene stands in fixed cells again.
    StopTextShow();
    scenetest::FreshScene::SetUp();
    settings.SIZEY = 10;
    ShowGlyph(scenetest::BoxGlyph(), 3);
    SetupScene();
    EXPECT_EQ(Centers(), (std::vector<std::int32_t>{-100, 0, 100}));
}

TEST_F(TextShowTest, ClustersJoinMarksAndTakeNoSlotWithoutInk) {
    // The mark's box joins its base's outline; the joiner and the space keep
    // their advance and take no slot; the Hebrew pair shows right to left.
    ShapedText shaped;
    font.Shape(U"e\u0301\u200Dx \u05D0\u05D1", shaped);
    const LaidOutText line = LayOutText(shaped, [](std::uint32_t, std::uint32_t glyph) {
        static std::map<std::uint32_t, CharacterOutline> outlines;
        BoxFont().GlyphOutline(0, glyph, outlines[glyph]);
        return &outlines[glyph];
    });
    std::vector<std::u32string> characters;
    std::vector<bool> inked;
    for (const LaidOutCluster& cluster : line.clusters) {
        characters.push_back(cluster.characters);
        inked.push_back(cluster.inked);
    }
    EXPECT_EQ(characters, (std::vector<std::u32string>{U"e\u0301", U"\u200D", U"x", U" ", U"\u05D1", U"\u05D0"}));
    EXPECT_EQ(inked, (std::vector<bool>{true, false, true, false, true, true}));
    ASSERT_EQ(line.clusters[0].outline.size(), 2u);
    EXPECT_EQ(line.clusters[0].outline[1].start.y, 900);
    EXPECT_EQ(line.clusters[2].pen, 600);
    EXPECT_EQ(line.width, 600 + 600 + 300 + 1200);
    EXPECT_EQ(line.clusters[4].textIndex, 6u);
}

TEST_F(TextShowTest, ALongTextShowsNineClustersAPageBreakingAtSpacesAndKeepsItsMotion) {
    ASSERT_TRUE(StartTextShow(font, U"ABCDE FGHIJ KLMNOPQRSTUVW", 4, At(12, 0, 0, 100), Note));
    settings.OPTIONP = 2;
    SetupScene();
    EXPECT_EQ(settings.OPTIONN, 5);  // "ABCDE": FGHIJ would make ten
    sceneState.scenePosX = 123;
    sceneState.velocityX = -7;
    sceneState.globalAngle = 77;
    characterSlots[2].ownAngle = 33;
    EXPECT_FALSE(AdvanceTextShow(At(12, 0, 3, 103)));
    std::vector<int> counts;
    for (std::int64_t steady : {104, 108, 112, 116}) {
        ASSERT_TRUE(AdvanceTextShow(At(12, 0, 0, steady)));
        counts.push_back(settings.OPTIONN);
    }
    // "FGHIJ", the word too long for a page cut after nine, its rest, and
    // the first page again.
    EXPECT_EQ(counts, (std::vector<int>{5, 9, 4, 5}));
    EXPECT_EQ(sceneState.scenePosX, 123);
    EXPECT_EQ(sceneState.velocityX, -7);
    EXPECT_EQ(sceneState.globalAngle, 77);
    EXPECT_EQ(characterSlots[2].ownAngle, 33);
    EXPECT_EQ(sceneState.minPosX, 150);  // the first page's 3000 units
    EXPECT_EQ(characterSlots[1].centerX, -120);

    // No length ends the show: a thousand words page on.
    std::u32string words;
    for (int k = 0; k < 1000; ++k) words += U"lAVl ";
    ASSERT_TRUE(StartTextShow(font, words, 1, At(12, 0, 0, 0), Note));
    EXPECT_EQ(settings.OPTIONN, 8);
    EXPECT_FALSE(AdvanceTextShow(At(12, 0, 0, 0)));
}

TEST_F(TextShowTest, AClockTickMakesOnlyTheSlotThatChanged) {
    ASSERT_TRUE(StartTextShow(font, U"%H:%M:%S", 4, At(12, 34, 56, 0), Note));
    SetupScene();
    ASSERT_EQ(settings.OPTIONN, 8);
    // A slot laid out again gets its colour again: the marks show which were.
    for (int k = 1; k <= 8; ++k) characterSlots[k].faceColors.front.red = 1;
    const std::int32_t lastCenter = characterSlots[8].centerX;
    font.outlineCalls.clear();
    EXPECT_FALSE(AdvanceTextShow(At(12, 34, 56, 0)));
    ASSERT_TRUE(AdvanceTextShow(At(12, 34, 57, 1)));
    EXPECT_EQ(font.outlineCalls, (std::map<std::uint32_t, int>{{U'7', 1}}));
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(characterSlots[k].faceColors.front.red == 1, k < 8) << "slot " << k;
    EXPECT_EQ(characterSlots[8].centerX, lastCenter);
}

TEST(ClockText, FormatsEveryTimeCodeTheSameOnEveryPlatform) {
    EXPECT_EQ(FormatClockText(U"%H %I %M %S %p %d %m %y %Y %% %q %", At(0, 5, 7, 0)),
              U"00 12 05 07 AM 09 12 26 2026 % %q %");
    EXPECT_EQ(FormatClockText(U"%I:%M %p|%%H", At(13, 0, 0, 0)), U"01:00 PM|%H");
    EXPECT_TRUE(HasClockCodes(U"It is %S"));
    EXPECT_FALSE(HasClockCodes(U"100%%Sure %"));
    EXPECT_EQ(CollapseWhiteSpace(U" \tGo on\t   \n now \r\n"), U"Go on now");
}

TEST_F(TextShowTest, WhatCannotBeShownIsSaidOnceAndEmptyTextsShowTheStoredGlyphs) {
    ASSERT_TRUE(StartTextShow(font, U"A\uE000B %S", 4, At(0, 0, 1, 0), Note));
    AdvanceTextShow(At(0, 0, 2, 1));
    EXPECT_EQ(said, (std::vector<std::string>{"no font has \xee\x80\x80 (U+E000); its place stays empty"}));
    EXPECT_EQ(settings.OPTIONN, 4);
    EXPECT_FALSE(StartTextShow(font, U" \t ", 4, At(0, 0, 0, 0), Note));
    EXPECT_EQ(textRow.used, 0);
}

}  // namespace
