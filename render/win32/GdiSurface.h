// The drawing surface on Windows: each member is the GDI call of its name on
// one device context, nothing more.
#pragma once

#include <windows.h>

#include "render/DrawingSurface.h"

// GDI objects made and deleted through the renderers and the compositor,
// counted so that a long run can show that every frame gives back what it
// made. Device contexts count as objects here too.
struct GdiTally {
    long made;
    long released;
};
extern GdiTally gdiTally;

class GdiSurface : public DrawingSurface {
public:
    explicit GdiSurface(HDC dc) : dc_(dc) {}

    SurfaceObject CreateSolidBrush(ColourRef colour) override;
    SurfaceObject CreatePen(int style, int width, ColourRef colour) override;
    SurfaceObject CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts, int polygonCount,
                                       int fillMode) override;
    SurfaceObject SelectObject(SurfaceObject object) override;
    bool DeleteObject(SurfaceObject object) override;
    int SetPolyFillMode(int mode) override;
    bool Polygon(const SurfacePoint* points, int count) override;
    bool MoveToEx(int x, int y) override;
    bool LineTo(int x, int y) override;
    bool PaintRgn(SurfaceObject region) override;

private:
    HDC dc_;
};
