// What the configuration dialog keeps while it is open, and the handlers
// that ConfigDialogProc dispatches to. Valid from WM_INITDIALOG to EndDialog.
#pragma once

#include <windows.h>

#include <string>

#include "config/ConfigControls.h"
#include "settings/TextSettings.h"

struct ConfigDialogState {
    // The bars of scrollBarTable, in its order, looked up when the dialog opens.
    HWND scrollBar[kScrollBarCount];
    // The slot whose colour the colour buttons set while COLORS is on.
    int colourEditSlot;
};

extern ConfigDialogState configDialogState;

// What the text dialog remembers while the configuration dialog is open:
// the font last picked in the font dialog, with its weight and style, and
// the text kept as text: as the file held it when the configuration dialog
// opened, then as the text dialog left it (`kept` false: none, or removed).
// The configuration dialog's OK writes it when it changed.
struct TextDialogState {
    bool fontPicked;
    LOGFONTW pickedFont;
    TextSettings keptText;
    bool keptTextChanged;
};

extern TextDialogState textDialogState;

// The button "Text..." and the text dialog it opens (resource IDD_TEXT).
void OnTextButton(HWND dialog);
INT_PTR CALLBACK TextDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Glyph lists, character count and colours.
void FillGlyphLists(HWND dialog);
void ShowColourControls(HWND dialog);
void OnGlyphList(HWND dialog, int slot);
void OnColourSlot(HWND dialog, int slot);
void OnColourButton(int colour);
void OnColourSwitch(HWND dialog);

// Scroll bars and their two switches.
void ShowScrollBars(HWND dialog);
void OnScroll(HWND dialog, HWND bar, int code, int thumbPosition);
void OnAutoWidth(HWND dialog);
void OnSizeSync(HWND dialog);

// A message box owned by the dialog, with the program's name as caption.
// The text is Unicode, so it reads correctly on any system language.
void ShowDialogMessage(HWND dialog, const wchar_t* text, UINT style);
// A message of the string table (res/Messages.rc) in the user's UI
// language, as the loader picks it; empty when the id has no text.
std::wstring MessageText(UINT id);
