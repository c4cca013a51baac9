// A text shown in the slots instead of the stored glyphs: laid out by the
// font (each glyph where its advance and the font's kerning put it), nine
// inked clusters to a page, a new page every few seconds, and time codes
// that show the current time, updated every second. The host starts it once
// before the scene is set up and advances it before every frame; the figure
// keeps its motion across pages and ticks. Without a text nothing here runs
// and the slots keep today's fixed cells exactly.
#pragma once

#include <cstdint>
#include <string>

#include "glyphs/TextShaping.h"

// The local wall-clock time the time codes show, and a steady count of
// seconds that paging measures. The host reads both before each frame.
struct ClockTime {
    int year = 1970, month = 1, day = 1;     // 1..12, 1..31
    int hour = 0, minute = 0, second = 0;  // 0..23, 0..59, 0..60
    std::int64_t steadySeconds = 0;
};

// The text with its time codes replaced by the time: %H (00..23), %I
// (01..12), %M, %S, %p (AM/PM), %d, %m, %y (two digits), %Y, and %% for a
// percent sign. Any other character, and a % before anything else, stays as
// it is. The same on every platform: no C library formats it.
std::u32string FormatClockText(const std::u32string& pattern, const ClockTime& time);

// Whether the text holds a time code, so that it changes every second.
bool HasClockCodes(const std::u32string& pattern);

// Blanks, tabs and line ends in runs count as one space, and none at either
// end: a text wrapped by a settings program reads as it was typed.
std::u32string CollapseWhiteSpace(const std::u32string& text);

// Starts showing `pattern` in `font` from page 1: fills slots 1..N, OPTIONN
// and the row's places (textRow) for SetupScene. `font` lives as long as
// the show. False when nothing can be shown (the slots then keep the stored
// glyphs); what cannot be shown is said through `report`, once.
bool StartTextShow(TextFont& font, const std::u32string& pattern, int pageSeconds, const ClockTime& now,
                   void (*report)(const std::string& message));

// Before a frame: a new second of a text with time codes, or the end of a
// page's time, shows the new text or page. Only the slots that changed are
// made again (glyphs are kept per cluster); the scene's position, speed and
// angles stay. True when the slots changed.
bool AdvanceTextShow(const ClockTime& now);

// After the settings and glyphs were loaded again (a window that changed
// size): puts the slots of the page shown, OPTIONN and textRow back for
// SetupScene, without making or saying anything again. False without a show.
bool ShowTextAgain();

// Ends the show and forgets its glyphs and font.
void StopTextShow();
