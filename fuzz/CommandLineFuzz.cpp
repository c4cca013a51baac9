// Fuzz target: the command line. The input, up to its first NUL byte, is a
// whole command line: the program name is skipped (byte by byte, and as a
// double-byte system steps it), then the mode and the window handle are
// read. Nothing may be read outside the line, and the mode and handle must
// be the ones the line spells.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "host/CommandLine.h"

namespace {

using fuzzsupport::Fail;

// A double-byte code page's stepping (Shift-JIS lead bytes): a lead byte
// takes the byte after it along, unless that byte ends the string.
const char* NextDoubleByte(const char* position) {
    const unsigned char c = static_cast<unsigned char>(*position);
    if (c == 0) return position;
    const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
    return lead && position[1] != '\0' ? position + 2 : position + 1;
}

void CheckSkipped(const char* line, const char* args) {
    const std::size_t length = std::strlen(line);
    if (args < line || args > line + length) Fail("the arguments lie inside the command line");
    const unsigned char first = static_cast<unsigned char>(*args);
    if (first != 0 && first <= 0x20) Fail("the arguments start after the white space that follows the name");
}

std::uint32_t HandleValue(platform::WindowHandle handle) {
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(handle));
}

// The decimal digits at `text`, modulo 2^32.
std::uint32_t DecimalPrefix(const char* text) {
    std::uint64_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) value = (value * 10 + static_cast<unsigned>(*text - '0')) % 4294967296u;
    return static_cast<std::uint32_t>(value);
}

void CheckCommand(const char* args) {
    const SaverCommand command = ParseSaverCommand(args);
    const char* letter = args + std::strspn(args, " -/");
    SaverMode mode = SaverMode::Unusable;
    std::uint32_t handle = 0;
    switch (*letter) {
        case '\0': mode = SaverMode::Configure; break;
        case 'S': case 's': mode = SaverMode::FullScreen; break;
        case 'P': case 'p': case 'L': case 'l':
            mode = SaverMode::Preview;
            handle = DecimalPrefix(letter + 1 + std::strspn(letter + 1, " "));
            break;
        case 'C': case 'c':
            mode = SaverMode::Configure;
            if (letter[1] == ':') handle = DecimalPrefix(letter + 2);
            break;
        case 'A': case 'a':
            mode = SaverMode::ChangePassword;
            handle = DecimalPrefix(letter + 1 + std::strspn(letter + 1, " "));
            break;
        default: break;
    }
    if (command.mode != mode) Fail("the mode is the letter's", args);
    if (HandleValue(command.window) != handle) Fail("the handle is the number the line spells", args);
    if (command.noSwitch != (*letter == '\0')) Fail("only a line without a switch opens the dialog without a parent");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The line in a buffer of exactly its own length, so that any read past
    // its end is caught.
    const std::string text(fuzzsupport::AsText(data, size));
    const std::size_t length = std::strlen(text.c_str());
    char* line = new char[length + 1];
    std::memcpy(line, text.c_str(), length + 1);

    const char* bytewise = SkipProgramName(line);
    CheckSkipped(line, bytewise);
    CheckCommand(bytewise);
    const char* doubleByte = SkipProgramName(line, NextDoubleByte);
    CheckSkipped(line, doubleByte);
    CheckCommand(doubleByte);
    delete[] line;

    // Every handle the system can pass reads back whole after /p and /c:.
    if (size >= 4) {
        std::uint32_t handle;
        std::memcpy(&handle, data, sizeof handle);
        char spelled[32];
        std::snprintf(spelled, sizeof spelled, "/p %u", handle);
        if (HandleValue(ParseSaverCommand(spelled).window) != handle) Fail("a preview handle reads back", spelled);
        std::snprintf(spelled, sizeof spelled, "/c:%u", handle);
        if (HandleValue(ParseSaverCommand(spelled).window) != handle) Fail("a dialog parent reads back", spelled);
    }
    return 0;
}
