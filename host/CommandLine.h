// The saver's command line: the program name to skip, the mode switch and
// the window handle that follows some modes. Pure decisions over the bytes;
// the entry (host/win32) checks handles and runs the chosen mode.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

// Steps to the next character of an ANSI string (CharNextA on Windows, so a
// double-byte character is stepped over whole).
using NextCharacterFunction = const char* (*)(const char* position);

// One byte forward, stopping at the terminating NUL.
const char* NextByte(const char* position);

// The command line after the program name: a quoted name is skipped up to
// and including its closing quote, an unquoted one up to the first byte at
// or below 0x20; then every byte from 0x01 to 0x20 that follows.
const char* SkipProgramName(const char* commandLine, NextCharacterFunction next = NextByte);

// The decimal number at the start of `text`, in unsigned 32-bit arithmetic
// that wraps, used as a window handle. No sign, no hexadecimal, no leading
// spaces: "0x4d2" reads 0 and "" reads 0.
platform::WindowHandle ParseWindowHandle(const char* text);

enum class SaverMode {
    Configure,       // no switch, or C: the configuration dialog
    FullScreen,      // S
    Preview,         // P or L, with the handle of the window to live in
    ChangePassword,  // A, with the handle of the parent (Windows 9x only)
    Unusable,        // any other byte where the mode letter should be
};

struct SaverCommand {
    SaverMode mode = SaverMode::Unusable;
    // The handle read after the letter; null when none was given (or it
    // read 0). For C only a handle after a colon counts.
    platform::WindowHandle window = nullptr;
    // True for the bare command line: the dialog without any parent.
    bool noSwitch = false;
};

// Reads the mode from the command line after the program name. Any number
// and mix of spaces, '-' and '/' may stand before the letter; everything
// after the letter that the mode does not read is ignored.
SaverCommand ParseSaverCommand(const char* args);
