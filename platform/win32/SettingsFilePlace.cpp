#include "platform/win32/SettingsFilePlace.h"

#include <windows.h>
#include <shlobj.h>

#include "platform/win32/FileCalls.h"

namespace platform {

namespace {

bool IsBareName(const char* file) {
    for (const char* at = file; *at; ++at) {
        if (*at == '\\' || *at == '/' || *at == ':') return false;
    }
    return true;
}

// A system call that some Windows lack, looked up at run time so that the
// program starts on every one; null where the system has none.
template <typename Call>
Call LookUp(const char* library, const char* name) {
    HMODULE module = LoadLibraryA(library);
    if (module == nullptr) return nullptr;
    auto call = reinterpret_cast<Call>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (call == nullptr) FreeLibrary(module);
    return call;
}

// SHGetFolderPath is in shell32 from Windows 2000 and Me on, before that in
// shfolder.dll, which may be missing.
template <typename Call>
Call LookUpFolderPath(const char* name) {
    Call call = LookUp<Call>("shell32.dll", name);
    return call != nullptr ? call : LookUp<Call>("shfolder.dll", name);
}

using KnownFolderPathCall = HRESULT(WINAPI*)(const GUID&, DWORD, HANDLE, PWSTR*);
using MemoryFreeCall = void(WINAPI*)(void*);
using FolderPathCallW = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPWSTR);
using FolderPathCallA = HRESULT(WINAPI*)(HWND, int, HANDLE, DWORD, LPSTR);

// FOLDERID_RoamingAppData, written out so that no GUID library is linked.
const GUID kRoamingAppData = {0x3EB685DB, 0x65F9, 0x4CF6, {0xA0, 0x3A, 0xE3, 0xEF, 0x65, 0x72, 0x9F, 0x3D}};

// Windows 9x keeps one Application Data folder for everyone unless user
// profiles are switched on.
bool IsWin9xWithoutProfiles() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Network\\Logon", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return true;
    DWORD value = 0, size = sizeof value;
    const LONG found = RegQueryValueExA(key, "UserProfiles", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return found != ERROR_SUCCESS || value != 1;
}

// The user's Application Data folder, or "" where the system keeps no
// settings per user. `create` makes it when it is missing (a save); a read
// takes its path as it stands. The known-folder call (Windows Vista on)
// gives the path whole, however long; SHGetFolderPath (Windows 2000, XP and
// 9x with user profiles) within MAX_PATH characters.
std::wstring UserFolder(bool create) {
    if (!HasWideFileCalls()) {
        if (IsWin9xWithoutProfiles()) return std::wstring();
        static const auto folderPath = LookUpFolderPath<FolderPathCallA>("SHGetFolderPathA");
        char folder[MAX_PATH] = "";
        if (folderPath == nullptr ||
            FAILED(folderPath(nullptr, CSIDL_APPDATA | (create ? CSIDL_FLAG_CREATE : 0), nullptr, 0, folder)))
            return std::wstring();
        return Widen(folder);
    }
    static const auto knownFolderPath = LookUp<KnownFolderPathCall>("shell32.dll", "SHGetKnownFolderPath");
    static const auto freeMemory = LookUp<MemoryFreeCall>("ole32.dll", "CoTaskMemFree");
    if (knownFolderPath != nullptr && freeMemory != nullptr) {
        PWSTR path = nullptr;
        const HRESULT result =
            knownFolderPath(kRoamingAppData, create ? KF_FLAG_CREATE : KF_FLAG_DONT_VERIFY, nullptr, &path);
        std::wstring folder = SUCCEEDED(result) && path != nullptr ? path : L"";
        freeMemory(path);
        return folder;
    }
    static const auto folderPath = LookUpFolderPath<FolderPathCallW>("SHGetFolderPathW");
    wchar_t folder[MAX_PATH] = L"";
    const int flags = create ? CSIDL_FLAG_CREATE : CSIDL_FLAG_DONT_VERIFY;
    if (folderPath == nullptr || FAILED(folderPath(nullptr, CSIDL_APPDATA | flags, nullptr, 0, folder)))
        return std::wstring();
    return folder;
}

// Whether the file calls take `path` and the first save can make its
// temporary file beside it: paths of fewer than MAX_PATH characters, and
// GetTempFileName a folder of at most MAX_PATH - 14.
bool FitsFileCalls(const std::wstring& path) {
    const auto length = [](const std::wstring& text) {
        return HasWideFileCalls() ? text.size() : Narrow(text).size();
    };
    return length(path) < MAX_PATH && length(path.substr(0, path.find_last_of(L'\\'))) <= MAX_PATH - 14;
}

// The user's own copy of `file`, %APPDATA%\KORAVEL\file; an empty path where
// the system keeps no settings per user.
SettingsFile OwnFile(const char* file, bool create) {
    const std::wstring folder = UserFolder(create);
    if (folder.empty()) return {std::wstring(), false};
    std::wstring own = folder + L"\\KORAVEL\\" + Widen(file);
    const bool usable = FitsFileCalls(own);
    return {std::move(own), usable};
}

std::wstring MachineFilePath(const char* file) {
    if (!HasWideFileCalls()) {
        char folder[MAX_PATH];
        const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return Widen(file);
        return Widen((std::string(folder, length) + "\\" + file).c_str());
    }
    wchar_t folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return Widen(file);
    return std::wstring(folder, length) + L"\\" + Widen(file);
}

}  // namespace

SettingsFile FileForReading(const char* file) {
    if (!IsBareName(file)) return {Widen(file), true};
    SettingsFile own = OwnFile(file, false);
    if (own.path.empty() || (own.usable && !IsFile(own.path))) return {Widen(file), true};
    return own;
}

SettingsFile FileForWriting(const char* file) {
    if (!IsBareName(file)) return {Widen(file), true};
    SettingsFile own = OwnFile(file, true);
    if (own.path.empty()) return {Widen(file), true};
    if (own.usable && !MakeUserCopy(own.path, MachineFilePath(file))) own.usable = false;
    return own;
}

std::wstring FileForNaming(const char* file) {
    if (!IsBareName(file)) return Widen(file);
    const SettingsFile own = OwnFile(file, true);
    return own.path.empty() ? MachineFilePath(file) : own.path;
}

}  // namespace platform
