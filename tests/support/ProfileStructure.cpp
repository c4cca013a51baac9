#include "support/ProfileStructure.h"

#include <sstream>

namespace testsupport {

namespace {

std::string Trim(const std::string& text) {
    std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return "";
    std::size_t last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<std::string> ProfileStructure(const std::string& fileText) {
    std::vector<std::string> entries;
    std::istringstream lines(fileText);
    std::string line;
    while (std::getline(lines, line)) {
        line = Trim(line);
        if (line.empty()) continue;
        std::size_t equals = line.find('=');
        if (line[0] == '[' || equals == std::string::npos)
            entries.push_back(line);
        else
            entries.push_back(Trim(line.substr(0, equals)) + "=" + Trim(line.substr(equals + 1)));
    }
    return entries;
}

std::vector<std::string> KeysOfSection(const std::string& fileText, const std::string& section) {
    std::vector<std::string> keys;
    bool inside = false;
    for (const std::string& entry : ProfileStructure(fileText)) {
        if (entry[0] == '[') {
            inside = entry == "[" + section + "]";
            continue;
        }
        if (inside) keys.push_back(entry.substr(0, entry.find('=')));
    }
    return keys;
}

}  // namespace testsupport
