#include "fuzz/FuzzSupport.h"

#include <cstdio>
#include <cstdlib>

#include "settings/Settings.h"

namespace fuzzsupport {

ServedSettings::ServedSettings(std::string_view text) {
    static bool namesLoaded = false;
    if (!namesLoaded) {
        LoadKeyNames(nullptr);
        namesLoaded = true;
    }
    profile_.Parse(std::string(text));
    platform::ServeProfileFrom(&profile_);
}

ServedSettings::~ServedSettings() {
    platform::ServeProfileFrom(nullptr);
}

void Fail(const char* property, const std::string& detail) {
    std::fprintf(stderr, "\nKORAVEL fuzz: property broken: %s\n", property);
    if (!detail.empty()) std::fprintf(stderr, "  %s\n", detail.c_str());
    std::fflush(stderr);
    std::abort();
}

}  // namespace fuzzsupport

// AddressSanitizer's defaults for every fuzz target. Freed memory is held
// back for reuse in 16 MB rather than 256 MB: a run frees all it made, so
// that is still many runs of history for a use after free, and fresh pages
// no longer cost a page fault on almost every allocation (the settings
// targets run about twice as fast).
extern "C" const char* __asan_default_options() {
    return "quarantine_size_mb=16";
}
