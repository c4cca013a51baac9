#include "tools/GlyphRequests.h"

#include <cstdlib>

#include "glyphs/GlyphValue.h"

std::vector<char32_t> DecodeCharacters(const std::string& text) {
    std::vector<char32_t> characters;
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char lead = static_cast<unsigned char>(text[at]);
        const std::size_t extra = lead >= 0xf0 ? 3 : lead >= 0xe0 ? 2 : lead >= 0xc0 ? 1 : 0;
        bool complete = extra > 0 && at + extra < text.size();
        for (std::size_t k = 1; complete && k <= extra; ++k)
            complete = (static_cast<unsigned char>(text[at + k]) & 0xc0) == 0x80;
        char32_t character = lead;
        if (complete) {
            character = lead & (0x3f >> extra);
            for (std::size_t k = 1; k <= extra; ++k)
                character = (character << 6) | (static_cast<unsigned char>(text[at + k]) & 0x3f);
            at += extra;
        }
        characters.push_back(character);
        ++at;
    }
    return characters;
}

namespace {

// The one character of C in NAME=C: the character itself or U+hex.
bool OneCharacter(const std::string& what, char32_t& character) {
    if (what.size() > 2 && (what[0] == 'U' || what[0] == 'u') && what[1] == '+') {
        char* end = nullptr;
        const unsigned long code = std::strtoul(what.c_str() + 2, &end, 16);
        if (*end != '\0' || code == 0 || code > 0x10ffff) return false;
        character = static_cast<char32_t>(code);
        return true;
    }
    const std::vector<char32_t> characters = DecodeCharacters(what);
    if (characters.size() != 1) return false;
    character = characters[0];
    return true;
}

}  // namespace

void ParseGlyphRequest(const std::string& item, std::vector<GlyphRequest>& requests) {
    const std::size_t equals = item.find('=');
    char32_t character = 0;
    if (equals != std::string::npos && equals > 0 && OneCharacter(item.substr(equals + 1), character)) {
        requests.push_back({item.substr(0, equals), character});
        return;
    }
    for (char32_t each : DecodeCharacters(item)) requests.push_back({DefaultGlyphName(each), each});
}

