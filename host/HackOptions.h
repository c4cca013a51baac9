// The command line of the Linux program: where it draws (a window of its
// own, the root window or XScreenSaver's window, a given window, or PNG
// files without a display) and settings that override the settings file
// for this run without writing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/TextSettings.h"

enum class HackMode {
    OwnWindow,  // no option, or -window: a window of its own
    Root,       // -root: XSCREENSAVER_WINDOW when set, else the root window
    WindowId,   // -window-id ID: a window another program made
    Render,     // -render DIR: PNG files, no display
};

// One setting given on the command line: the row of settingTable and the value.
struct SettingOverride {
    int row;
    std::int32_t value;
};

struct HackOptions {
    HackMode mode = HackMode::OwnWindow;
    unsigned long windowId = 0;
    std::string renderDir;
    int frames = 0;  // -frames N: frames to draw; 0 draws until the end
    int width = 0, height = 0;  // -size WxH or -geometry; 0 when not given
    int x = 0, y = 0;
    bool hasPosition = false;
    // -geometry ...-X or ...-Y: X counts from the screen's right edge to the
    // window's, Y from the bottom edge (x and y then hold -X and -Y).
    bool fromRight = false, fromBottom = false;
    bool fps = false;  // -fps: the frame rate drawn over the frame
    std::string iniFile;  // -ini FILE
    std::string display;  // -display NAME
    // -text STRING: the text to show, of any length (a page holds nine
    // characters); empty when not given or given empty. Runs of blanks,
    // tabs and line ends read as one space and none stays at either end,
    // so a text wrapped by a settings program reads as it was typed.
    // Control characters and bytes that are no UTF-8 are left out.
    std::u32string text;
    // -font NAME: a fontconfig pattern or a font file for the text, its
    // white space and control characters treated as the text's; empty for
    // the system's sans-serif.
    std::string font;
    // -page SECONDS: how long one page of a longer text stays.
    int pageSeconds = 4;
    // Which of -text, -font and -page the command line gave (also empty):
    // those it left out come from the settings file's kept text.
    bool textGiven = false, fontGiven = false, pageGiven = false;
    std::vector<SettingOverride> overrides;
    // What of -text and -font was left out, one line each for standard
    // error. The run goes on: no text or font ends the program, since
    // XScreenSaver shows any other end as a crash.
    std::vector<std::string> notes;
    std::string error;  // why the command line is unusable; empty when usable
};

// The range of -page, which the panel's slider offers too.
constexpr int kShortestPageSeconds = 1;
constexpr int kLongestPageSeconds = 60;

// Reads argv[1..argc-1]. Options start with one or two dashes (XScreenSaver
// passes both forms, e.g. --root, --window-id ID, --fps). Every key of the
// settings table is an option of its own name, in any case (-optionn 3,
// -timer 30), and -delay MS stands for -TIMER MS.
HackOptions ParseHackOptions(int argc, const char* const* argv);

// The settings XScreenSaver's panel offers (res/koravel.xml), as keys of the
// settings table. The panel sends no option for a value equal to its
// default, and its defaults are the table's.
extern const char* const kPanelSettings[];
extern const int kPanelSettingCount;

// Whether the run draws for XScreenSaver: -root (its window or the root
// window) or -window-id (its preview). Then the panel is the truth: each
// setting it offers starts from its default, never from the settings file,
// so that a value the panel leaves out means the value it shows.
bool DrawsForThePanel(const HackOptions& options);

// What the run shows in place of the glyphs (nothing when `text` is
// empty): the text, its font (a fontconfig pattern or a font file, in
// UTF-8; empty for sans-serif) and the seconds a page stays.
struct ShownText {
    std::u32string text;
    std::string font;
    int pageSeconds = kDefaultPageSeconds;
};

// -text, -font and -page as the command line gives them; each one it leaves
// out comes from the text the settings file keeps (TEXT, FONT, PAGE, as the
// Windows dialog writes them), so one KORAVEL.ini shows the same text on
// both platforms. When the run draws for the panel, the panel is the truth
// for its Text, Font and page fields as for its other settings: a field it
// leaves out is its default (no text, sans-serif, 4 s), never the file's.
ShownText ChooseShownText(const HackOptions& options, const TextSettings& kept);

// A window id: decimal, or hexadecimal after 0x. False for anything else or
// a value beyond 32 bits (X ids are 29 bits).
bool ParseWindowId(const std::string& text, unsigned long& id);

// Writes the overrides into the settings record, after LoadSettings. When
// the run draws for the panel, the panel's settings first take their
// defaults; the other settings and the glyphs stay as the file gives them.
void ApplySettingOverrides(const HackOptions& options);

// The frame period for a TIMER value: never below 10 ms, the shortest
// period Windows' timer gives the saver.
int FramePeriodMs(std::int32_t timer);

// The text shown for -help and with an unusable command line.
const char* HackUsage();
