// The program's entry. The start-up code's arguments are not used: the
// saver takes its command line again from GetCommandLineA.
#include <windows.h>

#include "host/win32/SaverEntry.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    SaverEntry();
}
