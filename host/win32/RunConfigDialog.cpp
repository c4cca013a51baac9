#include "host/win32/SaverEntry.h"
#include "host/win32/SaverHostState.h"

// The dialog's procedure, from the configuration subsystem.
INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM);

BOOL PrepareConfigDialog(HINSTANCE) { return TRUE; }

int RunConfigDialog(HWND parent) {
    if (!PrepareConfigDialog(saverHostState.instance)) return 0;
    return static_cast<int>(
        DialogBoxParamA(saverHostState.instance, MAKEINTRESOURCEA(2003), parent, ConfigDialogProc, 0));
}
