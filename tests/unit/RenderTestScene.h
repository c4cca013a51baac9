// Solids built by hand for the renderer tests: an outline (already starting
// at its right-most point and running clockwise, as scene setup leaves it)
// becomes a slot with its side walls, and a small projection that follows
// the scene's rotation, tilt and perspective places its vertices.
#pragma once

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "scene/SceneRecords.h"

namespace rendertest {

using Contour = std::vector<std::pair<int, int>>;

// The colour shades of colour 1, red.
inline FaceColors Red() { return {{255, 0, 0}, {192, 0, 0}, {128, 0, 0}}; }

// Fills characterSlots[slot] from the contours; contours listed in `holes`
// (1-based) are holes. Walls get their corners and hull flags the way scene
// setup builds them.
inline void BuildSlot(int slot, const std::vector<Contour>& contours, const std::vector<int>& holes = {}) {
    CharacterSlot& s = characterSlots[slot];
    std::memset(&s, 0, sizeof s);
    ShownGlyph& g = s.glyph;
    int point = 0;
    for (std::size_t c = 0; c < contours.size(); ++c) {
        g.contourFirst[c + 1] = point + 1;
        for (auto [x, y] : contours[c]) {
            ++point;
            g.pointX[point] = x;
            g.pointY[point] = y;
        }
        g.contourLast[c + 1] = point;
    }
    g.pointCount = point;
    g.contourCount = static_cast<int>(contours.size());
    for (int h : holes) g.holeFlag[h] = 1;

    const int p = point;
    for (int c = 1; c <= g.contourCount; ++c) {
        bool hole = false;
        for (int h : holes) hole = hole || h == c;
        for (int i = g.contourFirst[c]; i <= g.contourLast[c]; ++i) {
            int next = i == g.contourLast[c] ? g.contourFirst[c] : i + 1;
            SideQuad& q = s.sideQuad[i];
            q.normalWinding = hole ? 0 : 1;
            if (hole) {
                q.corner[0] = p + i, q.corner[1] = i, q.corner[2] = next, q.corner[3] = p + next;
            } else {
                q.corner[0] = p + i, q.corner[1] = p + next, q.corner[2] = next, q.corner[3] = i;
            }
            long long dx = g.pointX[next] - g.pointX[i], dy = g.pointY[next] - g.pointY[i];
            int above = 0, below = 0;
            for (int t = 1; t <= p; ++t) {
                long long side = dx * (g.pointY[t] - g.pointY[i]) - dy * (g.pointX[t] - g.pointX[i]);
                above += side > 0;
                below += side < 0;
            }
            q.hullFlag = above > 0 && below > 0 ? 0 : 1;
        }
    }
    long long w = static_cast<long long>(g.pointX[2] - g.pointX[1]) * (g.pointY[3] - g.pointY[2]) -
                  static_cast<long long>(g.pointY[2] - g.pointY[1]) * (g.pointX[3] - g.pointX[2]);
    s.windingFlag = w >= 0 ? 1 : 0;
    s.faceColors = Red();
}

struct View {
    double turn = 0;         // degrees about the vertical axis
    double tilt = 0;         // degrees about the horizontal axis
    double perspective = 0;  // as perspectiveFactor
    int depth = 30;          // half the extrusion, HABA x SIZE
    int originX = 200;       // where the scene centre lands in the bitmap
    int originY = 200;
};

// Projects the slot's solid as a frame would, and rebases px, py into a
// bitmap whose scene centre is at (originX, originY).
inline void Project(int slot, const View& view) {
    CharacterSlot& s = characterSlots[slot];
    const int n = s.glyph.pointCount;
    const double turn = view.turn * 3.141593 / 180.0, tilt = view.tilt * 3.141593 / 180.0;
    for (int j = 1; j <= 2 * n; ++j) {
        int k = j <= n ? j : j - n;
        double x = s.glyph.pointX[k], y = s.glyph.pointY[k], z = j <= n ? -view.depth : view.depth;
        double x1 = x * std::cos(turn) - z * std::sin(turn);
        double z1 = x * std::sin(turn) + z * std::cos(turn);
        double y2 = y * std::cos(tilt) + z1 * std::sin(tilt);
        double z2 = z1 * std::cos(tilt) - y * std::sin(tilt);
        double g = 1.0 + view.perspective * z2;
        ProjectedPoint& v = s.projected.vertex[j];
        v.x = x1 / g;
        v.y = y2 / g;
        v.z = z2 / g;
        v.px = view.originX + static_cast<int>(v.x);
        v.py = view.originY - static_cast<int>(v.y);
    }
}

// A 60 x 80 box, and the same with a 30 x 40 hole.
inline Contour BoxOutline() { return {{30, 40}, {30, -40}, {-30, -40}, {-30, 40}}; }
inline Contour BoxHole() { return {{15, 20}, {15, -20}, {-15, -20}, {-15, 20}}; }

// An L: a tall stem on the left and a foot to the right.
inline Contour LOutline() { return {{40, -10}, {40, -40}, {-30, -40}, {-30, 40}, {-10, 40}, {-10, -10}}; }

// A U opening upward.
inline Contour UOutline() {
    return {{40, 40}, {40, -40}, {-40, -40}, {-40, 40}, {-20, 40}, {-20, -20}, {20, -20}, {20, 40}};
}

// An E: three arms to the right of a stem, the middle one shorter.
inline Contour EOutline() {
    return {{40, 40},  {40, 20},   {-10, 20},  {-10, 10},  {30, 10},   {30, -10},
            {-10, -10}, {-10, -20}, {40, -20}, {40, -40}, {-40, -40}, {-40, 40}};
}

// Three separate bars, the middle one shorter: walls of different contours
// face each other across the gaps.
inline std::vector<Contour> ThreeBars() {
    return {{{40, 40}, {40, 20}, {-40, 20}, {-40, 40}},
            {{20, 10}, {20, -10}, {-20, -10}, {-20, 10}},
            {{40, -20}, {40, -40}, {-40, -40}, {-40, -20}}};
}

}  // namespace rendertest
