#include "host/CloseRules.h"
#include "host/win32/SaverHostState.h"
#include "host/win32/SaverWindow.h"

namespace {

LRESULT Forward(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    return SaverWindowProc(hwnd, msg, wParam, lParam);
}

// The input method is detached only when IMM32.DLL is already in the
// process: the saver never loads it just for this.
void DetachInputMethod(HWND hwnd) {
    saverHostState.imeModule = GetModuleHandleA("IMM32.DLL");
    if (saverHostState.imeModule == nullptr) return;
    saverHostState.associateContext = reinterpret_cast<AssociateContextFunction>(
        reinterpret_cast<void*>(GetProcAddress(saverHostState.imeModule, "ImmAssociateContext")));
    if (saverHostState.associateContext != nullptr) {
        saverHostState.savedInputContext = saverHostState.associateContext(hwnd, nullptr);
    }
}

void RestoreInputMethod(HWND hwnd) {
    if (saverHostState.imeModule != nullptr && saverHostState.associateContext != nullptr &&
        saverHostState.savedInputContext != nullptr) {
        saverHostState.associateContext(hwnd, saverHostState.savedInputContext);
    }
}

LRESULT OnCreate(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    DetachInputMethod(hwnd);
    TakeMouseOrigin();
    if (!saverHostState.isPreview) SetCursor(nullptr);
    return Forward(hwnd, msg, wParam, lParam);
}

LRESULT OnDestroy(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    RestoreInputMethod(hwnd);
    PostQuitMessage(0);
    return Forward(hwnd, msg, wParam, lParam);
}

LRESULT OnPaint(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (saverHostState.closeGranted != 0) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (!saverHostState.isPreview) SetCursor(nullptr);
    return Forward(hwnd, msg, wParam, lParam);
}

// A preview's help and context-menu requests belong to the control panel
// that holds it.
LRESULT OnHelpRequest(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!saverHostState.isPreview) return Forward(hwnd, msg, wParam, lParam);
    HWND parent = GetParent(hwnd);
    if (parent != nullptr && IsWindow(parent)) {
        PostMessageA(parent, msg, reinterpret_cast<WPARAM>(parent), lParam);
    }
    return 1;
}

LRESULT OnInput(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (saverHostState.closeGranted != 0) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return Forward(hwnd, msg, wParam, lParam);
}

LRESULT OnSysCommand(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (SysCommandRuleFor(wParam, saverHostState.isPreview != 0)) {
    case SysCommandRule::Refuse:
        return 0;
    case SysCommandRule::CloseAndForward:
        PostMessageA(hwnd, WM_CLOSE, 0, 0);
        break;
    case SysCommandRule::Forward:
        break;
    }
    return Forward(hwnd, msg, wParam, lParam);
}

LRESULT OnTimer(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (saverHostState.closeGranted != 0) return 0;  // no frame once a close is granted
    Sleep(0);
    return Forward(hwnd, msg, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK SaverHostWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate(hwnd, msg, wParam, lParam);
    case WM_DESTROY: return OnDestroy(hwnd, msg, wParam, lParam);
    case WM_SETTEXT: return 0;  // the title stays "Screen Saver" or "Preview"
    case WM_PAINT: return OnPaint(hwnd, msg, wParam, lParam);
    case WM_HELP:
    case WM_CONTEXTMENU: return OnHelpRequest(hwnd, msg, wParam, lParam);
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: return OnInput(hwnd, msg, wParam, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(hwnd, msg, wParam, lParam);
    case WM_TIMER: return OnTimer(hwnd, msg, wParam, lParam);
    default: return Forward(hwnd, msg, wParam, lParam);
    }
}
