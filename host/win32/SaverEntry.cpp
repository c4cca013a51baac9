#include "host/win32/SaverEntry.h"

#include <commctrl.h>

#include "host/CommandLine.h"
#include "host/win32/SaverHostState.h"

namespace {

const char* NextCharacter(const char* position) { return CharNextA(position); }

HWND AsWindow(platform::WindowHandle handle) { return static_cast<HWND>(handle); }

// A parent named on the command line, or the foreground window when none
// was named or the name is no window.
HWND ParentOrForeground(HWND named) {
    return named != nullptr && IsWindow(named) ? named : GetForegroundWindow();
}

int RunChosenMode(HINSTANCE, const char* args) {
    const SaverCommand command = ParseSaverCommand(args);
    HWND named = AsWindow(command.window);
    switch (command.mode) {
    case SaverMode::FullScreen:
        return RunSaverWindow(nullptr);
    case SaverMode::Preview:
        if (named == nullptr || !IsWindow(named)) return -1;
        return RunSaverWindow(named);
    case SaverMode::Configure:
        return RunConfigDialog(command.noSwitch ? nullptr : ParentOrForeground(named));
    case SaverMode::ChangePassword:
        if (!saverHostState.isWin9x) return -1;
        ChangeSaverPassword(ParentOrForeground(named));
        return 0;
    case SaverMode::Unusable:
        break;
    }
    return -1;
}

// Called by the system for a fault that no handler took, after it has
// offered the fault to a debugger: the system must no longer believe a
// saver runs, and the process ends with -1.
LONG WINAPI SaverFaultFilter(EXCEPTION_POINTERS*) {
    SetScreenSaverRunning(FALSE);
    ExitProcess(static_cast<UINT>(-1));
}

bool faultGuardInForce = false;

}  // namespace

int RunUnderFaultGuard(GuardedMode mode, HINSTANCE instance, const char* args) {
    LPTOP_LEVEL_EXCEPTION_FILTER previous = SetUnhandledExceptionFilter(SaverFaultFilter);
    faultGuardInForce = true;
    const int result = mode(instance, args);
    faultGuardInForce = false;
    SetUnhandledExceptionFilter(previous);
    return result;
}

void RestoreFaultGuard() {
    if (faultGuardInForce) SetUnhandledExceptionFilter(SaverFaultFilter);
}

int DispatchSaverMode(HINSTANCE instance, const char* args) {
    INITCOMMONCONTROLSEX controls;
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_TAB_CLASSES;
    InitCommonControlsEx(&controls);

    saverHostState.instance = instance;

    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    saverHostState.isWin9x = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ? 1 : 0;

    return RunUnderFaultGuard(RunChosenMode, instance, args);
}

void SaverEntry() {
    const char* args = SkipProgramName(GetCommandLineA(), NextCharacter);
    ExitProcess(static_cast<UINT>(DispatchSaverMode(GetModuleHandleA(nullptr), args)));
}
