#include <algorithm>

#include "scene/RoundTo.h"
#include "scene/SceneSetupSteps.h"

int UsablePointCount(const ShownGlyph& glyph) { return std::clamp(glyph.pointCount, 0, kShownGlyphPoints); }

int UsableContourCount(const ShownGlyph& glyph) { return std::clamp(glyph.contourCount, 0, kShownGlyphContours); }

namespace {

// Whether the contour turns the wrong way at its right-most point m, given
// its neighbours p before and n after. The line through p and m is tested
// against n after rounding to nine significant digits, so the decision is
// the same on every platform.
bool RunsLeftAt(const ShownGlyph& glyph, int p, int m, int n) {
    const double xp = glyph.pointX[p], yp = glyph.pointY[p];
    const double xm = glyph.pointX[m], ym = glyph.pointY[m];
    const double xn = glyph.pointX[n], yn = glyph.pointY[n];
    if (xp == xm) return ym > yp;
    const double s = (ym - yp) / (xm - xp);
    const double c = yp - xp * s;
    return yn > roundTo(c + xn * s, 9);
}

// One contour's points in their new order, before they are written back.
// Process-wide: at the slot's capacity the copy is too large for a stack.
struct TurnedContour {
    std::int32_t x[kShownGlyphPoints + 1];
    std::int32_t y[kShownGlyphPoints + 1];
};
TurnedContour turned;

}  // namespace

void NormalizeContours(ShownGlyph& glyph) {
    const int pointCount = UsablePointCount(glyph);
    const int contourCount = UsableContourCount(glyph);
    for (int j = 1; j <= contourCount; ++j) {
        const int f = glyph.contourFirst[j];
        const int l = glyph.contourLast[j];
        if (f > l || f < 1 || l > pointCount) continue;

        // The right-most point, the top-most among those, the first among
        // full ties. Starting from the first point rather than from a fixed
        // far-left mark finds it even when every x lies at or left of -9999.
        int m = f;
        for (int i = f + 1; i <= l; ++i) {
            if (glyph.pointX[i] > glyph.pointX[m] ||
                (glyph.pointX[i] == glyph.pointX[m] && glyph.pointY[i] > glyph.pointY[m]))
                m = i;
        }
        const int p = m == f ? l : m - 1;
        const int n = m == l ? f : m + 1;
        const bool reverse = RunsLeftAt(glyph, p, m, n);
        if (!reverse && m == f) continue;

        std::int32_t* const x = turned.x;
        std::int32_t* const y = turned.y;
        const int length = l - f + 1;
        int source = m;
        for (int t = 0; t < length; ++t) {
            x[t] = glyph.pointX[source];
            y[t] = glyph.pointY[source];
            if (reverse) {
                source = source == f ? l : source - 1;
            } else {
                source = source == l ? f : source + 1;
            }
        }
        for (int t = 0; t < length; ++t) {
            glyph.pointX[f + t] = x[t];
            glyph.pointY[f + t] = y[t];
        }
    }
}
