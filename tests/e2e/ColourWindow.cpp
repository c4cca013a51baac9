// A stand-in desktop for the drawing tests: a window over the whole screen
// in one colour that the saver never draws, RGB(40, 80, 120), titled
// "KORAVEL test desktop". It ends on WM_CLOSE or after a minute at most.
#include <windows.h>

namespace {

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER || msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DesktopProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = CreateSolidBrush(RGB(40, 80, 120));
    windowClass.lpszClassName = "KoravelTestDesktop";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "KoravelTestDesktop", "KORAVEL test desktop", WS_POPUP | WS_VISIBLE, 0, 0,
                                  GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                  instance, nullptr);
    SetTimer(window, 1, 60000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
