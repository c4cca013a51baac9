// The platform seam of the portable core. On Windows each function is the
// named Win32 call and nothing more (platform/win32); elsewhere it is our own
// stand-in that behaves as the Windows call does (platform/portable). The
// same test cases run against both.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A module instance handle (HINSTANCE on Windows).
using ModuleHandle = void*;

// A window handle (HWND on Windows).
using WindowHandle = void*;

// LoadStringA: copies string `id` of the module's string table into
// `buffer`, cut to size - 1 characters; returns the characters copied, 0
// when there is no such string (the buffer then holds an empty string).
int LoadResourceString(ModuleHandle instance, unsigned id, char* buffer, int size);

// GetPrivateProfileIntA: the key's value read as an integer, or
// `defaultValue` when the file, the section or the key is missing or the
// value is empty.
std::uint32_t ReadProfileInt(const char* section, const char* key, int defaultValue, const char* file);

// GetPrivateProfileStringA: copies the key's value, white space around it
// removed, or `defaultValue` when the file, section or key is missing, cut
// to size - 1 characters; returns the characters copied.
std::uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                std::uint32_t size, const char* file);

// WritePrivateProfileStringA: creates the file, the section or the key as
// needed and replaces the key's value; a null `value` deletes the key. Every
// other line stays as it was. Returns false when the file could not be
// written.
// (Not called WriteProfileString: <windows.h> defines that name as a macro.)
bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file);

// wsprintfA(buffer, "%u", value); returns the characters written.
int FormatUnsigned(char* buffer, std::uint32_t value);

// lstrcatA(destination, source).
void AppendText(char* destination, const char* source);

// lstrcmpiA(first, second): 0 when equal without regard to case.
int CompareTextNoCase(const char* first, const char* second);

// Where the profile functions keep a file named `file`, the file that writes
// go to. On Windows a bare name is the user's own copy in
// %APPDATA%\KORAVEL: reads take it when it exists and the machine's copy in
// the Windows folder otherwise, and the first write makes it as a copy of
// the machine's; where the system keeps no settings per user (Windows 9x
// without user profiles) the Windows folder's file alone. Elsewhere the
// folder named by KORAVEL_INI_DIR, else $XDG_CONFIG_HOME/koravel, else
// ~/.config/koravel. A name that holds a path separator is used as it
// stands on both sides.
std::string ProfileFilePath(const char* file);

}  // namespace platform
