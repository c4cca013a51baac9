// A drawing surface that draws into a PixelBuffer, or a rectangle of one,
// by GDI's own pixel rules, so a frame drawn here is the frame a device
// context would show, pixel for pixel. It holds what a fresh device context holds: a white brush, a black
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
        // The crossing with the row being scanned: x0 + xq + (xr != 0 ? 1 :
        // 0), the exact x rounded up, where dx * (y - y0) = xq * dy + xr
        // with 0 <= xr < dy; and the step to the next row, dx = stepQ * dy +
        // stepR, so that no row needs a division.
        long long xq, xr, stepQ, stepR;
    };
    struct Crossing {
        long long x;
        int direction;
    };
    std::vector<Edge> edges;
    std::vector<Crossing> crossings;
    std::vector<std::size_t> active;  // the edges that cross the row scanned
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
    // Draws only in the width x height part of `target` at (left, top),
    // whose top-left pixel is the surface's (0, 0): a frame's bitmap kept
    // in place inside the window's picture.
    SoftwareSurface(PixelBuffer& target, int left, int top, int width, int height);

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
    const Object* Find(SurfaceObject handle) const;
    bool RepeatsOutline(int x, int y) const;
    SurfaceObject Add(Kind kind, ColourRef colour);
    void DrawLine(int x0, int y0, int x1, int y1);
    // Whether every pixel a shape through these points can set (all lie
    // within their bounding box, its right and bottom edges included) is
    // outside the part, so that a shape far off costs one pass over its
    // points.
    bool Misses(const SurfacePoint* points, int count) const;
    // Sets the span's pixels that lie inside the part.
    void Fill(const PixelSpan& span, ColourRef colour);

    PixelBuffer& target_;
    int left_, top_, width_, height_;  // the part drawn in
    PolygonScan scan_;
    std::vector<Object> objects_;  // handle n is objects_[n - 1]; 1 and 2 are the defaults
    SurfaceObject brush_;
    SurfaceObject pen_;
    int fillMode_ = kFillAlternate;
    int currentX_ = 0;
    int currentY_ = 0;
    // The outline of the polygon last drawn, while nothing else has been.
    static constexpr int kKeptOutline = 8;
    SurfacePoint outline_[kKeptOutline];
    int outlineCount_ = 0;
    ColourRef outlineColour_ = 0;
};
