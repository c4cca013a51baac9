// A stand-in for the system's icacls.exe in the installer's test, put in
// place of the one in System32 (Wine's changes no rights). It appends its
// whole command line, as UTF-8, to icacls.log beside itself and succeeds.
#include <windows.h>

int main() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* folderEnd = nullptr;
    for (wchar_t* c = path; c < path + length; ++c) {
        if (*c == L'\\') folderEnd = c;
    }
    if (folderEnd == nullptr || folderEnd + 12 >= path + MAX_PATH) return 1;
    lstrcpyW(folderEnd + 1, L"icacls.log");
    char line[4096];
    const int size = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line - 2, nullptr, nullptr);
    if (size == 0) return 1;
    lstrcatA(line, "\r\n");
    HANDLE log = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    WriteFile(log, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
    CloseHandle(log);
    return 0;
}
