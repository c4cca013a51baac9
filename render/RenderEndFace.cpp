#include "render/RenderEndFace.h"

#include <algorithm>

#include "scene/SceneRecords.h"

namespace {

// The end face's point list, rebuilt for each slot drawn. Process-wide, as
// the slots are: at the slot's full capacity it is too large for a stack.
struct FacePointList {
    SurfacePoint points[kShownGlyphPoints + kShownGlyphContours];
    int counts[kShownGlyphContours];
};
FacePointList faceList;

}  // namespace

void RenderEndFace(DrawingSurface& surface) {
    int slotNumber = sceneState.currentSlot;
    if (slotNumber < 1 || slotNumber > kMaxSlots) return;
    const CharacterSlot& slot = characterSlots[slotNumber];
    const FaceVisibility& shown = slot.faceVisibility;
    if (shown.front == 0 && shown.back == 0) return;

    const ShownGlyph& glyph = slot.glyph;
    const int n = std::clamp(glyph.pointCount, 0, kShownGlyphPoints);
    const int offset = shown.front == 1 ? 0 : n;
    const ColourRef colour = ToColourRef(shown.front == 1 ? slot.faceColors.front : slot.faceColors.back);

    // Every contour closed on its first point: at most one more point than
    // the outline has for each contour.
    SurfacePoint* const points = faceList.points;
    int* const counts = faceList.counts;
    int pointTotal = 0;
    int contours = 0;
    for (int c = 1; c <= std::clamp(glyph.contourCount, 0, kShownGlyphContours); ++c) {
        int first = glyph.contourFirst[c];
        int last = glyph.contourLast[c];
        // A contour outside the outline's points has nothing to draw.
        if (first < 1 || last > n || first > last) continue;
        // Contours that overlap break the outline's rules; what does not
        // fit the list is left out rather than written past it.
        if (pointTotal + (last - first + 2) > kShownGlyphPoints + kShownGlyphContours) continue;
        for (int k = first; k <= last; ++k) {
            const ProjectedPoint& v = slot.projected.vertex[k + offset];
            points[pointTotal++] = {v.px, v.py};
        }
        const ProjectedPoint& v = slot.projected.vertex[first + offset];
        points[pointTotal++] = {v.px, v.py};
        counts[contours++] = last - first + 2;
    }

    {
        OwnedObject brush(surface, surface.CreateSolidBrush(colour));
        SelectedObject selected(surface, brush.get());
        OwnedObject region(surface, surface.CreatePolyPolygonRgn(points, counts, contours, kFillAlternate));
        surface.PaintRgn(region.get());
    }
    {
        OwnedObject pen(surface, surface.CreatePen(kPenSolid, 1, 0));
        SelectedObject selected(surface, pen.get());
        int start = 0;
        for (int c = 0; c < contours; ++c) {
            surface.MoveToEx(points[start].x, points[start].y);
            for (int i = 1; i < counts[c]; ++i) surface.LineTo(points[start + i].x, points[start + i].y);
            start += counts[c];
        }
    }
}
