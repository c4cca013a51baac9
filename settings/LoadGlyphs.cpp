#include <string>

#include "scene/SceneRecords.h"
#include "settings/GlyphDefinition.h"
#include "settings/GlyphTokens.h"
#include "settings/Settings.h"

namespace {

// Reads the next token as a number; false when the value has run out.
bool NextNumber(GlyphTokenReader& reader, std::int32_t& number) {
    std::string_view token;
    if (!reader.Next(token)) return false;
    number = ReadGlyphNumber(token);
    return true;
}

}  // namespace

bool ParseGlyphValue(std::string_view value, GlyphDefinition& glyph) {
    GlyphTokenReader reader(value);
    std::string_view name;
    if (!reader.Next(name)) return false;
    if (platform::CompareTextNoCase(std::string(name).c_str(), keyNames.sentinel) == 0) return false;

    // Everything is read into a copy first: a glyph that breaks the limits
    // leaves the slot as it was instead of half overwritten.
    GlyphDefinition read = glyph;
    if (!NextNumber(reader, read.pointCount) || !NextNumber(reader, read.reserved)) return false;
    for (int h = 1; h <= kMaxHoles; ++h)
        if (!NextNumber(reader, read.holeStart[h])) return false;
    if (!NextNumber(reader, read.contourCount)) return false;
    for (int j = 1; j <= kMaxContours; ++j)
        if (!NextNumber(reader, read.contourFirst[j]) || !NextNumber(reader, read.contourLast[j])) return false;

    if (read.pointCount < 0 || read.pointCount > kMaxGlyphPoints) return false;
    if (read.contourCount < 0 || read.contourCount > kMaxContours) return false;
    // Pairs beyond contourCount are stored but never used, so any numbers
    // will do there; the used ones must name points the glyph has.
    for (int j = 1; j <= read.contourCount; ++j) {
        if (read.contourFirst[j] < 1 || read.contourFirst[j] > read.pointCount) return false;
        if (read.contourLast[j] < 1 || read.contourLast[j] > read.pointCount) return false;
    }
    for (int i = 1; i <= read.pointCount; ++i)
        if (!NextNumber(reader, read.pointX[i]) || !NextNumber(reader, read.pointY[i])) return false;

    glyph = read;
    return true;
}

void LoadGlyphs() {
    const int shown = ShownSlotCount();
    for (int k = 1; k <= shown; ++k) {
        ShownGlyph& glyph = characterSlots[k].glyph;
        const std::int32_t choice = settings.*glyphChoiceField[k];

        bool loaded = false;
        // The key carries at most three digits; other numbers name no glyph.
        if (choice >= 0 && choice <= 999) {
            char key[16];
            MakeGlyphKey(static_cast<std::uint32_t>(choice), key);
            char value[512];
            platform::ReadProfileString(keyNames.glyphSection, key, keyNames.sentinel, value, sizeof value,
                                        keyNames.fileName);
            // Read into a stored glyph of its own: the slot's glyph is not
            // in the stored format, and what it held before does not matter.
            GlyphDefinition stored{};
            loaded = ParseGlyphValue(value, stored);
            if (loaded) glyph = ShownGlyphOf(stored);
        }
        if (!loaded) {
            glyph.pointCount = 0;
            glyph.contourCount = 0;
        }
    }
}
