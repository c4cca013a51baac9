// Drives the real configuration dialog, created from the test program's own
// copy of resource 2003 with the real ConfigDialogProc, and reads back what
// it shows and what it stores.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace configtest {

// Where the dialog keeps its settings: the user's own KORAVEL.ini in
// %APPDATA%\KORAVEL, which it also reads first.
std::string IniPath();
std::string ReadIni();
// Replaces the file, as a user or an editor would.
void WriteIni(const std::string& content);
void RemoveIni();

// A settings file: section [KORAVEL] with the given keys (in the given
// order, as the numbers stand), then a glyph section with `glyphCount`
// glyphs named G1, G2, ...
using KeyValues = std::initializer_list<std::pair<const char*, long long>>;
std::string SettingsFile(KeyValues values, int glyphCount = 12);

// The value of a key of section [KORAVEL] as the file holds it, "" when absent.
std::string StoredValue(const std::string& file, const std::string& key);

// Message boxes raised on this thread while it lives: each is recorded and
// closed with its OK button. The text dialog is answered once as
// AnswerTextDialog says (the text typed, the font's name set as another
// program would set it, then the button and, queued behind it, the second
// button), and cancelled whenever it comes back after a message.
struct CapturedBox {
    std::wstring caption;
    std::wstring text;
};
class MessageBoxCatcher {
public:
    MessageBoxCatcher();
    ~MessageBoxCatcher();
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;
    const std::vector<CapturedBox>& Boxes() const;
    void Clear();

private:
    HHOOK hook_;
};

void AnswerTextDialog(const std::wstring& text, const std::wstring& font, int button = IDOK, int thenButton = 0);
// The same, choosing first "keep as text" (IDC_TEXT_KEEP) or "store as
// glyphs" (IDC_TEXT_STORE) and typing the page time when one is given.
void AnswerTextDialog(int choice, const std::wstring& text, const std::wstring& font, const std::wstring& page = L"",
                      int button = IDOK);
// What the text dialog showed when it was last answered, before the answer.
struct TextDialogShown {
    bool keep;
    std::wstring text, font, page, says;
};
TextDialogShown LastTextDialog();

// The dialog, modeless, for as long as the object lives.
class OpenDialog {
public:
    OpenDialog();
    ~OpenDialog();
    OpenDialog(const OpenDialog&) = delete;
    OpenDialog& operator=(const OpenDialog&) = delete;

    HWND Window() const { return dialog_; }
    HWND Item(int id) const { return GetDlgItem(dialog_, id); }
    bool Checked(int id) const { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsWindowEnabled(Item(id)) != FALSE; }
    // The number a display shows; -1 when it shows no number.
    long long Shown(int id) const;
    int Selection(int listId) const;
    int Thumb(int barId) const { return GetScrollPos(Item(barId), SB_CTL); }
    std::wstring Text(int id) const;

    // A click as the user makes it (the button takes the focus).
    void Click(int id) const;
    // The user picks `entry` in the glyph list: the list has the focus, as it
    // does when the user works it, so a warning takes the focus from it.
    void Choose(int listId, int entry) const;
    void Scroll(int barId, int code, int position = 0) const;
    // The notification of a command, as the dialog's default handling sends it.
    LRESULT Command(int id) const;
    // Lets queued messages run.
    void Pump() const;

private:
    HWND dialog_;
};

// Runs the dialog modal, as the host does, with `script` running inside its
// message loop once it is up; returns the dialog's result.
INT_PTR RunModal(const std::function<void(HWND)>& script);

// The title of the dialog, as it must read in Japanese.
extern const wchar_t kDialogTitle[];

}  // namespace configtest
