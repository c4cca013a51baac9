#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

#include "support/TestSupport.h"
#include "tools/GlyphCheck.h"

namespace {

// The 60 x 80 box with a 30 x 40 hole, eight points in two contours.
const std::string kBox =
    "BOX,8,0,5,0,0,0,2,1,4,5,8,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
    "-30,-40,30,-40,30,40,-30,40,-15,-20,15,-20,15,20,-15,20";

// The box with its header rewritten: `header` replaces tokens 2..34.
std::string BoxWithHeader(const std::string& header, const std::string& points) {
    return "BOX," + header + "," + points;
}
const std::string kPairs11 = "0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0";
const std::string kBoxPoints = "-30,-40,30,-40,30,40,-30,40,-15,-20,15,-20,15,20,-15,20";

std::string Joined(const std::vector<std::string>& reasons) {
    std::string all;
    for (const std::string& reason : reasons) all += reason + "\n";
    return all;
}

TEST(GlyphCheck, AcceptsWellFormedValues) {
    EXPECT_EQ(Joined(CheckGlyphValue(kBox)), "");
    // Empty fields and a leading space on numbers are part of the format.
    EXPECT_EQ(Joined(CheckGlyphValue("TRI,,3,0,0,0,0,0,1,1,3," + std::string(kPairs11) + ",0,0, -10,10,10,10,0,-10")), "");
    // The cell's edges are inside it.
    EXPECT_EQ(Joined(CheckGlyphValue("EDGE,3,0,0,0,0,0,1,1,3," + kPairs11 + ",0,0,-50,0,50,0,0,9")), "");
}

struct BrokenValue {
    const char* what;
    std::string value;
    const char* reason;  // a part of the reason the checker must give
};

TEST(GlyphCheck, ReportsEveryLimitAndFormatFault) {
    const std::string longName = "ABCDEFGHIJ" + kBox.substr(3);
    std::string tooLong = kBox;
    while (tooLong.size() < 520) tooLong += ",0";
    const BrokenValue cases[] = {
        {"empty", "", "the value is empty"},
        {"commas only", ",,,", "the value is empty"},
        {"long name", longName, "the name has 10 characters"},
        {"comma-free but non-ASCII name", "B\xc3\x96X" + kBox.substr(3), "not printable ASCII"},
        {"end marker as name", "zahyo-end" + kBox.substr(3), "ends the glyph list"},
        {"46 points", BoxWithHeader("46,0,5,0,0,0,2,1,4,5,46," + kPairs11, kBoxPoints), "pointCount is 46"},
        {"no points", BoxWithHeader("0,0,0,0,0,0,1,1,3," + kPairs11 + ",0,0", ""), "pointCount is 0"},
        {"14 contours", BoxWithHeader("8,0,5,0,0,0,14,1,4,5,8," + kPairs11, kBoxPoints), "contourCount is 14"},
        {"no contours", BoxWithHeader("8,0,5,0,0,0,0,1,4,5,8," + kPairs11, kBoxPoints), "contourCount is 0"},
        {"header cut short", "BOX,8,0,5,0,0,0,2,1,4,5,8", "has 12 tokens"},
        {"a point missing", kBox.substr(0, kBox.rfind(",-15,20")), "8 points need 50"},
        {"tokens left over", kBox + ",7,7", "need exactly 50"},
        {"gap between contours", BoxWithHeader("8,0,6,0,0,0,2,1,4,6,8," + kPairs11, kBoxPoints),
         "contour 2 begins at point 6, not at point 5"},
        {"first contour not at 1", BoxWithHeader("8,0,5,0,0,0,2,2,4,5,8," + kPairs11, kBoxPoints),
         "contour 1 begins at point 2, not at point 1"},
        {"two-point contour", BoxWithHeader("8,0,3,0,0,0,2,1,2,3,8," + kPairs11, kBoxPoints),
         "contour 1 runs from point 1 to point 2: a contour needs at least three points"},
        {"contour ends at the 32-bit limits",
         BoxWithHeader("8,0,5,0,0,0,2,-1e10,1e10,-2147483648,2147483647," + kPairs11, kBoxPoints),
         "contour 2 begins at point -2147483648, not at point 2147483648"},
        {"last point in no contour", BoxWithHeader("8,0,5,0,0,0,2,1,4,5,7," + kPairs11, kBoxPoints),
         "ends at point 7, not at point 8"},
        {"x beyond the right edge", kBox.substr(0, kBox.rfind(",-15,20")) + ",51,20", "point 8 has x = 51"},
        {"x beyond the left edge", BoxWithHeader("8,0,5,0,0,0,2,1,4,5,8," + kPairs11,
                                                 "-51,-40,30,-40,30,40,-60,40,-15,-20,15,-20,15,20,-15,20"),
         "point 1 has x = -51 (and 1 more)"},
        {"fractional number", kBox.substr(0, kBox.rfind(",-15,20")) + ",-15.5,20", "\"-15.5\" is not a whole number"},
        {"cut by the 512-byte buffer", tooLong, "only the first 511 are read"},
    };
    for (const BrokenValue& broken : cases) {
        const std::string reasons = Joined(CheckGlyphValue(broken.value));
        EXPECT_NE(reasons.find(broken.reason), std::string::npos)
            << broken.what << ": expected \"" << broken.reason << "\" in:\n" << reasons;
    }
}

const std::string kSelectFirstTwo = "[KORAVEL]\r\nOPTIONA1=1\r\nOPTIONA2=2\r\n";

TEST(GlyphCheck, PassesAFileWhoseGlyphsAreAllSound) {
    int listed = -1;
    const std::string text = kSelectFirstTwo + "[MOJI ZAHYO]\r\nZAHYO1=" + kBox + "\r\nZAHYO2=" + kBox +
                             "\r\nZAHYO3=ZAHYO-END\r\n";
    EXPECT_TRUE(CheckGlyphFile(text, &listed).empty());
    EXPECT_EQ(listed, 2);
}

TEST(GlyphCheck, ReportsKeysTheListNeverReachesAndSlotsWithoutAGlyph) {
    const std::string text = "[KORAVEL]\r\nOPTIONN=3\r\nOPTIONA1=1\r\nOPTIONA2=2\r\nOPTIONA3=4\r\n"
                             "[MOJI ZAHYO]\r\n"
                             "ZAHYO1=" + kBox + "\r\n"
                             "ZAHYO2=BAD,3\r\n"
                             "zahyo1=" + kBox + "\r\n"
                             "ZAHYO02=" + kBox + "\r\n"
                             "ZAHYO4=" + kBox + "\r\n"
                             "COMMENT=hello\r\n"
                             "[moji zahyo]\r\n"
                             "ZAHYO3=" + kBox + "\r\n";
    int listed = 0;
    const std::vector<GlyphProblem> problems = CheckGlyphFile(text, &listed);
    EXPECT_EQ(listed, 2);
    std::string all;
    for (const GlyphProblem& problem : problems) all += problem.key + " (" + problem.name + "): " + problem.reason + "\n";
    EXPECT_NE(all.find("ZAHYO2 (BAD): the value has 2 tokens"), std::string::npos) << all;
    EXPECT_NE(all.find("zahyo1 (BOX): repeats the key of line 7"), std::string::npos) << all;
    EXPECT_NE(all.find("ZAHYO02 (BOX): has a leading zero"), std::string::npos) << all;
    EXPECT_NE(all.find("ZAHYO4 (BOX): is never listed: the list ends at the missing ZAHYO3"), std::string::npos) << all;
    EXPECT_NE(all.find("COMMENT (hello): is not a glyph key"), std::string::npos) << all;
    EXPECT_NE(all.find("OPTIONA3 (): slot 3 is shown but selects glyph 4, and the list holds glyphs 1..2"),
              std::string::npos)
        << all;
    EXPECT_NE(all.find("[MOJI ZAHYO] (): the section appears again at line 13; only the first one is read"),
              std::string::npos)
        << all;
    EXPECT_EQ(problems.size(), 7u) << all;
}

TEST(GlyphCheck, ListEndsAtTheEndMarkerAndAfterNinetyNineGlyphs) {
    std::string text = kSelectFirstTwo + "[MOJI ZAHYO]\r\nZAHYO1=" + kBox + "\r\nZAHYO2=" + kBox +
                       "\r\nZAHYO3=Zahyo-End\r\nZAHYO4=" + kBox + "\r\n";
    std::vector<GlyphProblem> problems = CheckGlyphFile(text);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].key, "ZAHYO4");
    EXPECT_NE(problems[0].reason.find("the list ends at ZAHYO3, named ZAHYO-END"), std::string::npos);

    text = kSelectFirstTwo + "[MOJI ZAHYO]\r\n";
    for (int n = 1; n <= 100; ++n) text += "ZAHYO" + std::to_string(n) + "=" + kBox + "\r\n";
    int listed = 0;
    problems = CheckGlyphFile(text, &listed);
    EXPECT_EQ(listed, 99);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].key, "ZAHYO100");
    EXPECT_NE(problems[0].reason.find("at most 99 glyphs"), std::string::npos);
}

int RunChecker(const std::string& file) {
    const std::string command = std::string(KORAVEL_CHECKER_PATH) + " '" + file + "' >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(GlyphCheck, CheckerExitStatusTellsSoundFromBroken) {
    const std::string folder = testsupport::TemporaryFolder();
    const std::string good = folder + "/good.ini";
    const std::string broken = folder + "/broken.ini";
    testsupport::WriteFile(good, kSelectFirstTwo + "[MOJI ZAHYO]\r\nZAHYO1=" + kBox + "\r\nZAHYO2=" + kBox + "\r\n");
    testsupport::WriteFile(broken, kSelectFirstTwo + "[MOJI ZAHYO]\r\nZAHYO1=" + kBox + "\r\nZAHYO2=BOX,46\r\n");
    EXPECT_EQ(RunChecker(good), 0);
    EXPECT_EQ(RunChecker(broken), 1);
    EXPECT_EQ(RunChecker(folder + "/missing.ini"), 2);
    testsupport::RemoveFile(good);
    testsupport::RemoveFile(broken);
}

}  // namespace
