// The program's entry. The saver itself arrives with the host; until then
// KORAVEL.scr carries its resources and ends at once with exit code 0.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    ExitProcess(0);
}
