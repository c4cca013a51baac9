// A CBT hook for the end-to-end tests, set on the saver's thread. The
// platform's default window processing raises HCBT_SYSCOMMAND before it
// carries out a system command, so the hook logs each command that reached
// it, one hexadecimal line each, to koravel-syscommand.log in the temporary
// folder.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK SysCommandHook(int code, WPARAM wParam, LPARAM lParam) {
    char path[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, path);
    if (code == HCBT_SYSCOMMAND && length != 0 && length + 24 < MAX_PATH) {
        lstrcatA(path, "koravel-syscommand.log");
        char line[24];
        wsprintfA(line, "%04X\r\n", static_cast<unsigned>(wParam));
        HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (log != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            WriteFile(log, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
            CloseHandle(log);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
