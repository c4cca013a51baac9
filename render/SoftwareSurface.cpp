#include "render/SoftwareSurface.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

constexpr ColourRef kWhite = 0xFFFFFF;
constexpr ColourRef kBlack = 0x000000;

// Floor of a / b for b > 0.
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Ceiling of a / b for b > 0.
long long CeilDiv(long long a, long long b) { return -FloorDiv(-a, b); }

struct Edge {
    int top, bottom;     // the rows the edge crosses: [top, bottom)
    long long x0, y0;    // its upper end
    long long dx, dy;    // dy > 0
    int direction;       // +1 drawn downward, -1 upward (for WINDING)
};

}  // namespace

// Polygon filling. A pixel (x, y) is filled when the point (x, y) lies inside
// the polygon, with the left and top boundary counted in and the right and
// bottom boundary out (GDI fills are half-open). On row y an edge from
// (xa, ya) down to (xb, yb) counts when ya <= y < yb, so horizontal edges
// never count, and it crosses the row at the exact x rounded up; the pixels
// from one crossing up to, but not including, the next are filled. Under
// ALTERNATE the crossings pair up left to right (even-odd); under WINDING a
// pixel is filled where the edges to its left wind a non-zero number of times.
std::vector<PixelSpan> ScanPolygons(const SurfacePoint* points, const int* counts, int polygonCount,
                                    int fillMode) {
    std::vector<Edge> edges;
    int first = 0;
    for (int p = 0; p < polygonCount; ++p) {
        const int count = counts[p];
        if (count < 2) {
            first += std::max(count, 0);
            continue;
        }
        for (int i = 0; i < count; ++i) {
            SurfacePoint a = points[first + i], b = points[first + (i + 1) % count];
            if (a.y == b.y) continue;
            int direction = 1;
            if (a.y > b.y) {
                std::swap(a, b);
                direction = -1;
            }
            edges.push_back({a.y, b.y, a.x, a.y, static_cast<long long>(b.x) - a.x,
                             static_cast<long long>(b.y) - a.y, direction});
        }
        first += count;
    }
    std::vector<PixelSpan> spans;
    if (edges.empty()) return spans;
    int top = edges[0].top, bottom = edges[0].bottom;
    for (const Edge& e : edges) top = std::min(top, e.top), bottom = std::max(bottom, e.bottom);

    struct Crossing {
        long long x;
        int direction;
    };
    std::vector<Crossing> crossings;
    for (int y = top; y < bottom; ++y) {
        crossings.clear();
        for (const Edge& e : edges) {
            if (y < e.top || y >= e.bottom) continue;
            crossings.push_back({e.x0 + CeilDiv(e.dx * (y - e.y0), e.dy), e.direction});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        const std::size_t before = spans.size();
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += fillMode == kFillWinding ? crossings[i].direction : (i % 2 == 0 ? 1 : -1);
            if (winding == 0 || crossings[i].x == crossings[i + 1].x) continue;
            const int left = static_cast<int>(crossings[i].x), right = static_cast<int>(crossings[i + 1].x);
            // Spans that touch are one run, as in a region.
            if (spans.size() > before && spans.back().right == left) {
                spans.back().right = right;
            } else {
                spans.push_back({y, left, right});
            }
        }
    }
    return spans;
}

SoftwareSurface::SoftwareSurface(PixelBuffer& target) : target_(target) {
    brush_ = Add({Kind::Brush, true, kWhite, {}});
    pen_ = Add({Kind::Pen, true, kBlack, {}});
}

SurfaceObject SoftwareSurface::Add(Object object) {
    objects_.push_back(std::move(object));
    return reinterpret_cast<SurfaceObject>(static_cast<std::uintptr_t>(objects_.size()));
}

SoftwareSurface::Object* SoftwareSurface::Find(SurfaceObject handle) {
    const auto n = reinterpret_cast<std::uintptr_t>(handle);
    if (n == 0 || n > objects_.size() || !objects_[n - 1].live) return nullptr;
    return &objects_[n - 1];
}

SoftwareSurface::Object* SoftwareSurface::Find(SurfaceObject handle, Kind kind) {
    Object* object = Find(handle);
    return object != nullptr && object->kind == kind ? object : nullptr;
}

SurfaceObject SoftwareSurface::CreateSolidBrush(ColourRef colour) {
    return Add({Kind::Brush, true, colour & 0xFFFFFF, {}});
}

SurfaceObject SoftwareSurface::CreatePen(int style, int width, ColourRef colour) {
    // Only the solid 1-pixel pen is drawn by this surface; other pens are
    // refused rather than drawn wrongly.
    if (style != kPenSolid || width > 1) return nullptr;
    return Add({Kind::Pen, true, colour & 0xFFFFFF, {}});
}

SurfaceObject SoftwareSurface::CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts,
                                                    int polygonCount, int fillMode) {
    if (points == nullptr || counts == nullptr || polygonCount <= 0) return nullptr;
    if (fillMode != kFillAlternate && fillMode != kFillWinding) return nullptr;
    return Add({Kind::Region, true, 0, ScanPolygons(points, counts, polygonCount, fillMode)});
}

SurfaceObject SoftwareSurface::SelectObject(SurfaceObject handle) {
    const Object* object = Find(handle);
    if (object == nullptr) return nullptr;
    SurfaceObject previous = nullptr;
    if (object->kind == Kind::Brush) {
        previous = brush_;
        brush_ = handle;
    } else if (object->kind == Kind::Pen) {
        previous = pen_;
        pen_ = handle;
    }
    return previous;
}

bool SoftwareSurface::DeleteObject(SurfaceObject handle) {
    Object* object = Find(handle);
    // The defaults are never deleted, and an object in use stays alive.
    if (object == nullptr || handle == brush_ || handle == pen_) return false;
    if (object == &objects_[0] || object == &objects_[1]) return true;
    object->live = false;
    object->spans.clear();
    return true;
}

int SoftwareSurface::SetPolyFillMode(int mode) {
    if (mode != kFillAlternate && mode != kFillWinding) return 0;
    const int previous = fillMode_;
    fillMode_ = mode;
    return previous;
}

bool SoftwareSurface::Polygon(const SurfacePoint* points, int count) {
    if (points == nullptr || count < 2) return false;
    // The inside first, half-open, in the brush; then the outline in the
    // pen, which gives the polygon its right and bottom pixels. The outline
    // is closed: each side leaves out its last pixel, the next side's first.
    const ColourRef fill = Find(brush_)->colour;
    for (const PixelSpan& span : ScanPolygons(points, &count, 1, fillMode_))
        FillSpan(target_, span.y, span.left, span.right, fill);
    for (int i = 0; i < count; ++i) {
        const SurfacePoint a = points[i], b = points[(i + 1) % count];
        DrawLine(a.x, a.y, b.x, b.y);
    }
    return true;
}

bool SoftwareSurface::MoveToEx(int x, int y) {
    currentX_ = x;
    currentY_ = y;
    return true;
}

bool SoftwareSurface::LineTo(int x, int y) {
    DrawLine(currentX_, currentY_, x, y);
    currentX_ = x;
    currentY_ = y;
    return true;
}

bool SoftwareSurface::PaintRgn(SurfaceObject handle) {
    const Object* region = Find(handle, Kind::Region);
    if (region == nullptr) return false;
    const ColourRef fill = Find(brush_)->colour;
    for (const PixelSpan& span : region->spans) FillSpan(target_, span.y, span.left, span.right, fill);
    return true;
}

int SoftwareSurface::LiveObjects() const {
    int live = 0;
    for (std::size_t i = 2; i < objects_.size(); ++i) live += objects_[i].live ? 1 : 0;
    return live;
}

// Lines. GDI draws every pixel from the start up to, but not including, the
// end point. Along the major axis (x when |dx| >= |dy|) each step sets one
// pixel; the minor coordinate is the exact one rounded to the nearest pixel,
// and a tie, exactly halfway between two pixels, goes to the smaller
// coordinate (up or left), whichever way the line runs. Pixels outside the
// buffer are left out, without moving those inside.
void SoftwareSurface::DrawLine(int x0, int y0, int x1, int y1) {
    const ColourRef colour = Find(pen_)->colour;
    const long long dx = static_cast<long long>(x1) - x0, dy = static_cast<long long>(y1) - y0;
    const long long adx = std::llabs(dx), ady = std::llabs(dy);
    const bool xMajor = adx >= ady;
    const long long steps = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const int majorSign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int minorSign = (xMajor ? dy : dx) < 0 ? -1 : 1;
    // Rounding half away from the start when the minor axis runs toward
    // smaller coordinates, half toward it otherwise.
    const long long tie = minorSign < 0 ? 0 : -1;
    // Only the steps whose major coordinate lies inside the buffer are taken,
    // so a line far outside costs nothing.
    const long long start = xMajor ? x0 : y0, size = xMajor ? target_.width : target_.height;
    const long long firstStep = std::max(0LL, majorSign > 0 ? -start : start - (size - 1));
    const long long endStep = std::min(steps, majorSign > 0 ? size - start : start + 1);
    for (long long i = firstStep; i < endStep; ++i) {
        const long long offset = FloorDiv(2 * i * minor + steps + tie, 2 * steps);
        const long long major = i * majorSign, across = offset * minorSign;
        const long long x = x0 + (xMajor ? major : across), y = y0 + (xMajor ? across : major);
        if (x < 0 || y < 0 || x >= target_.width || y >= target_.height) continue;
        FillSpan(target_, static_cast<int>(y), static_cast<int>(x), static_cast<int>(x) + 1, colour);
    }
}
