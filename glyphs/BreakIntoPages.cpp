#include <algorithm>

#include "glyphs/LayOutText.h"

bool IsBreakingSpace(char32_t c) {
    // Blanks, tabs and line ends, the ideographic space and the spaces of
    // set widths; the no-break spaces (U+00A0, U+2007, U+202F) hold words
    // together.
    return c == U' ' || (c >= U'\t' && c <= U'\r') || c == U'\u1680' || (c >= U'\u2000' && c <= U'\u2006') ||
           (c >= U'\u2008' && c <= U'\u200A') || c == U'\u205F' || c == U'\u3000';
}

namespace {

bool IsSpaceCluster(const LaidOutCluster& cluster) {
    return !cluster.inked && !cluster.characters.empty() &&
           std::all_of(cluster.characters.begin(), cluster.characters.end(), IsBreakingSpace);
}

}  // namespace

std::vector<TextPage> BreakIntoPages(const std::vector<LaidOutCluster>& clusters, std::uint32_t textLength,
                                     int perPage) {
    perPage = std::max(perPage, 1);
    // Pages follow the reading order: the clusters by where they stand in the text.
    std::vector<const LaidOutCluster*> order;
    for (const LaidOutCluster& cluster : clusters) order.push_back(&cluster);
    std::stable_sort(order.begin(), order.end(),
                     [](const LaidOutCluster* a, const LaidOutCluster* b) { return a->textIndex < b->textIndex; });
    const std::size_t count = order.size();
    auto isSpace = [&order](std::size_t i) { return IsSpaceCluster(*order[i]); };
    auto startOf = [&](std::size_t i) { return i < count ? std::min(order[i]->textIndex, textLength) : textLength; };

    std::vector<TextPage> pages;
    std::size_t i = 0;
    for (;;) {
        while (i < count && isSpace(i)) ++i;
        if (i == count) break;
        const std::size_t begin = i;
        // The page runs up to the cluster that would be one inked cluster too many.
        std::size_t end = begin;
        std::size_t lastSpace = 0;
        int inked = 0;
        for (; end < count; ++end) {
            if (order[end]->inked && inked++ == perPage) break;
            if (end > begin && isSpace(end)) lastSpace = end;
        }
        // A full page ends at its last space, if it has one: a word that
        // would not fit goes whole onto the next page.
        if (end < count && lastSpace > begin) end = lastSpace;
        i = end;
        while (end > begin && isSpace(end - 1)) --end;
        pages.push_back({startOf(begin), startOf(end)});
    }
    if (pages.empty()) pages.push_back({0, 0});
    return pages;
}
