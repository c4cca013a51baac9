#include "scene/TextShow.h"

std::u32string CollapseWhiteSpace(const std::u32string& text) {
    std::u32string collapsed;
    bool blank = false;
    for (char32_t c : text) {
        if (c == U' ' || (c >= U'\t' && c <= U'\r')) {
            blank = !collapsed.empty();
            continue;
        }
        if (blank) collapsed += U' ';
        blank = false;
        collapsed += c;
    }
    return collapsed;
}
