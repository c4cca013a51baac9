// LoadSettings and SaveSettings, and a text kept as text, on the real file
// name, through whichever profile functions this side has.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/Settings.h"
#include "settings/TextSettings.h"
#include "support/ProfileStructure.h"
#include "support/TestSupport.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::UseTemporarySettingsFolder();
        LoadKeyNames(testsupport::StringTableModule());
        // A file name of this test's own (it fits the 13-byte buffer), so no
        // cached copy of another test's file can answer.
        std::snprintf(keyNames.fileName, sizeof keyNames.fileName, "KS%02d.ini", ++fileNumber_);
        path_ = platform::ProfileFilePath(keyNames.fileName);
        testsupport::RemoveFile(path_);
        std::memset(&settings, 0x5A, sizeof settings);
    }
    void TearDown() override { testsupport::RemoveFile(path_); }

    std::string path_;
    static inline int fileNumber_ = 0;
};

TEST_F(SettingsTest, NoFileGivesEveryDefault) {
    LoadSettings();
    EXPECT_EQ(settings.OPTIONN, 2);
    EXPECT_EQ(settings.OPTIONA1, 22);
    EXPECT_EQ(settings.OPTIONA2, 5);
    for (int k = 3; k <= 9; ++k) EXPECT_EQ(settings.*glyphChoiceField[k], 0) << "OPTIONA" << k;
    for (int k = 1; k <= 9; ++k) {
        EXPECT_EQ(settings.*slotColourField[k], 3) << "OPTIONC" << k;
        EXPECT_EQ(settings.*ownStepField[k], 9) << "STEPRAG" << k;
        EXPECT_EQ(settings.*ownSpinField[k], 0) << "ZKAITEN" << k;
    }
    EXPECT_EQ(settings.STEPRAG, 9);
    EXPECT_EQ(settings.HABA, 0);
    EXPECT_EQ(settings.HABAJIDO, 1);
    EXPECT_EQ(settings.SIZES, 1);
    EXPECT_EQ(settings.SIZE, 10);
    EXPECT_EQ(settings.SIZEY, 10);
    EXPECT_EQ(settings.SIZEIDO, 10);
    EXPECT_EQ(settings.COLOR, 3);
    EXPECT_EQ(settings.COLORS, 0);
    EXPECT_EQ(settings.TIMER, 55);
    EXPECT_EQ(settings.VIEW, 3);
    EXPECT_EQ(settings.ENKIN, 15);
    EXPECT_EQ(settings.BKMODE, 1);
    EXPECT_EQ(settings.ZANZOU, 0);
    EXPECT_EQ(settings.KAITEN, 0);
    EXPECT_EQ(settings.OPTIONP, 1);
}

TEST_F(SettingsTest, ASaveWritesAllKeysInStorageOrderAndLeavesOtherSectionsAlone) {
    testsupport::WriteFile(path_, "[MOJI ZAHYO]\r\nZAHYO1=BOX,8\r\n[KORAVEL]\r\nTIMER=100\r\n[LAST]\r\nX=1\r\n");
    LoadSettings();
    EXPECT_EQ(settings.TIMER, 100);
    EXPECT_EQ(settings.VIEW, 3);
    ASSERT_TRUE(SaveSettings());

    std::vector<std::string> expected = {"[MOJI ZAHYO]", "ZAHYO1=BOX,8", "[KORAVEL]"};
    // TIMER was there first, so it keeps its place; the others follow in storage order.
    expected.push_back("TIMER=100");
    for (const SettingDescriptor& row : settingTable)
        if (std::string(row.key) != "TIMER")
            expected.push_back(std::string(row.key) + "=" + std::to_string(row.defaultValue));
    expected.push_back("[LAST]");
    expected.push_back("X=1");
    EXPECT_EQ(testsupport::ProfileStructure(testsupport::ReadFile(path_)), expected);
}

TEST_F(SettingsTest, AFreshFileGetsItsKeysInStorageOrder) {
    LoadSettings();
    ASSERT_TRUE(SaveSettings());
    std::vector<std::string> keys = testsupport::KeysOfSection(testsupport::ReadFile(path_), "KORAVEL");
    ASSERT_EQ(keys.size(), 53u);
    for (int i = 0; i < kSettingCount; ++i) EXPECT_EQ(keys[i], settingTable[i].key);
}

TEST_F(SettingsTest, LeadingZerosAndSpacesLoadAsTheNumberAndSaveWithout) {
    testsupport::WriteFile(path_, "[KORAVEL]\r\nVIEW=007\r\nENKIN= 7\r\nSIZE=12abc\r\n");
    LoadSettings();
    EXPECT_EQ(settings.VIEW, 7);
    EXPECT_EQ(settings.ENKIN, 7);
    EXPECT_EQ(settings.SIZE, 12);
    ASSERT_TRUE(SaveSettings());
    std::vector<std::string> entries = testsupport::ProfileStructure(testsupport::ReadFile(path_));
    EXPECT_EQ(entries[1], "VIEW=7");
    EXPECT_EQ(entries[2], "ENKIN=7");
    EXPECT_EQ(entries[3], "SIZE=12");
}

TEST_F(SettingsTest, NegativesAreWrittenUnsignedAndLoadBack) {
    LoadSettings();
    settings.TIMER = -1;
    settings.VIEW = -2147483647 - 1;
    ASSERT_TRUE(SaveSettings());
    std::string text = testsupport::ReadFile(path_);
    EXPECT_NE(text.find("TIMER=4294967295"), std::string::npos) << text;
    EXPECT_NE(text.find("VIEW=2147483648"), std::string::npos) << text;
    std::memset(&settings, 0, sizeof settings);
    LoadSettings();
    EXPECT_EQ(settings.TIMER, -1);
    EXPECT_EQ(settings.VIEW, -2147483647 - 1);
}

TEST_F(SettingsTest, LoadSaveLoadKeepsEveryValue) {
    // A spread of values over 0..2147483647, a different one in every key,
    // with the edges in the first round.
    for (std::uint32_t round = 0; round < 8; ++round) {
        for (int i = 0; i < kSettingCount; ++i) {
            std::uint32_t value = (round == 0) ? (i % 2 ? 2147483647u : 0u)
                                               : (2654435761u * (round * 53 + i)) % 2147483648u;
            settings.*settingTable[i].field = static_cast<std::int32_t>(value);
        }
        Settings saved = settings;
        ASSERT_TRUE(SaveSettings());
        std::memset(&settings, 0, sizeof settings);
        LoadSettings();
        for (int i = 0; i < kSettingCount; ++i)
            EXPECT_EQ(settings.*settingTable[i].field, saved.*settingTable[i].field)
                << settingTable[i].key << " in round " << round;
        Settings loaded = settings;
        ASSERT_TRUE(SaveSettings());
        LoadSettings();
        EXPECT_EQ(std::memcmp(&loaded, &settings, sizeof settings), 0) << "round " << round;
    }
}

TEST_F(SettingsTest, AFailedSaveIsReported) {
    // A folder where the file should be: no write can succeed, whoever we are.
    testsupport::MakeFolder(path_);
    LoadSettings();
    EXPECT_FALSE(SaveSettings());
    testsupport::RemoveFolder(path_);
}

// ---- A text kept as text ---------------------------------------------------

// Every class of character comes back through the file: printable ASCII as
// it is, the backslash doubled, controls and all beyond ASCII escaped, and
// spaces and quotes at either end escaped so the profile functions keep them.
TEST_F(SettingsTest, TextAndFontComeBackThroughTheFileCharacterForCharacter) {
    const std::u32string long5000(5000, U'\u6F22');
    const struct {
        std::u32string text;
        const char* stored;
    } cases[] = {
        {U"Hello, %H:%M!", "Hello, %H:%M!"},
        {U"a\\b\\", "a\\\\b\\\\"},
        {U"\\u0041", "\\\\u0041"},
        {U" two  spaces ", "\\u0020two  spaces\\u0020"},
        {U"\"quoted\"", "\\u0022quoted\\u0022"},
        {U"'", "\\u0027"},
        {U"tab\tnl\n\x7F\x80", "tab\\u0009nl\\u000A\\u007F\\u0080"},
        {U"\u00e9\u3053\uFFFF", "\\u00E9\\u3053\\uFFFF"},
        {U"\U0001D538\U0010FFFF", "\\U0001D538\\U0010FFFF"},
        {long5000, nullptr},
    };
    for (const auto& one : cases) {
        const std::string stored = EncodeProfileText(one.text);
        if (one.stored) {
            EXPECT_EQ(stored, one.stored);
        }
        for (char c : stored) ASSERT_TRUE(c >= 0x20 && c < 0x7F) << stored;
        TextSettings kept{true, one.text, U"DejaVu Sans:bold", 9};
        ASSERT_TRUE(SaveTextSettings(kept));
        if (one.stored) {
            EXPECT_NE(testsupport::ReadFile(path_).find(std::string("TEXT=") + one.stored + "\r\n"), std::string::npos);
        }
        const TextSettings loaded = LoadTextSettings();
        EXPECT_TRUE(loaded.kept);
        EXPECT_TRUE(loaded.text == one.text) << stored.substr(0, 80);
        EXPECT_TRUE(loaded.font == kept.font);
        EXPECT_EQ(loaded.pageSeconds, 9);
    }
}

// What another program or a hand may have written reads as meant; what is
// no character is U+FFFD, and an escape that is none stays as written.
TEST(DecodeProfileText, ReadsForeignFormsAsTheyWereMeant) {
    const struct {
        const char* stored;
        std::u32string text;
    } cases[] = {
        {"\\uD835\\uDD38", U"\U0001D538"},            // a UTF-16 pair
        {"\\uD835x\\uDD38", U"\uFFFDx\uFFFD"},      // lone halves
        {"\\U00110000\\u00e9", U"\uFFFD\u00e9"},    // beyond Unicode; small hex digits
        {"\\x \\u12 \\U1234567 \\", U"\\x \\u12 \\U1234567 \\"},
        {"\xE3\x81\x82\xC3", U"\u3042\uFFFD"},         // UTF-8, then a cut sequence
        {"\xC0\xAF\xED\xA0\x80", U"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD"},  // overlong, a half
    };
    for (const auto& one : cases) EXPECT_TRUE(DecodeProfileText(one.stored) == one.text) << one.stored;
}

// A file without the keys keeps no text and is not touched by loading; an
// empty text deletes the three keys and leaves every other line; a value
// longer than the longest read is cut, not refused.
TEST_F(SettingsTest, AFileWithoutTextKeepsNoneAndAnEmptyTextDeletesTheKeys) {
    const std::string plain = "[KORAVEL]\r\nTIMER=100\r\n[MOJI ZAHYO]\r\nZAHYO1=BOX,8\r\n";
    testsupport::WriteFile(path_, plain);
    TextSettings none = LoadTextSettings();
    EXPECT_FALSE(none.kept);
    EXPECT_TRUE(none.text.empty() && none.font.empty());
    EXPECT_EQ(none.pageSeconds, kDefaultPageSeconds);
    ASSERT_TRUE(SaveTextSettings({true, U"%H:%M", U"", 0}));
    EXPECT_EQ(ShownPageSeconds(LoadTextSettings()), 1);
    ASSERT_TRUE(SaveTextSettings({}));
    EXPECT_EQ(testsupport::ProfileStructure(testsupport::ReadFile(path_)),
              testsupport::ProfileStructure(plain));
    EXPECT_FALSE(LoadTextSettings().kept);

    testsupport::WriteFile(path_, "[KORAVEL]\r\nTEXT=" + std::string(kLongestTextValue + 100, 'x') + "\r\n");
    const std::u32string cut = LoadTextSettings().text;
    EXPECT_TRUE(cut == std::u32string(kLongestTextValue, U'x')) << cut.size();
}

TEST(FontChoice, TakesOnlyABoldOrItalicAtTheEndAsTheStyle) {
    const struct {
        std::u32string font, family;
        bool bold, italic;
    } cases[] = {{U"DejaVu Sans:bold:italic", U"DejaVu Sans", true, true},
                 {U"IPAGothic:Italic:BOLD", U"IPAGothic", true, true},
                 {U"Odd:Name", U"Odd:Name", false, false},
                 {U":bold", U":bold", false, false}};
    for (const auto& one : cases) {
        const FontChoice choice = ParseFontChoice(one.font);
        EXPECT_TRUE(choice.family == one.family);
        EXPECT_EQ(choice.bold, one.bold);
        EXPECT_EQ(choice.italic, one.italic);
        EXPECT_TRUE(ParseFontChoice(FormatFontChoice(choice)).family == one.family);
    }
    EXPECT_TRUE(FormatFontChoice({U"DejaVu Sans", true, true}) == U"DejaVu Sans:bold:italic");
}

TEST(ShownSlotCount, LimitsTheStoredCountToTheNineSlots) {
    const std::int32_t stored[] = {-5, 0, 1, 2, 9, 10, 1000};
    const int shown[] = {1, 1, 1, 2, 9, 9, 9};
    for (std::size_t i = 0; i < std::size(stored); ++i) {
        settings.OPTIONN = stored[i];
        EXPECT_EQ(ShownSlotCount(), shown[i]) << "OPTIONN " << stored[i];
        EXPECT_EQ(settings.OPTIONN, stored[i]);
    }
}

}  // namespace
