// Fuzz target: the command line. The input, up to its first NUL byte, is a
// whole command line. Properties that do not restate the parser: the
// program name is skipped within the line (bytewise and as a double-byte
// system steps it) and a name put in front of any arguments is skipped
// whole; the mode is always one of the listed ones, does not depend on the
// switch characters before the letter nor on the letter's case; a handle
// comes from digits of the text; every handle the system can pass reads
// back after /p and /c:.
#include <cctype>
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

bool SameCommand(const SaverCommand& a, const SaverCommand& b) {
    return a.mode == b.mode && a.window == b.window && a.noSwitch == b.noSwitch;
}

// Whether some run of decimal digits in `text`, read from one of its
// digits on in 32-bit arithmetic that wraps, gives `value`.
bool SpelledInText(const std::string& text, std::uint32_t value) {
    for (std::size_t start = 0; start < text.size(); ++start) {
        std::uint32_t read = 0;
        for (std::size_t at = start; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
            read = read * 10u + static_cast<std::uint32_t>(text[at] - '0');
            if (read == value) return true;
        }
    }
    return false;
}

void CheckCommand(const char* args) {
    const SaverCommand command = ParseSaverCommand(args);
    switch (command.mode) {
    case SaverMode::Configure:
    case SaverMode::FullScreen:
    case SaverMode::Preview:
    case SaverMode::ChangePassword:
    case SaverMode::Unusable:
        break;
    default:
        Fail("the mode is one of the listed ones", args);
    }
    const std::string text(args);
    if (command.window != nullptr && !SpelledInText(text, HandleValue(command.window)))
        Fail("a handle comes from digits of the text", args);
    if (command.noSwitch && (command.mode != SaverMode::Configure || command.window != nullptr))
        Fail("a line without a switch opens the dialog without a parent", args);
    if (command.mode == SaverMode::FullScreen && command.window != nullptr)
        Fail("the full-screen saver takes no window", args);

    // Switch characters before the letter change nothing.
    if (!SameCommand(ParseSaverCommand((" -/ " + text).c_str()), command))
        Fail("spaces, '-' and '/' before the letter change nothing", args);
    // Neither does the case of the first letter.
    std::string otherCase = text;
    for (char& c : otherCase)
        if (std::isalpha(static_cast<unsigned char>(c))) {
            c = static_cast<char>(std::islower(static_cast<unsigned char>(c)) ? std::toupper(c) : std::tolower(c));
            break;
        } else if (c != ' ' && c != '-' && c != '/') {
            break;
        }
    if (!SameCommand(ParseSaverCommand(otherCase.c_str()), command)) Fail("the letter's case changes nothing", args);
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

    // A program name in front of the arguments, quoted with spaces or bare,
    // is skipped whole.
    const std::string args(bytewise);
    for (const std::string& named : {"\"C:\\Program Files\\KORAVEL.scr\" " + args, "KORAVEL.SCR\t " + args})
        if (std::string(SkipProgramName(named.c_str())) != args) Fail("the program name is skipped whole", named);
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
