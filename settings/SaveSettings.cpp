#include "settings/Settings.h"

bool SaveSettings() {
    bool allWritten = true;
    for (int i = 0; i < kSettingCount; ++i) {
        char text[40];
        platform::FormatUnsigned(text, static_cast<std::uint32_t>(settings.*settingTable[i].field));
        // Every key is written even after a failure, as the file may refuse
        // only some writes; the caller learns that the save was incomplete.
        if (!platform::WriteProfileValue(keyNames.settingsSection, keyNames.keyName[i], text, keyNames.fileName))
            allWritten = false;
    }
    return allWritten;
}
