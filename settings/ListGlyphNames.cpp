#include <cstring>
#include <string>

#include "settings/GlyphDefinition.h"
#include "settings/GlyphTokens.h"
#include "settings/Settings.h"

GlyphNameList glyphNameList;

void ListGlyphNames() {
    glyphNameList.count = 0;
    // The list holds 99 names; keys after ZAHYO99 are never read.
    while (glyphNameList.count < kMaxListedGlyphs) {
        char key[16] = "ZAHYO";
        char digits[4];
        platform::FormatUnsigned(digits, static_cast<std::uint32_t>(glyphNameList.count + 1));
        platform::AppendText(key, digits);

        char value[255];
        platform::ReadProfileString(keyNames.glyphSection, key, keyNames.sentinel, value, sizeof value,
                                    keyNames.fileName);
        // An empty value still takes its place in the list (as an empty
        // name), so that line n of the dialog's lists stays glyph ZAHYOn.
        std::string_view token;
        std::string name;
        if (GlyphTokenReader(value).Next(token)) name = token;
        if (platform::CompareTextNoCase(name.c_str(), keyNames.sentinel) == 0) break;

        char* entry = glyphNameList.names[glyphNameList.count];
        std::size_t length = name.size() < kGlyphNameLength ? name.size() : kGlyphNameLength;
        std::memcpy(entry, name.data(), length);
        entry[length] = '\0';
        ++glyphNameList.count;
    }
}
