#include "scene/RoundTo.h"
#include "scene/SceneSetupSteps.h"

int NextOutlinePoint(const ShownGlyph& glyph, int i) {
    const int pointCount = UsablePointCount(glyph);
    const int contourCount = UsableContourCount(glyph);
    for (int j = 1; j <= contourCount; ++j) {
        const int first = glyph.contourFirst[j];
        if (glyph.contourLast[j] == i && first >= 1 && first <= pointCount) return first;
    }
    if (i < pointCount) return i + 1;
    // The last point ends no contour: the points after the last contour end
    // form an open run, closed here back to its own first point so that no
    // wall reaches past the outline.
    int runStart = 1;
    for (int j = 1; j <= contourCount; ++j) {
        const int last = glyph.contourLast[j];
        if (last >= 1 && last < pointCount && last + 1 > runStart) runStart = last + 1;
    }
    return runStart;
}

namespace {

// 1 when the outline turns left or runs straight at its second point.
// An outline of fewer than three points has no turn and counts as straight.
int WindingFlag(const ShownGlyph& glyph) {
    if (UsablePointCount(glyph) < 3) return 1;
    const double x1 = glyph.pointX[1], y1 = glyph.pointY[1];
    const double x2 = glyph.pointX[2], y2 = glyph.pointY[2];
    const double x3 = glyph.pointX[3], y3 = glyph.pointY[3];
    const double w = roundTo((x2 - x1) * (y3 - y2) - (y2 - y1) * (x3 - x2), 9);
    return w >= 0 ? 1 : 0;
}

// Every point gets an outer wall unless it lies on a contour flagged as a
// hole; points no contour covers count as outer.
void MarkHoles(CharacterSlot& slot) {
    const ShownGlyph& glyph = slot.glyph;
    const int pointCount = UsablePointCount(glyph);
    for (int i = 1; i <= pointCount; ++i) slot.sideQuad[i].normalWinding = 1;
    for (int j = 1; j <= UsableContourCount(glyph); ++j) {
        const int f = glyph.contourFirst[j];
        const int l = glyph.contourLast[j];
        if (f > l || f < 1 || l > pointCount) continue;
        const bool hole = glyph.holeFlag[j] != 0;
        for (int i = f; i <= l; ++i) slot.sideQuad[i].normalWinding = hole ? 0 : 1;
    }
}

// 1 unless outline points lie strictly on both sides of the line through
// points i and q. Each side test rounds the line's height to nine digits.
int HullFlag(const ShownGlyph& glyph, int i, int q) {
    const int pointCount = UsablePointCount(glyph);
    const double xi = glyph.pointX[i], yi = glyph.pointY[i];
    const double xq = glyph.pointX[q], yq = glyph.pointY[q];
    int above = 0, below = 0;
    if (xq == xi) {
        for (int t = 1; t <= pointCount && (above == 0 || below == 0); ++t) {
            if (glyph.pointX[t] > xi) ++above;
            if (glyph.pointX[t] < xi) ++below;
        }
    } else {
        const double s = (yq - yi) / (xq - xi);
        const double c = yi - xi * s;
        for (int t = 1; t <= pointCount && (above == 0 || below == 0); ++t) {
            const double line = roundTo(glyph.pointX[t] * s + c, 9);
            if (glyph.pointY[t] > line) ++above;
            if (glyph.pointY[t] < line) ++below;
        }
    }
    return above > 0 && below > 0 ? 0 : 1;
}

}  // namespace

void BuildSideWalls(CharacterSlot& slot) {
    const ShownGlyph& glyph = slot.glyph;
    slot.windingFlag = WindingFlag(glyph);
    MarkHoles(slot);

    const int pointCount = UsablePointCount(glyph);
    for (int i = 1; i <= pointCount; ++i) {
        SideQuad& wall = slot.sideQuad[i];
        const int next = NextOutlinePoint(glyph, i);
        // After normalising every contour runs clockwise, but a hole's walls
        // face into the hole, so their corners go the other way round.
        if (wall.normalWinding == 1) {
            wall.corner[0] = pointCount + i;
            wall.corner[1] = pointCount + next;
            wall.corner[2] = next;
            wall.corner[3] = i;
        } else {
            wall.corner[0] = pointCount + i;
            wall.corner[1] = i;
            wall.corner[2] = next;
            wall.corner[3] = pointCount + next;
        }
        wall.hullFlag = HullFlag(glyph, i, next);
    }
}
