#include "platform/win32/FileCalls.h"

namespace platform {

bool HasWideFileCalls() {
    return (GetVersion() & 0x80000000u) == 0;
}

std::wstring Widen(const char* text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (length <= 1) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

std::string Narrow(const wchar_t* text, std::size_t length) {
    if (length == 0) return std::string();
    const int count = static_cast<int>(length);
    const int bytes = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, count, narrow.data(), bytes, nullptr, nullptr);
    return narrow;
}

DWORD FileAttributesOf(const std::wstring& path) {
    if (!HasWideFileCalls()) return GetFileAttributesA(Narrow(path).c_str());
    return GetFileAttributesW(path.c_str());
}

bool IsFile(const std::wstring& path) {
    const DWORD attributes = FileAttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool CreateFolder(const std::wstring& path) {
    if (!HasWideFileCalls()) return CreateDirectoryA(Narrow(path).c_str(), nullptr) != FALSE;
    return CreateDirectoryW(path.c_str(), nullptr) != FALSE;
}

HANDLE OpenPath(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
    if (!HasWideFileCalls())
        return CreateFileA(Narrow(path).c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool RemoveFile(const std::wstring& path) {
    if (!HasWideFileCalls()) return DeleteFileA(Narrow(path).c_str()) != FALSE;
    return DeleteFileW(path.c_str()) != FALSE;
}

bool MakeTemporaryFile(const std::wstring& folder, std::wstring& path) {
    if (!HasWideFileCalls()) {
        char name[MAX_PATH];
        if (GetTempFileNameA(Narrow(folder).c_str(), "KOR", 0, name) == 0) return false;
        path = Widen(name);
        return true;
    }
    wchar_t name[MAX_PATH];
    if (GetTempFileNameW(folder.c_str(), L"KOR", 0, name) == 0) return false;
    path = name;
    return true;
}

bool RenameFile(const std::wstring& from, const std::wstring& to) {
    // MoveFileA never replaces a file either; Windows 9x has no MoveFileEx.
    if (!HasWideFileCalls()) return MoveFileA(Narrow(from).c_str(), Narrow(to).c_str()) != FALSE;
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace platform
