#include "host/CommandLine.h"

#include <cstdint>

namespace {

using Byte = unsigned char;

Byte At(const char* position) { return static_cast<Byte>(*position); }

const char* SkipSpaces(const char* position) {
    while (*position == ' ') ++position;
    return position;
}

}  // namespace

const char* NextByte(const char* position) { return *position != '\0' ? position + 1 : position; }

const char* SkipProgramName(const char* commandLine, NextCharacterFunction next) {
    const char* position = commandLine;
    if (At(position) == '"') {
        position = next(position);
        while (At(position) != '"' && At(position) != '\0') position = next(position);
        if (At(position) == '"') position = next(position);
    } else if (At(position) > 0x20) {
        while (At(position) > 0x20) position = next(position);
    }
    while (At(position) != '\0' && At(position) <= 0x20) position = next(position);
    return position;
}

platform::WindowHandle ParseWindowHandle(const char* text) {
    std::uint32_t value = 0;
    for (const char* position = text; At(position) >= '0' && At(position) <= '9'; ++position) {
        value = value * 10u + static_cast<std::uint32_t>(At(position) - '0');
    }
    return reinterpret_cast<platform::WindowHandle>(static_cast<std::uintptr_t>(value));
}

SaverCommand ParseSaverCommand(const char* args) {
    const char* position = args;
    while (*position == ' ' || *position == '-' || *position == '/') ++position;

    SaverCommand command;
    switch (*position) {
    case '\0':
        command.mode = SaverMode::Configure;
        command.noSwitch = true;
        break;
    case 'S':
    case 's':
        command.mode = SaverMode::FullScreen;
        break;
    case 'P':
    case 'p':
    case 'L':
    case 'l':
        command.mode = SaverMode::Preview;
        command.window = ParseWindowHandle(SkipSpaces(position + 1));
        break;
    case 'C':
    case 'c':
        command.mode = SaverMode::Configure;
        if (position[1] == ':') command.window = ParseWindowHandle(position + 2);
        break;
    case 'A':
    case 'a':
        command.mode = SaverMode::ChangePassword;
        command.window = ParseWindowHandle(SkipSpaces(position + 1));
        break;
    default:
        command.mode = SaverMode::Unusable;
        break;
    }
    return command;
}
