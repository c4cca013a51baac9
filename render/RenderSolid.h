// The solid renderer: one slot's side walls, ordered nearest last and
// drawn in the side shade, and the decision which end face faces the viewer.
#pragma once

#include <utility>
#include <vector>

#include "render/DrawingSurface.h"
#include "scene/SceneRecords.h"

// The order the walls of one slot are drawn in, front-most first: the hull
// walls in quad order, then the other visible walls as the pairwise ordering
// placed them. Drawing runs from the last entry to the first.
struct WallOrder {
    int count;                               // visible walls V
    int drawList[kShownGlyphPoints + 1];     // 1-based quad numbers
};

// The step of a comparison that settled it: the neighbour rule, the box
// test, the other wall wholly behind the candidate's plane, the candidate
// wholly in front of the other wall's plane, a promotion at an edge
// crossing, and the containment test (which settles every comparison that
// reaches it, one way or the other).
enum OrderStep : int {
    kByNeighbour,
    kByBox,
    kByCandidatePlane,
    kByOtherPlane,
    kByCrossing,
    kByContainment,
    kOrderStepCount
};

// What an ordering did, for tests and the benchmark. Pairs are quad numbers
// (candidate, other wall).
struct WallOrderLog {
    std::vector<std::pair<int, int>> boxTested;    // passed the neighbour rule
    std::vector<std::pair<int, int>> planeTested;  // their boxes overlap
    std::vector<std::pair<int, int>> promotions;
    int decidedBy[kOrderStepCount] = {};           // comparisons each step settled
    long roundToCalls = 0;
};

// The end-face test on the slot's projected points.
FaceVisibility DecideFaceVisibility(const CharacterSlot& slot);

// Walls facing the viewer (in increasing quad number) and their order.
void OrderWalls(const CharacterSlot& slot, WallOrder& order, WallOrderLog* log = nullptr);

// Draws slot currentSlot's visible walls and stores its face visibility.
void RenderSolid(DrawingSurface& surface);
