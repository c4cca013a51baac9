// Which control of the configuration dialog shows or edits which setting,
// and the small decisions the dialog makes: the button that shows a stored
// value, the gap-free chain of glyph slots, the colour the colour buttons
// set, and where a scroll bar's thumb goes. None of it touches a window;
// config/win32 applies the answers with the real controls.
#pragma once

#include <cstdint>
#include <functional>

#include "config/ConfigDialogIds.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"

// Per slot k = 1..9; index 0 is unused.
inline constexpr int glyphListId[10] = {0,          IDC_GLYPH1, IDC_GLYPH2, IDC_GLYPH3, IDC_GLYPH4,
                                        IDC_GLYPH5, IDC_GLYPH6, IDC_GLYPH7, IDC_GLYPH8, IDC_GLYPH9};
inline constexpr int colourSlotId[10] = {0,
                                         IDC_COLOUR_SLOT1,
                                         IDC_COLOUR_SLOT2,
                                         IDC_COLOUR_SLOT3,
                                         IDC_COLOUR_SLOT4,
                                         IDC_COLOUR_SLOT5,
                                         IDC_COLOUR_SLOT6,
                                         IDC_COLOUR_SLOT7,
                                         IDC_COLOUR_SLOT8,
                                         IDC_COLOUR_SLOT9};
inline constexpr int ownSpinId[10] = {0,
                                      IDC_OWN_SPIN1,
                                      IDC_OWN_SPIN2,
                                      IDC_OWN_SPIN3,
                                      IDC_OWN_SPIN4,
                                      IDC_OWN_SPIN5,
                                      IDC_OWN_SPIN6,
                                      IDC_OWN_SPIN7,
                                      IDC_OWN_SPIN8,
                                      IDC_OWN_SPIN9};

// Colour value v = 1..7 and its radio button; index 0 is unused.
inline constexpr int colourButtonId[8] = {0,
                                          IDC_COLOUR_RED,
                                          IDC_COLOUR_GREEN,
                                          IDC_COLOUR_BLUE,
                                          IDC_COLOUR_WHITE,
                                          IDC_COLOUR_YELLOW,
                                          IDC_COLOUR_MAGENTA,
                                          IDC_COLOUR_CYAN};

// The perspective buttons "0" to "30", in id order; ENKIN stores the
// caption's number.
inline constexpr int perspectiveButtonId[7] = {IDC_PERSPECTIVE0,  IDC_PERSPECTIVE5,  IDC_PERSPECTIVE10,
                                               IDC_PERSPECTIVE15, IDC_PERSPECTIVE20, IDC_PERSPECTIVE25,
                                               IDC_PERSPECTIVE30};
inline constexpr std::int32_t perspectiveValue[7] = {0, 5, 10, 15, 20, 25, 30};

// The slot k whose control has this id, or 0 when the id is not one of them.
int SlotOfGlyphList(int id);
int SlotOfColourSlot(int id);
int SlotOfOwnSpin(int id);

// The colour value 1..7 of a colour button, or 0 when the id is none.
int ColourOfButton(int id);

// The button that shows a stored value. A value that no button of the group
// stands for shows the group's first button ("赤", "0", "0"); the value itself
// is kept.
int ColourButtonFor(std::int32_t colour);
int ViewButtonFor(std::int32_t view);
int PerspectiveButtonFor(std::int32_t perspective);

// ---- Glyph slots -----------------------------------------------------------

enum class ChainWarning {
    selectAtLeastOne,  // slot No.1 set to the empty entry
    noBlankInMiddle,   // the change would leave an empty slot inside the chain
};

// Called when the chain refuses a change: the slot's setting already holds
// its corrected glyph number `entry`; the callee makes the list select that
// entry and then shows the warning. The warning's message loop may run the
// same list's handler again, nested (the list reports the loss of focus).
using ChainCorrection = std::function<void(int entry, ChainWarning warning)>;

// What the glyph list of slot k (1..9) does with its current selection
// `selection` (-1 when nothing is selected): stores it as OPTIONAk, refuses
// a change that breaks the gap-free chain from slot 1, and keeps OPTIONN the
// number of the last used slot. A list without a selection carries no choice
// of the user's (its stored number is beyond the glyphs in the file): then
// nothing changes and the answer is false, so merely opening the dialog and
// pressing OK keeps the stored number.
bool ApplyGlyphSelection(Settings& values, int slot, int selection, const ChainCorrection& correct);

// ---- Colours ---------------------------------------------------------------

// The setting the colour buttons set: OPTIONC of `colourEditSlot` while
// COLORS is on, COLOR otherwise.
std::int32_t Settings::*ColourTarget(const Settings& values, int colourEditSlot);

// Whether the "色の個別設定" switch enables or disables the colour-slot
// radio of slot k: "No.1" always; the others only for slots up to OPTIONN.
// The radios of slots beyond keep their state.
bool ColourSlotFollowsSwitch(int slot, std::int32_t shownCount);

// ---- Scroll bars -----------------------------------------------------------

// One of the fifteen bars: its control, its number display, the setting it
// edits, its range and its page step (the line step is always 1).
struct ScrollBarSetting {
    int barId;
    int displayId;
    std::int32_t Settings::*field;
    std::int32_t minimum;
    std::int32_t maximum;
    std::int32_t pageStep;
};

inline constexpr int kScrollBarCount = 15;

// In the order the dialog sets them up when it opens: HABA, STEPRAG,
// STEPRAG1..9, SIZE, SIZEY, SIZEIDO, TIMER.
extern const ScrollBarSetting scrollBarTable[kScrollBarCount];

// The index in scrollBarTable of the bar with this id, or -1.
int FindScrollBar(int barId);

// Scroll codes of a horizontal scroll message, with the platform's values.
enum ScrollCode : int {
    kScrollLineLeft = 0,      // SB_LINELEFT
    kScrollLineRight = 1,     // SB_LINERIGHT
    kScrollPageLeft = 2,      // SB_PAGELEFT
    kScrollPageRight = 3,     // SB_PAGERIGHT
    kScrollThumbPosition = 4, // SB_THUMBPOSITION
    kScrollThumbTrack = 5,    // SB_THUMBTRACK
};

// The setting after one scroll message. A step checks only the bound it
// moves towards, so a stored value outside the range comes back by steps
// from one side and jumps to the bound from the other. Thumb codes take the
// thumb position; every other code keeps the value.
std::int32_t NextScrollValue(std::int32_t value, const ScrollBarSetting& bar, int code, int thumbPosition);
