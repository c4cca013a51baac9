// The host's process-wide record and the operations of the saver's default
// message processing: closing on input, activation and power events, the
// Windows 9x password check and the autoplay answer.
#pragma once

#include <windows.h>

#include <cstdint>

using VerifyPasswordFunction = BOOL(WINAPI*)(HWND window);
using AssociateContextFunction = HIMC(WINAPI*)(HWND window, HIMC context);

struct SaverHostState {
    HINSTANCE instance = nullptr;
    HWND saverWindow = nullptr;
    int isPreview = 0;
    int isWin9x = 0;
    int closeGranted = 0;
    int checkInProgress = 0;
    HMODULE passwordModule = nullptr;
    VerifyPasswordFunction verifyPassword = nullptr;
    UINT autoPlayMessage = 0;
    HMODULE imeModule = nullptr;
    AssociateContextFunction associateContext = nullptr;
    HIMC savedInputContext = nullptr;
    std::uint32_t lastCheckEnd = 0xFFFFFFFFu;  // none yet
    std::uint32_t mouseThreshold = 4;
    BYTE acLineStatus = 0xFF;                  // no reading yet
    POINT mouseOrigin = {0, 0};
};

extern SaverHostState saverHostState;

// The last layer of the saver window's message handling: close requests on
// input, activation and power events, the password check on WM_CLOSE, the
// hidden cursor, the autoplay answer, then DefWindowProcA.
LRESULT CALLBACK DefSaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Makes the current cursor position the reference for mouse travel; when
// the cursor cannot be read the origin stays as it was.
void TakeMouseOrigin();

// Decides a close request (called with closeGranted 0) and returns the new
// closeGranted: at once without a password verifier, else through the
// system's password dialog, which the window's own WM_APP runs.
int CheckPasswordToClose(HWND hwnd);

// Windows 9x with ScreenSaveUsePassword set: loads PASSWORD.CPL and its
// VerifyScreenSavePwd, and tells the system a saver is running.
void LoadPasswordVerifier();
void UnloadPasswordVerifier();

// Windows 9x only: SPI_SCREENSAVERRUNNING on or off.
void SetScreenSaverRunning(BOOL on);

// The system's dialog for changing the screen-saver password (MPR.DLL).
void ChangeSaverPassword(HWND parent);
