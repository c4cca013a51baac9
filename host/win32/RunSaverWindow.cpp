#include "host/PlaceFullScreen.h"
#include "host/win32/SaverEntry.h"
#include "host/win32/SaverHostState.h"
#include "host/win32/SaverWindow.h"
#include "render/win32/DesktopCopy.h"

namespace {

constexpr char kClassName[] = "WindowsScreenSaverClass";
constexpr char kFullScreenTitle[] = "Screen Saver";
constexpr char kPreviewTitle[] = "Preview";

struct WindowPlacement {
    DWORD style = 0;
    DWORD extendedStyle = 0;
    const char* title = nullptr;
    int x = 0, y = 0, width = 0, height = 0;
};

WindowPlacement PreviewPlacement(HWND parent) {
    RECT client;
    GetClientRect(parent, &client);
    WindowPlacement placement;
    placement.style = WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN;
    placement.title = kPreviewTitle;
    placement.width = client.right;
    placement.height = client.bottom;
    return placement;
}

// The whole virtual screen, over every monitor; where the system reports
// none, the clip box of the screen's device context. The desktop copy is
// taken from the same corner.
WindowPlacement FullScreenWindowPlacement() {
    WindowPlacement placement;
    placement.style = WS_POPUP | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
    placement.extendedStyle = WS_EX_TOPMOST;
    placement.title = kFullScreenTitle;
    const ScreenArea virtualScreen{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                                   GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    ScreenArea clipBox;
    if (NeedsScreenClipBox(virtualScreen)) {
        // A device context that cannot be had, or that gives no clip box,
        // leaves an empty box.
        HDC screen = GetDC(nullptr);
        RECT clip = {0, 0, 0, 0};
        if (screen == nullptr || GetClipBox(screen, &clip) == ERROR) clip = RECT{0, 0, 0, 0};
        if (screen != nullptr) ReleaseDC(nullptr, screen);
        clipBox = AreaOfBox(clip.left, clip.top, clip.right, clip.bottom);
    }
    const FullScreenPlacement placed = PlaceFullScreen(virtualScreen, clipBox);
    placement.x = placed.window.x;
    placement.y = placed.window.y;
    placement.width = placed.window.width;
    placement.height = placed.window.height;
    desktopCopySource = POINT{placed.desktopSourceX, placed.desktopSourceY};
    return placement;
}

// A second full-screen start brings the running saver to the front instead.
bool BringRunningSaverForward() {
    HWND running = FindWindowA(kClassName, kFullScreenTitle);
    if (running == nullptr || !IsWindow(running)) return false;
    SetForegroundWindow(running);
    return true;
}

BYTE ReadAcLineStatus() {
    SYSTEM_POWER_STATUS status;
    return GetSystemPowerStatus(&status) ? status.ACLineStatus : 0xFF;
}

}  // namespace

int RunSaverMessageLoop() {
    MSG message = {};
    for (;;) {
        const BOOL got = GetMessageA(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);  // the quit code
        // The message left in `message` is an older one; its wParam (a
        // timer's identifier, say) is no exit code.
        if (got == -1) return -1;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

int RunSaverWindow(HWND parent) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    windowClass.lpfnWndProc = SaverHostWindowProc;
    windowClass.hInstance = saverHostState.instance;
    windowClass.hIcon = LoadIconA(saverHostState.instance, MAKEINTRESOURCEA(100));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;

    WindowPlacement placement;
    if (parent != nullptr) {
        placement = PreviewPlacement(parent);
        saverHostState.isPreview = 1;
    } else {
        placement = FullScreenWindowPlacement();
        if (BringRunningSaverForward()) return 0;
        saverHostState.acLineStatus = ReadAcLineStatus();
        LoadPasswordVerifier();
    }
    saverHostState.autoPlayMessage = saverHostState.isWin9x ? RegisterWindowMessageA("QueryCancelAutoPlay") : 0;

    int result = 0;
    if (RegisterClassA(&windowClass)) {
        saverHostState.saverWindow =
            CreateWindowExA(placement.extendedStyle, kClassName, placement.title, placement.style, placement.x,
                            placement.y, placement.width, placement.height, parent, nullptr, saverHostState.instance,
                            nullptr);
    }
    if (saverHostState.saverWindow != nullptr) {
        if (!saverHostState.isPreview) SetForegroundWindow(saverHostState.saverWindow);
        result = RunSaverMessageLoop();
    }
    UnloadPasswordVerifier();
    return result;
}
