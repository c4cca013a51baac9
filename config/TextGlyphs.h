// A text shown in the glyph slots: the configuration dialog's text dialog
// makes one glyph per character, and these operations give each a glyph
// number, reusing the stored glyphs it can and adding the others as new
// named glyphs. The new glyphs wait in memory until the dialog's OK writes
// them; Cancel drops them with the dialog.
#pragma once

#include <string>
#include <vector>

#include "settings/GlyphDefinition.h"

// A glyph made for the text and not yet written: key ZAHYO<number>.
struct PendingGlyph {
    int number;
    std::string name;
    GlyphDefinition glyph;
};

struct TextGlyphStore {
    std::vector<PendingGlyph> pending;
};

extern TextGlyphStore textGlyphStore;

// One character of the text and the glyph made from it.
struct TextCharacter {
    char32_t character;
    GlyphDefinition glyph;
};

enum class TextPlacement {
    placed,
    tooManyGlyphs,  // the list would pass 99 glyphs: nothing was changed
};

// Shows `text` (1 to 9 characters) in slots 1..n. A character whose glyph
// equals one already listed (stored, or made earlier in this dialog) takes
// that glyph's number. Any other gets a new glyph named after the character
// (the character itself, or U+ and its code), with 2, 3, ... added when the
// list already holds that name, under the key that ends the list (missing,
// or holding the end marker). Glyphs stored after that key are not listed:
// they are neither reused nor written over, and once the key before them
// holds a glyph they join the list as the file will then list them. When
// the list would pass 99 names nothing changes. Otherwise the new names join
// glyphNameList, the new glyphs wait in textGlyphStore, OPTIONA1..n take the
// numbers, the slots after n are emptied and OPTIONN becomes n.
TextPlacement PlaceTextGlyphs(const std::vector<TextCharacter>& text);

// Writes the waiting glyphs into the glyph section, in number order, and
// forgets them; false when a write failed (those not written still wait).
bool WriteTextGlyphs();
