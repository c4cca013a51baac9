// A fresh scene for each test: settings at their defaults, slots, scene state
// and the random generator as a newly started process has them.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <utility>

#include "scene/Random.h"
#include "scene/SceneRecords.h"
#include "settings/Settings.h"

namespace scenetest {

using Point = std::pair<int, int>;
using Contour = std::pair<int, int>;

// A slot's glyph of the given points (design units), contours and hole
// starts, taken from the stored format as LoadGlyphs takes it.
inline ShownGlyph MakeGlyph(std::initializer_list<Point> points, std::initializer_list<Contour> contours,
                                 std::initializer_list<int> holes = {}) {
    GlyphDefinition glyph{};
    for (const Point& point : points) {
        ++glyph.pointCount;
        glyph.pointX[glyph.pointCount] = point.first;
        glyph.pointY[glyph.pointCount] = point.second;
    }
    for (const Contour& contour : contours) {
        ++glyph.contourCount;
        glyph.contourFirst[glyph.contourCount] = contour.first;
        glyph.contourLast[glyph.contourCount] = contour.second;
    }
    int h = 0;
    for (int hole : holes) glyph.holeStart[++h] = hole;
    return ShownGlyphOf(glyph);
}

// The example glyph BOX: a 60 x 80 rectangle with a 30 x 40 hole.
inline ShownGlyph BoxGlyph() {
    return MakeGlyph({{-30, -40}, {30, -40}, {30, 40}, {-30, 40}, {-15, -20}, {15, -20}, {15, 20}, {-15, 20}},
                     {{1, 4}, {5, 8}}, {5});
}

class FreshScene : public ::testing::Test {
protected:
    void SetUp() override {
        for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
        std::memset(characterSlots, 0, sizeof characterSlots);
        std::memset(&sceneState, 0, sizeof sceneState);
        sceneState.clientWidth = 800;
        sceneState.clientHeight = 600;
        SeedRandom(1);
    }

    // Shows `glyph` in slots 1..shown.
    static void ShowGlyph(const ShownGlyph& glyph, int shown) {
        settings.OPTIONN = shown;
        for (int k = 1; k <= shown; ++k) characterSlots[k].glyph = glyph;
    }
};

}  // namespace scenetest
