// A stand-in desktop for the drawing tests, titled "KORAVEL test desktop".
// It ends on WM_CLOSE or after ten minutes at most.
//   (no argument)  the primary screen in one colour that the saver never
//                  draws, RGB(40, 80, 120);
//   gradient       the whole virtual screen in a pattern: the pixel at
//                  virtual-screen offset (x, y) is RGB(20 + x % 200,
//                  20 + y % 200, 100 + (7 * (x / 200) + 3 * (y / 200)) % 150),
//                  so a pixel shown at the wrong place has the wrong colour,
//                  and none is black or a shade of red;
//   monitors       no window: exits with the number of monitors the system
//                  reports.
#include <windows.h>

#include <cstring>
#include "tests/support/win32/TopDownDib.h"

namespace {

HDC gradientDC = nullptr;

void MakeGradient(HDC screen, int width, int height) {
    void* bits = nullptr;
    HBITMAP bitmap = CreateTopDownDib(screen, width, height, 32, &bits);
    auto* pixels = static_cast<DWORD*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            // A DIB pixel is 0x00RRGGBB: RGB() with red and blue swapped.
            pixels[y * width + x] = RGB(100 + (7 * (x / 200) + 3 * (y / 200)) % 150, 20 + y % 200, 20 + x % 200);
        }
    }
    gradientDC = CreateCompatibleDC(screen);
    SelectObject(gradientDC, bitmap);
}

LRESULT CALLBACK DesktopProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER || msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    if (msg == WM_PAINT && gradientDC != nullptr) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(hwnd, &paint);
        RECT client;
        GetClientRect(hwnd, &client);
        BitBlt(dc, 0, 0, client.right, client.bottom, gradientDC, 0, 0, SRCCOPY);
        EndPaint(hwnd, &paint);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    const char* mode = __argc > 1 ? __argv[1] : "";
    if (std::strcmp(mode, "monitors") == 0) return GetSystemMetrics(SM_CMONITORS);

    int x = 0, y = 0, width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (std::strcmp(mode, "gradient") == 0) {
        x = GetSystemMetrics(SM_XVIRTUALSCREEN);
        y = GetSystemMetrics(SM_YVIRTUALSCREEN);
        width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
        height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
        HDC screen = GetDC(nullptr);
        MakeGradient(screen, width, height);
        ReleaseDC(nullptr, screen);
    }
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DesktopProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = CreateSolidBrush(RGB(40, 80, 120));
    windowClass.lpszClassName = "KoravelTestDesktop";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "KoravelTestDesktop", "KORAVEL test desktop", WS_POPUP | WS_VISIBLE, x, y,
                                  width, height, nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 600000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    return 0;
}
