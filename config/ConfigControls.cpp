#include "config/ConfigControls.h"

namespace {

int SlotOf(const int (&ids)[10], int id) {
    for (int slot = 1; slot <= kMaxSlots; ++slot)
        if (ids[slot] == id) return slot;
    return 0;
}

}  // namespace

int SlotOfGlyphList(int id) {
    return SlotOf(glyphListId, id);
}

int SlotOfColourSlot(int id) {
    return SlotOf(colourSlotId, id);
}

int SlotOfOwnSpin(int id) {
    return SlotOf(ownSpinId, id);
}

int ColourOfButton(int id) {
    for (int colour = 1; colour <= 7; ++colour)
        if (colourButtonId[colour] == id) return colour;
    return 0;
}

int ColourButtonFor(std::int32_t colour) {
    return colour >= 2 && colour <= 7 ? colourButtonId[colour] : IDC_COLOUR_RED;
}

int ViewButtonFor(std::int32_t view) {
    return view >= 1 && view <= 9 ? IDC_VIEW0 + view : IDC_VIEW0;
}

int PerspectiveButtonFor(std::int32_t perspective) {
    for (int i = 1; i < 7; ++i)
        if (perspectiveValue[i] == perspective) return perspectiveButtonId[i];
    return IDC_PERSPECTIVE0;
}

std::int32_t Settings::*ColourTarget(const Settings& values, int colourEditSlot) {
    if (values.COLORS != 0 && colourEditSlot >= 1 && colourEditSlot <= kMaxSlots)
        return slotColourField[colourEditSlot];
    return &Settings::COLOR;
}

bool ColourSlotFollowsSwitch(int slot, std::int32_t shownCount) {
    return slot == 1 || shownCount >= slot;
}
