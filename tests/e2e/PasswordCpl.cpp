// A stand-in for the system's PASSWORD.CPL in the end-to-end tests. Its
// VerifyScreenSavePwd logs each call (the class of the window it was given,
// and from the second call on the milliseconds since the last one returned)
// to verify.log and answers from answer.txt ('1' accepts, anything else
// refuses; 'c' refuses and asks the window to close again at once, as a
// user's key pressed while the dialog ends would), both in the folder named
// by KORAVEL_TEST_PASSWORD_DIR. With
// KORAVEL_TEST_PASSWORD_FILTER set, loading it sets a top-level exception
// filter of its own that ends the process with code 3, as a component with
// its own fault handling may do.
#include <windows.h>

namespace {

LONG WINAPI OwnFaultFilter(EXCEPTION_POINTERS*) { ExitProcess(3); }

DWORD lastReturn = 0;
bool returned = false;

bool PathIn(const char* name, char* path, DWORD size) {
    DWORD length = GetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_DIR", path, size);
    if (length == 0 || length + lstrlenA(name) + 2 > size) return false;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return true;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI VerifyScreenSavePwd(HWND window) {
    char path[MAX_PATH];
    if (PathIn("verify.log", path, MAX_PATH)) {
        char line[160] = "verify ";
        GetClassNameA(window, line + lstrlenA(line), 100);
        if (returned) wsprintfA(line + lstrlenA(line), " after %lu", GetTickCount() - lastReturn);
        lstrcatA(line, "\r\n");
        HANDLE log = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        if (log != INVALID_HANDLE_VALUE) {
            WriteFile(log, line, static_cast<DWORD>(lstrlenA(line)), &written, nullptr);
            CloseHandle(log);
        }
    }
    char answer = '0';
    if (PathIn("answer.txt", path, MAX_PATH)) {
        HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD read = 0;
        if (file != INVALID_HANDLE_VALUE) {
            ReadFile(file, &answer, 1, &read, nullptr);
            CloseHandle(file);
        }
    }
    if (answer == 'c') PostMessageA(window, WM_CLOSE, 0, 0);
    returned = true;
    lastReturn = GetTickCount();
    return answer == '1';
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH && GetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_FILTER", nullptr, 0) != 0) {
        SetUnhandledExceptionFilter(OwnFaultFilter);
    }
    return TRUE;
}
