// The rules that turn input, activation and power events into a request to
// close the saver, as functions of their inputs. DefSaverWindowProc
// (host/win32) applies them with the real platform calls.
#pragma once

#include <cstdint>

// Message and command numbers the rules look at, with the values the
// platform gives them (WM_KEYDOWN and so on). Named apart from the
// platform's own macros so this header stays free of <windows.h>.
namespace saverinput {
inline constexpr std::uint32_t kActivateApp = 0x001C;     // WM_ACTIVATEAPP
inline constexpr std::uint32_t kShowWindow = 0x0018;      // WM_SHOWWINDOW
inline constexpr std::uint32_t kSetCursor = 0x0020;       // WM_SETCURSOR
inline constexpr std::uint32_t kPower = 0x0048;           // WM_POWER
inline constexpr std::uint32_t kKeyDown = 0x0100;         // WM_KEYDOWN
inline constexpr std::uint32_t kSysKeyDown = 0x0104;      // WM_SYSKEYDOWN
inline constexpr std::uint32_t kSysCommand = 0x0112;      // WM_SYSCOMMAND
inline constexpr std::uint32_t kMouseMove = 0x0200;       // WM_MOUSEMOVE
inline constexpr std::uint32_t kLeftButtonDown = 0x0201;  // WM_LBUTTONDOWN
inline constexpr std::uint32_t kRightButtonDown = 0x0204; // WM_RBUTTONDOWN
inline constexpr std::uint32_t kMiddleButtonDown = 0x0207;// WM_MBUTTONDOWN
inline constexpr std::uint32_t kPowerBroadcast = 0x0218;  // WM_POWERBROADCAST

inline constexpr std::uintptr_t kCriticalResume = 3;         // PWR_CRITICALRESUME
inline constexpr std::uintptr_t kPowerStatusChange = 10;     // PBT_APMPOWERSTATUSCHANGE
inline constexpr std::intptr_t kResumeFromFailure = 1;       // PBTF_APMRESUMEFROMFAILURE

inline constexpr std::uintptr_t kNextWindow = 0xF040;    // SC_NEXTWINDOW
inline constexpr std::uintptr_t kPrevWindow = 0xF050;    // SC_PREVWINDOW
inline constexpr std::uintptr_t kScreenSave = 0xF140;    // SC_SCREENSAVE
inline constexpr std::uintptr_t kMonitorPower = 0xF170;  // SC_MONITORPOWER
}  // namespace saverinput

// What the saver does with a message while it watches for the user.
enum class InputRule {
    None,                 // nothing; the message goes on to the default processing
    Close,                // post WM_CLOSE to the saver window
    MeasureMouseTravel,   // close when the cursor travelled beyond the threshold
    CheckMainsStatus,     // close when the AC-line status changed
    HideCursor,           // hide the cursor, then the default processing
    HideCursorAndAnswer,  // hide the cursor and answer 1 at once
};

// The rule for `message` with its parameters. Key presses and mouse buttons
// close; activation lost closes; a critical resume closes; every power
// broadcast closes except a resume from a failed suspend and a power-status
// change that leaves the mains as it was.
InputRule InputRuleFor(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

struct CursorPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};

// True when the cursor is further than `threshold` pixels from `origin`,
// measured as horizontal plus vertical distance.
bool MouseTravelCloses(CursorPoint origin, CursorPoint now, std::uint32_t threshold);

// `lastCheckEnd` when no password dialog has run yet.
inline constexpr std::uint32_t kNoCheckYet = 0xFFFFFFFFu;

// True when a close request comes less than 200 ms after the previous
// password dialog ended (the key or click that dismissed it, queued input):
// it is refused without showing the dialog again. Ticks wrap.
bool InCheckPause(std::uint32_t lastCheckEnd, std::uint32_t now);

// What the host filter does with a WM_SYSCOMMAND of the full-screen saver;
// a preview forwards every command. The whole wParam is compared.
enum class SysCommandRule {
    Forward,          // hand on to the application
    Refuse,           // answer 0: no task switch, no second saver start
    CloseAndForward,  // the monitor powers down: close, then hand on
};
SysCommandRule SysCommandRuleFor(std::uintptr_t command, bool isPreview);
