#include "glyphs/FitGlyph.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>
#include <queue>
#include <tuple>
#include <utility>

#include "glyphs/FindMeetingEdges.h"
#include "glyphs/GlyphValue.h"
#include "glyphs/MergeOverlaps.h"

namespace {

// Paths whose area is below this many square design units would not show.
constexpr double kNegligibleArea = 1.0;
// Points that move the outline by less than this are never worth keeping.
constexpr double kNegligibleError = 0.2;
// A glyph stores 32-bit whole numbers: a point beyond them cannot be stored.
constexpr double kLargestCoordinate = 2147483647.0;

double SegmentDistance(OutlinePoint p, OutlinePoint a, OutlinePoint b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length2 = dx * dx + dy * dy;
    double t = length2 > 0.0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / length2 : 0.0;
    t = std::clamp(t, 0.0, 1.0);
    // A square root rather than hypot: it is correctly rounded everywhere,
    // so the point choices agree between C libraries.
    const double ex = p.x - (a.x + t * dx);
    const double ey = p.y - (a.y + t * dy);
    return std::sqrt(ex * ex + ey * ey);
}

double SignedArea(const OutlinePath& path) {
    double twice = 0.0;
    for (std::size_t i = 0, n = path.size(); i < n; ++i) {
        const OutlinePoint& a = path[i];
        const OutlinePoint& b = path[(i + 1) % n];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2.0;
}

bool SamePoint(OutlinePoint a, OutlinePoint b) {
    return a.x == b.x && a.y == b.y;
}

// How many points WithoutRepeats keeps: one for each run of equal points,
// less a last run that repeats the first point.
std::size_t DistinctPoints(const OutlinePath& path) {
    if (path.empty()) return 0;
    std::size_t runs = 1;
    for (std::size_t i = 1; i < path.size(); ++i) runs += !SamePoint(path[i - 1], path[i]);
    return runs > 1 && SamePoint(path.front(), path.back()) ? runs - 1 : runs;
}

// Drops repeated points, including a last point that repeats the first.
OutlinePath WithoutRepeats(const OutlinePath& path) {
    OutlinePath result;
    for (const OutlinePoint& point : path)
        if (result.empty() || !SamePoint(result.back(), point)) result.push_back(point);
    while (result.size() > 1 && SamePoint(result.front(), result.back())) result.pop_back();
    return result;
}

// Removes, after rounding, points that repeat their predecessor or lie on
// the straight line between their neighbours: they cost a point and a side
// wall and change nothing.
OutlinePath WithoutRedundantPoints(OutlinePath path) {
    path = WithoutRepeats(path);
    bool changed = true;
    while (changed && path.size() > 3) {
        changed = false;
        for (std::size_t i = 0; i < path.size() && path.size() > 3; ++i) {
            const std::size_t n = path.size();
            const OutlinePoint& a = path[(i + n - 1) % n];
            const OutlinePoint& p = path[i];
            const OutlinePoint& b = path[(i + 1) % n];
            const double cross = (p.x - a.x) * (b.y - p.y) - (p.y - a.y) * (b.x - p.x);
            const double along = (p.x - a.x) * (b.x - p.x) + (p.y - a.y) * (b.y - p.y);
            if (SamePoint(a, p) || (cross == 0.0 && along >= 0.0)) {
                path.erase(path.begin() + static_cast<std::ptrdiff_t>(i));
                changed = true;
            }
        }
    }
    return path;
}

// The original points a removal cost measures one by one at most; beyond
// them it is bounded from what the two chords it joins already stray.
// Fonts' glyphs rarely reach it, so their glyphs come out as measured
// exactly; an outline of thousands of points no longer makes each removal
// measure longer and longer stretches, and the simplification stays
// within n log n of its points.
constexpr int kMeasuredSpan = 128;

// One path during simplification: its original points and which of them
// are still kept, linked in a ring.
struct Ring {
    const OutlinePath* original;
    std::vector<int> previous;
    std::vector<int> next;
    std::vector<char> kept;
    std::vector<double> cost;
    // How far the original path from each kept point to the next kept one
    // strays from the chord between them (or a bound of it).
    std::vector<double> stray;
    int keptCount;
    std::size_t* measured;  // distances measured so far, over all rings

    // How far the original path between the kept neighbours of point `i`
    // lies from the chord that would replace it. Over a long stretch, a
    // bound: the path from the previous point to i lies within its stray of
    // that chord, whose every point lies within i's distance of the new
    // chord (the distance to a segment grows along a line at most to its
    // ends), and so on the other side.
    double RemovalCost(int i) const {
        const OutlinePath& points = *original;
        const int n = static_cast<int>(points.size());
        const OutlinePoint a = points[previous[i]];
        const OutlinePoint b = points[next[i]];
        if ((next[i] - previous[i] + n) % n > kMeasuredSpan) {
            ++*measured;
            return std::max(stray[previous[i]], stray[i]) + SegmentDistance(points[i], a, b);
        }
        double worst = 0.0;
        for (int j = (previous[i] + 1) % n; j != next[i]; j = (j + 1) % n) {
            worst = std::max(worst, SegmentDistance(points[j], a, b));
            ++*measured;
        }
        return worst;
    }
};

}  // namespace

namespace {

// The box around a path, widened by far more than the rounding of an edge
// crossing: a point outside it is outside the path.
struct PathBox {
    double left, bottom, right, top, slack;

    explicit PathBox(const OutlinePath& path) {
        left = right = path[0].x;
        bottom = top = path[0].y;
        for (const OutlinePoint& point : path) {
            left = std::min(left, point.x);
            right = std::max(right, point.x);
            bottom = std::min(bottom, point.y);
            top = std::max(top, point.y);
        }
        slack = 1e-9 * (1.0 + std::fabs(left) + std::fabs(right));
    }

    // Whether `point` may lie inside the path. A point below the lowest or
    // at or above the highest y crosses no edge of it, and one left or right
    // of every x crosses its edges an even number of times or not at all
    // (PathContains), so only points within the box need the full test.
    bool MayHold(OutlinePoint point) const {
        return point.y >= bottom && point.y < top && point.x >= left - slack && point.x <= right + slack;
    }

    // Whether any point of a path in this box may lie inside the path of
    // `other`.
    bool Overlaps(const PathBox& other) const {
        return other.bottom <= top && bottom <= other.top && other.left - other.slack <= right + slack &&
               left - slack <= other.right + other.slack;
    }
};

// Contour `inner` lies inside `outer` when most of its points do: a point
// that touches the other contour's edge cannot decide it alone. Adds the
// edges it tests to `measured`.
bool PathInside(const OutlinePath& inner, const OutlinePath& outer, const PathBox& outerBox, std::size_t& measured);

double Orientation(OutlinePoint a, OutlinePoint b, OutlinePoint c) {
    return (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
}

// Edges cross when each one's ends lie strictly on both sides of the other.
bool EdgesCross(OutlinePoint p1, OutlinePoint p2, OutlinePoint q1, OutlinePoint q2) {
    const double o1 = Orientation(p1, p2, q1), o2 = Orientation(p1, p2, q2);
    const double o3 = Orientation(q1, q2, p1), o4 = Orientation(q1, q2, p2);
    return ((o1 > 0 && o2 < 0) || (o1 < 0 && o2 > 0)) && ((o3 > 0 && o4 < 0) || (o3 < 0 && o4 > 0));
}

// The end face is filled with the even-odd rule, so where two contours
// overlap, or one crosses itself, the face shows a hole the font never had.
// Returns why the contours cannot be drawn as they are, or an empty string;
// of several crossings the one of the earliest contours is named. Only
// edges whose boxes meet are compared: the points are whole numbers within
// 2^31, so the differences in Orientation are exact and its rounded
// products keep their order; a sign it gives may only fall to zero, never
// turn over, and edges it finds crossing do cross, inside both boxes.
std::string CrossingProblem(const std::vector<OutlinePath>& paths) {
    struct Edge {
        std::size_t path, index;
    };
    std::vector<Edge> edges;
    std::vector<EdgeBox> boxes;
    for (std::size_t a = 0; a < paths.size(); ++a) {
        const std::size_t n = paths[a].size();
        for (std::size_t i = 0; i < n; ++i) {
            const OutlinePoint p = paths[a][i], q = paths[a][(i + 1) % n];
            edges.push_back({a, i});
            boxes.push_back({std::min(p.x, q.x), std::max(p.x, q.x), std::min(p.y, q.y), std::max(p.y, q.y)});
        }
    }
    std::pair<std::size_t, std::size_t> first{paths.size(), paths.size()};
    FindMeetingEdges(boxes, [&](std::size_t e, std::size_t f) {
        const Edge& p = edges[e];
        const Edge& q = edges[f];
        const OutlinePath& pathP = paths[p.path];
        const OutlinePath& pathQ = paths[q.path];
        const std::size_t n = pathP.size();
        // Neighbours of one contour share a point.
        if (p.path == q.path && ((p.index + 1) % n == q.index || (q.index + 1) % n == p.index)) return true;
        if (EdgesCross(pathP[p.index], pathP[(p.index + 1) % n], pathQ[q.index], pathQ[(q.index + 1) % pathQ.size()]))
            first = std::min(first, std::make_pair(std::min(p.path, q.path), std::max(p.path, q.path)));
        return true;
    });
    if (first.first == paths.size()) return {};
    if (first.first == first.second) return "contour " + std::to_string(first.first + 1) + " crosses itself";
    return "contours " + std::to_string(first.first + 1) + " and " + std::to_string(first.second + 1) +
           " overlap, and the saver fills an overlap as a hole";
}

}  // namespace

bool PathContains(const OutlinePath& path, OutlinePoint point) {
    bool inside = false;
    for (std::size_t i = 0, n = path.size(), j = n - 1; i < n; j = i++) {
        const OutlinePoint& a = path[i];
        const OutlinePoint& b = path[j];
        if ((a.y > point.y) != (b.y > point.y) &&
            point.x < (b.x - a.x) * (point.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

namespace {

bool PathInside(const OutlinePath& inner, const OutlinePath& outer, const PathBox& outerBox, std::size_t& measured) {
    const std::size_t majority = inner.size() / 2 + 1;
    std::size_t open = 0;  // points that may be inside and are not yet tested
    for (const OutlinePoint& point : inner) open += outerBox.MayHold(point);
    // The count stops as soon as the majority is reached or out of reach.
    std::size_t inside = 0;
    for (std::size_t i = 0; i < inner.size() && inside < majority && inside + open >= majority; ++i) {
        if (!outerBox.MayHold(inner[i])) continue;
        --open;
        inside += PathContains(outer, inner[i]);
        measured += outer.size();
    }
    return inside >= majority;
}

// Marks as holes the contours that lie inside an odd number of others (an
// island within a hole, inside an even number, is solid again), and notes
// for each the smallest contour around it, within `work` edge tests: false
// when that is not enough. Only contours whose boxes meet are compared, so
// the tests grow with the points of contours that lie over one another.
bool FindHoles(const std::vector<OutlinePath>& contours, const std::vector<double>& area, std::size_t work,
               std::vector<bool>& hole, std::vector<int>& holder) {
    std::vector<PathBox> boxes;
    for (const OutlinePath& contour : contours) boxes.emplace_back(contour);
    hole.assign(contours.size(), false);
    holder.assign(contours.size(), -1);
    std::size_t measured = 0;
    for (std::size_t i = 0; i < contours.size(); ++i) {
        int depth = 0;
        for (std::size_t j = 0; j < contours.size(); ++j) {
            if (j == i || !boxes[i].Overlaps(boxes[j])) continue;
            const bool inside = PathInside(contours[i], contours[j], boxes[j], measured);
            if (measured > work) return false;
            if (!inside) continue;
            ++depth;
            if (holder[i] < 0 || area[j] < area[static_cast<std::size_t>(holder[i])]) holder[i] = static_cast<int>(j);
        }
        hole[i] = depth % 2 == 1;
    }
    return true;
}

}  // namespace

double ShapeError(const OutlinePath& original, const OutlinePath& simplified) {
    double worst = 0.0;
    const std::size_t n = simplified.size();
    for (const OutlinePoint& point : original) {
        double nearest = std::numeric_limits<double>::infinity();
        for (std::size_t i = 0; i < n; ++i)
            nearest = std::min(nearest, SegmentDistance(point, simplified[i], simplified[(i + 1) % n]));
        worst = std::max(worst, nearest);
    }
    return worst;
}

namespace {

void AddDropped(std::string& dropped, const std::string& what) {
    if (what.empty()) return;
    dropped += (dropped.empty() ? "left out " : ", ") + what;
}

// Keeps the contours and holes `limits` hold, the largest first; a contour stays
// only with the one that holds it, so an island never outlives its hole
// (the even-odd face would show it as a hole of its own). `area` is each
// contour's area; `unexamined` counts the smallest contours already left out
// before holes were looked for.
void KeepLargestContours(std::vector<OutlinePath>& contours, std::vector<bool>& hole, const std::vector<int>& holder,
                         const std::vector<double>& area, std::size_t unexamined, FitLimits limits,
                         std::string& dropped) {
    const std::size_t count = contours.size();
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    // A holder is larger than what it holds, so it is decided first.
    std::stable_sort(order.begin(), order.end(), [&area](std::size_t a, std::size_t b) { return area[a] > area[b]; });
    std::vector<bool> kept(count, false);
    int keptContours = 0, keptHoles = 0;
    std::size_t droppedContours = unexamined, droppedHoles = 0;
    for (std::size_t i : order) {
        const bool fits = keptContours < limits.contourLimit && (!hole[i] || keptHoles < limits.holeLimit);
        // Contours that overlap may each count as inside the other: only a
        // larger contour holds a smaller one.
        const bool held = holder[i] >= 0 && area[static_cast<std::size_t>(holder[i])] > area[i];
        if (fits && (!held || kept[static_cast<std::size_t>(holder[i])])) {
            kept[i] = true;
            ++keptContours;
            keptHoles += hole[i];
        } else {
            ++(hole[i] ? droppedHoles : droppedContours);
        }
    }
    if (droppedContours > 0) AddDropped(dropped, std::to_string(droppedContours) + " of the smallest contours");
    if (droppedHoles > 0) AddDropped(dropped, std::to_string(droppedHoles) + " of the smallest holes");
    std::vector<OutlinePath> keptPaths;
    std::vector<bool> keptHole;
    for (std::size_t i = 0; i < count; ++i) {
        if (!kept[i]) continue;
        keptPaths.push_back(std::move(contours[i]));
        keptHole.push_back(hole[i]);
    }
    contours = std::move(keptPaths);
    hole = std::move(keptHole);
}

// What the fitting takes in at most. The densest glyphs of real fonts stay
// far below both (DejaVu's hold up to 43 contours and 5,600 points once
// flattened, IPAGothic's kanji 26 contours and 2,100 points, a rough
// typewriter face 6,435 points), so they are fitted exactly as they come;
// only a damaged or hostile outline is cut down. With the work bounds below,
// this keeps any outline within a few tens of milliseconds.
constexpr std::size_t kContourLimit = 256;
constexpr std::size_t kPointLimit = 8192;
// The edge tests the search for holes may take: five times what the most
// demanding glyph of a real font takes (3.2 million, a rough typewriter
// face; DejaVu's take at most 1.9 million, IPAGothic's 220,000). Contours
// that lie over one another with so many points that the search needs more
// are thinned to `kShortHoleSearch` points in all and searched again.
constexpr std::size_t kHoleWork = 16000000;
constexpr std::size_t kShortHoleSearch = 2048;

// Keeps the `limit` largest contours, in their order, and returns how many
// went.
std::size_t KeepLargestAreas(std::vector<const OutlinePath*>& contours, std::vector<double>& area, std::size_t limit) {
    const std::size_t count = contours.size();
    if (count <= limit) return 0;
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&area](std::size_t a, std::size_t b) { return area[a] > area[b]; });
    std::vector<bool> kept(count, false);
    for (std::size_t i = 0; i < limit; ++i) kept[order[i]] = true;
    std::size_t to = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (!kept[i]) continue;
        contours[to] = contours[i];
        area[to++] = area[i];
    }
    contours.resize(limit);
    area.resize(limit);
    return count - limit;
}

std::size_t PointCount(const std::vector<OutlinePath>& paths) {
    std::size_t total = 0;
    for (const OutlinePath& path : paths) total += path.size();
    return total;
}

// Thins the paths to about `limit` points in all, each in proportion to its
// size and keeping three or more, by taking evenly spaced points from its
// first one on: one pass, whatever the paths hold.
void ThinPoints(std::vector<OutlinePath>& paths, std::size_t limit) {
    const std::size_t total = PointCount(paths);
    if (total <= limit) return;
    // In 64 bits: the products pass 32 bits for a path of a million points.
    for (OutlinePath& path : paths) {
        const std::uint64_t size = path.size();
        const std::uint64_t keep = std::min<std::uint64_t>(size, std::max<std::uint64_t>(3, size * limit / total));
        OutlinePath thin;
        thin.reserve(static_cast<std::size_t>(keep));
        for (std::uint64_t j = 0; j < keep; ++j) thin.push_back(path[static_cast<std::size_t>(j * size / keep)]);
        path = std::move(thin);
    }
}

std::string PointsLeftOut(std::size_t before, std::size_t after, const char* whose) {
    if (after >= before) return {};
    return std::to_string(before - after) + " of " + whose + " " + std::to_string(before) + " points";
}

// SimplifyPaths within `work` measurements of a point's distance from a
// chord, which it takes from `work`: false, with `simplified` untouched,
// when that is not enough. Each point that goes measures the span of the
// original path under each of its neighbours again, up to kMeasuredSpan
// points of it; the spans grow as points go, so the count, not the number
// of points, bounds the time.
bool SimplifyWithin(const std::vector<OutlinePath>& paths, int pointBudget, double negligibleError,
                    std::size_t& work, std::vector<OutlinePath>& simplified) {
    std::size_t measured = 0;
    std::vector<Ring> rings;
    int total = 0;
    for (const OutlinePath& path : paths) {
        const int n = static_cast<int>(path.size());
        Ring ring{&path, {}, {}, std::vector<char>(n, 1), std::vector<double>(n), std::vector<double>(n, 0.0), n, &measured};
        for (int i = 0; i < n; ++i) {
            ring.previous.push_back((i + n - 1) % n);
            ring.next.push_back((i + 1) % n);
        }
        for (int i = 0; i < n; ++i) ring.cost[i] = ring.RemovalCost(i);
        rings.push_back(std::move(ring));
        total += n;
    }

    // The next point to go is the cheapest of the paths that keep more than
    // three; of equal costs, the first path's and then the first point's. A
    // queue ordered that way finds it without scanning every point again:
    // each change of cost adds an entry, and entries whose point has gone or
    // whose cost has changed since are passed over.
    using Candidate = std::tuple<double, int, int>;  // cost, ring, point
    std::priority_queue<Candidate, std::vector<Candidate>, std::greater<Candidate>> queue;
    for (int r = 0; r < static_cast<int>(rings.size()); ++r)
        for (int i = 0; i < static_cast<int>(rings[r].cost.size()); ++i) queue.emplace(rings[r].cost[i], r, i);
    while (!queue.empty()) {
        const auto [cheapestCost, r, cheapest] = queue.top();
        Ring& ring = rings[static_cast<std::size_t>(r)];
        if (!ring.kept[cheapest] || ring.cost[cheapest] != cheapestCost || ring.keptCount <= 3) {
            queue.pop();
            continue;
        }
        if (total <= pointBudget && cheapestCost > negligibleError) break;
        queue.pop();

        const int before = ring.previous[cheapest];
        const int after = ring.next[cheapest];
        ring.kept[cheapest] = 0;
        ring.stray[before] = cheapestCost;
        ring.next[before] = after;
        ring.previous[after] = before;
        --ring.keptCount;
        --total;
        ring.cost[before] = ring.RemovalCost(before);
        ring.cost[after] = ring.RemovalCost(after);
        if (measured > work) break;
        queue.emplace(ring.cost[before], r, before);
        queue.emplace(ring.cost[after], r, after);
    }
    if (measured > work) {
        work = 0;
        return false;
    }
    work -= measured;

    simplified.clear();
    for (const Ring& ring : rings) {
        OutlinePath path;
        for (std::size_t i = 0; i < ring.kept.size(); ++i)
            if (ring.kept[i]) path.push_back((*ring.original)[i]);
        simplified.push_back(std::move(path));
    }
    return true;
}

// The distances the simplification of one glyph may measure: ten times
// what the most demanding glyph of a real font takes (380,000, the same
// typewriter face; DejaVu's take at most 160,000, IPAGothic's 55,000). An
// outline that needs more is thinned to `kShortSimplification` points in
// all, where even the worst case takes a few million, and simplified again.
constexpr std::size_t kSimplificationWork = 4000000;
constexpr std::size_t kShortSimplification = 1024;

// Simplifies the contours to `pointBudget` points and rounds them to whole
// units; `rounded` stays empty when they need more. Rounding can leave a
// few points redundant, and removing them frees budget: simplify again with
// the freed points while the budget was what limited the outline and the
// result still fits. False when that takes more than `work` measurements.
bool SimplifyAndRound(const std::vector<OutlinePath>& contours, int pointBudget, std::size_t work,
                      std::vector<OutlinePath>& rounded) {
    int budget = pointBudget;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<OutlinePath> simplified;
        if (!SimplifyWithin(contours, budget, kNegligibleError, work, simplified)) return false;
        std::vector<OutlinePath> candidate;
        int simplifiedCount = 0;
        int used = 0;
        for (const OutlinePath& simple : simplified) {
            simplifiedCount += static_cast<int>(simple.size());
            OutlinePath path;
            for (const OutlinePoint& point : simple) path.push_back({std::round(point.x), std::round(point.y)});
            path = WithoutRedundantPoints(path);
            used += static_cast<int>(path.size());
            candidate.push_back(std::move(path));
        }
        if (used > pointBudget) break;
        rounded = std::move(candidate);
        if (used == pointBudget || simplifiedCount < budget) break;
        budget += pointBudget - used;
    }
    return true;
}

}  // namespace

std::vector<OutlinePath> SimplifyPaths(const std::vector<OutlinePath>& paths, int pointBudget,
                                       double negligibleError) {
    std::size_t unbounded = std::numeric_limits<std::size_t>::max();
    std::vector<OutlinePath> simplified;
    SimplifyWithin(paths, pointBudget, negligibleError, unbounded, simplified);
    return simplified;
}

namespace {

// Ends the fitting with `failure` and its reason; false, so that a step
// can return it.
bool Refuse(GlyphFit& fit, FitFailure failure, std::string reason) {
    fit.failure = failure;
    fit.reason = std::move(reason);
    return false;
}

bool RefuseTooMany(GlyphFit& fit, FitFailure failure, const char* what, std::size_t count, int limit) {
    return Refuse(fit, failure,
                  "the outline has " + std::to_string(count) + " " + what + "; at most " + std::to_string(limit) + " fit");
}

bool RefuseTooManyPoints(GlyphFit& fit, int pointBudget) {
    return Refuse(fit, FitFailure::TooManyPoints,
                  "the outline needs more than " + std::to_string(pointBudget) + " points");
}

// Refuses a point that is not a number or lies beyond what a glyph stores:
// nothing after this step casts a number that no glyph holds.
bool CheckCoordinates(const std::vector<OutlinePath>& paths, int subunits, GlyphFit& fit) {
    const double largest = kLargestCoordinate / subunits;
    for (const OutlinePath& path : paths) {
        for (const OutlinePoint& point : path) {
            if (!std::isfinite(point.x) || !std::isfinite(point.y))
                return Refuse(fit, FitFailure::PointNotANumber, "the outline has a point that is not a number");
            if (std::fabs(point.x) > largest || std::fabs(point.y) > largest)
                return Refuse(fit, FitFailure::PointOutOfRange,
                              "the outline reaches beyond the 32-bit numbers a glyph stores");
        }
    }
    return true;
}

// The contours being fitted: each path, whether it is a hole, and its area
// while that is needed.
struct FittedContours {
    std::vector<OutlinePath> paths;
    std::vector<bool> hole;
    std::vector<double> area;
    std::size_t unexamined = 0;  // the smallest contours left out before holes were looked for
};

// Takes the paths that show: three distinct points or more and an area. A
// path is copied only once it is kept; repeated points add nothing to its
// area, so the area and the count of distinct points are taken from it as
// it stands. More contours than the limit never fit, however they nest, so
// without `keepLargest` they are refused here; beyond `kContourLimit` only the
// largest are looked at.
bool TakeShownContours(const std::vector<OutlinePath>& paths, bool keepLargest, FitLimits limits,
                       FittedContours& contours, GlyphFit& fit) {
    std::vector<const OutlinePath*> shown;
    std::vector<double> area;
    for (const OutlinePath& path : paths) {
        if (DistinctPoints(path) < 3) continue;
        const double size = std::fabs(SignedArea(path));
        if (!(size >= kNegligibleArea)) continue;
        shown.push_back(&path);
        area.push_back(size);
    }
    if (shown.empty()) return Refuse(fit, FitFailure::NoOutline, "the character has no outline to show");
    if (!keepLargest && shown.size() > static_cast<std::size_t>(limits.contourLimit))
        return RefuseTooMany(fit, FitFailure::TooManyContours, "contours", shown.size(), limits.contourLimit);
    contours.unexamined = KeepLargestAreas(shown, area, kContourLimit);
    for (const OutlinePath* path : shown) contours.paths.push_back(WithoutRepeats(*path));
    contours.area = std::move(area);
    return true;
}

// Marks the holes, thinning the contours first when they hold more points
// than any font's glyph, or when the search would take more than
// `kHoleWork`; with `keepLargest`, keeps the largest contours and holes that
// fit. Adds to `dropped` what went, the contours before the points.
void SortOutHoles(FittedContours& contours, bool keepLargest, FitLimits limits, std::string& dropped) {
    std::vector<OutlinePath>& paths = contours.paths;
    const std::size_t examinedPoints = PointCount(paths);
    auto thin = [&contours](std::size_t limit) {
        ThinPoints(contours.paths, limit);
        for (std::size_t i = 0; i < contours.paths.size(); ++i) contours.area[i] = std::fabs(SignedArea(contours.paths[i]));
    };
    if (examinedPoints > kPointLimit) thin(kPointLimit);
    std::vector<int> holder;  // the smallest contour around each
    if (!FindHoles(paths, contours.area, kHoleWork, contours.hole, holder)) {
        thin(kShortHoleSearch);
        FindHoles(paths, contours.area, std::numeric_limits<std::size_t>::max(), contours.hole, holder);
    }
    const std::string thinned = PointsLeftOut(examinedPoints, PointCount(paths), "the outline's");
    if (keepLargest) {
        KeepLargestContours(paths, contours.hole, holder, contours.area, contours.unexamined, limits, dropped);
        contours.area.clear();  // no longer one for each kept contour
    }
    AddDropped(dropped, thinned);
}

bool CheckContourAndHoleCounts(const FittedContours& contours, FitLimits limits, GlyphFit& fit) {
    if (contours.paths.size() > static_cast<std::size_t>(limits.contourLimit))
        return RefuseTooMany(fit, FitFailure::TooManyContours, "contours", contours.paths.size(), limits.contourLimit);
    const std::size_t holes = static_cast<std::size_t>(std::count(contours.hole.begin(), contours.hole.end(), true));
    if (holes > static_cast<std::size_t>(limits.holeLimit))
        return RefuseTooMany(fit, FitFailure::TooManyHoles, "holes", holes, limits.holeLimit);
    return true;
}

// Outer contours clockwise, holes counter-clockwise (y up), as TrueType
// stores them; a contour the other way round is reversed from its first
// point.
void OrientContours(FittedContours& contours) {
    for (std::size_t i = 0; i < contours.paths.size(); ++i) {
        OutlinePath& path = contours.paths[i];
        if ((SignedArea(path) > 0.0) != contours.hole[i]) std::reverse(path.begin() + 1, path.end());
    }
}

// Moves the first outer contour to the front of `hole` and of each list of
// paths beside it, so that the glyph does not open with a hole. Contours
// that each lie within another (they overlap) leave no outer one: with
// nothing around them, none of them is a hole.
void PutOuterContourFirst(std::vector<bool>& hole, std::initializer_list<std::vector<OutlinePath>*> paths) {
    if (hole.empty() || !hole[0]) return;
    const auto outer = std::find(hole.begin(), hole.end(), false) - hole.begin();
    if (outer == static_cast<std::ptrdiff_t>(hole.size())) {
        hole.assign(hole.size(), false);
        return;
    }
    std::rotate(hole.begin(), hole.begin() + outer, hole.begin() + outer + 1);
    for (std::vector<OutlinePath>* list : paths) std::rotate(list->begin(), list->begin() + outer, list->begin() + outer + 1);
}

// Simplifies the contours to the point budget and rounds them to whole
// units, thinning them to `kShortSimplification` points when the
// simplification would take more than `kSimplificationWork`. Each contour
// keeps three points and no more contours come here than the limits hold,
// whose budget holds three points each: the refusal only stands guard.
bool SimplifyToPointBudget(std::vector<OutlinePath>& contours, int pointBudget, std::vector<OutlinePath>& rounded,
                           GlyphFit& fit) {
    if (!SimplifyAndRound(contours, pointBudget, kSimplificationWork, rounded)) {
        const std::size_t kept = PointCount(contours);
        ThinPoints(contours, kShortSimplification);
        AddDropped(fit.dropped, PointsLeftOut(kept, PointCount(contours), "the kept contours'"));
        SimplifyAndRound(contours, pointBudget, std::numeric_limits<std::size_t>::max(), rounded);
    }
    return rounded.empty() ? RefuseTooManyPoints(fit, pointBudget) : true;
}

// Refuses a contour that rounding collapsed below three points or any area,
// or, with `keepLargest`, leaves it out while another one stays.
bool LeaveOutCollapsedContours(std::vector<OutlinePath>& rounded, FittedContours& contours, bool keepLargest,
                               GlyphFit& fit) {
    for (std::size_t j = 0; j < rounded.size(); ++j) {
        if (rounded[j].size() >= 3 && std::fabs(SignedArea(rounded[j])) >= kNegligibleArea) continue;
        if (!keepLargest || rounded.size() <= 1)
            return Refuse(fit, FitFailure::ContourTooSmall,
                          "contour " + std::to_string(j + 1) + " is too small to keep three points at this size");
        AddDropped(fit.dropped, "a contour too small to keep three points");
        const auto at = static_cast<std::ptrdiff_t>(j);
        rounded.erase(rounded.begin() + at);
        contours.paths.erase(contours.paths.begin() + at);
        contours.hole.erase(contours.hole.begin() + at);
        --j;  // the next contour now stands at j
    }
    return true;
}

// Keeps the rounded contours as the glyph, refusing a point outside the
// cell; writes them in the stored format too when they fit it, refusing,
// for a glyph to be stored, a value that the saver would cut.
bool StoreGlyph(const std::vector<OutlinePath>& rounded, const FittedContours& contours, FitLimits limits,
                GlyphFit& fit) {
    // The simplification never gives more than the budget.
    if (PointCount(rounded) > static_cast<std::size_t>(limits.pointBudget))
        return RefuseTooManyPoints(fit, limits.pointBudget);
    for (std::size_t j = 0; j < rounded.size(); ++j) {
        for (const OutlinePoint& p : rounded[j]) {
            if (p.x < -limits.cellHalfWidth * limits.subunits || p.x > limits.cellHalfWidth * limits.subunits)
                return Refuse(fit, FitFailure::OutsideCell,
                              "the outline reaches x = " + std::to_string(static_cast<int>(p.x / limits.subunits)) +
                                  ", outside the cell's " +
                                  std::to_string(-limits.cellHalfWidth) + ".." + std::to_string(limits.cellHalfWidth));
        }
    }
    fit.contours = rounded;
    fit.hole = contours.hole;
    const std::size_t holes = static_cast<std::size_t>(std::count(contours.hole.begin(), contours.hole.end(), true));
    fit.inStoredFormat = limits.subunits == 1 && PointCount(rounded) <= static_cast<std::size_t>(kMaxGlyphPoints) &&
                         rounded.size() <= static_cast<std::size_t>(kMaxContours) &&
                         holes <= static_cast<std::size_t>(kMaxHoles);
    if (!fit.inStoredFormat) return true;
    // Measured against every point of the outline, so only for a glyph of
    // the file's 45 points: the tool prints it.
    for (std::size_t j = 0; j < rounded.size(); ++j)
        fit.shapeError = std::max(fit.shapeError, ShapeError(contours.paths[j], rounded[j]));
    GlyphDefinition& glyph = fit.glyph;
    int point = 0;
    int holeIndex = 0;
    for (std::size_t j = 0; j < rounded.size(); ++j) {
        const int contour = static_cast<int>(j) + 1;
        glyph.contourFirst[contour] = point + 1;
        if (contours.hole[j]) glyph.holeStart[++holeIndex] = point + 1;
        for (const OutlinePoint& p : rounded[j]) {
            ++point;
            glyph.pointX[point] = static_cast<std::int32_t>(p.x);
            glyph.pointY[point] = static_cast<std::int32_t>(p.y);
        }
        glyph.contourLast[contour] = point;
    }
    glyph.pointCount = point;
    glyph.contourCount = static_cast<int>(rounded.size());
    // The saver reads a value into 512 bytes and cuts what runs past them:
    // a glyph whose value would not fit under the longest name is refused
    // rather than stored cut.
    if (!limits.valueReadWhole) return true;
    const std::size_t length = FormatGlyphValue(std::string(kGlyphNameLength, 'N'), glyph).size();
    if (length > kGlyphValueLength)
        return Refuse(fit, FitFailure::ValueTooLong,
                      "the glyph's value needs " + std::to_string(length) + " characters; the saver reads " +
                          std::to_string(kGlyphValueLength));
    return true;
}

}  // namespace

GlyphFit FitGlyph(const std::vector<OutlinePath>& paths, bool allowCrossings, bool keepLargest, FitLimits limits) {
    GlyphFit fit;
    FittedContours contours;
    if (!CheckCoordinates(paths, limits.subunits, fit)) return fit;
    // The font fills overlapping strokes as one; merged, they no longer show
    // as holes, and a hole is again only what the font made one.
    std::vector<OutlinePath> merged;
    const bool isMerged = limits.mergeOverlaps && MergeOverlaps(paths, merged);
    std::vector<OutlinePath> scaled;
    if (limits.subunits != 1) {
        scaled = isMerged ? merged : paths;
        for (OutlinePath& path : scaled)
            for (OutlinePoint& point : path) point = {point.x * limits.subunits, point.y * limits.subunits};
    }
    const std::vector<OutlinePath>& fitted = limits.subunits != 1 ? scaled : isMerged ? merged : paths;
    if (!TakeShownContours(fitted, keepLargest, limits, contours, fit)) return fit;
    SortOutHoles(contours, keepLargest, limits, fit.dropped);
    // Already before the simplification, which gives a point of equal cost
    // to the earlier contour: the contours are simplified in stored order.
    PutOuterContourFirst(contours.hole, {&contours.paths});
    if (!CheckContourAndHoleCounts(contours, limits, fit)) return fit;
    OrientContours(contours);

    std::vector<OutlinePath> rounded;
    if (!SimplifyToPointBudget(contours.paths, limits.pointBudget, rounded, fit)) return fit;
    if (!LeaveOutCollapsedContours(rounded, contours, keepLargest, fit)) return fit;
    // Leaving out a collapsed contour 1 may have put a hole first, or left
    // holes with nothing around them.
    PutOuterContourFirst(contours.hole, {&rounded, &contours.paths});

    // The end face is filled with the even-odd rule: overlaps show as holes.
    fit.crossing = CrossingProblem(rounded);
    if (!allowCrossings && !fit.crossing.empty()) {
        Refuse(fit, FitFailure::ContoursCross, fit.crossing);
        return fit;
    }
    fit.fitted = StoreGlyph(rounded, contours, limits, fit);
    return fit;
}
