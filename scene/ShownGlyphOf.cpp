#include <algorithm>

#include "scene/SceneRecords.h"

ShownGlyph ShownGlyphOf(const GlyphDefinition& stored) {
    ShownGlyph shown{};
    shown.pointCount = stored.pointCount;
    shown.contourCount = stored.contourCount;
    shown.subunits = 1;
    for (int i = 1; i <= std::min(kMaxGlyphPoints, kShownGlyphPoints); ++i) {
        shown.pointX[i] = stored.pointX[i];
        shown.pointY[i] = stored.pointY[i];
    }
    // Every stored pair is taken, used or not, so that a slot holds what the
    // file says; the steps that draw look only at contours within the counts.
    for (int j = 1; j <= std::min(kMaxContours, kShownGlyphContours); ++j) {
        shown.contourFirst[j] = stored.contourFirst[j];
        shown.contourLast[j] = stored.contourLast[j];
        // A contour is a hole when its first point is listed among the hole
        // starts. A start that begins no contour marks nothing, and a
        // contour before point 1 is never drawn, so the unused starts of 0
        // mark no unused pair.
        if (stored.contourFirst[j] < 1) continue;
        for (int h = 1; h <= kMaxHoles; ++h)
            if (stored.holeStart[h] == stored.contourFirst[j]) shown.holeFlag[j] = 1;
    }
    return shown;
}
