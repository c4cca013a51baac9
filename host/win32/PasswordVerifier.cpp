// The Windows 9x screen-saver password: the system's verifier in
// PASSWORD.CPL, the system's screen-saver-running state and the password
// change in MPR.DLL. The components are loaded by name at run time; on
// other systems none of this runs.
#include "host/win32/SaverEntry.h"
#include "host/win32/SaverHostState.h"

namespace {

// True when the current user's ScreenSaveUsePassword is non-zero. The value
// is read into four bytes whatever its stored type; a shorter value fills
// only its own bytes and the rest counts as zero.
bool PasswordProtectionIsOn(HKEY key) {
    BYTE value[4] = {0, 0, 0, 0};
    DWORD size = sizeof value;
    if (RegQueryValueExA(key, "ScreenSaveUsePassword", nullptr, nullptr, value, &size) != ERROR_SUCCESS) return false;
    return (value[0] | value[1] | value[2] | value[3]) != 0;
}

// A system module may put its own unhandled-exception filter in place of the
// fault guard. The guard goes back before the module is unloaded, so that no
// filter ever points into unloaded code, and again afterwards in case the
// module's detach put one in place.
void UnloadSystemModule(HMODULE module) {
    RestoreFaultGuard();
    FreeLibrary(module);
    RestoreFaultGuard();
}

}  // namespace

void LoadPasswordVerifier() {
    if (!saverHostState.isWin9x) return;
    if (saverHostState.passwordModule != nullptr) UnloadPasswordVerifier();

    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
    if (PasswordProtectionIsOn(key)) {
        saverHostState.passwordModule = LoadLibraryA("PASSWORD.CPL");
        RestoreFaultGuard();
        if (saverHostState.passwordModule != nullptr) {
            saverHostState.verifyPassword = reinterpret_cast<VerifyPasswordFunction>(
                reinterpret_cast<void*>(GetProcAddress(saverHostState.passwordModule, "VerifyScreenSavePwd")));
            if (saverHostState.verifyPassword != nullptr) {
                SetScreenSaverRunning(TRUE);
            } else {
                UnloadPasswordVerifier();
            }
        }
    }
    RegCloseKey(key);
}

void UnloadPasswordVerifier() {
    if (!saverHostState.isWin9x || saverHostState.passwordModule == nullptr) return;
    UnloadSystemModule(saverHostState.passwordModule);
    saverHostState.passwordModule = nullptr;
    if (saverHostState.verifyPassword != nullptr) {
        saverHostState.verifyPassword = nullptr;
        SetScreenSaverRunning(FALSE);
    }
}

void SetScreenSaverRunning(BOOL on) {
    if (!saverHostState.isWin9x) return;
    BOOL previous;
    SystemParametersInfoA(SPI_SCREENSAVERRUNNING, static_cast<UINT>(on), &previous, 0);
}

void ChangeSaverPassword(HWND parent) {
    using ChangePasswordFunction = DWORD(WINAPI*)(LPCSTR provider, HWND parent, DWORD reserved1, DWORD reserved2);
    HMODULE module = LoadLibraryA("MPR.DLL");
    if (module == nullptr) return;
    auto change = reinterpret_cast<ChangePasswordFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "PwdChangePasswordA")));
    if (change != nullptr) change("SCRSAVE", parent, 0, 0);
    UnloadSystemModule(module);
}
