// The process entry of the screen saver: the command line picks one mode,
// which runs to its end; its result is the exit code.
#pragma once

#include <windows.h>

// Takes the command line from GetCommandLineA, skips the program name, runs
// the chosen mode and ends the process with the mode's result.
[[noreturn]] void SaverEntry();

// Runs the mode the argument string (the command line after the program
// name) chooses and returns the exit code: -1 for an unusable command line
// or an escaped fault.
int DispatchSaverMode(HINSTANCE instance, const char* args);

// With a null parent, the full-screen saver; otherwise the preview as a
// child of `parent`. Returns when the window is gone and its loop has ended.
int RunSaverWindow(HWND parent);

// The saver window's message loop: returns the quit code, or -1 when no
// message could be fetched.
int RunSaverMessageLoop();

// Shows the configuration dialog (resource 2003) modally; returns the value
// the dialog ended with, -1 when it could not be created.
int RunConfigDialog(HWND parent);

// Run before the dialog is shown, for window classes the dialog might need;
// it needs none.
BOOL PrepareConfigDialog(HINSTANCE instance);

// The fault guard: runs `mode` so that a fault escaping it, anywhere in the
// mode and its message loop, tells the system no saver runs any more and
// ends the process with -1.
using GuardedMode = int (*)(HINSTANCE instance, const char* args);
int RunUnderFaultGuard(GuardedMode mode, HINSTANCE instance, const char* args);

// The guard is the process's top-level exception filter, and a system
// component loaded while a mode runs (PASSWORD.CPL, MPR.DLL) may set a
// filter of its own in its place. This puts the guard's filter back while
// the guard is in force; it is called after each load of such a component
// and after each call into it.
void RestoreFaultGuard();
