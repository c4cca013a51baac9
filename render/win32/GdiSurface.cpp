#include "render/win32/GdiSurface.h"

#include <cstddef>

GdiTally gdiTally = {0, 0};

namespace {

// SurfacePoint and POINT are the same two 32-bit integers.
static_assert(sizeof(SurfacePoint) == sizeof(POINT));
static_assert(offsetof(SurfacePoint, y) == offsetof(POINT, y));

SurfaceObject Counted(HGDIOBJ object) {
    if (object != nullptr) ++gdiTally.made;
    return object;
}

}  // namespace

SurfaceObject GdiSurface::CreateSolidBrush(ColourRef colour) { return Counted(::CreateSolidBrush(colour)); }

SurfaceObject GdiSurface::CreatePen(int style, int width, ColourRef colour) {
    return Counted(::CreatePen(style, width, colour));
}

SurfaceObject GdiSurface::CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts, int polygonCount,
                                               int fillMode) {
    return Counted(
        ::CreatePolyPolygonRgn(reinterpret_cast<const POINT*>(points), counts, polygonCount, fillMode));
}

SurfaceObject GdiSurface::SelectObject(SurfaceObject object) {
    return ::SelectObject(dc_, static_cast<HGDIOBJ>(object));
}

bool GdiSurface::DeleteObject(SurfaceObject object) {
    bool deleted = ::DeleteObject(static_cast<HGDIOBJ>(object)) != FALSE;
    if (deleted) ++gdiTally.released;
    return deleted;
}

int GdiSurface::SetPolyFillMode(int mode) { return ::SetPolyFillMode(dc_, mode); }

bool GdiSurface::Polygon(const SurfacePoint* points, int count) {
    return ::Polygon(dc_, reinterpret_cast<const POINT*>(points), count) != FALSE;
}

bool GdiSurface::MoveToEx(int x, int y) { return ::MoveToEx(dc_, x, y, nullptr) != FALSE; }

bool GdiSurface::LineTo(int x, int y) { return ::LineTo(dc_, x, y) != FALSE; }

bool GdiSurface::PaintRgn(SurfaceObject region) { return ::PaintRgn(dc_, static_cast<HRGN>(region)) != FALSE; }
