// koravel-default-settings: prints section [KORAVEL] with every setting at its
// default, written by SaveSettings itself, for the shipped KORAVEL.ini.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "settings/Settings.h"
#include "tools/GlyphCheck.h"

int main() {
    char folder[] = "/tmp/koravel-defaults.XXXXXX";
    if (!mkdtemp(folder)) {
        std::fputs("koravel-default-settings: cannot make a temporary folder\n", stderr);
        return 2;
    }
    setenv("KORAVEL_INI_DIR", folder, 1);
    EnsureKeyNames();
    for (int i = 0; i < kSettingCount; ++i) settings.*settingTable[i].field = settingTable[i].defaultValue;
    const std::string path = platform::ProfileFilePath(keyNames.fileName);
    int status = 0;
    if (!SaveSettings()) {
        std::fputs("koravel-default-settings: SaveSettings failed\n", stderr);
        status = 2;
    } else if (std::FILE* stream = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, stream)) > 0;) std::fwrite(chunk, 1, got, stdout);
        std::fclose(stream);
    } else {
        status = 2;
    }
    std::remove(path.c_str());
    std::remove(folder);
    return status;
}
