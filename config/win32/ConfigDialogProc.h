// The configuration dialog's procedure, for dialog resource IDD_CONFIG (2003).
// The dialog's captions are Japanese and stored as UTF-16: open it with the
// Unicode call, DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CONFIG),
// parent, ConfigDialogProc, 0), so they read correctly on any system
// language. The dialog ends with 1 after OK (settings saved) and 0 after
// Cancel (nothing written).
#pragma once

#include <windows.h>

INT_PTR CALLBACK ConfigDialogProc(HWND, UINT, WPARAM, LPARAM);
