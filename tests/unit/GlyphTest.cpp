// The glyph value format and its two readers, through the profile functions
// of this side.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "config/TextGlyphs.h"
#include "glyphs/FindMeetingEdges.h"
#include "glyphs/GlyphValue.h"
#include "glyphs/MakeGlyph.h"
#include "glyphs/MergeOverlaps.h"
#include "scene/SceneRecords.h"
#include "settings/GlyphDefinition.h"
#include "settings/GlyphTokens.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"
#include "support/ToothedSquare.h"

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
        textGlyphStore = {};
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
    GlyphDefinition stored{};
    ASSERT_TRUE(ParseGlyphValue(kBox, stored));
    EXPECT_EQ(stored.reserved, 0);
    EXPECT_EQ(stored.holeStart[1], 5);
    EXPECT_EQ(stored.holeStart[2] | stored.holeStart[3] | stored.holeStart[4], 0);
    const ShownGlyph& g = characterSlots[1].glyph;
    EXPECT_EQ(g.holeFlag[1], 0);
    EXPECT_EQ(g.holeFlag[2], 1) << "the contour from point 5 is the hole";
    EXPECT_EQ(g.pointCount, 8);
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

// A contour is a hole when a hole start names its first point: a start
// inside a contour, a repeated start and the unused starts of 0 mark no other.
TEST_F(GlyphTest, HoleStartsMarkOnlyTheContoursTheyBegin) {
    std::string value = "HOLES,12,0,0,2,5,5,3,1,4,5,8,9,12";
    for (int j = 4; j <= 13; ++j) value += ",0,0";
    for (int i = 1; i <= 12; ++i) value += "," + std::to_string(i) + "," + std::to_string(i % 4 < 2 ? 0 : 10);
    WriteGlyphs("ZAHYO1=" + value + "\r\n");
    LoadGlyphs();
    ASSERT_EQ(characterSlots[1].glyph.contourCount, 3);
    for (int j = 1; j <= kShownGlyphContours; ++j)
        EXPECT_EQ(characterSlots[1].glyph.holeFlag[j], j == 2 ? 1 : 0) << "contour " << j;
}

TEST_F(GlyphTest, EmptyFieldsAreSkippedAndEachSlotGetsItsOwnCopy) {
    std::string doubled = std::string(",BOX,,8,,0,,,5") + (kBox + 9) + ",,,";
    WriteGlyphs(std::string("ZAHYO1=") + kBox + "\r\nZAHYO2=" + doubled + "\r\n");
    settings.OPTIONN = 3;
    settings.OPTIONA1 = 1;
    settings.OPTIONA2 = 2;
    settings.OPTIONA3 = 1;
    LoadGlyphs();
    EXPECT_EQ(std::memcmp(&characterSlots[1].glyph, &characterSlots[2].glyph, sizeof(ShownGlyph)), 0);
    EXPECT_EQ(std::memcmp(&characterSlots[1].glyph, &characterSlots[3].glyph, sizeof(ShownGlyph)), 0);
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

// A character of a text, its glyph one contour of `points` points (i, -i).
TextCharacter TextOf(char32_t character, int points) {
    TextCharacter made{character, {}};
    EXPECT_TRUE(ParseGlyphValue(OneContour(points), made.glyph));
    return made;
}

// The glyph stored under ZAHYO<number>, as the file holds it.
std::string StoredGlyph(int number) {
    char value[512];
    const std::string key = "ZAHYO" + std::to_string(number);
    platform::ReadProfileString(keyNames.glyphSection, key.c_str(), "", value, sizeof value, keyNames.fileName);
    return value;
}

std::vector<std::string> Listed() {
    return std::vector<std::string>(glyphNameList.names, glyphNameList.names + glyphNameList.count);
}

// The dialog's list must be the one the file gives once the glyphs are written.
void ExpectListedAsWritten(const std::vector<std::string>& names) {
    EXPECT_EQ(Listed(), names);
    ASSERT_TRUE(WriteTextGlyphs());
    EXPECT_TRUE(textGlyphStore.pending.empty());
    ListGlyphNames();
    EXPECT_EQ(Listed(), names) << "as the file lists them";
}

// A text's glyphs: an equal stored one is reused, a new one is named after
// its character and takes a free key; nothing is written before OK.
TEST_F(GlyphTest, ATextReusesEqualGlyphsAndAddsTheOthersWithoutOverwriting) {
    WriteGlyphs("ZAHYO1=" + OneContour(3, "A") + "\r\nZAHYO2=" + OneContour(4, "B") +
                "\r\nZAHYO3=ZAHYO-END\r\nZAHYO4=" + OneContour(5, "H") + "\r\n");
    const std::string before = testsupport::ReadFile(path_);
    ListGlyphNames();
    // B's counts with its last x or its first y moved: other glyphs than B.
    TextCharacter lastX = TextOf(U'C', 4), firstY = TextOf(U'D', 4);
    lastX.glyph.pointX[4] += 1;
    firstY.glyph.pointY[1] -= 1;
    // B's shape, then a new A (the name A is taken), Q as that same new A,
    // then a new あ after the glyph H that stood beyond the end marker.
    ASSERT_EQ(PlaceTextGlyphs({TextOf(U'A', 4), TextOf(U'A', 6), TextOf(U'Q', 6), TextOf(U'\x3042', 7), lastX, firstY}),
              TextPlacement::placed);
    const std::int32_t slots[] = {2, 3, 3, 5, 6, 7, 0, 0, 0};
    for (int k = 1; k <= 9; ++k) EXPECT_EQ(settings.*glyphChoiceField[k], slots[k - 1]) << "slot " << k;
    EXPECT_EQ(settings.OPTIONN, 6);
    EXPECT_EQ(testsupport::ReadFile(path_), before);

    ExpectListedAsWritten({"A", "B", "A2", "H", "U+3042", "C", "D"});
    EXPECT_EQ(StoredGlyph(4), OneContour(5, "H"));
    EXPECT_EQ(StoredGlyph(5), FormatGlyphValue("U+3042", TextOf(U'\x3042', 7).glyph));
    EXPECT_EQ(StoredGlyph(6), FormatGlyphValue("C", lastX.glyph));
}

// A glyph after the end marker is not listed, so a text neither reuses nor
// writes over it; it joins the list as soon as the marker's key holds a
// glyph, and is then listed and reused like any other.
TEST_F(GlyphTest, AGlyphAfterTheEndMarkerJoinsTheListWhenTheMarkersKeyIsFilled) {
    const std::string file =
        "ZAHYO1=" + OneContour(3, "A") + "\r\nZAHYO2=ZAHYO-END\r\nZAHYO3=" + OneContour(5, "H") + "\r\n";
    WriteGlyphs(file);
    ListGlyphNames();
    ASSERT_EQ(PlaceTextGlyphs({TextOf(U'H', 5)}), TextPlacement::placed);
    EXPECT_EQ(settings.OPTIONA1, 2);
    ExpectListedAsWritten({"A", "H2", "H"});
    EXPECT_EQ(StoredGlyph(3), OneContour(5, "H"));

    WriteGlyphs(file);
    ListGlyphNames();
    ASSERT_EQ(PlaceTextGlyphs({TextOf(U'X', 4), TextOf(U'H', 5)}), TextPlacement::placed);
    EXPECT_EQ(settings.OPTIONA1, 2);
    EXPECT_EQ(settings.OPTIONA2, 3);
    ExpectListedAsWritten({"A", "X", "H"});
}

// The list holds 99 glyphs: a text may fill key 99, never a key after it,
// and a glyph stored after 99 never joins the list.
TEST_F(GlyphTest, ATextThatWouldPassNinetyNineGlyphsChangesNothing) {
    std::string lines;
    for (int n = 1; n <= 98; ++n) lines += "ZAHYO" + std::to_string(n) + "=" + OneContour(3, "G" + std::to_string(n)) + "\r\n";
    WriteGlyphs(lines + "ZAHYO99=ZAHYO-END\r\nZAHYO100=" + OneContour(6, "G100") + "\r\n");
    ListGlyphNames();
    std::vector<std::string> names = Listed();
    const TextCharacter first = TextOf(U'X', 4), second = TextOf(U'Y', 5);
    EXPECT_EQ(PlaceTextGlyphs({first, second}), TextPlacement::tooManyGlyphs);
    EXPECT_EQ(glyphNameList.count, 98);
    EXPECT_EQ(settings.OPTIONA1, 1);
    EXPECT_TRUE(textGlyphStore.pending.empty());

    ASSERT_EQ(PlaceTextGlyphs({first, first}), TextPlacement::placed);
    EXPECT_EQ(settings.OPTIONA1, 99);
    EXPECT_EQ(settings.OPTIONA2, 99);
    names.push_back("X");
    ExpectListedAsWritten(names);
    EXPECT_EQ(StoredGlyph(99), FormatGlyphValue("X", first.glyph));
    EXPECT_EQ(StoredGlyph(100), OneContour(6, "G100"));

    // Full: the glyph at 99 is still reused, a new one has no key.
    EXPECT_EQ(PlaceTextGlyphs({first}), TextPlacement::placed);
    EXPECT_EQ(settings.OPTIONA1, 99);
    EXPECT_TRUE(textGlyphStore.pending.empty());
    EXPECT_EQ(PlaceTextGlyphs({first, second}), TextPlacement::tooManyGlyphs);
    EXPECT_EQ(glyphNameList.count, 99);
}

}  // namespace

namespace {

// A rectangle from (x0, y0) to (x1, y1), clockwise when `clockwise`.
OutlineContour Rectangle(double x0, double y0, double x1, double y1, bool clockwise) {
    OutlineContour contour{{x0, y0}, {}};
    const OutlinePoint corners[] = {{x0, y1}, {x1, y1}, {x1, y0}, {x1, y1}, {x0, y1}};
    for (int i = clockwise ? 0 : 3; i < (clockwise ? 3 : 5); ++i) contour.segments.push_back({0, {}, corners[i]});
    if (!clockwise) contour.segments.insert(contour.segments.begin(), {0, {}, {x1, y0}});
    return contour;
}

// A ring of four quadratic curves around (cx, cy), as TrueType stores an O.
OutlineContour QuadraticRing(double cx, double cy, double rx, double ry, bool clockwise) {
    const double s = clockwise ? -1.0 : 1.0;
    OutlineContour contour{{cx + rx, cy}, {}};
    contour.segments.push_back({1, {{cx + rx, cy + s * ry}}, {cx, cy + s * ry}});
    contour.segments.push_back({1, {{cx - rx, cy + s * ry}}, {cx - rx, cy}});
    contour.segments.push_back({1, {{cx - rx, cy - s * ry}}, {cx, cy - s * ry}});
    contour.segments.push_back({1, {{cx + rx, cy - s * ry}}, {cx + rx, cy}});
    return contour;
}

// A shown glyph, which has no stored value, as its counts and a hash of
// every number in its contours (FNV-1a over the points in sixteenths).
std::string ShownListing(const char* name, const GlyphFit& fit) {
    std::uint64_t hash = 14695981039346656037ull;
    std::size_t points = 0;
    for (const OutlinePath& contour : fit.contours) {
        for (const OutlinePoint& point : contour) {
            for (double number : {point.x, point.y}) {
                hash = (hash ^ static_cast<std::uint64_t>(static_cast<std::int64_t>(number))) * 1099511628211ull;
            }
            ++points;
        }
    }
    char listing[160];
    std::snprintf(listing, sizeof listing, "%s: %zu contours, %td holes, %zu points, %016llx", name,
                  fit.contours.size(), std::count(fit.hole.begin(), fit.hole.end(), true), points,
                  static_cast<unsigned long long>(hash));
    return listing;
}

}  // namespace

// The same outline gives the same glyph on every build: these values are
// the native build's, and the Windows build under Wine must give them too.
TEST(MakeGlyph, GivesTheSameDefinitionNumberForNumberOnEveryBuild) {
    const FontMetrics metrics{1000.0, 700.0, 0.0};
    // An O of quadratic curves with its hole; a D of cubic curves drawn the
    // other way round (as CFF fonts do), reversed into the stored direction.
    const CharacterOutline letterO = {QuadraticRing(300, 350, 300, 360, true), QuadraticRing(300, 350, 170, 240, false)};
    CharacterOutline letterD = {OutlineContour{{0, 0}, {}}};
    letterD[0].segments = {{0, {}, {250, 0}}, {2, {{620, 0}, {620, 700}}, {250, 700}}, {0, {}, {0, 700}}};
    // Fifteen islands, each with a hole: at most 13 contours and 4 holes fit.
    CharacterOutline dense;
    for (int i = 0; i < 15; ++i) {
        const double x = (i % 5) * 140.0, y = (i / 5) * 240.0, size = 60.0 + i * 4.0;
        dense.push_back(Rectangle(x, y, x + size, y + size + 40, true));
        dense.push_back(Rectangle(x + 20, y + 20, x + size - 20, y + size + 20, false));
    }
    // Two slanted bars crossing in an X, whose edges meet between whole
    // units: shown, they merge into one outline; stored, they stay two.
    CharacterOutline crossed(2);
    crossed[0] = {{0, 0}, {{0, {}, {130, 0}}, {0, {}, {600, 700}}, {0, {}, {470, 700}}}};
    crossed[1] = {{470, 0}, {{0, {}, {600, 0}}, {0, {}, {130, 700}}, {0, {}, {0, 700}}}};
    const struct {
        const char* name;
        const CharacterOutline& outline;
        const char* value;
        const char* note;
        FitLimits limits = kStoredGlyphLimits;
    } cases[] = {
        {"O", letterO,
         "O,45,0,29,0,0,0,2,1,28,29,45,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,34,-5,31,-22,28,-28,"
         "23,-33,18,-37,12,-40,4,-41,-4,-41,-12,-40,-18,-37,-23,-33,-28,-28,-31,-22,-33,-14,-34,5,-31,"
         "22,-28,28,-23,33,-18,37,-12,40,-4,41,4,41,12,40,18,37,23,33,28,28,31,22,33,14,19,9,16,19,10,"
         "25,7,26,-2,27,-10,25,-13,22,-18,14,-19,3,-19,-9,-16,-19,-10,-25,-2,-27,7,-26,13,-22,18,-14,"
         "19,-3",
         ""},
        {"D", letterD,
         "D,20,0,0,0,0,0,1,1,20,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-30,-40,-30,40,3,40,8,"
         "38,12,37,16,34,22,28,25,24,27,19,28,15,30,5,30,-5,28,-15,27,-19,25,-24,22,-28,16,-34,12,-37,"
         "8,-38,3,-40",
         ""},
        {"DENSE", dense,
         "DENSE,45,0,36,43,0,0,13,1,3,4,6,7,9,10,12,13,15,16,19,20,23,24,27,28,31,32,35,36,38,39,42,43,"
         "45,25,-40,34,-27,34,-40,-39,1,-29,1,-29,-13,-23,2,-13,2,-13,-13,-7,2,3,2,3,-13,9,3,20,3,20,"
         "-13,25,-13,25,3,36,3,36,-13,-39,15,-39,31,-27,31,-27,15,-23,15,-23,31,-11,31,-11,15,-7,15,-7,"
         "32,6,32,6,15,9,15,9,32,22,32,22,15,12,17,20,30,12,30,25,15,25,33,39,33,39,15,28,17,36,30,28,"
         "30",
         "left out 4 of the smallest contours, 13 of the smallest holes"},
        {"X", crossed, "X: 1 contours, 0 holes, 12 points, 0e40a1cb8ed88475", "", kShownGlyphLimits},
        // Shown, every one of the fifteen islands keeps its hole.
        {"DENSE", dense, "DENSE: 30 contours, 15 holes, 120 points, 51b8d5b8b12b4f3d", "", kShownGlyphLimits},
        {"X", crossed,
         "X,8,0,0,0,0,0,2,1,4,5,8,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-34,-40,19,40,34,40,-19,-40,19,-40,"
         "-34,40,-19,40,34,-40",
         "contours 1 and 2 overlap, and the saver fills an overlap as a hole"},
    };
    for (const auto& made : cases) {
        std::string note;
        const MadeGlyph glyph = MakeTextGlyph(made.outline, metrics, note, made.limits);
        ASSERT_TRUE(glyph.fit.fitted) << made.name << ": " << glyph.fit.reason;
        EXPECT_EQ(note, made.note) << made.name;
        if (made.limits.subunits != 1) {
            EXPECT_EQ(ShownListing(made.name, glyph.fit), made.value);
            continue;
        }
        EXPECT_EQ(FormatGlyphValue(made.name, glyph.fit.glyph), made.value);
        GlyphDefinition parsed{};
        EXPECT_TRUE(ParseGlyphValue(made.value, parsed)) << made.name;
    }
}

// The union of overlapping contours is exact on its grid of 1/64 unit: the
// crossings of two slanted bars, and those of contours that cross themselves
// (split into loops), lie between grid points and come out the same on
// every build, before any rounding to whole units hides them.
TEST(MakeGlyph, MergesOverlapsToTheSamePointsOnEveryBuild) {
    const struct { const char* name; std::vector<OutlinePath> paths; const char* points; } cases[] = {
        {"bars",
         {{{-30, -40}, {-21.3, -40}, {30, 40}, {21.3, 40}}, {{21.3, -40}, {30, -40}, {-21.3, 40}, {-30, 40}}},
         "-279,0 -1920,2560 -1363,2560 0,434 1363,2560 1920,2560 279,0 1920,-2560 1363,-2560 0,-434 "
         "-1363,-2560 -1920,-2560 | "},
        {"bow tie", {{{-20, -20}, {20, 30.3}, {20, -20}, {-20, 20}}}, "-146,146 1280,1939 1280,-1280 | -146,146 -1280,-1280 -1280,1280 | "},
        // A loop closed early that the contour crosses again later: those
        // crossings are no returns to the path still open.
        {"loop crossed later", {{{-30, 0}, {20, 0}, {20, 20}, {10, 20}, {10, -30}, {15, -30}, {15, 30}, {-30, 30}}},
         "960,1280 1280,1280 1280,0 960,0 960,-1920 640,-1920 640,0 -1920,0 -1920,1920 960,1920 | "},
    };
    for (const auto& c : cases) {
        std::vector<OutlinePath> merged;
        ASSERT_TRUE(MergeOverlaps(c.paths, merged)) << c.name;
        std::string points;
        for (const OutlinePath& path : merged) {
            for (const OutlinePoint& point : path)
                points += std::to_string(static_cast<long>(point.x * 64)) + "," + std::to_string(static_cast<long>(point.y * 64)) + " ";
            points += "| ";
        }
        EXPECT_EQ(points, c.points) << c.name;
    }
}

// An outline far beyond what fonts hold is cut down before the steps whose
// cost grows with the square of its points, and still gives a glyph; the
// note says what went, the same on every build.
TEST(MakeGlyph, CutsDownOutlinesBeyondAnyFontAndStillMakesThem) {
    const FontMetrics metrics{1000.0, 700.0, 0.0};
    CharacterOutline rings, stacked;
    // The first ring is the largest, so it stays where it is among the kept.
    for (int k = 0; k < 3000; ++k) rings.push_back(QuadraticRing(15.0 * (k % 55), 15.0 * (k / 55), 6 + (k == 0), 6, true));
    for (int k = 0; k < 8; ++k) stacked.push_back(ToothedSquare(1000, 0));
    // Each note begins with what the bounds left out: points beyond 8,192;
    // contours beyond 256, then points; points of contours lying over one
    // another. A contour of 8,000 deep teeth is simplified whole: each point
    // that goes measures at most 128 others, so nothing is thinned first.
    const struct { const char* name; CharacterOutline outline; const char* note; } cases[] = {
        {"points", {ToothedSquare(10000, 0)}, "left out 1808 of the outline's 10000 points"},
        {"rings", rings, "left out 2987 of the smallest contours, 8192 of the outline's 16384 points"},
        {"teeth", {ToothedSquare(8000, 150)}, "contour 1 crosses itself"},
        {"stacked", stacked, "left out 5952 of the outline's 8000 points"},
    };
    for (const auto& hostile : cases) {
        std::string note;
        const MadeGlyph made = MakeTextGlyph(hostile.outline, metrics, note);
        ASSERT_TRUE(made.fit.fitted) << hostile.name << ": " << made.fit.reason;
        EXPECT_EQ(note.rfind(hostile.note, 0), 0u) << hostile.name << ": " << note;
        GlyphDefinition parsed{};
        EXPECT_TRUE(ParseGlyphValue(FormatGlyphValue(hostile.name, made.fit.glyph), parsed)) << hostile.name;
    }
}

// Numbers that no font holds are refused where they enter the maker, with
// the reason, before anything is scaled or cast to a whole number.
TEST(MakeGlyph, RefusesPointsAndEmsThatAreNoNumbersOrBeyondAnyFont) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const FontMetrics metrics{1000.0, 700.0, 0.0};
    const CharacterOutline square = {Rectangle(0, 0, 500, 700, true)};
    auto corner = [&square](OutlinePoint to) { CharacterOutline bent = square; bent[0].segments[1].to = to; return bent; };
    const std::string noNumber = "the outline has a point that is not a number";
    const std::string beyond = "the outline reaches beyond 16777216 font units, more than a font holds";
    const std::string noEm = "the font's em is not a size from 1 to 16777216 units";
    const struct { CharacterOutline outline; FontMetrics metrics; std::string reason; } cases[] = {
        {corner({nan, 700}), metrics, noNumber},     {corner({500, -inf}), metrics, noNumber},
        {corner({-1e30, 700}), metrics, beyond},     {square, {0.0, 700.0, 0.0}, noEm},
        {square, {nan, 700.0, 0.0}, noEm},           {square, {inf, 0.0, 0.0}, noEm},
        {square, {1e30, 700.0, 0.0}, noEm},
    };
    for (const auto& c : cases) EXPECT_EQ(MakeGlyph(c.outline, c.metrics, MakeOptions{}).fit.reason, c.reason);

    // A capital height that is no number, or none a font could have (below a
    // sixteenth of the em or beyond two ems), gives way to the next figure.
    const std::string usual = FormatGlyphValue("S", MakeGlyph(square, {1000.0, 0.0, 0.0}, MakeOptions{}).fit.glyph);
    for (double height : {nan, inf, 62.0, 2001.0})
        EXPECT_EQ(FormatGlyphValue("S", MakeGlyph(square, {1000.0, height, 0.0}, MakeOptions{}).fit.glyph), usual) << height;
    EXPECT_NE(FormatGlyphValue("S", MakeGlyph(square, {1000.0, 2000.0, 0.0}, MakeOptions{}).fit.glyph), usual);
}

// The search for edges whose boxes meet hands back exactly the pairs that
// comparing every pair finds, each once: polygons with points anywhere on a
// small grid (touching ends, shared spans), walks of short steps with now
// and then a long stride (strokes, and long edges across many splits), and
// the toothed square, whose steep sides defeat a sweep along x alone.
TEST(FindMeetingEdges, HandsBackEachPairWhoseBoxesMeetOnce) {
    std::mt19937 random(20261210);
    std::vector<std::vector<OutlinePoint>> polygons;
    for (int k = 0; k < 60; ++k) {
        const unsigned size = 3 + random() % 150;
        std::vector<OutlinePoint> polygon;
        long long x = 2000, y = 2000;
        for (unsigned i = 0; i < size; ++i) {
            if (k % 3 == 0) x = random() % 20, y = random() % 20;
            else if (random() % (k % 3 == 1 ? 8 : 40) == 0) x = random() % 4000, y = random() % 4000;
            else x += static_cast<long long>(random() % 61) - 30, y += static_cast<long long>(random() % 61) - 30;
            polygon.push_back({static_cast<double>(x), static_cast<double>(y)});
        }
        polygons.push_back(polygon);
    }
    const OutlineContour square = ToothedSquare(800, 20.0);
    polygons.push_back({square.start});
    for (const OutlineSegment& segment : square.segments) polygons.back().push_back(segment.to);
    for (const std::vector<OutlinePoint>& polygon : polygons) {
        std::vector<EdgeBox> boxes;
        for (std::size_t i = 0, n = polygon.size(); i < n; ++i) {
            const OutlinePoint a = polygon[i], b = polygon[(i + 1) % n];
            boxes.push_back({std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y)});
        }
        std::set<std::pair<std::size_t, std::size_t>> all, found;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            for (std::size_t k = i + 1; k < boxes.size(); ++k)
                if (boxes[i].left <= boxes[k].right && boxes[k].left <= boxes[i].right &&
                    boxes[i].bottom <= boxes[k].top && boxes[k].bottom <= boxes[i].top)
                    all.insert({i, k});
        std::size_t calls = 0;
        EXPECT_TRUE(FindMeetingEdges(boxes, [&](std::size_t i, std::size_t k) {
            ++calls;
            EXPECT_LT(i, k);
            found.insert({i, k});
            return true;
        }));
        EXPECT_EQ(calls, found.size()) << polygon.size() << " points: a pair came back twice";
        EXPECT_EQ(found, all) << polygon.size() << " points";
        // A caller's limit: the search ends where the caller says so.
        calls = 0;
        EXPECT_EQ(FindMeetingEdges(boxes, [&calls](std::size_t, std::size_t) { return ++calls < 5; }), all.size() < 5);
        EXPECT_EQ(calls, std::min<std::size_t>(all.size(), 5));
    }
}
