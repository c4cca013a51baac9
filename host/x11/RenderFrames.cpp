#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "host/x11/LinuxSaver.h"
#include "render/ComposeSoftwareFrame.h"
#include "scene/Random.h"
#include "settings/Settings.h"

namespace {

bool MakeFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        if (mkdir(path.substr(0, at).c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

}  // namespace

int RenderFrames(const HackOptions& options) {
    const int width = options.width > 0 ? options.width : 800;
    const int height = options.height > 0 ? options.height : 600;
    if (!MakeFolders(options.renderDir)) {
        std::fprintf(stderr, "koravel: cannot make the folder %s\n", options.renderDir.c_str());
        return 1;
    }
    StartScene(options, width, height);
    // A fixed seed, so every run draws the same frames.
    SeedRandom(1);
    // No desktop to capture: the window starts black, and with no desktop
    // copy that background is black too.
    PixelBuffer window = MakePixelBuffer(width, height, 0);
    // A text's clock counts the frames' time, so that two runs give the
    // same frames and a page lasts its seconds' worth of frames.
    const long long period = FramePeriodMs(settings.TIMER);
    for (int k = 1; k <= options.frames; ++k) {
        AdvanceText((k - 1) * period);
        ComposeSoftwareFrame(window, nullptr);
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04d.png", k);
        const std::string path = options.renderDir + name;
        std::string why;
        if (!WritePng(window, path, why)) {
            std::fprintf(stderr, "koravel: cannot write %s: %s\n", path.c_str(), why.c_str());
            return 1;
        }
    }
    return 0;
}
