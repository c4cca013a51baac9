#include "settings/Settings.h"

Settings settings;
KeyNameTable keyNames;

const SettingDescriptor settingTable[kSettingCount] = {
#define KORAVEL_SETTING(key, id, defaultValue, dialogMin, dialogMax) \
    {#key, id, defaultValue, dialogMin, dialogMax, &Settings::key},
#include "settings/SettingsList.def"
#undef KORAVEL_SETTING
};

std::int32_t Settings::* const glyphChoiceField[10] = {
    nullptr,            &Settings::OPTIONA1, &Settings::OPTIONA2, &Settings::OPTIONA3, &Settings::OPTIONA4,
    &Settings::OPTIONA5, &Settings::OPTIONA6, &Settings::OPTIONA7, &Settings::OPTIONA8, &Settings::OPTIONA9};
std::int32_t Settings::* const slotColourField[10] = {
    nullptr,            &Settings::OPTIONC1, &Settings::OPTIONC2, &Settings::OPTIONC3, &Settings::OPTIONC4,
    &Settings::OPTIONC5, &Settings::OPTIONC6, &Settings::OPTIONC7, &Settings::OPTIONC8, &Settings::OPTIONC9};
std::int32_t Settings::* const ownSpinField[10] = {
    nullptr,            &Settings::ZKAITEN1, &Settings::ZKAITEN2, &Settings::ZKAITEN3, &Settings::ZKAITEN4,
    &Settings::ZKAITEN5, &Settings::ZKAITEN6, &Settings::ZKAITEN7, &Settings::ZKAITEN8, &Settings::ZKAITEN9};
std::int32_t Settings::* const ownStepField[10] = {
    nullptr,            &Settings::STEPRAG1, &Settings::STEPRAG2, &Settings::STEPRAG3, &Settings::STEPRAG4,
    &Settings::STEPRAG5, &Settings::STEPRAG6, &Settings::STEPRAG7, &Settings::STEPRAG8, &Settings::STEPRAG9};

int ShownSlotCount() {
    if (settings.OPTIONN < 1) return 1;
    if (settings.OPTIONN > 9) return 9;
    return settings.OPTIONN;
}
