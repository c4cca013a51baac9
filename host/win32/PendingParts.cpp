// Stand-ins for two pieces that other subsystems provide, so the saver links
// before they arrive: the seeding of the random generator (scene) and the
// configuration dialog's procedure (config). Delete this file when they land.
#include <windows.h>

#include <cstdint>

#include "scene/Random.h"

void SeedRandom(std::uint32_t) {}

INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) EndDialog(dialog, 0);
    return FALSE;
}
