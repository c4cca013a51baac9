#include "scene/TextShow.h"

namespace {

// `value` in decimal with at least `digits` digits, as the clock shows it.
void AppendNumber(std::u32string& text, long long value, int digits) {
    std::u32string number;
    const bool negative = value < 0;
    unsigned long long magnitude = negative ? 0ULL - static_cast<unsigned long long>(value) : value;
    do {
        number.insert(number.begin(), static_cast<char32_t>(U'0' + magnitude % 10));
        magnitude /= 10;
    } while (magnitude != 0);
    while (static_cast<int>(number.size()) < digits) number.insert(number.begin(), U'0');
    if (negative) number.insert(number.begin(), U'-');
    text += number;
}

// The time code `code` (the letter after %) appended as `time` shows it;
// false when the letter is no time code.
bool AppendCode(char32_t code, const ClockTime& time, std::u32string& text) {
    switch (code) {
        case U'H': AppendNumber(text, time.hour, 2); return true;
        case U'I': AppendNumber(text, (time.hour % 12 + 12 - 1) % 12 + 1, 2); return true;
        case U'M': AppendNumber(text, time.minute, 2); return true;
        case U'S': AppendNumber(text, time.second, 2); return true;
        case U'p': text += time.hour < 12 ? U"AM" : U"PM"; return true;
        case U'd': AppendNumber(text, time.day, 2); return true;
        case U'm': AppendNumber(text, time.month, 2); return true;
        case U'y': AppendNumber(text, (time.year % 100 + 100) % 100, 2); return true;
        case U'Y': AppendNumber(text, time.year, 1); return true;
        default: return false;
    }
}

}  // namespace

std::u32string FormatClockText(const std::u32string& pattern, const ClockTime& time) {
    std::u32string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == U'%' && i + 1 < pattern.size()) {
            if (pattern[i + 1] == U'%') {
                text += U'%';
                ++i;
                continue;
            }
            if (AppendCode(pattern[i + 1], time, text)) {
                ++i;
                continue;
            }
        }
        text += pattern[i];
    }
    return text;
}

bool HasClockCodes(const std::u32string& pattern) {
    const ClockTime none;
    std::u32string ignored;
    for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] != U'%') continue;
        if (pattern[i + 1] == U'%') ++i;
        else if (AppendCode(pattern[i + 1], none, ignored)) return true;
    }
    return false;
}
