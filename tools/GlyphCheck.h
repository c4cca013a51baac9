// The glyph checker: everything in a KORAVEL.ini that would keep a glyph from
// being listed, loaded or drawn as its author meant.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// One broken glyph (or glyph selection) and why.
struct GlyphProblem {
    std::string key;     // ZAHYOn as the file spells it, or OPTIONAk
    std::string name;    // the glyph's name token, empty when there is none
    std::string reason;
};

// Every reason why `value` (as the profile reader returns it) is not a
// well-formed glyph within the storage limits; empty when it is one.
std::vector<std::string> CheckGlyphValue(std::string_view value);

// Every problem of the file `text`: the glyph values of section
// [MOJI ZAHYO], keys the program never reads, gaps that end the list early,
// and shown slots of [KORAVEL] that select no listed glyph. `listedCount`,
// when given, receives the number of glyphs the dialog would list.
std::vector<GlyphProblem> CheckGlyphFile(const std::string& text, int* listedCount = nullptr);

// Fills the key-name table from the built-in string table, once: the glyph
// parser compares names with the end marker it holds.
void EnsureKeyNames();

// A glyph of the dialog's list: its number n (key ZAHYOn) and its value as
// the loader reads it.
struct ListedGlyph {
    int number;
    std::string name;
    std::string value;
};

// The glyphs the dialog lists from the file `text`, in list order.
std::vector<ListedGlyph> ListedGlyphs(const std::string& text);
