// The configuration dialog at work: the real resource and procedure, driven
// as the user drives it, with the user's own settings file.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "config/ConfigControls.h"
#include "config/win32/ConfigDialogProc.h"
#include "config/win32/ConfigDialogState.h"
#include "glyphs/win32/SystemTextFont.h"
#include "data/DejaVuSansText.h"
#include "res/StringIds.h"
#include "settings/Settings.h"
#include "wine/ConfigDialogHarness.h"

namespace {

using configtest::MessageBoxCatcher;
using configtest::OpenDialog;
using configtest::ReadIni;
using configtest::SettingsFile;
using configtest::StoredValue;
using configtest::WriteIni;

const wchar_t kSelectOne[] = L"最低１つは選択して下さい";
const wchar_t kNoBlank[] = L"途中に空白は指定出来ません";

class ConfigDialog : public ::testing::Test {
protected:
    void TearDown() override {
        RemoveDirectoryA(configtest::IniPath().c_str());
        configtest::RemoveIni();
    }
};

// Slots 1 to 3 hold glyphs 1, 2, 3 of twelve.
std::string ThreeSlotFile(configtest::KeyValues more = {}) {
    std::string file = SettingsFile({{"OPTIONA1", 1}, {"OPTIONA2", 2}, {"OPTIONA3", 3}, {"OPTIONN", 3}});
    std::string extra;
    for (const auto& [key, value] : more) extra += std::string(key) + "=" + std::to_string(value) + "\r\n";
    file.insert(file.find("[MOJI ZAHYO]"), extra);
    return file;
}

// ---- Opening and closing ---------------------------------------------------

TEST_F(ConfigDialog, OpeningShowsEveryStoredValueAndOkWritesThemBack) {
    WriteIni(SettingsFile({{"OPTIONA1", 3}, {"OPTIONA2", 2}, {"OPTIONA3", 7}, {"OPTIONN", 3}, {"VIEW", 12},
                           {"ENKIN", 7}, {"OPTIONP", 0}, {"KAITEN", 5}, {"ZKAITEN2", 1}, {"BKMODE", 0},
                           {"ZANZOU", 1}, {"HABA", 4}, {"HABAJIDO", 0}, {"TIMER", 123}, {"SIZE", 20},
                           {"SIZEY", 30}, {"SIZES", 0}, {"STEPRAG4", 17}, {"SIZEIDO", 25}}));
    {
        OpenDialog dialog;
        EXPECT_EQ(dialog.Selection(IDC_GLYPH1), 3);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH2), 2);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH3), 7);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH4), 0);
        EXPECT_EQ(SendMessageW(dialog.Item(IDC_GLYPH9), CB_GETCOUNT, 0, 0), 13);
        EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 3);
        // Values that no button stands for show the group's first button.
        EXPECT_TRUE(dialog.Checked(IDC_VIEW0));
        EXPECT_TRUE(dialog.Checked(IDC_PERSPECTIVE0));
        EXPECT_TRUE(dialog.Checked(IDC_MODE_CENTRE));
        EXPECT_FALSE(dialog.Checked(IDC_MODE_MOVE));
        EXPECT_TRUE(dialog.Checked(IDC_TURN_WHOLE));
        EXPECT_FALSE(dialog.Checked(IDC_OWN_SPIN1));
        EXPECT_TRUE(dialog.Checked(IDC_OWN_SPIN2));
        EXPECT_FALSE(dialog.Checked(IDC_CLEAR_SCREEN));
        EXPECT_TRUE(dialog.Checked(IDC_TRAILS));
        EXPECT_FALSE(dialog.Checked(IDC_AUTO_WIDTH));
        EXPECT_TRUE(dialog.Enabled(IDC_WIDTH_BAR));
        EXPECT_EQ(dialog.Shown(IDC_WIDTH_SHOW), 4);
        EXPECT_EQ(dialog.Thumb(IDC_WIDTH_BAR), 4);
        EXPECT_EQ(dialog.Shown(IDC_TIMER_SHOW), 123);
        EXPECT_EQ(dialog.Thumb(IDC_TIMER_BAR), 123);
        EXPECT_EQ(dialog.Shown(IDC_OWN_STEP_SHOW4), 17);
        EXPECT_EQ(dialog.Shown(IDC_OWN_STEP_SHOW5), 9);
        EXPECT_EQ(dialog.Shown(IDC_SIZE_SHOW), 20);
        EXPECT_EQ(dialog.Shown(IDC_SIZEY_SHOW), 30);
        EXPECT_TRUE(dialog.Enabled(IDC_SIZEY_BAR));
        EXPECT_EQ(dialog.Shown(IDC_MOVE_SHOW), 25);  // shown as stored, beyond the bar's range
        EXPECT_EQ(dialog.Shown(IDC_STEP_SHOW), 9);
        dialog.Command(IDOK);
    }
    std::string file = ReadIni();
    EXPECT_EQ(StoredValue(file, "VIEW"), "12");
    EXPECT_EQ(StoredValue(file, "ENKIN"), "7");
    EXPECT_EQ(StoredValue(file, "OPTIONP"), "0");
    EXPECT_EQ(StoredValue(file, "KAITEN"), "5");
    EXPECT_EQ(StoredValue(file, "SIZEIDO"), "25");
    EXPECT_EQ(StoredValue(file, "OPTIONA3"), "7");
    EXPECT_EQ(StoredValue(file, "OPTIONN"), "3");
}

TEST_F(ConfigDialog, ColoursOutsideTheButtonsShowRedAndAreKept) {
    WriteIni(SettingsFile({{"COLORS", 0}, {"COLOR", 0}, {"OPTIONC1", 9}}));
    {
        OpenDialog dialog;
        EXPECT_TRUE(dialog.Checked(IDC_COLOUR_RED));
        for (int id = IDC_COLOUR_SLOT1; id <= IDC_COLOUR_SLOT9; ++id) EXPECT_FALSE(dialog.Enabled(id)) << id;
        dialog.Command(IDOK);
    }
    EXPECT_EQ(StoredValue(ReadIni(), "COLOR"), "0");

    // With a colour per slot, slot No.1's colour is shown and COLOR takes it.
    WriteIni(SettingsFile({{"COLORS", 1}, {"COLOR", 4}, {"OPTIONC1", 9}, {"OPTIONN", 2}}));
    {
        OpenDialog dialog;
        EXPECT_TRUE(dialog.Checked(IDC_COLOUR_RED));
        EXPECT_TRUE(dialog.Checked(IDC_COLOUR_SLOT1));
        for (int id = IDC_COLOUR_SLOT1; id <= IDC_COLOUR_SLOT9; ++id) EXPECT_TRUE(dialog.Enabled(id)) << id;
        dialog.Command(IDOK);
    }
    std::string file = ReadIni();
    EXPECT_EQ(StoredValue(file, "OPTIONC1"), "9");
    EXPECT_EQ(StoredValue(file, "COLOR"), "9");
}

TEST_F(ConfigDialog, OkWritesAllKeysInStorageOrderAndKeepsTheGlyphs) {
    configtest::RemoveIni();
    EXPECT_EQ(configtest::RunModal([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); }), 1);
    std::string fresh = ReadIni();
    std::size_t at = fresh.find("[KORAVEL]");
    ASSERT_NE(at, std::string::npos);
    for (const SettingDescriptor& row : settingTable) {
        std::size_t next = fresh.find("\n" + std::string(row.key) + "=", at);
        ASSERT_NE(next, std::string::npos) << row.key << " missing or out of order";
        at = next + 1;
    }
    EXPECT_EQ(StoredValue(fresh, "OPTIONA1"), "22");  // no glyphs in the file: the number is kept

    // A file with only TIMER: every other key appears with its default, and
    // the glyph section stays as it was.
    std::string sparse = SettingsFile({{"TIMER", 100}}, 3);
    WriteIni(sparse);
    EXPECT_EQ(configtest::RunModal([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDOK, 0); }), 1);
    std::string written = ReadIni();
    for (const SettingDescriptor& row : settingTable) {
        std::string expected = row.field == &Settings::TIMER ? "100" : std::to_string(row.defaultValue);
        EXPECT_EQ(StoredValue(written, row.key), expected) << row.key;
    }
    std::string glyphs = sparse.substr(sparse.find("[MOJI ZAHYO]"));
    EXPECT_NE(written.find(glyphs), std::string::npos);
    for (const char* key : {"\nTEXT=", "\nFONT=", "\nPAGE="}) EXPECT_EQ(written.find(key), std::string::npos);
}

TEST_F(ConfigDialog, CancelLeavesTheFileByteForByte) {
    std::string before = ThreeSlotFile({{"TIMER", 77}});
    WriteIni(before);
    INT_PTR result = configtest::RunModal([](HWND dialog) {
        SendMessageW(GetDlgItem(dialog, IDC_TRAILS), BM_CLICK, 0, 0);
        SendMessageW(GetDlgItem(dialog, IDC_VIEW5), BM_CLICK, 0, 0);
        SendMessageW(dialog, WM_HSCROLL, MAKEWPARAM(SB_PAGERIGHT, 0),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_TIMER_BAR)));
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(settings.TIMER, 82);  // the change was made in memory only
    EXPECT_EQ(ReadIni(), before);
}

TEST_F(ConfigDialog, AFailedSaveIsReportedAndTheDialogStaysOpen) {
    // A folder where the file should be: every write fails.
    configtest::RemoveIni();
    ASSERT_TRUE(CreateDirectoryA(configtest::IniPath().c_str(), nullptr));
    MessageBoxCatcher catcher;
    bool openAfterOk = false;
    INT_PTR result = configtest::RunModal([&](HWND dialog) {
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        openAfterOk = IsWindow(dialog) && IsWindowVisible(dialog);
        PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(result, 0);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].caption, L"KORAVEL");
    std::string path = configtest::IniPath();
    std::wstring widePath(path.begin(), path.end());
    EXPECT_NE(catcher.Boxes()[0].text.find(widePath), std::wstring::npos);
    // ...and says what to do about it.
    EXPECT_NE(catcher.Boxes()[0].text.find(L"インストーラーで再インストールしてください"), std::wstring::npos);
}

TEST_F(ConfigDialog, ListsWithoutASelectionKeepTheirStoredNumbers) {
    // No glyphs at all: every list holds only the empty entry, and the lists
    // of the stored glyphs 22 and 5 show no selection.
    WriteIni("[KORAVEL]\r\nOPTIONN=2\r\n");
    MessageBoxCatcher catcher;
    {
        OpenDialog dialog;
        for (int slot = 1; slot <= 9; ++slot)
            EXPECT_EQ(SendMessageW(dialog.Item(glyphListId[slot]), CB_GETCOUNT, 0, 0), 1) << slot;
        EXPECT_EQ(dialog.Selection(IDC_GLYPH1), CB_ERR);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH2), CB_ERR);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH3), 0);
        // The first list has the focus from the opening on; the second gets it.
        EXPECT_EQ(GetFocus(), dialog.Item(IDC_GLYPH1));
        SetFocus(dialog.Item(IDC_GLYPH2));
        dialog.Pump();
        dialog.Command(IDOK);
    }
    std::string file = ReadIni();
    EXPECT_EQ(StoredValue(file, "OPTIONA1"), "22");
    EXPECT_EQ(StoredValue(file, "OPTIONA2"), "5");
    EXPECT_EQ(StoredValue(file, "OPTIONN"), "2");
    EXPECT_TRUE(catcher.Boxes().empty());
}

TEST_F(ConfigDialog, HandlesOnlyItsThreeMessagesAndAnswersAsItShould) {
    WriteIni(ThreeSlotFile());
    OpenDialog dialog;
    EXPECT_EQ(ConfigDialogProc(dialog.Window(), WM_COMMAND, MAKEWPARAM(IDC_VIEW4, BN_CLICKED), 0), FALSE);
    EXPECT_EQ(settings.VIEW, 4);
    EXPECT_EQ(ConfigDialogProc(dialog.Window(), WM_COMMAND, MAKEWPARAM(4321, 0), 0), FALSE);
    EXPECT_EQ(ConfigDialogProc(dialog.Window(), WM_VSCROLL, SB_LINEDOWN, 0), FALSE);
    EXPECT_EQ(ConfigDialogProc(dialog.Window(), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0), TRUE);
}

// ---- Simple option controls -----------------------------------------------

TEST_F(ConfigDialog, RadioButtonsStoreTheirValues) {
    WriteIni(ThreeSlotFile());
    OpenDialog dialog;
    dialog.Click(IDC_MODE_MOVE);
    EXPECT_EQ(settings.OPTIONP, 2);
    dialog.Click(IDC_MODE_CENTRE);
    EXPECT_EQ(settings.OPTIONP, 1);
    EXPECT_FALSE(dialog.Checked(IDC_MODE_MOVE));
    dialog.Click(IDC_TURN_EACH);
    EXPECT_EQ(settings.KAITEN, 1);
    dialog.Click(IDC_TURN_WHOLE);
    EXPECT_EQ(settings.KAITEN, 0);
    for (int view = 0; view <= 9; ++view) {
        dialog.Click(IDC_VIEW0 + view);
        EXPECT_EQ(settings.VIEW, view);
    }
    dialog.Click(IDC_PERSPECTIVE10);
    EXPECT_EQ(settings.ENKIN, 10);
    dialog.Click(IDC_PERSPECTIVE25);
    EXPECT_EQ(settings.ENKIN, 25);
    for (int id = IDC_PERSPECTIVE0; id <= IDC_PERSPECTIVE30; ++id)
        EXPECT_EQ(dialog.Checked(id), id == IDC_PERSPECTIVE25) << id;
    dialog.Click(IDC_PERSPECTIVE30);
    EXPECT_EQ(settings.ENKIN, 30);
    dialog.Click(IDC_PERSPECTIVE0);
    EXPECT_EQ(settings.ENKIN, 0);
}

TEST_F(ConfigDialog, TwoClicksOnACheckBoxReturnBoxAndSettingToTheirStart) {
    WriteIni(ThreeSlotFile({{"BKMODE", 1}, {"ZANZOU", 0}, {"ZKAITEN5", 1}}));
    OpenDialog dialog;
    struct Box {
        int id;
        std::int32_t* value;
        bool checked;
    } boxes[] = {{IDC_CLEAR_SCREEN, &settings.BKMODE, true},
                 {IDC_TRAILS, &settings.ZANZOU, false},
                 {IDC_OWN_SPIN5, &settings.ZKAITEN5, true},
                 {IDC_OWN_SPIN9, &settings.ZKAITEN9, false}};
    for (const Box& box : boxes) {
        SCOPED_TRACE(box.id);
        std::int32_t start = *box.value;
        dialog.Click(box.id);
        EXPECT_EQ(*box.value, start ^ 1);
        EXPECT_EQ(dialog.Checked(box.id), !box.checked);
        dialog.Click(box.id);
        EXPECT_EQ(*box.value, start);
        EXPECT_EQ(dialog.Checked(box.id), box.checked);
    }
}

// ---- Glyph chain ------------------------------------------------------------

TEST_F(ConfigDialog, SlotOneEmptiedTakesTheFirstGlyphWithOneWarning) {
    WriteIni(ThreeSlotFile());
    OpenDialog dialog;
    MessageBoxCatcher catcher;
    dialog.Choose(IDC_GLYPH1, 0);
    EXPECT_EQ(dialog.Selection(IDC_GLYPH1), 1);
    EXPECT_EQ(settings.OPTIONA1, 1);
    EXPECT_EQ(settings.OPTIONN, 3);
    EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 3);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, kSelectOne);
    EXPECT_EQ(catcher.Boxes()[0].caption, L"KORAVEL");
}

TEST_F(ConfigDialog, ChangesThatBreakTheChainArePutBackWithOneWarning) {
    WriteIni(ThreeSlotFile());
    OpenDialog dialog;
    MessageBoxCatcher catcher;
    // Slot 2 emptied inside the chain: it gets the first glyph, not its own.
    dialog.Choose(IDC_GLYPH2, 0);
    EXPECT_EQ(dialog.Selection(IDC_GLYPH2), 1);
    EXPECT_EQ(settings.OPTIONA2, 1);
    EXPECT_EQ(settings.OPTIONN, 3);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, kNoBlank);
    EXPECT_EQ(catcher.Boxes()[0].caption, L"KORAVEL");
    catcher.Clear();
    // A glyph for slot 5 after three used slots: slot 5 stays empty.
    dialog.Choose(IDC_GLYPH5, 4);
    EXPECT_EQ(dialog.Selection(IDC_GLYPH5), 0);
    EXPECT_EQ(settings.OPTIONA5, 0);
    EXPECT_EQ(settings.OPTIONN, 3);
    EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 3);
    ASSERT_EQ(catcher.Boxes().size(), 1u);
    EXPECT_EQ(catcher.Boxes()[0].text, kNoBlank);
}

TEST_F(ConfigDialog, TheCountFollowsTheEndOfTheChain) {
    WriteIni(ThreeSlotFile());
    OpenDialog dialog;
    MessageBoxCatcher catcher;
    dialog.Choose(IDC_GLYPH4, 6);
    EXPECT_EQ(settings.OPTIONA4, 6);
    EXPECT_EQ(settings.OPTIONN, 4);
    EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 4);
    dialog.Choose(IDC_GLYPH4, 0);
    EXPECT_EQ(settings.OPTIONA4, 0);
    EXPECT_EQ(settings.OPTIONN, 3);
    EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 3);
    // A used slot changed to another glyph changes nothing else.
    dialog.Choose(IDC_GLYPH2, 9);
    EXPECT_EQ(settings.OPTIONA2, 9);
    EXPECT_EQ(settings.OPTIONN, 3);
    EXPECT_TRUE(catcher.Boxes().empty());
    dialog.Command(IDOK);
    std::string file = ReadIni();
    EXPECT_EQ(StoredValue(file, "OPTIONA2"), "9");
    EXPECT_EQ(StoredValue(file, "OPTIONA4"), "0");
    EXPECT_EQ(StoredValue(file, "OPTIONN"), "3");
}

// ---- Colours ----------------------------------------------------------------

TEST_F(ConfigDialog, ColourSwitchEnablesTheSlotsUpToTheCount) {
    WriteIni(ThreeSlotFile({{"COLORS", 0}, {"COLOR", 2}, {"OPTIONC1", 5}, {"OPTIONC3", 6}}));
    OpenDialog dialog;
    EXPECT_TRUE(dialog.Checked(IDC_COLOUR_GREEN));
    // A colour with COLORS off sets COLOR only.
    dialog.Click(IDC_COLOUR_WHITE);
    EXPECT_EQ(settings.COLOR, 4);
    EXPECT_EQ(settings.OPTIONC1, 5);

    dialog.Click(IDC_COLOUR_PER_SLOT);
    EXPECT_EQ(settings.COLORS, 1);
    for (int slot = 1; slot <= 9; ++slot)
        EXPECT_EQ(dialog.Enabled(IDC_COLOUR_SLOT1 + slot - 1), slot <= 3) << slot;
    EXPECT_TRUE(dialog.Checked(IDC_COLOUR_SLOT1));
    EXPECT_TRUE(dialog.Checked(IDC_COLOUR_YELLOW));  // slot No.1's colour
    EXPECT_EQ(settings.COLOR, 5);

    // "No.3", then green, sets slot 3's colour.
    dialog.Click(IDC_COLOUR_SLOT3);
    EXPECT_TRUE(dialog.Checked(IDC_COLOUR_MAGENTA));
    EXPECT_FALSE(dialog.Checked(IDC_COLOUR_YELLOW));
    dialog.Click(IDC_COLOUR_GREEN);
    EXPECT_EQ(settings.OPTIONC3, 2);

    // Off and on again: back on slot No.1, and the next colour sets slot 1.
    dialog.Click(IDC_COLOUR_PER_SLOT);
    EXPECT_EQ(settings.COLORS, 0);
    EXPECT_FALSE(dialog.Enabled(IDC_COLOUR_SLOT1));
    EXPECT_FALSE(dialog.Checked(IDC_COLOUR_SLOT3));
    EXPECT_TRUE(dialog.Checked(IDC_COLOUR_YELLOW));  // COLOR kept slot 1's colour
    dialog.Click(IDC_COLOUR_PER_SLOT);
    EXPECT_TRUE(dialog.Checked(IDC_COLOUR_SLOT1));
    dialog.Click(IDC_COLOUR_CYAN);
    EXPECT_EQ(settings.OPTIONC1, 7);
    EXPECT_EQ(settings.OPTIONC3, 2);
}

TEST_F(ConfigDialog, ColourSlotRadiosKeepTheirStateBeyondTheCount) {
    WriteIni(SettingsFile({{"OPTIONA1", 1}, {"OPTIONA2", 2}, {"OPTIONN", 2}, {"COLORS", 1}}));
    OpenDialog dialog;
    MessageBoxCatcher catcher;
    // Emptying slot 2 with colours per slot keeps its radio enabled.
    dialog.Choose(IDC_GLYPH2, 0);
    EXPECT_EQ(settings.OPTIONN, 1);
    EXPECT_TRUE(dialog.Enabled(IDC_COLOUR_SLOT2));
    dialog.Choose(IDC_GLYPH2, 2);
    EXPECT_EQ(settings.OPTIONN, 2);
    // Turning colours off reaches only the radios of slots 1 to OPTIONN.
    dialog.Click(IDC_COLOUR_PER_SLOT);
    EXPECT_FALSE(dialog.Enabled(IDC_COLOUR_SLOT1));
    EXPECT_FALSE(dialog.Enabled(IDC_COLOUR_SLOT2));
    for (int id = IDC_COLOUR_SLOT3; id <= IDC_COLOUR_SLOT9; ++id) EXPECT_TRUE(dialog.Enabled(id)) << id;
    // Filling slot 3 with colours off disables its radio.
    dialog.Choose(IDC_GLYPH3, 1);
    EXPECT_FALSE(dialog.Enabled(IDC_COLOUR_SLOT3));
    EXPECT_TRUE(catcher.Boxes().empty());
}

// ---- Scroll bars ------------------------------------------------------------

// Every bar with its number display, its setting, its range and its page
// step, as the dialog must set them.
const struct {
    int barId, displayId;
    std::int32_t Settings::*field;
    int minimum, maximum, pageStep;
} kBars[] = {
    {1017, 1014, &Settings::HABA, 0, 30, 5},     {1018, 1012, &Settings::STEPRAG, 0, 30, 1},
    {1019, 1029, &Settings::SIZE, 1, 50, 5},     {1044, 1043, &Settings::SIZEY, 1, 50, 5},
    {1020, 1016, &Settings::SIZEIDO, 0, 20, 5},  {1028, 1021, &Settings::TIMER, 10, 300, 5},
    {1023, 1015, &Settings::STEPRAG1, 0, 30, 1}, {1025, 1024, &Settings::STEPRAG2, 0, 30, 1},
    {1027, 1026, &Settings::STEPRAG3, 0, 30, 1}, {1037, 1036, &Settings::STEPRAG4, 0, 30, 1},
    {1042, 1038, &Settings::STEPRAG5, 0, 30, 1}, {1082, 1081, &Settings::STEPRAG6, 0, 30, 1},
    {1084, 1083, &Settings::STEPRAG7, 0, 30, 1}, {1086, 1085, &Settings::STEPRAG8, 0, 30, 1},
    {1088, 1087, &Settings::STEPRAG9, 0, 30, 1},
};

TEST_F(ConfigDialog, EveryBarHasItsRangeAndStepsWithinIt) {
    WriteIni(ThreeSlotFile({{"HABAJIDO", 0}, {"SIZES", 0}}));
    OpenDialog dialog;
    for (const auto& bar : kBars) {
        SCOPED_TRACE(bar.barId);
        int low = -1, high = -1;
        EXPECT_TRUE(GetScrollRange(dialog.Item(bar.barId), SB_CTL, &low, &high));
        EXPECT_EQ(low, bar.minimum);
        EXPECT_EQ(high, bar.maximum);
        std::int32_t& value = settings.*bar.field;
        auto expect = [&](std::int32_t want) {
            EXPECT_EQ(value, want);
            EXPECT_EQ(dialog.Shown(bar.displayId), want);
            EXPECT_EQ(dialog.Thumb(bar.barId), want);
        };
        dialog.Scroll(bar.barId, SB_THUMBTRACK, bar.minimum + 1);
        expect(bar.minimum + 1);
        dialog.Scroll(bar.barId, SB_LINELEFT);
        expect(bar.minimum);
        dialog.Scroll(bar.barId, SB_LINELEFT);
        expect(bar.minimum);
        dialog.Scroll(bar.barId, SB_PAGERIGHT);
        expect(bar.minimum + bar.pageStep);
        dialog.Scroll(bar.barId, SB_LINERIGHT);
        expect(bar.minimum + bar.pageStep + 1);
        dialog.Scroll(bar.barId, SB_PAGELEFT);
        expect(bar.minimum + 1);
        dialog.Scroll(bar.barId, SB_THUMBPOSITION, bar.maximum - 1);
        expect(bar.maximum - 1);
        dialog.Scroll(bar.barId, SB_PAGERIGHT);
        expect(bar.maximum);
        dialog.Scroll(bar.barId, SB_LINERIGHT);
        expect(bar.maximum);
        dialog.Scroll(bar.barId, SB_ENDSCROLL);
        expect(bar.maximum);
    }
}

TEST_F(ConfigDialog, BarsHoldAtTheBoundsTheyMoveTowards) {
    WriteIni(ThreeSlotFile({{"HABAJIDO", 0}, {"HABA", 3}, {"TIMER", 12}, {"SIZE", 50}, {"SIZES", 0}}));
    OpenDialog dialog;
    dialog.Scroll(IDC_WIDTH_BAR, SB_PAGELEFT);
    EXPECT_EQ(settings.HABA, 0);
    EXPECT_EQ(dialog.Shown(IDC_WIDTH_SHOW), 0);
    for (int want : {11, 10, 10}) {
        dialog.Scroll(IDC_TIMER_BAR, SB_LINELEFT);
        EXPECT_EQ(settings.TIMER, want);
        EXPECT_EQ(dialog.Shown(IDC_TIMER_SHOW), want);
    }
    dialog.Scroll(IDC_SIZE_BAR, SB_LINERIGHT);
    EXPECT_EQ(settings.SIZE, 50);
    EXPECT_EQ(dialog.Shown(IDC_SIZE_SHOW), 50);
    dialog.Scroll(IDC_TIMER_BAR, SB_THUMBTRACK, 120);
    EXPECT_EQ(settings.TIMER, 120);
    dialog.Scroll(IDC_TIMER_BAR, SB_THUMBPOSITION, 120);
    EXPECT_EQ(settings.TIMER, 120);
    EXPECT_EQ(dialog.Shown(IDC_TIMER_SHOW), 120);
    // A scroll message from a window that is no bar changes nothing.
    SendMessageW(dialog.Window(), WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0),
                 reinterpret_cast<LPARAM>(dialog.Item(IDC_GLYPH1)));
    SendMessageW(dialog.Window(), WM_HSCROLL, MAKEWPARAM(SB_LINERIGHT, 0), 0);
    EXPECT_EQ(settings.TIMER, 120);
}

TEST_F(ConfigDialog, AStoredTimerBelowItsRangeRisesByStepsAndFallsToTheBound) {
    WriteIni(ThreeSlotFile({{"TIMER", 5}}));
    OpenDialog dialog;
    EXPECT_EQ(dialog.Shown(IDC_TIMER_SHOW), 5);
    dialog.Scroll(IDC_TIMER_BAR, SB_LINERIGHT);
    EXPECT_EQ(settings.TIMER, 6);
    EXPECT_EQ(dialog.Shown(IDC_TIMER_SHOW), 6);
    dialog.Scroll(IDC_TIMER_BAR, SB_LINELEFT);
    EXPECT_EQ(settings.TIMER, 10);
    EXPECT_EQ(dialog.Shown(IDC_TIMER_SHOW), 10);
}

TEST_F(ConfigDialog, SynchronisedSizeCarriesTheHorizontalSize) {
    WriteIni(ThreeSlotFile({{"SIZES", 1}, {"SIZE", 20}, {"SIZEY", 30}}));
    OpenDialog dialog;
    EXPECT_TRUE(dialog.Checked(IDC_SIZE_SYNC));
    EXPECT_FALSE(dialog.Enabled(IDC_SIZEY_BAR));
    EXPECT_EQ(dialog.Thumb(IDC_SIZEY_BAR), 30);
    dialog.Scroll(IDC_SIZE_BAR, SB_PAGERIGHT);
    EXPECT_EQ(settings.SIZE, 25);
    EXPECT_EQ(settings.SIZEY, 25);
    EXPECT_EQ(dialog.Shown(IDC_SIZEY_SHOW), 25);
    EXPECT_EQ(dialog.Thumb(IDC_SIZEY_BAR), 30);  // its bar is off and stays put

    dialog.Click(IDC_SIZE_SYNC);
    EXPECT_EQ(settings.SIZES, 0);
    EXPECT_TRUE(dialog.Enabled(IDC_SIZEY_BAR));
    EXPECT_EQ(dialog.Thumb(IDC_SIZEY_BAR), 25);
    dialog.Scroll(IDC_SIZE_BAR, SB_LINERIGHT);
    EXPECT_EQ(settings.SIZEY, 25);  // no longer follows
    dialog.Scroll(IDC_SIZEY_BAR, SB_LINELEFT);
    EXPECT_EQ(settings.SIZEY, 24);

    // Turning it on copies SIZE at once.
    dialog.Click(IDC_SIZE_SYNC);
    EXPECT_EQ(settings.SIZEY, 26);
    EXPECT_EQ(dialog.Shown(IDC_SIZEY_SHOW), 26);
    EXPECT_FALSE(dialog.Enabled(IDC_SIZEY_BAR));
}

TEST_F(ConfigDialog, AutomaticWidthTurnsTheWidthBarOff) {
    WriteIni(ThreeSlotFile({{"HABAJIDO", 1}, {"HABA", 7}}));
    OpenDialog dialog;
    EXPECT_TRUE(dialog.Checked(IDC_AUTO_WIDTH));
    EXPECT_FALSE(dialog.Enabled(IDC_WIDTH_BAR));
    EXPECT_EQ(dialog.Shown(IDC_WIDTH_SHOW), 7);
    dialog.Click(IDC_AUTO_WIDTH);
    EXPECT_EQ(settings.HABAJIDO, 0);
    EXPECT_TRUE(dialog.Enabled(IDC_WIDTH_BAR));
    dialog.Click(IDC_AUTO_WIDTH);
    EXPECT_EQ(settings.HABAJIDO, 1);
    EXPECT_FALSE(dialog.Enabled(IDC_WIDTH_BAR));
    EXPECT_EQ(settings.HABA, 7);
    EXPECT_EQ(dialog.Shown(IDC_WIDTH_SHOW), 7);
}

// ---- Your own text -----------------------------------------------------------

// "KR8" in DejaVu Sans gives the glyphs the Linux maker makes from the same
// font file; they reach the file with OK only.
TEST_F(ConfigDialog, TheTextDialogStoresTheLinuxMakersGlyphsOnOkOnly) {
    const std::string before = ThreeSlotFile();
    WriteIni(before);
    MessageBoxCatcher catcher;
    {
        OpenDialog dialog;
        configtest::AnswerTextDialog(L"KR8", L"DejaVu Sans", IDCANCEL);
        dialog.Click(IDC_TEXT_BUTTON);
        // The dialog answers while the glyphs are made: a Cancel queued
        // behind OK stops the making.
        configtest::AnswerTextDialog(L"KR8", L"DejaVu Sans", IDOK, IDCANCEL);
        dialog.Click(IDC_TEXT_BUTTON);
        EXPECT_EQ(settings.OPTIONA1, 1);
        EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 3);
        configtest::AnswerTextDialog(L" KR8 ", L"dejavu sans");
        dialog.Click(IDC_TEXT_BUTTON);
        EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 3);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH1), 13);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH3), 15);
        EXPECT_EQ(dialog.Selection(IDC_GLYPH4), 0);
        dialog.Command(IDCANCEL);
    }
    EXPECT_EQ(ReadIni(), before);
    {
        OpenDialog dialog;
        configtest::AnswerTextDialog(L"KR8", L"DejaVu Sans");
        dialog.Click(IDC_TEXT_BUTTON);
        dialog.Command(IDOK);
    }
    const std::string file = ReadIni();
    for (int i = 0; i < 3; ++i) {
        const std::string line = "ZAHYO" + std::to_string(13 + i) + "=" + kDejaVuSansTextValues[i] + "\r\n";
        EXPECT_NE(file.find(line), std::string::npos) << line;
        EXPECT_EQ(StoredValue(file, "OPTIONA" + std::to_string(i + 1)), std::to_string(13 + i));
    }
    EXPECT_EQ(StoredValue(file, "OPTIONN"), "3");
    EXPECT_TRUE(catcher.Boxes().empty());
}

// Text... pressed without taking the focus (a command posted to the dialog)
// leaves it on a glyph list, which gets it back as the text dialog ends and
// must not put its old glyph back over the text's.
TEST_F(ConfigDialog, TheTextKeepsItsSlotsWhenTheFocusReturnsToAGlyphList) {
    const struct {
        int focusedSlot;
        const wchar_t* text;
        std::int32_t slots[3];
        std::int32_t count;
    } cases[] = {{1, L"KR8", {13, 14, 15}, 3}, {2, L"K", {13, 0, 0}, 1}};
    for (const auto& run : cases) {
        SCOPED_TRACE(run.focusedSlot);
        WriteIni(ThreeSlotFile());
        MessageBoxCatcher catcher;
        OpenDialog dialog;
        const int slot = run.focusedSlot;
        HWND list = dialog.Item(glyphListId[slot]), button = dialog.Item(IDC_TEXT_BUTTON);
        SetFocus(list);
        dialog.Pump();
        configtest::AnswerTextDialog(run.text, L"DejaVu Sans");
        PostMessageW(dialog.Window(), WM_COMMAND, MAKEWPARAM(IDC_TEXT_BUTTON, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
        dialog.Pump();
        EXPECT_EQ(GetFocus(), button);
        for (int k = 1; k <= 3; ++k) {
            EXPECT_EQ(settings.*glyphChoiceField[k], run.slots[k - 1]) << k;
            EXPECT_EQ(dialog.Selection(glyphListId[k]), run.slots[k - 1]) << k;
        }
        EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), run.count);
        // The glyph the list showed before the text is then a choice like any other.
        dialog.Choose(glyphListId[slot], slot);
        EXPECT_EQ(settings.*glyphChoiceField[slot], slot);
        EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), run.count > slot ? run.count : slot);
        EXPECT_TRUE(catcher.Boxes().empty());
    }
}

// A name longer than a font's face, which only another program can set, is
// no font's name for Font... and OK alike.
TEST_F(ConfigDialog, TheTextDialogSaysWhatStopsATextAndChangesNothing) {
    WriteIni(ThreeSlotFile());
    MessageBoxCatcher catcher;
    OpenDialog dialog;
    const std::wstring longName(63, L'W');
    const struct {
        const wchar_t* text;
        const wchar_t* font;
        UINT message;
        const wchar_t* about;
        int button = IDOK;
    } cases[] = {{L"K\x3042", L"DejaVu Sans", IDS_TEXT_MISSING, L"\x3042"},
                 {L"K", L"No Such Font", IDS_TEXT_NO_FONT, L"No Such Font"},
                 {L"K", longName.c_str(), IDS_TEXT_NO_FONT, longName.c_str(), IDC_FONT_BUTTON},
                 {L"K", longName.c_str(), IDS_TEXT_NO_FONT, longName.c_str()},
                 {L"K 8", L"DejaVu Sans", IDS_TEXT_SPACE, L""},
                 {L"  ", L"DejaVu Sans", IDS_TEXT_EMPTY, L""}};
    for (const auto& stop : cases) {
        catcher.Clear();
        configtest::AnswerTextDialog(stop.text, stop.font, stop.button);
        dialog.Click(IDC_TEXT_BUTTON);
        ASSERT_EQ(catcher.Boxes().size(), 1u) << stop.message;
        std::wstring said = MessageText(stop.message);
        if (*stop.about) said.append(L"\n").append(stop.about);
        EXPECT_EQ(catcher.Boxes()[0].text, said);
        EXPECT_EQ(settings.OPTIONA1, 1);
        EXPECT_EQ(settings.OPTIONN, 3);
        EXPECT_EQ(glyphNameList.count, 12);
    }
}

// "Keep as text" keeps a text of any length, its font and its page time
// for OK to write, and leaves the slots and the glyphs as they are; Cancel
// writes nothing. The dialog opens on a kept text, and OK with no text
// removes the three keys.
TEST_F(ConfigDialog, KeepAsTextWritesTheTextOnOkAndNoTextRemovesIt) {
    const std::string before = ThreeSlotFile();
    WriteIni(before);
    MessageBoxCatcher catcher;
    const std::wstring text = L"%H:%M \u3053\u3093\u306b\u3061\u306f \\ \"KORAVEL\"";
    for (int button : {IDCANCEL, IDOK}) {
        OpenDialog dialog;
        configtest::AnswerTextDialog(IDC_TEXT_KEEP, text + L"  ", L"DejaVu Sans", L"7");
        dialog.Click(IDC_TEXT_BUTTON);
        EXPECT_FALSE(configtest::LastTextDialog().keep);
        EXPECT_EQ(configtest::LastTextDialog().says, MessageText(IDS_TEXT_STORE_SAYS));
        // The font offered first is one OK takes (the dialog's font is
        // named by a substitute under Wine).
        EXPECT_TRUE(SystemHasOutlineFont(configtest::LastTextDialog().font)) << configtest::LastTextDialog().font;
        EXPECT_EQ(settings.OPTIONA1, 1);
        EXPECT_EQ(dialog.Shown(IDC_COUNT_SHOW), 3);
        dialog.Command(button);
        if (button == IDCANCEL) {
            EXPECT_EQ(ReadIni(), before);
        }
    }
    std::string file = ReadIni();
    EXPECT_EQ(StoredValue(file, "TEXT"), "%H:%M \\u3053\\u3093\\u306B\\u3061\\u306F \\\\ \"KORAVEL\\u0022");
    EXPECT_EQ(StoredValue(file, "FONT"), "DejaVu Sans");
    EXPECT_EQ(StoredValue(file, "PAGE"), "7");
    EXPECT_EQ(StoredValue(file, "OPTIONA1"), "1");
    EXPECT_EQ(file.find("ZAHYO13"), std::string::npos);
    {
        OpenDialog dialog;
        configtest::AnswerTextDialog(IDC_TEXT_KEEP, L"", L"DejaVu Sans");
        dialog.Click(IDC_TEXT_BUTTON);
        const configtest::TextDialogShown shown = configtest::LastTextDialog();
        EXPECT_TRUE(shown.keep);
        EXPECT_EQ(shown.text, text);
        EXPECT_EQ(shown.font, L"DejaVu Sans");
        EXPECT_EQ(shown.page, L"7");
        EXPECT_EQ(shown.says, MessageText(IDS_TEXT_KEEP_SAYS));
        dialog.Command(IDOK);
    }
    file = ReadIni();
    for (const char* key : {"TEXT", "FONT", "PAGE"}) EXPECT_EQ(file.find(std::string("\n") + key + "="), std::string::npos);
    EXPECT_TRUE(catcher.Boxes().empty());
}

// Glyphs stored while a text is kept replace it (the text would show
// instead); a text is kept only in a font the system has.
TEST_F(ConfigDialog, StoringGlyphsRemovesAKeptTextAndKeepingOneNeedsAnInstalledFont) {
    std::string kept = ThreeSlotFile();
    kept.insert(kept.find("[MOJI ZAHYO]"), "TEXT=Hi\r\nFONT=DejaVu Sans:bold\r\nPAGE=5\r\n");
    WriteIni(kept);
    MessageBoxCatcher catcher;
    {
        OpenDialog dialog;
        configtest::AnswerTextDialog(IDC_TEXT_KEEP, L"Hi", L"No Such Font");
        dialog.Click(IDC_TEXT_BUTTON);
        ASSERT_EQ(catcher.Boxes().size(), 1u);
        EXPECT_EQ(catcher.Boxes()[0].text, MessageText(IDS_TEXT_NO_FONT) + L"\nNo Such Font");
        configtest::AnswerTextDialog(IDC_TEXT_STORE, L"KR8", L"DejaVu Sans");
        dialog.Click(IDC_TEXT_BUTTON);
        EXPECT_EQ(settings.OPTIONA1, 13);
        dialog.Command(IDOK);
    }
    const std::string file = ReadIni();
    EXPECT_EQ(StoredValue(file, "TEXT"), "");
    EXPECT_EQ(StoredValue(file, "FONT"), "");
    EXPECT_NE(file.find("ZAHYO13="), std::string::npos);
    EXPECT_EQ(catcher.Boxes().size(), 1u);
}

// A character beyond U+FFFF, typed as its two UTF-16 halves, is one
// character; nine of them fit the text.
TEST_F(ConfigDialog, TheTextDialogTakesCharactersBeyondUffff) {
    WriteIni(ThreeSlotFile());
    MessageBoxCatcher catcher;
    OpenDialog dialog;
    std::wstring nine;
    for (int i = 0; i < 9; ++i) nine += L"\xD835\xDD38";  // U+1D538
    configtest::AnswerTextDialog(nine, L"DejaVu Sans");
    dialog.Click(IDC_TEXT_BUTTON);
    for (int slot = 1; slot <= 9; ++slot) EXPECT_EQ(settings.*glyphChoiceField[slot], 13) << slot;
    EXPECT_EQ(settings.OPTIONN, 9);
    EXPECT_TRUE(catcher.Boxes().empty());
}

}  // namespace
