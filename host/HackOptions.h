// The command line of the Linux program: where it draws (a window of its
// own, the root window or XScreenSaver's window, a given window, or PNG
// files without a display) and settings that override the settings file
// for this run without writing it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    std::string iniFile;  // -ini FILE
    std::string display;  // -display NAME
    std::vector<SettingOverride> overrides;
    std::string error;  // why the command line is unusable; empty when usable
};

// Reads argv[1..argc-1]. Options start with one or two dashes. Every key of
// the settings table is an option of its own name, in any case (-optionn 3,
// -timer 30), and -delay MS stands for -TIMER MS.
HackOptions ParseHackOptions(int argc, const char* const* argv);

// A window id: decimal, or hexadecimal after 0x. False for anything else or
// a value beyond 32 bits (X ids are 29 bits).
bool ParseWindowId(const std::string& text, unsigned long& id);

// Writes the overrides into the settings record, after LoadSettings.
void ApplySettingOverrides(const HackOptions& options);

// The text shown for -help and with an unusable command line.
const char* HackUsage();
