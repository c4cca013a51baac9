#include "config/win32/ConfigDialogProc.h"
#include "host/win32/SaverEntry.h"
#include "host/win32/SaverHostState.h"

BOOL PrepareConfigDialog(HINSTANCE) { return TRUE; }

// The dialog's captions are Japanese, stored as UTF-16 in the template; the
// Unicode call shows them as they are on any system language, where the ANSI
// call would pass them through the system's code page.
int RunConfigDialog(HWND parent) {
    if (!PrepareConfigDialog(saverHostState.instance)) return 0;
    return static_cast<int>(
        DialogBoxParamW(saverHostState.instance, MAKEINTRESOURCEW(2003), parent, ConfigDialogProc, 0));
}
