// The real KORAVEL.scr with hostile settings files as the user's own file:
// binary, empty, NUL bytes, a folder in the file's place, read-only, UTF-16,
// a 1 MB line, 2,000 glyphs, glyphs that break every limit, coordinates of
// +-1e308, NaN and infinities, every setting at its 32-bit extremes, a timer
// of 0, a kept text in a font no longer installed. Full screen, preview and
// dialog each start, run and end with their usual exit codes; Cancel leaves
// the file byte for byte; OK keeps every other section and unknown key, or,
// when the file refuses the write, says so and loses nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "SaverHarness.h"
#include "tests/support/win32/TopDownDib.h"

namespace {

using namespace e2e;
using namespace std::string_literals;

const char kBox[] =
    "BOX,8,0,5,0,0,0,2,1,4,5,8,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,"
    "-30,-40,30,-40,30,40,-30,40,-15,-20,15,-20,15,20,-15,20";

// A glyph of `points` points in one contour, the coordinates given as text.
std::string Glyph(const std::string& name, int points, int contours, const std::string& first,
                  const std::string& last, const std::string& coordinate) {
    std::string value = name + "," + std::to_string(points) + ",0,0,0,0,0," + std::to_string(contours) + "," +
                        first + "," + last;
    for (int j = 2; j <= 13; ++j) value += ",0,0";
    for (int i = 0; i < 8; ++i) value += "," + coordinate;
    return value;
}

std::string GlyphSection(int count) {
    std::string text = "[MOJI ZAHYO]\r\n";
    for (int n = 1; n <= count; ++n) text += "ZAHYO" + std::to_string(n) + "=" + kBox + "\r\n";
    return text;
}

// Sections and keys the program does not know, which OK must keep.
const char kForeign[] = "[EXTRA]\r\nKEEP=me\r\n; a note\r\n";

std::string EverySetting(const char* value) {
    std::string text = "[KORAVEL]\r\nUNKNOWN=1\r\n";
#define KORAVEL_SETTING(key, id, defaultValue, dialogMin, dialogMax) text += std::string(#key "=") + value + "\r\n";
#include "settings/SettingsList.def"
#undef KORAVEL_SETTING
    return text + GlyphSection(22) + kForeign;
}

std::string Binary() {
    std::string text(4096, '\0');
    std::uint32_t state = 12345;
    for (char& c : text) {
        state = state * 1103515245u + 12345u;
        c = static_cast<char>(state >> 23);
    }
    return text;
}

std::string WithNuls() {
    return "[KORAVEL]\r\nTIMER=\0 40\r\nOPTIONN=1\0\r\nOPTIONA1=1\r\nK\0EY=2\r\n"s + GlyphSection(1) +
           "ZAHYO2=NUL\0,8\r\n"s + kForeign;
}

std::string Utf16() {
    const std::string ascii = "[KORAVEL]\r\nOPTIONN=1\r\nOPTIONA1=1\r\n" + GlyphSection(1) + kForeign;
    std::string text = "\xFF\xFE";
    for (char c : ascii) text += std::string{c, '\0'};
    return text;
}

std::string MegabyteLine() {
    std::string line = "ZAHYO2=BIG";
    while (line.size() < (1u << 20)) line += ",12345";
    return "[KORAVEL]\r\nOPTIONN=2\r\nOPTIONA1=1\r\nOPTIONA2=2\r\n" + GlyphSection(1) + line + "\r\n" + kForeign;
}

std::string ManyGlyphs() {
    return "[KORAVEL]\r\nOPTIONN=9\r\nOPTIONA1=1\r\nOPTIONA2=999\r\nOPTIONA3=1000\r\nOPTIONA4=2000\r\n"
           "OPTIONA5=-1\r\nOPTIONA6=4294967295\r\n" +
           GlyphSection(2000) + kForeign;
}

std::string BrokenGlyphs() {
    std::string text = "[KORAVEL]\r\nOPTIONN=9\r\n";
    for (int k = 1; k <= 9; ++k) text += "OPTIONA" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
    return text + "[MOJI ZAHYO]\r\nZAHYO1=" + kBox + "\r\n" +                      //
           "ZAHYO2=" + Glyph("P46", 46, 1, "1", "46", "5") + "\r\n" +             // too many points
           "ZAHYO3=" + Glyph("PNEG", -1, 1, "1", "8", "5") + "\r\n" +             //
           "ZAHYO4=" + Glyph("C14", 8, 14, "1", "8", "5") + "\r\n" +              // too many contours
           "ZAHYO5=" + Glyph("C0", 8, 0, "1", "8", "5") + "\r\n" +                //
           "ZAHYO6=" + Glyph("END99", 8, 1, "1", "99", "5") + "\r\n" +            // contour ends beyond P
           "ZAHYO7=" + Glyph("ENDNEG", 8, 1, "-5", "0", "5") + "\r\n" +           //
           "ZAHYO8=SHORT,8,0,5\r\n" +                                             // too few tokens
           "ZAHYO9=,,,\r\n" + kForeign;
}

std::string ExtremeCoordinates() {
    const char* const coordinates[] = {"1e308", "-1e308", "nan", "inf", "-inf", "1e400"};
    std::string text = "[KORAVEL]\r\nOPTIONN=6\r\nOPTIONP=2\r\nZKAITEN1=1\r\n";
    for (int k = 1; k <= 6; ++k) text += "OPTIONA" + std::to_string(k) + "=" + std::to_string(k) + "\r\n";
    text += "[MOJI ZAHYO]\r\n";
    for (int k = 1; k <= 6; ++k)
        text += "ZAHYO" + std::to_string(k) + "=" + Glyph("X", 8, 1, "1", "8", coordinates[k - 1]) + "\r\n";
    return text + kForeign;
}

enum class Place { File, Folder, ReadOnlyFile };

struct HostileCase {
    const char* name;
    std::string (*content)();
    Place place;
    bool draws;  // a glyph of slot 1 is expected on screen in full-screen mode
};

const HostileCase kCases[] = {
    {"Binary", Binary, Place::File, false},
    {"Empty", [] { return std::string(); }, Place::File, false},
    {"NulBytes", WithNuls, Place::File, true},
    {"Folder", [] { return std::string(); }, Place::Folder, false},
    {"ReadOnly", [] { return "[KORAVEL]\r\nOPTIONN=1\r\nOPTIONA1=1\r\n" + GlyphSection(1) + kForeign; },
     Place::ReadOnlyFile, true},
    {"Utf16", Utf16, Place::File, true},
    {"MegabyteLine", MegabyteLine, Place::File, true},
    {"TwoThousandGlyphs", ManyGlyphs, Place::File, true},
    {"GlyphsBeyondEveryLimit", BrokenGlyphs, Place::File, true},
    {"ExtremeCoordinates", ExtremeCoordinates, Place::File, false},
    {"SettingsAtMaximum", [] { return EverySetting("2147483647"); }, Place::File, false},
    {"SettingsAtMinimum", [] { return EverySetting("-2147483648"); }, Place::File, false},
    {"TimerOfZero", [] { return "[KORAVEL]\r\nTIMER=0\r\nOPTIONP=2\r\n" + GlyphSection(22) + kForeign; },
     Place::File, true},
    // No glyphs: what is drawn is the text, in the user-interface font.
    {"TextInAFontNoLongerInstalled",
     [] { return "[KORAVEL]\r\nTEXT=\\u3042 %H:%M \\\r\nFONT=No Such Font:bold\r\nPAGE=0\r\n"s + kForeign; },
     Place::File, true},
};

bool IsFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void RemoveSettings(const std::string& path) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(path.c_str());
}

// Whether the process answers messages within a second.
bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kWaitLimit, &result) != 0;
}

// Pixels of `rect` on screen with any of `channels` lit (all: not black).
int LitPixels(const RECT& rect, std::uint32_t channels = 0xFFFFFF) {
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateTopDownDib(screen, width, height, 32, &bits);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    int lit = 0;
    const auto* pixels = static_cast<const std::uint32_t*>(bits);
    for (int i = 0; bits != nullptr && i < width * height; ++i) lit += (pixels[i] & channels) != 0;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return lit;
}

struct BoxSearch {
    DWORD processId;
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<BoxSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char className[16] = {};
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && lstrcmpA(className, "#32770") == 0 &&
        GetWindow(window, GW_OWNER) == search->owner && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The entries of `section` as the profile functions list them, one string.
std::string SectionEntries(const std::string& file, const char* section) {
    std::vector<char> buffer(4u << 20);
    const DWORD length = GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(buffer.size()),
                                                   file.c_str());
    return std::string(buffer.data(), length);
}

std::vector<std::string> Names(const std::string& list) {
    std::vector<std::string> names;
    for (std::size_t at = 0; at < list.size();) {
        const std::size_t end = list.find('\0', at);
        names.push_back(list.substr(at, end - at));
        at = end == std::string::npos ? list.size() : end + 1;
    }
    return names;
}

bool IsSettingKey(const std::string& name) {
    for (const char* key : {
#define KORAVEL_SETTING(key, id, defaultValue, dialogMin, dialogMax) #key,
#include "settings/SettingsList.def"
#undef KORAVEL_SETTING
         }) {
        if (lstrcmpiA(key, name.c_str()) == 0) return true;
    }
    return false;
}

class HostileFile : public testing::TestWithParam<HostileCase> {
protected:
    void SetUp() override {
        path_ = UserSettingsPath();
        saved_ = ReadText(path_);
        hadFile_ = GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES;
        RemoveSettings(path_);
        content_ = GetParam().content();
        if (GetParam().place == Place::Folder) {
            ASSERT_TRUE(CreateDirectoryA(path_.c_str(), nullptr));
        } else {
            WriteText(path_, content_);
            if (GetParam().place == Place::ReadOnlyFile) MakeReadOnly();
        }
    }
    void TearDown() override {
        if (lock_ != INVALID_HANDLE_VALUE) CloseHandle(lock_);
        RemoveSettings(path_);
        if (hadFile_) WriteText(path_, saved_);
    }

    // Windows refuses to open a read-only file for writing. Wine run as root
    // does not (root passes the Unix permission checks it relies on), so
    // there the file is also held open without write sharing, which refuses
    // every write as Windows would while every read still works.
    void MakeReadOnly() {
        ASSERT_TRUE(SetFileAttributesA(path_.c_str(), FILE_ATTRIBUTE_READONLY));
        HANDLE probe = CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return;
        CloseHandle(probe);
        lock_ = CreateFileA(path_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(lock_, INVALID_HANDLE_VALUE);
    }

    // A fresh copy of the settings file, so no copy of it that the profile
    // functions keep in this process can answer.
    std::string Snapshot(const std::string& text) {
        char folder[MAX_PATH];
        GetTempPathA(MAX_PATH, folder);
        const std::string copy = std::string(folder) + "koravel-hostile-" + std::to_string(++snapshots_) + ".ini";
        WriteText(copy, text);
        return copy;
    }

    bool Unchanged() const {
        if (GetParam().place == Place::Folder) return IsFolder(path_);
        return ReadText(path_) == content_;
    }

    std::string path_;
    std::string saved_;
    std::string content_;
    bool hadFile_ = false;
    int snapshots_ = 0;
    HANDLE lock_ = INVALID_HANDLE_VALUE;
};

TEST_P(HostileFile, FullScreenStartsDrawsAndEndsOnAKey) {
    SaverProcess saver;
    ASSERT_TRUE(saver.Start(ScrPath(), "KORAVEL.scr /s"));
    HWND window = WaitForWindowOf(saver.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr) << "no saver window";
    if (GetParam().draws) {
        RECT rect;
        GetWindowRect(window, &rect);
        EXPECT_TRUE(PumpUntil([&] { return LitPixels(rect) > 0; })) << "nothing drawn";
    } else {
        PumpUntil([] { return false; }, 300);
    }
    EXPECT_TRUE(Answers(window));
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
    EXPECT_TRUE(Unchanged()) << "the saver never writes";
}

TEST_P(HostileFile, PreviewStartsAndEndsWithItsParent) {
    HostWindow host;
    ASSERT_NE(host.window, nullptr);
    SaverProcess saver;
    ASSERT_TRUE(saver.Start(ScrPath(), "KORAVEL.scr /p " + host.Handle()));
    HWND child = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        child = FindWindowExA(host.window, nullptr, kSaverClass, nullptr);
        return child != nullptr && IsWindowVisible(child);
    }));
    PumpUntil([] { return false; }, 300);
    EXPECT_TRUE(saver.Running());
    EXPECT_TRUE(Answers(child));
    DestroyWindow(host.window);
    EXPECT_EQ(saver.WaitExit(), 0u);
}

TEST_P(HostileFile, DialogCancelLeavesTheFileAndOkKeepsEverythingElse) {
    {
        SaverProcess saver;
        ASSERT_TRUE(saver.Start(ScrPath(), "KORAVEL.scr /c"));
        HWND dialog = WaitForWindowOf(saver.ProcessId(), "#32770");
        ASSERT_NE(dialog, nullptr) << "no dialog";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(saver.WaitExit(), 0u);
        EXPECT_TRUE(Unchanged()) << "Cancel writes nothing";
    }

    SaverProcess saver;
    ASSERT_TRUE(saver.Start(ScrPath(), "KORAVEL.scr /c"));
    HWND dialog = WaitForWindowOf(saver.ProcessId(), "#32770");
    ASSERT_NE(dialog, nullptr) << "no dialog";
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    if (GetParam().place != Place::File) {
        // The file refuses the write: the dialog says so and stays open.
        BoxSearch search{saver.ProcessId(), dialog, nullptr};
        ASSERT_TRUE(PumpUntil([&] {
            EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        })) << "no message about the failed save";
        wchar_t text[512] = {};
        GetDlgItemTextW(search.found, 0xFFFF, text, 512);
        EXPECT_NE(std::wstring(text).find(L"設定を保存できませんでした"), std::wstring::npos);
        EXPECT_NE(std::wstring(text).find(UserSettingsFile()), std::wstring::npos) << "the message names the file";
        PostMessageA(search.found, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(PumpUntil([&] { return !IsWindow(search.found); }));
        EXPECT_TRUE(saver.Running()) << "the dialog stays open";
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(saver.WaitExit(), 0u);
        EXPECT_TRUE(Unchanged()) << "a refused save loses nothing";
        return;
    }
    // OK writes the 53 settings one by one, and the profile functions write
    // the whole file each time: a megabyte file takes a while.
    EXPECT_EQ(saver.WaitExit(3 * kWaitLimit), 1u);

    const std::string before = Snapshot(content_);
    const std::string after = Snapshot(ReadText(path_));
    std::vector<char> names(1u << 16);
    const DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), before.c_str());
    for (const std::string& section : Names(std::string(names.data(), length))) {
        if (lstrcmpiA(section.c_str(), "KORAVEL") != 0) {
            EXPECT_EQ(SectionEntries(after, section.c_str()), SectionEntries(before, section.c_str()))
                << "section [" << section << "]";
            continue;
        }
        for (const std::string& entry : Names(SectionEntries(before, "KORAVEL"))) {
            const std::string key = entry.substr(0, entry.find('='));
            if (IsSettingKey(key)) continue;
            char was[256], is[256];
            GetPrivateProfileStringA("KORAVEL", key.c_str(), "<none>", was, sizeof was, before.c_str());
            GetPrivateProfileStringA("KORAVEL", key.c_str(), "<none>", is, sizeof is, after.c_str());
            EXPECT_STREQ(is, was) << "unknown key " << key;
        }
    }
    char timer[16];
    GetPrivateProfileStringA("KORAVEL", "TIMER", "<none>", timer, sizeof timer, after.c_str());
    EXPECT_STRNE(timer, "<none>") << "OK writes every setting";
    DeleteFileA(before.c_str());
    DeleteFileA(after.c_str());
}

INSTANTIATE_TEST_SUITE_P(Files, HostileFile, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// The full-screen saver's glyph, in red (1) or green (2): 'R' or 'G'.
char DrawnColour() {
    SaverProcess saver;
    HWND window = saver.Start(ScrPath(), "KORAVEL.scr /s") ? WaitForWindowOf(saver.ProcessId(), kSaverClass) : nullptr;
    RECT rect = {};
    GetWindowRect(window, &rect);
    PumpUntil([&] { return window == nullptr || LitPixels(rect) > 0; });
    const int red = LitPixels(rect, 0xFF0000), green = LitPixels(rect, 0x00FF00);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
    return red > green ? 'R' : green > red ? 'G' : '-';
}

// The saver draws the user's own choice, else the machine's.
TEST(OwnSettings, TheSaverDrawsTheUsersChoiceElseTheMachines) {
    const std::string machine = MachineSettingsPath(), own = UserSettingsPath(), saved = ReadText(machine);
    const std::string settings = "[KORAVEL]\r\nOPTIONN=1\r\nOPTIONA1=1\r\nCOLORS=0\r\nCOLOR=";
    WriteText(machine, settings + "1\r\n" + GlyphSection(1));
    WriteText(own, settings + "2\r\n" + GlyphSection(1));
    EXPECT_EQ(DrawnColour(), 'G') << "the user's file";
    DeleteFileA(own.c_str());
    EXPECT_EQ(DrawnColour(), 'R') << "the machine's file";
    if (saved.empty()) {
        DeleteFileA(machine.c_str());
    } else {
        WriteText(machine, saved);
    }
}

}  // namespace
