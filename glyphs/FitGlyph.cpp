#include "glyphs/FitGlyph.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "glyphs/GlyphValue.h"

namespace {

constexpr int kMinX = -50;
constexpr int kMaxX = 50;
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

// One path during simplification: its original points and which of them
// are still kept, linked in a ring.
struct Ring {
    const OutlinePath* original;
    std::vector<int> previous;
    std::vector<int> next;
    std::vector<char> kept;
    std::vector<double> cost;
    int keptCount;

    // How far the original path between the kept neighbours of point `i`
    // lies from the chord that would replace it.
    double RemovalCost(int i) const {
        const OutlinePath& points = *original;
        const int n = static_cast<int>(points.size());
        const OutlinePoint a = points[previous[i]];
        const OutlinePoint b = points[next[i]];
        double worst = 0.0;
        for (int j = (previous[i] + 1) % n; j != next[i]; j = (j + 1) % n)
            worst = std::max(worst, SegmentDistance(points[j], a, b));
        return worst;
    }
};

}  // namespace

namespace {

// Contour `inner` lies inside `outer` when most of its points do: a point
// that touches the other contour's edge cannot decide it alone.
bool PathInside(const OutlinePath& inner, const OutlinePath& outer);

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
// Returns why the contours cannot be drawn as they are, or an empty string.
std::string CrossingProblem(const std::vector<OutlinePath>& paths) {
    for (std::size_t a = 0; a < paths.size(); ++a) {
        const std::size_t n = paths[a].size();
        for (std::size_t b = a; b < paths.size(); ++b) {
            const std::size_t m = paths[b].size();
            for (std::size_t i = 0; i < n; ++i) {
                for (std::size_t k = (a == b ? i + 2 : 0); k < m; ++k) {
                    if (a == b && (k + 1) % n == i) continue;  // neighbours share a point
                    if (!EdgesCross(paths[a][i], paths[a][(i + 1) % n], paths[b][k], paths[b][(k + 1) % m])) continue;
                    if (a == b) return "contour " + std::to_string(a + 1) + " crosses itself";
                    return "contours " + std::to_string(a + 1) + " and " + std::to_string(b + 1) +
                           " overlap, and the saver fills an overlap as a hole";
                }
            }
        }
    }
    return {};
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

bool PathInside(const OutlinePath& inner, const OutlinePath& outer) {
    std::size_t inside = 0;
    for (const OutlinePoint& point : inner) inside += PathContains(outer, point);
    return inside * 2 > inner.size();
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
    dropped += (dropped.empty() ? "left out " : ", ") + what;
}

// Keeps at most 13 contours and 4 holes, the largest first; a contour stays
// only with the one that holds it, so an island never outlives its hole
// (the even-odd face would show it as a hole of its own).
void KeepLargestContours(std::vector<OutlinePath>& contours, std::vector<bool>& hole, const std::vector<int>& holder,
                         std::string& dropped) {
    const std::size_t count = contours.size();
    std::vector<double> area(count);
    for (std::size_t i = 0; i < count; ++i) area[i] = std::fabs(SignedArea(contours[i]));
    std::vector<std::size_t> order(count);
    for (std::size_t i = 0; i < count; ++i) order[i] = i;
    // A holder is larger than what it holds, so it is decided first.
    std::stable_sort(order.begin(), order.end(), [&area](std::size_t a, std::size_t b) { return area[a] > area[b]; });
    std::vector<bool> kept(count, false);
    int keptContours = 0, keptHoles = 0, droppedContours = 0, droppedHoles = 0;
    for (std::size_t i : order) {
        const bool fits = keptContours < kMaxContours && (!hole[i] || keptHoles < kMaxHoles);
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

// Why a point cannot be fitted: not a number, or beyond what a glyph stores.
std::string CoordinateProblem(const std::vector<OutlinePath>& paths) {
    for (const OutlinePath& path : paths) {
        for (const OutlinePoint& point : path) {
            if (!std::isfinite(point.x) || !std::isfinite(point.y)) return "the outline has a point that is not a number";
            if (std::fabs(point.x) > kLargestCoordinate || std::fabs(point.y) > kLargestCoordinate)
                return "the outline reaches beyond the 32-bit numbers a glyph stores";
        }
    }
    return {};
}

}  // namespace

std::vector<OutlinePath> SimplifyPaths(const std::vector<OutlinePath>& paths, int pointBudget,
                                       double negligibleError) {
    std::vector<Ring> rings;
    int total = 0;
    for (const OutlinePath& path : paths) {
        const int n = static_cast<int>(path.size());
        Ring ring{&path, {}, {}, std::vector<char>(n, 1), std::vector<double>(n), n};
        for (int i = 0; i < n; ++i) {
            ring.previous.push_back((i + n - 1) % n);
            ring.next.push_back((i + 1) % n);
        }
        for (int i = 0; i < n; ++i) ring.cost[i] = ring.RemovalCost(i);
        rings.push_back(std::move(ring));
        total += n;
    }

    for (;;) {
        Ring* cheapestRing = nullptr;
        int cheapest = -1;
        double cheapestCost = std::numeric_limits<double>::infinity();
        for (Ring& ring : rings) {
            if (ring.keptCount <= 3) continue;
            for (int i = 0; i < static_cast<int>(ring.kept.size()); ++i) {
                if (ring.kept[i] && ring.cost[i] < cheapestCost) {
                    cheapestCost = ring.cost[i];
                    cheapestRing = &ring;
                    cheapest = i;
                }
            }
        }
        if (!cheapestRing) break;
        if (total <= pointBudget && cheapestCost > negligibleError) break;

        Ring& ring = *cheapestRing;
        const int before = ring.previous[cheapest];
        const int after = ring.next[cheapest];
        ring.kept[cheapest] = 0;
        ring.next[before] = after;
        ring.previous[after] = before;
        --ring.keptCount;
        --total;
        ring.cost[before] = ring.RemovalCost(before);
        ring.cost[after] = ring.RemovalCost(after);
    }

    std::vector<OutlinePath> result;
    for (const Ring& ring : rings) {
        OutlinePath path;
        for (std::size_t i = 0; i < ring.kept.size(); ++i)
            if (ring.kept[i]) path.push_back((*ring.original)[i]);
        result.push_back(std::move(path));
    }
    return result;
}

GlyphFit FitGlyph(const std::vector<OutlinePath>& paths, bool allowCrossings, bool keepLargest) {
    GlyphFit fit;
    fit.reason = CoordinateProblem(paths);
    if (!fit.reason.empty()) return fit;
    std::vector<OutlinePath> contours;
    for (const OutlinePath& path : paths) {
        OutlinePath clean = WithoutRepeats(path);
        if (clean.size() >= 3 && std::fabs(SignedArea(clean)) >= kNegligibleArea) contours.push_back(std::move(clean));
    }
    if (contours.empty()) {
        fit.reason = "the character has no outline to show";
        return fit;
    }
    // A contour inside an odd number of others is a hole; inside an even
    // number (an island within a hole) it is solid again.
    std::vector<bool> hole(contours.size(), false);
    std::vector<int> holder(contours.size(), -1);  // the smallest contour around it
    for (std::size_t i = 0; i < contours.size(); ++i) {
        int depth = 0;
        for (std::size_t j = 0; j < contours.size(); ++j) {
            if (j == i || !PathInside(contours[i], contours[j])) continue;
            ++depth;
            if (holder[i] < 0 || std::fabs(SignedArea(contours[j])) < std::fabs(SignedArea(contours[holder[i]])))
                holder[i] = static_cast<int>(j);
        }
        hole[i] = depth % 2 == 1;
    }
    if (keepLargest) KeepLargestContours(contours, hole, holder, fit.dropped);
    // Contours that each lie within another (they overlap) leave no outer
    // one: with nothing around them, none of them is a hole.
    if (std::find(hole.begin(), hole.end(), false) == hole.end()) hole.assign(hole.size(), false);
    const int contourCount = static_cast<int>(contours.size());
    if (contourCount > kMaxContours) {
        fit.reason = "the outline has " + std::to_string(contourCount) + " contours; at most " +
                     std::to_string(kMaxContours) + " fit";
        return fit;
    }
    const int holes = static_cast<int>(std::count(hole.begin(), hole.end(), true));
    if (holes > kMaxHoles) {
        fit.reason = "the outline has " + std::to_string(holes) + " holes; at most " + std::to_string(kMaxHoles) + " fit";
        return fit;
    }
    // Outer contours clockwise, holes counter-clockwise (y up).
    for (std::size_t i = 0; i < contours.size(); ++i)
        if ((SignedArea(contours[i]) > 0.0) != hole[i]) std::reverse(contours[i].begin() + 1, contours[i].end());
    // Contour 1 is an outer one, so the glyph does not open with a hole.
    const std::size_t outer = static_cast<std::size_t>(std::find(hole.begin(), hole.end(), false) - hole.begin());
    if (hole[0] && outer < hole.size()) {
        std::rotate(contours.begin(), contours.begin() + static_cast<std::ptrdiff_t>(outer),
                    contours.begin() + static_cast<std::ptrdiff_t>(outer) + 1);
        std::rotate(hole.begin(), hole.begin() + static_cast<std::ptrdiff_t>(outer),
                    hole.begin() + static_cast<std::ptrdiff_t>(outer) + 1);
    }

    // Rounding can leave a few points redundant, and removing them frees
    // budget: simplify again with the freed points while the budget was what
    // limited the outline and the result still fits.
    std::vector<OutlinePath> rounded;
    int budget = kMaxGlyphPoints;
    for (int attempt = 0; attempt < 4; ++attempt) {
        std::vector<OutlinePath> candidate;
        int simplifiedCount = 0;
        int used = 0;
        for (const OutlinePath& simple : SimplifyPaths(contours, budget, kNegligibleError)) {
            simplifiedCount += static_cast<int>(simple.size());
            OutlinePath path;
            for (const OutlinePoint& point : simple) path.push_back({std::round(point.x), std::round(point.y)});
            path = WithoutRedundantPoints(path);
            used += static_cast<int>(path.size());
            candidate.push_back(std::move(path));
        }
        if (used > kMaxGlyphPoints) break;
        rounded = std::move(candidate);
        if (used == kMaxGlyphPoints || simplifiedCount < budget) break;
        budget += kMaxGlyphPoints - used;
    }
    if (rounded.empty()) {
        fit.reason = "the outline needs more than " + std::to_string(kMaxGlyphPoints) + " points";
        return fit;
    }

    for (std::size_t j = 0; j < rounded.size(); ++j) {
        if (rounded[j].size() < 3 || std::fabs(SignedArea(rounded[j])) < kNegligibleArea) {
            if (keepLargest && rounded.size() > 1) {
                AddDropped(fit.dropped, "a contour too small to keep three points");
                rounded.erase(rounded.begin() + static_cast<std::ptrdiff_t>(j));
                contours.erase(contours.begin() + static_cast<std::ptrdiff_t>(j));
                hole.erase(hole.begin() + static_cast<std::ptrdiff_t>(j));
                --j;
                continue;
            }
            fit.reason = "contour " + std::to_string(j + 1) + " is too small to keep three points at this size";
            return fit;
        }
    }

    // Leaving out a collapsed contour 1 may have put a hole first, or left
    // holes with nothing around them.
    if (hole[0]) {
        const auto outer = std::find(hole.begin(), hole.end(), false) - hole.begin();
        if (outer == static_cast<std::ptrdiff_t>(hole.size())) {
            hole.assign(hole.size(), false);
        } else {
            std::rotate(rounded.begin(), rounded.begin() + outer, rounded.begin() + outer + 1);
            std::rotate(contours.begin(), contours.begin() + outer, contours.begin() + outer + 1);
            std::rotate(hole.begin(), hole.begin() + outer, hole.begin() + outer + 1);
        }
    }

    if (!allowCrossings) {
        fit.reason = CrossingProblem(rounded);
        if (!fit.reason.empty()) return fit;
    }

    GlyphDefinition& glyph = fit.glyph;
    int point = 0;
    int holeIndex = 0;
    for (std::size_t j = 0; j < rounded.size(); ++j) {
        const int contour = static_cast<int>(j) + 1;
        glyph.contourFirst[contour] = point + 1;
        if (hole[j]) glyph.holeStart[++holeIndex] = point + 1;
        for (const OutlinePoint& p : rounded[j]) {
            ++point;
            if (point > kMaxGlyphPoints) {
                fit.reason = "the outline needs more than " + std::to_string(kMaxGlyphPoints) + " points";
                return fit;
            }
            if (p.x < kMinX || p.x > kMaxX) {
                fit.reason = "the outline reaches x = " + std::to_string(static_cast<int>(p.x)) +
                             ", outside the cell's -50..50";
                return fit;
            }
            glyph.pointX[point] = static_cast<std::int32_t>(p.x);
            glyph.pointY[point] = static_cast<std::int32_t>(p.y);
        }
        glyph.contourLast[contour] = point;
        fit.shapeError = std::max(fit.shapeError, ShapeError(contours[j], rounded[j]));
    }
    glyph.pointCount = point;
    glyph.contourCount = static_cast<int>(rounded.size());
    // The saver reads a value into 512 bytes and cuts what runs past them:
    // a glyph whose value would not fit under the longest name is refused
    // rather than stored cut.
    const std::size_t length = FormatGlyphValue(std::string(kGlyphNameLength, 'N'), glyph).size();
    if (length > kGlyphValueLength) {
        fit.reason = "the glyph's value needs " + std::to_string(length) + " characters; the saver reads " +
                     std::to_string(kGlyphValueLength);
        return fit;
    }
    fit.fitted = true;
    return fit;
}
