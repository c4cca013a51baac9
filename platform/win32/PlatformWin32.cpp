// The Win32 side of the platform seam: each function is the one named call,
// with one addition for the settings file: a bare file name is the user's own
// copy in %APPDATA%\KORAVEL when there is one, else the machine's copy in the
// Windows folder, and writes go to the user's copy, made from the machine's
// on the first write.
#include <windows.h>
#include <shlobj.h>

#include "platform/Platform.h"

namespace platform {

namespace {

bool IsBareName(const char* file) {
    for (const char* at = file; *at; ++at) {
        if (*at == '\\' || *at == '/' || *at == ':') return false;
    }
    return true;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

using FolderPathFunction = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// SHGetFolderPathA is in shell32 from Windows 2000 and Me on, before that in
// shfolder.dll, which may be missing: it is looked up once, at run time.
FolderPathFunction FolderPathCall() {
    static const FolderPathFunction call = [] {
        for (const char* name : {"shell32.dll", "shfolder.dll"}) {
            HMODULE module = LoadLibraryA(name);
            if (module == nullptr) continue;
            auto found = reinterpret_cast<FolderPathFunction>(
                reinterpret_cast<void*>(GetProcAddress(module, "SHGetFolderPathA")));
            if (found != nullptr) return found;
            FreeLibrary(module);
        }
        return FolderPathFunction(nullptr);
    }();
    return call;
}

// Windows 9x keeps one Application Data folder for everyone unless user
// profiles are switched on.
bool IsWin9xWithoutProfiles() {
    if ((GetVersion() & 0x80000000u) == 0) return false;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Network\\Logon", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
    DWORD value = 0, size = sizeof value;
    const LONG found = RegQueryValueExA(key, "UserProfiles", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return found != ERROR_SUCCESS || value != 1;
}

// The user's own copy of `file`: %APPDATA%\KORAVEL\file, or "" where the
// system keeps no settings per user. `create` makes the Application Data
// folder when it is missing (a save), never when only reading.
std::string UserFilePath(const char* file, bool create) {
    if (IsWin9xWithoutProfiles()) return std::string();
    const FolderPathFunction call = FolderPathCall();
    char folder[MAX_PATH] = "";
    if (call == nullptr || FAILED(call(nullptr, CSIDL_APPDATA | (create ? CSIDL_FLAG_CREATE : 0), nullptr, 0, folder)))
        return std::string();
    std::string path = std::string(folder) + "\\KORAVEL\\" + file;
    if (path.size() >= MAX_PATH) return std::string();
    return path;
}

std::string MachineFilePath(const char* file) {
    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return file;
    return std::string(folder, length) + "\\" + file;
}

// The file a profile read of `file` takes: the user's copy when it exists,
// else the name as given, which the profile functions find in the Windows
// folder.
std::string ReadPath(const char* file) {
    if (!IsBareName(file)) return file;
    std::string own = UserFilePath(file, false);
    if (!own.empty() && IsFile(own)) return own;
    return file;
}

// Makes the user's copy `own` of the machine's file byte for byte, so the
// glyphs, the other sections and keys this program does not know come
// along. False when the machine's file exists but cannot be read whole, or
// the copy cannot be written whole: a copy without the glyphs would hide
// the machine's from this user from then on. Nothing is made where the
// machine has no file; the profile write then starts a fresh one.
bool MakeUserCopy(const std::string& own, const char* file) {
    if (GetFileAttributesA(own.c_str()) != INVALID_FILE_ATTRIBUTES) return true;  // made before
    const std::string folder = own.substr(0, own.find_last_of('\\'));
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string machine = MachineFilePath(file);
    if (!IsFile(machine)) return true;

    std::string text;
    HANDLE source = CreateFileA(machine.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (source == INVALID_HANDLE_VALUE) return false;
    char chunk[65536];
    DWORD got = 0;
    BOOL read = TRUE;
    while ((read = ReadFile(source, chunk, sizeof chunk, &got, nullptr)) && got > 0) text.append(chunk, got);
    CloseHandle(source);
    if (!read) return false;

    HANDLE copy = CreateFileA(own.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (copy == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;  // another process made it
    DWORD written = 0;
    const bool whole = WriteFile(copy, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                       written == text.size();
    if (CloseHandle(copy) && whole) return true;
    DeleteFileA(own.c_str());
    return false;
}

}  // namespace

int LoadResourceString(ModuleHandle instance, unsigned id, char* buffer, int size) {
    return LoadStringA(static_cast<HINSTANCE>(instance), id, buffer, size);
}

std::uint32_t ReadProfileInt(const char* section, const char* key, int defaultValue, const char* file) {
    return GetPrivateProfileIntA(section, key, defaultValue, ReadPath(file).c_str());
}

std::uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                std::uint32_t size, const char* file) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, ReadPath(file).c_str());
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    if (!IsBareName(file)) return WritePrivateProfileStringA(section, key, value, file) != FALSE;
    const std::string own = UserFilePath(file, true);
    if (own.empty()) return WritePrivateProfileStringA(section, key, value, file) != FALSE;
    if (!MakeUserCopy(own, file)) return false;
    return WritePrivateProfileStringA(section, key, value, own.c_str()) != FALSE;
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
    if (!IsBareName(file)) return file;
    std::string own = UserFilePath(file, true);
    return own.empty() ? MachineFilePath(file) : own;
}

}  // namespace platform
