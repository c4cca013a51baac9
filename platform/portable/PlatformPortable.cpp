// The portable side of the platform seam: our own stand-ins for the Win32
// string-table, profile and string calls, written to answer as Windows does.
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/Platform.h"
#include "platform/portable/ProfileRedirect.h"
#include "platform/portable/ProfileText.h"
#include "res/StringIds.h"

namespace platform {

namespace {

struct BuiltInString {
    unsigned id;
    const char* text;
};

// The same entries as the resource string table (res/koravel.rc).
const BuiltInString builtInStrings[] = {
#define KORAVEL_NAME_STRING(id, text) {id, text},
#include "res/NameStrings.def"
#undef KORAVEL_NAME_STRING
#define KORAVEL_SETTING(key, id, defaultValue, dialogMin, dialogMax) {id, #key},
#include "settings/SettingsList.def"
#undef KORAVEL_SETTING
};

std::string redirectedProfile;

std::string DefaultProfileFolder() {
    if (const char* folder = std::getenv("KORAVEL_INI_DIR"); folder && *folder) return folder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return std::string(config) + "/koravel";
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config/koravel";
    return ".";
}

bool HasFolder(const char* file) {
    return std::strpbrk(file, "/\\") != nullptr;
}

// Creates every missing folder of `path`, as the settings folder may not
// exist before the first save.
void CreateFolders(const std::string& path) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at == path.size() || path[at] == '/') mkdir(path.substr(0, at).c_str(), 0755);
    }
}

// The text served instead of the files, when one is.
ProfileText* servedProfile = nullptr;

}  // namespace

int LoadResourceString(ModuleHandle, unsigned id, char* buffer, int size) {
    if (!buffer || size <= 0) return 0;
    buffer[0] = '\0';
    for (const BuiltInString& entry : builtInStrings) {
        if (entry.id != id) continue;
        int length = 0;
        while (entry.text[length] && length < size - 1) {
            buffer[length] = entry.text[length];
            ++length;
        }
        buffer[length] = '\0';
        return length;
    }
    return 0;
}

void RedirectProfileFile(const std::string& path) { redirectedProfile = path; }

std::string ProfileFilePath(const char* file) {
    if (HasFolder(file)) return file;
    if (!redirectedProfile.empty()) return redirectedProfile;
    return DefaultProfileFolder() + "/" + file;
}

std::uint32_t ReadProfileString(const char* section, const char* key, const char* defaultValue, char* buffer,
                                std::uint32_t size, const char* file) {
    if (!servedProfile)
        return ReadProfileStringFromFile(ProfileFilePath(file), section, key, defaultValue, buffer, size);
    if (!buffer || size == 0) return 0;
    const std::string* value = servedProfile->Find(section, key);
    if (value) return CopyProfileValue(*value, buffer, size);
    return CopyProfileDefault(defaultValue, buffer, size);
}

std::uint32_t ReadProfileInt(const char* section, const char* key, int defaultValue, const char* file) {
    if (!servedProfile) return ReadProfileIntFromFile(ProfileFilePath(file), section, key, defaultValue);
    // As from a file: the value into a 30-character buffer, then an integer.
    char text[30];
    if (ReadProfileString(section, key, "", text, sizeof text, file) == 0)
        return static_cast<std::uint32_t>(defaultValue);
    return ParseProfileInteger(text);
}

bool WriteProfileValue(const char* section, const char* key, const char* value, const char* file) {
    if (!section || !key || !file) return false;
    if (servedProfile) {
        if (value) servedProfile->Set(section, key, value);
        else servedProfile->Remove(section, key);
        return true;
    }
    std::string path = ProfileFilePath(file);
    // The settings folder may not exist before the first save.
    struct stat status;
    if (!HasFolder(file) && stat(path.c_str(), &status) != 0) CreateFolders(DefaultProfileFolder());
    return WriteProfileValueToFile(path, section, key, value);
}

void ServeProfileFrom(ProfileText* profile) {
    servedProfile = profile;
}

int FormatUnsigned(char* buffer, std::uint32_t value) {
    return std::snprintf(buffer, 11, "%u", static_cast<unsigned>(value));
}

void AppendText(char* destination, const char* source) {
    std::strcat(destination, source);
}

int CompareTextNoCase(const char* first, const char* second) {
    for (;; ++first, ++second) {
        int a = std::tolower(static_cast<unsigned char>(*first));
        int b = std::tolower(static_cast<unsigned char>(*second));
        if (a != b) return a < b ? -1 : 1;
        if (a == 0) return 0;
    }
}

}  // namespace platform
