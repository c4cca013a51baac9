#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TestSupport.h"

namespace testsupport {

platform::ModuleHandle StringTableModule() {
    return nullptr;
}

std::string TemporaryFolder() {
    char pattern[] = "/tmp/koravel-test-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made ? made : "/tmp";
}

void UseTemporarySettingsFolder() {
    setenv("KORAVEL_INI_DIR", TemporaryFolder().c_str(), 1);
}

void MakeFolder(const std::string& path) {
    mkdir(path.c_str(), 0755);
}

void RemoveFolder(const std::string& path) {
    rmdir(path.c_str());
}

const char* SideName() {
    return "portable stand-in";
}

}  // namespace testsupport
