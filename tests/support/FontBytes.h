// Font data made in memory, for the readers of outline buffers and font
// tables: numbers appended in either byte order, and a font whose tables
// are served from strings.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "glyphs/NativeOutline.h"

namespace testsupport {

// Appends `value` as `size` bytes, high byte first (font tables) or low
// byte first (the system's outline buffers).
inline std::string& BigEndian(std::string& bytes, std::uint64_t value, int size) {
    for (int i = size - 1; i >= 0; --i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}
inline std::string& LittleEndian(std::string& bytes, std::uint64_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(value >> (8 * i) & 0xFF);
    return bytes;
}

class MemoryFontTables : public FontTables {
public:
    std::map<std::uint32_t, std::string> tables;

    std::uint32_t TableSize(std::uint32_t tag) const override {
        const auto table = tables.find(tag);
        return table == tables.end() ? 0 : static_cast<std::uint32_t>(table->second.size());
    }
    std::vector<unsigned char> TableBytes(std::uint32_t tag, std::uint32_t offset, std::uint32_t length) const override {
        const auto table = tables.find(tag);
        if (table == tables.end() || length == 0 || offset > table->second.size() || length > table->second.size() - offset)
            return {};
        return {table->second.begin() + offset, table->second.begin() + offset + length};
    }
};

}  // namespace testsupport
