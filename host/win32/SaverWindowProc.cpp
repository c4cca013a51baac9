#include "host/win32/SaverHostState.h"
#include "host/win32/SaverWindow.h"
#include "render/ComposeFrame.h"
#include "render/win32/DesktopCopy.h"
#include "scene/Random.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

std::uint16_t frameTimer = 0;

namespace {

constexpr UINT_PTR kFrameTimerId = 100;

bool UsesDesktopCopy() { return settings.BKMODE == 0 && settings.ZANZOU == 0; }

// The window is not visible yet while its creation message runs, so the
// copy shows the screen as it was before the saver covered it. It is taken
// from the window's own corner, so window pixel (0, 0) of the copy is the
// desktop pixel that lay there.
void CaptureDesktop() {
    HDC display = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
    desktopCopyBitmap = CreateCompatibleBitmap(display, sceneState.clientWidth, sceneState.clientHeight);
    desktopCopyDC = CreateCompatibleDC(display);
    SelectObject(desktopCopyDC, desktopCopyBitmap);
    BitBlt(desktopCopyDC, 0, 0, sceneState.clientWidth, sceneState.clientHeight, display,
           desktopCopySource.x, desktopCopySource.y, SRCCOPY);
    DeleteDC(display);
}

void FreeDesktopCopy() {
    DeleteDC(desktopCopyDC);
    DeleteObject(desktopCopyBitmap);
    desktopCopyDC = nullptr;
    desktopCopyBitmap = nullptr;
}

LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LoadKeyNames(saverHostState.instance != nullptr ? saverHostState.instance : GetModuleHandleA(nullptr));
    LoadSettings();
    LoadGlyphs();
    StartKeptText();
    RECT client;
    GetClientRect(hwnd, &client);
    sceneState.clientWidth = client.right;
    sceneState.clientHeight = client.bottom;
    // Setup draws its random start speeds and direction before the seeding
    // below, so every start moves off the same way.
    SetupScene();
    if (UsesDesktopCopy()) CaptureDesktop();
    SeedRandom(GetTickCount() & 0xFFFFu);
    frameTimer = static_cast<std::uint16_t>(SetTimer(hwnd, kFrameTimerId, static_cast<UINT>(settings.TIMER), nullptr));
    return DefSaverWindowProc(hwnd, msg, wParam, lParam);
}

// With the desktop as background the window is never erased: the screen
// keeps what lay under it until the first frame covers it.
LRESULT OnEraseBackground(HWND hwnd, WPARAM wParam) {
    if (settings.BKMODE == 1) {
        RECT client;
        GetClientRect(hwnd, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    return 0;
}

LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    AdvanceKeptText();
    ComposeFrame(hwnd);
    return DefSaverWindowProc(hwnd, msg, wParam, lParam);
}

LRESULT OnDestroy(HWND hwnd) {
    if (frameTimer != 0) KillTimer(hwnd, kFrameTimerId);
    if (UsesDesktopCopy()) FreeDesktopCopy();
    StopKeptText();
    return 0;
}

}  // namespace

LRESULT CALLBACK SaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate(hwnd, msg, wParam, lParam);
    case WM_ERASEBKGND: return OnEraseBackground(hwnd, wParam);
    case WM_TIMER: return OnTimer(hwnd, msg, wParam, lParam);
    case WM_DESTROY: return OnDestroy(hwnd);
    default: return DefSaverWindowProc(hwnd, msg, wParam, lParam);
    }
}
