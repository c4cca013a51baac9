// Closing the saver: which messages request a close, and whether a close
// request may go ahead. A close request is a WM_CLOSE the window posts to
// itself; the WM_CLOSE then runs the password check (Windows 9x with
// password protection) before DefWindowProcA destroys the window.
#include "host/CloseRules.h"
#include "host/win32/SaverEntry.h"
#include "host/win32/SaverHostState.h"

static_assert(saverinput::kActivateApp == WM_ACTIVATEAPP && saverinput::kShowWindow == WM_SHOWWINDOW &&
              saverinput::kSetCursor == WM_SETCURSOR && saverinput::kPower == WM_POWER &&
              saverinput::kKeyDown == WM_KEYDOWN && saverinput::kSysKeyDown == WM_SYSKEYDOWN &&
              saverinput::kMouseMove == WM_MOUSEMOVE && saverinput::kLeftButtonDown == WM_LBUTTONDOWN &&
              saverinput::kRightButtonDown == WM_RBUTTONDOWN && saverinput::kMiddleButtonDown == WM_MBUTTONDOWN &&
              saverinput::kPowerBroadcast == WM_POWERBROADCAST && saverinput::kSysCommand == WM_SYSCOMMAND);
static_assert(saverinput::kNextWindow == SC_NEXTWINDOW && saverinput::kPrevWindow == SC_PREVWINDOW &&
              saverinput::kScreenSave == SC_SCREENSAVE && saverinput::kMonitorPower == SC_MONITORPOWER);

SaverHostState saverHostState;

namespace {

void RequestClose(HWND hwnd) { PostMessageA(hwnd, WM_CLOSE, 0, 0); }

BYTE ReadAcLineStatus() {
    SYSTEM_POWER_STATUS status;
    return GetSystemPowerStatus(&status) ? status.ACLineStatus : 0xFF;
}

void ApplyMouseTravelRule(HWND hwnd) {
    // While the cursor cannot be read (another desktop takes the input) there
    // is no travel to measure, and the origin stays where it is.
    POINT now;
    if (!GetCursorPos(&now)) return;
    const CursorPoint origin{saverHostState.mouseOrigin.x, saverHostState.mouseOrigin.y};
    // Smaller moves leave the origin where it is, so a slow drift adds up.
    if (MouseTravelCloses(origin, CursorPoint{now.x, now.y}, saverHostState.mouseThreshold)) {
        RequestClose(hwnd);
        saverHostState.mouseOrigin = now;
    }
}

void ApplyMainsStatusRule(HWND hwnd) {
    // A battery-level change alone keeps the saver; plugging or pulling the
    // mains closes it.
    const BYTE status = ReadAcLineStatus();
    const BYTE before = saverHostState.acLineStatus;
    saverHostState.acLineStatus = status;
    if (status != before) RequestClose(hwnd);
}

LRESULT FinalStep(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (saverHostState.autoPlayMessage != 0 && msg == saverHostState.autoPlayMessage) {
        // The system asks whether to autoplay an inserted disc: close, and
        // cancel the autoplay while the screen is password-protected.
        RequestClose(hwnd);
        return saverHostState.verifyPassword != nullptr ? 1 : 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

// A failed read leaves the point undefined; the old origin is the better
// reference, as for a mouse move while the cursor cannot be read.
void TakeMouseOrigin() {
    POINT now;
    if (GetCursorPos(&now)) saverHostState.mouseOrigin = now;
}

LRESULT CALLBACK DefSaverWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    // A preview never closes itself; once a close is granted nothing is
    // refused any more.
    if (saverHostState.isPreview || saverHostState.closeGranted != 0) return FinalStep(hwnd, msg, wParam, lParam);

    if (msg == WM_CLOSE) {
        if (saverHostState.isWin9x && CheckPasswordToClose(hwnd) == 0) {
            TakeMouseOrigin();
            return 0;
        }
        return FinalStep(hwnd, msg, wParam, lParam);
    }
    // WM_APP is the request to verify, sent by CheckPasswordToClose while
    // checkInProgress is set; it must come before the check below.
    if (msg == WM_APP && saverHostState.isWin9x) {
        if (saverHostState.verifyPassword == nullptr) return 1;
        const BOOL accepted = saverHostState.verifyPassword(hwnd);
        RestoreFaultGuard();
        return accepted;
    }
    if (saverHostState.checkInProgress) return FinalStep(hwnd, msg, wParam, lParam);

    switch (InputRuleFor(msg, wParam, lParam)) {
    case InputRule::Close:
        RequestClose(hwnd);
        break;
    case InputRule::MeasureMouseTravel:
        ApplyMouseTravelRule(hwnd);
        break;
    case InputRule::CheckMainsStatus:
        ApplyMainsStatusRule(hwnd);
        break;
    case InputRule::HideCursor:
        SetCursor(nullptr);
        break;
    case InputRule::HideCursorAndAnswer:
        SetCursor(nullptr);
        return 1;
    case InputRule::None:
        break;
    }
    return FinalStep(hwnd, msg, wParam, lParam);
}

int CheckPasswordToClose(HWND hwnd) {
    if (saverHostState.checkInProgress) return 0;
    if (saverHostState.verifyPassword == nullptr) {
        saverHostState.closeGranted = 1;
        return 1;
    }
    if (InCheckPause(saverHostState.lastCheckEnd, GetTickCount())) return 0;

    saverHostState.checkInProgress = 1;
    // Ticks queued while the close was on its way would draw stale frames
    // over the password dialog as it opens.
    MSG pending;
    PeekMessageA(&pending, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);
    PeekMessageA(&pending, hwnd, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD);

    saverHostState.closeGranted = static_cast<int>(SendMessageA(hwnd, WM_APP, 0, 0));

    saverHostState.checkInProgress = 0;
    if (saverHostState.closeGranted == 0) SetCursor(nullptr);  // the dialog showed it
    saverHostState.lastCheckEnd = GetTickCount();
    return saverHostState.closeGranted;
}
