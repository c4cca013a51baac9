#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "SceneTestSupport.h"
#include "scene/Random.h"
#include "scene/SceneRecords.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"

namespace {

using scenetest::BoxGlyph;
using scenetest::FreshScene;
using scenetest::MakeGlyph;

std::vector<std::pair<int, int>> Points(const ShownGlyph& glyph) {
    std::vector<std::pair<int, int>> points;
    for (int i = 1; i <= glyph.pointCount; ++i) points.emplace_back(glyph.pointX[i], glyph.pointY[i]);
    return points;
}

std::array<int, 4> Corners(const SideQuad& wall) {
    return {wall.corner[0], wall.corner[1], wall.corner[2], wall.corner[3]};
}

using SceneSetup = FreshScene;

TEST_F(SceneSetup, BuildsTheBoxExample) {
    settings.SIZE = settings.SIZEY = 10;
    ShowGlyph(BoxGlyph(), 1);
    SetupScene();
    const CharacterSlot& slot = characterSlots[1];

    // Both contours start at their top right corner and run clockwise; the
    // layout leaves the coordinates as they are at size 10.
    const std::vector<std::pair<int, int>> expected = {{30, 40},   {30, -40},  {-30, -40}, {-30, 40},
                                                       {15, 20},   {15, -20},  {-15, -20}, {-15, 20}};
    EXPECT_EQ(Points(slot.glyph), expected);
    EXPECT_EQ(slot.centerX, 0);
    EXPECT_EQ(slot.windingFlag, 0);  // w = -4800: a right turn
    for (int i = 1; i <= 8; ++i) {
        EXPECT_EQ(slot.sideQuad[i].normalWinding, i <= 4 ? 1 : 0) << "point " << i;
        EXPECT_EQ(slot.sideQuad[i].hullFlag, i <= 4 ? 1 : 0) << "point " << i;
    }
    EXPECT_EQ(Corners(slot.sideQuad[1]), (std::array<int, 4>{9, 10, 2, 1}));
    EXPECT_EQ(Corners(slot.sideQuad[4]), (std::array<int, 4>{12, 9, 1, 4}));
    EXPECT_EQ(Corners(slot.sideQuad[5]), (std::array<int, 4>{13, 5, 6, 14}));
    EXPECT_EQ(Corners(slot.sideQuad[8]), (std::array<int, 4>{16, 8, 5, 13}));
}

TEST_F(SceneSetup, NormalizesEveryContourToStartRightMostAndTurnRight) {
    // A clockwise triangle entered from its left corner is only rotated; the
    // same triangle entered anticlockwise is reversed. A dart entered
    // clockwise from its tip stays as it is.
    const std::vector<std::pair<int, int>> clockwise = {{10, 0}, {0, -10}, {-10, 10}};
    ShowGlyph(MakeGlyph({{-10, 10}, {10, 0}, {0, -10}}, {{1, 3}}), 1);
    characterSlots[2].glyph = MakeGlyph({{-10, 10}, {0, -10}, {10, 0}}, {{1, 3}});
    characterSlots[3].glyph = MakeGlyph({{10, 0}, {-10, -10}, {-2, 0}, {-10, 10}}, {{1, 4}});
    settings.OPTIONN = 3;
    SetupScene();
    // Slots 2 and 3 sit 100 and 200 units to the right of slot 1.
    auto designPoints = [](int k) {
        std::vector<std::pair<int, int>> points = Points(characterSlots[k].glyph);
        for (auto& point : points) point.first -= characterSlots[k].centerX;
        return points;
    };
    EXPECT_EQ(designPoints(1), clockwise);
    EXPECT_EQ(designPoints(2), clockwise);
    EXPECT_EQ(designPoints(3), (std::vector<std::pair<int, int>>{{10, 0}, {-10, -10}, {-2, 0}, {-10, 10}}));
    EXPECT_EQ(characterSlots[1].windingFlag, 0);
    for (int i = 1; i <= 3; ++i) EXPECT_EQ(characterSlots[1].sideQuad[i].hullFlag, 1);
    // The dart's two walls into its notch have points on both sides.
    const int dartHull[] = {1, 0, 0, 1};
    for (int i = 1; i <= 4; ++i) EXPECT_EQ(characterSlots[3].sideQuad[i].hullFlag, dartHull[i - 1]) << i;
}

TEST_F(SceneSetup, LaysTheRowOutAboutTheSceneOriginTruncatingTowardZero) {
    settings.SIZEY = 10;
    ShowGlyph(BoxGlyph(), 3);
    SetupScene();
    EXPECT_EQ(characterSlots[1].centerX, -100);
    EXPECT_EQ(characterSlots[2].centerX, 0);
    EXPECT_EQ(characterSlots[3].centerX, 100);
    EXPECT_EQ(characterSlots[3].glyph.pointX[1], 130);

    SetUp();
    settings.SIZEY = 15;
    settings.SIZE = 15;
    ShowGlyph(MakeGlyph({{-7, -7}, {20, 0}, {-7, 7}}, {{1, 3}}), 1);
    SetupScene();
    EXPECT_EQ(characterSlots[1].centerX, 0);
    // Reversed to (20, 0), (-7, -7), (-7, 7). -7 x 15 / 10 = -10.5, which
    // truncates to -10, not -11.
    EXPECT_EQ(characterSlots[1].glyph.pointX[2], -10);
    EXPECT_EQ(characterSlots[1].glyph.pointY[2], -10);
    EXPECT_EQ(characterSlots[1].glyph.pointY[3], 10);
    EXPECT_EQ(characterSlots[1].glyph.pointX[1], 30);
}

TEST_F(SceneSetup, StartsMovingLeftAndDownWithinTheWindowLimits) {
    EXPECT_EQ(NextRandom(), 41);
    EXPECT_EQ(NextRandom(), 18467);
    EXPECT_EQ(NextRandom(), 6334);
    SeedRandom(1);

    settings.OPTIONP = 2;
    settings.SIZE = settings.SIZEY = 10;
    settings.SIZEIDO = 10;
    ShowGlyph(BoxGlyph(), 2);
    SetupScene();
    EXPECT_EQ(sceneState.minPosX, 100);
    EXPECT_EQ(sceneState.maxPosX, 700);
    EXPECT_EQ(sceneState.minPosY, 120);
    EXPECT_EQ(sceneState.maxPosY, 480);
    EXPECT_EQ(sceneState.scenePosX, 400);
    EXPECT_EQ(sceneState.scenePosY, 300);
    // Classes 4, 2 and 4 from the first three draws.
    EXPECT_EQ(sceneState.velocityX, -14);
    EXPECT_EQ(sceneState.velocityY, 12);
    EXPECT_EQ(sceneState.lastMoveX, -14);
    EXPECT_EQ(sceneState.lastMoveY, 12);
    EXPECT_EQ(sceneState.speedClass, 4);
    EXPECT_EQ(sceneState.bounceSpeed, 14);
}

TEST_F(SceneSetup, CentresARowLargerThanTheWindow) {
    settings.OPTIONP = 2;
    settings.SIZEY = 50;  // nine slots: 2250 each side of the centre
    settings.SIZE = 50;   // 600 above and below
    sceneState.clientWidth = 801;
    sceneState.clientHeight = 601;
    ShowGlyph(BoxGlyph(), 9);
    SetupScene();
    EXPECT_EQ(sceneState.minPosX, 400);
    EXPECT_EQ(sceneState.maxPosX, 400);
    EXPECT_EQ(sceneState.minPosY, 300);
    EXPECT_EQ(sceneState.maxPosY, 300);
}

TEST_F(SceneSetup, StandsStillWhenNotMovingAndResetsTheSceneValues) {
    settings.OPTIONP = 1;
    settings.ENKIN = 15;
    sceneState.velocityX = sceneState.velocityY = 7;
    sceneState.lastMoveX = sceneState.lastMoveY = 7;
    sceneState.globalAngle = 90;
    sceneState.prevExtent = Extent{1, 2, 3, 4};
    ShowGlyph(BoxGlyph(), 2);
    SetupScene();
    EXPECT_EQ(sceneState.scenePosX, 400);
    EXPECT_EQ(sceneState.scenePosY, 300);
    EXPECT_EQ(sceneState.velocityX, 0);
    EXPECT_EQ(sceneState.velocityY, 0);
    EXPECT_EQ(sceneState.lastMoveX, 0);
    EXPECT_EQ(sceneState.lastMoveY, 0);
    EXPECT_EQ(sceneState.minPosX, 0);
    EXPECT_EQ(sceneState.maxPosX, 0);
    EXPECT_EQ(sceneState.minPosY, 0);
    EXPECT_EQ(sceneState.maxPosY, 0);
    EXPECT_EQ(sceneState.globalAngle, 0);
    EXPECT_EQ(sceneState.prevExtent.minX, 0);
    EXPECT_EQ(sceneState.prevExtent.maxY, 0);
    EXPECT_EQ(sceneState.perspectiveFactor, 0.0015);
    // Nothing was drawn from the generator.
    EXPECT_EQ(NextRandom(), 41);
}

TEST_F(SceneSetup, AutomaticDepthReplacesTheStoredDepth) {
    settings.HABA = 20;
    settings.HABAJIDO = 1;
    SetupScene();
    EXPECT_EQ(settings.HABA, 3);

    SetUp();
    settings.HABA = 20;
    settings.HABAJIDO = 0;
    SetupScene();
    EXPECT_EQ(settings.HABA, 20);
}

TEST_F(SceneSetup, FillsTheShadesOfEachSlotsColour) {
    settings.COLORS = 1;
    const int colours[] = {1, 2, 3, 4, 5, 6, 7, 0, 8};
    for (int k = 1; k <= 9; ++k) settings.*slotColourField[k] = colours[k - 1];
    ShowGlyph(BoxGlyph(), 9);
    SetupScene();
    const int lit[8][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 1}, {1, 1, 0}, {0, 1, 1}, {1, 0, 1}};
    for (int k = 1; k <= 9; ++k) {
        const FaceColors& shades = characterSlots[k].faceColors;
        const int* on = lit[colours[k - 1] % 8];
        EXPECT_EQ(shades.front.red, 255 * on[0]) << "slot " << k;
        EXPECT_EQ(shades.front.green, 255 * on[1]) << "slot " << k;
        EXPECT_EQ(shades.front.blue, 255 * on[2]) << "slot " << k;
        EXPECT_EQ(shades.side.red, 192 * on[0]) << "slot " << k;
        EXPECT_EQ(shades.side.green, 192 * on[1]) << "slot " << k;
        EXPECT_EQ(shades.side.blue, 192 * on[2]) << "slot " << k;
        EXPECT_EQ(shades.back.red, 128 * on[0]) << "slot " << k;
        EXPECT_EQ(shades.back.green, 128 * on[1]) << "slot " << k;
        EXPECT_EQ(shades.back.blue, 128 * on[2]) << "slot " << k;
    }
}

TEST_F(SceneSetup, OneColourForAllRewritesTheShownSlotsColoursInMemory) {
    settings.COLORS = 0;
    settings.COLOR = 5;
    for (int k = 1; k <= 9; ++k) settings.*slotColourField[k] = 1;
    ShowGlyph(BoxGlyph(), 3);
    SetupScene();
    for (int k = 1; k <= 3; ++k) {
        EXPECT_EQ(settings.*slotColourField[k], 5);
        EXPECT_EQ(characterSlots[k].faceColors.side.red, 192);
        EXPECT_EQ(characterSlots[k].faceColors.side.green, 192);
        EXPECT_EQ(characterSlots[k].faceColors.side.blue, 0);
    }
    EXPECT_EQ(settings.OPTIONC4, 1);

    for (int colour : {0, 8}) {
        SetUp();
        settings.COLORS = 0;
        settings.COLOR = colour;
        ShowGlyph(BoxGlyph(), 2);
        SetupScene();
        for (int k = 1; k <= 2; ++k) {
            const FaceColors& shades = characterSlots[k].faceColors;
            EXPECT_EQ(shades.front.red + shades.front.green + shades.front.blue, 0) << "COLOR " << colour;
            EXPECT_EQ(shades.back.red + shades.back.green + shades.back.blue, 0) << "COLOR " << colour;
        }
    }
}

TEST_F(SceneSetup, KeepsMalformedGlyphsInsideTheirStorage) {
    // Point 4 ends no contour: its wall closes back to itself, the first
    // point of the open run after the last contour, and counts as outer.
    ShowGlyph(MakeGlyph({{30, 0}, {0, -30}, {-30, 30}, {5, 5}}, {{1, 3}}), 1);
    // A two-point contour and a one-point contour beside a triangle.
    characterSlots[2].glyph = MakeGlyph({{10, 0}, {-10, 0}, {0, 0}, {20, 0}, {0, -20}, {-20, 20}},
                                        {{1, 2}, {3, 3}, {4, 6}}, {1});
    // Every x at or left of -9999: the right-most point is still found.
    characterSlots[3].glyph = MakeGlyph({{-20000, 0}, {-10000, 5}, {-30000, 10}}, {{1, 3}});
    // Two points, with a third left in the storage that would turn left.
    characterSlots[4].glyph = MakeGlyph({{0, 0}, {10, 0}}, {{1, 2}});
    characterSlots[4].glyph.pointX[3] = 10;
    characterSlots[4].glyph.pointY[3] = -10;
    // Counts and contour ends beyond the storage.
    ShownGlyph& broken = characterSlots[5].glyph;
    broken = MakeGlyph({{1, 1}, {2, 2}, {3, 3}}, {{1, 3}});
    broken.pointCount = kShownGlyphPoints + 15;
    broken.contourCount = kShownGlyphContours + 7;
    broken.contourFirst[2] = 40;
    broken.contourLast[2] = kShownGlyphPoints + 100;
    settings.OPTIONN = 5;
    settings.SIZEY = settings.SIZE = 10;
    SetupScene();

    const CharacterSlot& open = characterSlots[1];
    EXPECT_EQ(Corners(open.sideQuad[3]), (std::array<int, 4>{7, 5, 1, 3}));
    EXPECT_EQ(Corners(open.sideQuad[4]), (std::array<int, 4>{8, 8, 4, 4}));
    EXPECT_EQ(open.sideQuad[4].normalWinding, 1);

    const CharacterSlot& small = characterSlots[2];
    EXPECT_EQ(Corners(small.sideQuad[2]), (std::array<int, 4>{8, 2, 1, 7}));  // a hole wall
    EXPECT_EQ(Corners(small.sideQuad[3]), (std::array<int, 4>{9, 9, 3, 3}));

    EXPECT_EQ(characterSlots[3].glyph.pointX[1] - characterSlots[3].centerX, -10000);
    EXPECT_EQ(characterSlots[3].glyph.pointY[1], 5);
    EXPECT_EQ(characterSlots[4].windingFlag, 1);

    for (int k = 1; k <= 5; ++k) {
        const int pointCount = std::min(characterSlots[k].glyph.pointCount, kShownGlyphPoints);
        for (int i = 1; i <= pointCount; ++i)
            for (int corner : characterSlots[k].sideQuad[i].corner) {
                EXPECT_GE(corner, 1) << "slot " << k << " point " << i;
                EXPECT_LE(corner, 2 * pointCount) << "slot " << k << " point " << i;
            }
    }
}

}  // namespace
