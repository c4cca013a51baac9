// The configuration dialog: it opens with every stored value shown, writes
// each control change into the settings at once, and writes the file on OK
// only. Showing a value never changes it: a stored value that no button of a
// group stands for keeps its number until the user clicks that group.
#include "config/win32/ConfigDialogProc.h"

#include <string>

#include "config/TextGlyphs.h"
#include "config/win32/ConfigDialogState.h"
#include "platform/win32/SettingsFilePlace.h"
#include "res/StringIds.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

ConfigDialogState configDialogState;

namespace {

void ShowSimpleOptions(HWND dialog) {
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        SendDlgItemMessageA(dialog, ownSpinId[slot], BM_SETCHECK, settings.*ownSpinField[slot], 0);
    CheckDlgButton(dialog, ViewButtonFor(settings.VIEW), BST_CHECKED);
    CheckDlgButton(dialog, PerspectiveButtonFor(settings.ENKIN), BST_CHECKED);
    SendDlgItemMessageA(dialog, IDC_CLEAR_SCREEN, BM_SETCHECK, settings.BKMODE, 0);
    SendDlgItemMessageA(dialog, IDC_TRAILS, BM_SETCHECK, settings.ZANZOU, 0);
    SetDlgItemInt(dialog, IDC_COUNT_SHOW, settings.OPTIONN, FALSE);
    CheckDlgButton(dialog, settings.OPTIONP == 2 ? IDC_MODE_MOVE : IDC_MODE_CENTRE, BST_CHECKED);
    CheckDlgButton(dialog, settings.KAITEN == 1 ? IDC_TURN_EACH : IDC_TURN_WHOLE, BST_CHECKED);
}

BOOL OnInitDialog(HWND dialog) {
    LoadKeyNames(GetModuleHandleA(nullptr));
    LoadSettings();
    ListGlyphNames();
    configDialogState = {};
    configDialogState.colourEditSlot = 1;
    textDialogState = {};
    textDialogState.keptText = LoadTextSettings();
    textGlyphStore = {};

    FillGlyphLists(dialog);
    ShowSimpleOptions(dialog);
    ShowScrollBars(dialog);
    ShowColourControls(dialog);
    // The platform gives the focus to the first tab stop, the list of No.1.
    return TRUE;
}

std::wstring WideText(const std::string& text) {
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return wide;
}

// The glyphs made from a text go in first, so the settings never name a
// glyph the file lacks. A file whose text was not touched keeps its keys
// as they are: one without them gets none.
void OnOk(HWND dialog) {
    if (WriteTextGlyphs() && SaveSettings() &&
        (!textDialogState.keptTextChanged || SaveTextSettings(textDialogState.keptText))) {
        EndDialog(dialog, 1);
        return;
    }
    // The user's file refused a write (read-only, or no rights to its
    // folder), or it could not be made from the machine's file. The
    // dialog stays open with the user's changes, so they can free the file
    // and press OK again, or give up with Cancel. The file is named as the
    // wide-character calls name it, so every user name shows as it is.
    std::wstring text = MessageText(IDS_SAVE_FAILED) + L"\n" + platform::FileForNaming(keyNames.fileName) +
                        L"\n" + MessageText(IDS_SAVE_FAILED_ADVICE);
    ShowDialogMessage(dialog, text.c_str(), MB_OK | MB_ICONERROR);
}

void FlipSetting(std::int32_t& value) {
    value ^= 1;
}

// One click, one control. Check boxes flip their setting on every click
// without reading the box: box and setting start alike and change together.
BOOL OnCommand(HWND dialog, int id) {
    switch (id) {
        case IDOK: OnOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case IDC_MODE_MOVE: settings.OPTIONP = 2; return FALSE;
        case IDC_MODE_CENTRE: settings.OPTIONP = 1; return FALSE;
        case IDC_TURN_WHOLE: settings.KAITEN = 0; return FALSE;
        case IDC_TURN_EACH: settings.KAITEN = 1; return FALSE;
        case IDC_CLEAR_SCREEN: FlipSetting(settings.BKMODE); return FALSE;
        case IDC_TRAILS: FlipSetting(settings.ZANZOU); return FALSE;
        case IDC_AUTO_WIDTH: OnAutoWidth(dialog); return FALSE;
        case IDC_SIZE_SYNC: OnSizeSync(dialog); return FALSE;
        case IDC_COLOUR_PER_SLOT: OnColourSwitch(dialog); return FALSE;
        case IDC_TEXT_BUTTON: OnTextButton(dialog); return FALSE;
        default: break;
    }
    if (id >= IDC_VIEW0 && id <= IDC_VIEW9) {
        settings.VIEW = id - IDC_VIEW0;
        return FALSE;
    }
    for (int i = 0; i < 7; ++i) {
        if (perspectiveButtonId[i] == id) {
            settings.ENKIN = perspectiveValue[i];
            return FALSE;
        }
    }
    if (int slot = SlotOfOwnSpin(id)) {
        FlipSetting(settings.*ownSpinField[slot]);
    } else if (int listSlot = SlotOfGlyphList(id)) {
        OnGlyphList(dialog, listSlot);
    } else if (int colourSlot = SlotOfColourSlot(id)) {
        OnColourSlot(dialog, colourSlot);
    } else if (int colour = ColourOfButton(id)) {
        OnColourButton(colour);
    }
    return FALSE;
}

}  // namespace

// The buffer holds the longest message with room to spare; LoadStringW
// cuts a longer text short rather than write past it.
std::wstring MessageText(UINT id) {
    wchar_t text[512];
    int length = LoadStringW(GetModuleHandleW(nullptr), id, text, 512);
    return std::wstring(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void ShowDialogMessage(HWND dialog, const wchar_t* text, UINT style) {
    std::wstring caption = WideText(keyNames.settingsSection);
    MessageBoxW(dialog, text, caption.c_str(), style);
}

// The notification code of WM_COMMAND is not examined: a control's handler
// runs on every notification it sends, and every handler gives the same
// result when run again on an unchanged control.
INT_PTR CALLBACK ConfigDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: return OnInitDialog(dialog);
        case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
        case WM_HSCROLL:
            OnScroll(dialog, reinterpret_cast<HWND>(lParam), LOWORD(wParam), HIWORD(wParam));
            return FALSE;
        default: return FALSE;
    }
}
