#include <cstring>

#include "config/TextGlyphs.h"
#include "glyphs/GlyphValue.h"
#include "platform/Platform.h"
#include "settings/Settings.h"

TextGlyphStore textGlyphStore;

namespace {

// Equal as the saver draws them: the counts, the holes, the used contour
// pairs and the points; `reserved` and the unused pairs carry nothing.
bool SameGlyph(const GlyphDefinition& a, const GlyphDefinition& b) {
    if (a.pointCount != b.pointCount || a.contourCount != b.contourCount) return false;
    for (int h = 1; h <= kMaxHoles; ++h)
        if (a.holeStart[h] != b.holeStart[h]) return false;
    for (int j = 1; j <= a.contourCount; ++j)
        if (a.contourFirst[j] != b.contourFirst[j] || a.contourLast[j] != b.contourLast[j]) return false;
    for (int i = 1; i <= a.pointCount; ++i)
        if (a.pointX[i] != b.pointX[i] || a.pointY[i] != b.pointY[i]) return false;
    return true;
}

// The stored value of ZAHYO<number>, read as the saver reads it.
std::string StoredValue(int number) {
    char key[16];
    MakeGlyphKey(static_cast<std::uint32_t>(number), key);
    char value[512];
    platform::ReadProfileString(keyNames.glyphSection, key, keyNames.sentinel, value, sizeof value,
                                keyNames.fileName);
    return value;
}

// The glyphs a character can reuse: every listed one, with its number.
struct KnownGlyph {
    int number;
    std::string name;
    bool loaded;  // false when the stored value does not load as a glyph
    GlyphDefinition glyph;
};

KnownGlyph ReadKnownGlyph(int number, const std::string& name) {
    KnownGlyph known{number, name, false, {}};
    for (const PendingGlyph& waiting : textGlyphStore.pending) {
        if (waiting.number == number) {
            known.loaded = true;
            known.glyph = waiting.glyph;
            return known;
        }
    }
    known.loaded = ParseGlyphValue(StoredValue(number), known.glyph);
    return known;
}

bool NameTaken(const std::vector<KnownGlyph>& list, const std::string& name) {
    for (const KnownGlyph& known : list)
        if (platform::CompareTextNoCase(known.name.c_str(), name.c_str()) == 0) return true;
    return false;
}

// The character's own name, or that name with the lowest number added that
// no listed glyph has; empty when none fits in nine characters.
std::string FreeName(const std::vector<KnownGlyph>& list, char32_t character) {
    const std::string base = DefaultGlyphName(character);
    if (!NameTaken(list, base)) return base;
    for (int suffix = 2; suffix <= 999; ++suffix) {
        std::string name = base + std::to_string(suffix);
        if (name.size() > static_cast<std::size_t>(kGlyphNameLength)) break;
        if (!NameTaken(list, name)) return name;
    }
    return std::string();
}

}  // namespace

TextPlacement PlaceTextGlyphs(const std::vector<TextCharacter>& text) {
    std::vector<KnownGlyph> list;
    const int listed = glyphNameList.count < kMaxListedGlyphs ? glyphNameList.count : kMaxListedGlyphs;
    for (int i = 0; i < listed; ++i) list.push_back(ReadKnownGlyph(i + 1, glyphNameList.names[i]));

    std::vector<PendingGlyph> made;
    std::vector<int> numbers;
    for (const TextCharacter& character : text) {
        int number = 0;
        for (const KnownGlyph& known : list) {
            if (known.loaded && SameGlyph(known.glyph, character.glyph)) {
                number = known.number;
                break;
            }
        }
        if (number == 0) {
            // The key after the list's end is missing or holds the end
            // marker: the new glyph goes there. Glyphs stored after it are
            // not listed, so nothing above reused them, and they are never
            // written over. Once this key holds a glyph, the file lists them
            // up to its next gap: they join the list now, in key order after
            // the new glyph, and from here on are listed glyphs like any
            // other (their names are taken, later characters reuse them).
            number = static_cast<int>(list.size()) + 1;
            if (number > kMaxListedGlyphs) return TextPlacement::tooManyGlyphs;
            list.push_back({number, std::string(), true, character.glyph});
            std::string joiningName;
            for (int next = number + 1;
                 next <= kMaxListedGlyphs && ReadGlyphName(static_cast<std::uint32_t>(next), joiningName); ++next)
                list.push_back(ReadKnownGlyph(next, joiningName.substr(0, kGlyphNameLength)));
            const std::string name = FreeName(list, character.character);
            if (name.empty()) return TextPlacement::tooManyGlyphs;
            list[number - 1].name = name;
            made.push_back({number, name, character.glyph});
        }
        numbers.push_back(number);
    }

    for (const PendingGlyph& glyph : made) textGlyphStore.pending.push_back(glyph);
    glyphNameList.count = 0;
    for (const KnownGlyph& known : list) {
        char* entry = glyphNameList.names[glyphNameList.count++];
        std::size_t length = known.name.size() < kGlyphNameLength ? known.name.size() : kGlyphNameLength;
        std::memcpy(entry, known.name.data(), length);
        entry[length] = '\0';
    }
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        settings.*glyphChoiceField[slot] = slot <= static_cast<int>(numbers.size()) ? numbers[slot - 1] : 0;
    settings.OPTIONN = static_cast<std::int32_t>(numbers.size());
    return TextPlacement::placed;
}

bool WriteTextGlyphs() {
    std::vector<PendingGlyph>& pending = textGlyphStore.pending;
    while (!pending.empty()) {
        const PendingGlyph& glyph = pending.front();
        const std::string value = FormatGlyphValue(glyph.name, glyph.glyph);
        char key[16];
        MakeGlyphKey(static_cast<std::uint32_t>(glyph.number), key);
        if (!platform::WriteProfileValue(keyNames.glyphSection, key, value.c_str(), keyNames.fileName))
            return false;
        pending.erase(pending.begin());
    }
    return true;
}
