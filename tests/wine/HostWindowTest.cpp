// The saver window's three layers of message handling, run in this process:
// a saver window of the real class procedure, messages sent to it, and the
// close requests it posts read back from the queue.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/win32/SaverEntry.h"
#include "host/win32/SaverHostState.h"
#include "host/win32/SaverWindow.h"
#include "render/win32/DesktopCopy.h"
#include "render/win32/GdiSurface.h"
#include "scene/SceneRecords.h"
#include "settings/Settings.h"

namespace {

constexpr char kClassName[] = "WindowsScreenSaverClass";

// The password dialog stand-in: answers as told and counts its calls.
int verifyCalls = 0;
BOOL verifyAnswer = FALSE;
HWND verifyWindow = nullptr;
int closeGrantedSeenByVerifier = -1;
int checkInProgressSeenByVerifier = -1;

BOOL WINAPI FakeVerifyScreenSavePwd(HWND window) {
    ++verifyCalls;
    verifyWindow = window;
    closeGrantedSeenByVerifier = saverHostState.closeGranted;
    checkInProgressSeenByVerifier = saverHostState.checkInProgress;
    return verifyAnswer;
}

// Every message the preview's parent receives is recorded here.
UINT parentMessage = 0;
WPARAM parentWParam = 0;
LPARAM parentLParam = 0;

LRESULT CALLBACK ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_HELP || msg == WM_CONTEXTMENU) {
        parentMessage = msg;
        parentWParam = wParam;
        parentLParam = lParam;
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void WriteSetting(const char* key, const char* value) {
    WritePrivateProfileStringA("KORAVEL", key, value, "KORAVEL.ini");
}

// Points this program's import of a user32 function at a stand-in while the
// object lives, so the saver's own code calls the stand-in.
class ImportReplacement {
public:
    ImportReplacement(const char* name, void* replacement) : slot_(FindImport(name)) {
        if (slot_ == nullptr) return;
        original_ = *slot_;
        Write(replacement);
    }
    ~ImportReplacement() {
        if (slot_ != nullptr) Write(original_);
    }
    ImportReplacement(const ImportReplacement&) = delete;
    ImportReplacement& operator=(const ImportReplacement&) = delete;
    bool Active() const { return slot_ != nullptr; }

private:
    static void** FindImport(const char* name) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* headers = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* library = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); library->Name;
             ++library) {
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
                base + (library->OriginalFirstThunk ? library->OriginalFirstThunk : library->FirstThunk));
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + library->FirstThunk);
            for (; names->u1.AddressOfData != 0; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (lstrcmpA(reinterpret_cast<const char*>(byName->Name), name) == 0)
                    return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    void Write(void* value) {
        DWORD protection = 0;
        VirtualProtect(slot_, sizeof *slot_, PAGE_READWRITE, &protection);
        *slot_ = value;
        VirtualProtect(slot_, sizeof *slot_, protection, &protection);
    }

    void** slot_;
    void* original_ = nullptr;
};

// The cursor cannot be read (another desktop takes the input): the call
// fails and what it leaves in the point means nothing.
BOOL WINAPI UnreadableCursorPos(POINT* point) {
    point->x = 20000;
    point->y = -20000;
    return FALSE;
}

// The mains status the system reports; a reading that fails is 0xFF.
BYTE reportedAcLine = 1;

BOOL WINAPI ReportedPowerStatus(SYSTEM_POWER_STATUS* status) {
    *status = SYSTEM_POWER_STATUS{};
    status->ACLineStatus = reportedAcLine;
    return TRUE;
}

// The system commands that reach the platform's default processing; they
// are answered 0 there and carried out nowhere.
std::vector<WPARAM> defaultSysCommands;

LRESULT WINAPI RecordingDefWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND) {
        defaultSysCommands.push_back(wParam);
        return 0;
    }
    static const auto platform = reinterpret_cast<WNDPROC>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "DefWindowProcA")));
    return platform(hwnd, msg, wParam, lParam);
}

// One timer tick is fetched, then the fetch fails.
int messageFetches = 0;

BOOL WINAPI TickThenFailedFetch(MSG* message, HWND, UINT, UINT) {
    if (messageFetches++ > 0) return -1;
    *message = MSG{};
    message->message = WM_TIMER;
    message->wParam = 100;
    return TRUE;
}

// A virtual screen that begins left of and above the primary monitor, as
// with a second monitor there; every other metric is the system's.
int WINAPI LeftAndAboveMetrics(int index) {
    switch (index) {
    case SM_XVIRTUALSCREEN: return -1280;
    case SM_YVIRTUALSCREEN: return -200;
    case SM_CXVIRTUALSCREEN: return 2304;
    case SM_CYVIRTUALSCREEN: return 968;
    default: break;
    }
    static const auto platform = reinterpret_cast<int(WINAPI*)(int)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetrics")));
    return platform(index);
}

// Where each transfer read its source from.
std::vector<POINT> transferSources;

BOOL WINAPI RecordingBitBlt(HDC to, int x, int y, int width, int height, HDC from, int fromX, int fromY, DWORD rop) {
    transferSources.push_back(POINT{fromX, fromY});
    static const auto platform = reinterpret_cast<decltype(&BitBlt)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdi32.dll"), "BitBlt")));
    return platform(to, x, y, width, height, from, fromX, fromY, rop);
}

// The message loop ends before its first message.
BOOL WINAPI QuitAtOnce(MSG* message, HWND, UINT, UINT) {
    *message = MSG{};
    return FALSE;
}

class SaverWindowTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        WNDCLASSA saverClass = {};
        saverClass.lpfnWndProc = SaverHostWindowProc;
        saverClass.hInstance = GetModuleHandleA(nullptr);
        saverClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        saverClass.lpszClassName = kClassName;
        RegisterClassA(&saverClass);
        WNDCLASSA parentClass = {};
        parentClass.lpfnWndProc = ParentProc;
        parentClass.hInstance = GetModuleHandleA(nullptr);
        parentClass.lpszClassName = "KoravelTestParent";
        RegisterClassA(&parentClass);
    }

    void SetUp() override {
        saverHostState = SaverHostState{};
        saverHostState.instance = GetModuleHandleA(nullptr);
        verifyCalls = 0;
        verifyAnswer = FALSE;
        verifyWindow = nullptr;
        // A black background and no trails unless a test says otherwise.
        WriteSetting("BKMODE", "1");
        WriteSetting("ZANZOU", "0");
        WriteSetting("TIMER", "55");
        DrainQueue();
    }

    void TearDown() override {
        if (window != nullptr && IsWindow(window)) DestroyWindow(window);
        if (parent != nullptr && IsWindow(parent)) DestroyWindow(parent);
        DrainQueue();
        WritePrivateProfileStringA("KORAVEL", nullptr, nullptr, "KORAVEL.ini");
    }

    // The window is created hidden, so activation changes of the test
    // program never reach it.
    HWND CreateFullScreenSaver() {
        window = CreateWindowExA(0, kClassName, "Screen Saver", WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                 160, 120, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        return window;
    }

    HWND CreatePreview() {
        parent = CreateWindowExA(0, "KoravelTestParent", "parent", WS_POPUP, 0, 0, 152, 112, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        saverHostState.isPreview = 1;
        window = CreateWindowExA(0, kClassName, "Preview", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 152, 112,
                                 parent, nullptr, GetModuleHandleA(nullptr), nullptr);
        return window;
    }

    // Removes every queued message without dispatching it; true when a
    // close request for the saver window was among them.
    bool TakeCloseRequest() {
        bool found = false;
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_CLOSE && message.hwnd == window) found = true;
        }
        return found;
    }

    static void DrainQueue() {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
    }

    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) { return SendMessageA(window, msg, wParam, lParam); }

    void MoveCursorTo(int x, int y) {
        SetCursorPos(x, y);
        Send(WM_MOUSEMOVE, 0, 0);
    }

    HWND window = nullptr;
    HWND parent = nullptr;
};

TEST_F(SaverWindowTest, CreationLoadsSettingsSizesTheSceneAndStartsTimer100) {
    WriteSetting("TIMER", "70");
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(settings.TIMER, 70);
    EXPECT_EQ(sceneState.clientWidth, 160);
    EXPECT_EQ(sceneState.clientHeight, 120);
    EXPECT_NE(frameTimer, 0);
    // Timer 100 exists: killing it succeeds once, and destruction kills it.
    EXPECT_TRUE(KillTimer(window, 100));
    EXPECT_FALSE(KillTimer(window, 100));
}

// A kept text is what the slots show, its time codes counted from
// KORAVEL_CLOCK's start: the clock's slots hold the glyphs of that time
// written out, and timer ticks move them on with the seconds.
TEST_F(SaverWindowTest, AKeptTextShowsItsClockAndFollowsTheSeconds) {
    WriteSetting("FONT", "DejaVu Sans");
    WriteSetting("TEXT", "12:34:56");
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    ASSERT_EQ(settings.OPTIONN, 8);
    ShownGlyph written[kMaxSlots + 1];
    for (int k = 1; k <= 8; ++k) written[k] = characterSlots[k].glyph;
    DestroyWindow(window);
    SetEnvironmentVariableA("KORAVEL_CLOCK", "2026-12-09 12:34:56");
    WriteSetting("TEXT", "%H:%M:%S");
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    SetEnvironmentVariableA("KORAVEL_CLOCK", nullptr);
    ASSERT_EQ(settings.OPTIONN, 8);
    for (int k = 1; k <= 8; ++k) EXPECT_EQ(std::memcmp(&written[k], &characterSlots[k].glyph, sizeof written[k]), 0) << k;
    const DWORD start = GetTickCount();
    bool moved = false;
    while (!moved && GetTickCount() - start < 60000) {
        Send(WM_TIMER, 100);
        moved = std::memcmp(&written[8], &characterSlots[8].glyph, sizeof written[8]) != 0;
        if (!moved) Sleep(20);
    }
    EXPECT_TRUE(moved) << "the seconds did not move on";
    EXPECT_EQ(std::memcmp(&written[1], &characterSlots[1].glyph, sizeof written[1]), 0);
}

TEST_F(SaverWindowTest, CreationDetachesTheInputMethodWhereItIsLoaded) {
    HMODULE imm = GetModuleHandleA("IMM32.DLL");
    if (imm == nullptr) GTEST_SKIP() << "IMM32.DLL is not loaded in this process";
    using GetContextFunction = HIMC(WINAPI*)(HWND);
    using ReleaseContextFunction = BOOL(WINAPI*)(HWND, HIMC);
    auto getContext = reinterpret_cast<GetContextFunction>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmGetContext")));
    auto releaseContext =
        reinterpret_cast<ReleaseContextFunction>(reinterpret_cast<void*>(GetProcAddress(imm, "ImmReleaseContext")));
    ASSERT_NE(getContext, nullptr);
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(saverHostState.imeModule, imm);
    EXPECT_NE(saverHostState.associateContext, nullptr);
    EXPECT_NE(saverHostState.savedInputContext, nullptr);
    HIMC context = getContext(window);
    EXPECT_EQ(context, nullptr) << "the saver window still has an input context";
    if (context != nullptr) releaseContext(window, context);
}

TEST_F(SaverWindowTest, DestructionPostsTheQuitMessage) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    DestroyWindow(window);
    MSG message;
    ASSERT_TRUE(PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(message.wParam, 0u);
}

TEST_F(SaverWindowTest, DesktopCopyExistsOnlyForTheDesktopBackgroundWithoutTrails) {
    WriteSetting("BKMODE", "0");
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_NE(desktopCopyDC, nullptr);
    EXPECT_NE(desktopCopyBitmap, nullptr);
    BITMAP copy = {};
    ASSERT_NE(GetObjectA(desktopCopyBitmap, sizeof copy, &copy), 0);
    EXPECT_EQ(copy.bmWidth, 160);
    EXPECT_EQ(copy.bmHeight, 120);
    DestroyWindow(window);
    EXPECT_EQ(desktopCopyDC, nullptr);
    EXPECT_EQ(desktopCopyBitmap, nullptr);

    WriteSetting("ZANZOU", "1");
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(desktopCopyDC, nullptr);
    DestroyWindow(window);

    WriteSetting("BKMODE", "1");
    WriteSetting("ZANZOU", "0");
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(desktopCopyDC, nullptr);
}

// Erasing into a memory bitmap filled white: black where the black
// background is chosen, untouched otherwise; 0 is returned either way.
COLORREF PixelAfterErase(HWND window) {
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 200);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(memory, bitmap);
    RECT all = {0, 0, 200, 200};
    FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    const LRESULT result = SendMessageA(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory), 0);
    EXPECT_EQ(result, 0);
    const COLORREF inside = GetPixel(memory, 159, 119);
    EXPECT_EQ(GetPixel(memory, 170, 130), RGB(255, 255, 255)) << "outside the client area";
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return inside;
}

TEST_F(SaverWindowTest, EraseIsBlackForTheBlackBackgroundAndNothingForTheDesktop) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(PixelAfterErase(window), RGB(0, 0, 0));
    DestroyWindow(window);
    WriteSetting("BKMODE", "0");
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(PixelAfterErase(window), RGB(255, 255, 255));
}

TEST_F(SaverWindowTest, TitleNeverChanges) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(SetWindowTextA(window, "Something else"), FALSE);
    char title[64] = {};
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Screen Saver");
}

TEST_F(SaverWindowTest, KeysAndButtonsRequestAClose) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    for (UINT msg : {WM_KEYDOWN, WM_SYSKEYDOWN, WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN}) {
        Send(msg);
        EXPECT_TRUE(TakeCloseRequest()) << msg;
    }
    Send(WM_KEYUP);
    Send(WM_LBUTTONUP);
    EXPECT_FALSE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, MouseTravelBeyondFourPixelsRequestsAClose) {
    SetCursorPos(300, 300);
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(saverHostState.mouseOrigin.x, 300);
    EXPECT_EQ(saverHostState.mouseOrigin.y, 300);
    MoveCursorTo(303, 301);
    EXPECT_FALSE(TakeCloseRequest()) << "4 px in total";
    MoveCursorTo(303, 302);
    EXPECT_TRUE(TakeCloseRequest()) << "5 px in total";
    EXPECT_EQ(saverHostState.mouseOrigin.x, 303);
    EXPECT_EQ(saverHostState.mouseOrigin.y, 302);
}

TEST_F(SaverWindowTest, SmallMovesInOneDirectionAddUpAndTheThirdCloses) {
    SetCursorPos(300, 300);
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    MoveCursorTo(302, 300);
    EXPECT_FALSE(TakeCloseRequest());
    MoveCursorTo(304, 300);
    EXPECT_FALSE(TakeCloseRequest());
    MoveCursorTo(306, 300);
    EXPECT_TRUE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, AMoveWhileTheCursorCannotBeReadIsNoTravel) {
    SetCursorPos(300, 300);
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    {
        ImportReplacement unreadable("GetCursorPos", reinterpret_cast<void*>(UnreadableCursorPos));
        ASSERT_TRUE(unreadable.Active());
        Send(WM_MOUSEMOVE, 0, 0);
    }
    EXPECT_FALSE(TakeCloseRequest());
    EXPECT_EQ(saverHostState.mouseOrigin.x, 300);
    EXPECT_EQ(saverHostState.mouseOrigin.y, 300);
    // Once it can be read again, travel is measured from the same origin.
    MoveCursorTo(303, 302);
    EXPECT_TRUE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, AnUnreadableCursorNeverBecomesTheOrigin) {
    saverHostState.mouseOrigin = POINT{300, 300};
    ImportReplacement unreadable("GetCursorPos", reinterpret_cast<void*>(UnreadableCursorPos));
    ASSERT_TRUE(unreadable.Active());
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(saverHostState.mouseOrigin.x, 300) << "at creation";
    EXPECT_EQ(saverHostState.mouseOrigin.y, 300) << "at creation";
    saverHostState.isWin9x = 1;
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_EQ(saverHostState.mouseOrigin.x, 300) << "after a refused password";
    EXPECT_EQ(saverHostState.mouseOrigin.y, 300) << "after a refused password";
}

TEST_F(SaverWindowTest, ActivationAndPowerEventsFollowTheirRules) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    Send(WM_ACTIVATEAPP, TRUE);
    EXPECT_FALSE(TakeCloseRequest());
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_TRUE(TakeCloseRequest());
    Send(WM_POWERBROADCAST, PBT_APMSUSPEND);
    EXPECT_TRUE(TakeCloseRequest());
    Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 1);
    EXPECT_FALSE(TakeCloseRequest());
    Send(WM_POWERBROADCAST, PBT_APMRESUMESUSPEND, 0);
    EXPECT_TRUE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, PowerStatusChangeClosesOnlyWhenTheMainsStatusChanged) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    ImportReplacement power("GetSystemPowerStatus", reinterpret_cast<void*>(ReportedPowerStatus));
    ASSERT_TRUE(power.Active());
    // The reading at start failed (0xFF): the first good reading is a change.
    ASSERT_EQ(saverHostState.acLineStatus, 0xFF);
    reportedAcLine = 1;
    Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    EXPECT_TRUE(TakeCloseRequest());
    EXPECT_EQ(saverHostState.acLineStatus, 1);
    Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    EXPECT_FALSE(TakeCloseRequest()) << "the mains as before";
    reportedAcLine = 0;
    Send(WM_POWERBROADCAST, PBT_APMPOWERSTATUSCHANGE);
    EXPECT_TRUE(TakeCloseRequest()) << "the mains pulled";
}

TEST_F(SaverWindowTest, SystemCommandsOfTheFullScreenSaver) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    ImportReplacement recording("DefWindowProcA", reinterpret_cast<void*>(RecordingDefWindowProc));
    ASSERT_TRUE(recording.Active());
    defaultSysCommands.clear();
    // Task switches and a second saver start are refused: the default
    // processing never sees them.
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_SCREENSAVE), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_NEXTWINDOW), 0);
    EXPECT_EQ(Send(WM_SYSCOMMAND, SC_PREVWINDOW), 0);
    EXPECT_FALSE(TakeCloseRequest());
    // The monitor's power-down closes and still goes on.
    Send(WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_TRUE(TakeCloseRequest());
    EXPECT_EQ(defaultSysCommands, std::vector<WPARAM>{SC_MONITORPOWER});
}

TEST_F(SaverWindowTest, CursorIsAnsweredHidden) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    EXPECT_EQ(Send(WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)), 1);
}

TEST_F(SaverWindowTest, PreviewNeverClosesOnInputAndHandsHelpToItsParent) {
    SetCursorPos(300, 300);
    ASSERT_NE(CreatePreview(), nullptr);
    Send(WM_KEYDOWN);
    Send(WM_LBUTTONDOWN);
    MoveCursorTo(340, 340);
    Send(WM_ACTIVATEAPP, FALSE);
    Send(WM_SYSCOMMAND, SC_MONITORPOWER, 2);
    EXPECT_FALSE(TakeCloseRequest());

    parentMessage = 0;
    EXPECT_EQ(Send(WM_CONTEXTMENU, 0x1234, 0x00500060), 1);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    EXPECT_EQ(parentMessage, static_cast<UINT>(WM_CONTEXTMENU));
    EXPECT_EQ(parentWParam, reinterpret_cast<WPARAM>(parent));
    EXPECT_EQ(parentLParam, 0x00500060);

    // A close request to a preview is never refused, even with a verifier.
    saverHostState.isWin9x = 1;
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(verifyCalls, 0);
}

TEST_F(SaverWindowTest, OnNtACloseGoesAheadAndTheVerifyRequestIsNotAnswered) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;  // ignored on NT
    EXPECT_EQ(Send(WM_APP), 0);
    EXPECT_EQ(verifyCalls, 0);
    Send(WM_CLOSE);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindowTest, RefusedPasswordKeepsTheSaverAndResetsTheOrigin) {
    SetCursorPos(300, 300);
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    saverHostState.isWin9x = 1;
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;
    SetCursorPos(320, 330);
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_EQ(verifyWindow, window);
    EXPECT_EQ(checkInProgressSeenByVerifier, 1);
    EXPECT_EQ(saverHostState.checkInProgress, 0);
    EXPECT_EQ(saverHostState.closeGranted, 0);
    EXPECT_NE(saverHostState.lastCheckEnd, 0xFFFFFFFFu);
    EXPECT_EQ(saverHostState.mouseOrigin.x, 320);
    EXPECT_EQ(saverHostState.mouseOrigin.y, 330);
    // Up to 4 px from the new origin do not close.
    MoveCursorTo(322, 332);
    EXPECT_FALSE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, AcceptedPasswordGrantsTheCloseAndStopsFrames) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    saverHostState.isWin9x = 1;
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;
    verifyAnswer = TRUE;
    Send(WM_CLOSE);
    EXPECT_EQ(verifyCalls, 1);
    EXPECT_EQ(closeGrantedSeenByVerifier, 0);
    EXPECT_EQ(saverHostState.closeGranted, 1);
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(SaverWindowTest, CloseRequestsSoonAfterADialogAreRefusedWithoutOne) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    saverHostState.isWin9x = 1;
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;
    saverHostState.lastCheckEnd = GetTickCount() - 150;
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(verifyCalls, 0) << "150 ms after the last dialog";
    saverHostState.lastCheckEnd = GetTickCount() - 250;
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(verifyCalls, 1) << "250 ms after the last dialog";
}

TEST_F(SaverWindowTest, WhileTheDialogIsUpInputIsIgnoredAndCloseRefused) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    saverHostState.isWin9x = 1;
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;
    saverHostState.checkInProgress = 1;
    Send(WM_KEYDOWN);
    Send(WM_ACTIVATEAPP, FALSE);
    EXPECT_FALSE(TakeCloseRequest());
    EXPECT_EQ(Send(WM_CLOSE), 0);
    EXPECT_EQ(verifyCalls, 0);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(SaverWindowTest, AutoplayQueryClosesAndIsCancelledOnlyUnderPassword) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    saverHostState.isWin9x = 1;
    saverHostState.autoPlayMessage = RegisterWindowMessageA("QueryCancelAutoPlay");
    ASSERT_NE(saverHostState.autoPlayMessage, 0u);
    EXPECT_EQ(Send(saverHostState.autoPlayMessage), 0);
    EXPECT_TRUE(TakeCloseRequest());
    saverHostState.verifyPassword = FakeVerifyScreenSavePwd;
    EXPECT_EQ(Send(saverHostState.autoPlayMessage), 1);
    EXPECT_TRUE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, OnceGrantedTimerTicksDrawNoFrameAndInputRequestsNoClose) {
    ASSERT_NE(CreateFullScreenSaver(), nullptr);
    // Every frame takes the window's device context, so the tally of made
    // objects shows whether a tick drew one.
    const long beforeTick = gdiTally.made;
    Send(WM_TIMER, 100);
    ASSERT_GT(gdiTally.made, beforeTick) << "a tick draws a frame while the saver watches";
    saverHostState.closeGranted = 1;
    const long granted = gdiTally.made;
    EXPECT_EQ(Send(WM_TIMER, 100), 0);
    EXPECT_EQ(gdiTally.made, granted);
    Send(WM_KEYDOWN);
    Send(WM_LBUTTONDOWN);
    EXPECT_FALSE(TakeCloseRequest());
}

TEST_F(SaverWindowTest, TheWholeVirtualScreenIsCoveredAndTheDesktopCopiedFromItsCorner) {
    WriteSetting("BKMODE", "0");
    // The saver registers its own class, as it does when it starts.
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
    transferSources.clear();
    {
        ImportReplacement metrics("GetSystemMetrics", reinterpret_cast<void*>(LeftAndAboveMetrics));
        ImportReplacement transfers("BitBlt", reinterpret_cast<void*>(RecordingBitBlt));
        ImportReplacement loop("GetMessageA", reinterpret_cast<void*>(QuitAtOnce));
        ASSERT_TRUE(metrics.Active() && transfers.Active() && loop.Active());
        EXPECT_EQ(RunSaverWindow(nullptr), 0);
    }
    window = saverHostState.saverWindow;
    ASSERT_NE(window, nullptr);
    RECT placed = {};
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, -1280);
    EXPECT_EQ(placed.top, -200);
    EXPECT_EQ(placed.right - placed.left, 2304);
    ASSERT_FALSE(transferSources.empty()) << "no desktop copy was taken";
    EXPECT_EQ(transferSources.front().x, -1280);
    EXPECT_EQ(transferSources.front().y, -200);
    DestroyWindow(window);
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
    SetUpTestSuite();
}

TEST(SaverMessageLoop, AFailedFetchEndsTheLoopWithMinusOne) {
    ImportReplacement failing("GetMessageA", reinterpret_cast<void*>(TickThenFailedFetch));
    ASSERT_TRUE(failing.Active());
    messageFetches = 0;
    EXPECT_EQ(RunSaverMessageLoop(), -1);
    EXPECT_EQ(messageFetches, 2);
}

}  // namespace
