// The portable stand-in's own profile model: parsing afresh, and serving
// the profile from a text in memory instead of from a file.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <string>

#include "platform/Platform.h"
#include "platform/portable/ProfileText.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace {

TEST(ProfileText, EachParseStartsAfresh) {
    // A reader that parses one text after another must not carry the first
    // text's byte-order mark or line ending into the second.
    platform::ProfileText profile;
    profile.Parse("\xEF\xBB\xBF[KORAVEL]\nTIMER=1\n");
    profile.Parse("[KORAVEL]");
    EXPECT_EQ(profile.Text(), "[KORAVEL]");
    profile.Set("KORAVEL", "TIMER", "7");
    EXPECT_EQ(profile.Text(), "[KORAVEL]\r\nTIMER=7\r\n");
}

TEST(ProfileText, ANewLineNeverJoinsTheBlankLineAfterIt) {
    // The first line ends in a lone CR; a key added before a blank LF line
    // must not end in a lone CR, or the two would read back as one CR LF.
    platform::ProfileText profile;
    profile.Parse("[KORAVEL]\rTIMER=1\r\n\n[MOJI ZAHYO]\r\n");
    profile.Set("KORAVEL", "OPTIONN", "5");
    EXPECT_EQ(profile.Text(), "[KORAVEL]\rTIMER=1\r\nOPTIONN=5\r\n\n[MOJI ZAHYO]\r\n");
}

TEST(ProfileText, ServedTextAnswersAndTakesWritesInsteadOfTheFile) {
    testsupport::UseTemporarySettingsFolder();
    const std::string file = platform::ProfileFilePath("KORAVEL.ini");
    testsupport::WriteFile(file, "[KORAVEL]\r\nTIMER=200\r\n");

    platform::ProfileText served;
    served.Parse("; in memory\n[KORAVEL]\nTIMER=100\nOPTIONN=3\n");
    platform::ServeProfileFrom(&served);
    LoadKeyNames(testsupport::StringTableModule());
    LoadSettings();
    EXPECT_EQ(settings.TIMER, 100);
    EXPECT_EQ(settings.OPTIONN, 3);
    EXPECT_EQ(settings.VIEW, 3);  // absent: the default

    settings.TIMER = 120;
    EXPECT_TRUE(SaveSettings());
    platform::ServeProfileFrom(nullptr);

    const std::string text = served.Text();
    EXPECT_EQ(text.rfind("; in memory\n[KORAVEL]\nTIMER=120\nOPTIONN=3\n", 0), 0u) << text;
    EXPECT_NE(text.find("\nKAITEN=0\n"), std::string::npos) << text;
    // The file was neither read nor written while the text was served.
    EXPECT_EQ(testsupport::ReadFile(file), "[KORAVEL]\r\nTIMER=200\r\n");
    LoadSettings();
    EXPECT_EQ(settings.TIMER, 200);
    testsupport::RemoveFile(file);
}

}  // namespace

#endif
