// The portable stand-in for a device context: it draws nothing and records
// every call with its arguments, so tests can check what a renderer asked
// for and in which order. It also keeps the book of objects made, selected
// and deleted, the way GDI would refuse or leak them.
#pragma once

#include <string>
#include <vector>

#include "render/DrawingSurface.h"

enum class DrawOp {
    CreateSolidBrush,
    CreatePen,
    CreatePolyPolygonRgn,
    SelectObject,
    DeleteObject,
    SetPolyFillMode,
    Polygon,
    MoveToEx,
    LineTo,
    PaintRgn,
};

struct DrawCall {
    DrawOp op;
    ColourRef colour = 0;              // brushes and pens
    int value = 0;                     // pen style, fill mode
    int width = 0;                     // pen width
    SurfaceObject object = nullptr;    // made, selected, deleted or painted
    std::vector<SurfacePoint> points{};// Polygon, region, MoveToEx, LineTo
    std::vector<int> counts{};         // region contours
};

class RecordingSurface : public DrawingSurface {
public:
    RecordingSurface();

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

    const std::vector<DrawCall>& calls() const { return calls_; }
    void Clear() { calls_.clear(); }

    // The call names in order, for comparing whole sequences.
    std::vector<DrawOp> Ops() const;
    // Objects made and not yet deleted (the surface's own defaults excluded).
    int LiveObjects() const;
    // Calls that GDI would refuse: deleting a selected object or one never
    // made, selecting a deleted object.
    int misuses() const { return misuses_; }
    // The objects the surface holds at the start: its default brush and pen.
    SurfaceObject defaultBrush() const { return defaultBrush_; }
    SurfaceObject defaultPen() const { return defaultPen_; }

private:
    enum class Kind { Brush, Pen, Region };
    struct Made {
        Kind kind;
        bool deleted;
    };
    SurfaceObject Make(Kind kind);
    Made* Find(SurfaceObject object);

    std::vector<DrawCall> calls_;
    std::vector<Made> made_;  // object n is made_[n - 1]
    SurfaceObject defaultBrush_;
    SurfaceObject defaultPen_;
    SurfaceObject selectedBrush_;
    SurfaceObject selectedPen_;
    int fillMode_ = kFillAlternate;
    int misuses_ = 0;
};
