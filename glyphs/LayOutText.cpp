#include "glyphs/LayOutText.h"

#include <algorithm>
#include <cmath>

namespace {

// A position from the shaper, checked where it enters: what is no number or
// lies beyond any font's units moves nothing.
double FontNumber(double value) {
    return std::isfinite(value) && std::fabs(value) <= kLargestFontUnits ? value : 0.0;
}

OutlinePoint Moved(OutlinePoint point, double dx, double dy) {
    return {point.x + dx, point.y + dy};
}

// The glyph's contours added to the cluster's outline at (dx, dy).
void AddMoved(const CharacterOutline& glyph, double dx, double dy, CharacterOutline& outline) {
    for (const OutlineContour& contour : glyph) {
        OutlineContour moved{Moved(contour.start, dx, dy), contour.segments};
        for (OutlineSegment& segment : moved.segments) {
            for (int k = 0; k < segment.controlCount && k < 2; ++k) segment.control[k] = Moved(segment.control[k], dx, dy);
            segment.to = Moved(segment.to, dx, dy);
        }
        outline.push_back(std::move(moved));
    }
}

// A contour with a segment has ink; a space or a joiner has no contour.
bool HasInk(const CharacterOutline& outline) {
    return std::any_of(outline.begin(), outline.end(),
                       [](const OutlineContour& contour) { return !contour.segments.empty(); });
}

}  // namespace

std::int32_t ToDesignUnits(double fontUnits, double scale) {
    constexpr double kFarthest = 1000000.0;  // far beyond any window at any size
    const double rounded = std::floor(fontUnits * scale + 0.5);
    if (!(rounded > -kFarthest)) return rounded < 0.0 ? static_cast<std::int32_t>(-kFarthest) : 0;
    return static_cast<std::int32_t>(std::min(rounded, kFarthest));
}

LaidOutText LayOutText(const ShapedText& shaped, const GlyphOutlineSource& outlineOf, bool withOutlines) {
    const std::uint32_t length = static_cast<std::uint32_t>(shaped.text.size());
    // Where each cluster's characters start, so that a cluster's characters
    // run up to the next start in the text, whichever order the glyphs are in.
    std::vector<std::uint32_t> starts;
    for (const ShapedGlyph& glyph : shaped.glyphs) starts.push_back(std::min(glyph.cluster, length));
    std::sort(starts.begin(), starts.end());
    starts.erase(std::unique(starts.begin(), starts.end()), starts.end());

    LaidOutText line;
    double pen = 0.0;
    for (std::size_t i = 0; i < shaped.glyphs.size();) {
        const std::uint32_t cluster = shaped.glyphs[i].cluster;
        LaidOutCluster laid;
        laid.textIndex = std::min(cluster, length);
        const auto next = std::upper_bound(starts.begin(), starts.end(), laid.textIndex);
        laid.characters = shaped.text.substr(laid.textIndex, (next == starts.end() ? length : *next) - laid.textIndex);
        laid.pen = pen;
        double within = 0.0;
        for (; i < shaped.glyphs.size() && shaped.glyphs[i].cluster == cluster; ++i) {
            const ShapedGlyph& glyph = shaped.glyphs[i];
            const double dx = within + FontNumber(glyph.xOffset);
            const double dy = FontNumber(glyph.yOffset);
            laid.recipe.insert(laid.recipe.end(), {static_cast<double>(glyph.face), static_cast<double>(glyph.glyphIndex), dx, dy});
            // Glyph 0 of the asked font stands for a character no font has:
            // its box is not drawn, and the cluster says so.
            if (glyph.face == 0 && glyph.glyphIndex == 0) laid.missing = true;
            else if (const CharacterOutline* outline = outlineOf(glyph.face, glyph.glyphIndex)) {
                if (withOutlines) AddMoved(*outline, dx, dy, laid.outline);
                laid.inked = laid.inked || HasInk(*outline);
            }
            within += FontNumber(glyph.xAdvance);
        }
        laid.advance = within;
        pen += within;
        line.clusters.push_back(std::move(laid));
    }
    line.width = pen;
    return line;
}
