// The user's 53 integer settings of section [KORAVEL], their one table, and
// the names under which everything is stored in KORAVEL.ini.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

// One signed 32-bit field per key, named as the key, in storage order.
struct Settings {
#define KORAVEL_SETTING(key, id, defaultValue, dialogMin, dialogMax) std::int32_t key;
#include "settings/SettingsList.def"
#undef KORAVEL_SETTING
};

inline constexpr int kSettingCount = 53;

// A row of the settings table: everything the program knows about one key.
struct SettingDescriptor {
    const char* key;
    unsigned stringId;
    std::int32_t defaultValue;
    std::int32_t dialogMin;
    std::int32_t dialogMax;
    std::int32_t Settings::*field;
};

// The 53 rows in storage order, generated from settings/SettingsList.def.
extern const SettingDescriptor settingTable[kSettingCount];

// Names loaded from the string table by LoadKeyNames. A buffer of size s
// holds at most s - 1 characters and the terminating NUL.
struct KeyNameTable {
    char fileName[13];
    char settingsSection[40];
    char glyphSection[15];
    char sentinel[10];
    char keyName[kSettingCount][10];  // in storage order, as settingTable
    // The keys of a text kept as text (settings/TextSettings.h).
    char textKey[10];
    char fontKey[10];
    char pageKey[10];
};

// The process-wide records. Settings holds zeros until LoadSettings runs;
// KeyNameTable is empty until LoadKeyNames runs.
extern Settings settings;
extern KeyNameTable keyNames;

// Fills keyNames from the string table of the module `instance`, one
// string-table read per name. Must run before any other settings or glyph
// operation.
void LoadKeyNames(platform::ModuleHandle instance);

// Every field from the file, in storage order; a missing file, section or
// key gives the key's default. Values are taken as read, without range checks.
void LoadSettings();

// Writes every field, in storage order, as unsigned decimal text ("%u"), so
// -1 is stored as 4294967295. Returns false when any write failed (read-only
// file, no rights to its folder); the caller tells the user.
bool SaveSettings();

// Per-slot fields, slot k = 1..9 (index 0 is unused and null).
extern std::int32_t Settings::* const glyphChoiceField[10];   // OPTIONA1..9
extern std::int32_t Settings::* const slotColourField[10];    // OPTIONC1..9
extern std::int32_t Settings::* const ownSpinField[10];       // ZKAITEN1..9
extern std::int32_t Settings::* const ownStepField[10];       // STEPRAG1..9

// The number of shown slots N as the scene, the renderers and the glyph
// loader use it: OPTIONN limited to 1..9, the slots the per-slot storage
// holds. The stored OPTIONN itself is never changed by this.
int ShownSlotCount();
