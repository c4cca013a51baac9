// The Linux program: an XScreenSaver hack, or a maker of PNG frames.
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "host/HackOptions.h"
#include "host/x11/LinuxSaver.h"
#include "platform/portable/ProfileRedirect.h"

namespace {

std::string ProgramDir() {
    char path[PATH_MAX];
    ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) return ".";
    std::string text(path, static_cast<std::size_t>(length));
    std::size_t slash = text.rfind('/');
    return slash == std::string::npos ? "." : text.substr(0, slash);
}

}  // namespace

int main(int argc, char** argv) {
    const HackOptions options = ParseHackOptions(argc, argv);
    if (!options.error.empty()) {
        if (options.error != "help") std::fprintf(stderr, "koravel: %s\n", options.error.c_str());
        std::fputs(HackUsage(), options.error == "help" ? stdout : stderr);
        return options.error == "help" ? 0 : 2;
    }
    for (const std::string& note : options.notes) std::fprintf(stderr, "koravel: %s\n", note.c_str());
    const std::string settingsFile = ChooseSettingsFile(options, ProgramDir());
    // A file named on the command line must be there to be read: drawing
    // the defaults instead would hide the mistake behind a plain figure.
    if (!options.iniFile.empty()) {
        std::FILE* file = std::fopen(settingsFile.c_str(), "rb");
        // A folder opens but cannot be read: the first read tells.
        if (file != nullptr && std::fgetc(file) == EOF && std::ferror(file)) {
            std::fclose(file);
            file = nullptr;
        }
        if (file == nullptr) {
            std::fprintf(stderr, "koravel: cannot read %s: %s\n", settingsFile.c_str(), std::strerror(errno));
            return 1;
        }
        std::fclose(file);
    }
    platform::RedirectProfileFile(settingsFile);
    // The pictures in memory are as large as the window; when they do not
    // fit, the run ends with a word and status 1 instead of an abort.
    try {
        if (options.mode == HackMode::Render) return RenderFrames(options);
        return RunX11Saver(options);
    } catch (const std::bad_alloc&) {
        std::fputs("koravel: not enough memory for the window's picture\n", stderr);
        return 1;
    }
}
