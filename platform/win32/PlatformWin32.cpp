// The Win32 side of the platform seam: each function is the one named call,
// with two additions for the settings file. A bare file name is the user's
// own copy in %APPDATA%\KORAVEL when there is one, else the machine's copy in
// the Windows folder, and writes go to the user's copy, made from the
// machine's on the first write (platform/win32/SettingsFilePlace.h). And the
// profile calls are the wide-character ones wherever the system has them, so
// that a user folder named in characters outside the ANSI code page is
// found; the program's texts stay in the ANSI code page and are converted
// exactly as the ANSI profile calls convert them, so every value reaches the
// program as those calls would give it.
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "platform/Platform.h"
#include "platform/win32/FileCalls.h"
#include "platform/win32/SettingsFilePlace.h"

namespace platform {

namespace {

// A text argument of a profile call in wide characters; a null pointer stays
// null (for the profile calls it means every section or every key).
class WideArgument {
public:
    explicit WideArgument(const char* text) : null_(text == nullptr), text_(text ? Widen(text) : std::wstring()) {}
    const wchar_t* get() const { return null_ ? nullptr : text_.c_str(); }

private:
    bool null_;
    std::wstring text_;
};

// What a read of a missing file gives: the default without its trailing
// spaces, cut to the buffer.
std::uint32_t CopyDefault(const char* defaultValue, char* buffer, std::uint32_t size) {
    if (buffer == nullptr || size == 0) return 0;
    std::size_t length = defaultValue ? std::strlen(defaultValue) : 0;
    while (length > 0 && defaultValue[length - 1] == ' ') --length;
    length = std::min<std::size_t>(length, size - 1);
    if (length) std::memcpy(buffer, defaultValue, length);
    buffer[length] = '\0';
    return static_cast<std::uint32_t>(length);
}

// How much of `text` fits `limit` bytes in whole characters: a double-byte
// character that does not fit is left out, as the ANSI call leaves it out.
std::size_t WholeCharacters(const std::string& text, std::size_t limit) {
    std::size_t length = 0;
    while (length < text.size()) {
        const std::size_t next = length + (IsDBCSLeadByte(static_cast<BYTE>(text[length])) ? 2 : 1);
        if (next > limit) break;
        length = next;
    }
    return length;
}

}  // namespace

int LoadResourceString(ModuleHandle instance, unsigned id, char* buffer, int size) {
    return LoadStringA(static_cast<HINSTANCE>(instance), id, buffer, size);
}

// A user's file that cannot be used reads as a missing file: every key gives
// its default.
std::uint32_t ReadProfileInt(const char* section, const char* key, int defaultValue, const char* file) {
    const SettingsFile target = FileForReading(file);
    if (!target.usable) return static_cast<std::uint32_t>(defaultValue);
    if (!HasWideFileCalls()) return GetPrivateProfileIntA(section, key, defaultValue, Narrow(target.path).c_str());
    return GetPrivateProfileIntW(WideArgument(section).get(), WideArgument(key).get(), defaultValue,
                                 target.path.c_str());
}

std::uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                std::uint32_t size, const char* file) {
    const SettingsFile target = FileForReading(file);
    if (!target.usable) return CopyDefault(defaultValue, buffer, size);
    if (!HasWideFileCalls())
        return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, Narrow(target.path).c_str());
    if (buffer == nullptr || size == 0) return 0;
    // Each wide character is one byte or more of ANSI text, so `size` wide
    // characters hold whatever fits the caller's size - 1 bytes.
    std::wstring value(size, L'\0');
    const DWORD got = GetPrivateProfileStringW(WideArgument(section).get(), WideArgument(key).get(),
                                               WideArgument(defaultValue).get(), value.data(), size,
                                               target.path.c_str());
    const std::string text = Narrow(value.data(), got);
    const std::size_t length = WholeCharacters(text, size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return static_cast<std::uint32_t>(length);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    const SettingsFile target = FileForWriting(file);
    if (!target.usable) return false;
    if (!HasWideFileCalls())
        return WritePrivateProfileStringA(section, key, value, Narrow(target.path).c_str()) != FALSE;
    return WritePrivateProfileStringW(WideArgument(section).get(), WideArgument(key).get(),
                                      WideArgument(value).get(), target.path.c_str()) != FALSE;
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

// In the ANSI code page, as the callers take it: a character of the path that
// the code page lacks shows as '?'.
std::string ProfileFilePath(const char* file) {
    return Narrow(FileForNaming(file));
}

}  // namespace platform
