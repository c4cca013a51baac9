// The text dialog (resource IDD_TEXT, 2004), opened by the button "Text..."
// of the configuration dialog: up to nine characters and a font's name. OK
// makes one glyph per character from the system's outlines of that font,
// places them in the slots (config/TextGlyphs.h) and ends the dialog with 1;
// anything that stops the text is said in a message and the dialog stays
// open for the user to mend it. Cancel ends it with 0 and changes nothing.
#include <string>
#include <vector>

#include "config/TextGlyphs.h"
#include "config/win32/ConfigDialogState.h"
#include "glyphs/MakeGlyph.h"
#include "glyphs/win32/SystemFontOutlines.h"
#include "res/StringIds.h"

TextDialogState textDialogState;

namespace {

constexpr int kMaxTextCharacters = kMaxSlots;

bool IsSpace(char32_t character) {
    return character == U' ' || character == U'\t' || character == U'\x3000';
}

// The text as characters: UTF-16 pairs joined, a lone half kept as it is
// (no font has it, so it is reported as missing).
std::u32string Characters(const std::wstring& text) {
    std::u32string characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        characters += unit;
    }
    std::size_t first = 0, last = characters.size();
    while (first < last && IsSpace(characters[first])) ++first;
    while (last > first && IsSpace(characters[last - 1])) --last;
    return characters.substr(first, last - first);
}

std::wstring Shown(char32_t character) {
    if (character < 0x10000) return std::wstring(1, static_cast<wchar_t>(character));
    character -= 0x10000;
    return {static_cast<wchar_t>(0xD800 + (character >> 10)), static_cast<wchar_t>(0xDC00 + (character & 0x3FF))};
}

std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

void Say(HWND dialog, UINT id, const std::wstring& about, UINT icon = MB_ICONWARNING) {
    std::wstring text = MessageText(id);
    if (!about.empty()) text += L"\n" + about;
    ShowDialogMessage(dialog, text.c_str(), MB_OK | icon);
}

int CALLBACK NoteOutlineFont(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
    if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
    return 1;
}

// Whether the system has an outline font of this family name, in any of
// the names it answers to (a Japanese font also by its Japanese name).
bool OutlineFontExists(const std::wstring& face) {
    if (face.empty() || face.size() >= LF_FACESIZE) return false;
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, face.size());
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, NoteOutlineFont, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// The font the text is made in: the one picked in the font dialog while the
// name still reads as it left it, else the named family at normal weight.
LOGFONTW WantedFont(const std::wstring& face) {
    if (textDialogState.fontPicked && lstrcmpiW(face.c_str(), textDialogState.pickedFont.lfFaceName) == 0)
        return textDialogState.pickedFont;
    LOGFONTW wanted{};
    wanted.lfWeight = FW_NORMAL;
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, face.size());
    return wanted;
}

// The family of the dialog's own font, as the system chose it: the name
// the text dialog offers first.
std::wstring DialogFontFace(HWND dialog) {
    wchar_t face[LF_FACESIZE] = L"";
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    return face;
}

BOOL OnInitTextDialog(HWND dialog) {
    SendDlgItemMessageW(dialog, IDC_TEXT_EDIT, EM_LIMITTEXT, kMaxTextCharacters, 0);
    SendDlgItemMessageW(dialog, IDC_FONT_EDIT, EM_LIMITTEXT, LF_FACESIZE - 1, 0);
    const std::wstring face = textDialogState.fontPicked ? textDialogState.pickedFont.lfFaceName : DialogFontFace(dialog);
    SetDlgItemTextW(dialog, IDC_FONT_EDIT, face.c_str());
    return TRUE;
}

void OnPickFont(HWND dialog) {
    LOGFONTW font = WantedFont(ItemText(dialog, IDC_FONT_EDIT));
    CHOOSEFONTW choice{};
    choice.lStructSize = sizeof choice;
    choice.hwndOwner = dialog;
    choice.lpLogFont = &font;
    choice.Flags = CF_SCREENFONTS | CF_TTONLY | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    if (!ChooseFontW(&choice)) return;
    textDialogState.pickedFont = font;
    textDialogState.fontPicked = true;
    SetDlgItemTextW(dialog, IDC_FONT_EDIT, font.lfFaceName);
}

// Makes the glyphs of the text; false, with the message said, when one of
// them cannot be made.
bool MakeTextCharacters(HWND dialog, const std::u32string& text, std::vector<TextCharacter>& made,
                        std::wstring& simplified) {
    std::wstring face = ItemText(dialog, IDC_FONT_EDIT);
    SystemFont font;
    if (!OutlineFontExists(face) || !OpenSystemFont(WantedFont(face), font)) {
        Say(dialog, IDS_TEXT_NO_FONT, face);
        return false;
    }
    std::wstring missing, cannot;
    for (char32_t character : text) {
        CharacterOutline outline;
        if (!SystemFontHas(font, character) || !SystemGlyphOutline(font, character, outline)) {
            missing += Shown(character);
            continue;
        }
        std::string note;
        MadeGlyph glyph = MakeTextGlyph(outline, font.metrics, note);
        if (!glyph.fit.fitted) {
            cannot += Shown(character);
            continue;
        }
        if (!note.empty()) simplified += Shown(character);
        made.push_back({character, glyph.fit.glyph});
    }
    CloseSystemFont(font);
    if (!missing.empty()) Say(dialog, IDS_TEXT_MISSING, missing);
    else if (!cannot.empty()) Say(dialog, IDS_TEXT_CANNOT, cannot);
    return missing.empty() && cannot.empty();
}

void OnTextOk(HWND dialog) {
    const std::u32string text = Characters(ItemText(dialog, IDC_TEXT_EDIT));
    if (text.empty()) return Say(dialog, IDS_TEXT_EMPTY, L"");
    for (char32_t character : text)
        if (IsSpace(character)) return Say(dialog, IDS_TEXT_SPACE, L"");
    std::vector<TextCharacter> made;
    std::wstring simplified;
    if (!MakeTextCharacters(dialog, text.substr(0, kMaxTextCharacters), made, simplified)) return;
    if (PlaceTextGlyphs(made) == TextPlacement::tooManyGlyphs) return Say(dialog, IDS_TEXT_TOO_MANY, L"");
    if (!simplified.empty()) Say(dialog, IDS_TEXT_SIMPLIFIED, simplified, MB_ICONINFORMATION);
    EndDialog(dialog, 1);
}

}  // namespace

INT_PTR CALLBACK TextDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return OnInitTextDialog(dialog);
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_FONT_BUTTON: OnPickFont(dialog); return TRUE;
        case IDOK: OnTextOk(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        default: return FALSE;
    }
}

// The button "Text...": after the text dialog's OK the lists hold the new
// glyphs and show the text, the count follows it, and the colour-slot
// radios are enabled as a change of the lists leaves them. The button takes
// the focus first, as a click gives it: the focus comes back to where it was
// when the text dialog ends, and a glyph list that had it would apply its
// old selection again (every notification of a list does) before the lists
// show the text.
void OnTextButton(HWND dialog) {
    SetFocus(GetDlgItem(dialog, IDC_TEXT_BUTTON));
    if (DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_TEXT), dialog, TextDialogProc, 0) != 1)
        return;
    FillGlyphLists(dialog);
    SetDlgItemInt(dialog, IDC_COUNT_SHOW, settings.OPTIONN, FALSE);
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        EnableWindow(GetDlgItem(dialog, colourSlotId[slot]), settings.COLORS != 0);
}
