// A stand-in for the system's MPR.DLL in the end-to-end tests (loaded only
// with WINEDLLOVERRIDES mpr=n,b). PwdChangePasswordA logs its arguments to
// change.log in the folder named by KORAVEL_TEST_PASSWORD_DIR. With
// KORAVEL_TEST_PASSWORD_FILTER set, loading it sets a top-level exception
// filter of its own that ends the process with code 3. Unloaded by the
// program (not at process end) while that filter is still in force, it ends
// the process with code 4: the filter would point into unloaded code.
#include <windows.h>

namespace {

LONG WINAPI OwnFaultFilter(EXCEPTION_POINTERS*) { ExitProcess(3); }

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    if (GetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_FILTER", nullptr, 0) == 0) return TRUE;
    if (reason == DLL_PROCESS_ATTACH) SetUnhandledExceptionFilter(OwnFaultFilter);
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        LPTOP_LEVEL_EXCEPTION_FILTER inForce = SetUnhandledExceptionFilter(nullptr);
        SetUnhandledExceptionFilter(inForce);
        if (inForce == OwnFaultFilter) ExitProcess(4);
    }
    return TRUE;
}

extern "C" __declspec(dllexport) DWORD WINAPI PwdChangePasswordA(LPCSTR provider, HWND parent, DWORD first,
                                                                 DWORD second) {
    char path[MAX_PATH];
    DWORD length = GetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_DIR", path, MAX_PATH);
    if (length == 0 || length + 12 > MAX_PATH) return 0;
    lstrcatA(path, "\\change.log");
    char line[160];
    wsprintfA(line, "%s %lu %lu %lu\r\n", provider != nullptr ? provider : "(null)",
              static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(parent)), static_cast<unsigned long>(first),
              static_cast<unsigned long>(second));
    HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (log != INVALID_HANDLE_VALUE) {
        DWORD written = 0;
        WriteFile(log, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
        CloseHandle(log);
    }
    return 0;
}
