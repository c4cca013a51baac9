#include <gtest/gtest.h>

#include "tools/GlyphRequests.h"
#include "glyphs/GlyphValue.h"

namespace {

std::string Listed(const std::vector<GlyphRequest>& requests) {
    std::string text;
    for (const GlyphRequest& request : requests)
        text += request.name + ":" + std::to_string(static_cast<unsigned>(request.character)) + " ";
    return text;
}

TEST(GlyphRequests, NamedCharactersAndPlainText) {
    std::vector<GlyphRequest> requests;
    ParseGlyphRequest("STAR=\xe2\x98\x85", requests);  // U+2605 in UTF-8
    ParseGlyphRequest("ok=U+41", requests);
    ParseGlyphRequest("A,1", requests);
    EXPECT_EQ(Listed(requests), "STAR:9733 ok:65 A:65 U+002C:44 1:49 ");

    // An equals sign that names nothing is text: "=" and "a=bc" are three
    // and four characters, "=x" is two.
    requests.clear();
    ParseGlyphRequest("==", requests);
    ParseGlyphRequest("a=bc", requests);
    EXPECT_EQ(Listed(requests), "=:61 =:61 a:97 =:61 b:98 c:99 ");
    requests.clear();
    ParseGlyphRequest("X=U+zz", requests);
    EXPECT_EQ(requests.size(), 6u);
}

TEST(GlyphRequests, DecodesUtf8AndKeepsStrayBytes) {
    EXPECT_EQ(DecodeCharacters("A\xc3\x96\xe2\x99\xa5\xf0\x9f\x8c\x99"),
              (std::vector<char32_t>{U'A', U'\u00d6', U'\u2665', U'\U0001F319'}));
    // A lead byte without its continuation bytes stands for itself.
    EXPECT_EQ(DecodeCharacters("\xe2\x99"), (std::vector<char32_t>{0xe2, 0x99}));
    EXPECT_EQ(DecodeCharacters("\xc3" "A"), (std::vector<char32_t>{0xc3, U'A'}));
}

TEST(GlyphNames, RulesForStoredNames) {
    EXPECT_EQ(GlyphNameProblem("SNOWFLAKE"), "");
    EXPECT_EQ(GlyphNameProblem("SNOWFLAKES"), "the name has 10 characters; at most 9 fit the list");
    EXPECT_EQ(GlyphNameProblem(""), "the name is empty");
    EXPECT_EQ(GlyphNameProblem("A,B"), "the name holds a comma, which would split it into two tokens");
    EXPECT_EQ(GlyphNameProblem(" A"), "the name begins or ends with a space");
    EXPECT_EQ(GlyphNameProblem("Zahyo-End"), "the name is ZAHYO-END, which ends the glyph list");
    EXPECT_EQ(DefaultGlyphName(U'Q'), "Q");
    EXPECT_EQ(DefaultGlyphName(U','), "U+002C");
    EXPECT_EQ(DefaultGlyphName(U'\U0001F319'), "U+1F319");
    EXPECT_EQ(GlyphNameProblem(DefaultGlyphName(U'\U0010FFFF')), "");
}

}  // namespace
