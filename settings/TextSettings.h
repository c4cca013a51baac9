// A text kept as text: the words the saver lays out in a font at each start
// (pages, time codes and all), stored in section [KORAVEL] beside the 53
// settings under three keys of their own:
//   TEXT  the text, FONT  the font's family with ":bold" and ":italic" after
//   it as picked, PAGE  the seconds a page of a long text stays (default 4).
// A file without TEXT keeps no text: the slots show the stored glyphs, as in
// every earlier version, and older versions read such a file's settings as
// ever, since they never ask for these keys.
//
// TEXT and FONT are stored as printable ASCII, so that they come through the
// ANSI profile functions unchanged under any code page: a backslash is
// written "\\", a character outside ASCII's printable range "\uXXXX" (four
// hexadecimal digits) or, beyond U+FFFF, "\UXXXXXXXX" (eight), and a space
// or quote that begins or ends the value, which the profile functions would
// take away, "\u0020", "\u0022" or "\u0027".
#pragma once

#include <cstdint>
#include <string>

inline constexpr std::int32_t kDefaultPageSeconds = 4;

struct TextSettings {
    bool kept = false;  // the file holds a TEXT key
    std::u32string text;
    std::u32string font;
    std::int32_t pageSeconds = kDefaultPageSeconds;
};

// TEXT's and FONT's stored form, and back. Reading takes what another
// program may have written too: an escape that is none stays as written, a
// UTF-16 pair of \u escapes is one character, bytes outside ASCII are read
// as UTF-8, and what is no character is U+FFFD.
std::string EncodeProfileText(const std::u32string& text);
std::u32string DecodeProfileText(const std::string& value);

// The longest TEXT or FONT value read, in stored bytes (about ten thousand
// Japanese characters); a longer one is cut there.
inline constexpr std::uint32_t kLongestTextValue = 65535;

// Reads TEXT, FONT and PAGE from the settings file (LoadKeyNames first).
TextSettings LoadTextSettings();

// Writes TEXT, FONT and PAGE; a text that is empty deletes all three, so the
// file shows its stored glyphs again. False when a write failed.
bool SaveTextSettings(const TextSettings& text);

// The seconds a page stays as the show takes them: at least one, whatever
// the file holds.
inline int ShownPageSeconds(const TextSettings& text) {
    return text.pageSeconds < 1 ? 1 : text.pageSeconds;
}

// FONT's family and style: "DejaVu Sans:bold" is the bold DejaVu Sans, the
// form fontconfig also reads. Only ":bold" and ":italic" at the end (in any
// case) are taken as the style; anything else belongs to the family.
struct FontChoice {
    std::u32string family;
    bool bold = false;
    bool italic = false;
};
FontChoice ParseFontChoice(const std::u32string& font);
std::u32string FormatFontChoice(const FontChoice& choice);
