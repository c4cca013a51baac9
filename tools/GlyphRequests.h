// What the maker's command line asks for: which characters, under which names.
#pragma once

#include <string>
#include <vector>

struct GlyphRequest {
    std::string name;
    char32_t character;
};

// Decodes UTF-8 text into characters; a byte that starts no complete
// sequence stands for itself.
std::vector<char32_t> DecodeCharacters(const std::string& text);

// One command-line item: NAME=C asks for one glyph named NAME from the
// character C (written as itself or as U+hex); anything else is text, each
// character of which becomes a glyph named by DefaultGlyphName.
void ParseGlyphRequest(const std::string& item, std::vector<GlyphRequest>& requests);
