// The real KORAVEL.scr, started as the system starts it: command lines and
// exit codes, the full-screen window and its closing, the preview inside a
// window of this program, the single instance, and Windows 9x password
// protection with stand-ins for PASSWORD.CPL and MPR.DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "SaverHarness.h"

namespace {

using namespace e2e;

// ---------------------------------------------------------------------------
// Command lines that end at once.

struct ExitCase {
    const char* args;
    DWORD exitCode;
};

class UnusableCommandLine : public testing::TestWithParam<ExitCase> {};

TEST_P(UnusableCommandLine, EndsWithItsExitCodeAndNoWindow) {
    SaverProcess saver;
    ASSERT_TRUE(saver.Start(ScrPath(), std::string("KORAVEL.scr ") + GetParam().args));
    EXPECT_EQ(saver.WaitExit(), GetParam().exitCode) << GetParam().args;
}

INSTANTIATE_TEST_SUITE_P(Forms, UnusableCommandLine,
                         testing::Values(ExitCase{"/x", kExitUnusable}, ExitCase{"/\ts", kExitUnusable},
                                         ExitCase{"/p 0x4d2", kExitUnusable},
                                         ExitCase{"/p", kExitUnusable}, ExitCase{"/l", kExitUnusable},
                                         ExitCase{"/p 4294967295", kExitUnusable},
                                         // Windows 9x only: on NT the password change is refused.
                                         ExitCase{"/a 1234", kExitUnusable}));

// ---------------------------------------------------------------------------
// The full-screen saver.

class FullScreenSaver : public testing::Test {
protected:
    // Starts the saver and waits for its window.
    HWND Start(const std::string& commandLine, const std::string& program = ScrPath()) {
        if (!saver.Start(program, commandLine)) return nullptr;
        return WaitForWindowOf(saver.ProcessId(), kSaverClass);
    }

    // True when the saver still runs a while after a message that must not
    // close it; the wait lets any close request it posted take effect.
    bool StillRunningAfter(UINT msg, WPARAM wParam, LPARAM lParam, HWND window) {
        SendMessageA(window, msg, wParam, lParam);
        Sleep(250);
        return saver.Running();
    }

    SaverProcess saver;
};

class SaverSwitch : public FullScreenSaver, public testing::WithParamInterface<const char*> {};

TEST_P(SaverSwitch, StartsTheFullScreenSaverAndAKeyEndsIt) {
    HWND window = Start(std::string("KORAVEL.scr ") + GetParam());
    ASSERT_NE(window, nullptr) << GetParam();
    EXPECT_EQ(WindowText(window), "Screen Saver");
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.left, GetSystemMetrics(SM_XVIRTUALSCREEN));
    EXPECT_EQ(rect.top, GetSystemMetrics(SM_YVIRTUALSCREEN));
    EXPECT_EQ(rect.right - rect.left, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(rect.bottom - rect.top, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    EXPECT_NE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & 0xFF000000u, 0x96000000u);
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Forms, SaverSwitch, testing::Values("-S", "/s", " / s", "/-s", "/sX"));

TEST_F(FullScreenSaver, SkipsAQuotedProgramNameWithSpaces) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "koravel e2e folder";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string copy = folder + "\\KORAVEL copy.scr";
    ASSERT_TRUE(CopyFileA(ScrPath().c_str(), copy.c_str(), FALSE));
    HWND window = Start("\"" + copy + "\" /s", copy);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(FullScreenSaver, ASecondStartBringsTheFirstForwardAndEndsWithZero) {
    HWND window = Start("KORAVEL.scr /s");
    ASSERT_NE(window, nullptr);
    SaverProcess second;
    ASSERT_TRUE(second.Start(ScrPath(), "KORAVEL.scr /s"));
    EXPECT_EQ(second.WaitExit(), 0u);
    EXPECT_TRUE(saver.Running());
    EXPECT_EQ(GetForegroundWindow(), window);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
}

// Logs, through the CBT hook loaded into the saver's process, every system
// command that reaches the default window processing of `window`'s thread.
class SysCommandLog {
public:
    explicit SysCommandLog(HWND window) {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        path_ = std::string(temp) + "koravel-syscommand.log";
        DeleteFileA(path_.c_str());
        module_ = LoadLibraryA(WindowsPath(KORAVEL_SYSCOMMAND_HOOK_PATH).c_str());
        auto hook = module_ != nullptr ? reinterpret_cast<HOOKPROC>(
                                             reinterpret_cast<void*>(GetProcAddress(module_, "SysCommandHook")))
                                       : nullptr;
        if (hook != nullptr) hook_ = SetWindowsHookExA(WH_CBT, hook, module_, GetWindowThreadProcessId(window, nullptr));
    }
    ~SysCommandLog() {
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        if (module_ != nullptr) FreeLibrary(module_);
        DeleteFileA(path_.c_str());
    }
    SysCommandLog(const SysCommandLog&) = delete;
    SysCommandLog& operator=(const SysCommandLog&) = delete;
    bool Active() const { return hook_ != nullptr; }
    std::string Text() const { return ReadText(path_); }

private:
    std::string path_;
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
};

TEST_F(FullScreenSaver, KeepsItsTitleAndRefusesTaskSwitchAndRestart) {
    HWND window = Start("KORAVEL.scr /s");
    ASSERT_NE(window, nullptr);
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("changed"));
    EXPECT_EQ(WindowText(window), "Screen Saver");
    SysCommandLog log(window);
    ASSERT_TRUE(log.Active());
    // Refused commands never reach the default processing; the monitor's
    // power-down does, and closes the saver.
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_SCREENSAVE, 0), 0);
    EXPECT_EQ(SendMessageA(window, WM_SYSCOMMAND, SC_NEXTWINDOW, 0), 0);
    EXPECT_TRUE(StillRunningAfter(WM_SYSCOMMAND, SC_PREVWINDOW, 0, window));
    EXPECT_TRUE(StillRunningAfter(WM_ACTIVATEAPP, TRUE, 0, window));
    EXPECT_TRUE(StillRunningAfter(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, PBTF_APMRESUMEFROMFAILURE, window));
    SendMessageA(window, WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_EQ(saver.WaitExit(), 0u);
    EXPECT_EQ(log.Text(), "F170\r\n");
}

struct CloseEvent {
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
};

class CloseOnEvent : public FullScreenSaver, public testing::WithParamInterface<CloseEvent> {};

TEST_P(CloseOnEvent, EndsTheSaver) {
    HWND window = Start("KORAVEL.scr /s");
    ASSERT_NE(window, nullptr);
    SendMessageA(window, GetParam().msg, GetParam().wParam, GetParam().lParam);
    EXPECT_EQ(saver.WaitExit(), 0u) << GetParam().msg << " " << GetParam().wParam;
}

INSTANTIATE_TEST_SUITE_P(
    PowerAndActivation, CloseOnEvent,
    testing::Values(CloseEvent{WM_POWERBROADCAST, PBT_APMQUERYSUSPEND, 0}, CloseEvent{WM_POWERBROADCAST, PBT_APMSUSPEND, 0},
                    CloseEvent{WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0},
                    CloseEvent{WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC, 0},
                    CloseEvent{WM_POWERBROADCAST, PBT_APMBATTERYLOW, 0}, CloseEvent{WM_POWER, PWR_CRITICALRESUME, 0},
                    CloseEvent{WM_SYSCOMMAND, SC_MONITORPOWER, 2}));

// ---------------------------------------------------------------------------
// The preview inside a window of this program.

class PreviewSwitch : public testing::TestWithParam<const char*> {};

TEST_P(PreviewSwitch, MakesAChildOfTheGivenWindowThatEndsWithIt) {
    HostWindow host;
    ASSERT_NE(host.window, nullptr);
    SaverProcess saver;
    std::string commandLine = std::string("KORAVEL.scr ") + GetParam() + host.Handle();
    ASSERT_TRUE(saver.Start(ScrPath(), commandLine));
    HWND child = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        child = FindWindowExA(host.window, nullptr, kSaverClass, nullptr);
        return child != nullptr && IsWindowVisible(child);
    })) << commandLine;
    EXPECT_EQ(WindowText(child), "Preview");
    RECT parentClient, childRect;
    GetClientRect(host.window, &parentClient);
    GetClientRect(child, &childRect);
    EXPECT_EQ(childRect.right, parentClient.right);
    EXPECT_EQ(childRect.bottom, parentClient.bottom);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)) & 0xFF000000u, 0x52000000u);
    // Input never closes a preview.
    PostMessageA(child, WM_KEYDOWN, 'A', 0);
    PostMessageA(child, WM_LBUTTONDOWN, 0, 0);
    PumpUntil([] { return false; }, 250);
    EXPECT_TRUE(saver.Running());
    DestroyWindow(host.window);
    EXPECT_EQ(saver.WaitExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Forms, PreviewSwitch, testing::Values("/p ", "/p", "/l ", "-P  "));

// ---------------------------------------------------------------------------
// The configuration dialog: its owner follows the command line.

class ConfigSwitch : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(HasConfigDialog(ScrPath())) << "KORAVEL.scr carries no dialog 2003";
        settingsPath = MachineSettingsPath();
        savedSettings = ReadText(settingsPath);
        userPath = UserSettingsFile();
        DeleteFileW(userPath.c_str());
        // The first save makes the folder too.
        RemoveDirectoryW(userPath.substr(0, userPath.find_last_of(L'\\')).c_str());
    }
    void TearDown() override {
        WriteText(settingsPath, savedSettings);
        DeleteFileW(userPath.c_str());
    }

    // Starts the saver, waits for its dialog, reads the dialog's owner and
    // ends the dialog with `button`; the exit code is the dialog's result.
    HWND OwnerOfDialog(const std::string& commandLine, WPARAM button = IDCANCEL, DWORD result = 0) {
        SaverProcess saver;
        if (!saver.Start(ScrPath(), commandLine)) return reinterpret_cast<HWND>(-1);
        HWND dialog = WaitForWindowOf(saver.ProcessId(), "#32770");
        if (dialog == nullptr) return reinterpret_cast<HWND>(-1);
        HWND owner = GetWindow(dialog, GW_OWNER);
        PostMessageA(dialog, WM_COMMAND, button, 0);
        EXPECT_EQ(saver.WaitExit(), result) << commandLine;
        return owner;
    }

    std::string settingsPath;  // the machine's
    std::string savedSettings;
    std::wstring userPath;
};

// The first OK makes the user's own file from the machine's, which stays
// byte for byte; later saves keep to the user's file.
TEST_F(ConfigSwitch, OkWritesEverySettingToTheUsersFileAndEndsWithOneCancelWritesNothing) {
    const std::string before = "[KORAVEL]\r\nTIMER=100\r\n[MOJI ZAHYO]\r\nZAHYO1=BOX,3\r\n";
    WriteText(settingsPath, before);
    OwnerOfDialog("KORAVEL.scr /c", IDCANCEL, 0);
    EXPECT_EQ(ReadText(settingsPath), before) << "Cancel leaves the file as it was";
    EXPECT_EQ(GetFileAttributesW(userPath.c_str()), INVALID_FILE_ATTRIBUTES) << "Cancel makes no file";

    OwnerOfDialog("KORAVEL.scr /c", IDOK, 1);
    EXPECT_EQ(ReadText(settingsPath), before) << "the machine's file is never written";
    const std::string after = ReadText(userPath);
    EXPECT_NE(after.find("TIMER=100"), std::string::npos) << after;
    EXPECT_NE(after.find("OPTIONA1=22"), std::string::npos) << after;
    EXPECT_NE(after.find("KAITEN=0"), std::string::npos) << after;
    EXPECT_NE(after.find("ZAHYO1=BOX,3"), std::string::npos) << after;
    EXPECT_EQ(CountLines(after), 2 + 53 + 1) << after;

    WriteText(settingsPath, "[KORAVEL]\r\nTIMER=200\r\n");
    OwnerOfDialog("KORAVEL.scr /c", IDOK, 1);
    EXPECT_EQ(ReadText(userPath), after) << "the user's file is read and kept";
}

TEST_F(ConfigSwitch, NoSwitchOpensTheDialogWithoutOwner) {
    EXPECT_EQ(OwnerOfDialog("KORAVEL.scr"), nullptr);
}

TEST_F(ConfigSwitch, ColonHandleOwnsTheDialogOtherwiseTheForegroundWindow) {
    HostWindow host;
    SetForegroundWindow(host.window);
    HostWindow named;
    EXPECT_EQ(OwnerOfDialog("KORAVEL.scr /c:" + named.Handle()), named.window);
    SetForegroundWindow(host.window);
    EXPECT_EQ(OwnerOfDialog("KORAVEL.scr /c " + named.Handle()), GetForegroundWindow());
}

// ---------------------------------------------------------------------------
// Windows 9x: password protection with the stand-in PASSWORD.CPL, the
// autoplay answer and the password change with the stand-in MPR.DLL.

class Windows9x : public testing::Test {
protected:
    static constexpr char kProgramName[] = "KORAVEL9X.scr";

    void SetUp() override {
        folder = WindowsPath(KORAVEL_DOUBLES_DIR);
        program = folder + "\\" + kProgramName;
        ASSERT_TRUE(CopyFileA(ScrPath().c_str(), program.c_str(), FALSE));
        HKEY key;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\KORAVEL9X.scr", 0, nullptr, 0,
                                  KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>("win98"), 6);
        RegCloseKey(key);
        // The stand-in MPR.DLL beside the program comes before Wine's own.
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\KORAVEL9X.scr\\DllOverrides", 0,
                                  nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
        RegCloseKey(key);
        SetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_DIR", folder.c_str());
        DeleteFileA((folder + "\\verify.log").c_str());
        DeleteFileA((folder + "\\change.log").c_str());
        SetAnswer('0');
        SetProtection(1);
    }

    void TearDown() override {
        SetProtection(0);
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\KORAVEL9X.scr\\DllOverrides");
        RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\KORAVEL9X.scr");
        SetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_DIR", nullptr);
        SetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_FILTER", nullptr);
        DeleteFileA(program.c_str());
    }

    void SetAnswer(char answer) { WriteText(folder + "\\answer.txt", std::string(1, answer)); }

    static void SetProtection(DWORD on) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            return;
        }
        RegSetValueExA(key, "ScreenSaveUsePassword", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&on), sizeof on);
        RegCloseKey(key);
    }

    int VerifyCalls() const { return CountLines(ReadText(folder + "\\verify.log")); }

    bool WaitForVerifyCalls(int count) {
        return PumpUntil([&] { return VerifyCalls() >= count; });
    }

    HWND Start(const std::string& args) {
        if (!saver.Start(program, std::string(kProgramName) + " " + args)) return nullptr;
        return WaitForWindowOf(saver.ProcessId(), kSaverClass);
    }

    std::string folder;
    std::string program;
    SaverProcess saver;
};

TEST_F(Windows9x, RefusedPasswordKeepsTheSaverAcceptedOneClosesIt) {
    HWND window = Start("/s");
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    ASSERT_TRUE(WaitForVerifyCalls(1));
    EXPECT_EQ(ReadText(folder + "\\verify.log"), "verify WindowsScreenSaverClass\r\n");
    Sleep(300);
    EXPECT_TRUE(saver.Running());
    SetAnswer('1');
    PostMessageA(window, WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
    EXPECT_EQ(VerifyCalls(), 2);
}

// The stand-in asks for a close again as its dialog ends: that close comes
// within the pause and shows no dialog. Closes after the pause show it again;
// the stand-in logs how long after the first dialog the second came.
TEST_F(Windows9x, ACloseWithinTwoHundredMillisecondsOfTheDialogShowsNoSecond) {
    HWND window = Start("/s");
    ASSERT_NE(window, nullptr);
    SetAnswer('c');
    PostMessageA(window, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitForVerifyCalls(1));
    SetAnswer('0');
    ASSERT_TRUE(PumpUntil([&] {
        PostMessageA(window, WM_CLOSE, 0, 0);
        return PumpUntil([&] { return VerifyCalls() >= 2; }, 50);
    }));
    const std::string log = ReadText(folder + "\\verify.log");
    const std::string second = "verify WindowsScreenSaverClass after ";
    const size_t at = log.find(second);
    ASSERT_NE(at, std::string::npos) << log;
    EXPECT_GE(std::stoul(log.substr(at + second.size())), 200u) << log;
    EXPECT_TRUE(saver.Running());
}

TEST_F(Windows9x, TheSystemKnowsASaverRunsWhileProtected) {
    HWND window = Start("/s");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SystemSaverRunning(), 1u);
    SetAnswer('1');
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
    EXPECT_EQ(SystemSaverRunning(), 0u);
}

TEST_F(Windows9x, AutoplayIsCancelledUnderPasswordAndTheSaverCloses) {
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    HWND window = Start("/s");
    ASSERT_NE(window, nullptr);
    SetAnswer('1');
    EXPECT_EQ(SendMessageA(window, autoPlay, 0, 0), 1);
    EXPECT_EQ(saver.WaitExit(), 0u);
}

TEST_F(Windows9x, WithoutProtectionAutoplayGoesOnAndAnyCloseGoesAhead) {
    SetProtection(0);
    const UINT autoPlay = RegisterWindowMessageA("QueryCancelAutoPlay");
    HWND window = Start("/s");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageA(window, autoPlay, 0, 0), 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
    EXPECT_EQ(VerifyCalls(), 0);
}

TEST_F(Windows9x, WithoutPasswordCplAnyCloseGoesAhead) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const std::string bare = std::string(temp) + kProgramName;
    ASSERT_TRUE(CopyFileA(ScrPath().c_str(), bare.c_str(), FALSE));
    ASSERT_TRUE(saver.Start(bare, std::string(kProgramName) + " /s"));
    HWND window = WaitForWindowOf(saver.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    PostMessageA(window, WM_KEYDOWN, 'A', 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
    EXPECT_EQ(VerifyCalls(), 0);
    DeleteFileA(bare.c_str());
}

TEST_F(Windows9x, PasswordChangeGetsItsParentOrTheForegroundWindow) {
    HostWindow parent;
    ASSERT_TRUE(saver.Start(program, std::string(kProgramName) + " /a " + parent.Handle()));
    EXPECT_EQ(saver.WaitExit(), 0u);
    SetForegroundWindow(parent.window);
    const HWND foreground = GetForegroundWindow();
    SaverProcess second;
    ASSERT_TRUE(second.Start(program, std::string(kProgramName) + " /a"));
    EXPECT_EQ(second.WaitExit(), 0u);
    EXPECT_EQ(ReadText(folder + "\\change.log"),
              "SCRSAVE " + parent.Handle() + " 0 0\r\n" + "SCRSAVE " +
                  std::to_string(reinterpret_cast<ULONG_PTR>(foreground)) + " 0 0\r\n");
}

// ---------------------------------------------------------------------------
// High DPI: the system's DPI is read when a program starts, so each case
// sets it and then starts the real program.

class HighDpi : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_READ | KEY_WRITE,
                                  nullptr, &desktopKey, nullptr),
                  ERROR_SUCCESS);
        DWORD size = sizeof savedDpi;
        hadDpi = RegQueryValueExA(desktopKey, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&savedDpi),
                                  &size) == ERROR_SUCCESS;
    }
    void TearDown() override {
        if (hadDpi) {
            SetDpi(savedDpi);
        } else {
            RegDeleteValueA(desktopKey, "LogPixels");
        }
        RegCloseKey(desktopKey);
    }
    void SetDpi(DWORD dpi) {
        RegSetValueExA(desktopKey, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
    }

    // Opens the settings dialog at `dpi`, measures it, and cancels it.
    struct DialogLayout {
        RECT client = {};
        int controls = 0;
        int controlsOutside = 0;
    };
    DialogLayout MeasureDialog(DWORD dpi) {
        SetDpi(dpi);
        DialogLayout layout;
        SaverProcess saver;
        if (!saver.Start(ScrPath(), "KORAVEL.scr /c")) return layout;
        HWND dialog = WaitForWindowOf(saver.ProcessId(), "#32770");
        if (dialog == nullptr) return layout;
        GetClientRect(dialog, &layout.client);
        for (HWND control = GetWindow(dialog, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
            RECT rect;
            GetWindowRect(control, &rect);
            MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
            ++layout.controls;
            if (rect.left < 0 || rect.top < 0 || rect.right > layout.client.right ||
                rect.bottom > layout.client.bottom) {
                ++layout.controlsOutside;
            }
        }
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_EQ(saver.WaitExit(), 0u);
        return layout;
    }

    HKEY desktopKey = nullptr;
    DWORD savedDpi = 96;
    bool hadDpi = false;
};

TEST_F(HighDpi, TheSaverCoversTheScreenInPhysicalPixels) {
    SetDpi(192);
    SaverProcess saver;
    ASSERT_TRUE(saver.Start(ScrPath(), "KORAVEL.scr /s"));
    HWND window = WaitForWindowOf(saver.ProcessId(), kSaverClass);
    ASSERT_NE(window, nullptr);
    // This program started at 96 DPI: its metrics are the screen's pixels.
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(client.bottom, GetSystemMetrics(SM_CYVIRTUALSCREEN));
    PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(saver.WaitExit(), 0u);
}

TEST_F(HighDpi, TheDialogGrowsWithTheDpiAndKeepsEveryControlInside) {
    const DialogLayout normal = MeasureDialog(96);
    const DialogLayout high = MeasureDialog(192);
    ASSERT_EQ(normal.controls, 121);
    ASSERT_EQ(high.controls, 121);
    EXPECT_EQ(normal.controlsOutside, 0);
    EXPECT_EQ(high.controlsOutside, 0);
    // Dialog units follow the font, which follows the DPI: readable, not tiny.
    EXPECT_GE(high.client.right * 2, normal.client.right * 3) << normal.client.right << " pixels wide at 96 DPI, "
                                                              << high.client.right << " at 192";
}

// ---------------------------------------------------------------------------
// The fault guard, through a test build that can fault on purpose.

TEST(FaultGuard, AnEscapedFaultEndsTheProcessWithMinusOne) {
    const std::string probe = WindowsPath(KORAVEL_FAULT_PROBE_PATH);
    for (const char* where : {"mode", "loop"}) {
        SaverProcess process;
        ASSERT_TRUE(process.Start(probe, std::string("probe ") + where));
        EXPECT_EQ(process.WaitExit(), kExitUnusable) << where;
    }
}

TEST(FaultGuard, OnWindows9xTheSystemNoLongerBelievesASaverRuns) {
    const std::string probe = WindowsPath(KORAVEL_FAULT_PROBE_PATH);
    for (const char* where : {"mode", "loop"}) {
        SaverProcess process;
        ASSERT_TRUE(process.Start(probe, std::string("probe win9x ") + where));
        EXPECT_EQ(process.WaitExit(), kExitUnusable) << where;
        EXPECT_EQ(SystemSaverRunning(), 0u) << where;
    }
}

// The stand-ins set a fault filter of their own when loaded; the guard must
// still end the process with -1 and take back the running-saver state.
TEST_F(Windows9x, AFaultFilterOfAPasswordComponentDoesNotDisplaceTheGuard) {
    const std::string probe = folder + "\\KORAVELPROBE.exe";
    ASSERT_TRUE(CopyFileA(WindowsPath(KORAVEL_FAULT_PROBE_PATH).c_str(), probe.c_str(), FALSE));
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\KORAVELPROBE.exe\\DllOverrides", 0,
                              nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, "mpr", 0, REG_SZ, reinterpret_cast<const BYTE*>("native,builtin"), 15);
    RegCloseKey(key);
    SetEnvironmentVariableA("KORAVEL_TEST_PASSWORD_FILTER", "1");
    for (const char* args : {"password mode", "password loop", "change mode"}) {
        SaverProcess process;
        ASSERT_TRUE(process.Start(probe, std::string("probe win9x ") + args));
        EXPECT_EQ(process.WaitExit(), kExitUnusable) << args;
        EXPECT_EQ(SystemSaverRunning(), 0u) << args;
    }
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\KORAVELPROBE.exe\\DllOverrides");
    RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\KORAVELPROBE.exe");
    DeleteFileA(probe.c_str());
}

}  // namespace
