#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "res/StringIds.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"

namespace {

TEST(SettingsTable, HoldsFiftyThreeDistinctKeysWithDistinctIds) {
    std::set<std::string> keys;
    std::set<unsigned> ids;
    for (const SettingDescriptor& row : settingTable) {
        keys.insert(row.key);
        ids.insert(row.stringId);
        EXPECT_LE(row.dialogMin, row.defaultValue) << row.key;
        EXPECT_GE(row.dialogMax, row.defaultValue) << row.key;
    }
    EXPECT_EQ(keys.size(), 53u);
    EXPECT_EQ(ids.size(), 53u);
    EXPECT_STREQ(settingTable[0].key, "OPTIONA1");
    EXPECT_STREQ(settingTable[18].key, "OPTIONN");
    EXPECT_STREQ(settingTable[52].key, "KAITEN");
}

TEST(LoadKeyNames, FillsEveryNameFromTheStringTable) {
    std::memset(&keyNames, 0, sizeof keyNames);
    LoadKeyNames(testsupport::StringTableModule());
    EXPECT_STREQ(keyNames.fileName, "KORAVEL.ini");
    EXPECT_STREQ(keyNames.settingsSection, "KORAVEL");
    EXPECT_STREQ(keyNames.glyphSection, "MOJI ZAHYO");
    EXPECT_STREQ(keyNames.sentinel, "ZAHYO-END");
    EXPECT_STREQ(keyNames.textKey, "TEXT");
    EXPECT_STREQ(keyNames.fontKey, "FONT");
    EXPECT_STREQ(keyNames.pageKey, "PAGE");
    for (int i = 0; i < kSettingCount; ++i) EXPECT_STREQ(keyNames.keyName[i], settingTable[i].key);
}

TEST(LoadResourceString, CutsToTheBufferAndAnswersZeroForAMissingId) {
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(platform::LoadResourceString(testsupport::StringTableModule(), IDS_DESCRIPTION, buffer, 8), 7);
    EXPECT_STREQ(buffer, "KORAVEL");
    EXPECT_EQ(platform::LoadResourceString(testsupport::StringTableModule(), 4000, buffer, 8), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(platform::LoadResourceString(testsupport::StringTableModule(), 2, buffer, 8), 7);
    EXPECT_STREQ(buffer, "STEPRAG");
}

}  // namespace
