#include "glyphs/MergeOverlaps.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <exception>
#include <initializer_list>
#include <map>
#include <utility>

#include <boost/geometry/algorithms/correct.hpp>
#include <boost/geometry/algorithms/difference.hpp>
#include <boost/geometry/algorithms/equals.hpp>
#include <boost/geometry/algorithms/union.hpp>
#include <boost/geometry/geometries/multi_polygon.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include "glyphs/FindMeetingEdges.h"
#include "glyphs/FitGlyph.h"

namespace {

namespace geometry = boost::geometry;

// Whole numbers of 1/64 design unit. Within 4,096 units a coordinate stays
// below 2^18, so every cross product the library forms fits 53 bits and an
// intersection, found by an integer division, is exact and the same on
// every platform; the fitting rounds to whole units anyway.
constexpr double kGridSteps = 64.0;
constexpr double kGridReach = 4096.0;
// Twice the points of the densest glyphs of real fonts (IPAGothic's kanji
// reach 2,100 once flattened): more come only from a damaged or hostile
// font, which is fitted unmerged.
constexpr std::size_t kMergedPointLimit = 4096;

// 64-bit whole numbers: Boost's own arithmetic multiplies coordinates (a
// line through two points), which in 32 bits would overflow for points a
// few hundred units out, well within the grid's reach.
using GridPoint = geometry::model::d2::point_xy<long long>;
// Clockwise outer rings (y up), as TrueType stores them, closed.
using GridPolygon = geometry::model::polygon<GridPoint>;
using GridShape = geometry::model::multi_polygon<GridPolygon>;
using GridRing = GridPolygon::ring_type;

GridRing ToGrid(const OutlinePath& path) {
    GridRing ring;
    for (const OutlinePoint& point : path) {
        const GridPoint grid(static_cast<long long>(std::round(point.x * kGridSteps)),
                             static_cast<long long>(std::round(point.y * kGridSteps)));
        if (ring.empty() || !geometry::equals(ring.back(), grid)) ring.push_back(grid);
    }
    while (ring.size() > 1 && geometry::equals(ring.front(), ring.back())) ring.pop_back();
    return ring;
}

// Twice the signed area, exact in whole numbers.
long long TwiceArea(const GridRing& ring) {
    long long twice = 0;
    for (std::size_t i = 0, n = ring.size(); i < n; ++i) {
        const GridPoint& a = ring[i];
        const GridPoint& b = ring[(i + 1) % n];
        twice += static_cast<long long>(a.x()) * b.y() - static_cast<long long>(b.x()) * a.y();
    }
    return twice;
}

// A simple ring as a polygon of its own, clockwise and closed.
GridPolygon Filled(const GridRing& ring) {
    GridPolygon polygon;
    polygon.outer() = ring;
    geometry::correct(polygon);
    return polygon;
}

// Whether most points of `inner` lie inside `outer` (even-odd): a hole
// belongs to the outer contour around it even where it crosses its edge.
bool MostlyInside(const OutlinePath& inner, const OutlinePath& outer) {
    std::size_t inside = 0;
    for (const OutlinePoint& point : inner) inside += PathContains(outer, point);
    return inside * 2 > inner.size();
}

OutlinePath FromGrid(const GridRing& ring) {
    OutlinePath path;
    for (const GridPoint& point : ring) path.push_back({point.x() / kGridSteps, point.y() / kGridSteps});
    if (path.size() > 1 && path.front().x == path.back().x && path.front().y == path.back().y) path.pop_back();
    return path;
}

long long Orientation(const GridPoint& a, const GridPoint& b, const GridPoint& c) {
    return static_cast<long long>(b.x() - a.x()) * (c.y() - a.y()) - static_cast<long long>(b.y() - a.y()) * (c.x() - a.x());
}

// Edges cross when each one's ends lie strictly on both sides of the other.
bool EdgesCross(const GridPoint& p1, const GridPoint& p2, const GridPoint& q1, const GridPoint& q2) {
    const long long o1 = Orientation(p1, p2, q1), o2 = Orientation(p1, p2, q2);
    const long long o3 = Orientation(q1, q2, p1), o4 = Orientation(q1, q2, p2);
    return ((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0));
}

// More crossings than this in one contour come only from a damaged or
// hostile font: its glyph is fitted unmerged.
constexpr std::size_t kCrossingLimit = 1024;

// The box around each edge of the ring, in grid steps (whole numbers below
// 2^19, exact as doubles).
std::vector<EdgeBox> EdgeBoxes(const GridRing& ring) {
    std::vector<EdgeBox> boxes;
    for (std::size_t i = 0, n = ring.size(); i < n; ++i) {
        const GridPoint& a = ring[i];
        const GridPoint& b = ring[(i + 1) % n];
        boxes.push_back({static_cast<double>(std::min(a.x(), b.x())), static_cast<double>(std::max(a.x(), b.x())),
                         static_cast<double>(std::min(a.y(), b.y())), static_cast<double>(std::max(a.y(), b.y()))});
    }
    return boxes;
}

// The pairs of edges of the ring that cross, each once as (smaller index,
// larger), in no particular order; edges that cross have boxes that meet, so
// only those are compared. False when there are more than kCrossingLimit.
bool FindCrossings(const GridRing& ring, std::vector<std::pair<std::size_t, std::size_t>>& crossings) {
    const std::size_t n = ring.size();
    return FindMeetingEdges(EdgeBoxes(ring), [&](std::size_t i, std::size_t k) {
        if (!EdgesCross(ring[i], ring[(i + 1) % n], ring[k], ring[(k + 1) % n])) return true;
        if (crossings.size() == kCrossingLimit) return false;
        crossings.emplace_back(i, k);
        return true;
    });
}

// Where edge `i` of the ring crosses edge `k`, on the nearest grid point: in
// whole numbers, a crossing's parameter along edge i is numerator /
// denominator, each below 2^38, and their products with a coordinate stay
// below 2^63.
GridPoint CrossingPoint(const GridRing& ring, std::size_t i, std::size_t k) {
    const std::size_t n = ring.size();
    const GridPoint& a = ring[i];
    const GridPoint& b = ring[(i + 1) % n];
    const GridPoint& c = ring[k];
    const GridPoint& d = ring[(k + 1) % n];
    long long numerator = Orientation(c, d, a);
    long long denominator = numerator - Orientation(c, d, b);
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    // Rounded to the nearest whole number, halves away from zero.
    auto along = [numerator, denominator](long long from, long long to) {
        const long long twice = 2 * numerator * (to - from);
        const long long rounded = twice >= 0 ? (twice + denominator) / (2 * denominator)
                                             : -((-twice + denominator) / (2 * denominator));
        return from + rounded;
    };
    return GridPoint(along(a.x(), b.x()), along(a.y(), b.y()));
}

// A contour that crosses itself, split at its crossings into simple loops,
// which the union takes: the crossings are put into both their edges, and
// walking the contour, each return to a point already passed closes a loop.
// False when the contour crosses itself too often, or when putting the
// crossings on the grid made a loop cross itself after all.
bool SplitAtCrossings(const GridRing& ring, std::vector<GridRing>& loops) {
    std::vector<std::pair<std::size_t, std::size_t>> crossings;
    if (!FindCrossings(ring, crossings)) return false;
    if (crossings.empty()) {
        loops.push_back(ring);
        return true;
    }
    const std::size_t n = ring.size();
    // The crossings on each edge, by their distance from its start.
    std::vector<std::vector<std::pair<long long, GridPoint>>> onEdge(n);
    for (const auto& [i, k] : crossings) {
        const GridPoint point = CrossingPoint(ring, i, k);
        for (std::size_t edge : {i, k}) {
            const GridPoint& a = ring[edge];
            const GridPoint& b = ring[(edge + 1) % n];
            const long long distance = static_cast<long long>(point.x() - a.x()) * (b.x() - a.x()) +
                                       static_cast<long long>(point.y() - a.y()) * (b.y() - a.y());
            onEdge[edge].push_back({distance, point});
        }
    }
    GridRing walked;
    for (std::size_t i = 0; i < n; ++i) {
        walked.push_back(ring[i]);
        std::sort(onEdge[i].begin(), onEdge[i].end(), [](const auto& a, const auto& b) {
            return a.first < b.first || (a.first == b.first && (a.second.x() < b.second.x() ||
                                                                (a.second.x() == b.second.x() && a.second.y() < b.second.y())));
        });
        for (const auto& [distance, point] : onEdge[i])
            if (!geometry::equals(walked.back(), point)) walked.push_back(point);
    }
    while (walked.size() > 1 && geometry::equals(walked.front(), walked.back())) walked.pop_back();
    GridRing open;
    auto close = [&loops](GridRing loop) {
        if (loop.size() >= 3 && TwiceArea(loop) != 0) loops.push_back(std::move(loop));
    };
    // Where each point of the open path stands in it (its points are all
    // different), so that a return is found without a scan of the path.
    std::map<std::pair<long long, long long>, std::size_t> standsAt;
    auto key = [](const GridPoint& p) { return std::make_pair(p.x(), p.y()); };
    for (const GridPoint& point : walked) {
        const auto passed = standsAt.find(key(point));
        if (passed != standsAt.end()) {
            const std::size_t at = passed->second;
            close(GridRing(open.begin() + static_cast<std::ptrdiff_t>(at), open.end()));
            for (std::size_t k = at + 1; k < open.size(); ++k) standsAt.erase(key(open[k]));
            open.erase(open.begin() + static_cast<std::ptrdiff_t>(at) + 1, open.end());
        } else {
            standsAt.emplace(key(point), open.size());
            open.push_back(point);
        }
    }
    close(std::move(open));
    for (const GridRing& loop : loops) {
        std::vector<std::pair<std::size_t, std::size_t>> left;
        if (!FindCrossings(loop, left) || !left.empty()) return false;
    }
    return true;
}

// Closed edges meet when they cross, touch or overlap.
bool EdgesMeet(const GridPoint& p1, const GridPoint& p2, const GridPoint& q1, const GridPoint& q2) {
    const long long o1 = Orientation(p1, p2, q1), o2 = Orientation(p1, p2, q2);
    const long long o3 = Orientation(q1, q2, p1), o4 = Orientation(q1, q2, p2);
    if (((o1 > 0 && o2 > 0) || (o1 < 0 && o2 < 0)) || ((o3 > 0 && o4 > 0) || (o3 < 0 && o4 < 0))) return false;
    if (o1 != 0 || o2 != 0 || o3 != 0 || o4 != 0) return true;
    // On one line: they meet where their boxes do.
    return std::max(std::min(p1.x(), p2.x()), std::min(q1.x(), q2.x())) <=
               std::min(std::max(p1.x(), p2.x()), std::max(q1.x(), q2.x())) &&
           std::max(std::min(p1.y(), p2.y()), std::min(q1.y(), q2.y())) <=
               std::min(std::max(p1.y(), p2.y()), std::max(q1.y(), q2.y()));
}

// The union's time grows steeply with the places where edges meet: strokes
// of real fonts meet in at most a few dozen, contours laid over one another
// in thousands. More than this, and the glyph is fitted unmerged.
constexpr std::size_t kMeetingLimit = 512;

// Whether edges of the rings (other than neighbours) meet in no more than
// kMeetingLimit places: only edges whose boxes meet are compared.
bool FewMeetings(const std::vector<GridRing>& rings) {
    struct Edge {
        std::size_t ring, index;
    };
    std::vector<Edge> edges;
    std::vector<EdgeBox> boxes;
    for (std::size_t r = 0; r < rings.size(); ++r) {
        const std::vector<EdgeBox> ringBoxes = EdgeBoxes(rings[r]);
        for (std::size_t i = 0; i < ringBoxes.size(); ++i) edges.push_back({r, i});
        boxes.insert(boxes.end(), ringBoxes.begin(), ringBoxes.end());
    }
    std::size_t meetings = 0;
    return FindMeetingEdges(boxes, [&](std::size_t e, std::size_t f) {
        const Edge& one = edges[e];
        const Edge& other = edges[f];
        const GridRing& first = rings[one.ring];
        const std::size_t n = first.size();
        if (one.ring == other.ring && ((one.index + 1) % n == other.index || (other.index + 1) % n == one.index))
            return true;
        const GridRing& second = rings[other.ring];
        return !(EdgesMeet(first[one.index], first[(one.index + 1) % n], second[other.index],
                           second[(other.index + 1) % second.size()]) &&
                 ++meetings > kMeetingLimit);
    });
}

}  // namespace

bool MergeOverlaps(const std::vector<OutlinePath>& paths, std::vector<OutlinePath>& merged) {
    std::size_t points = 0;
    for (const OutlinePath& path : paths) {
        points += path.size();
        for (const OutlinePoint& point : path)
            if (!(std::fabs(point.x) <= kGridReach && std::fabs(point.y) <= kGridReach)) return false;
    }
    if (points > kMergedPointLimit) return false;

    // On the grid, as the union will see them. The union takes simple
    // contours only.
    std::vector<GridRing> rings;
    std::vector<OutlinePath> onGrid;
    long long twiceAreas = 0;
    bool split = false;  // a contour that crossed itself is now loops
    for (const OutlinePath& path : paths) {
        GridRing ring = ToGrid(path);
        if (ring.size() < 3 || TwiceArea(ring) == 0) continue;
        std::vector<GridRing> loops;
        if (!SplitAtCrossings(ring, loops)) return false;
        split = split || loops.size() != 1 || loops[0].size() != ring.size();
        for (GridRing& loop : loops) {
            onGrid.push_back(FromGrid(loop));
            twiceAreas += std::llabs(TwiceArea(loop));
            rings.push_back(std::move(loop));
        }
    }
    if (rings.empty() || !FewMeetings(rings)) return false;

    // The largest contour is an outer one: it tells which way outer
    // contours run. Each hole is cut from the smallest outer contour that
    // holds it; a hole that no outer contour holds is ink of its own, as the
    // non-zero rule fills it.
    std::size_t largest = 0;
    for (std::size_t i = 1; i < rings.size(); ++i)
        if (std::llabs(TwiceArea(rings[i])) > std::llabs(TwiceArea(rings[largest]))) largest = i;
    const bool outerTurnsPositive = TwiceArea(rings[largest]) > 0;
    std::vector<bool> outer(rings.size());
    for (std::size_t i = 0; i < rings.size(); ++i) outer[i] = (TwiceArea(rings[i]) > 0) == outerTurnsPositive;
    std::vector<int> holder(rings.size(), -1);
    for (std::size_t i = 0; i < rings.size(); ++i) {
        if (outer[i]) continue;
        for (std::size_t j = 0; j < rings.size(); ++j) {
            if (!outer[j] || !MostlyInside(onGrid[i], onGrid[j])) continue;
            if (holder[i] < 0 || std::llabs(TwiceArea(rings[j])) < std::llabs(TwiceArea(rings[static_cast<std::size_t>(holder[i])])))
                holder[i] = static_cast<int>(j);
        }
        if (holder[i] < 0) outer[i] = true;
    }

    try {
        GridShape shape;
        for (std::size_t j = 0; j < rings.size(); ++j) {
            if (!outer[j]) continue;
            GridShape piece{Filled(rings[j])};
            for (std::size_t i = 0; i < rings.size(); ++i) {
                if (holder[i] != static_cast<int>(j)) continue;
                GridShape cut;
                geometry::difference(piece, Filled(rings[i]), cut);
                piece = std::move(cut);
            }
            GridShape joined;
            geometry::union_(shape, piece, joined);
            shape = std::move(joined);
        }
        // Contours that neither overlap nor meet come back as they went,
        // as many and as large: the paths then stay exactly as the font
        // gave them, first points and all.
        std::vector<OutlinePath> result;
        long long twiceMerged = 0;
        for (const GridPolygon& polygon : shape) {
            result.push_back(FromGrid(polygon.outer()));
            twiceMerged += std::llabs(TwiceArea(polygon.outer()));
            for (const GridRing& hole : polygon.inners()) {
                result.push_back(FromGrid(hole));
                twiceMerged += std::llabs(TwiceArea(hole));
            }
        }
        if (result.empty() || (!split && result.size() == rings.size() && twiceMerged == twiceAreas)) return false;
        merged = std::move(result);
        return true;
    } catch (const std::exception&) {
        // The library found the contours unusable after all (it checks its
        // input only when an operation goes wrong): they stay as they are.
        return false;
    }
}
