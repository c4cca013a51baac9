// The nine glyph lists keep the used slots a chain without gaps that starts
// at slot No.1, and OPTIONN the number of its last slot. A change that would
// break the chain is put back and warned about; a file that already breaks it
// is not repaired.
#include "config/ConfigControls.h"

namespace {

std::int32_t& Glyph(Settings& values, int slot) {
    return values.*glyphChoiceField[slot];
}

}  // namespace

bool ApplyGlyphSelection(Settings& values, int slot, int selection, const ChainCorrection& correct) {
    if (slot < 1 || slot > kMaxSlots || selection < 0) return false;
    Glyph(values, slot) = selection;

    // Slot No.1 is never empty: it takes the first glyph instead.
    if (slot == 1) {
        if (Glyph(values, 1) == 0) {
            Glyph(values, 1) = 1;
            correct(1, ChainWarning::selectAtLeastOne);
        }
        return true;
    }

    // Each rule reads the setting as the one before it (and any nested run
    // during its warning) left it, so a file that already had a gap can make
    // both rules fire on one change.
    if (slot < kMaxSlots && Glyph(values, slot) == 0 && Glyph(values, slot + 1) != 0) {
        Glyph(values, slot) = 1;
        correct(1, ChainWarning::noBlankInMiddle);
    }
    if (slot >= 3 && Glyph(values, slot) != 0 && Glyph(values, slot - 1) == 0) {
        Glyph(values, slot) = 0;
        correct(0, ChainWarning::noBlankInMiddle);
    }

    // The count follows the end of the chain, after any warning is closed.
    if (Glyph(values, slot) == 0) {
        if (values.OPTIONN == slot) values.OPTIONN = slot - 1;
    } else if (values.OPTIONN == slot - 1) {
        values.OPTIONN = slot;
    }
    return true;
}
