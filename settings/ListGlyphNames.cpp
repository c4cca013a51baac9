#include <cstring>
#include <string>

#include "settings/GlyphDefinition.h"
#include "settings/GlyphTokens.h"
#include "settings/Settings.h"

GlyphNameList glyphNameList;

void MakeGlyphKey(std::uint32_t number, char (&key)[16]) {
    char digits[4];
    std::memcpy(key, "ZAHYO", 6);
    platform::FormatUnsigned(digits, number);
    platform::AppendText(key, digits);
}

bool ReadGlyphName(std::uint32_t number, std::string& name) {
    char key[16];
    MakeGlyphKey(number, key);
    char value[255];
    platform::ReadProfileString(keyNames.glyphSection, key, keyNames.sentinel, value, sizeof value, keyNames.fileName);
    // An empty value still names a glyph (an empty name), so that line n of
    // the dialog's lists stays glyph ZAHYOn.
    std::string_view token;
    name.clear();
    if (GlyphTokenReader(value).Next(token)) name = token;
    return platform::CompareTextNoCase(name.c_str(), keyNames.sentinel) != 0;
}

void ListGlyphNames() {
    glyphNameList.count = 0;
    // The list holds 99 names; keys after ZAHYO99 are never read.
    std::string name;
    while (glyphNameList.count < kMaxListedGlyphs &&
           ReadGlyphName(static_cast<std::uint32_t>(glyphNameList.count + 1), name)) {
        char* entry = glyphNameList.names[glyphNameList.count];
        std::size_t length = name.size() < kGlyphNameLength ? name.size() : kGlyphNameLength;
        std::memcpy(entry, name.data(), length);
        entry[length] = '\0';
        ++glyphNameList.count;
    }
}
