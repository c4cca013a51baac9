#include "host/CloseRules.h"

#include <cstdlib>

using namespace saverinput;

namespace {

// Power broadcast events (wParam of WM_POWERBROADCAST) and whether they close.
InputRule PowerBroadcastRule(std::uintptr_t event, std::intptr_t lParam) {
    constexpr std::uintptr_t kResumeCritical = 6;    // PBT_APMRESUMECRITICAL
    constexpr std::uintptr_t kResumeStandby = 8;     // PBT_APMRESUMESTANDBY
    constexpr std::uintptr_t kResumeAutomatic = 18;  // PBT_APMRESUMEAUTOMATIC
    // The suspend and standby queries and announcements (0..5) and every
    // event without a rule of its own (battery low, OEM events, unknown
    // values) close. Resumes close unless the suspend itself had failed.
    if ((event >= kResumeCritical && event <= kResumeStandby) || event == kResumeAutomatic) {
        return (lParam & kResumeFromFailure) != 0 ? InputRule::None : InputRule::Close;
    }
    if (event == kPowerStatusChange) return InputRule::CheckMainsStatus;
    return InputRule::Close;
}

}  // namespace

InputRule InputRuleFor(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    switch (message) {
    case kKeyDown:
    case kSysKeyDown:
    case kLeftButtonDown:
    case kRightButtonDown:
    case kMiddleButtonDown:
        return InputRule::Close;
    case kMouseMove:
        return InputRule::MeasureMouseTravel;
    case kActivateApp:
        return wParam == 0 ? InputRule::Close : InputRule::None;
    case kPower:
        return wParam == kCriticalResume ? InputRule::Close : InputRule::None;
    case kPowerBroadcast:
        return PowerBroadcastRule(wParam, lParam);
    case kShowWindow:
        return wParam != 0 ? InputRule::HideCursor : InputRule::None;
    case kSetCursor:
        return InputRule::HideCursorAndAnswer;
    default:
        return InputRule::None;
    }
}

bool MouseTravelCloses(CursorPoint origin, CursorPoint now, std::uint32_t threshold) {
    // Summed in 64 bits: positions at opposite ends of the 32-bit range
    // cannot wrap round to a small distance.
    const std::int64_t dx = std::llabs(static_cast<std::int64_t>(now.x) - origin.x);
    const std::int64_t dy = std::llabs(static_cast<std::int64_t>(now.y) - origin.y);
    return static_cast<std::uint64_t>(dx + dy) > threshold;
}

bool InCheckPause(std::uint32_t lastCheckEnd, std::uint32_t now) {
    constexpr std::uint32_t kPauseMilliseconds = 200;
    return lastCheckEnd != kNoCheckYet && now - lastCheckEnd < kPauseMilliseconds;
}

SysCommandRule SysCommandRuleFor(std::uintptr_t command, bool isPreview) {
    if (isPreview) return SysCommandRule::Forward;
    if (command == kNextWindow || command == kPrevWindow || command == kScreenSave) return SysCommandRule::Refuse;
    if (command == kMonitorPower) return SysCommandRule::CloseAndForward;
    return SysCommandRule::Forward;
}
