// A system font's outlines read through GDI: DejaVu Sans, which Wine finds
// among the Linux system fonts, must give the very values that FreeType's
// reading of the same file gives.
#include <gtest/gtest.h>
#include <windows.h>

#include "data/DejaVuSansText.h"
#include "glyphs/GlyphValue.h"
#include "glyphs/MakeGlyph.h"
#include "glyphs/NativeOutline.h"
#include "glyphs/win32/SystemFontOutlines.h"

namespace {

TEST(SystemFontOutlines, DejaVuSansGivesTheValuesThatFreeTypeGives) {
    LOGFONTW wanted{};
    lstrcpyW(wanted.lfFaceName, L"DejaVu Sans");
    wanted.lfWeight = FW_NORMAL;
    SystemFont font;
    ASSERT_TRUE(OpenSystemFont(wanted, font)) << "no outline font (package fonts-dejavu-core)";
    EXPECT_EQ(font.face, L"DejaVu Sans");
    const auto value = [&font](char32_t character) {
        CharacterOutline outline;
        EXPECT_TRUE(SystemGlyphOutline(font, character, outline));
        return FormatGlyphValue(DefaultGlyphName(character), MakeGlyph(outline, font.metrics, MakeOptions{}).fit.glyph);
    };
    for (int i = 0; i < 3; ++i) EXPECT_EQ(value(kDejaVuSansText[i]), kDejaVuSansTextValues[i]);
    EXPECT_EQ(value(kDejaVuSansCircledDot), kDejaVuSansCircledDotValue);
    EXPECT_TRUE(SystemFontHas(font, kDejaVuSansDoubleStruckA));
    EXPECT_EQ(value(kDejaVuSansDoubleStruckA), kDejaVuSansDoubleStruckAValue);
    EXPECT_FALSE(SystemFontHas(font, U'\U0001F319'));
    CharacterOutline outline(1);
    EXPECT_FALSE(SystemFontHas(font, U'\u3042'));
    EXPECT_FALSE(SystemGlyphOutline(font, U'\u3042', outline));
    EXPECT_TRUE(SystemFontHas(font, U' '));
    EXPECT_TRUE(SystemGlyphOutline(font, U' ', outline));
    EXPECT_TRUE(outline.empty());
    CloseSystemFont(font);
    EXPECT_EQ(font.dc, nullptr);
}

// The portable reader takes the system's own records.
TEST(SystemFontOutlines, BuffersThatDoNotHoldTheirRecordsAreRefused) {
    // One contour: its start and a line of one point, closed by a second line.
    struct {
        TTPOLYGONHEADER header;
        WORD type, count;
        POINTFX point;
    } buffer{{28, TT_POLYGON_TYPE, {}}, TT_PRIM_LINE, 1, {}};
    const auto* bytes = reinterpret_cast<const unsigned char*>(&buffer);
    CharacterOutline outline;
    ASSERT_TRUE(NativeOutlineContours(bytes, sizeof buffer, {}, false, outline));
    EXPECT_EQ(outline.at(0).segments.size(), 2u);
    EXPECT_FALSE(NativeOutlineContours(bytes, sizeof buffer - 1, {}, false, outline));
    buffer.count = 2;
    EXPECT_FALSE(NativeOutlineContours(bytes, sizeof buffer, {}, false, outline));
    buffer.count = 1;
    buffer.type = TT_PRIM_QSPLINE;  // a spline needs a control and an end
    EXPECT_FALSE(NativeOutlineContours(bytes, sizeof buffer, {}, false, outline));
}

}  // namespace
