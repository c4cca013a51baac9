// A drawing surface that draws into a PixelBuffer by GDI's own pixel rules,
// so a frame drawn here is the frame a device context would show, pixel for
// pixel. It holds what a fresh device context holds: a white brush, a black
// 1-pixel pen, the ALTERNATE fill mode and the current position (0, 0).
#pragma once

#include <vector>

#include "render/DrawingSurface.h"
#include "render/PixelBuffer.h"

// One run of pixels of a region: row y, columns [left, right).
struct PixelSpan {
    int y, left, right;
};

// Storage a scan reuses, so that drawing a polygon allocates nothing once
// the vectors have grown to the figure's size.
struct PolygonScan {
    struct Edge {
        int top, bottom;   // the rows the edge crosses: [top, bottom)
        long long x0, y0;  // its upper end
        long long dx, dy;  // dy > 0
        int direction;     // +1 drawn downward, -1 upward (for WINDING)
    };
    struct Crossing {
        long long x;
        int direction;
    };
    std::vector<Edge> edges;
    std::vector<Crossing> crossings;
    std::vector<PixelSpan> spans;  // the result
};

// The pixels GDI fills for the polygons under the fill mode (see the rules
// in SoftwareSurface.cpp), as spans sorted by row and column, into
// scan.spans. Only rows [rowFrom, rowTo) are scanned: rows outside cost
// nothing, however far the polygon reaches.
void ScanPolygons(const SurfacePoint* points, const int* counts, int polygonCount, int fillMode, int rowFrom,
                  int rowTo, PolygonScan& scan);

// The same over every row, into a vector of its own.
std::vector<PixelSpan> ScanPolygons(const SurfacePoint* points, const int* counts, int polygonCount,
                                    int fillMode);

class SoftwareSurface : public DrawingSurface {
public:
    explicit SoftwareSurface(PixelBuffer& target);

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

    // Objects made and not yet deleted, the defaults excluded.
    int LiveObjects() const;

private:
    enum class Kind { Brush, Pen, Region };
    struct Object {
        Kind kind;
        bool live;
        ColourRef colour;
        std::vector<PixelSpan> spans;  // regions only
    };
    Object* Find(SurfaceObject handle, Kind kind);
    Object* Find(SurfaceObject handle);
    SurfaceObject Add(Kind kind, ColourRef colour);
    void DrawLine(int x0, int y0, int x1, int y1);

    PixelBuffer& target_;
    PolygonScan scan_;
    std::vector<Object> objects_;  // handle n is objects_[n - 1]; 1 and 2 are the defaults
    SurfaceObject brush_;
    SurfaceObject pen_;
    int fillMode_ = kFillAlternate;
    int currentX_ = 0;
    int currentY_ = 0;
};
