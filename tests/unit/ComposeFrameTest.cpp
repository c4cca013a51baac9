#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "render/FrameCompositor.h"
#include "render/RecordingSurface.h"
#include "scene/Random.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"
#include "unit/RenderTestScene.h"

namespace {

class ComposeFrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&settings, 0, sizeof settings);
        std::memset(&sceneState, 0, sizeof sceneState);
        std::memset(characterSlots, 0, sizeof characterSlots);
        settings.OPTIONN = 1;
        sceneState.clientWidth = 800;
        sceneState.clientHeight = 600;
        sceneState.scenePosX = 400;
        sceneState.scenePosY = 300;
    }

    // Slot 1 with two outline points, so four vertices, at these px, py.
    static void PlacePoints(const std::vector<std::pair<int, int>>& points) {
        CharacterSlot& slot = characterSlots[1];
        slot.glyph.pointCount = static_cast<int>(points.size()) / 2;
        int j = 0;
        for (auto [x, y] : points) {
            slot.projected.vertex[++j].px = x;
            slot.projected.vertex[j].py = y;
        }
    }

    static void ExpectExtent(const Extent& e, int minX, int minY, int maxX, int maxY) {
        EXPECT_EQ(e.minX, minX);
        EXPECT_EQ(e.minY, minY);
        EXPECT_EQ(e.maxX, maxX);
        EXPECT_EQ(e.maxY, maxY);
    }
};

// Sets the generator so that its next 15-bit draw is r: the state after the
// step is then r x 65536, and the state before it is found by undoing the
// step (214013 x 3115528533 = 1 modulo 2^32).
void NextDrawIs(int r) { SeedRandom(((static_cast<std::uint32_t>(r) << 16) - 2531011u) * 3115528533u); }

TEST_F(ComposeFrameTest, BounceSpeedClassesChangeExactlyAtTheQuarters) {
    settings.SIZEIDO = 10;
    const struct {
        int draw, speedClass, bounceSpeed;
    } draws[] = {{0, 4, 14},     {8191, 4, 14},  {8192, 3, 13},  {16383, 3, 13},
                 {16384, 2, 12}, {24575, 2, 12}, {24576, 1, 11}, {32767, 1, 11}};
    for (const auto& d : draws) {
        NextDrawIs(d.draw);
        ASSERT_EQ(NextRandom(), d.draw);
        NextDrawIs(d.draw);
        PickBounceSpeed();
        EXPECT_EQ(sceneState.speedClass, d.speedClass) << d.draw;
        EXPECT_EQ(sceneState.bounceSpeed, d.bounceSpeed) << d.draw;
    }
}

TEST_F(ComposeFrameTest, TheWorkedExampleEveryNumber) {
    PlacePoints({{10, 20}, {-50, -30}, {60, 40}, {0, 0}});
    sceneState.prevExtent = {-55, -35, 55, 35};
    sceneState.lastMoveX = 3;
    sceneState.lastMoveY = -2;

    FrameGeometry frame = PlanFrame();
    ExpectExtent(frame.current, -50, -30, 60, 40);
    ExpectExtent(sceneState.prevExtent, -58, -37, 52, 33);
    ExpectExtent(frame.cover, -58, -37, 60, 40);
    EXPECT_EQ(frame.offX, 58);
    EXPECT_EQ(frame.offY, 40);
    EXPECT_EQ(frame.width, 119);
    EXPECT_EQ(frame.height, 78);
    EXPECT_EQ(frame.left, 342);
    EXPECT_EQ(frame.top, 260);

    RebasePoints(frame);
    EXPECT_EQ(characterSlots[1].projected.vertex[1].px, 68);
    EXPECT_EQ(characterSlots[1].projected.vertex[1].py, 20);
    EXPECT_EQ(characterSlots[1].projected.vertex[2].px, 8);
    EXPECT_EQ(characterSlots[1].projected.vertex[2].py, 70);

    AdvanceAnimation(frame);
    ExpectExtent(sceneState.prevExtent, -50, -30, 60, 40);
}

TEST_F(ComposeFrameTest, TheFirstFrameCoversLastFramesOriginShiftedByTheStartMove) {
    PlacePoints({{20, 20}, {30, 30}, {25, 25}, {20, 30}});
    sceneState.lastMoveX = -9;
    sceneState.lastMoveY = 7;
    FrameGeometry frame = PlanFrame();
    ExpectExtent(frame.cover, 9, 7, 30, 30);
    EXPECT_EQ(frame.offX, -9) << "the rectangle lies wholly right of the centre";
    EXPECT_EQ(frame.offY, 30);
    EXPECT_EQ(frame.width, 22);
    EXPECT_EQ(frame.height, 24);
    EXPECT_EQ(frame.left, 409);
    EXPECT_EQ(frame.top, 270);
}

TEST_F(ComposeFrameTest, AFigureOffTheCentreGetsABitmapThatCoversExactlyItsPixels) {
    // A bar below the centre (where "-" sits) and a figure right of it: every
    // point lands on its own window pixel, the extremes on the bitmap's
    // edges, and none is pinned.
    const std::vector<std::pair<int, int>> below = {{-17, -1}, {17, -1}, {17, -16}, {-17, -16}};
    const std::vector<std::pair<int, int>> right = {{8, 20}, {44, 20}, {44, -20}, {8, -20}};
    for (const bool isBelow : {true, false}) {
        SCOPED_TRACE(isBelow ? "below the centre" : "right of the centre");
        const std::vector<std::pair<int, int>>& figure = isBelow ? below : right;
        PlacePoints(figure);
        sceneState.prevExtent = CurrentExtremes();  // the figure stood here last frame too

        const FrameGeometry frame = PlanFrame();
        RebasePoints(frame);
        Extent rebased{frame.width, frame.height, -1, -1};
        for (int j = 1; j <= 4; ++j) {
            const ProjectedPoint& v = characterSlots[1].projected.vertex[j];
            EXPECT_EQ(frame.left + v.px, 400 + figure[j - 1].first);
            EXPECT_EQ(frame.top + v.py, 300 - figure[j - 1].second);
            rebased = {std::min(rebased.minX, v.px), std::min(rebased.minY, v.py), std::max(rebased.maxX, v.px),
                       std::max(rebased.maxY, v.py)};
        }
        ExpectExtent(rebased, 0, 0, frame.width - 1, frame.height - 1);
    }
}

TEST_F(ComposeFrameTest, PastHalfTheWidthTheRectangleSpansTheWindowAndSidewaysMotionStops) {
    settings.OPTIONP = 2;
    sceneState.minPosX = 100, sceneState.maxPosX = 700, sceneState.minPosY = 100, sceneState.maxPosY = 500;
    sceneState.velocityX = 5;
    sceneState.velocityY = -4;
    PlacePoints({{500, 10}, {-20, -10}, {0, 0}, {0, 0}});

    FrameGeometry frame = PlanFrame();
    ExpectExtent(frame.cover, -400, -10, 400, 10);
    EXPECT_EQ(frame.width, 801);
    EXPECT_EQ(frame.left, 0);
    RebasePoints(frame);
    EXPECT_EQ(characterSlots[1].projected.vertex[1].px, 801) << "pinned to the bitmap's right edge";

    AdvanceAnimation(frame);
    EXPECT_EQ(sceneState.scenePosX, 400);
    EXPECT_EQ(sceneState.lastMoveX, 0);
    EXPECT_EQ(sceneState.scenePosY, 296);
    EXPECT_EQ(sceneState.lastMoveY, -4);
    EXPECT_EQ(sceneState.velocityX, 5);
}

TEST_F(ComposeFrameTest, PastHalfTheHeightVerticalMotionStops) {
    settings.OPTIONP = 2;
    sceneState.minPosX = 100, sceneState.maxPosX = 700, sceneState.minPosY = 100, sceneState.maxPosY = 500;
    sceneState.velocityX = 5;
    sceneState.velocityY = -4;
    PlacePoints({{10, 300}, {-20, -10}, {0, 0}, {0, 0}});
    FrameGeometry frame = PlanFrame();
    // Reaching half the height is not past it: no limiting...
    ExpectExtent(frame.cover, -20, -10, 10, 300);
    AdvanceAnimation(frame);
    EXPECT_EQ(sceneState.scenePosX, 405);
    EXPECT_EQ(sceneState.scenePosY, 300);  // ...but the vertical move stops already

    PlacePoints({{10, 301}, {-20, -10}, {0, 0}, {0, 0}});
    sceneState.prevExtent = {};
    sceneState.lastMoveX = 0;
    frame = PlanFrame();
    ExpectExtent(frame.cover, -20, -300, 10, 300);
    AdvanceAnimation(frame);
    EXPECT_EQ(sceneState.scenePosX, 410);
    EXPECT_EQ(sceneState.scenePosY, 300);
}

TEST_F(ComposeFrameTest, PointsAtTheEndsOfTheIntegerRangeSaturateInsteadOfWrapping) {
    // Coordinates read from a file may use all 32 bits, and projection pins
    // what lies beyond to the limits. The rectangle, its offsets and the
    // shifted extremes then stop at the limits too.
    constexpr int kLow = std::numeric_limits<int>::min();
    constexpr int kHigh = std::numeric_limits<int>::max();
    PlacePoints({{kLow, kLow}, {10, 10}, {0, 0}, {0, 0}});
    sceneState.lastMoveX = 3;
    sceneState.lastMoveY = -2;

    FrameGeometry frame = PlanFrame();
    ExpectExtent(frame.cover, kLow, kLow, 10, 10);
    EXPECT_EQ(frame.offX, kHigh);
    EXPECT_EQ(frame.offY, 10);
    EXPECT_EQ(frame.width, kHigh);
    EXPECT_EQ(frame.height, kHigh);
    EXPECT_EQ(frame.left, 400 - kHigh);
    EXPECT_EQ(frame.top, 290);
    // Only the part inside the 800 x 600 window is made: from the window's
    // left edge to the bitmap's right edge, and from the bitmap's top row
    // down to the window's bottom.
    EXPECT_EQ(frame.shownX, kHigh - 400);
    EXPECT_EQ(frame.shownY, 0);
    EXPECT_EQ(frame.shownWidth, 400);
    EXPECT_EQ(frame.shownHeight, 310);

    RebasePoints(frame);
    const ProjectedPoint* v = characterSlots[1].projected.vertex;
    EXPECT_EQ(v[1].px, 0);
    EXPECT_EQ(v[1].py, kHigh) << "pinned to the bitmap's bottom edge";
    EXPECT_EQ(v[2].px, kHigh) << "pinned to the bitmap's right edge";
    EXPECT_EQ(v[2].py, 0);

    AdvanceAnimation(frame);
    PlanFrame();
    ExpectExtent(sceneState.prevExtent, kLow, kLow, 7, 8);

    // Wholly below the centre at the bottom of the range: offY is the
    // rectangle's top itself, only the bitmap's place saturates, and no
    // point is pinned.
    PlacePoints({{-5, kLow}, {5, kLow + 10}, {0, kLow}, {0, kLow}});
    sceneState.prevExtent = CurrentExtremes();
    sceneState.lastMoveX = sceneState.lastMoveY = 0;
    frame = PlanFrame();
    EXPECT_EQ(frame.offY, kLow + 10);
    EXPECT_EQ(frame.height, 11);
    EXPECT_EQ(frame.top, kHigh);
    EXPECT_EQ(frame.shownWidth, 11);
    EXPECT_EQ(frame.shownHeight, 0) << "below the window: nothing to make";
    RebasePoints(frame);
    EXPECT_EQ(v[1].py, 10);
    EXPECT_EQ(v[2].py, 0);
}

TEST_F(ComposeFrameTest, TheLargestSpeedsAndStepsNeverWrap) {
    constexpr int kLow = std::numeric_limits<int>::min();
    constexpr int kHigh = std::numeric_limits<int>::max();
    settings.OPTIONP = 2;
    settings.SIZEIDO = kHigh;  // every bounce speed saturates at kHigh
    sceneState.minPosX = 100, sceneState.maxPosX = 700, sceneState.minPosY = 100, sceneState.maxPosY = 500;
    sceneState.velocityX = kHigh;
    sceneState.velocityY = -kHigh;
    settings.STEPRAG = kHigh;
    settings.STEPRAG1 = kLow;
    sceneState.globalAngle = 359;
    PlacePoints({{10, 10}, {-10, -10}, {0, 0}, {0, 0}});

    AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.scenePosX, 700);
    EXPECT_EQ(sceneState.velocityX, -kHigh);
    EXPECT_EQ(sceneState.scenePosY, 100);
    EXPECT_EQ(sceneState.velocityY, kHigh);
    // Within 32 bits an angle takes its step and loses 360 once, as always.
    EXPECT_EQ(sceneState.globalAngle, kHigh - 1);
    EXPECT_EQ(characterSlots[1].ownAngle, kLow);

    AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.scenePosX, 100);
    EXPECT_EQ(sceneState.velocityX, kHigh);
    EXPECT_EQ(sceneState.scenePosY, 500);
    EXPECT_EQ(sceneState.velocityY, -kHigh);
    // Beyond 32 bits it is taken modulo 360: 4294966933 and -4294967296.
    EXPECT_EQ(sceneState.globalAngle, 253);
    EXPECT_EQ(characterSlots[1].ownAngle, -256);
}

TEST_F(ComposeFrameTest, ABounceAtTheRightLimit) {
    settings.OPTIONP = 2;
    settings.SIZEIDO = 6;
    sceneState.minPosX = 100, sceneState.maxPosX = 700, sceneState.minPosY = 100, sceneState.maxPosY = 500;
    sceneState.scenePosX = 698;
    sceneState.velocityX = 5;
    sceneState.velocityY = 3;
    PlacePoints({{10, 10}, {-10, -10}, {0, 0}, {0, 0}});

    NextDrawIs(16384);  // speed class 2
    AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.scenePosX, 700);
    EXPECT_EQ(sceneState.lastMoveX, 2);
    EXPECT_EQ(sceneState.velocityX, -8);
    EXPECT_EQ(sceneState.velocityY, 3) << "a bounce changes only the axis it hits";
    EXPECT_EQ(sceneState.scenePosY, 303);
}

TEST_F(ComposeFrameTest, ARowWiderThanTheWindowBouncesTwiceAndStaysPut) {
    settings.OPTIONP = 2;
    settings.SIZEIDO = 2;
    sceneState.minPosX = sceneState.maxPosX = 400;
    sceneState.minPosY = 100, sceneState.maxPosY = 500;
    sceneState.velocityX = -3;
    PlacePoints({{10, 10}, {-10, -10}, {0, 0}, {0, 0}});

    // From seed 5 the draws are 54, 28693, 12255, 24449 and 27660: speed
    // classes 4, 1, 3, 2 and 1.
    SeedRandom(5);

    // Moving left: only the left limit fires.
    AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.scenePosX, 400);
    EXPECT_EQ(sceneState.velocityX, 6);
    // Moving right: x' passes the right limit, then sits on the left one;
    // the second of the frame's two draws sets the speed.
    AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.scenePosX, 400);
    EXPECT_EQ(sceneState.lastMoveX, 0);
    EXPECT_EQ(sceneState.velocityX, 5);
    AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.velocityX, 3);
}

TEST_F(ComposeFrameTest, OutsideMovingModeNothingMoves) {
    settings.OPTIONP = 1;
    sceneState.velocityX = 4;  // not used outside moving mode
    PlacePoints({{10, 10}, {-10, -10}, {0, 0}, {0, 0}});
    for (int i = 0; i < 3; ++i) AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.scenePosX, 400);
    EXPECT_EQ(sceneState.scenePosY, 300);
    EXPECT_EQ(sceneState.lastMoveX, 0);
    EXPECT_EQ(sceneState.lastMoveY, 0);
}

TEST_F(ComposeFrameTest, AnglesAdvanceModuloThreeSixtyForAllNineSlots) {
    settings.STEPRAG = 9;
    settings.STEPRAG1 = 1;
    settings.STEPRAG9 = 9;
    sceneState.globalAngle = 355;
    characterSlots[1].ownAngle = 359;
    characterSlots[9].ownAngle = 355;
    characterSlots[5].ownAngle = 17;
    PlacePoints({{0, 0}, {0, 0}, {0, 0}, {0, 0}});
    AdvanceAnimation(PlanFrame());
    EXPECT_EQ(sceneState.globalAngle, 4);
    EXPECT_EQ(characterSlots[1].ownAngle, 0);
    EXPECT_EQ(characterSlots[9].ownAngle, 4) << "every slot turns, shown or not";
    EXPECT_EQ(characterSlots[5].ownAngle, 17);
}

TEST_F(ComposeFrameTest, SlotOrderFollowsTheSceneAngle) {
    settings.OPTIONN = 3;
    int order[kMaxSlots];
    const std::vector<int> farFirst = {3, 2, 1}, nearFirst = {1, 2, 3};
    for (auto [angle, expected] : {std::pair{0, farFirst}, {179, farFirst}, {180, nearFirst}, {359, nearFirst}}) {
        sceneState.globalAngle = angle;
        int count = SlotDrawOrder(order);
        EXPECT_EQ(std::vector<int>(order, order + count), expected) << angle;
    }
    settings.OPTIONN = 12;  // shown slots never exceed the storage
    EXPECT_EQ(SlotDrawOrder(order), 9);
}

TEST_F(ComposeFrameTest, EveryWallIsDrawnBeforeAnyFaceFarSlotFirst) {
    settings.OPTIONN = 2;
    for (int slot = 1; slot <= 2; ++slot) {
        rendertest::BuildSlot(slot, {rendertest::BoxOutline()});
        rendertest::Project(slot, rendertest::View{.turn = 30, .perspective = 0.002, .originX = 100 * slot});
    }
    sceneState.globalAngle = 30;
    RecordingSurface surface;
    DrawSolids(surface);
    std::vector<int> regionSlots;
    bool faceSeen = false;
    for (const DrawCall& call : surface.calls()) {
        if (call.op == DrawOp::Polygon) {
            EXPECT_FALSE(faceSeen) << "a wall after a face";
        }
        if (call.op == DrawOp::CreatePolyPolygonRgn) {
            faceSeen = true;
            regionSlots.push_back(call.points[0].x < 150 ? 1 : 2);
        }
    }
    EXPECT_EQ(regionSlots, (std::vector<int>{2, 1}));
    EXPECT_EQ(surface.LiveObjects(), 0);
}

TEST_F(ComposeFrameTest, TheThreeBackgrounds) {
    struct Case {
        int BKMODE, ZANZOU;
        FrameBackground expected;
    };
    for (Case c : {Case{0, 0, FrameBackground::DesktopCopy}, Case{1, 0, FrameBackground::Black},
                   Case{0, 1, FrameBackground::Screen}, Case{1, 3, FrameBackground::Screen},
                   Case{2, 0, FrameBackground::Screen}, Case{-1, 0, FrameBackground::Screen}}) {
        settings.BKMODE = c.BKMODE;
        settings.ZANZOU = c.ZANZOU;
        EXPECT_EQ(ChooseBackground(), c.expected) << c.BKMODE << ", " << c.ZANZOU;
    }

    RecordingSurface surface;
    FillBlack(surface, 119, 78);
    const std::vector<DrawOp> expected = {DrawOp::CreateSolidBrush, DrawOp::SelectObject, DrawOp::SetPolyFillMode,
                                          DrawOp::Polygon,          DrawOp::SelectObject, DrawOp::DeleteObject};
    ASSERT_EQ(surface.Ops(), expected);
    EXPECT_EQ(surface.calls()[0].colour, 0u);
    EXPECT_EQ(surface.calls()[2].value, kFillWinding);
    const std::vector<DrawCall>& calls = surface.calls();
    const SurfacePoint corners[4] = {{0, 0}, {119, 0}, {119, 78}, {0, 78}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(calls[3].points[i].x, corners[i].x);
        EXPECT_EQ(calls[3].points[i].y, corners[i].y);
    }
    EXPECT_EQ(surface.LiveObjects(), 0);
}

}  // namespace
