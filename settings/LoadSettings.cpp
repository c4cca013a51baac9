#include "settings/Settings.h"

void LoadSettings() {
    for (int i = 0; i < kSettingCount; ++i) {
        const SettingDescriptor& row = settingTable[i];
        // The profile reader's unsigned answer is stored bit for bit, so a
        // stored 4294967295 loads as -1 and saves back unchanged.
        settings.*row.field = static_cast<std::int32_t>(platform::ReadProfileInt(
            keyNames.settingsSection, keyNames.keyName[i], row.defaultValue, keyNames.fileName));
    }
}
