#include "glyphs/MakeGlyph.h"

#include <algorithm>

MadeGlyph MakeGlyph(const CharacterOutline& outline, const FontMetrics& metrics, const MakeOptions& options) {
    MadeGlyph made;
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
        made.fit.reason = "the character has no outline to show";
        return made;
    }
    double scale = options.capitalHeight / CapitalHeight(metrics);
    if ((right - left) * scale > options.maximumWidth) {
        scale = options.maximumWidth / (right - left);
        made.narrowed = true;
    }
    const double middle = (left + right) / 2.0;
    const double baseline = -options.capitalHeight / 2.0;
    for (OutlinePath& path : paths)
        for (OutlinePoint& point : path) point = {(point.x - middle) * scale, point.y * scale + baseline};
    made.fit = FitGlyph(paths, options.allowCrossings, options.keepLargest);
    return made;
}

MadeGlyph MakeTextGlyph(const CharacterOutline& outline, const FontMetrics& metrics, std::string& note) {
    MakeOptions options;
    options.keepLargest = true;
    MadeGlyph made = MakeGlyph(outline, metrics, options);
    std::string crossing;
    if (!made.fit.fitted && made.fit.reason.find("overlap") != std::string::npos) crossing = made.fit.reason;
    if (!made.fit.fitted && made.fit.reason.find("crosses itself") != std::string::npos) crossing = made.fit.reason;
    if (!crossing.empty()) {
        options.allowCrossings = true;
        made = MakeGlyph(outline, metrics, options);
    }
    note = made.fit.dropped;
    if (made.fit.fitted && !crossing.empty()) note += (note.empty() ? "" : "; ") + crossing;
    return made;
}
