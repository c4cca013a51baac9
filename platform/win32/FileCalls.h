// The file calls the settings file needs, on paths in wide characters, so a
// folder whose name holds characters outside the system's ANSI code page (a
// user called 山田 on an English system) is found as it is named. Windows 9x
// and Me have only the ANSI calls; there each call takes the path in the
// ANSI code page, which holds every path such a system has.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>

namespace platform {

// Every Windows NT has the wide-character file and profile calls; Windows 9x
// and Me do not.
bool HasWideFileCalls();

// Text in the system's ANSI code page to wide characters and back, converted
// as the ANSI calls convert their arguments and their results.
std::wstring Widen(const char* text);
std::string Narrow(const wchar_t* text, std::size_t length);
inline std::string Narrow(const std::wstring& text) {
    return Narrow(text.data(), text.size());
}

DWORD FileAttributesOf(const std::wstring& path);
bool IsFile(const std::wstring& path);
bool CreateFolder(const std::wstring& path);
HANDLE OpenPath(const std::wstring& path, DWORD access, DWORD share, DWORD disposition);
bool RemoveFile(const std::wstring& path);

// Makes an empty file of a new name in `folder` and names it in `path`.
bool MakeTemporaryFile(const std::wstring& folder, std::wstring& path);

// Gives `from` the name `to`, which must not exist yet; on Windows NT the
// call returns once the new name is on the disk.
bool RenameFile(const std::wstring& from, const std::wstring& to);

}  // namespace platform
