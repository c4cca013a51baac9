// Resource 2003 as stored in the program: read straight from the extended
// template, then as the live dialog shows it.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <tuple>
#include <vector>

#include "res/StringIds.h"
#include "res/Version.h"
#include "wine/ConfigDialogHarness.h"

namespace {

enum Kind { List, Radio, Check, Bar, DefaultButton, Button, Frame, Text };

struct Expected {
    int id;  // -1: no meaning to the procedure
    Kind kind;
    const wchar_t* caption;
    short x, y, cx, cy;
    const char* flags;  // G: starts a group, T: tab stop
};

// The 121 controls in template order, which is the tab order.
const Expected kControls[] = {
    {1002, List, L"", 18, 17, 28, 112, "T"},
    {1003, List, L"", 46, 17, 28, 112, "T"},
    {1004, List, L"", 74, 17, 28, 112, "T"},
    {1005, List, L"", 102, 17, 28, 112, "T"},
    {1006, List, L"", 130, 17, 28, 112, "T"},
    {1007, List, L"", 158, 17, 28, 112, "T"},
    {1008, List, L"", 186, 17, 28, 112, "T"},
    {1039, List, L"", 214, 17, 28, 112, "T"},
    {1040, List, L"", 242, 17, 28, 112, "T"},
    {1030, Radio, L"移動して回転", 15, 50, 62, 8, "GT"},
    {1031, Radio, L"中央で回転", 15, 58, 58, 8, "T"},
    {1013, Check, L"幅の自動設定", 15, 82, 59, 10, "T"},
    {1017, Bar, L"", 11, 94, 48, 12, "T"},
    {1018, Bar, L"", 91, 50, 40, 12, "T"},
    {1041, Check, L"同期", 103, 77, 29, 9, "T"},
    {1019, Bar, L"", 91, 94, 40, 12, "T"},
    {1044, Bar, L"", 91, 114, 40, 12, "T"},
    {1020, Bar, L"", 91, 142, 40, 12, "T"},
    {1028, Bar, L"", 155, 50, 40, 12, "T"},
    {1054, Check, L"色の個別設定", 155, 78, 60, 8, "T"},
    {1032, Radio, L"赤", 155, 90, 24, 8, "GT"},
    {1033, Radio, L"緑", 183, 90, 24, 8, "T"},
    {1034, Radio, L"青", 155, 98, 20, 8, "T"},
    {1035, Radio, L"白", 183, 98, 24, 8, "T"},
    {1055, Radio, L"黄", 155, 106, 20, 8, "T"},
    {1056, Radio, L"ﾏｾﾞﾝﾀ", 183, 106, 32, 8, "T"},
    {1057, Radio, L"ｼｱﾝ", 155, 114, 29, 9, "T"},
    {1060, Radio, L"0", 229, 52, 23, 8, "G"},
    {1061, Radio, L"10", 229, 60, 24, 8, ""},
    {1062, Radio, L"20", 229, 68, 29, 8, ""},
    {1063, Radio, L"30", 229, 76, 26, 8, ""},
    {1064, Radio, L"40", 229, 84, 28, 8, ""},
    {1065, Radio, L"50", 229, 92, 27, 8, ""},
    {1066, Radio, L"60", 229, 100, 27, 8, ""},
    {1067, Radio, L"70", 229, 108, 27, 8, ""},
    {1068, Radio, L"80", 229, 116, 23, 8, ""},
    {1069, Radio, L"90", 229, 124, 27, 8, ""},
    {1059, Check, L"残像を残す", 5, 124, 57, 10, "T"},
    {1058, Check, L"起動時に画面を消す", 5, 113, 79, 10, "T"},
    {1045, Radio, L"No.1", 18, 9, 28, 8, "GT"},
    {1046, Radio, L"No.2", 46, 9, 28, 8, "T"},
    {1047, Radio, L"No.3", 75, 9, 27, 8, "T"},
    {1048, Radio, L"No.4", 103, 9, 27, 8, "T"},
    {1049, Radio, L"No.5", 130, 9, 28, 8, "T"},
    {1050, Radio, L"No.6", 158, 9, 28, 8, "T"},
    {1051, Radio, L"No.7", 186, 9, 28, 8, "T"},
    {1052, Radio, L"No.8", 214, 9, 28, 8, "T"},
    {1053, Radio, L"No.9", 244, 9, 26, 8, "T"},
    {1, DefaultButton, L"OK", 38, 156, 44, 12, "GT"},
    {2, Button, L"Cancel", 37, 139, 44, 12, "T"},
    {-1, Frame, L"字数", 5, 138, 24, 24, ""},
    {-1, Frame, L"モード設定", 7, 38, 76, 32, ""},
    {-1, Frame, L"幅の指定", 7, 70, 76, 40, ""},
    {-1, Frame, L"回転角度", 87, 38, 60, 28, ""},
    {-1, Frame, L"図形の大きさ", 87, 66, 60, 64, ""},
    {-1, Frame, L"移動時の移動量", 87, 130, 60, 28, ""},
    {-1, Frame, L"タイマー割込", 151, 38, 68, 28, ""},
    {-1, Frame, L"色の設定", 151, 66, 68, 60, ""},
    {-1, Text, nullptr, 89, 162, 32, 8, "G"},
    {-1, Text, nullptr, 121, 162, 78, 8, "G"},
    {1022, Text, L"", 14, 150, 8, 8, "G"},
    {1014, Text, L"", 63, 94, 16, 11, "G"},
    {1012, Text, L"", 135, 50, 8, 11, "G"},
    {1029, Text, L"", 135, 94, 8, 11, "G"},
    {1016, Text, L"", 135, 142, 8, 11, "G"},
    {1021, Text, L"", 199, 50, 16, 11, "G"},
    {-1, Text, L"縦", 91, 86, 10, 8, "G"},
    {-1, Text, L"横", 91, 106, 8, 8, "G"},
    {1043, Text, L"", 135, 114, 8, 10, "G"},
    {-1, Frame, L"", 13, 0, 319, 37, ""},
    {-1, Frame, L"見え方", 223, 40, 36, 93, ""},
    {-1, Frame, L"回転方法", 150, 126, 60, 31, ""},
    {1070, Radio, L"全体で回転", 156, 135, 52, 8, "GT"},
    {1071, Radio, L"個別で回転", 156, 144, 52, 9, ""},
    {1072, Check, L"", 30, 28, 16, 8, "T"},
    {1073, Check, L"", 58, 28, 16, 8, "T"},
    {1074, Check, L"", 86, 28, 16, 8, "T"},
    {1075, Check, L"", 114, 28, 16, 8, "T"},
    {1076, Check, L"", 142, 28, 16, 8, "T"},
    {1077, Check, L"", 170, 28, 16, 8, "T"},
    {1078, Check, L"", 198, 28, 16, 8, "T"},
    {1079, Check, L"", 226, 28, 16, 8, "T"},
    {1080, Check, L"", 254, 28, 16, 8, "T"},
    {-1, Text, L"<-色指定", 272, 9, 41, 8, "G"},
    {-1, Text, L"<-個別回転指定", 272, 27, 59, 8, "G"},
    {1015, Text, L"", 324, 39, 8, 11, "G"},
    {-1, Text, L"No.1", 262, 42, 19, 8, "G"},
    {1023, Bar, L"", 281, 39, 40, 12, "T"},
    {1024, Text, L"", 324, 50, 8, 11, "G"},
    {-1, Text, L"No.2", 262, 53, 19, 8, "G"},
    {1025, Bar, L"", 281, 50, 40, 12, "T"},
    {1026, Text, L"", 324, 62, 8, 11, "G"},
    {-1, Text, L"No.3", 262, 65, 19, 8, "G"},
    {1027, Bar, L"", 281, 62, 40, 12, "T"},
    {1036, Text, L"", 324, 73, 8, 11, "G"},
    {-1, Text, L"No.4", 262, 76, 19, 8, "G"},
    {1037, Bar, L"", 281, 73, 40, 12, "T"},
    {1038, Text, L"", 324, 85, 8, 11, "G"},
    {-1, Text, L"No.5", 262, 88, 19, 8, "G"},
    {1042, Bar, L"", 281, 85, 40, 12, "T"},
    {1081, Text, L"", 324, 96, 8, 11, "G"},
    {-1, Text, L"No.6", 262, 99, 19, 8, "G"},
    {1082, Bar, L"", 281, 96, 40, 12, "T"},
    {1083, Text, L"", 324, 108, 8, 11, "G"},
    {-1, Text, L"No.7", 262, 111, 19, 8, "G"},
    {1084, Bar, L"", 281, 108, 40, 12, "T"},
    {1085, Text, L"", 324, 119, 8, 11, "G"},
    {-1, Text, L"No.8", 262, 122, 19, 8, "G"},
    {1086, Bar, L"", 281, 119, 40, 12, "T"},
    {1087, Text, L"", 324, 132, 8, 11, "G"},
    {-1, Text, L"No.9", 262, 135, 19, 8, "G"},
    {1088, Bar, L"", 281, 131, 40, 12, "T"},
    {-1, Frame, L"遠近", 218, 144, 98, 28, ""},
    {1089, Radio, L"0", 220, 155, 17, 8, "G"},
    {1090, Radio, L"5", 243, 150, 17, 8, ""},
    {1091, Radio, L"10", 266, 150, 20, 8, ""},
    {1092, Radio, L"15", 294, 150, 20, 8, ""},
    {1093, Radio, L"20", 243, 161, 21, 8, ""},
    {1094, Radio, L"25", 266, 161, 20, 8, ""},
    {1095, Radio, L"30", 294, 161, 20, 8, ""},
    {1100, Button, L"Text...", 5, 164, 31, 11, "GT"},
};

// The window class and the style bits that make each kind.
struct KindShape {
    const wchar_t* className;
    WORD ordinal;
    DWORD mask;
    DWORD bits;
};
KindShape ShapeOf(Kind kind) {
    switch (kind) {
        case List: return {L"ComboBox", 0x85, 0xFFFF, CBS_DROPDOWNLIST | CBS_AUTOHSCROLL};
        case Radio: return {L"Button", 0x80, BS_TYPEMASK, BS_AUTORADIOBUTTON};
        case Check: return {L"Button", 0x80, BS_TYPEMASK, BS_AUTOCHECKBOX};
        case Bar: return {L"ScrollBar", 0x84, SBS_VERT, SBS_HORZ};
        case DefaultButton: return {L"Button", 0x80, BS_TYPEMASK, BS_DEFPUSHBUTTON};
        case Button: return {L"Button", 0x80, BS_TYPEMASK, BS_PUSHBUTTON};
        case Frame: return {L"Button", 0x80, BS_TYPEMASK, BS_GROUPBOX};
        case Text: return {L"Static", 0x82, SS_TYPEMASK, SS_LEFT};
    }
    return {};
}

// A reader of the extended dialog template.
class TemplateReader {
public:
    explicit TemplateReader(const BYTE* data) : at_(data) {}
    WORD Word() {
        WORD value;
        CopyMemory(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    DWORD Dword() {
        DWORD value;
        CopyMemory(&value, at_, sizeof value);
        at_ += sizeof value;
        return value;
    }
    short Short() { return static_cast<short>(Word()); }
    // A string, or an ordinal written as 0xFFFF then its number ("#n").
    std::wstring NameOrOrdinal() {
        WORD first = Word();
        if (first == 0xFFFF) return L"#" + std::to_wstring(Word());
        std::wstring text;
        for (WORD c = first; c != 0; c = Word()) text += static_cast<wchar_t>(c);
        return text;
    }
    void AlignToDword(const BYTE* base) {
        while ((at_ - base) % 4 != 0) ++at_;
    }
    void Skip(std::size_t bytes) { at_ += bytes; }

private:
    const BYTE* at_;
};

struct StoredControl {
    DWORD exStyle, style;
    short x, y, cx, cy;
    DWORD id;
    std::wstring className, caption;
};

// A dialog of one language (2003 unless told), its frame checked, its title
// into *title.
std::vector<StoredControl> ReadTemplate(LANGID language, std::wstring* title, WORD dialog = IDD_CONFIG) {
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(module, MAKEINTRESOURCEW(5) /* RT_DIALOG */, MAKEINTRESOURCEW(dialog), language);
    EXPECT_NE(found, nullptr) << "dialog " << dialog << " in language " << language;
    if (!found) return {};
    const BYTE* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    TemplateReader read(data);
    EXPECT_EQ(read.Word(), 1);       // version
    EXPECT_EQ(read.Word(), 0xFFFF);  // extended template
    read.Dword();                    // help id
    EXPECT_EQ(read.Dword(), 0u);     // no extended style
    const DWORD style = read.Dword();
    WORD count = read.Word();
    const short frame[] = {read.Short(), read.Short(), read.Short(), read.Short()};
    if (dialog == IDD_CONFIG) {
        EXPECT_EQ(style, DWORD(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS));
        EXPECT_EQ(count, 121);
        EXPECT_EQ(std::vector<short>(frame, frame + 4), (std::vector<short>{34, 32, 341, 177}));
    }
    EXPECT_EQ(read.NameOrOrdinal(), L"");  // no menu
    EXPECT_EQ(read.NameOrOrdinal(), L"");  // the standard dialog class
    *title = read.NameOrOrdinal();
    EXPECT_EQ(read.Word(), 8);  // points
    read.Word();                // weight
    read.Word();                // italic, character set
    EXPECT_EQ(read.NameOrOrdinal(), L"MS Shell Dlg");

    std::vector<StoredControl> controls;
    for (int i = 0; i < count; ++i) {
        read.AlignToDword(data);
        StoredControl control;
        read.Dword();  // help id
        control.exStyle = read.Dword();
        control.style = read.Dword();
        control.x = read.Short();
        control.y = read.Short();
        control.cx = read.Short();
        control.cy = read.Short();
        control.id = read.Dword();
        control.className = read.NameOrOrdinal();
        control.caption = read.NameOrOrdinal();
        read.Skip(read.Word());
        controls.push_back(control);
    }
    return controls;
}

const LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

bool IsPlainAscii(const std::wstring& text) {
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= 0x20 && c < 0x7F; });
}

TEST(ConfigDialogTemplate, IsJapaneseExtendedTemplateWithItsFrameAndTitle) {
    std::wstring title;
    std::vector<StoredControl> controls = ReadTemplate(kJapanese, &title);
    EXPECT_EQ(title, configtest::kDialogTitle);
    ASSERT_EQ(controls.size(), std::size(kControls));
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Expected& want = kControls[i];
        const StoredControl& got = controls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " id " + std::to_string(want.id));
        KindShape shape = ShapeOf(want.kind);
        EXPECT_EQ(static_cast<int>(got.id), want.id == -1 ? -1 : want.id);
        bool classMatches = got.className == L"#" + std::to_wstring(shape.ordinal) ||
                            lstrcmpiW(got.className.c_str(), shape.className) == 0;
        EXPECT_TRUE(classMatches);
        EXPECT_EQ(got.style & shape.mask, shape.bits);
        if (want.kind == List) {
            EXPECT_TRUE(got.style & WS_VSCROLL);
        }
        if (want.caption) {
            EXPECT_EQ(got.caption, want.caption);
        }
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.cx, want.cx);
        EXPECT_EQ(got.cy, want.cy);
        std::string flags = want.flags;
        EXPECT_EQ((got.style & WS_GROUP) != 0, flags.find('G') != std::string::npos);
        EXPECT_EQ((got.style & WS_TABSTOP) != 0, flags.find('T') != std::string::npos);
        EXPECT_EQ(got.style & (WS_CHILD | WS_VISIBLE | WS_DISABLED), DWORD(WS_CHILD | WS_VISIBLE));
        EXPECT_EQ(got.exStyle, 0u);
    }
}

// The Japanese layout with ASCII captions; each translated one fits its control at 96 and 192 DPI
// in 8-point MS Shell Dlg, less a radio or check box or a frame's indents.
void ExpectEnglishLayoutWithCaptionsThatFit(const std::vector<StoredControl>& japanese,
                                            const std::vector<StoredControl>& english) {
    ASSERT_EQ(english.size(), japanese.size());
    HDC dc = CreateCompatibleDC(nullptr);
    for (int dpi : {96, 192}) {
        HGDIOBJ old = SelectObject(dc, CreateFontW(-MulDiv(8, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET,
                                                   0, 0, 0, 0, L"MS Shell Dlg"));
        SIZE size;
        GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
        int baseX = (size.cx / 26 + 1) / 2;
        for (std::size_t i = 0; i < english.size(); ++i) {
            const StoredControl &got = english[i], &want = japanese[i];
            SCOPED_TRACE(std::to_string(dpi) + " DPI, control #" + std::to_string(i + 1));
            EXPECT_EQ(std::tie(got.id, got.className, got.style, got.exStyle, got.x, got.y, got.cx, got.cy),
                      std::tie(want.id, want.className, want.style, want.exStyle, want.x, want.y, want.cx, want.cy));
            EXPECT_TRUE(IsPlainAscii(got.caption) && got.caption.empty() == want.caption.empty());
            if (IsPlainAscii(want.caption)) {
                EXPECT_EQ(got.caption, want.caption);
                continue;  // a caption both languages share keeps its old place
            }
            bool button = got.className == L"#128" || lstrcmpiW(got.className.c_str(), L"Button") == 0;
            DWORD type = button ? got.style & BS_TYPEMASK : 0;
            int room = MulDiv(got.cx, baseX, 4) -
                       MulDiv(type == BS_GROUPBOX ? 10 : type == BS_AUTORADIOBUTTON || type == BS_AUTOCHECKBOX ? 16 : 0, dpi, 96);
            GetTextExtentPoint32W(dc, got.caption.c_str(), static_cast<int>(got.caption.size()), &size);
            EXPECT_LE(size.cx, room);
        }
        DeleteObject(SelectObject(dc, old));
    }
    DeleteDC(dc);
}

TEST(ConfigDialogTemplate, EnglishHasTheSameLayoutAndCaptionsThatFit) {
    std::wstring japaneseTitle, title;
    std::vector<StoredControl> japanese = ReadTemplate(kJapanese, &japaneseTitle);
    std::vector<StoredControl> english = ReadTemplate(kEnglish, &title);
    EXPECT_EQ(title, L"KORAVEL(Zorbek ScreenSaver)V" KORAVEL_VERSION_TEXT L" Settings");
    ExpectEnglishLayoutWithCaptionsThatFit(japanese, english);
}

TEST(ConfigDialogTemplate, TheTextDialogHasOneLayoutAndEnglishCaptionsThatFit) {
    std::wstring japaneseTitle, title;
    std::vector<StoredControl> japanese = ReadTemplate(kJapanese, &japaneseTitle, IDD_TEXT);
    std::vector<StoredControl> english = ReadTemplate(kEnglish, &title, IDD_TEXT);
    EXPECT_EQ(title, L"Your own text");
    EXPECT_EQ(japanese.size(), 12u);
    ExpectEnglishLayoutWithCaptionsThatFit(japanese, english);
}

TEST(ConfigDialogTemplate, OpensWithEveryControlAndItsCaptionInUnicode) {
    configtest::WriteIni(configtest::SettingsFile({}));
    // The loader picks by UI language: Japanese as of old, else English.
    bool inJapanese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
    std::wstring englishTitle;
    std::vector<StoredControl> english = ReadTemplate(kEnglish, &englishTitle);
    ASSERT_EQ(english.size(), std::size(kControls));
    configtest::OpenDialog dialog;
    ASSERT_NE(dialog.Window(), nullptr);
    EXPECT_EQ(dialog.Text(0), inJapanese ? configtest::kDialogTitle : englishTitle);
    std::vector<HWND> children;
    for (HWND child = GetWindow(dialog.Window(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    ASSERT_EQ(children.size(), std::size(kControls));
    for (std::size_t i = 0; i < children.size(); ++i) {
        const Expected& want = kControls[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        EXPECT_EQ(static_cast<WORD>(GetDlgCtrlID(children[i])), static_cast<WORD>(want.id));
        wchar_t className[32] = L"";
        GetClassNameW(children[i], className, 32);
        EXPECT_EQ(lstrcmpiW(className, ShapeOf(want.kind).className), 0);
        if (want.caption && want.kind != List && !(want.kind == Text && want.id != -1)) {
            wchar_t caption[64] = L"";
            GetWindowTextW(children[i], caption, 64);
            EXPECT_EQ(caption, inJapanese ? std::wstring(want.caption) : english[i].caption);
        }
    }
    // The information line: the version and where the settings are kept.
    wchar_t version[32] = L"", place[64] = L"";
    GetWindowTextW(children[58], version, 32);
    GetWindowTextW(children[59], place, 64);
    EXPECT_STREQ(version, L"V" KORAVEL_VERSION_TEXT);
    EXPECT_STREQ(place, L"%APPDATA%\\KORAVEL");
    configtest::RemoveIni();
}

}  // namespace
