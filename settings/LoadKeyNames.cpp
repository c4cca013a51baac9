#include "res/StringIds.h"
#include "settings/Settings.h"

void LoadKeyNames(platform::ModuleHandle instance) {
    platform::LoadResourceString(instance, IDS_FILE_NAME, keyNames.fileName, sizeof keyNames.fileName);
    platform::LoadResourceString(instance, IDS_SETTINGS_SECTION, keyNames.settingsSection,
                                 sizeof keyNames.settingsSection);
    platform::LoadResourceString(instance, IDS_GLYPH_SECTION, keyNames.glyphSection, sizeof keyNames.glyphSection);
    platform::LoadResourceString(instance, IDS_SENTINEL, keyNames.sentinel, sizeof keyNames.sentinel);
    platform::LoadResourceString(instance, IDS_TEXT_KEY, keyNames.textKey, sizeof keyNames.textKey);
    platform::LoadResourceString(instance, IDS_FONT_KEY, keyNames.fontKey, sizeof keyNames.fontKey);
    platform::LoadResourceString(instance, IDS_PAGE_KEY, keyNames.pageKey, sizeof keyNames.pageKey);
    for (int i = 0; i < kSettingCount; ++i)
        platform::LoadResourceString(instance, settingTable[i].stringId, keyNames.keyName[i],
                                     sizeof keyNames.keyName[i]);
}
