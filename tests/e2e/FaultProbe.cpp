// A test build of the saver's fault guard: a fault that no real mode can
// cause, raised either in the guarded mode itself ("mode") or in a window
// procedure during the guarded message loop ("loop"). The guard must end the
// process with -1. With "win9x" the probe first tells the system a saver is
// running, which the guard must take back. With "password" the guarded mode
// first loads the password verifier (PASSWORD.CPL beside the probe), with
// "change" it first runs the password change (MPR.DLL); either component may
// set an exception filter of its own. With "query" it only answers, as its
// exit code, whether the system believes a saver runs.
#include <windows.h>

#include <cstring>

#include "host/win32/SaverEntry.h"
#include "host/win32/SaverHostState.h"

namespace {

constexpr UINT kFaultMessage = WM_APP + 1;

int volatile* volatile nowhere = nullptr;
void (*beforeFault)() = [] {};

int FaultInMode(HINSTANCE, const char*) {
    beforeFault();
    return *nowhere;
}

LRESULT CALLBACK FaultingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kFaultMessage) *nowhere = 1;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int FaultInLoop(HINSTANCE instance, const char*) {
    beforeFault();
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = FaultingProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KoravelFaultProbe";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "KoravelFaultProbe", "probe", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  instance, nullptr);
    PostMessageA(window, kFaultMessage, 0, 0);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "query") == 0) {
        BOOL running = FALSE;
        SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0);
        return running ? 1 : 0;
    }
    bool inLoop = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "loop") == 0) inLoop = true;
        if (std::strcmp(argv[i], "password") == 0) beforeFault = [] { LoadPasswordVerifier(); };
        if (std::strcmp(argv[i], "change") == 0) beforeFault = [] { ChangeSaverPassword(nullptr); };
        if (std::strcmp(argv[i], "win9x") == 0) {
            saverHostState.isWin9x = 1;
            SetScreenSaverRunning(TRUE);
        }
    }
    return RunUnderFaultGuard(inLoop ? FaultInLoop : FaultInMode, GetModuleHandleA(nullptr), "");
}
