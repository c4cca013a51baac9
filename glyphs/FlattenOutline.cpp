#include "glyphs/GlyphOutline.h"

#include <algorithm>

namespace {

constexpr int kQuadraticSteps = 16;
constexpr int kCubicSteps = 24;

}  // namespace

double CapitalHeight(const FontMetrics& metrics) {
    const double em = metrics.unitsPerEm;
    if (!(em >= 1.0 && em <= kLargestFontUnits)) return 0.0;
    auto believable = [em](double height) { return height >= em / 16.0 && height <= em * 2.0; };
    if (believable(metrics.capitalHeight)) return metrics.capitalHeight;
    if (believable(metrics.letterHTop)) return metrics.letterHTop;
    return em * 0.7;
}

std::vector<OutlinePath> FlattenOutline(const CharacterOutline& outline) {
    std::vector<OutlinePath> paths;
    paths.reserve(outline.size());
    for (const OutlineContour& contour : outline) {
        OutlinePath& path = paths.emplace_back();
        std::size_t size = 1;
        for (const OutlineSegment& segment : contour.segments)
            size += segment.controlCount == 1 ? kQuadraticSteps : segment.controlCount == 2 ? kCubicSteps : 1;
        path.reserve(size);
        path.push_back(contour.start);
        for (const OutlineSegment& segment : contour.segments) {
            const OutlinePoint p0 = path.back();
            const OutlinePoint p3 = segment.to;
            if (segment.controlCount == 1) {
                const OutlinePoint p1 = segment.control[0];
                for (int step = 1; step <= kQuadraticSteps; ++step) {
                    const double t = static_cast<double>(step) / kQuadraticSteps;
                    const double u = 1.0 - t;
                    path.push_back({u * u * p0.x + 2 * u * t * p1.x + t * t * p3.x,
                                    u * u * p0.y + 2 * u * t * p1.y + t * t * p3.y});
                }
            } else if (segment.controlCount == 2) {
                const OutlinePoint p1 = segment.control[0];
                const OutlinePoint p2 = segment.control[1];
                for (int step = 1; step <= kCubicSteps; ++step) {
                    const double t = static_cast<double>(step) / kCubicSteps;
                    const double u = 1.0 - t;
                    const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
                    path.push_back({a * p0.x + b * p1.x + c * p2.x + d * p3.x, a * p0.y + b * p1.y + c * p2.y + d * p3.y});
                }
            } else {
                path.push_back(p3);
            }
        }
    }
    return paths;
}

double OutlineTop(const CharacterOutline& outline) {
    double top = 0.0;
    for (const OutlinePath& path : FlattenOutline(outline))
        for (const OutlinePoint& point : path) top = std::max(top, point.y);
    return top;
}
