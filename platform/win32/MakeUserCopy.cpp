// The first save makes the user's own file as a byte-for-byte copy of the
// machine's, so that the glyphs, the other sections and the keys this
// program does not know come along. A copy cut short would hide the
// machine's glyphs from this user for good, since reads take the user's file
// whenever it exists; so the copy is written under a temporary name in the
// same folder, flushed to the disk, and only then given the file's name: a
// kill or a power loss leaves the user's file absent or whole.
#include <windows.h>

#include "platform/win32/FileCalls.h"
#include "platform/win32/SettingsFilePlace.h"

namespace platform {

namespace {

bool ReadWholeFile(const std::wstring& path, std::string& text) {
    HANDLE file = OpenPath(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return false;
    char chunk[65536];
    DWORD got = 0;
    BOOL read = TRUE;
    while ((read = ReadFile(file, chunk, sizeof chunk, &got, nullptr)) && got > 0) text.append(chunk, got);
    CloseHandle(file);
    return read != FALSE;
}

bool WriteWholeFile(const std::wstring& path, const std::string& text) {
    HANDLE file = OpenPath(path, GENERIC_WRITE, 0, TRUNCATE_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                 written == text.size();
    whole = FlushFileBuffers(file) && whole;
    return CloseHandle(file) && whole;
}

}  // namespace

bool MakeUserCopy(const std::wstring& own, const std::wstring& machine) {
    if (FileAttributesOf(own) != INVALID_FILE_ATTRIBUTES) return true;  // made before
    const std::wstring folder = own.substr(0, own.find_last_of(L'\\'));
    CreateFolder(folder);
    // Where the machine has no file, the profile write starts a fresh one.
    if (!IsFile(machine)) return true;

    std::string text;
    if (!ReadWholeFile(machine, text)) return false;
    std::wstring temporary;
    if (!MakeTemporaryFile(folder, temporary)) return false;
    const bool written = WriteWholeFile(temporary, text);
    if (written && RenameFile(temporary, own)) return true;
    // Another process made the user's file meanwhile: its file stands, and
    // this one's settings are written into it.
    const DWORD error = GetLastError();
    RemoveFile(temporary);
    return written && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS);
}

}  // namespace platform
