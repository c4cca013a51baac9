#include "glyphs/MakeGlyph.h"

#include <algorithm>
#include <cmath>

namespace {

// Refuses an outline that cannot be read as font units: a point that is
// not a number or lies beyond what any font holds. Curves stay within their
// points, so every flattened point is then a number within the bound too.
bool CheckFontUnits(const CharacterOutline& outline, GlyphFit& fit) {
    auto fits = [&fit](OutlinePoint point) {
        if (!std::isfinite(point.x) || !std::isfinite(point.y)) {
            fit.failure = FitFailure::PointNotANumber;
            fit.reason = "the outline has a point that is not a number";
            return false;
        }
        if (std::fabs(point.x) <= kLargestFontUnits && std::fabs(point.y) <= kLargestFontUnits) return true;
        fit.failure = FitFailure::PointOutOfRange;
        fit.reason = "the outline reaches beyond " + std::to_string(kLargestFontUnitCount) + " font units, more than a font holds";
        return false;
    };
    for (const OutlineContour& contour : outline) {
        if (!fits(contour.start)) return false;
        for (const OutlineSegment& segment : contour.segments) {
            for (int k = 0; k < segment.controlCount && k < 2; ++k)
                if (!fits(segment.control[k])) return false;
            if (!fits(segment.to)) return false;
        }
    }
    return true;
}

}  // namespace

MadeGlyph MakeGlyph(const CharacterOutline& outline, const FontMetrics& metrics, const MakeOptions& options) {
    MadeGlyph made;
    const double capitalHeight = CapitalHeight(metrics);
    if (capitalHeight <= 0.0) {
        made.fit.failure = FitFailure::EmOutOfRange;
        made.fit.reason = "the font's em is not a size from 1 to " + std::to_string(kLargestFontUnitCount) + " units";
        return made;
    }
    if (!CheckFontUnits(outline, made.fit)) return made;
    std::vector<OutlinePath> paths = FlattenOutline(outline);
    double left = 0.0, right = 0.0;
    bool any = false;
    for (const OutlinePath& path : paths) {
        for (const OutlinePoint& point : path) {
            left = any ? std::min(left, point.x) : point.x;
            right = any ? std::max(right, point.x) : point.x;
            any = true;
        }
    }
    if (!any) {
        made.fit.failure = FitFailure::NoOutline;
        made.fit.reason = "the character has no outline to show";
        return made;
    }
    double scale = options.capitalHeight / capitalHeight;
    if ((right - left) * scale > options.maximumWidth) {
        scale = options.maximumWidth / (right - left);
        made.narrowed = true;
    }
    const double middle = (left + right) / 2.0;
    made.inkMiddle = middle;
    const double baseline = -options.capitalHeight / 2.0;
    for (OutlinePath& path : paths)
        for (OutlinePoint& point : path) point = {(point.x - middle) * scale, point.y * scale + baseline};
    made.fit = FitGlyph(paths, options.allowCrossings, options.keepLargest, options.limits);
    return made;
}

MadeGlyph MakeTextGlyph(const CharacterOutline& outline, const FontMetrics& metrics, std::string& note,
                        FitLimits limits) {
    MakeOptions options;
    options.keepLargest = true;
    options.allowCrossings = true;
    options.limits = limits;
    // Two units inside the cell at either side, for the rounding.
    options.maximumWidth = 2.0 * limits.cellHalfWidth - 4.0;
    MadeGlyph made = MakeGlyph(outline, metrics, options);
    note = made.fit.dropped;
    if (made.fit.fitted && !made.fit.crossing.empty()) note += (note.empty() ? "" : "; ") + made.fit.crossing;
    return made;
}
