#include <gtest/gtest.h>

#include <set>

#include "config/ConfigControls.h"

namespace {

const ScrollBarSetting& Bar(int barId) {
    int index = FindScrollBar(barId);
    EXPECT_GE(index, 0) << barId;
    return scrollBarTable[index < 0 ? 0 : index];
}

TEST(ScrollStep, StepsStopAtTheBoundTheyMoveTowards) {
    const ScrollBarSetting& width = Bar(IDC_WIDTH_BAR);
    EXPECT_EQ(NextScrollValue(3, width, kScrollPageLeft, 0), 0);
    EXPECT_EQ(NextScrollValue(28, width, kScrollPageRight, 0), 30);
    const ScrollBarSetting& timer = Bar(IDC_TIMER_BAR);
    EXPECT_EQ(NextScrollValue(12, timer, kScrollLineLeft, 0), 11);
    EXPECT_EQ(NextScrollValue(11, timer, kScrollLineLeft, 0), 10);
    EXPECT_EQ(NextScrollValue(10, timer, kScrollLineLeft, 0), 10);
    EXPECT_EQ(NextScrollValue(298, timer, kScrollPageRight, 0), 300);
    EXPECT_EQ(NextScrollValue(50, Bar(IDC_SIZE_BAR), kScrollLineRight, 0), 50);
    // The rotation-step bars page by one, like a line.
    const ScrollBarSetting& step = Bar(IDC_STEP_BAR);
    EXPECT_EQ(NextScrollValue(0, step, kScrollPageLeft, 0), 0);
    EXPECT_EQ(NextScrollValue(0, step, kScrollPageRight, 0), 1);
    EXPECT_EQ(NextScrollValue(30, Bar(IDC_OWN_STEP_BAR4), kScrollPageRight, 0), 30);
}

TEST(ScrollStep, OutOfRangeValuesComeBackByStepsFromOneSide) {
    const ScrollBarSetting& timer = Bar(IDC_TIMER_BAR);
    EXPECT_EQ(NextScrollValue(5, timer, kScrollLineRight, 0), 6);
    EXPECT_EQ(NextScrollValue(5, timer, kScrollLineLeft, 0), 10);
    EXPECT_EQ(NextScrollValue(400, timer, kScrollPageLeft, 0), 395);
    EXPECT_EQ(NextScrollValue(400, timer, kScrollLineRight, 0), 300);
    // The ends of the 32-bit range do not wrap round.
    EXPECT_EQ(NextScrollValue(INT32_MIN, timer, kScrollPageLeft, 0), 10);
    EXPECT_EQ(NextScrollValue(INT32_MAX, timer, kScrollPageRight, 0), 300);
}

TEST(ScrollStep, ThumbCodesTakeThePositionOtherCodesKeepTheValue) {
    const ScrollBarSetting& timer = Bar(IDC_TIMER_BAR);
    EXPECT_EQ(NextScrollValue(55, timer, kScrollThumbTrack, 120), 120);
    EXPECT_EQ(NextScrollValue(55, timer, kScrollThumbPosition, 120), 120);
    for (int other : {6, 7, 8})  // top, bottom, end of scroll
        EXPECT_EQ(NextScrollValue(55, timer, other, 120), 55) << other;
}

TEST(ScrollBarTable, EveryBarEditsItsOwnSettingWithinTheDialogRange) {
    std::set<int> ids;
    std::set<int> rows;
    for (const ScrollBarSetting& bar : scrollBarTable) {
        ids.insert(bar.barId);
        ids.insert(bar.displayId);
        for (int i = 0; i < kSettingCount; ++i) {
            const SettingDescriptor& row = settingTable[i];
            if (row.field != bar.field) continue;
            rows.insert(i);
            EXPECT_EQ(bar.minimum, row.dialogMin) << row.key;
            EXPECT_EQ(bar.maximum, row.dialogMax) << row.key;
        }
    }
    EXPECT_EQ(ids.size(), 30u);
    EXPECT_EQ(rows.size(), 15u);
    EXPECT_EQ(FindScrollBar(IDC_GLYPH1), -1);
    for (int slot = 1; slot <= 9; ++slot)
        EXPECT_EQ(scrollBarTable[FindScrollBar(IDC_STEP_BAR) + slot].field, ownStepField[slot]) << slot;
}

TEST(ShownButtons, OutOfGroupValuesShowTheFirstButton) {
    EXPECT_EQ(ViewButtonFor(12), IDC_VIEW0);
    EXPECT_EQ(ViewButtonFor(-1), IDC_VIEW0);
    EXPECT_EQ(ViewButtonFor(9), IDC_VIEW9);
    EXPECT_EQ(PerspectiveButtonFor(7), IDC_PERSPECTIVE0);
    EXPECT_EQ(PerspectiveButtonFor(25), IDC_PERSPECTIVE25);
    EXPECT_EQ(ColourButtonFor(0), IDC_COLOUR_RED);
    EXPECT_EQ(ColourButtonFor(9), IDC_COLOUR_RED);
    EXPECT_EQ(ColourButtonFor(6), IDC_COLOUR_MAGENTA);
    for (int colour = 1; colour <= 7; ++colour) EXPECT_EQ(ColourOfButton(ColourButtonFor(colour)), colour);
    EXPECT_EQ(ColourOfButton(IDC_VIEW0), 0);
    EXPECT_EQ(SlotOfGlyphList(IDC_GLYPH8), 8);
    EXPECT_EQ(SlotOfColourSlot(IDC_COLOUR_SLOT9), 9);
    EXPECT_EQ(SlotOfOwnSpin(IDC_OWN_SPIN1), 1);
    EXPECT_EQ(SlotOfGlyphList(IDC_COLOUR_SLOT1), 0);
}

TEST(ColourRules, ButtonsSetTheSlotColourOnlyWhilePerSlotIsOn) {
    Settings values{};
    EXPECT_EQ(ColourTarget(values, 3), &Settings::COLOR);
    values.COLORS = 1;
    EXPECT_EQ(ColourTarget(values, 3), &Settings::OPTIONC3);
    EXPECT_EQ(ColourTarget(values, 1), &Settings::OPTIONC1);
    // The switch reaches "No.1" always and the others only up to OPTIONN.
    EXPECT_TRUE(ColourSlotFollowsSwitch(1, 0));
    EXPECT_TRUE(ColourSlotFollowsSwitch(2, 2));
    EXPECT_FALSE(ColourSlotFollowsSwitch(3, 2));
}

}  // namespace
