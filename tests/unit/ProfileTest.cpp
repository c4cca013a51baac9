// The profile functions, run natively against our stand-in and under Wine
// against the real Win32 calls: both sides must give the same answers.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "support/ProfileStructure.h"
#include "support/TestSupport.h"

namespace {

using testsupport::ProfileStructure;

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = testsupport::TemporaryFolder();
        path_ = folder_ + "/" + FileName();
    }
    void TearDown() override { testsupport::RemoveFile(path_); }

    // Each test has a file of its own name, so no cached copy of an earlier
    // test's file can answer.
    static std::string FileName() {
        return std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".ini";
    }
    const char* File() const { return path_.c_str(); }
    void Write(const std::string& text) { testsupport::WriteFile(path_, text); }
    std::string Read() const { return testsupport::ReadFile(path_); }

    std::string String(const char* section, const char* key, const char* defaultValue = "DEF",
                       std::uint32_t size = 64) {
        char buffer[600];
        std::memset(buffer, '#', sizeof buffer);
        std::uint32_t length = platform::ReadProfileString(section, key, defaultValue, buffer, size, File());
        EXPECT_EQ(length, std::strlen(buffer)) << "returned length of " << section << "/" << key;
        return buffer;
    }

    std::string folder_;
    std::string path_;
};

struct IntegerCase {
    const char* value;
    std::uint32_t expected;
};

TEST_F(ProfileTest, IntegersReadAsWindowsReadsThem) {
    const IntegerCase cases[] = {
        {"100", 100},       {"007", 7},          {"  7", 7},         {"7  ", 7},
        {"12abc", 12},      {"abc", 0},          {"-1", 0xFFFFFFFFu}, {"+5", 5},
        {"4294967295", 0xFFFFFFFFu}, {"4294967296", 0}, {"2147483648", 0x80000000u},
        {"-2147483648", 0x80000000u}, {"0x10", 16},   {"0o17", 15},       {"0b101", 5},
        {"1 2", 1},         {"12.9", 12},        {"- 5", 0},
    };
    std::string text = "[KORAVEL]\r\n";
    for (std::size_t i = 0; i < std::size(cases); ++i)
        text += "K" + std::to_string(i) + "=" + cases[i].value + "\r\n";
    text += "EMPTY=\r\n";
    Write(text);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        std::string key = "K" + std::to_string(i);
        EXPECT_EQ(platform::ReadProfileInt("KORAVEL", key.c_str(), 42, File()), cases[i].expected)
            << "value \"" << cases[i].value << "\" on the " << testsupport::SideName() << " side";
    }
    EXPECT_EQ(platform::ReadProfileInt("KORAVEL", "EMPTY", 42, File()), 42u);
    EXPECT_EQ(platform::ReadProfileInt("KORAVEL", "MISSING", -3, File()), static_cast<std::uint32_t>(-3));
    EXPECT_EQ(platform::ReadProfileInt("OTHER", "K0", 9, File()), 9u);
}

TEST_F(ProfileTest, MissingFileSectionOrKeyGivesTheDefault) {
    EXPECT_EQ(String("KORAVEL", "TIMER"), "DEF");
    EXPECT_EQ(platform::ReadProfileInt("KORAVEL", "TIMER", 55, File()), 55u);
    Write("[KORAVEL]\r\nTIMER=100\r\n");
    EXPECT_EQ(String("MOJI ZAHYO", "TIMER"), "DEF");
    EXPECT_EQ(String("KORAVEL", "VIEW"), "DEF");
    EXPECT_EQ(String("KORAVEL", "TIMER"), "100");
}

TEST_F(ProfileTest, SectionsAndKeysIgnoreCaseAndSpaceAroundValuesIsRemoved) {
    Write("[Koravel]\r\n  timer  =   100   \r\nName= two words \r\nEmpty=\r\n");
    EXPECT_EQ(String("KORAVEL", "TIMER"), "100");
    EXPECT_EQ(String("koravel", "  Timer "), "100");
    EXPECT_EQ(String("KORAVEL", "NAME"), "two words");
    EXPECT_EQ(String("KORAVEL", "EMPTY"), "") << "an empty value is not the default";
}

TEST_F(ProfileTest, ValuesAreCutToTheBufferAndLoseOnePairOfQuotes) {
    Write("[S]\r\nLONG=ABCDEFGHIJ\r\nQUOTED=\"quoted text\"\r\nSINGLE='x'\r\nHALF=\"open\r\n");
    EXPECT_EQ(String("S", "LONG", "DEF", 5), "ABCD");
    EXPECT_EQ(String("S", "LONG", "DEF", 1), "");
    EXPECT_EQ(String("S", "QUOTED"), "quoted text");
    EXPECT_EQ(String("S", "SINGLE"), "x");
    EXPECT_EQ(String("S", "HALF"), "\"open");
    EXPECT_EQ(String("S", "MISSING", "ZAHYO-END", 4), "ZAH");
}

TEST_F(ProfileTest, LinesEndAtAnyCrOrLfAndANulEndsANameOrValue) {
    const char text[] = "[ S ]\rA=1\rB= x\0y \n\n[T\0junk]\n\rC\0D=3\r\n";
    Write(std::string(text, sizeof text - 1));
    EXPECT_EQ(String("S", "A"), "1");
    EXPECT_EQ(String("S", "B"), "x");
    EXPECT_EQ(String("T", "C"), "3");
}

TEST_F(ProfileTest, TheFirstOfTwoEqualKeysAnswers) {
    Write("[S]\r\nKEY=first\r\nkey=second\r\n");
    EXPECT_EQ(String("S", "KEY"), "first");
}

TEST_F(ProfileTest, AWriteCreatesTheFileTheSectionAndTheKey) {
    ASSERT_TRUE(platform::WriteProfileValue("KORAVEL", "TIMER", "100", File()));
    EXPECT_EQ(ProfileStructure(Read()), (std::vector<std::string>{"[KORAVEL]", "TIMER=100"}));
    ASSERT_TRUE(platform::WriteProfileValue("KORAVEL", "VIEW", "3", File()));
    ASSERT_TRUE(platform::WriteProfileValue("OTHER", "A", "1", File()));
    EXPECT_EQ(ProfileStructure(Read()),
              (std::vector<std::string>{"[KORAVEL]", "TIMER=100", "VIEW=3", "[OTHER]", "A=1"}));
    EXPECT_EQ(String("KORAVEL", "VIEW"), "3");
}

TEST_F(ProfileTest, AWriteKeepsEveryOtherLineSectionAndKeyWhereItWas) {
    Write("[MOJI ZAHYO]\r\nZAHYO1=BOX,8\r\nZAHYO2=ONE\r\n\r\n[KORAVEL]\r\nTIMER = 100\r\nVIEW=3\r\n\r\n[LAST]\r\nX=1\r\n");
    ASSERT_TRUE(platform::WriteProfileValue("koravel", "timer", "55", File()));
    ASSERT_TRUE(platform::WriteProfileValue("KORAVEL", "ENKIN", "15", File()));
    EXPECT_EQ(ProfileStructure(Read()),
              (std::vector<std::string>{"[MOJI ZAHYO]", "ZAHYO1=BOX,8", "ZAHYO2=ONE", "[KORAVEL]", "TIMER=55",
                                        "VIEW=3", "ENKIN=15", "[LAST]", "X=1"}));
}

TEST_F(ProfileTest, AWriteToAFileThatCannotBeWrittenFails) {
    std::string missingFolder = folder_ + "/missing/" + FileName();
    EXPECT_FALSE(platform::WriteProfileValue("KORAVEL", "TIMER", "100", missingFolder.c_str()));
    EXPECT_EQ(testsupport::ReadFile(missingFolder), "<missing>");
}

TEST(ProfileStandIn, KeepsUntouchedLinesByteForByte) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows lays out the file its own way; the structure is checked above";
#else
    std::string path = testsupport::TemporaryFolder() + "/bytes.ini";
    testsupport::WriteFile(path, "; comment\n[KORAVEL]\nTIMER = 100\n\n[MOJI ZAHYO]\nZAHYO1 = BOX , 8");
    ASSERT_TRUE(platform::WriteProfileValue("KORAVEL", "VIEW", "3", path.c_str()));
    ASSERT_TRUE(platform::WriteProfileValue("MOJI ZAHYO", "ZAHYO2", "ONE", path.c_str()));
    ASSERT_TRUE(platform::WriteProfileValue("NEW", "A", "1", path.c_str()));
    EXPECT_EQ(testsupport::ReadFile(path),
              "; comment\n[KORAVEL]\nTIMER = 100\nVIEW=3\n\n[MOJI ZAHYO]\nZAHYO1 = BOX , 8\nZAHYO2=ONE\n[NEW]\nA=1\n");
    testsupport::RemoveFile(path);
#endif
}

TEST(ProfileFilePath, ABareNameLivesInTheSettingsFolderAndAPathStaysAsItIs) {
#ifdef _WIN32
    std::string path = platform::ProfileFilePath("KORAVEL.ini");
    for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    // The user's own copy, where every write goes.
    const std::string own = "\\appdata\\roaming\\koravel\\koravel.ini";
    ASSERT_GT(path.size(), own.size());
    EXPECT_EQ(path.substr(path.size() - own.size()), own) << path;
#else
    std::string folder = testsupport::TemporaryFolder();
    setenv("KORAVEL_INI_DIR", folder.c_str(), 1);
    EXPECT_EQ(platform::ProfileFilePath("KORAVEL.ini"), folder + "/KORAVEL.ini");
    unsetenv("KORAVEL_INI_DIR");
    setenv("XDG_CONFIG_HOME", "/config", 1);
    EXPECT_EQ(platform::ProfileFilePath("KORAVEL.ini"), "/config/koravel/KORAVEL.ini");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::ProfileFilePath("/etc/x/KORAVEL.ini"), "/etc/x/KORAVEL.ini");
#endif
    EXPECT_EQ(platform::ProfileFilePath("C:\\x\\KORAVEL.ini"), "C:\\x\\KORAVEL.ini");
}

}  // namespace
