#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <set>

#include "render/RecordingSurface.h"
#include "render/RenderSolid.h"
#include "unit/RenderTestScene.h"

namespace {

using rendertest::BoxHole;
using rendertest::BoxOutline;
using rendertest::BuildSlot;
using rendertest::Project;
using rendertest::View;

// The quad numbers of the walls RenderSolid drew, in drawing order, found
// from the corners of each Polygon call.
std::vector<int> DrawnWalls(const RecordingSurface& surface, int slot) {
    const CharacterSlot& s = characterSlots[slot];
    std::vector<int> walls;
    for (const DrawCall& call : surface.calls()) {
        if (call.op != DrawOp::Polygon) continue;
        int found = 0;
        for (int k = 1; k <= s.glyph.pointCount && found == 0; ++k) {
            bool same = true;
            for (int i = 0; i < 4; ++i) {
                const ProjectedPoint& v = s.projected.vertex[s.sideQuad[k].corner[i]];
                same = same && call.points[i].x == v.px && call.points[i].y == v.py;
            }
            if (same) found = k;
        }
        walls.push_back(found);
    }
    return walls;
}

std::vector<int> Render(int slot, RecordingSurface& surface) {
    sceneState.currentSlot = slot;
    RenderSolid(surface);
    return DrawnWalls(surface, slot);
}

TEST(RenderSolidFaces, FrontFromAheadBackFromBehindAndTheWindingFlagFlipsTheFront) {
    BuildSlot(1, {BoxOutline(), BoxHole()}, {2});
    ASSERT_EQ(characterSlots[1].windingFlag, 0);

    Project(1, View{.turn = 20, .perspective = 0.002});
    FaceVisibility ahead = DecideFaceVisibility(characterSlots[1]);
    EXPECT_EQ(ahead.front, 1);
    EXPECT_EQ(ahead.back, 0);

    Project(1, View{.turn = 200, .perspective = 0.002});
    FaceVisibility behind = DecideFaceVisibility(characterSlots[1]);
    EXPECT_EQ(behind.front, 0);
    EXPECT_EQ(behind.back, 1);

    characterSlots[1].windingFlag = 1;
    EXPECT_EQ(DecideFaceVisibility(characterSlots[1]).front, 1);
    Project(1, View{.turn = 20, .perspective = 0.002});
    EXPECT_EQ(DecideFaceVisibility(characterSlots[1]).front, 0);
}

TEST(RenderSolidFaces, EdgeOnShortAndStraightOutlines) {
    // Seen exactly edge-on the first corner has no turn: neither face.
    BuildSlot(1, {BoxOutline()});
    Project(1, View{});
    for (int j = 1; j <= 8; ++j) characterSlots[1].projected.vertex[j].x = 5.0;
    FaceVisibility edgeOn = DecideFaceVisibility(characterSlots[1]);
    EXPECT_EQ(edgeOn.front + edgeOn.back, 0);

    // Fewer than three points: no face to show.
    BuildSlot(1, {{{10, 10}, {10, -10}}});
    Project(1, View{});
    FaceVisibility shortOutline = DecideFaceVisibility(characterSlots[1]);
    EXPECT_EQ(shortOutline.front + shortOutline.back, 0);

    // The first three points on one line (a point in the middle of the right
    // side): the next point that turns decides, so the face still shows.
    BuildSlot(1, {{{30, 40}, {30, 0}, {30, -40}, {-30, -40}, {-30, 40}}});
    ASSERT_EQ(characterSlots[1].windingFlag, 1);
    Project(1, View{.turn = 25, .perspective = 0.002});
    FaceVisibility ahead = DecideFaceVisibility(characterSlots[1]);
    EXPECT_EQ(ahead.front, 1);
    EXPECT_EQ(ahead.back, 0);
    Project(1, View{.turn = 160, .perspective = 0.002});
    FaceVisibility behind = DecideFaceVisibility(characterSlots[1]);
    EXPECT_EQ(behind.front, 0);
    EXPECT_EQ(behind.back, 1);
}

TEST(RenderSolidFaces, AnOutlineSpanningTheWholeIntegerRangeStillDecides) {
    // Coordinates read from a file may use all 32 bits: the turn of such an
    // outline is larger than 64-bit integers hold, yet it must decide as a
    // small outline of the same shape does.
    BuildSlot(1, {BoxOutline()});
    Project(1, View{.turn = 20, .perspective = 0.002});
    ShownGlyph& g = characterSlots[1].glyph;
    const int x[4] = {1500000000, 1500000000, -1500000000, -1500000000};
    const int y[4] = {2000000000, -2000000000, -2000000000, 2000000000};
    for (int i = 0; i < 4; ++i) g.pointX[i + 1] = x[i], g.pointY[i + 1] = y[i];
    FaceVisibility ahead = DecideFaceVisibility(characterSlots[1]);
    EXPECT_EQ(ahead.front, 1);
    EXPECT_EQ(ahead.back, 0);
}

TEST(RenderSolidWalls, ABoxTurnedThirtyDegreesShowsItsLeftWallOnly) {
    // Quads: 1 right, 2 bottom, 3 left, 4 top. Turned by 30 degrees the left
    // wall faces the viewer; seen from its middle height the viewer looks at
    // the undersides of the top and the upper sides of the bottom, which are
    // the walls' inner faces.
    BuildSlot(1, {BoxOutline()});
    Project(1, View{.turn = 30, .perspective = 0.002});
    RecordingSurface surface;
    EXPECT_EQ(Render(1, surface), std::vector<int>{3});
}

TEST(RenderSolidWalls, AConvexOutlineDrawsDecreasingQuadsWithoutComparing) {
    BuildSlot(1, {{{40, 0}, {20, -30}, {-20, -30}, {-40, 0}, {-20, 30}, {20, 30}}});
    Project(1, View{.turn = 30, .tilt = 20, .perspective = 0.002});
    WallOrderLog log;
    WallOrder order;
    OrderWalls(characterSlots[1], order, &log);
    EXPECT_TRUE(log.boxTested.empty());

    RecordingSurface surface;
    std::vector<int> drawn = Render(1, surface);
    ASSERT_GE(drawn.size(), 2u);
    EXPECT_TRUE(std::is_sorted(drawn.rbegin(), drawn.rend())) << "drawn in decreasing quad number";
    EXPECT_EQ(std::set<int>(drawn.begin(), drawn.end()).size(), drawn.size());
}

TEST(RenderSolidWalls, TheInnerWallsOfAHoleThatFaceTheViewerShowThroughIt) {
    // Quads 5..8 are the hole's right, bottom, left and top walls; each faces
    // into the hole. Turned by 30 degrees the hole's right wall faces the
    // viewer, and from mid height so do its top and bottom walls.
    BuildSlot(1, {BoxOutline(), BoxHole()}, {2});
    Project(1, View{.turn = 30, .perspective = 0.002});
    RecordingSurface surface;
    std::vector<int> drawn = Render(1, surface);
    EXPECT_EQ(std::set<int>(drawn.begin(), drawn.end()), (std::set<int>{3, 5, 6, 8}));
    EXPECT_EQ(drawn.back(), 3) << "the hull wall is drawn last";
}

TEST(RenderSolidWalls, NoDepthMeansNoWall) {
    // HABA 0: front and back coincide, every wall is seen edge-on.
    BuildSlot(1, {BoxOutline(), BoxHole()}, {2});
    Project(1, View{.turn = 30, .perspective = 0.002, .depth = 0});
    RecordingSurface surface;
    EXPECT_TRUE(Render(1, surface).empty());
    EXPECT_TRUE(surface.calls().empty());
    EXPECT_EQ(characterSlots[1].faceVisibility.front, 1);
}

TEST(RenderSolidWalls, EachWallIsFilledThenOutlinedWithObjectsOfItsOwn) {
    BuildSlot(1, {BoxOutline()});
    Project(1, View{.turn = 30, .perspective = 0.002});
    RecordingSurface surface;
    ASSERT_EQ(Render(1, surface).size(), 1u);

    const std::vector<DrawOp> expected = {
        DrawOp::CreateSolidBrush, DrawOp::SelectObject, DrawOp::SetPolyFillMode, DrawOp::Polygon,
        DrawOp::SelectObject,     DrawOp::DeleteObject, DrawOp::CreatePen,       DrawOp::SelectObject,
        DrawOp::MoveToEx,         DrawOp::LineTo,       DrawOp::LineTo,          DrawOp::LineTo,
        DrawOp::LineTo,           DrawOp::SelectObject, DrawOp::DeleteObject,
    };
    ASSERT_EQ(surface.Ops(), expected);
    const std::vector<DrawCall>& calls = surface.calls();
    EXPECT_EQ(calls[0].colour, 0x0000C0u) << "side shade, red in the low byte";
    EXPECT_EQ(calls[2].value, kFillAlternate);
    EXPECT_EQ(calls[3].object, calls[0].object) << "the wall is filled with its own brush";
    EXPECT_EQ(calls[4].object, surface.defaultBrush());
    EXPECT_EQ(calls[6].colour, 0u);
    EXPECT_EQ(calls[6].value, kPenSolid);
    EXPECT_EQ(calls[6].width, 1);
    // The outline runs P1, P2, P3, P4 and back to P1.
    EXPECT_EQ(calls[8].points[0].x, calls[3].points[0].x);
    for (int i = 1; i < 4; ++i) EXPECT_EQ(calls[8 + i].points[0].y, calls[3].points[i].y);
    EXPECT_EQ(calls[12].points[0].y, calls[3].points[0].y);
    EXPECT_EQ(calls[13].object, surface.defaultPen());
    EXPECT_EQ(surface.LiveObjects(), 0);
    EXPECT_EQ(surface.misuses(), 0);
}

using Corners = std::array<std::array<double, 3>, 4>;

// Two walls, quads 1 and 5 of separate contours, neither on the hull, each
// facing the viewer (corners running clockwise on screen); every other
// wall is degenerate.
void TwoWalls(const Corners& first, const Corners& second) {
    BuildSlot(1, {BoxOutline(), BoxHole()}, {2});
    CharacterSlot& s = characterSlots[1];
    for (int k = 1; k <= 8; ++k) s.sideQuad[k].hullFlag = 0;
    for (auto& v : s.projected.vertex) v = {};
    auto place = [&](int k, const Corners& corners) {
        for (int i = 0; i < 4; ++i) {
            s.projected.vertex[s.sideQuad[k].corner[i]] = {corners[i][0], corners[i][1], corners[i][2], 0, 0};
        }
    };
    place(1, first);
    place(5, second);
}

// A flat square facing the viewer at depth z, lower left corner at (left, bottom).
Corners Square(double left, double bottom, double size, double z) {
    return {{{left, bottom, z}, {left, bottom + size, z}, {left + size, bottom + size, z}, {left + size, bottom, z}}};
}

TEST(RenderSolidOrdering, BoxesThatOnlyTouchAreNotComparedFurther) {
    TwoWalls(Square(0, 0, 10, 5), Square(10, 0, 10, 25));
    WallOrderLog touching;
    WallOrder order;
    OrderWalls(characterSlots[1], order, &touching);
    EXPECT_EQ(order.count, 2);
    EXPECT_FALSE(touching.boxTested.empty());
    EXPECT_TRUE(touching.planeTested.empty());
    // The same with quad 5 just below quad 1.
    TwoWalls(Square(0, 10, 10, 5), Square(0, 0, 10, 25));
    WallOrderLog below;
    OrderWalls(characterSlots[1], order, &below);
    EXPECT_EQ(std::count(below.planeTested.begin(), below.planeTested.end(), std::pair{1, 5}), 0);

    TwoWalls(Square(0, 0, 10, 5), Square(9, 0, 10, 25));
    WallOrderLog overlapping;
    OrderWalls(characterSlots[1], order, &overlapping);
    EXPECT_FALSE(overlapping.planeTested.empty());
    // Quad 1 lies at depth 5, quad 5 at 25: quad 1 is in front, drawn last.
    EXPECT_EQ(order.drawList[1], 1);
    EXPECT_EQ(order.drawList[2], 5);
}

TEST(RenderSolidOrdering, CrossingEdgesDecideWhereThePlanesDoNot) {
    // Quad 1 leans away to the right (z = 2x); quad 5, lower left of it, is
    // flat at z = -10, nearer everywhere they overlap. Neither lies wholly
    // on one side of the other's plane, so the depths where their edges
    // cross on screen decide: quad 5 comes to the front.
    const Corners leaning = {{{0, 0, 0}, {0, 10, 0}, {10, 10, 20}, {10, 0, 20}}};
    TwoWalls(leaning, Square(-5, -5, 10, -10));
    WallOrderLog log;
    WallOrder order;
    OrderWalls(characterSlots[1], order, &log);
    ASSERT_EQ(order.count, 2);
    EXPECT_EQ(order.drawList[1], 5);
    EXPECT_EQ(order.drawList[2], 1);
    EXPECT_EQ(log.promotions, (std::vector<std::pair<int, int>>{{1, 5}}));

    // Pushed back to z = 30, where it lies behind the leaning wall's plane
    // at every corner, quad 5 stays behind.
    TwoWalls(leaning, Square(-5, -5, 10, 30));
    OrderWalls(characterSlots[1], order, nullptr);
    EXPECT_EQ(order.drawList[1], 1);
    EXPECT_EQ(order.drawList[2], 5);
}

TEST(RenderSolidOrdering, AWallAroundTheCandidateAndInFrontOfItTakesItsPlace) {
    // Quad 5 is nearer and its outline holds quad 1's: no edges cross, and
    // quad 1 lies wholly behind quad 5's plane, so quad 5 comes to the front.
    TwoWalls(Square(0, 0, 10, 30), Square(-5, -5, 20, 5));
    WallOrderLog log;
    WallOrder order;
    OrderWalls(characterSlots[1], order, &log);
    ASSERT_EQ(order.count, 2);
    EXPECT_EQ(order.drawList[1], 5);
    EXPECT_EQ(order.drawList[2], 1);
    EXPECT_EQ(log.decidedBy[kByContainment], 1);
}

bool AreNeighbours(const ShownGlyph& g, int a, int b) {
    for (int c = 1; c <= g.contourCount; ++c) {
        int first = g.contourFirst[c], last = g.contourLast[c];
        if (a < first || a > last || b < first || b > last) continue;
        return std::abs(a - b) == 1 || (std::min(a, b) == first && std::max(a, b) == last);
    }
    return false;
}

// A point strictly inside a convex quadrilateral of either orientation,
// at least `margin` from every side.
bool Inside(const ProjectedPoint* q[4], double x, double y, double margin) {
    int positive = 0, negative = 0;
    for (int i = 0; i < 4; ++i) {
        const ProjectedPoint& a = *q[i];
        const ProjectedPoint& b = *q[(i + 1) % 4];
        double length = std::hypot(b.x - a.x, b.y - a.y);
        if (length == 0) return false;
        double side = ((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x)) / length;
        positive += side > margin;
        negative += side < -margin;
    }
    return positive == 4 || negative == 4;
}

double MinOf(const ProjectedPoint* q[4], double ProjectedPoint::*axis) {
    return std::min({q[0]->*axis, q[1]->*axis, q[2]->*axis, q[3]->*axis});
}
double MaxOf(const ProjectedPoint* q[4], double ProjectedPoint::*axis) {
    return std::max({q[0]->*axis, q[1]->*axis, q[2]->*axis, q[3]->*axis});
}

// The depth of a wall's plane at screen point (x, y).
double DepthAt(const ProjectedPoint* q[4], double x, double y) {
    const ProjectedPoint &p1 = *q[0], &p2 = *q[1], &p3 = *q[2];
    double ax = p2.x - p1.x, ay = p2.y - p1.y, az = p2.z - p1.z;
    double bx = p3.x - p1.x, by = p3.y - p1.y, bz = p3.z - p1.z;
    double nx = ay * bz - az * by, ny = az * bx - ax * bz, nz = ax * by - ay * bx;
    return p1.z - (nx * (x - p1.x) + ny * (y - p1.y)) / nz;
}

struct OrderCase {
    const char* name;
    std::vector<rendertest::Contour> contours;
    std::vector<int> holes;
};

// Where two drawn walls overlap on screen, the one drawn later is the nearer
// there. The glyphs and views make every step of the comparison settle some
// pairs. Views exactly from the side (turns of 90 and 270 degrees) are left
// out: there a wall can lie wholly inside another's outline, in front of it,
// with neither plane separating them and no edges crossing, and the
// containment test looks only the other way.
TEST(RenderSolidOrdering, WhereTwoDrawnWallsOverlapTheNearerIsDrawnLater) {
    const std::vector<OrderCase> glyphs = {
        {"L", {rendertest::LOutline()}, {}},
        {"U", {rendertest::UOutline()}, {}},
        {"box with a hole", {BoxOutline(), BoxHole()}, {2}},
        {"E", {rendertest::EOutline()}, {}},
        {"three bars", rendertest::ThreeBars(), {}},
    };
    int overlapsChecked = 0;
    int decided[kOrderStepCount] = {};
    for (const OrderCase& glyph : glyphs) {
        for (int turn = 10; turn < 360; turn += 25) {
            for (int tilt : {-35, 0, 35}) {
                BuildSlot(1, glyph.contours, glyph.holes);
                View view{.turn = double(turn), .tilt = double(tilt), .perspective = 0.003, .depth = 25};
                Project(1, view);
                const CharacterSlot& s = characterSlots[1];
                WallOrderLog log;
                WallOrder order;
                OrderWalls(s, order, &log);
                for (int step = 0; step < kOrderStepCount; ++step) decided[step] += log.decidedBy[step];
                for (const auto& [c, w] : log.boxTested) {
                    ASSERT_FALSE(AreNeighbours(s.glyph, c, w)) << glyph.name << " walls " << c << ", " << w;
                }
                // drawList runs front-most first; entry a is drawn after entry b when a < b.
                for (int a = 1; a <= order.count; ++a) {
                    for (int b = a + 1; b <= order.count; ++b) {
                        const ProjectedPoint *qa[4], *qb[4];
                        for (int i = 0; i < 4; ++i) {
                            qa[i] = &s.projected.vertex[s.sideQuad[order.drawList[a]].corner[i]];
                            qb[i] = &s.projected.vertex[s.sideQuad[order.drawList[b]].corner[i]];
                        }
                        double left = std::max(MinOf(qa, &ProjectedPoint::x), MinOf(qb, &ProjectedPoint::x));
                        double right = std::min(MaxOf(qa, &ProjectedPoint::x), MaxOf(qb, &ProjectedPoint::x));
                        double bottom = std::max(MinOf(qa, &ProjectedPoint::y), MinOf(qb, &ProjectedPoint::y));
                        double top = std::min(MaxOf(qa, &ProjectedPoint::y), MaxOf(qb, &ProjectedPoint::y));
                        bool overlap = false;
                        for (double x = left; x <= right && !overlap; x += 0.5) {
                            for (double y = bottom; y <= top && !overlap; y += 0.5) {
                                if (!Inside(qa, x, y, 0.25) || !Inside(qb, x, y, 0.25)) continue;
                                overlap = true;
                                EXPECT_LT(DepthAt(qa, x, y), DepthAt(qb, x, y) + 1e-6)
                                    << glyph.name << " turn " << turn << " tilt " << tilt << ": wall "
                                    << order.drawList[a] << " is drawn over wall " << order.drawList[b]
                                    << " but lies behind it at (" << x << ", " << y << ")";
                            }
                        }
                        overlapsChecked += overlap;
                    }
                }
            }
        }
    }
    EXPECT_GT(overlapsChecked, 20) << "the views must make walls overlap";
    for (int step = 0; step < kOrderStepCount; ++step) {
        EXPECT_GT(decided[step], 0) << "the views must let step " << step << " settle some pairs";
    }
}

// Without a log the ordering looks only at walls whose screen boxes overlap
// the candidate's; with one it compares every pair. Both must give the same
// draw order for dense glyphs of many contours, some of them holes and some
// touching, seen from any side, and when a vertex is not a number or lies at
// infinity.
TEST(RenderSolidOrdering, OverlappingWallsAloneGiveTheOrderOfTheFullComparison) {
    std::mt19937 random(20260);
    auto between = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    long promotions = 0;
    for (int round = 0; round < 20; ++round) {
        // Star-shaped contours, clockwise, scattered over a cell of 1000 units.
        std::vector<rendertest::Contour> contours;
        std::vector<int> holes;
        const int contourCount = between(2, 40);
        int points = 0;
        for (int c = 1; c <= contourCount && points < kShownGlyphPoints - 3; ++c) {
            const int length = std::min(between(3, 40), kShownGlyphPoints - points);
            const int cx = between(-400, 400), cy = between(-400, 400), radius = between(20, 300);
            rendertest::Contour contour;
            for (int i = 0; i < length; ++i) {
                const double angle = -2 * 3.141593 * i / length;
                const double r = radius * (0.3 + 0.7 * between(0, 100) / 100.0);
                contour.emplace_back(cx + static_cast<int>(r * std::cos(angle)), cy + static_cast<int>(r * std::sin(angle)));
            }
            // Contours that touch, a point of one on a point of another,
            // make edges cross exactly at their ends.
            if (round % 4 == 1 && !contours.empty()) contour[0] = contours.back()[between(0, int(contours.back().size()) - 1)];
            points += length;
            contours.push_back(contour);
            if (between(0, 3) == 0) holes.push_back(c);
        }
        BuildSlot(1, contours, holes);
        Project(1, View{.turn = double(between(0, 359)), .tilt = double(between(-60, 60)),
                        .perspective = between(0, 30) / 10000.0, .depth = between(5, 200)});
        CharacterSlot& s = characterSlots[1];
        if (round % 10 == 7) s.projected.vertex[between(1, 2 * points)].x = std::numeric_limits<double>::quiet_NaN();
        if (round % 10 == 4) s.projected.vertex[between(1, 2 * points)].y = std::numeric_limits<double>::infinity();

        WallOrder fast, full;
        WallOrderLog log;
        OrderWalls(s, fast);
        OrderWalls(s, full, &log);
        promotions += static_cast<long>(log.promotions.size());
        ASSERT_EQ(fast.count, full.count) << "round " << round;
        ASSERT_TRUE(std::equal(fast.drawList + 1, fast.drawList + fast.count + 1, full.drawList + 1))
            << "round " << round << ", " << points << " points";
    }
    EXPECT_GT(promotions, 1000) << "the glyphs must make walls take each other's places";
}

}  // namespace
