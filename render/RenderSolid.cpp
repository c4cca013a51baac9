#include "render/RenderSolid.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "scene/RoundTo.h"

// The walls of a solid are put into a painter's order by comparing their
// projected quadrilaterals two at a time. Every decision reads the projected
// doubles x, y, z (y up, larger z farther, lines of sight parallel to z); the
// drawing reads the rebased integer px, py.
//
// A wall's corners P1..P4 run so that N = (P2 - P1) x (P3 - P1) points out of
// the solid. The viewer looks along +z, so a wall faces the viewer when the
// z component of that normal, cross(P1, P2, P3), is negative. For the
// ordering each visible wall keeps the opposite normal, which points toward
// the viewer's side: a vertex v is then behind the wall's plane (farther)
// when N.v > R and in front of it when N.v < R.

namespace {

constexpr int kMaxVertex = 2 * kShownGlyphPoints;

double Cross(const ProjectedPoint& p, const ProjectedPoint& q, const ProjectedPoint& r) {
    return (q.x - p.x) * (r.y - q.y) - (q.y - p.y) * (r.x - q.x);
}

struct Plane {
    double nx, ny, nz;
    double reference;

    double Apply(const ProjectedPoint& v) const { return nx * v.x + ny * v.y + nz * v.z; }
};

// The plane of a visible wall through P1, P2, P3, with its normal toward the
// viewer: N = (P3 - P1) x (P2 - P1), R = N.P3.
Plane PlaneOf(const ProjectedPoint& p1, const ProjectedPoint& p2, const ProjectedPoint& p3) {
    double ax = p3.x - p1.x, ay = p3.y - p1.y, az = p3.z - p1.z;
    double bx = p2.x - p1.x, by = p2.y - p1.y, bz = p2.z - p1.z;
    Plane plane{ay * bz - az * by, az * bx - ax * bz, ax * by - ay * bx, 0.0};
    plane.reference = plane.Apply(p3);
    return plane;
}

// A wall's corners rounded as the edge crossings read them, and the span of
// each edge e (corners e and e + 1) along x and along y. An edge with a
// coordinate that is not a number spans everything along that axis, as no
// comparison with such a coordinate holds.
struct RoundedWall {
    double x[4], y[4];
    double minX[4], maxX[4], minY[4], maxY[4];
};

struct WallBox {
    double minX, maxX, minY, maxY;
};

struct VisibleWall : WallBox {
    int quad;
    int vertex[4];  // P1..P4
    Plane plane;
    bool haveRounded;  // its RoundedWall taken, when it first reaches the crossings
};

// Whether the screen boxes of two walls overlap: the box test of the
// comparison, which no pair that fails it gets past.
// All four comparisons are made, without a branch between them: which way
// they go follows no pattern a processor could foresee.
bool BoxesOverlap(const WallBox& c, const WallBox& w) {
    return (w.minX < c.maxX) & (w.maxX > c.minX) & (w.minY < c.maxY) & (w.maxY > c.minY);
}

// The pairs of edges, edge e of wall c and edge f of wall w at bit 4e + f,
// that do not lie apart along x or y (each edge's span wholly before or
// wholly after the other's): only those can cross. Worked out for all
// sixteen pairs without a branch, which way each goes being unforeseeable.
inline unsigned EdgesNear(const RoundedWall& c, const RoundedWall& w) {
    unsigned near = 0;
    for (int e = 0; e < 4; ++e) {
        for (int f = 0; f < 4; ++f) {
            const bool apart = (c.maxX[e] < w.minX[f]) | (c.minX[e] > w.maxX[f]) | (c.maxY[e] < w.minY[f]) |
                               (c.minY[e] > w.maxY[f]);
            near |= static_cast<unsigned>(!apart) << (4 * e + f);
        }
    }
    return near;
}

// Rounding to `digits` significant digits moves a value by at most half a
// unit of its last digit, 5 * 10^-digits of the value (and the read back by
// a further 2^-53 of it). So a value beyond a bound by more than 10^(1 -
// digits) of itself stays beyond it once rounded, and of two values apart by
// more than 10^(1 - digits) of their magnitudes the larger stays larger:
// those decisions need no rounding. Nearer ones, and values that are not
// finite numbers, are left to the rounding.
inline bool StaysOutside(double value, double a, double b, double slackOfDigits) {
    const double slack = slackOfDigits * std::fabs(value);
    return (value < std::min(a, b) - slack) | (value > std::max(a, b) + slack);
}
inline bool StaysAbove(double value, double other, double slackOfDigits) {
    return value - other > slackOfDigits * (std::fabs(value) + std::fabs(other));
}
constexpr double kSlackOf13Digits = 1e-12;
constexpr double kSlackOf12Digits = 1e-11;

// The grid the walls' overlapping boxes are found on: at most kGridSide
// cells along each side, a wall in at most kCellsOfOneWall of them (a wider
// one is looked at against every wall instead).
constexpr int kGridSide = 32;
constexpr int kCellsOfOneWall = 64;
struct OverlapGrid {
    std::int16_t gridded[kShownGlyphPoints];
    std::int16_t widespread[kShownGlyphPoints];
    int cellFirst[kGridSide * kGridSide + 1];
    std::int16_t cellWalls[kShownGlyphPoints * kCellsOfOneWall];
    // One cell's walls: starting in it both ways, only across, only down,
    // or passing through.
    std::int16_t starting[kShownGlyphPoints], across[kShownGlyphPoints], down[kShownGlyphPoints],
        passing[kShownGlyphPoints];
    std::int16_t firstCellX[kShownGlyphPoints + 1];  // by visible-list position
    std::int16_t firstCellY[kShownGlyphPoints + 1];
    int quad[kShownGlyphPoints + 1];           // by visible-list position
    int neighbours[kShownGlyphPoints + 1][2];  // the quads NeighboursOf gives
    struct Pair {
        std::int16_t one, other;
    };
    Pair pairs[kShownGlyphPoints * (kShownGlyphPoints - 1) / 2];
};

// One entry of a wall's overlap list: the other wall of the pair, the place
// of the list's next entry still worth looking at, the pass the pair was
// tested in, and what comparing them gave once they have been (0 not yet,
// 1 the other wall stays behind, 2 it takes the candidate's place). The
// comparison reads only the projection, so it holds for every pass.
struct OverlapEntry {
    std::int16_t other;      // visible-list position
    std::int16_t next;       // place in the same list; the list's length ends it
    std::uint16_t testedIn;  // the pass's number
    std::uint8_t compared;
};

// The work storage of an ordering. Process-wide, as the slots are: at the
// slot's capacity its tables take about 2.9 MB, more than a thread's stack
// should hold, and keeping them spares every frame an allocation.
struct OrderingStorage {
    int contourOf[kShownGlyphPoints + 1];
    // roundTo(x, 13) and roundTo(y, 13) of each vertex, taken once per call.
    bool haveRounded[kMaxVertex + 1];
    double roundedX[kMaxVertex + 1];
    double roundedY[kMaxVertex + 1];
    VisibleWall walls[kShownGlyphPoints + 1];
    // The walls' boxes again, close together for finding the overlapping
    // pairs, and their rounded corners.
    WallBox boxes[kShownGlyphPoints + 1];
    RoundedWall rounded[kShownGlyphPoints + 1];
    std::uint8_t placed[kShownGlyphPoints + 1];  // by visible-list position
    // With a log, a pair of walls is tested in this pass when its entry
    // holds the pass's stamp; a new stamp for each pass forgets the last
    // pass's pairs without clearing the table. Only the full comparison
    // needs it, so it is made on its first use.
    std::vector<std::uint16_t> tested;
    std::uint16_t pass;
    // For each visible wall, the walls whose screen boxes overlap its own
    // and that are not its neighbours, in visible-list order:
    // overlapping[overlapFirst[g] .. overlapFirst[g + 1] - 1]. A search
    // follows the entries' links from overlapHead[g] and unlinks the
    // entries that can no longer take the candidate's place (a placed wall,
    // a wall compared as staying behind), so later searches pass over them
    // without reading them; the entries themselves stay where they are, in
    // order, for finding a pair in the other wall's list.
    int overlapFirst[kShownGlyphPoints + 2];
    std::int16_t overlapHead[kShownGlyphPoints + 1];
    OverlapEntry overlapping[kShownGlyphPoints * (kShownGlyphPoints - 1)];
    int listEnd[kShownGlyphPoints + 2];
    OverlapGrid grid;
};
OrderingStorage storage;

class WallOrdering {
public:
    WallOrdering(const CharacterSlot& slot, WallOrderLog* log)
        : slot_(slot), points_(slot.projected), log_(log), work_(storage) {
        std::memset(work_.contourOf, 0, sizeof work_.contourOf);
        const ShownGlyph& glyph = slot.glyph;
        int contours = std::clamp(glyph.contourCount, 0, kShownGlyphContours);
        for (int j = contours; j >= 1; --j) {
            int first = std::max(glyph.contourFirst[j], 1);
            int last = std::min(glyph.contourLast[j], kShownGlyphPoints);
            for (int k = first; k <= last; ++k) work_.contourOf[k] = j;
        }
        std::memset(work_.haveRounded, 0, sizeof work_.haveRounded);
    }

    void Run(WallOrder& order);

private:
    const ProjectedPoint& Vertex(int number) const { return points_.vertex[number]; }
    double Round(double value, int digits);
    void RoundVertex(int vertex);
    bool IsNeighbour(int c, int w) const;
    struct Neighbours {
        int one, other;
    };
    Neighbours NeighboursOf(int c) const;
    bool Promotes(int candidate, int other);
    bool Compare(int candidate, int other, OrderStep& step);
    // A corner of a wall: its vertex and its rounded screen position.
    struct EdgeEnd {
        int vertex;
        double x, y;
    };
    const RoundedWall& RoundedOf(int wall);
    bool CrossingPromotes(EdgeEnd a, EdgeEnd b, EdgeEnd p, EdgeEnd q);
    void ListOverlaps(int visible);
    void StartPass();
    bool Tried(int candidate, int g) const;
    void MarkTried(int candidate, int g);
    int FirstPromoting(int candidate, int visible);
    OverlapEntry& PairEntry(int g, int other);

    const CharacterSlot& slot_;
    const ProjectedPoints& points_;
    WallOrderLog* log_;
    OrderingStorage& work_;
    std::uint16_t pass_ = 0;  // this ordering's passes, from 1
};

double WallOrdering::Round(double value, int digits) {
    if (log_ != nullptr) ++log_->roundToCalls;
    return roundTo(value, digits);
}

void WallOrdering::RoundVertex(int vertex) {
    if (work_.haveRounded[vertex]) return;
    work_.roundedX[vertex] = Round(Vertex(vertex).x, 13);
    work_.roundedY[vertex] = Round(Vertex(vertex).y, 13);
    work_.haveRounded[vertex] = true;
}

// Walls of one contour that share an edge meet along it and are never
// compared.
bool WallOrdering::IsNeighbour(int c, int w) const {
    const Neighbours neighbours = NeighboursOf(c);
    return w == neighbours.one || w == neighbours.other;
}

// The two quads that count as wall c's neighbours.
WallOrdering::Neighbours WallOrdering::NeighboursOf(int c) const {
    int contour = work_.contourOf[c];
    if (contour != 0) {
        int first = slot_.glyph.contourFirst[contour];
        int last = slot_.glyph.contourLast[contour];
        if (c == first) return {last, c + 1};
        if (c == last) return {first, c - 1};
    }
    return {c + 1, c - 1};
}

// Whether wall w lies in front of the candidate c and takes its place.
bool WallOrdering::Promotes(int candidate, int other) {
    OrderStep step;
    bool promoted = Compare(candidate, other, step);
    if (log_ != nullptr) ++log_->decidedBy[step];
    return promoted;
}

// The comparison, step by step; `step` is left naming the step that
// settled it.
bool WallOrdering::Compare(int candidate, int other, OrderStep& step) {
    const VisibleWall& c = work_.walls[candidate];
    const VisibleWall& w = work_.walls[other];
    step = kByNeighbour;
    if (IsNeighbour(c.quad, w.quad)) return false;
    if (log_ != nullptr) log_->boxTested.emplace_back(c.quad, w.quad);

    step = kByBox;
    // Without a log only walls listed as overlapping are compared.
    if (log_ != nullptr && !BoxesOverlap(c, w)) return false;
    if (log_ != nullptr) log_->planeTested.emplace_back(c.quad, w.quad);

    step = kByCandidatePlane;
    int wBehind = 0, wFront = 0;
    for (int corner : w.vertex) {
        double value = c.plane.Apply(Vertex(corner));
        if (value > c.plane.reference) ++wBehind;
        if (value < c.plane.reference) ++wFront;
    }
    if (wBehind == 4 && wFront == 0) return false;

    step = kByOtherPlane;
    int cFront = 0, cBehind = 0;
    for (int corner : c.vertex) {
        double value = w.plane.Apply(Vertex(corner));
        if (value < w.plane.reference) ++cFront;
        if (value > w.plane.reference) ++cBehind;
    }
    if (cFront == 4 && cBehind == 0) return false;

    step = kByCrossing;
    const RoundedWall& cr = RoundedOf(candidate);
    const RoundedWall& wr = RoundedOf(other);
    // Most pairs of edges lie apart, seen along x or y; the full
    // comparison (with a log) leaves that to the crossing itself. The pairs
    // are taken in the same order either way: e, then f.
    for (unsigned pairs = log_ == nullptr ? EdgesNear(cr, wr) : 0xFFFFu; pairs != 0; pairs &= pairs - 1) {
        const int bit = std::countr_zero(pairs);
        const int e = bit / 4, e2 = (e + 1) % 4, f = bit % 4, f2 = (f + 1) % 4;
        if (CrossingPromotes({c.vertex[e], cr.x[e], cr.y[e]}, {c.vertex[e2], cr.x[e2], cr.y[e2]},
                             {w.vertex[f], wr.x[f], wr.y[f]}, {w.vertex[f2], wr.x[f2], wr.y[f2]})) {
            return true;
        }
    }

    step = kByContainment;
    return cBehind == 4 && cFront == 0 && w.minX <= c.minX && w.maxX >= c.maxX && w.minY <= c.minY &&
           w.maxY >= c.maxY;
}

const RoundedWall& WallOrdering::RoundedOf(int position) {
    VisibleWall& wall = work_.walls[position];
    RoundedWall& rounded = work_.rounded[position];
    if (wall.haveRounded) return rounded;
    for (int i = 0; i < 4; ++i) {
        RoundVertex(wall.vertex[i]);
        rounded.x[i] = work_.roundedX[wall.vertex[i]];
        rounded.y[i] = work_.roundedY[wall.vertex[i]];
    }
    constexpr double kEverywhere = HUGE_VAL;
    for (int e = 0; e < 4; ++e) {
        const int e2 = (e + 1) % 4;
        const double x1 = rounded.x[e], x2 = rounded.x[e2], y1 = rounded.y[e], y2 = rounded.y[e2];
        const bool xNumbers = x1 == x1 && x2 == x2, yNumbers = y1 == y1 && y2 == y2;
        rounded.minX[e] = xNumbers ? std::min(x1, x2) : -kEverywhere;
        rounded.maxX[e] = xNumbers ? std::max(x1, x2) : kEverywhere;
        rounded.minY[e] = yNumbers ? std::min(y1, y2) : -kEverywhere;
        rounded.maxY[e] = yNumbers ? std::max(y1, y2) : kEverywhere;
    }
    wall.haveRounded = true;
    return rounded;
}

// Edge a->b of the candidate against edge p->q of the other wall: where
// they cross on screen, the edge with the smaller depth there is in front.
bool WallOrdering::CrossingPromotes(EdgeEnd a, EdgeEnd b, EdgeEnd p, EdgeEnd q) {
    const double x1 = a.x, y1 = a.y, x2 = b.x, y2 = b.y;
    const double x3 = p.x, y3 = p.y, x4 = q.x, y4 = q.y;

    // Without a log the edges are known not to lie apart.
    if (log_ != nullptr) {
        if (x1 < x3 && x1 < x4 && x2 < x3 && x2 < x4) return false;
        if (x1 > x3 && x1 > x4 && x2 > x3 && x2 > x4) return false;
        if (y1 < y3 && y1 < y4 && y2 < y3 && y2 < y4) return false;
        if (y1 > y3 && y1 > y4 && y2 > y3 && y2 > y4) return false;
    }

    bool eVertical = x1 == x2;
    bool fVertical = x3 == x4;
    double s1 = 0.0, i1 = 0.0, s2 = 0.0, i2 = 0.0;
    if (!eVertical) {
        s1 = (y2 - y1) / (x2 - x1);
        i1 = y1 - s1 * x1;
    }
    if (!fVertical) {
        s2 = (y4 - y3) / (x4 - x3);
        i2 = y3 - s2 * x3;
    }

    double crossX, crossY;
    if (eVertical && fVertical) return false;
    if (eVertical) {
        crossX = x1;
        crossY = s2 * x1 + i2;
    } else if (fVertical) {
        crossX = x3;
        crossY = s1 * x3 + i1;
    } else if (s2 == s1) {
        crossX = 0.0;
        crossY = i1;
    } else {
        crossX = (i1 - i2) / (s2 - s1);
        crossY = s1 * crossX + i1;
    }
    // The full comparison rounds every crossing.
    if (log_ == nullptr &&
        (StaysOutside(crossX, x1, x2, kSlackOf13Digits) || StaysOutside(crossY, y1, y2, kSlackOf13Digits) ||
         StaysOutside(crossX, x3, x4, kSlackOf13Digits) || StaysOutside(crossY, y3, y4, kSlackOf13Digits)))
        return false;
    crossX = Round(crossX, 13);
    crossY = Round(crossY, 13);

    if (crossX < std::min(x1, x2) || crossX > std::max(x1, x2)) return false;
    if (crossY < std::min(y1, y2) || crossY > std::max(y1, y2)) return false;
    if (crossX < std::min(x3, x4) || crossX > std::max(x3, x4)) return false;
    if (crossY < std::min(y3, y4) || crossY > std::max(y3, y4)) return false;

    // The ends of the two edges, each coordinate against both of the other's.
    double xb = x2, yb = y2, xq = x4, yq = y4;
    if (xb < xq && xb < yq && yb < xq && yb < yq) return true;

    auto depthAt = [&](const ProjectedPoint& from, const ProjectedPoint& to, bool vertical) {
        if (vertical) {
            double s = to.y == from.y ? 0.0 : (to.z - from.z) / (to.y - from.y);
            return from.z - s * from.y + s * crossY;
        }
        double s = to.x == from.x ? 0.0 : (to.z - from.z) / (to.x - from.x);
        return from.z - s * from.x + s * crossX;
    };
    double depthE = depthAt(Vertex(a.vertex), Vertex(b.vertex), eVertical);
    double depthF = depthAt(Vertex(p.vertex), Vertex(q.vertex), fVertical);
    if (log_ == nullptr) {
        if (StaysAbove(depthE, depthF, kSlackOf12Digits)) return true;
        if (StaysAbove(depthF, depthE, kSlackOf12Digits)) return false;
    }
    return Round(depthE, 12) > Round(depthF, 12);
}

// Lists, for each visible wall, the walls whose boxes overlap its own. Only
// those can take a candidate's place, and as each list keeps the visible-list
// order, the first of them that does is the one a scan of every wall finds
// first. The boxes are put on a grid over the walls' common box, and only
// walls sharing a cell are looked at, so pairs far apart on screen cost
// nothing; a pair is listed by the one cell that holds the corner of their
// common box nearest the grid's origin. A box with a bound that is not a
// number overlaps nothing (every comparison with it fails); one reaching
// infinity, or across many cells, is looked at against every other wall.
void WallOrdering::ListOverlaps(int visible) {
    OverlapGrid& grid = work_.grid;
    int gridded = 0, widespread = 0;
    double left = 0, right = 0, bottom = 0, top = 0;
    for (int g = 1; g <= visible; ++g) {
        const VisibleWall& w = work_.walls[g];
        if (!(w.minX == w.minX && w.maxX == w.maxX && w.minY == w.minY && w.maxY == w.maxY)) continue;
        if (!(std::isfinite(w.minX) && std::isfinite(w.maxX) && std::isfinite(w.minY) && std::isfinite(w.maxY))) {
            grid.widespread[widespread++] = static_cast<std::int16_t>(g);
            continue;
        }
        left = gridded == 0 ? w.minX : std::min(left, w.minX);
        right = gridded == 0 ? w.maxX : std::max(right, w.maxX);
        bottom = gridded == 0 ? w.minY : std::min(bottom, w.minY);
        top = gridded == 0 ? w.maxY : std::max(top, w.maxY);
        grid.gridded[gridded++] = static_cast<std::int16_t>(g);
    }

    // About one wall a cell; an extent too wide for a double's difference,
    // or none, is one cell.
    int side = std::clamp(static_cast<int>(std::sqrt(static_cast<double>(gridded))), 1, kGridSide);
    double cellWidth = (right - left) / side, cellHeight = (top - bottom) / side;
    if (!(std::isfinite(cellWidth) && std::isfinite(cellHeight) && cellWidth > 0 && cellHeight > 0)) side = 1;
    auto cellOf = [side](double value, double from, double size) {
        if (side == 1) return 0;
        const double cell = (value - from) / size;
        return cell < side ? static_cast<int>(cell) : side - 1;
    };
    struct CellSpan {
        int x0, x1, y0, y1;
    };
    auto spanOf = [&](const VisibleWall& w) {
        return CellSpan{cellOf(w.minX, left, cellWidth), cellOf(w.maxX, left, cellWidth), cellOf(w.minY, bottom, cellHeight),
                        cellOf(w.maxY, bottom, cellHeight)};
    };

    // Each cell's walls, counted and then placed.
    int* const cellFirst = grid.cellFirst;
    std::fill(cellFirst, cellFirst + side * side + 1, 0);
    int kept = 0;
    for (int a = 0; a < gridded; ++a) {
        const CellSpan span = spanOf(work_.walls[grid.gridded[a]]);
        grid.firstCellX[grid.gridded[a]] = static_cast<std::int16_t>(span.x0);
        grid.firstCellY[grid.gridded[a]] = static_cast<std::int16_t>(span.y0);
        if ((span.x1 - span.x0 + 1) * (span.y1 - span.y0 + 1) > kCellsOfOneWall) {
            grid.widespread[widespread++] = grid.gridded[a];
            continue;
        }
        grid.gridded[kept++] = grid.gridded[a];
        for (int y = span.y0; y <= span.y1; ++y)
            for (int x = span.x0; x <= span.x1; ++x) ++cellFirst[y * side + x + 1];
    }
    gridded = kept;
    for (int c = 1; c <= side * side; ++c) cellFirst[c] += cellFirst[c - 1];
    for (int a = 0; a < gridded; ++a) {
        const int g = grid.gridded[a];
        const CellSpan span = spanOf(work_.walls[g]);
        for (int y = span.y0; y <= span.y1; ++y)
            for (int x = span.x0; x <= span.x1; ++x) grid.cellWalls[cellFirst[y * side + x]++] = static_cast<std::int16_t>(g);
    }
    for (int c = side * side; c >= 1; --c) cellFirst[c] = cellFirst[c - 1];
    cellFirst[0] = 0;

    int pairs = 0;
    // Neighbours both ways are never compared. A pair is written in any
    // case and kept by counting it, without a branch: whether two boxes
    // overlap follows no pattern. Each pair is looked at once, so the table
    // holds every pair looked at.
    for (int g = 1; g <= visible; ++g) {
        const int quad = work_.walls[g].quad;
        const Neighbours neighbours = NeighboursOf(quad);
        grid.quad[g] = quad;
        grid.neighbours[g][0] = neighbours.one;
        grid.neighbours[g][1] = neighbours.other;
    }
    auto consider = [&](int i, int j) {
        const int quadI = grid.quad[i], quadJ = grid.quad[j];
        const bool neighbours = ((quadJ == grid.neighbours[i][0]) | (quadJ == grid.neighbours[i][1])) &
                                ((quadI == grid.neighbours[j][0]) | (quadI == grid.neighbours[j][1]));
        grid.pairs[pairs] = {static_cast<std::int16_t>(i), static_cast<std::int16_t>(j)};
        pairs += BoxesOverlap(work_.boxes[i], work_.boxes[j]) & !neighbours;
    };
    // The cells are in order, so the common box's corner lies in the later
    // of the two walls' first cells: a pair belongs to the cell where one of
    // them starts in both directions, or one starts across and the other
    // down. The walls of a cell are sorted into those classes first, so no
    // pair of another cell is looked at.
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            int starting = 0, across = 0, down = 0, passing = 0;
            for (int a = cellFirst[y * side + x]; a < cellFirst[y * side + x + 1]; ++a) {
                const int g = grid.cellWalls[a];
                const bool startsAcross = grid.firstCellX[g] == x, startsDown = grid.firstCellY[g] == y;
                if (startsAcross && startsDown) grid.starting[starting++] = static_cast<std::int16_t>(g);
                else if (startsAcross) grid.across[across++] = static_cast<std::int16_t>(g);
                else if (startsDown) grid.down[down++] = static_cast<std::int16_t>(g);
                else grid.passing[passing++] = static_cast<std::int16_t>(g);
            }
            for (int a = 0; a < starting; ++a) {
                const int i = grid.starting[a];
                for (int b = a + 1; b < starting; ++b) consider(i, grid.starting[b]);
                for (int b = 0; b < across; ++b) consider(i, grid.across[b]);
                for (int b = 0; b < down; ++b) consider(i, grid.down[b]);
                for (int b = 0; b < passing; ++b) consider(i, grid.passing[b]);
            }
            for (int a = 0; a < across; ++a)
                for (int b = 0; b < down; ++b) consider(grid.across[a], grid.down[b]);
        }
    }
    for (int a = 0; a < widespread; ++a) {
        for (int b = 0; b < gridded; ++b) consider(grid.widespread[a], grid.gridded[b]);
        for (int b = a + 1; b < widespread; ++b) consider(grid.widespread[a], grid.widespread[b]);
    }

    // Each pair in both walls' lists. The partners are first gathered
    // wall by wall in the grid's order (in the entries' links, free until
    // the lists are done); walking the walls in visible-list order and
    // appending each to its partners' lists then leaves every list in
    // visible-list order.
    int* const first = work_.overlapFirst;
    int* const end = work_.listEnd;
    OverlapEntry* const entries = work_.overlapping;
    std::fill(first, first + visible + 2, 0);
    for (int p = 0; p < pairs; ++p) ++first[grid.pairs[p].one + 1], ++first[grid.pairs[p].other + 1];
    for (int g = 1; g <= visible + 1; ++g) first[g] += first[g - 1];
    std::copy(first, first + visible + 2, end);
    for (int p = 0; p < pairs; ++p) {
        entries[end[grid.pairs[p].one]++].next = grid.pairs[p].other;
        entries[end[grid.pairs[p].other]++].next = grid.pairs[p].one;
    }
    std::copy(first, first + visible + 2, end);
    for (int g = 1; g <= visible; ++g) {
        for (int k = first[g]; k < first[g + 1]; ++k) entries[end[entries[k].next]++].other = static_cast<std::int16_t>(g);
    }
    for (int g = 1; g <= visible; ++g) {
        work_.overlapHead[g] = 0;
        for (int k = first[g]; k < first[g + 1]; ++k) {
            entries[k].next = static_cast<std::int16_t>(k - first[g] + 1);
            entries[k].testedIn = 0;
            entries[k].compared = 0;
        }
    }
}

void WallOrdering::StartPass() {
    if (work_.tested.empty()) work_.tested.assign((kShownGlyphPoints + 1) * (kShownGlyphPoints + 1), 0);
    if (++work_.pass == 0) {
        std::fill(work_.tested.begin(), work_.tested.end(), 0);
        work_.pass = 1;
    }
}

bool WallOrdering::Tried(int candidate, int g) const {
    return work_.tested[candidate * (kShownGlyphPoints + 1) + g] == work_.pass;
}

void WallOrdering::MarkTried(int candidate, int g) {
    work_.tested[candidate * (kShownGlyphPoints + 1) + g] = work_.tested[g * (kShownGlyphPoints + 1) + candidate] = work_.pass;
}

// The first wall, in visible-list order, that is unplaced, not yet tested
// with the candidate in this pass, and in front of it; 0 for none. With a
// log every wall is compared, so that the log holds every comparison;
// otherwise only the walls whose boxes overlap the candidate's.
int WallOrdering::FirstPromoting(int candidate, int visible) {
    if (log_ != nullptr) {
        for (int g = 1; g <= visible; ++g) {
            if (work_.placed[g] == 1 || g == candidate || Tried(candidate, g)) continue;
            if (Promotes(candidate, g)) return g;
        }
        return 0;
    }
    // A placed wall stays placed and a comparison holds for the whole
    // ordering, so neither kind of entry can ever be the one looked for:
    // both are unlinked. A pair tested in this pass stays linked for the
    // passes to come.
    OverlapEntry* const list = work_.overlapping + work_.overlapFirst[candidate];
    const int length = work_.overlapFirst[candidate + 1] - work_.overlapFirst[candidate];
    std::int16_t* link = &work_.overlapHead[candidate];
    for (int k = *link; k < length; k = *link) {
        OverlapEntry& entry = list[k];
        const int g = entry.other;
        if (work_.placed[g] == 1) {
            *link = entry.next;
            continue;
        }
        if (entry.testedIn == pass_) {
            link = &entry.next;
            continue;
        }
        if (entry.compared == 0) entry.compared = Promotes(candidate, g) ? 2 : 1;
        if (entry.compared == 1) {
            *link = entry.next;
            continue;
        }
        entry.testedIn = pass_;
        PairEntry(g, candidate).testedIn = pass_;
        return g;
    }
    return 0;
}

// Wall g's entry for wall `other`, found by halving its list, which is in
// visible-list order.
OverlapEntry& WallOrdering::PairEntry(int g, int other) {
    OverlapEntry* const from = work_.overlapping + work_.overlapFirst[g];
    OverlapEntry* const to = work_.overlapping + work_.overlapFirst[g + 1];
    return *std::lower_bound(from, to, other, [](const OverlapEntry& entry, int wall) { return entry.other < wall; });
}

void WallOrdering::Run(WallOrder& order) {
    int n = std::clamp(slot_.glyph.pointCount, 0, kShownGlyphPoints);
    int visible = 0;
    for (int k = 1; k <= n; ++k) {
        const SideQuad& quad = slot_.sideQuad[k];
        bool usable = true;
        for (int corner : quad.corner) usable = usable && corner >= 1 && corner <= kMaxVertex;
        if (!usable) continue;
        const ProjectedPoint& p1 = Vertex(quad.corner[0]);
        const ProjectedPoint& p2 = Vertex(quad.corner[1]);
        const ProjectedPoint& p3 = Vertex(quad.corner[2]);
        if (!(Cross(p1, p2, p3) < 0.0)) continue;

        VisibleWall& wall = work_.walls[++visible];
        wall.quad = k;
        work_.placed[visible] = quad.hullFlag == 1 ? 1 : 0;
        wall.haveRounded = false;
        std::copy(std::begin(quad.corner), std::end(quad.corner), wall.vertex);
        wall.minX = wall.maxX = p1.x;
        wall.minY = wall.maxY = p1.y;
        for (int corner : quad.corner) {
            const ProjectedPoint& v = Vertex(corner);
            wall.minX = std::min(wall.minX, v.x);
            wall.maxX = std::max(wall.maxX, v.x);
            wall.minY = std::min(wall.minY, v.y);
            wall.maxY = std::max(wall.maxY, v.y);
        }
        wall.plane = PlaneOf(p1, p2, p3);
        work_.boxes[visible] = wall;
    }

    order.count = visible;
    int placed = 0;
    for (int g = 1; g <= visible; ++g) {
        if (work_.placed[g] == 1) order.drawList[++placed] = work_.walls[g].quad;
    }

    // Each pass finds the front-most wall still unplaced: a candidate stands
    // until some other wall is found in front of it, which then becomes the
    // candidate and the search starts over from the first wall. A pair once
    // tested in a pass is not tested again, so every pass ends.
    if (log_ == nullptr) ListOverlaps(visible);
    int firstUnplaced = 1;  // placed walls stay placed
    while (placed < visible) {
        if (log_ != nullptr) StartPass();
        ++pass_;
        while (work_.placed[firstUnplaced] == 1) ++firstUnplaced;
        int candidate = firstUnplaced;  // visible-list position
        for (int g; (g = FirstPromoting(candidate, visible)) != 0; candidate = g) {
            if (log_ != nullptr) {
                log_->promotions.emplace_back(work_.walls[candidate].quad, work_.walls[g].quad);
                MarkTried(candidate, g);
            }
        }
        order.drawList[++placed] = work_.walls[candidate].quad;
        work_.placed[candidate] = 1;
    }
}

// Whether a turn of the outline, seen in the projection, keeps the direction
// it has in the glyph's own coordinates: the front face shows when it does,
// the back face when the back outline's turn is reversed. The turn is worked
// out in doubles, as the winding flag is: coordinates may use all 32 bits,
// and their products then overflow 64-bit integers.
double DesignTurn(const ShownGlyph& glyph, int i, int j, int k) {
    double x1 = glyph.pointX[i], y1 = glyph.pointY[i];
    double x2 = glyph.pointX[j], y2 = glyph.pointY[j];
    double x3 = glyph.pointX[k], y3 = glyph.pointY[k];
    return (x2 - x1) * (y3 - y2) - (y2 - y1) * (x3 - x2);
}

}  // namespace

FaceVisibility DecideFaceVisibility(const CharacterSlot& slot) {
    const int n = slot.glyph.pointCount;
    if (n < 3 || n > kShownGlyphPoints) return {0, 0};
    const ProjectedPoint* v = slot.projected.vertex;

    if (DesignTurn(slot.glyph, 1, 2, 3) != 0) {
        double front = (v[2].x - v[3].x) * (v[1].y - v[2].y) - (v[1].x - v[2].x) * (v[2].y - v[3].y);
        double back = Cross(v[n + 1], v[n + 2], v[n + 3]);
        if (slot.windingFlag == 1) {
            front = -front;
            back = -back;
        }
        return {front > 0.0 ? 1 : 0, back > 0.0 ? 1 : 0};
    }

    // The first three points run straight, so their projected turn is only
    // noise: take the first point k whose turn with points 1 and 2 is not
    // straight, and compare that turn's direction before and after the
    // projection. A face all of whose points lie on one line shows neither.
    for (int k = 4; k <= n; ++k) {
        double design = DesignTurn(slot.glyph, 1, 2, k);
        if (design == 0) continue;
        double front = Cross(v[1], v[2], v[k]);
        double back = Cross(v[n + 1], v[n + 2], v[n + k]);
        if (design < 0) {
            front = -front;
            back = -back;
        }
        return {front > 0.0 ? 1 : 0, back < 0.0 ? 1 : 0};
    }
    return {0, 0};
}

void OrderWalls(const CharacterSlot& slot, WallOrder& order, WallOrderLog* log) {
    WallOrdering ordering(slot, log);
    ordering.Run(order);
}

void RenderSolid(DrawingSurface& surface) {
    int slotNumber = sceneState.currentSlot;
    if (slotNumber < 1 || slotNumber > kMaxSlots) return;
    CharacterSlot& slot = characterSlots[slotNumber];
    slot.faceVisibility = DecideFaceVisibility(slot);

    WallOrder order;
    OrderWalls(slot, order);

    const ColourRef side = ToColourRef(slot.faceColors.side);
    const ProjectedPoint* v = slot.projected.vertex;
    for (int entry = order.count; entry >= 1; --entry) {
        const SideQuad& quad = slot.sideQuad[order.drawList[entry]];
        SurfacePoint corner[4];
        for (int i = 0; i < 4; ++i) corner[i] = {v[quad.corner[i]].px, v[quad.corner[i]].py};
        {
            OwnedObject brush(surface, surface.CreateSolidBrush(side));
            SelectedObject selected(surface, brush.get());
            surface.SetPolyFillMode(kFillAlternate);
            surface.Polygon(corner, 4);
        }
        {
            OwnedObject pen(surface, surface.CreatePen(kPenSolid, 1, 0));
            SelectedObject selected(surface, pen.get());
            surface.MoveToEx(corner[0].x, corner[0].y);
            for (int i = 1; i < 4; ++i) surface.LineTo(corner[i].x, corner[i].y);
            surface.LineTo(corner[0].x, corner[0].y);
        }
    }
}
