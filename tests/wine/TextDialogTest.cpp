// The text dialog at work inside the real configuration dialog: names that
// are no font's, characters beyond U+FFFF, and a Cancel that comes while
// the glyphs are being made.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "config/ConfigControls.h"
#include "config/ConfigDialogIds.h"
#include "config/TextGlyphs.h"
#include "config/win32/ConfigDialogState.h"
#include "data/DejaVuSansText.h"
#include "glyphs/GlyphValue.h"
#include "res/StringIds.h"
#include "settings/Settings.h"
#include "wine/ConfigDialogHarness.h"

namespace {

using configtest::MessageBoxCatcher;
using configtest::OpenDialog;

// Glyph 1 in slot 1, of twelve; the file is written before the dialog opens.
class TextDialog : public ::testing::Test {
protected:
    void TearDown() override {
        RemoveDirectoryA(configtest::IniPath().c_str());
        configtest::RemoveIni();
    }

    // The text dialog answered, then the one message it said ("" for none).
    std::wstring Answer(const std::wstring& text, const std::wstring& font, int button = IDOK, int thenButton = 0) {
        catcher.Clear();
        configtest::AnswerTextDialog(text, font, button, thenButton);
        dialog.Click(IDC_TEXT_BUTTON);
        EXPECT_LE(catcher.Boxes().size(), 1u);
        return catcher.Boxes().empty() ? L"" : catcher.Boxes()[0].text;
    }

    const bool written = (configtest::WriteIni(configtest::SettingsFile({{"OPTIONA1", 1}, {"OPTIONN", 1}})), true);
    MessageBoxCatcher catcher;
    OpenDialog dialog;
};

std::wstring Said(UINT message, const std::wstring& about) {
    return MessageText(message) + L"\n" + about;
}

// Another program may set a name longer than a font's face can hold: both
// the font dialog's button and OK refuse it as the name of no font.
TEST_F(TextDialog, ANameLongerThanAFontsFaceIsNoFontsName) {
    const std::wstring name(63, L'W');
    EXPECT_EQ(Answer(L"K", name, IDC_FONT_BUTTON), Said(IDS_TEXT_NO_FONT, name));
    EXPECT_EQ(Answer(L"K", name), Said(IDS_TEXT_NO_FONT, name));
    EXPECT_EQ(settings.OPTIONA1, 1);
    EXPECT_EQ(glyphNameList.count, 12);
}

// A character beyond U+FFFF, typed as its two UTF-16 halves, is one
// character with the glyph FreeType gives it; nine of them fit the text.
TEST_F(TextDialog, CharactersBeyondUffffAreOneCharacterEachWithTheirGlyph) {
    const std::wstring a = L"\xD835\xDD38";  // U+1D538
    EXPECT_EQ(Answer(L"K" + a, L"DejaVu Sans"), L"");
    EXPECT_EQ(settings.OPTIONN, 2);
    ASSERT_EQ(textGlyphStore.pending.size(), 2u);
    const PendingGlyph& made = textGlyphStore.pending[1];
    EXPECT_EQ(made.number, 14);
    EXPECT_EQ(FormatGlyphValue(made.name, made.glyph), kDejaVuSansDoubleStruckAValue);

    std::wstring nine;
    for (int i = 0; i < 9; ++i) nine += a;
    EXPECT_EQ(Answer(nine, L"DejaVu Sans"), L"");
    EXPECT_EQ(settings.OPTIONN, 9);
    for (int slot = 1; slot <= 9; ++slot) EXPECT_EQ(dialog.Selection(glyphListId[slot]), 14) << slot;
}

// The dialog answers while the glyphs are made: a Cancel queued behind OK
// stops the making and ends the dialog with nothing changed.
TEST_F(TextDialog, CancelWhileTheGlyphsAreMadeStopsAndChangesNothing) {
    EXPECT_EQ(Answer(L"KR8", L"DejaVu Sans", IDOK, IDCANCEL), L"");
    EXPECT_EQ(settings.OPTIONA1, 1);
    EXPECT_EQ(settings.OPTIONN, 1);
    EXPECT_EQ(glyphNameList.count, 12);
    // Made to the end, the same text is placed.
    EXPECT_EQ(Answer(L"KR8", L"DejaVu Sans"), L"");
    EXPECT_EQ(settings.OPTIONN, 3);
}

}  // namespace
