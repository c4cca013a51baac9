// Where the profile calls find a settings file. A name that holds a folder is
// used as it stands. A bare name is the user's own copy in %APPDATA%\KORAVEL:
// reads take it when it exists, else the machine's copy in the Windows
// folder; writes go to it, made from the machine's on the first write. Where
// the system keeps no settings per user (no Application Data folder, or
// Windows 9x without user profiles) the Windows folder's file alone is read
// and written, as before users had copies of their own.
#pragma once

#include <string>

namespace platform {

struct SettingsFile {
    // As the wide-character calls name it; a bare name is the file of that
    // name in the Windows folder.
    std::wstring path;
    // False when the user's own file cannot be used: its path is too long
    // for the file calls, or the first write could not make it. It is then
    // neither read nor written, and the machine's file never stands in for
    // it: that would show, or take, settings that are not the user's.
    bool usable = true;
};

SettingsFile FileForReading(const char* file);
SettingsFile FileForWriting(const char* file);

// The file that writes go to, whether or not it exists yet.
std::wstring FileForNaming(const char* file);

// Makes the user's own file `own` as a copy of the machine's file `machine`
// when it does not exist yet. False when it cannot be made whole.
bool MakeUserCopy(const std::wstring& own, const std::wstring& machine);

}  // namespace platform
