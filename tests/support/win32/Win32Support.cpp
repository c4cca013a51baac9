#include <windows.h>

#include "platform/Platform.h"
#include "support/TestSupport.h"

namespace testsupport {

platform::ModuleHandle StringTableModule() {
    return GetModuleHandleA(nullptr);
}

std::string TemporaryFolder() {
    char base[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, base);
    std::string root = (length > 0 && length < MAX_PATH) ? std::string(base, length) : std::string("C:\\");
    for (unsigned attempt = 0;; ++attempt) {
        std::string folder = root + "koravel-test-" + std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount() + attempt);
        if (CreateDirectoryA(folder.c_str(), nullptr)) return folder;
        if (attempt > 100) return root;
    }
}

// A bare file name's writes go to the user's own folder, %APPDATA%\KORAVEL,
// which the first save makes; tests that write a file there first make it.
void UseTemporarySettingsFolder() {
    const std::string path = platform::ProfileFilePath("KORAVEL.ini");
    CreateDirectoryA(path.substr(0, path.find_last_of('\\')).c_str(), nullptr);
}

void MakeFolder(const std::string& path) {
    CreateDirectoryA(path.c_str(), nullptr);
}

void RemoveFolder(const std::string& path) {
    RemoveDirectoryA(path.c_str());
}

const char* SideName() {
    return "Win32";
}

}  // namespace testsupport
