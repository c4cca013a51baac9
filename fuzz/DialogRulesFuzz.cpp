// Fuzz target: the configuration dialog's portable rules driven by a script
// of user actions. The input is a settings file, a NUL byte, then the
// script (a file with no NUL byte is its own script). The dialog opens on
// the file's settings and glyph list; each action is a choice in a glyph
// list, a colour-slot radio, a colour button, the "色の個別設定" switch, a
// scroll message, or one of the two bar switches. No rule may reach outside
// its tables, and a chain of used positions that runs from No.1 without
// gaps keeps doing so, with OPTIONN at its last position.
#include <cstdint>
#include <string>

#include "config/ConfigControls.h"
#include "fuzz/FuzzSupport.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

namespace {

using fuzzsupport::ByteScript;
using fuzzsupport::Fail;

// Used positions 1..OPTIONN, every later one empty.
bool IsGapFreeChain(const Settings& values) {
    if (values.OPTIONN < 1 || values.OPTIONN > kMaxSlots) return false;
    for (int k = 1; k <= kMaxSlots; ++k)
        if ((values.*glyphChoiceField[k] != 0) != (k <= values.OPTIONN)) return false;
    return true;
}

bool IsColourField(std::int32_t Settings::*field) {
    if (field == &Settings::COLOR) return true;
    for (int k = 1; k <= kMaxSlots; ++k)
        if (field == slotColourField[k]) return true;
    return false;
}

bool IsColourButton(int id) {
    for (int colour = 1; colour <= 7; ++colour)
        if (colourButtonId[colour] == id) return true;
    return false;
}

struct Dialog {
    Settings values;
    int colourEditSlot = 1;
    bool chainWasGapFree = false;
};

// A choice in the glyph list of `slot`. A refused change's warning lets the
// same list's handler run once more, nested, on the corrected selection.
void ChooseGlyph(Dialog& dialog, int slot, int selection) {
    int warnings = 0, nestedWarnings = 0;
    ApplyGlyphSelection(dialog.values, slot, selection, [&](int entry, ChainWarning) {
        ++warnings;
        // A refused change selects the empty entry or the first glyph. A list
        // without glyphs has no entry 1 and is then left without a selection.
        if (entry != 0 && entry != 1) Fail("a corrected list selects the empty entry or the first glyph");
        const int selected = entry <= glyphNameList.count ? entry : -1;
        ApplyGlyphSelection(dialog.values, slot, selected, [&](int, ChainWarning) { ++nestedWarnings; });
    });
    if (slot == 1 && selection >= 0 && dialog.values.OPTIONA1 == 0) Fail("position No.1 is never left empty");
    if (!dialog.chainWasGapFree) return;
    if (!IsGapFreeChain(dialog.values))
        Fail("used positions run from No.1 without gaps, OPTIONN at the last",
             "slot " + std::to_string(slot) + " selection " + std::to_string(selection));
    if (warnings > 1 || nestedWarnings > 0) Fail("a change to a gap-free chain warns at most once");
}

void Scroll(Dialog& dialog, int index, int code, ByteScript& script) {
    if (index >= kScrollBarCount) {
        // A message from a window that is not one of the bars changes nothing.
        if (FindScrollBar(1000 + script.Below(200)) >= kScrollBarCount) Fail("a bar is found in its table or not at all");
        return;
    }
    const ScrollBarSetting& bar = scrollBarTable[index];
    if (FindScrollBar(bar.barId) != index) Fail("each bar is found by its id");
    std::int32_t& value = dialog.values.*bar.field;
    const std::int32_t before = value;
    const int thumb = bar.minimum + script.Below(bar.maximum - bar.minimum + 1);
    value = NextScrollValue(before, bar, code, thumb);
    const bool inside = before >= bar.minimum && before <= bar.maximum;
    if (inside && (value < bar.minimum || value > bar.maximum)) Fail("a setting in its range stays in it");
    const bool left = code == kScrollLineLeft || code == kScrollPageLeft;
    const bool right = code == kScrollLineRight || code == kScrollPageRight;
    if (left && value > before && value != bar.minimum) Fail("a step left never raises the setting");
    if (right && value < before && value != bar.maximum) Fail("a step right never lowers the setting");
    if (bar.field == &Settings::SIZE && dialog.values.SIZES != 0) dialog.values.SIZEY = dialog.values.SIZE;
}

void RunAction(Dialog& dialog, ByteScript& script) {
    Settings& values = dialog.values;
    switch (script.Below(8)) {
        case 0: {
            const int slot = 1 + script.Below(kMaxSlots);
            // -1 when the list has no selection, else one of its entries.
            ChooseGlyph(dialog, slot, script.Below(glyphNameList.count + 2) - 1);
            break;
        }
        case 1: {
            const int slot = 1 + script.Below(kMaxSlots);
            dialog.colourEditSlot = slot;
            if (!IsColourButton(ColourButtonFor(values.*slotColourField[slot])))
                Fail("a slot's colour shows one of the seven buttons");
            break;
        }
        case 2: {
            std::int32_t Settings::*target = ColourTarget(values, dialog.colourEditSlot);
            if (!IsColourField(target)) Fail("a colour button sets COLOR or an OPTIONC");
            values.*target = 1 + script.Below(7);
            break;
        }
        case 3:
            values.COLORS ^= 1;
            for (int k = 1; k <= kMaxSlots; ++k) ColourSlotFollowsSwitch(k, values.OPTIONN);
            if (values.COLORS != 0) {
                values.COLOR = values.OPTIONC1;
                dialog.colourEditSlot = 1;
            }
            if (!IsColourButton(ColourButtonFor(values.COLOR))) Fail("the colour shows one of the seven buttons");
            break;
        case 4: {
            const int index = script.Below(kScrollBarCount + 1);
            Scroll(dialog, index, script.Below(9), script);
            break;
        }
        case 5: values.HABAJIDO ^= 1; break;
        case 6:
            values.SIZES ^= 1;
            if (values.SIZES != 0) values.SIZEY = values.SIZE;
            break;
        default: {
            // Control ids from the dialog's whole range name a slot, a colour
            // or nothing, never an entry outside their tables.
            const int id = 1000 + script.Below(100);
            if (SlotOfGlyphList(id) < 0 || SlotOfGlyphList(id) > kMaxSlots) Fail("a glyph list names a slot");
            if (SlotOfColourSlot(id) < 0 || SlotOfColourSlot(id) > kMaxSlots) Fail("a colour radio names a slot");
            if (ColourOfButton(id) < 0 || ColourOfButton(id) > 7) Fail("a colour button names a colour");
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input = fuzzsupport::AsText(data, size);
    const std::size_t split = input.find('\0');
    std::string_view text = input.substr(0, split);
    std::string_view script = split == std::string_view::npos ? input : input.substr(split + 1);

    const fuzzsupport::ServedSettings file(text);
    settings = Settings{};
    LoadSettings();
    ListGlyphNames();

    // Opening: with a colour per slot, the colour shown (and COLOR) is No.1's.
    Dialog dialog;
    dialog.values = settings;
    if (dialog.values.COLORS != 0) dialog.values.COLOR = dialog.values.OPTIONC1;
    dialog.chainWasGapFree = IsGapFreeChain(dialog.values);

    ByteScript actions(script);
    for (int count = 0; count < 4096 && !actions.Done(); ++count) RunAction(dialog, actions);
    return 0;
}
