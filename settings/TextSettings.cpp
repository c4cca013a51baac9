#include "settings/TextSettings.h"

#include <vector>

#include "settings/Settings.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsCharacter(char32_t value) {
    return value <= 0x10FFFF && !(value >= 0xD800 && value < 0xE000);
}

void AppendEscape(std::string& value, char letter, char32_t character, int digits) {
    static const char hex[] = "0123456789ABCDEF";
    value += '\\';
    value += letter;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) value += hex[(character >> shift) & 0xF];
}

// The value of `digits` hexadecimal digits at `at`, or -1.
long HexAt(const std::string& value, std::size_t at, int digits) {
    if (value.size() < at + digits) return -1;
    long number = 0;
    for (int i = 0; i < digits; ++i) {
        const char c = value[at + i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                         : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                                                : -1;
        if (digit < 0) return -1;
        number = number * 16 + digit;
    }
    return number;
}

// The UTF-8 sequence at `at`: its character and length, or length 0.
char32_t Utf8At(const std::string& value, std::size_t at, std::size_t& length) {
    const auto byte = [&value](std::size_t i) { return static_cast<unsigned char>(value[i]); };
    const unsigned char lead = byte(at);
    length = lead >= 0xF0 && lead < 0xF5 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (lead >= 0xF5 || at + length > value.size()) length = 0;
    char32_t character = length == 0 ? 0 : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) length = 0;
        character = character << 6 | (byte(at + i) & 0x3F);
    }
    static const char32_t shortest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (length != 0 && (character < shortest[length] || !IsCharacter(character))) length = 0;
    return character;
}

// A profile string of any length up to kLongestTextValue; `missing` when
// the key is absent (its value is read as the default, which no stored
// value can be: a stored value never holds a control character).
std::string ReadLongValue(const char* key, bool& missing) {
    constexpr char kAbsent[] = "\x01";
    std::vector<char> buffer(256);
    std::uint32_t got = 0;
    for (;;) {
        got = platform::ReadProfileString(keyNames.settingsSection, key, kAbsent, buffer.data(),
                                          static_cast<std::uint32_t>(buffer.size()), keyNames.fileName);
        if (got + 1 < buffer.size() || buffer.size() > kLongestTextValue) break;
        buffer.resize(buffer.size() * 4 > kLongestTextValue + 1 ? kLongestTextValue + 1 : buffer.size() * 4);
    }
    const std::string value(buffer.data(), got);
    missing = value == kAbsent;
    return missing ? std::string() : value;
}

bool EndsWithStyle(const std::u32string& font, const char* style) {
    std::u32string suffix = U":";
    for (const char* c = style; *c; ++c) suffix += static_cast<char32_t>(*c);
    if (font.size() <= suffix.size()) return false;
    for (std::size_t i = 0; i < suffix.size(); ++i) {
        char32_t c = font[font.size() - suffix.size() + i];
        if (c >= U'A' && c <= U'Z') c += U'a' - U'A';
        if (c != suffix[i]) return false;
    }
    return true;
}

}  // namespace

std::string EncodeProfileText(const std::u32string& text) {
    std::string value;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t c = text[i];
        const bool atEnd = i == 0 || i + 1 == text.size();
        if (c == U'\\') {
            value += "\\\\";
        } else if (c >= 0x20 && c < 0x7F && !(atEnd && (c == U' ' || c == U'"' || c == U'\''))) {
            value += static_cast<char>(c);
        } else if (!IsCharacter(c)) {
            AppendEscape(value, 'u', kReplacement, 4);
        } else if (c <= 0xFFFF) {
            AppendEscape(value, 'u', c, 4);
        } else {
            AppendEscape(value, 'U', c, 8);
        }
    }
    return value;
}

std::u32string DecodeProfileText(const std::string& value) {
    std::u32string text;
    for (std::size_t at = 0; at < value.size();) {
        const unsigned char byte = static_cast<unsigned char>(value[at]);
        if (byte >= 0x80) {
            std::size_t length;
            const char32_t character = Utf8At(value, at, length);
            text += length ? character : kReplacement;
            at += length ? length : 1;
            continue;
        }
        const char letter = at + 1 < value.size() ? value[at + 1] : '\0';
        if (byte != '\\' || (letter != '\\' && letter != 'u' && letter != 'U')) {
            text += byte;
            ++at;
            continue;
        }
        if (letter == '\\') {
            text += U'\\';
            at += 2;
            continue;
        }
        const int digits = letter == 'u' ? 4 : 8;
        long code = HexAt(value, at + 2, digits);
        if (code < 0) {  // no escape: the backslash as written
            text += U'\\';
            ++at;
            continue;
        }
        at += 2 + digits;
        // A UTF-16 pair written as two escapes is one character.
        const long low = code >= 0xD800 && code < 0xDC00 && value.compare(at, 2, "\\u") == 0 ? HexAt(value, at + 2, 4) : -1;
        if (low >= 0xDC00 && low < 0xE000) {
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
            at += 6;
        }
        text += IsCharacter(static_cast<char32_t>(code)) ? static_cast<char32_t>(code) : kReplacement;
    }
    return text;
}

TextSettings LoadTextSettings() {
    TextSettings text;
    bool missing = false;
    text.text = DecodeProfileText(ReadLongValue(keyNames.textKey, missing));
    text.kept = !missing;
    text.font = DecodeProfileText(ReadLongValue(keyNames.fontKey, missing));
    text.pageSeconds = static_cast<std::int32_t>(
        platform::ReadProfileInt(keyNames.settingsSection, keyNames.pageKey, kDefaultPageSeconds, keyNames.fileName));
    return text;
}

bool SaveTextSettings(const TextSettings& text) {
    const char* section = keyNames.settingsSection;
    const char* file = keyNames.fileName;
    if (text.text.empty()) {
        bool deleted = platform::WriteProfileValue(section, keyNames.textKey, nullptr, file);
        deleted = platform::WriteProfileValue(section, keyNames.fontKey, nullptr, file) && deleted;
        return platform::WriteProfileValue(section, keyNames.pageKey, nullptr, file) && deleted;
    }
    char page[40];
    platform::FormatUnsigned(page, static_cast<std::uint32_t>(text.pageSeconds));
    bool written = platform::WriteProfileValue(section, keyNames.textKey, EncodeProfileText(text.text).c_str(), file);
    written = platform::WriteProfileValue(section, keyNames.fontKey, EncodeProfileText(text.font).c_str(), file) && written;
    return platform::WriteProfileValue(section, keyNames.pageKey, page, file) && written;
}

FontChoice ParseFontChoice(const std::u32string& font) {
    FontChoice choice;
    choice.family = font;
    for (bool found = true; found;) {
        found = false;
        if (EndsWithStyle(choice.family, "bold")) {
            choice.bold = found = true;
            choice.family.resize(choice.family.size() - 5);
        } else if (EndsWithStyle(choice.family, "italic")) {
            choice.italic = found = true;
            choice.family.resize(choice.family.size() - 7);
        }
    }
    return choice;
}

std::u32string FormatFontChoice(const FontChoice& choice) {
    std::u32string font = choice.family;
    if (choice.bold) font += U":bold";
    if (choice.italic) font += U":italic";
    return font;
}
