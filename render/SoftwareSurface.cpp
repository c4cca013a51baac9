#include "render/SoftwareSurface.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr ColourRef kWhite = 0xFFFFFF;
constexpr ColourRef kBlack = 0x000000;

// Floor of a / b for b > 0.
long long FloorDiv(long long a, long long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// a * b = quotient * d + remainder with 0 <= remainder < d, for a, b and d
// in 0..2^40 (d > 0), whose product can pass 64 bits: b is taken 16 bits at
// a time, so no partial result passes 2^57.
struct QuotientRemainder {
    long long quotient, remainder;
};
QuotientRemainder MultiplyDivide(long long a, long long b, long long d) {
    // Mostly the product fits 63 bits (a line's first step is mostly 0):
    // one division then.
    if (b == 0) return {0, 0};
    if (a < (1LL << 31) && b < (1LL << 32)) return {a * b / d, a * b % d};
    unsigned long long quotient = 0, remainder = 0;
    for (int shift = 48; shift >= 0; shift -= 16) {
        remainder = (remainder << 16) + static_cast<unsigned long long>(a) * ((static_cast<unsigned long long>(b) >> shift) & 0xFFFF);
        quotient = (quotient << 16) + remainder / static_cast<unsigned long long>(d);
        remainder %= static_cast<unsigned long long>(d);
    }
    return {static_cast<long long>(quotient), static_cast<long long>(remainder)};
}

// floor(a * b / d) as a quotient and a remainder in 0..d-1, for b in
// 0..d and any a of up to 33 bits: products past 63 bits go the long way.
QuotientRemainder FloorMultiplyDivide(long long a, long long b, long long d) {
    if (a < (1LL << 31) && a > -(1LL << 31) && b < (1LL << 31)) {
        const long long q = FloorDiv(a * b, d);
        return {q, a * b - q * d};
    }
    const QuotientRemainder part = MultiplyDivide(a < 0 ? -a : a, b, d);
    if (a >= 0) return part;
    if (part.remainder == 0) return {-part.quotient, 0};
    return {-part.quotient - 1, d - part.remainder};
}

// Where the edge crosses the row it has reached: the exact x rounded up.
long long CrossingOf(const PolygonScan::Edge& e) { return e.x0 + e.xq + (e.xr != 0 ? 1 : 0); }

// On to the next row: dx / dy further, carried as a remainder.
void StepDown(PolygonScan::Edge& e) {
    e.xq += e.stepQ;
    e.xr += e.stepR;
    if (e.xr >= e.dy) e.xr -= e.dy, ++e.xq;
}

// Sets the edge's crossing to where it meets row y (top <= y < bottom).
void StartEdge(PolygonScan::Edge& e, int y) {
    // Mostly the edge starts on its own upper end, where it is at x0.
    const QuotientRemainder at = y == e.y0 ? QuotientRemainder{0, 0} : FloorMultiplyDivide(e.dx, y - e.y0, e.dy);
    e.xq = at.quotient;
    e.xr = at.remainder;
    e.stepQ = FloorDiv(e.dx, e.dy);
    e.stepR = e.dx - e.stepQ * e.dy;
}

}  // namespace

// Polygon filling. A pixel (x, y) is filled when the point (x, y) lies inside
// the polygon, with the left and top boundary counted in and the right and
// bottom boundary out (GDI fills are half-open). On row y an edge from
// (xa, ya) down to (xb, yb) counts when ya <= y < yb, so horizontal edges
// never count, and it crosses the row at the exact x rounded up; the pixels
// from one crossing up to, but not including, the next are filled. Under
// ALTERNATE the crossings pair up left to right (even-odd); under WINDING a
// pixel is filled where the edges to its left wind a non-zero number of times.
void ScanPolygons(const SurfacePoint* points, const int* counts, int polygonCount, int fillMode, int rowFrom,
                  int rowTo, PolygonScan& scan) {
    scan.edges.clear();
    scan.spans.clear();
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
            // An edge wholly above or below the rows scanned never counts.
            if (b.y <= rowFrom || a.y >= rowTo) continue;
            scan.edges.push_back({a.y, b.y, a.x, a.y, static_cast<long long>(b.x) - a.x,
                                  static_cast<long long>(b.y) - a.y, direction, 0, 0, 0, 0});
            StartEdge(scan.edges.back(), std::max(a.y, rowFrom));
        }
        first += count;
    }
    if (scan.edges.empty()) return;
    int top = scan.edges[0].top, bottom = scan.edges[0].bottom;
    for (const PolygonScan::Edge& e : scan.edges) top = std::min(top, e.top), bottom = std::max(bottom, e.bottom);
    top = std::max(top, rowFrom);
    bottom = std::min(bottom, rowTo);

    // Row by row, only the edges that cross the row are looked at: they
    // join in the order of their first rows and leave after their last.
    // (The order of edges that start on the same row does not matter: their
    // crossings are put in order of x.) A wall's few edges are put in
    // place one by one.
    const auto startsHigher = [](const PolygonScan::Edge& a, const PolygonScan::Edge& b) { return a.top < b.top; };
    if (scan.edges.size() <= 8) {
        for (std::size_t i = 1; i < scan.edges.size(); ++i)
            for (std::size_t j = i; j > 0 && startsHigher(scan.edges[j], scan.edges[j - 1]); --j)
                std::swap(scan.edges[j], scan.edges[j - 1]);
    } else {
        std::sort(scan.edges.begin(), scan.edges.end(), startsHigher);
    }
    scan.active.clear();
    std::size_t next = 0;
    for (int y = top; y < bottom; ++y) {
        while (next < scan.edges.size() && scan.edges[next].top <= y) scan.active.push_back(next++);
        // Two edges crossing the row, as on every row of a wall: under
        // either fill mode the pixels between them are filled.
        if (scan.active.size() == 2 && y < scan.edges[scan.active[0]].bottom && y < scan.edges[scan.active[1]].bottom) {
            PolygonScan::Edge& a = scan.edges[scan.active[0]];
            PolygonScan::Edge& b = scan.edges[scan.active[1]];
            const long long xa = CrossingOf(a), xb = CrossingOf(b);
            if (xa != xb) scan.spans.push_back({y, static_cast<int>(std::min(xa, xb)), static_cast<int>(std::max(xa, xb))});
            StepDown(a);
            StepDown(b);
            continue;
        }
        scan.crossings.clear();
        std::size_t kept = 0;
        for (const std::size_t k : scan.active) {
            PolygonScan::Edge& e = scan.edges[k];
            if (y >= e.bottom) continue;
            scan.active[kept++] = k;
            scan.crossings.push_back({CrossingOf(e), e.direction});
            StepDown(e);
        }
        scan.active.resize(kept);
        // Mostly two crossings: one comparison puts them in order.
        if (scan.crossings.size() == 2) {
            if (scan.crossings[1].x < scan.crossings[0].x) std::swap(scan.crossings[0], scan.crossings[1]);
        } else {
            std::sort(scan.crossings.begin(), scan.crossings.end(),
                      [](const PolygonScan::Crossing& a, const PolygonScan::Crossing& b) { return a.x < b.x; });
        }
        const std::size_t before = scan.spans.size();
        int winding = 0;
        for (std::size_t i = 0; i + 1 < scan.crossings.size(); ++i) {
            winding += fillMode == kFillWinding ? scan.crossings[i].direction : (i % 2 == 0 ? 1 : -1);
            if (winding == 0 || scan.crossings[i].x == scan.crossings[i + 1].x) continue;
            // A crossing lies between its edge's ends, so it fits an int.
            const int left = static_cast<int>(scan.crossings[i].x), right = static_cast<int>(scan.crossings[i + 1].x);
            // Spans that touch are one run, as in a region.
            if (scan.spans.size() > before && scan.spans.back().right == left) {
                scan.spans.back().right = right;
            } else {
                scan.spans.push_back({y, left, right});
            }
        }
    }
}

std::vector<PixelSpan> ScanPolygons(const SurfacePoint* points, const int* counts, int polygonCount,
                                    int fillMode) {
    PolygonScan scan;
    ScanPolygons(points, counts, polygonCount, fillMode, INT_MIN, INT_MAX, scan);
    return std::move(scan.spans);
}

SoftwareSurface::SoftwareSurface(PixelBuffer& target) : SoftwareSurface(target, 0, 0, target.width, target.height) {}

SoftwareSurface::SoftwareSurface(PixelBuffer& target, int left, int top, int width, int height) : target_(target) {
    // The part is kept inside the buffer.
    left_ = std::clamp(left, 0, target.width);
    top_ = std::clamp(top, 0, target.height);
    width_ = static_cast<int>(std::clamp<long long>(static_cast<long long>(left) + width, left_, target.width) - left_);
    height_ = static_cast<int>(std::clamp<long long>(static_cast<long long>(top) + height, top_, target.height) - top_);
    objects_.push_back({Kind::Brush, true, kWhite, {}});
    objects_.push_back({Kind::Pen, true, kBlack, {}});
    brush_ = reinterpret_cast<SurfaceObject>(std::uintptr_t{1});
    pen_ = reinterpret_cast<SurfaceObject>(std::uintptr_t{2});
}

SurfaceObject SoftwareSurface::Add(Kind kind, ColourRef colour) {
    // A deleted object's place is taken again, as GDI hands out freed
    // handles again; a region's span storage is kept for the next region.
    std::size_t n = 2;
    while (n < objects_.size() && objects_[n].live) ++n;
    if (n == objects_.size()) objects_.push_back({});
    objects_[n].kind = kind;
    objects_[n].live = true;
    objects_[n].colour = colour;
    objects_[n].spans.clear();
    return reinterpret_cast<SurfaceObject>(static_cast<std::uintptr_t>(n + 1));
}

const SoftwareSurface::Object* SoftwareSurface::Find(SurfaceObject handle) const {
    return const_cast<SoftwareSurface*>(this)->Find(handle);
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
    return Add(Kind::Brush, colour & 0xFFFFFF);
}

SurfaceObject SoftwareSurface::CreatePen(int style, int width, ColourRef colour) {
    // Only the solid 1-pixel pen is drawn by this surface; other pens are
    // refused rather than drawn wrongly.
    if (style != kPenSolid || width > 1) return nullptr;
    return Add(Kind::Pen, colour & 0xFFFFFF);
}

SurfaceObject SoftwareSurface::CreatePolyPolygonRgn(const SurfacePoint* points, const int* counts,
                                                    int polygonCount, int fillMode) {
    if (points == nullptr || counts == nullptr || polygonCount <= 0) return nullptr;
    if (fillMode != kFillAlternate && fillMode != kFillWinding) return nullptr;
    // A region here is only ever painted on this surface, so only the
    // buffer's rows are kept.
    SurfaceObject handle = Add(Kind::Region, 0);
    long long total = 0;
    for (int p = 0; p < polygonCount; ++p) total += std::max(counts[p], 0);
    if (total > INT_MAX || Misses(points, static_cast<int>(total))) return handle;
    ScanPolygons(points, counts, polygonCount, fillMode, 0, height_, scan_);
    Find(handle)->spans.swap(scan_.spans);
    return handle;
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
    outlineCount_ = 0;
    if (Misses(points, count)) return true;
    ScanPolygons(points, &count, 1, fillMode_, 0, height_, scan_);
    for (const PixelSpan& span : scan_.spans) Fill(span, fill);
    for (int i = 0; i < count; ++i) {
        const SurfacePoint a = points[i], b = points[(i + 1) % count];
        DrawLine(a.x, a.y, b.x, b.y);
    }
    // Kept (a small polygon's only), so that its sides drawn again in the
    // same colour right after, as a solid's walls are, are not drawn twice.
    outlineCount_ = count <= kKeptOutline ? count : 0;
    std::copy(points, points + outlineCount_, outline_);
    outlineColour_ = Find(pen_)->colour;
    return true;
}

// Whether the line from the current position to (x, y) is a side of the
// polygon outline last drawn, in the same colour, with nothing drawn since:
// its pixels are set already.
bool SoftwareSurface::RepeatsOutline(int x, int y) const {
    if (Find(pen_)->colour != outlineColour_) return false;
    for (int i = 0; i < outlineCount_; ++i) {
        const SurfacePoint a = outline_[i], b = outline_[(i + 1) % outlineCount_];
        if (a.x == currentX_ && a.y == currentY_ && b.x == x && b.y == y) return true;
    }
    return false;
}

bool SoftwareSurface::MoveToEx(int x, int y) {
    currentX_ = x;
    currentY_ = y;
    return true;
}

bool SoftwareSurface::LineTo(int x, int y) {
    if (!RepeatsOutline(x, y)) {
        outlineCount_ = 0;
        DrawLine(currentX_, currentY_, x, y);
    }
    currentX_ = x;
    currentY_ = y;
    return true;
}

bool SoftwareSurface::PaintRgn(SurfaceObject handle) {
    const Object* region = Find(handle, Kind::Region);
    if (region == nullptr) return false;
    const ColourRef fill = Find(brush_)->colour;
    outlineCount_ = 0;
    for (const PixelSpan& span : region->spans) Fill(span, fill);
    return true;
}

bool SoftwareSurface::Misses(const SurfacePoint* points, int count) const {
    if (count <= 0) return true;
    int minX = points[0].x, maxX = minX, minY = points[0].y, maxY = minY;
    for (int i = 1; i < count; ++i) {
        minX = std::min(minX, points[i].x), maxX = std::max(maxX, points[i].x);
        minY = std::min(minY, points[i].y), maxY = std::max(maxY, points[i].y);
    }
    return maxX < 0 || maxY < 0 || minX >= width_ || minY >= height_;
}

void SoftwareSurface::Fill(const PixelSpan& span, ColourRef colour) {
    if (span.y < 0 || span.y >= height_) return;
    const int left = std::max(span.left, 0), right = std::min(span.right, width_);
    if (left < right) FillSpan(target_, top_ + span.y, left_ + left, left_ + right, colour);
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
    const SurfacePoint ends[2] = {{x0, y0}, {x1, y1}};
    if (Misses(ends, 2)) return;
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
    const long long start = xMajor ? x0 : y0, size = xMajor ? width_ : height_;
    const long long firstStep = std::max(0LL, majorSign > 0 ? -start : start - (size - 1));
    const long long endStep = std::min(steps, majorSign > 0 ? size - start : start + 1);
    if (firstStep >= endStep) return;
    // A line along a row or a column outside (the compositor pins points
    // to the bitmap's right and bottom edges, just outside it) draws nothing.
    const long long across = xMajor ? y0 : x0;
    if (minor == 0 && (across < 0 || across >= (xMajor ? height_ : width_))) return;
    // Step i's minor offset is floor((2 i minor + steps + tie) / (2 steps)),
    // worked out once for the first step and then carried from step to step
    // as a quotient and a remainder, without a division per pixel.
    const long long denominator = 2 * steps, increment = 2 * minor;
    QuotientRemainder offset = MultiplyDivide(increment, firstStep, denominator);
    offset.remainder += steps + tie;
    if (offset.remainder >= denominator) offset.remainder -= denominator, ++offset.quotient;
    const std::uint8_t bgr[3] = {static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 8),
                                 static_cast<std::uint8_t>(colour)};
    // A line whose box lies inside the part needs no test per pixel.
    if (std::min(x0, x1) >= 0 && std::min(y0, y1) >= 0 && std::max(x0, x1) < width_ && std::max(y0, y1) < height_) {
        const std::size_t stride = target_.stride;
        std::uint8_t* const origin = &target_.bytes[static_cast<std::size_t>(top_ + y0) * stride + static_cast<std::size_t>(left_ + x0) * 3];
        const std::ptrdiff_t majorStep = xMajor ? 3 * majorSign : static_cast<std::ptrdiff_t>(stride) * majorSign;
        const std::ptrdiff_t minorStep = xMajor ? static_cast<std::ptrdiff_t>(stride) * minorSign : 3 * minorSign;
        std::uint8_t* p = origin + offset.quotient * minorStep;
        long long remainder = offset.remainder;
        for (long long i = 0; i < steps; ++i, p += majorStep) {
            std::memcpy(p, bgr, 2);
            p[2] = bgr[2];
            remainder += increment;
            const bool carry = remainder >= denominator;
            remainder -= carry ? denominator : 0;
            p += carry ? minorStep : 0;
        }
        return;
    }
    for (long long i = firstStep; i < endStep; ++i) {
        const long long major = i * majorSign, across = offset.quotient * minorSign;
        const long long x = x0 + (xMajor ? major : across), y = y0 + (xMajor ? across : major);
        if (x >= 0 && y >= 0 && x < width_ && y < height_) {
            std::uint8_t* p = &target_.bytes[static_cast<std::size_t>(top_ + y) * target_.stride +
                                             static_cast<std::size_t>(left_ + x) * 3];
            p[0] = bgr[0];
            p[1] = bgr[1];
            p[2] = bgr[2];
        }
        offset.remainder += increment;
        if (offset.remainder >= denominator) offset.remainder -= denominator, ++offset.quotient;
    }
}
