// The glyph value format and its two readers, through the profile functions
// of this side.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "scene/SceneRecords.h"
#include "settings/GlyphDefinition.h"
#include "settings/GlyphTokens.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace {

const char* const kBox =
    "BOX,8,0,5,0,0,0,2,1,4,5,8,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
    "-30,-40,30,-40,30,40,-30,40,-15,-20,15,-20,15,20,-15,20";

// The BOX glyph with `points` points in one contour, every point (i, -i).
std::string OneContour(int points, const std::string& name = "ONE") {
    std::string value = name + "," + std::to_string(points) + ",0,0,0,0,0,1,1," + std::to_string(points);
    for (int j = 2; j <= 13; ++j) value += ",0,0";
    for (int i = 1; i <= points; ++i) value += "," + std::to_string(i) + "," + std::to_string(-i);
    return value;
}

class GlyphTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::UseTemporarySettingsFolder();
        LoadKeyNames(testsupport::StringTableModule());
        std::snprintf(keyNames.fileName, sizeof keyNames.fileName, "KG%02d.ini", ++fileNumber_);
        path_ = platform::ProfileFilePath(keyNames.fileName);
        std::memset(characterSlots, 0, sizeof characterSlots);
        std::memset(&glyphNameList, 0x5A, sizeof glyphNameList);
        std::memset(&settings, 0, sizeof settings);
        settings.OPTIONN = 1;
        settings.OPTIONA1 = 1;
    }
    void TearDown() override { testsupport::RemoveFile(path_); }

    void WriteGlyphs(const std::string& lines) { testsupport::WriteFile(path_, "[MOJI ZAHYO]\r\n" + lines); }

    std::string path_;
    static inline int fileNumber_ = 0;
};

TEST_F(GlyphTest, TheBoxExampleLoadsEveryField) {
    WriteGlyphs(std::string("ZAHYO1=") + kBox + "\r\n");
    LoadGlyphs();
    const GlyphDefinition& g = characterSlots[1].glyph;
    EXPECT_EQ(g.pointCount, 8);
    EXPECT_EQ(g.reserved, 0);
    EXPECT_EQ(g.holeStart[1], 5);
    EXPECT_EQ(g.holeStart[2] | g.holeStart[3] | g.holeStart[4], 0);
    EXPECT_EQ(g.contourCount, 2);
    EXPECT_EQ(g.contourFirst[1], 1);
    EXPECT_EQ(g.contourLast[1], 4);
    EXPECT_EQ(g.contourFirst[2], 5);
    EXPECT_EQ(g.contourLast[2], 8);
    for (int j = 3; j <= 13; ++j) EXPECT_EQ(g.contourFirst[j] | g.contourLast[j], 0) << "pair " << j;
    const int x[] = {-30, 30, 30, -30, -15, 15, 15, -15};
    const int y[] = {-40, -40, 40, 40, -20, -20, 20, 20};
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(g.pointX[i], x[i - 1]) << "point " << i;
        EXPECT_EQ(g.pointY[i], y[i - 1]) << "point " << i;
    }
}

TEST_F(GlyphTest, EmptyFieldsAreSkippedAndEachSlotGetsItsOwnCopy) {
    std::string doubled = std::string(",BOX,,8,,0,,,5") + (kBox + 9) + ",,,";
    WriteGlyphs(std::string("ZAHYO1=") + kBox + "\r\nZAHYO2=" + doubled + "\r\n");
    settings.OPTIONN = 3;
    settings.OPTIONA1 = 1;
    settings.OPTIONA2 = 2;
    settings.OPTIONA3 = 1;
    LoadGlyphs();
    EXPECT_EQ(std::memcmp(&characterSlots[1].glyph, &characterSlots[2].glyph, sizeof(GlyphDefinition)), 0);
    EXPECT_EQ(std::memcmp(&characterSlots[1].glyph, &characterSlots[3].glyph, sizeof(GlyphDefinition)), 0);
    characterSlots[3].glyph.pointX[1] = 99;
    EXPECT_EQ(characterSlots[1].glyph.pointX[1], -30);
}

TEST_F(GlyphTest, OnlyTheShownSlotsAreRead) {
    WriteGlyphs(std::string("ZAHYO1=") + kBox + "\r\n");
    settings.OPTIONN = 2;
    settings.OPTIONA2 = 1;
    settings.OPTIONA3 = 1;  // slot 3 is not shown
    LoadGlyphs();
    EXPECT_EQ(characterSlots[2].glyph.pointCount, 8);
    EXPECT_EQ(characterSlots[3].glyph.pointCount, 0);
}

TEST(GlyphNumbers, ReadAsAtofAndTruncateTowardZero) {
    const struct {
        const char* token;
        std::int32_t expected;
    } cases[] = {
        {" 12", 12},  {"12.99", 12},  {"12abc", 12}, {"-0.5", 0},       {"1e2", 100},    {"-3.7", -3},
        {"7x", 7},    {"abc", 0},     {"", 0},       {"1e", 1},         {"1e+", 1},      {".5e1", 5},
        {"+8", 8},    {"- 8", 0},     {"0x10", 0},   {"inf", 0},        {"nan", 0},      {"1e400", 2147483647},
        {"-1e400", -2147483647 - 1},  {"2147483647.9", 2147483647},     {"\t-45", -45},  {"4.", 4},
    };
    for (const auto& c : cases) EXPECT_EQ(ReadGlyphNumber(c.token), c.expected) << "token \"" << c.token << "\"";
}

TEST(GlyphTokens, RunsOfCommasAreOneSeparatorAndSpacesBelongToTheirToken) {
    GlyphTokenReader reader(",,A B,, 12 ,3,,");
    std::string_view token;
    ASSERT_TRUE(reader.Next(token));
    EXPECT_EQ(token, "A B");
    ASSERT_TRUE(reader.Next(token));
    EXPECT_EQ(token, " 12 ");
    ASSERT_TRUE(reader.Next(token));
    EXPECT_EQ(token, "3");
    EXPECT_FALSE(reader.Next(token));
    EXPECT_FALSE(GlyphTokenReader(",,,").Next(token));
}

TEST_F(GlyphTest, OnlyTheFirst511CharactersCount) {
    // A name long enough that character 512 is the last digit of the last y.
    std::string rest = std::string(kBox).substr(3);
    std::string name(512 - rest.size(), 'N');
    WriteGlyphs("ZAHYO1=" + name + rest + "\r\n");
    LoadGlyphs();
    EXPECT_EQ(characterSlots[1].glyph.pointCount, 8);
    EXPECT_EQ(characterSlots[1].glyph.pointY[8], 2) << "the 20 is cut to 2";

    WriteGlyphs("ZAHYO1=" + name + "X" + rest + "\r\n");  // now the last token is cut off entirely
    std::memset(characterSlots, 0, sizeof characterSlots);
    LoadGlyphs();
    EXPECT_EQ(characterSlots[1].glyph.pointCount, 0) << "a glyph missing a number is refused";
}

TEST_F(GlyphTest, TheNameListEndsAtTheSentinelOrTheFirstGap) {
    WriteGlyphs("ZAHYO1=" + OneContour(3, "A") + "\r\nZAHYO2=LONGERNAME12,3\r\nZAHYO3=zahyo-end,1\r\nZAHYO4=D\r\n");
    ListGlyphNames();
    ASSERT_EQ(glyphNameList.count, 2);
    EXPECT_STREQ(glyphNameList.names[0], "A");
    EXPECT_STREQ(glyphNameList.names[1], "LONGERNAM") << "cut to nine characters";

    WriteGlyphs("ZAHYO1=A\r\nZAHYO2=\r\nZAHYO3=,,,\r\nZAHYO4= B \r\nZAHYO6=F\r\n");
    ListGlyphNames();
    ASSERT_EQ(glyphNameList.count, 4) << "ZAHYO5 is missing, so ZAHYO6 is never read";
    EXPECT_STREQ(glyphNameList.names[1], "") << "an empty value keeps its line";
    EXPECT_STREQ(glyphNameList.names[2], "");
    EXPECT_STREQ(glyphNameList.names[3], "B");
}

TEST_F(GlyphTest, NoFileListsNothing) {
    ListGlyphNames();
    EXPECT_EQ(glyphNameList.count, 0);
}

TEST_F(GlyphTest, AtMost99NamesAreListed) {
    std::string lines;
    for (int n = 1; n <= 101; ++n) lines += "ZAHYO" + std::to_string(n) + "=G" + std::to_string(n) + "\r\n";
    WriteGlyphs(lines);
    ListGlyphNames();
    ASSERT_EQ(glyphNameList.count, 99);
    EXPECT_STREQ(glyphNameList.names[98], "G99");
}

TEST_F(GlyphTest, AGlyphTheStorageCannotHoldShowsNothing) {
    std::string tooManyContours = OneContour(3);
    tooManyContours.replace(tooManyContours.find(",1,1,3"), 6, ",14,1,3");
    std::string contourBeyondPoints = OneContour(3);
    contourBeyondPoints.replace(contourBeyondPoints.find(",1,1,3"), 6, ",1,1,4");
    std::string contourAtZero = OneContour(3);
    contourAtZero.replace(contourAtZero.find(",1,1,3"), 6, ",1,0,3");
    std::string tooFewTokens = OneContour(5);
    tooFewTokens.erase(tooFewTokens.rfind(','));
    const std::string broken[] = {
        OneContour(46), tooManyContours, contourBeyondPoints, contourAtZero, tooFewTokens,
        "", ",,,", "ONE,-1,0,0,0,0,0,0", "ZAHYO-END,3", "ONE,3",
    };
    for (const std::string& value : broken) {
        WriteGlyphs("ZAHYO1=" + OneContour(4) + "\r\nZAHYO2=" + value + "\r\n");
        settings.OPTIONN = 2;
        settings.OPTIONA2 = 2;
        // Slot 2 first holds a good glyph, so a refusal must empty it.
        characterSlots[2].glyph = characterSlots[1].glyph;
        characterSlots[2].glyph.pointCount = 4;
        characterSlots[2].glyph.contourCount = 1;
        LoadGlyphs();
        EXPECT_EQ(characterSlots[1].glyph.pointCount, 4) << value;
        EXPECT_EQ(characterSlots[2].glyph.pointCount, 0) << value;
        EXPECT_EQ(characterSlots[2].glyph.contourCount, 0) << value;
    }
}

TEST_F(GlyphTest, TheLargestGlyphFits) {
    std::string value = OneContour(45);
    WriteGlyphs("ZAHYO1=" + value + "\r\n");
    ASSERT_LE(value.size(), 511u);
    LoadGlyphs();
    EXPECT_EQ(characterSlots[1].glyph.pointCount, 45);
    EXPECT_EQ(characterSlots[1].glyph.pointX[45], 45);
    EXPECT_EQ(characterSlots[1].glyph.pointY[45], -45);
}

TEST_F(GlyphTest, GlyphNumbersBeyondThreeDigitsAndSlotCountsBeyondNineSelectNothingUnsafe) {
    std::string lines = "ZAHYO1=" + OneContour(3) + "\r\nZAHYO999=" + OneContour(4) + "\r\n";
    WriteGlyphs(lines);
    settings.OPTIONN = 40;  // counts as 9 shown slots
    const std::int32_t choices[] = {1, 999, 1000, -1, 0, 4294967, 2147483647, -2147483647 - 1, 1};
    for (int k = 1; k <= 9; ++k) settings.*glyphChoiceField[k] = choices[k - 1];
    LoadGlyphs();
    const int points[] = {3, 4, 0, 0, 0, 0, 0, 0, 3};
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(characterSlots[k].glyph.pointCount, points[k - 1]) << "slot " << k;

    settings.OPTIONN = -3;  // counts as one shown slot
    std::memset(characterSlots, 0, sizeof characterSlots);
    LoadGlyphs();
    EXPECT_EQ(characterSlots[1].glyph.pointCount, 3);
    EXPECT_EQ(characterSlots[2].glyph.pointCount, 0);
}

}  // namespace
