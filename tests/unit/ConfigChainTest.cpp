#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "config/ConfigControls.h"

namespace {

// The settings of a dialog whose slots 1..used hold glyphs 1, 2, 3, ...
Settings ChainOf(int used) {
    Settings values{};
    for (int slot = 1; slot <= 9; ++slot) values.*glyphChoiceField[slot] = slot <= used ? slot : 0;
    values.OPTIONN = used;
    return values;
}

struct Recorder {
    std::vector<std::pair<int, ChainWarning>> corrections;
    ChainCorrection Sink() {
        return [this](int entry, ChainWarning warning) { corrections.emplace_back(entry, warning); };
    }
};

TEST(GlyphChain, SlotOneEmptiedTakesTheFirstGlyphAndKeepsTheCount) {
    Settings values = ChainOf(3);
    Recorder recorder;
    EXPECT_TRUE(ApplyGlyphSelection(values, 1, 0, recorder.Sink()));
    EXPECT_EQ(values.OPTIONA1, 1);
    EXPECT_EQ(values.OPTIONN, 3);
    ASSERT_EQ(recorder.corrections.size(), 1u);
    EXPECT_EQ(recorder.corrections[0], std::make_pair(1, ChainWarning::selectAtLeastOne));
}

TEST(GlyphChain, RefusedChangesAreWarnedOnceAndLeaveTheCount) {
    // Slot 2 emptied inside a chain of three: it takes glyph 1, not its old 2.
    Settings middle = ChainOf(3);
    Recorder emptied;
    ApplyGlyphSelection(middle, 2, 0, emptied.Sink());
    EXPECT_EQ(middle.OPTIONA2, 1);
    EXPECT_EQ(middle.OPTIONN, 3);
    ASSERT_EQ(emptied.corrections.size(), 1u);
    EXPECT_EQ(emptied.corrections[0], std::make_pair(1, ChainWarning::noBlankInMiddle));

    // A glyph for slot 5 after a chain of three: slot 5 stays empty.
    Settings beyond = ChainOf(3);
    Recorder filled;
    ApplyGlyphSelection(beyond, 5, 4, filled.Sink());
    EXPECT_EQ(beyond.OPTIONA5, 0);
    EXPECT_EQ(beyond.OPTIONN, 3);
    ASSERT_EQ(filled.corrections.size(), 1u);
    EXPECT_EQ(filled.corrections[0], std::make_pair(0, ChainWarning::noBlankInMiddle));
}

TEST(GlyphChain, CountFollowsTheEndOfTheChain) {
    Settings values = ChainOf(3);
    Recorder recorder;
    ApplyGlyphSelection(values, 4, 7, recorder.Sink());
    EXPECT_EQ(values.OPTIONA4, 7);
    EXPECT_EQ(values.OPTIONN, 4);
    ApplyGlyphSelection(values, 4, 0, recorder.Sink());
    EXPECT_EQ(values.OPTIONA4, 0);
    EXPECT_EQ(values.OPTIONN, 3);
    // A used slot changed to another glyph changes nothing else.
    ApplyGlyphSelection(values, 2, 9, recorder.Sink());
    EXPECT_EQ(values.OPTIONA2, 9);
    EXPECT_EQ(values.OPTIONN, 3);
    // The last slot has no successor to guard; emptying it shortens the chain.
    Settings full = ChainOf(9);
    ApplyGlyphSelection(full, 9, 0, recorder.Sink());
    EXPECT_EQ(full.OPTIONA9, 0);
    EXPECT_EQ(full.OPTIONN, 8);
    EXPECT_TRUE(recorder.corrections.empty());
}

TEST(GlyphChain, AFileWithAGapCanFireBothRulesOnOneChange) {
    // Slots 1, 3 and 4 used, slot 2 empty: emptying slot 3 is refused twice,
    // first for its used successor, then for its empty predecessor.
    Settings values = ChainOf(4);
    values.OPTIONA2 = 0;
    Recorder recorder;
    ApplyGlyphSelection(values, 3, 0, recorder.Sink());
    EXPECT_EQ(values.OPTIONA3, 0);
    ASSERT_EQ(recorder.corrections.size(), 2u);
    EXPECT_EQ(recorder.corrections[0], std::make_pair(1, ChainWarning::noBlankInMiddle));
    EXPECT_EQ(recorder.corrections[1], std::make_pair(0, ChainWarning::noBlankInMiddle));
    EXPECT_EQ(values.OPTIONN, 4);
}

TEST(GlyphChain, NestedRunDuringAWarningAgreesWithTheOuterRun) {
    // The warning's message loop runs the same list's handler again with the
    // list as corrected; on a gap-free chain it must warn no more and end
    // where the outer run ends.
    for (int slot = 1; slot <= 9; ++slot) {
        for (int selection : {0, 5}) {
            Settings values = ChainOf(3);
            int warnings = 0;
            ChainCorrection correct;
            correct = [&](int entry, ChainWarning) {
                ++warnings;
                if (warnings > 2) return;
                ApplyGlyphSelection(values, slot, entry, correct);
            };
            ApplyGlyphSelection(values, slot, selection, correct);
            Settings once = ChainOf(3);
            ApplyGlyphSelection(once, slot, selection, [](int, ChainWarning) {});
            EXPECT_LE(warnings, 1) << "slot " << slot << " selection " << selection;
            EXPECT_EQ(values.*glyphChoiceField[slot], once.*glyphChoiceField[slot]) << "slot " << slot;
            EXPECT_EQ(values.OPTIONN, once.OPTIONN) << "slot " << slot << " selection " << selection;
        }
    }
}

TEST(GlyphChain, AListWithoutSelectionKeepsTheStoredNumber) {
    // A stored glyph number beyond the list gives no selection (-1); the
    // notification the list sends on getting the focus must not store it.
    Settings values = ChainOf(2);
    values.OPTIONA2 = 150;
    Recorder recorder;
    EXPECT_FALSE(ApplyGlyphSelection(values, 2, -1, recorder.Sink()));
    EXPECT_FALSE(ApplyGlyphSelection(values, 1, -1, recorder.Sink()));
    EXPECT_EQ(values.OPTIONA1, 1);
    EXPECT_EQ(values.OPTIONA2, 150);
    EXPECT_EQ(values.OPTIONN, 2);
    EXPECT_TRUE(recorder.corrections.empty());
}

}  // namespace
