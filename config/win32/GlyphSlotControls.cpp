// The nine glyph lists, the character count and the colour controls.
#include <algorithm>

#include "config/win32/ConfigDialogState.h"
#include "res/StringIds.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

namespace {

std::wstring WarningText(ChainWarning warning) {
    switch (warning) {
        case ChainWarning::selectAtLeastOne: return MessageText(IDS_SELECT_AT_LEAST_ONE);
        case ChainWarning::noBlankInMiddle: return MessageText(IDS_NO_BLANK_IN_MIDDLE);
    }
    return std::wstring();
}

void UncheckColourButtons(HWND dialog) {
    for (int colour = 1; colour <= 7; ++colour) CheckDlgButton(dialog, colourButtonId[colour], BST_UNCHECKED);
}

}  // namespace

// Entry n of every list is glyph n, under the empty entry 0; the lists are
// not sorted. A glyph number beyond the last entry leaves its list without
// a selection.
void FillGlyphLists(HWND dialog) {
    for (int slot = 1; slot <= kMaxSlots; ++slot) {
        SendDlgItemMessageA(dialog, glyphListId[slot], CB_RESETCONTENT, 0, 0);
        SendDlgItemMessageA(dialog, glyphListId[slot], CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(""));
    }
    int count = std::clamp(static_cast<int>(glyphNameList.count), 0, kMaxListedGlyphs);
    for (int i = 0; i < count; ++i)
        for (int slot = 1; slot <= kMaxSlots; ++slot)
            SendDlgItemMessageA(dialog, glyphListId[slot], CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(glyphNameList.names[i]));
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        SendDlgItemMessageA(dialog, glyphListId[slot], CB_SETCURSEL, settings.*glyphChoiceField[slot], 0);
}

// With COLORS on, the colour shown is slot No.1's, and COLOR takes it.
void ShowColourControls(HWND dialog) {
    SendDlgItemMessageA(dialog, IDC_COLOUR_PER_SLOT, BM_SETCHECK, settings.COLORS, 0);
    if (settings.COLORS != 0) {
        settings.COLOR = settings.OPTIONC1;
        CheckDlgButton(dialog, IDC_COLOUR_SLOT1, BST_CHECKED);
    } else {
        for (int slot = 1; slot <= kMaxSlots; ++slot) EnableWindow(GetDlgItem(dialog, colourSlotId[slot]), FALSE);
    }
    CheckDlgButton(dialog, ColourButtonFor(settings.COLOR), BST_CHECKED);
}

// Runs on every notification of the list, also nested inside its own warning
// (the list reports the loss of focus to the message box). The selection and
// the setting are put back before the warning shows, so the nested run sees
// the corrected list.
void OnGlyphList(HWND dialog, int slot) {
    int selection = static_cast<int>(SendDlgItemMessageA(dialog, glyphListId[slot], CB_GETCURSEL, 0, 0));
    bool applied = ApplyGlyphSelection(settings, slot, selection, [&](int entry, ChainWarning warning) {
        SendDlgItemMessageA(dialog, glyphListId[slot], CB_SETCURSEL, entry, 0);
        ShowDialogMessage(dialog, WarningText(warning).c_str(), MB_OK | MB_ICONWARNING);
    });
    if (!applied || slot == 1) return;
    SetDlgItemInt(dialog, IDC_COUNT_SHOW, settings.OPTIONN, FALSE);
    EnableWindow(GetDlgItem(dialog, colourSlotId[slot]), settings.COLORS != 0);
}

void OnColourSlot(HWND dialog, int slot) {
    configDialogState.colourEditSlot = slot;
    UncheckColourButtons(dialog);
    CheckDlgButton(dialog, ColourButtonFor(settings.*slotColourField[slot]), BST_CHECKED);
}

void OnColourButton(int colour) {
    settings.*ColourTarget(settings, configDialogState.colourEditSlot) = colour;
}

void OnColourSwitch(HWND dialog) {
    settings.COLORS ^= 1;
    for (int slot = 1; slot <= kMaxSlots; ++slot) CheckDlgButton(dialog, colourSlotId[slot], BST_UNCHECKED);
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        if (ColourSlotFollowsSwitch(slot, settings.OPTIONN))
            EnableWindow(GetDlgItem(dialog, colourSlotId[slot]), settings.COLORS != 0);
    UncheckColourButtons(dialog);
    if (settings.COLORS != 0) {
        settings.COLOR = settings.OPTIONC1;
        CheckDlgButton(dialog, IDC_COLOUR_SLOT1, BST_CHECKED);
        configDialogState.colourEditSlot = 1;
    }
    CheckDlgButton(dialog, ColourButtonFor(settings.COLOR), BST_CHECKED);
}
