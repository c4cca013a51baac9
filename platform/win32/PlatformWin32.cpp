// The Win32 side of the platform seam: each function is the one named call.
#include <windows.h>
// <windows.h> names the win.ini writer WriteProfileString as a macro, which
// would rename ours here and leave the portable callers unresolved.
#undef WriteProfileString

#include "platform/Platform.h"

namespace platform {

int LoadResourceString(ModuleHandle instance, unsigned id, char* buffer, int size) {
    return LoadStringA(static_cast<HINSTANCE>(instance), id, buffer, size);
}

std::uint32_t ReadProfileInt(const char* section, const char* key, int defaultValue, const char* file) {
    return GetPrivateProfileIntA(section, key, defaultValue, file);
}

std::uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                std::uint32_t size, const char* file) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    return WritePrivateProfileStringA(section, key, value, file) != FALSE;
}

int FormatUnsigned(char* buffer, std::uint32_t value) {
    return wsprintfA(buffer, "%u", value);
}

void AppendText(char* destination, const char* source) {
    lstrcatA(destination, source);
}

int CompareTextNoCase(const char* first, const char* second) {
    return lstrcmpiA(first, second);
}

std::string ProfileFilePath(const char* file) {
    std::string name(file);
    if (name.find_first_of("\\/:") != std::string::npos) return name;
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return name;
    return std::string(folder, length) + "\\" + name;
}

}  // namespace platform
