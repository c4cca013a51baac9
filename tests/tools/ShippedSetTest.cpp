#include <gtest/gtest.h>

#include <set>
#include <string>

#include "SetupCheck.h"
#include "settings/Settings.h"
#include "support/TestSupport.h"
#include "tools/ContactSheet.h"
#include "tools/GlyphCheck.h"

namespace {

std::string ShippedFile() {
    return testsupport::ReadFile(std::string(KORAVEL_SOURCE_DIR) + "/res/KORAVEL.ini");
}

TEST(ShippedSet, PassesTheCheckerAndHoldsCapitalsAndDigits) {
    const std::string text = ShippedFile();
    int listed = 0;
    const std::vector<GlyphProblem> problems = CheckGlyphFile(text, &listed);
    for (const GlyphProblem& problem : problems) ADD_FAILURE() << problem.key << " " << problem.name << ": " << problem.reason;
    std::set<std::string> names;
    for (const ListedGlyph& glyph : ListedGlyphs(text)) names.insert(glyph.name);
    for (char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789")) EXPECT_EQ(names.count(std::string(1, c)), 1u) << c;
    EXPECT_EQ(names.size(), static_cast<std::size_t>(listed));  // no name twice
    // Room is left in the list for the user's own glyphs.
    EXPECT_LT(listed, kMaxListedGlyphs);
}

TEST(ShippedSet, SettingsSectionIsWhatSaveSettingsWritesForTheDefaults) {
    const std::string folder = testsupport::TemporaryFolder();
    setenv("KORAVEL_INI_DIR", folder.c_str(), 1);
    LoadKeyNames(testsupport::StringTableModule());
    LoadSettings();  // no file: every default
    ASSERT_TRUE(SaveSettings());
    const std::string written = testsupport::ReadFile(platform::ProfileFilePath(keyNames.fileName));
    const std::string shipped = ShippedFile();
    ASSERT_EQ(shipped.compare(0, written.size(), written), 0) << "shipped file begins:\n" << shipped.substr(0, 200);
    EXPECT_EQ(shipped.substr(written.size(), 16), "\r\n[MOJI ZAHYO]\r\n");
}

TEST(ShippedSet, FirstStartShowsStarAndHeartAndEveryGlyphSetsUp) {
    const std::string text = ShippedFile();
    UseSettingsFile(text);
    ASSERT_EQ(settings.OPTIONN, 2);
    const std::vector<ListedGlyph> glyphs = ListedGlyphs(text);
    ASSERT_GE(glyphs.size(), 22u);
    EXPECT_EQ(glyphs[settings.OPTIONA1 - 1].name, "STAR");
    EXPECT_EQ(glyphs[settings.OPTIONA2 - 1].name, "HEART");
    for (const ListedGlyph& glyph : glyphs) {
        GlyphDefinition parsed{};
        ASSERT_TRUE(ParseGlyphValue(glyph.value, parsed)) << glyph.name;
        EXPECT_EQ(LoadAndSetUp(glyph.number, parsed.pointCount), "") << glyph.name;
    }
}

TEST(ShippedSet, ContactSheetShowsEveryGlyphWithItsHoles) {
    const std::vector<ListedGlyph> listed = ListedGlyphs(ShippedFile());
    std::vector<SheetGlyph> glyphs;
    int letterO = -1;
    for (const ListedGlyph& glyph : listed) {
        SheetGlyph sheet{glyph.number, {}};
        ASSERT_TRUE(ParseGlyphValue(glyph.value, sheet.glyph)) << glyph.name;
        if (glyph.name == "O") letterO = static_cast<int>(glyphs.size());
        glyphs.push_back(sheet);
    }
    const Image image = RenderContactSheet(glyphs);
    ASSERT_TRUE(WritePng(KORAVEL_CONTACT_SHEET, image)) << KORAVEL_CONTACT_SHEET;

    // Every cell holds some of its glyph.
    for (std::size_t cell = 0; cell < glyphs.size(); ++cell) {
        const PixelPoint corner = SheetPixel(static_cast<int>(cell), -50, 70);
        int lit = 0;
        for (int y = 0; y < kSheetCellHeight; ++y)
            for (int x = 0; x < kSheetCellWidth; ++x)
                lit += image.At(static_cast<int>(corner.x) + x, static_cast<int>(corner.y) + y) == 0xffffff;
        EXPECT_GT(lit, 200) << listed[cell].name;
    }
    // O: its middle is open (the axis line shows through), and right of
    // the middle the stroke follows within the cell.
    ASSERT_GE(letterO, 0);
    const PixelPoint middle = SheetPixel(letterO, 0, 0);
    const int row = static_cast<int>(middle.y);
    EXPECT_EQ(image.At(static_cast<int>(middle.x), row), 0x202060u);
    bool stroke = false;
    for (int x = static_cast<int>(middle.x); x < static_cast<int>(middle.x) + 48 * kSheetUnit; ++x)
        stroke = stroke || image.At(x, row) == 0xffffffu;
    EXPECT_TRUE(stroke);
}

}  // namespace
