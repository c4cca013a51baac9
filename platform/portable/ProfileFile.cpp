// The stand-in's profile calls on a file named by its whole path. Only the
// C library's file calls are used, so the same code also builds for Windows,
// where the tests compare it with the real profile functions.
#include <cstdio>

#include "platform/portable/ProfileText.h"

namespace platform {

namespace {

bool ReadWholeFile(const std::string& path, std::string& text) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return false;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) text.append(chunk, got);
    std::fclose(stream);
    return true;
}

}  // namespace

std::uint32_t ReadProfileStringFromFile(const std::string& path, const char* section, const char* key,
                                        const char* defaultValue, char* buffer, std::uint32_t size) {
    if (!buffer || size == 0) return 0;
    std::string text;
    const std::string* value = nullptr;
    ProfileText profile;
    if (ReadWholeFile(path, text)) {
        profile.Parse(text);
        value = profile.Find(section, key);
    }
    if (value) return CopyProfileValue(*value, buffer, size);
    return CopyProfileDefault(defaultValue, buffer, size);
}

std::uint32_t ReadProfileIntFromFile(const std::string& path, const char* section, const char* key,
                                     int defaultValue) {
    // Read as Windows does: the value into a 30-character buffer, then an
    // integer with an optional sign and a 0x, 0o or 0b base prefix.
    char text[30];
    if (ReadProfileStringFromFile(path, section, key, "", text, sizeof text) == 0)
        return static_cast<std::uint32_t>(defaultValue);
    return ParseProfileInteger(text);
}

bool WriteProfileValueToFile(const std::string& path, const char* section, const char* key, const char* value) {
    if (!section || !key) return false;
    std::string text;
    ReadWholeFile(path, text);
    ProfileText profile;
    profile.Parse(text);
    const bool changed = value ? profile.Set(section, key, value) : profile.Remove(section, key);
    if (!changed) return true;  // the value is already stored, or the key already absent
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream) return false;
    std::string written = profile.Text();
    bool complete = std::fwrite(written.data(), 1, written.size(), stream) == written.size();
    complete = (std::fclose(stream) == 0) && complete;
    return complete;
}

}  // namespace platform
