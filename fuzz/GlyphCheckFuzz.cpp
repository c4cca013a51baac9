// Fuzz target: the glyph checker on a whole settings file. Whatever the file
// holds, the checker must finish without a sanitizer report, count the same
// glyphs as the dialog's list does, and pass only glyphs that the loader
// takes and that keep the outline rules the scene relies on.
#include <cstdint>
#include <string>

#include "fuzz/FuzzSupport.h"
#include "settings/GlyphDefinition.h"
#include "tools/GlyphCheck.h"

namespace {

using fuzzsupport::Fail;

// The rules of a well-formed glyph: contours that cover points 1..P in
// order, each of three points or more, and every x inside the cell.
void CheckWellFormed(const GlyphDefinition& glyph, const std::string& key) {
    if (glyph.pointCount < 1 || glyph.pointCount > kMaxGlyphPoints) Fail("a passed glyph has 1..45 points", key);
    if (glyph.contourCount < 1 || glyph.contourCount > kMaxContours) Fail("a passed glyph has 1..13 contours", key);
    std::int64_t expectedFirst = 1;
    for (int j = 1; j <= glyph.contourCount; ++j) {
        if (glyph.contourFirst[j] != expectedFirst) Fail("a passed glyph's contours follow on", key);
        if (std::int64_t{glyph.contourLast[j]} - glyph.contourFirst[j] < 2)
            Fail("a passed glyph's contours have three points", key);
        expectedFirst = glyph.contourLast[j] + 1;
    }
    if (expectedFirst != glyph.pointCount + 1) Fail("a passed glyph's last contour ends at its last point", key);
    for (int i = 1; i <= glyph.pointCount; ++i)
        if (glyph.pointX[i] < -50 || glyph.pointX[i] > 50) Fail("a passed glyph stays inside its cell", key);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(fuzzsupport::AsText(data, size));
    int listed = -1;
    CheckGlyphFile(text, &listed);

    const fuzzsupport::ServedSettings file(text);
    ListGlyphNames();
    if (listed != glyphNameList.count) Fail("the checker counts the glyphs the dialog lists");

    const std::vector<ListedGlyph> glyphs = ListedGlyphs(text);
    if (static_cast<int>(glyphs.size()) != listed) Fail("the listed glyphs are the ones counted");
    for (const ListedGlyph& glyph : glyphs) {
        if (!CheckGlyphValue(glyph.value).empty()) continue;
        GlyphDefinition definition{};
        if (!ParseGlyphValue(glyph.value, definition)) Fail("the loader takes every glyph the checker passes");
        CheckWellFormed(definition, "ZAHYO" + std::to_string(glyph.number));
    }
    return 0;
}
