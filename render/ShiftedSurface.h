// A surface that passes every call on to another with its points moved by
// (-originX, -originY): the renderers draw in the coordinates of the whole
// covering rectangle, while the surface below holds only its part from
// (originX, originY) on. Every pixel rule of GDI and of the software surface
// is the same wherever a figure lies, so each pixel of that part comes out
// as it would in the whole bitmap.
#pragma once

#include <vector>

#include "render/DrawingSurface.h"

class ShiftedSurface : public DrawingSurface {
public:
    ShiftedSurface(DrawingSurface& target, int originX, int originY)
        : target_(target), originX_(originX), originY_(originY) {}

    SurfaceObject CreateSolidBrush(ColourRef colour) override { return target_.CreateSolidBrush(colour); }
    SurfaceObject CreatePen(int style, int width, ColourRef colour) override {
        return target_.CreatePen(style, width, colour);
    }
    SurfaceObject CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts, int polygonCount,
                                       int fillMode) override;
    SurfaceObject SelectObject(SurfaceObject object) override { return target_.SelectObject(object); }
    bool DeleteObject(SurfaceObject object) override { return target_.DeleteObject(object); }
    int SetPolyFillMode(int mode) override { return target_.SetPolyFillMode(mode); }
    bool Polygon(const SurfacePoint* points, int count) override;
    bool MoveToEx(int x, int y) override { return target_.MoveToEx(ShiftX(x), ShiftY(y)); }
    bool LineTo(int x, int y) override { return target_.LineTo(ShiftX(x), ShiftY(y)); }
    bool PaintRgn(SurfaceObject region) override { return target_.PaintRgn(region); }

private:
    // The covering rectangle's points lie in 0..width and its part starts
    // inside it, so a moved coordinate stays within the 32-bit range.
    int ShiftX(int x) const { return static_cast<int>(static_cast<long long>(x) - originX_); }
    int ShiftY(int y) const { return static_cast<int>(static_cast<long long>(y) - originY_); }
    const SurfacePoint* Shifted(const SurfacePoint* points, int count);

    DrawingSurface& target_;
    int originX_, originY_;
    std::vector<SurfacePoint> shifted_;  // reused from call to call
};
