#include <sys/stat.h>

#include "host/x11/LinuxSaver.h"
#include "platform/portable/ProfileRedirect.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

namespace {

bool IsFile(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace

std::string ChooseSettingsFile(const HackOptions& options, const std::string& programDir) {
    if (!options.iniFile.empty()) return options.iniFile;
    platform::RedirectProfileFile("");
    const std::string own = platform::ProfileFilePath("KORAVEL.ini");
    if (IsFile(own)) return own;
    for (const char* shipped : {"/../../share/koravel/KORAVEL.ini", "/res/KORAVEL.ini"}) {
        std::string path = programDir + shipped;
        if (IsFile(path)) return path;
    }
    return own;  // missing: every setting takes its default
}

void StartScene(const HackOptions& options, int width, int height) {
    LoadKeyNames(nullptr);
    LoadSettings();
    ApplySettingOverrides(options);
    LoadGlyphs();
    ShowText(options);
    sceneState.clientWidth = width;
    sceneState.clientHeight = height;
    SetupScene();
}
