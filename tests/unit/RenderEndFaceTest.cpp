#include <gtest/gtest.h>

#include "render/RecordingSurface.h"
#include "render/RenderEndFace.h"
#include "unit/RenderTestScene.h"

namespace {

using rendertest::BuildSlot;
using rendertest::Project;
using rendertest::View;

void DrawFace(int slot, FaceVisibility shown, RecordingSurface& surface) {
    characterSlots[slot].faceVisibility = shown;
    sceneState.currentSlot = slot;
    RenderEndFace(surface);
}

TEST(RenderEndFace, NeitherFaceDrawsNothing) {
    BuildSlot(2, {rendertest::BoxOutline()});
    Project(2, View{});
    RecordingSurface surface;
    DrawFace(2, {0, 0}, surface);
    EXPECT_TRUE(surface.calls().empty());
}

TEST(RenderEndFace, FillsAllContoursAsOneEvenOddRegionThenOutlinesEach) {
    BuildSlot(2, {rendertest::BoxOutline(), rendertest::BoxHole()}, {2});
    Project(2, View{.turn = 15, .perspective = 0.002});
    RecordingSurface surface;
    DrawFace(2, {1, 1}, surface);  // both shown: the front wins

    const std::vector<DrawOp> expected = {
        DrawOp::CreateSolidBrush, DrawOp::SelectObject, DrawOp::CreatePolyPolygonRgn, DrawOp::PaintRgn,
        DrawOp::DeleteObject,     DrawOp::SelectObject, DrawOp::DeleteObject,         DrawOp::CreatePen,
        DrawOp::SelectObject,     DrawOp::MoveToEx,     DrawOp::LineTo,               DrawOp::LineTo,
        DrawOp::LineTo,           DrawOp::LineTo,       DrawOp::MoveToEx,             DrawOp::LineTo,
        DrawOp::LineTo,           DrawOp::LineTo,       DrawOp::LineTo,               DrawOp::SelectObject,
        DrawOp::DeleteObject,
    };
    ASSERT_EQ(surface.Ops(), expected);
    const std::vector<DrawCall>& calls = surface.calls();
    EXPECT_EQ(calls[0].colour, 0x0000FFu) << "front shade";
    const DrawCall& region = calls[2];
    EXPECT_EQ(region.value, kFillAlternate);
    EXPECT_EQ(region.counts, (std::vector<int>{5, 5}));
    const ProjectedPoint* v = characterSlots[2].projected.vertex;
    const int frontOrder[10] = {1, 2, 3, 4, 1, 5, 6, 7, 8, 5};
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(region.points[i].x, v[frontOrder[i]].px) << i;
        EXPECT_EQ(region.points[i].y, v[frontOrder[i]].py) << i;
    }
    EXPECT_EQ(calls[3].object, region.object);
    EXPECT_EQ(calls[4].object, region.object) << "the region goes before the brush is put back";
    EXPECT_EQ(calls[6].object, calls[0].object);
    // Each contour is traced through its points and closed on its first.
    for (int i = 0; i < 10; ++i) EXPECT_EQ(calls[9 + i].points[0].x, v[frontOrder[i]].px) << i;
    EXPECT_EQ(calls[7].colour, 0u);
    EXPECT_EQ(surface.LiveObjects(), 0);
    EXPECT_EQ(surface.misuses(), 0);
}

TEST(RenderEndFace, TheBackFaceUsesTheBackShadeAndTheBackVertices) {
    BuildSlot(2, {rendertest::BoxOutline(), rendertest::BoxHole()}, {2});
    Project(2, View{.turn = 200, .perspective = 0.002});
    RecordingSurface surface;
    DrawFace(2, {0, 1}, surface);
    const std::vector<DrawCall>& calls = surface.calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ(calls[0].colour, 0x000080u);
    const ProjectedPoint* v = characterSlots[2].projected.vertex;
    EXPECT_EQ(calls[2].points[0].x, v[9].px);
    EXPECT_EQ(calls[2].points[5].x, v[13].px);
    EXPECT_EQ(calls[2].points[9].y, v[13].py);
    EXPECT_EQ(calls.back().op, DrawOp::DeleteObject);
    EXPECT_EQ(calls[calls.size() - 4].points[0].y, v[16].py) << "the hole's outline follows the back vertices";
}

TEST(RenderEndFace, FortyFivePointsInThirteenContoursFillTheListExactly) {
    std::vector<rendertest::Contour> contours;
    for (int c = 0; c < 13; ++c) {
        int x = c * 20;
        rendertest::Contour contour = {{x + 10, 10}, {x + 10, 0}, {x, 0}};
        if (c < 6) contour.push_back({x, 10});  // six squares and seven triangles: 24 + 21 points
        contours.push_back(contour);
    }
    BuildSlot(3, contours);
    ASSERT_EQ(characterSlots[3].glyph.pointCount, 45);
    Project(3, View{});
    RecordingSurface surface;
    DrawFace(3, {1, 0}, surface);
    const DrawCall& region = surface.calls()[2];
    EXPECT_EQ(region.points.size(), 58u);
    EXPECT_EQ(region.counts.size(), 13u);
    int moves = 0;
    for (const DrawCall& call : surface.calls()) moves += call.op == DrawOp::MoveToEx;
    EXPECT_EQ(moves, 13);
}

}  // namespace
