// The text the settings file keeps (settings/TextSettings.h), laid out by
// Uniscribe in the system's outlines of its font when the saver window is
// created, and kept to the time before every frame.
#include <cstdio>
#include <memory>
#include <string>

#include "glyphs/win32/SystemTextFont.h"
#include "host/win32/SaverWindow.h"
#include "scene/TextShow.h"
#include "settings/TextSettings.h"

namespace {

// The show of this window, its font, and its clock: the local time, or
// KORAVEL_CLOCK's fixed start ("2026-12-09 12:34:56", a testing aid)
// counted on by the time since the show began. That time adds up the
// differences of GetTickCount, which a wrap after 49 days leaves right.
struct KeptText {
    std::unique_ptr<SystemTextFont> font;
    bool shown = false;
    bool fixed = false;
    ULONGLONG fixedStart = 0;  // in FILETIME units
    DWORD lastTick = 0;
    ULONGLONG elapsedMs = 0;
};

KeptText keptText;

bool ReadFixedClock(ULONGLONG& start) {
    char value[64];
    const DWORD length = GetEnvironmentVariableA("KORAVEL_CLOCK", value, sizeof value);
    if (length == 0 || length >= sizeof value) return false;
    int year, month, day, hour, minute, second;
    char rest;
    if (std::sscanf(value, "%d-%d-%d %d:%d:%d%c", &year, &month, &day, &hour, &minute, &second, &rest) != 6 ||
        year < 1601 || year > 30827 || hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    SYSTEMTIME time{};
    time.wYear = static_cast<WORD>(year);
    time.wMonth = static_cast<WORD>(month);
    time.wDay = static_cast<WORD>(day);
    time.wHour = static_cast<WORD>(hour);
    time.wMinute = static_cast<WORD>(minute);
    time.wSecond = static_cast<WORD>(second);
    FILETIME file;
    if (!SystemTimeToFileTime(&time, &file)) return false;  // a month or day that is none
    start = static_cast<ULONGLONG>(file.dwHighDateTime) << 32 | file.dwLowDateTime;
    return true;
}

ClockTime Now() {
    const DWORD tick = GetTickCount();
    keptText.elapsedMs += static_cast<DWORD>(tick - keptText.lastTick);
    keptText.lastTick = tick;
    SYSTEMTIME time;
    if (keptText.fixed) {
        const ULONGLONG at = keptText.fixedStart + keptText.elapsedMs * 10000;
        FILETIME file{static_cast<DWORD>(at), static_cast<DWORD>(at >> 32)};
        FileTimeToSystemTime(&file, &time);
    } else {
        GetLocalTime(&time);
    }
    return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
            static_cast<std::int64_t>(keptText.elapsedMs / 1000)};
}

// FONT's family, weight and style. A family that is none (empty, or longer
// than a face holds) is no installed font, and the show takes the system's
// user-interface font.
LOGFONTW KeptFont(const std::u32string& font) {
    const FontChoice choice = ParseFontChoice(font);
    LOGFONTW wanted{};
    wanted.lfWeight = choice.bold ? FW_BOLD : FW_NORMAL;
    wanted.lfItalic = choice.italic;
    wanted.lfCharSet = DEFAULT_CHARSET;
    const std::wstring family = WideFromCharacters(choice.family);
    if (family.size() < LF_FACESIZE) family.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    return wanted;
}

// What the show cannot show: the saver has no one to tell but a debugger.
void Report(const std::string& message) {
    OutputDebugStringA(("KORAVEL: " + message + "\n").c_str());
}

}  // namespace

bool StartKeptText() {
    StopKeptText();
    const TextSettings kept = LoadTextSettings();
    if (!kept.kept || kept.text.empty()) return false;
    keptText.font = std::make_unique<SystemTextFont>();
    if (!keptText.font->Open(KeptFont(kept.font))) {
        keptText = {};
        return false;
    }
    keptText.fixed = ReadFixedClock(keptText.fixedStart);
    keptText.lastTick = GetTickCount();
    keptText.shown = StartTextShow(*keptText.font, kept.text, ShownPageSeconds(kept), Now(), Report);
    if (!keptText.shown) keptText = {};
    return keptText.shown;
}

void AdvanceKeptText() {
    if (keptText.shown) AdvanceTextShow(Now());
}

void StopKeptText() {
    if (keptText.shown) StopTextShow();
    keptText = {};
}
