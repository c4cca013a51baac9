#include <cstdio>

#include "support/TestSupport.h"

namespace testsupport {

std::string ReadFile(const std::string& path) {
    std::FILE* stream = std::fopen(path.c_str(), "rb");
    if (!stream) return "<missing>";
    std::string content;
    char chunk[4096];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, stream)) > 0) content.append(chunk, got);
    std::fclose(stream);
    return content;
}

void WriteFile(const std::string& path, const std::string& content) {
    std::FILE* stream = std::fopen(path.c_str(), "wb");
    if (!stream) return;
    std::fwrite(content.data(), 1, content.size(), stream);
    std::fclose(stream);
}

void RemoveFile(const std::string& path) {
    std::remove(path.c_str());
}

}  // namespace testsupport
