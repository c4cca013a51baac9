// The fifteen scroll bars, their number displays, and the switches
// "幅の自動設定" (the width bar is off while HABAJIDO is on) and "同期"
// (SIZEY follows SIZE, and its bar is off, while SIZES is on).
#include "config/win32/ConfigDialogState.h"
#include "settings/Settings.h"

namespace {

// The display shows the setting and the thumb stands at it. A stored value
// outside the range is shown as stored and kept until the bar is used.
void ShowBar(HWND dialog, int index, bool setRange) {
    const ScrollBarSetting& bar = scrollBarTable[index];
    std::int32_t value = settings.*bar.field;
    SetDlgItemInt(dialog, bar.displayId, static_cast<UINT>(value), FALSE);
    HWND handle = configDialogState.scrollBar[index];
    if (setRange) SetScrollRange(handle, SB_CTL, bar.minimum, bar.maximum, TRUE);
    SetScrollPos(handle, SB_CTL, value, TRUE);
}

void SetUpBar(HWND dialog, int barId) {
    int index = FindScrollBar(barId);
    configDialogState.scrollBar[index] = GetDlgItem(dialog, barId);
    ShowBar(dialog, index, true);
}

HWND BarHandle(int barId) {
    return configDialogState.scrollBar[FindScrollBar(barId)];
}

}  // namespace

void ShowScrollBars(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_AUTO_WIDTH, BM_SETCHECK, settings.HABAJIDO, 0);
    SetUpBar(dialog, IDC_WIDTH_BAR);
    EnableWindow(BarHandle(IDC_WIDTH_BAR), settings.HABAJIDO == 0);
    SetUpBar(dialog, IDC_STEP_BAR);
    for (int slot = 1; slot <= 9; ++slot) SetUpBar(dialog, scrollBarTable[FindScrollBar(IDC_STEP_BAR) + slot].barId);
    SendDlgItemMessageA(dialog, IDC_SIZE_SYNC, BM_SETCHECK, settings.SIZES, 0);
    SetUpBar(dialog, IDC_SIZE_BAR);
    SetUpBar(dialog, IDC_SIZEY_BAR);
    EnableWindow(BarHandle(IDC_SIZEY_BAR), settings.SIZES == 0);
    SetUpBar(dialog, IDC_MOVE_BAR);
    SetUpBar(dialog, IDC_TIMER_BAR);
}

// The bar is known by its control id; a message from any other window
// changes nothing. Whatever the code, the display and thumb show the value
// settled on.
void OnScroll(HWND dialog, HWND bar, int code, int thumbPosition) {
    int index = FindScrollBar(bar ? static_cast<int>(GetWindowLongA(bar, GWL_ID)) : 0);
    if (index < 0) return;
    const ScrollBarSetting& setting = scrollBarTable[index];
    settings.*setting.field = NextScrollValue(settings.*setting.field, setting, code, thumbPosition);
    ShowBar(dialog, index, false);
    // The SIZEY bar is off while synchronised, so its thumb is left alone.
    if (setting.barId == IDC_SIZE_BAR && settings.SIZES != 0) {
        settings.SIZEY = settings.SIZE;
        SetDlgItemInt(dialog, IDC_SIZEY_SHOW, static_cast<UINT>(settings.SIZEY), FALSE);
    }
}

// HABA and its display are left as they are; OK writes HABA either way.
void OnAutoWidth(HWND) {
    settings.HABAJIDO ^= 1;
    EnableWindow(BarHandle(IDC_WIDTH_BAR), settings.HABAJIDO == 0);
}

void OnSizeSync(HWND dialog) {
    settings.SIZES ^= 1;
    EnableWindow(BarHandle(IDC_SIZEY_BAR), settings.SIZES == 0);
    if (settings.SIZES != 0) {
        settings.SIZEY = settings.SIZE;
        SetDlgItemInt(dialog, IDC_SIZEY_SHOW, static_cast<UINT>(settings.SIZEY), FALSE);
    } else {
        SetScrollPos(BarHandle(IDC_SIZEY_BAR), SB_CTL, settings.SIZEY, TRUE);
    }
}
