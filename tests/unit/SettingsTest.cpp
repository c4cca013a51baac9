// LoadSettings and SaveSettings on the real file name, through whichever
// profile functions this side has.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/Settings.h"
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
