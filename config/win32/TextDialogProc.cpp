// The text dialog (resource IDD_TEXT, 2004), opened by the button "Text..."
// of the configuration dialog: a text and a font's name, and what to do with
// them. "Keep as text" keeps the text, the font and the page time for the
// configuration dialog's OK to write (settings/TextSettings.h): the saver
// lays the text out at each start, any length and time codes included, and
// the slots are left as they are; OK with no text removes a kept text. The
// dialog ends with 2. "Store as glyphs" makes one glyph per character (up to
// nine) from the system's outlines of the font, places them in the slots
// (config/TextGlyphs.h), removes a kept text, which would show instead of
// them, and ends the dialog with 1. A file that keeps a text opens the
// dialog on it, kept as text; any other on storing glyphs, as ever. Anything
// that stops the text is said in a message and the dialog stays open for
// the user to mend it. Cancel ends it with 0 and changes nothing. While the
// glyphs are made the dialog stays live (see MakeTextCharacters).
#include <cwchar>
#include <string>
#include <vector>

#include "config/TextGlyphs.h"
#include "config/win32/ConfigDialogState.h"
#include "glyphs/MakeGlyph.h"
#include "glyphs/win32/SystemFontOutlines.h"
#include "glyphs/win32/SystemTextFont.h"
#include "res/StringIds.h"

TextDialogState textDialogState;

namespace {

constexpr int kMaxTextCharacters = kMaxSlots;
// The longest text kept as text, in UTF-16 units: its stored form, at most
// six bytes a unit, fits the longest value read back (kLongestTextValue).
constexpr int kLongestKeptText = 10000;
constexpr int kDialogKeptText = 2;

// The glyphs being made: what the dialog does with the messages that come
// meanwhile.
struct Making {
    bool active;
    bool cancelled;
};
Making making;

bool IsSpace(char32_t character) {
    return character == U' ' || character == U'\t' || character == U'\x3000';
}

// Whether the text holds a pair of UTF-16 halves at `at`: one character
// beyond U+FFFF.
bool PairAt(const std::wstring& text, std::size_t at) {
    return at + 1 < text.size() && text[at] >= 0xD800 && text[at] < 0xDC00 && text[at + 1] >= 0xDC00 && text[at + 1] < 0xE000;
}

// The text as characters: UTF-16 pairs joined, a lone half kept as it is
// (no font has it, so it is reported as missing).
std::u32string Characters(const std::wstring& text) {
    std::u32string characters;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (PairAt(text, i)) {
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

// The text of a control, of at most 63 units: more than either box may hold.
std::wstring ItemText(HWND dialog, int id) {
    wchar_t text[64] = L"";
    GetDlgItemTextW(dialog, id, text, 64);
    return text;
}

// A font's name fits a LOGFONT's face: a longer one, which only another
// program can set in the box, is the name of no font.
bool IsFontName(const std::wstring& face) {
    return !face.empty() && face.size() < LF_FACESIZE;
}

void Say(HWND dialog, UINT id, const std::wstring& about, UINT icon = MB_ICONWARNING) {
    std::wstring text = MessageText(id);
    if (!about.empty()) text += L"\n" + about;
    ShowDialogMessage(dialog, text.c_str(), MB_OK | icon);
}

// The font the text is made in: the one picked in the font dialog while the
// name still reads as it left it, else the named family at normal weight.
// The name is a font's name (IsFontName); what the face cannot hold is cut.
LOGFONTW WantedFont(const std::wstring& face) {
    if (textDialogState.fontPicked && lstrcmpiW(face.c_str(), textDialogState.pickedFont.lfFaceName) == 0)
        return textDialogState.pickedFont;
    LOGFONTW wanted{};
    wanted.lfWeight = FW_NORMAL;
    wanted.lfCharSet = DEFAULT_CHARSET;
    face.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    return wanted;
}

// The family of the dialog's own font, as the system chose it: the name
// the text dialog offers first. A dialog font named by a substitute ("MS
// Shell Dlg") is no family the font list holds, and OK would refuse it: the
// family the system drew it in is offered instead, else the user-interface
// font.
std::wstring DialogFontFace(HWND dialog) {
    wchar_t face[LF_FACESIZE] = L"";
    std::wstring drawnIn;
    HDC dc = GetDC(dialog);
    HGDIOBJ previous = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    GetTextFaceW(dc, LF_FACESIZE, face);
    const UINT size = GetOutlineTextMetricsW(dc, 0, nullptr);
    if (size >= sizeof(OUTLINETEXTMETRICW)) {
        std::vector<char> metrics(size);
        auto* outline = reinterpret_cast<OUTLINETEXTMETRICW*>(metrics.data());
        if (GetOutlineTextMetricsW(dc, size, outline) != 0) {
            const std::size_t offset = reinterpret_cast<std::size_t>(outline->otmpFamilyName);
            // The name lies within the buffer the call filled, ended by a zero.
            if (offset >= sizeof(OUTLINETEXTMETRICW) && offset < size) {
                const wchar_t* name = reinterpret_cast<const wchar_t*>(metrics.data() + offset);
                drawnIn.assign(name, wcsnlen(name, (size - offset) / sizeof(wchar_t)));
            }
        }
    }
    SelectObject(dc, previous);
    ReleaseDC(dialog, dc);
    if (SystemHasOutlineFont(face)) return face;
    if (SystemHasOutlineFont(drawnIn)) return drawnIn;
    const std::wstring interfaceFace = SystemInterfaceFace();
    return SystemHasOutlineFont(interfaceFace) ? interfaceFace : face;
}

// The whole text of a control, however long.
std::wstring WholeText(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

bool KeepsAsText(HWND dialog) {
    return IsDlgButtonChecked(dialog, IDC_TEXT_KEEP) == BST_CHECKED;
}

// A kept text's font, as the font dialog would have left it.
void PickKeptFont(const std::u32string& font) {
    const FontChoice choice = ParseFontChoice(font);
    const std::wstring family = WideFromCharacters(choice.family);
    if (family.empty() || family.size() >= LF_FACESIZE) return;
    LOGFONTW& picked = textDialogState.pickedFont;
    picked = {};
    picked.lfWeight = choice.bold ? FW_BOLD : FW_NORMAL;
    picked.lfItalic = choice.italic;
    picked.lfCharSet = DEFAULT_CHARSET;
    family.copy(picked.lfFaceName, LF_FACESIZE - 1);
    textDialogState.fontPicked = true;
}

// Cuts the text to its first nine characters, as it is typed or set, while
// it is to be stored as glyphs.
void OnTextChange(HWND dialog) {
    if (KeepsAsText(dialog)) return;
    const std::wstring text = WholeText(dialog, IDC_TEXT_EDIT);
    std::size_t units = 0;
    for (int count = 0; count < kMaxTextCharacters && units < text.size(); ++count) units += PairAt(text, units) ? 2 : 1;
    if (units == text.size()) return;
    SetDlgItemTextW(dialog, IDC_TEXT_EDIT, text.substr(0, units).c_str());
    SendDlgItemMessageW(dialog, IDC_TEXT_EDIT, EM_SETSEL, units, units);
}

// The limits and the line of the choice made: a kept text of any length
// and its page time, or nine characters to store.
void ShowChoice(HWND dialog) {
    const bool keep = KeepsAsText(dialog);
    // Two units for each character, so that nine beyond U+FFFF fit too;
    // OnTextChange keeps the text to nine characters.
    SendDlgItemMessageW(dialog, IDC_TEXT_EDIT, EM_LIMITTEXT, keep ? kLongestKeptText : 2 * kMaxTextCharacters, 0);
    OnTextChange(dialog);
    EnableWindow(GetDlgItem(dialog, IDC_PAGE_EDIT), keep);
    SetDlgItemTextW(dialog, IDC_TEXT_SAYS, MessageText(keep ? IDS_TEXT_KEEP_SAYS : IDS_TEXT_STORE_SAYS).c_str());
}

BOOL OnInitTextDialog(HWND dialog) {
    making = {};
    const TextSettings& kept = textDialogState.keptText;
    if (kept.kept) PickKeptFont(kept.font);
    SendDlgItemMessageW(dialog, IDC_FONT_EDIT, EM_LIMITTEXT, LF_FACESIZE - 1, 0);
    SendDlgItemMessageW(dialog, IDC_PAGE_EDIT, EM_LIMITTEXT, 2, 0);
    const std::wstring face = textDialogState.fontPicked ? textDialogState.pickedFont.lfFaceName : DialogFontFace(dialog);
    SetDlgItemTextW(dialog, IDC_FONT_EDIT, face.c_str());
    SetDlgItemInt(dialog, IDC_PAGE_EDIT, kept.kept ? static_cast<UINT>(kept.pageSeconds) : kDefaultPageSeconds, FALSE);
    CheckRadioButton(dialog, IDC_TEXT_KEEP, IDC_TEXT_STORE, kept.kept ? IDC_TEXT_KEEP : IDC_TEXT_STORE);
    if (kept.kept) SetDlgItemTextW(dialog, IDC_TEXT_EDIT, WideFromCharacters(kept.text).c_str());
    ShowChoice(dialog);
    return TRUE;
}

void OnPickFont(HWND dialog) {
    const std::wstring face = ItemText(dialog, IDC_FONT_EDIT);
    if (!face.empty() && !IsFontName(face)) return Say(dialog, IDS_TEXT_NO_FONT, face);
    LOGFONTW font = WantedFont(face);
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

// Handles the messages that came while a character was made, as the
// dialog's own loop would: painting, the cursor, Cancel. A quit message is
// left for the loops outside and stops the making.
void HandleWaitingMessages(HWND dialog) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            making.cancelled = true;
            return;
        }
        if (!IsDialogMessageW(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

// The arrow with the hourglass: busy, and still answering (Cancel works).
HCURSOR BusyCursor() {
    return LoadCursorA(nullptr, IDC_APPSTARTING);
}

// The controls that start or change a making are off while one runs;
// Cancel stays on, and has the focus meanwhile.
constexpr int kBusyControls[] = {IDC_TEXT_EDIT, IDC_FONT_EDIT, IDC_FONT_BUTTON, IDOK};

void ShowMaking(HWND dialog, bool active) {
    making.active = active;
    if (active) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDCANCEL)), TRUE);
    for (int id : kBusyControls) EnableWindow(GetDlgItem(dialog, id), !active);
    if (!active) SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_TEXT_EDIT)), TRUE);
}

// Makes the glyphs of the text; false, with the message said, when one of
// them cannot be made, and false without one when Cancel stopped the
// making. A character may take a while (a font with a great many points):
// the dialog keeps answering between characters, with a busy cursor.
bool MakeTextCharacters(HWND dialog, const std::u32string& text, std::vector<TextCharacter>& made,
                        std::wstring& simplified) {
    std::wstring face = ItemText(dialog, IDC_FONT_EDIT);
    SystemFont font;
    if (!SystemHasOutlineFont(face) || !OpenSystemFont(WantedFont(face), font)) {
        Say(dialog, IDS_TEXT_NO_FONT, face);
        return false;
    }
    ShowMaking(dialog, true);
    const HCURSOR cursor = SetCursor(BusyCursor());
    std::wstring missing, cannot;
    for (char32_t character : text) {
        HandleWaitingMessages(dialog);
        if (making.cancelled) break;
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
    SetCursor(cursor);
    ShowMaking(dialog, false);
    if (making.cancelled) return false;
    if (!missing.empty()) Say(dialog, IDS_TEXT_MISSING, missing);
    else if (!cannot.empty()) Say(dialog, IDS_TEXT_CANNOT, cannot);
    return missing.empty() && cannot.empty();
}

// Keeps the text, its font and its page time for the configuration
// dialog's OK; no text removes a kept one. The font must be one the system
// has now; the characters it lacks come from the system's substitutes when
// the saver starts.
void KeepText(HWND dialog) {
    const std::u32string text = Characters(WholeText(dialog, IDC_TEXT_EDIT));
    TextSettings& kept = textDialogState.keptText;
    if (text.empty()) {
        kept = {};
    } else {
        const std::wstring face = ItemText(dialog, IDC_FONT_EDIT);
        if (!SystemHasOutlineFont(face)) return Say(dialog, IDS_TEXT_NO_FONT, face);
        const LOGFONTW font = WantedFont(face);
        BOOL read = FALSE;
        const UINT page = GetDlgItemInt(dialog, IDC_PAGE_EDIT, &read, FALSE);
        kept = {true, text,
                FormatFontChoice({CharactersFromWide(face), font.lfWeight >= FW_SEMIBOLD, font.lfItalic != 0}),
                read ? static_cast<std::int32_t>(page) : kDefaultPageSeconds};
    }
    textDialogState.keptTextChanged = true;
    EndDialog(dialog, kDialogKeptText);
}

void OnTextOk(HWND dialog) {
    if (making.active) return;  // an OK that came while the glyphs are made
    if (KeepsAsText(dialog)) return KeepText(dialog);
    const std::u32string text = Characters(WholeText(dialog, IDC_TEXT_EDIT));
    if (text.empty()) return Say(dialog, IDS_TEXT_EMPTY, L"");
    for (char32_t character : text)
        if (IsSpace(character)) return Say(dialog, IDS_TEXT_SPACE, L"");
    std::vector<TextCharacter> made;
    std::wstring simplified;
    if (!MakeTextCharacters(dialog, text.substr(0, kMaxTextCharacters), made, simplified)) {
        if (making.cancelled) EndDialog(dialog, 0);
        return;
    }
    if (PlaceTextGlyphs(made) == TextPlacement::tooManyGlyphs) return Say(dialog, IDS_TEXT_TOO_MANY, L"");
    if (!simplified.empty()) Say(dialog, IDS_TEXT_SIMPLIFIED, simplified, MB_ICONINFORMATION);
    // A kept text would show instead of the glyphs.
    if (textDialogState.keptText.kept) {
        textDialogState.keptText = {};
        textDialogState.keptTextChanged = true;
    }
    EndDialog(dialog, 1);
}

// Cancel while the glyphs are made stops the making, which then ends the
// dialog; other commands that come meanwhile are let go.
void OnTextCancel(HWND dialog) {
    if (making.active) making.cancelled = true;
    else EndDialog(dialog, 0);
}

// The busy cursor over the dialog while the glyphs are made.
BOOL OnTextSetCursor(HWND dialog) {
    if (!making.active) return FALSE;
    SetCursor(BusyCursor());
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK TextDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_INITDIALOG) return OnInitTextDialog(dialog);
    if (message == WM_SETCURSOR) return OnTextSetCursor(dialog);
    if (message != WM_COMMAND) return FALSE;
    switch (LOWORD(wParam)) {
        case IDC_TEXT_EDIT:
            if (HIWORD(wParam) == EN_CHANGE) OnTextChange(dialog);
            return FALSE;
        case IDC_FONT_BUTTON:
            if (!making.active) OnPickFont(dialog);
            return TRUE;
        case IDC_TEXT_KEEP:
        case IDC_TEXT_STORE: ShowChoice(dialog); return FALSE;
        case IDOK: OnTextOk(dialog); return TRUE;
        case IDCANCEL: OnTextCancel(dialog); return TRUE;
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
