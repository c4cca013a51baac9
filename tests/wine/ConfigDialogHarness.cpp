#include "wine/ConfigDialogHarness.h"

#include <cstdlib>

#include "config/ConfigDialogIds.h"
#include "config/win32/ConfigDialogProc.h"
#include "platform/Platform.h"
#include "res/StringIds.h"
#include "res/Version.h"
#include "support/TestSupport.h"

namespace configtest {

const wchar_t kDialogTitle[] = L"KORAVEL(Zorbek ScreenSaver)V" KORAVEL_VERSION_TEXT L"の設定";

namespace {

std::vector<CapturedBox> capturedBoxes;

struct {
    std::wstring text, font, page;
    int button = 0, thenButton = 0, choice = 0;
} textAnswer;

TextDialogShown textShown;

std::wstring ControlText(HWND window, int id) {
    wchar_t text[512] = L"";
    GetDlgItemTextW(window, id, text, 512);
    return text;
}

// A message box is a dialog-class window owned by the configuration dialog;
// by the time it is activated its text is in place.
LRESULT CALLBACK CatchMessageBox(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = L"";
        GetClassNameW(window, className, 16);
        if (lstrcmpW(className, L"#32770") == 0 && GetDlgItem(window, IDC_TEXT_EDIT) != nullptr) {
            if (!textAnswer.button) {
                PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
                return CallNextHookEx(nullptr, code, wParam, lParam);
            }
            textShown = {IsDlgButtonChecked(window, IDC_TEXT_KEEP) == BST_CHECKED, ControlText(window, IDC_TEXT_EDIT),
                         ControlText(window, IDC_FONT_EDIT), ControlText(window, IDC_PAGE_EDIT),
                         ControlText(window, IDC_TEXT_SAYS)};
            if (textAnswer.choice) SendDlgItemMessageW(window, textAnswer.choice, BM_CLICK, 0, 0);
            if (!textAnswer.page.empty()) SetDlgItemTextW(window, IDC_PAGE_EDIT, textAnswer.page.c_str());
            SetDlgItemTextW(window, IDC_TEXT_EDIT, L"");
            for (wchar_t unit : textAnswer.text) SendDlgItemMessageW(window, IDC_TEXT_EDIT, WM_CHAR, unit, 0);
            SetDlgItemTextW(window, IDC_FONT_EDIT, textAnswer.font.c_str());
            PostMessageW(window, WM_COMMAND, textAnswer.button, 0);
            if (textAnswer.thenButton) PostMessageW(window, WM_COMMAND, textAnswer.thenButton, 0);
            textAnswer.button = textAnswer.thenButton = textAnswer.choice = 0;
        } else if (lstrcmpW(className, L"#32770") == 0 && GetWindow(window, GW_OWNER) != nullptr) {
            CapturedBox box;
            wchar_t text[512] = L"";
            GetWindowTextW(window, text, 512);
            box.caption = text;
            text[0] = L'\0';
            GetDlgItemTextW(window, 0xFFFF, text, 512);
            box.text = text;
            capturedBoxes.push_back(box);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Drops the profile functions' cached copy, so the next read sees the file.
void ForgetCachedProfile() {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, IniPath().c_str());
}

}  // namespace

std::string IniPath() {
    return platform::ProfileFilePath("KORAVEL.ini");
}

std::string ReadIni() {
    ForgetCachedProfile();
    return testsupport::ReadFile(IniPath());
}

void WriteIni(const std::string& content) {
    ForgetCachedProfile();
    const std::string path = IniPath();
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
    testsupport::WriteFile(path, content);
}

void RemoveIni() {
    ForgetCachedProfile();
    testsupport::RemoveFile(IniPath());
}

std::string SettingsFile(KeyValues values, int glyphCount) {
    std::string file = "[KORAVEL]\r\n";
    for (const auto& [key, value] : values) file += std::string(key) + "=" + std::to_string(value) + "\r\n";
    file += "[MOJI ZAHYO]\r\n";
    for (int n = 1; n <= glyphCount; ++n)
        file += "ZAHYO" + std::to_string(n) + "=G" + std::to_string(n) +
                ",4,0,0,0,0,0,1,1,4,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,-10,-10,10,-10,10,10,-10,10\r\n";
    return file;
}

std::string StoredValue(const std::string& file, const std::string& key) {
    std::size_t section = file.find("[KORAVEL]");
    if (section == std::string::npos) return "";
    std::size_t end = file.find("\n[", section);
    std::string needle = "\n" + key + "=";
    std::size_t at = file.find(needle, section);
    if (at == std::string::npos || (end != std::string::npos && at > end)) return "";
    at += needle.size();
    std::size_t stop = file.find_first_of("\r\n", at);
    return file.substr(at, stop == std::string::npos ? std::string::npos : stop - at);
}

void AnswerTextDialog(const std::wstring& text, const std::wstring& font, int button, int thenButton) {
    textAnswer = {text, font, L"", button, thenButton, 0};
}

void AnswerTextDialog(int choice, const std::wstring& text, const std::wstring& font, const std::wstring& page,
                      int button) {
    textAnswer = {text, font, page, button, 0, choice};
}

TextDialogShown LastTextDialog() {
    return textShown;
}

MessageBoxCatcher::MessageBoxCatcher()
    : hook_(SetWindowsHookExW(WH_CBT, CatchMessageBox, nullptr, GetCurrentThreadId())) {
    capturedBoxes.clear();
}

MessageBoxCatcher::~MessageBoxCatcher() {
    UnhookWindowsHookEx(hook_);
}

const std::vector<CapturedBox>& MessageBoxCatcher::Boxes() const {
    return capturedBoxes;
}

void MessageBoxCatcher::Clear() {
    capturedBoxes.clear();
}

OpenDialog::OpenDialog()
    : dialog_(CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFIG), nullptr,
                                 ConfigDialogProc, 0)) {
    Pump();
}

OpenDialog::~OpenDialog() {
    if (dialog_) DestroyWindow(dialog_);
    Pump();
}

long long OpenDialog::Shown(int id) const {
    wchar_t text[32] = L"";
    GetDlgItemTextW(dialog_, id, text, 32);
    if (text[0] == L'\0') return -1;
    wchar_t* end = nullptr;
    long long value = std::wcstoll(text, &end, 10);
    return *end == L'\0' ? value : -1;
}

int OpenDialog::Selection(int listId) const {
    return static_cast<int>(SendDlgItemMessageW(dialog_, listId, CB_GETCURSEL, 0, 0));
}

std::wstring OpenDialog::Text(int id) const {
    wchar_t text[256] = L"";
    GetWindowTextW(id ? Item(id) : dialog_, text, 256);
    return text;
}

void OpenDialog::Click(int id) const {
    SendMessageW(Item(id), BM_CLICK, 0, 0);
    Pump();
}

void OpenDialog::Choose(int listId, int entry) const {
    HWND list = Item(listId);
    SetFocus(list);
    Pump();
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(listId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    Pump();
}

void OpenDialog::Scroll(int barId, int code, int position) const {
    SendMessageW(dialog_, WM_HSCROLL, MAKEWPARAM(code, position), reinterpret_cast<LPARAM>(Item(barId)));
}

LRESULT OpenDialog::Command(int id) const {
    return SendMessageW(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Item(id)));
}

void OpenDialog::Pump() const {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (dialog_ && IsDialogMessageW(dialog_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

namespace {

std::function<void(HWND)> modalScript;

void CALLBACK RunModalScript(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindWindowW(L"#32770", kDialogTitle);
    if (!dialog) return;  // not up yet: the timer comes again
    KillTimer(nullptr, timer);
    modalScript(dialog);
}

}  // namespace

INT_PTR RunModal(const std::function<void(HWND)>& script) {
    modalScript = script;
    SetTimer(nullptr, 0, 10, RunModalScript);
    return DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_CONFIG), nullptr, ConfigDialogProc, 0);
}

}  // namespace configtest
