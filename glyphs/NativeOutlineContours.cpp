#include <cmath>
#include <cstdint>
#include <utility>

#include "glyphs/NativeOutline.h"

namespace {

// The record types of a GGO_NATIVE buffer, as the system numbers them.
constexpr std::uint32_t kPolygonType = 24;  // TT_POLYGON_TYPE
constexpr unsigned kLine = 1;               // TT_PRIM_LINE
constexpr unsigned kQuadraticSpline = 2;    // TT_PRIM_QSPLINE
constexpr unsigned kCubicSpline = 3;        // TT_PRIM_CSPLINE
constexpr std::size_t kPolygonHeaderSize = 16;  // byte count, type, start point
constexpr std::size_t kCurveHeaderSize = 4;     // type, point count
constexpr std::size_t kPointSize = 8;           // two FIXED values

// A point of the buffer as it stands, in font units.
struct FixedPoint {
    double x;
    double y;
};

// A point of a contour as the font stores it, on or off the curve.
struct FlaggedPoint {
    OutlinePoint point;
    bool on;
};

struct Curve {
    unsigned type;
    std::vector<FixedPoint> points;
};

std::uint32_t LittleEndian(const unsigned char* at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | at[i];
    return value;
}

// A FIXED (16-bit fraction, then the signed 16-bit whole part) is one signed
// 32-bit number of 65536ths.
double FixedValue(const unsigned char* at) {
    return static_cast<std::int32_t>(LittleEndian(at, 4)) / 65536.0;
}

FixedPoint ReadPoint(const unsigned char* at) {
    return {FixedValue(at), FixedValue(at + 4)};
}

OutlinePoint ControlPoint(const FixedPoint& point) {
    return {point.x, point.y};
}

// A whole number of font units as FreeType's integers give it: truncated
// toward zero, and a zero never negative.
double WholeUnits(double value) {
    return std::trunc(value) + 0.0;
}

OutlinePoint Midpoint(const OutlinePoint& a, const OutlinePoint& b) {
    return {WholeUnits((a.x + b.x) / 2), WholeUnits((a.y + b.y) / 2)};
}

// A point on the curve as FreeType has it: in whole font units, truncated
// toward zero. The font's own on-curve points are whole already; a start the
// system made between two off-curve points may not be.
OutlinePoint OnCurvePoint(const FixedPoint& point) {
    return {WholeUnits(point.x), WholeUnits(point.y)};
}

// The on-curve point implied between two control points of a quadratic
// spline, computed as FreeType computes it: (a + b) / 2 in whole units,
// truncated toward zero.
OutlinePoint ImpliedPoint(const FixedPoint& a, const FixedPoint& b) {
    return Midpoint(ControlPoint(a), ControlPoint(b));
}

bool SamePoint(const OutlinePoint& a, const OutlinePoint& b) {
    return a.x == b.x && a.y == b.y;
}

// One TTPOLYCURVE record's points as segments of the contour.
bool AddCurve(const Curve& curve, OutlineContour& contour) {
    const std::vector<FixedPoint>& points = curve.points;
    const std::size_t count = points.size();
    switch (curve.type) {
    case kLine:
        for (const FixedPoint& point : points) contour.segments.push_back({0, {}, OnCurvePoint(point)});
        return true;
    case kQuadraticSpline:
        // Controls, one curve each, with the last point on the curve.
        if (count < 2) return false;
        for (std::size_t i = 0; i + 1 < count; ++i) {
            const OutlinePoint to = i + 2 == count ? OnCurvePoint(points[i + 1]) : ImpliedPoint(points[i], points[i + 1]);
            contour.segments.push_back({1, {ControlPoint(points[i]), {}}, to});
        }
        return true;
    case kCubicSpline:
        // Two controls and an end, for each cubic curve.
        if (count % 3 != 0) return false;
        for (std::size_t i = 0; i < count; i += 3)
            contour.segments.push_back({2, {ControlPoint(points[i]), ControlPoint(points[i + 1])}, OnCurvePoint(points[i + 2])});
        return true;
    default:
        return false;
    }
}

// FreeType's walk of a contour that starts off the curve: from the last point
// when that lies on the curve, else from midway between the last and the first.
OutlineContour WalkFromOffCurveStart(const std::vector<FlaggedPoint>& points) {
    OutlineContour contour;
    std::size_t limit = points.size();
    if (points.back().on)
        contour.start = points[--limit].point;
    else
        contour.start = Midpoint(points.back().point, points[0].point);
    for (std::size_t i = 0; i < limit; ++i) {
        const OutlinePoint& control = points[i].point;
        if (points[i].on) {
            contour.segments.push_back({0, {}, control});
        } else if (i + 1 == limit) {
            contour.segments.push_back({1, {control, {}}, contour.start});
            return contour;
        } else {
            const FlaggedPoint& next = points[i + 1];
            const OutlinePoint to = next.on ? next.point : Midpoint(control, next.point);
            contour.segments.push_back({1, {control, {}}, to});
            if (next.on) ++i;  // the end point is used up
        }
    }
    contour.segments.push_back({0, {}, contour.start});
    return contour;
}

// The font's points of one contour of the buffer, where the system (Wine, at
// least) starts the contour at the font's first point even when it lies off
// the curve and ends a last curve that wraps round on it again: the points
// in the font's order, or none when the buffer is not of that form.
std::vector<FlaggedPoint> PointsOfOffCurveStart(const FixedPoint& start, const std::vector<Curve>& curves, const ContourEnds& ends) {
    std::vector<FlaggedPoint> points{{ControlPoint(start), false}};
    for (const Curve& curve : curves) {
        if (curve.type != kLine && curve.type != kQuadraticSpline) return {};
        for (std::size_t i = 0; i < curve.points.size(); ++i) {
            const bool on = curve.type == kLine || i + 1 == curve.points.size();
            points.push_back({on ? OnCurvePoint(curve.points[i]) : ControlPoint(curve.points[i]), on});
        }
    }
    if (!ends.lastOn) {
        if (curves.back().type != kQuadraticSpline || !SamePoint(points.back().point, points[0].point)) return {};
        points.pop_back();
    }
    if (points.size() != ends.points) return {};
    return points;
}

}  // namespace

bool NativeOutlineContours(const unsigned char* data, std::size_t size, const std::vector<ContourEnds>& ends, bool cubic,
                           CharacterOutline& outline) {
    outline.clear();
    std::vector<std::vector<FlaggedPoint>> offCurveStarts;
    std::size_t offset = 0;
    while (offset < size) {
        if (size - offset < kPolygonHeaderSize) return false;
        const std::uint32_t length = LittleEndian(data + offset, 4);
        if (LittleEndian(data + offset + 4, 4) != kPolygonType || length < kPolygonHeaderSize || length > size - offset)
            return false;
        const std::size_t end = offset + length;
        const FixedPoint start = ReadPoint(data + offset + 8);
        OutlineContour contour;
        contour.start = OnCurvePoint(start);
        std::vector<Curve> curves;
        for (std::size_t at = offset + kPolygonHeaderSize; at < end;) {
            if (end - at < kCurveHeaderSize) return false;
            Curve curve{LittleEndian(data + at, 2), {}};
            const std::size_t count = LittleEndian(data + at + 2, 2);
            at += kCurveHeaderSize;
            if (count == 0 || (end - at) / kPointSize < count) return false;
            for (std::size_t i = 0; i < count; ++i, at += kPointSize) curve.points.push_back(ReadPoint(data + at));
            if (cubic && curve.type == kQuadraticSpline && count % 3 == 0) curve.type = kCubicSpline;
            if (!AddCurve(curve, contour)) return false;
            curves.push_back(std::move(curve));
        }
        offset = end;
        // A contour of a single point has no ink and is left out, as on the
        // FreeType side. FreeType closes every other contour with a line back
        // to its start, except where its last curve already returns there.
        if (curves.empty()) continue;
        if (curves.back().type == kLine || !SamePoint(contour.segments.back().to, contour.start))
            contour.segments.push_back({0, {}, contour.start});
        const std::size_t index = outline.size();
        outline.push_back(std::move(contour));
        offCurveStarts.push_back(index < ends.size() && !ends[index].firstOn ? PointsOfOffCurveStart(start, curves, ends[index])
                                                                            : std::vector<FlaggedPoint>{});
    }
    // The font's flags are trusted only when they describe every contour.
    if (ends.size() != outline.size()) return true;
    for (std::size_t i = 0; i < outline.size(); ++i)
        if (!offCurveStarts[i].empty()) outline[i] = WalkFromOffCurveStart(offCurveStarts[i]);
    return true;
}
