// The surface the renderers draw through. On Windows it is a device context
// and each member is the GDI call of the same name (render/win32/GdiSurface);
// in the portable tests it is a stand-in that records the calls
// (render/RecordingSurface). The renderers make exactly the calls their
// drawing rules list, in that order, so both sides see the same sequence.
#pragma once

#include <cstdint>

#include "scene/SceneRecords.h"

// A brush, pen or region made on the surface (HGDIOBJ on Windows).
using SurfaceObject = void*;

// A point in bitmap pixels (POINT on Windows).
struct SurfacePoint {
    std::int32_t x, y;
};

// GDI's values, under names that do not collide with <windows.h>.
inline constexpr int kFillAlternate = 1;  // ALTERNATE: the even-odd rule
inline constexpr int kFillWinding = 2;    // WINDING
inline constexpr int kPenSolid = 0;       // PS_SOLID

// A COLORREF: red in the low byte, green in the next, blue in the third.
using ColourRef = std::uint32_t;

inline ColourRef ToColourRef(const Rgb& colour) {
    return static_cast<ColourRef>(colour.red & 0xFF) | static_cast<ColourRef>(colour.green & 0xFF) << 8 |
           static_cast<ColourRef>(colour.blue & 0xFF) << 16;
}

class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual SurfaceObject CreateSolidBrush(ColourRef colour) = 0;
    virtual SurfaceObject CreatePen(int style, int width, ColourRef colour) = 0;
    virtual SurfaceObject CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts, int polygonCount,
                                               int fillMode) = 0;
    // Returns the object it replaces, to be selected back afterwards.
    virtual SurfaceObject SelectObject(SurfaceObject object) = 0;
    virtual bool DeleteObject(SurfaceObject object) = 0;
    virtual int SetPolyFillMode(int mode) = 0;
    virtual bool Polygon(const SurfacePoint* points, int count) = 0;
    virtual bool MoveToEx(int x, int y) = 0;
    virtual bool LineTo(int x, int y) = 0;
    virtual bool PaintRgn(SurfaceObject region) = 0;
};

// Owns an object made on the surface and deletes it when it goes out of
// scope. Declared before the SelectedObject that selects it, so the
// selection is undone first and the object is never deleted while selected.
class OwnedObject {
public:
    OwnedObject(DrawingSurface& surface, SurfaceObject object) : surface_(surface), object_(object) {}
    ~OwnedObject() {
        if (object_ != nullptr) surface_.DeleteObject(object_);
    }
    OwnedObject(const OwnedObject&) = delete;
    OwnedObject& operator=(const OwnedObject&) = delete;

    SurfaceObject get() const { return object_; }

private:
    DrawingSurface& surface_;
    SurfaceObject object_;
};

// Selects an object into the surface and selects the previous one back when
// it goes out of scope.
class SelectedObject {
public:
    SelectedObject(DrawingSurface& surface, SurfaceObject object)
        : surface_(surface), previous_(object != nullptr ? surface.SelectObject(object) : nullptr) {}
    ~SelectedObject() {
        if (previous_ != nullptr) surface_.SelectObject(previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

private:
    DrawingSurface& surface_;
    SurfaceObject previous_;
};
