// The software surface's pixel rules on small pictures. Its agreement with
// GDI itself, case by case and frame by frame, is checked under Wine.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "render/SoftwareFrame.h"
#include "render/SoftwareSurface.h"
#include "scene/ProjectFrame.h"
#include "scene/SetupScene.h"
#include "unit/SceneTestSupport.h"

namespace {

constexpr ColourRef kGreen = 0x00FF00;

// The picture as rows of characters: '.' background, 'W' white, 'K' black,
// 'R' red.
std::string Picture(const PixelBuffer& buffer) {
    std::string rows;
    for (int y = 0; y < buffer.height; ++y) {
        for (int x = 0; x < buffer.width; ++x) {
            const ColourRef c = PixelAt(buffer, x, y);
            rows += c == kGreen ? '.' : c == 0xFFFFFF ? 'W' : c == 0 ? 'K' : c == 0x0000FF ? 'R' : '?';
        }
        rows += '\n';
    }
    return rows;
}

TEST(SoftwareSurface, AFreshSurfaceFillsHalfOpenInWhiteAndOutlinesInBlack) {
    PixelBuffer buffer = MakePixelBuffer(8, 7, kGreen);
    SoftwareSurface surface(buffer);
    const SurfacePoint box[4] = {{1, 1}, {6, 1}, {6, 5}, {1, 5}};
    surface.Polygon(box, 4);
    // The fill covers x 1..5, y 1..4; the outline adds column 6 and row 5.
    EXPECT_EQ(Picture(buffer),
              "........\n"
              ".KKKKKK.\n"
              ".KWWWWK.\n"
              ".KWWWWK.\n"
              ".KWWWWK.\n"
              ".KKKKKK.\n"
              "........\n");
}

TEST(SoftwareSurface, LinesLeaveOutTheirEndAndBreakTiesTowardSmallerCoordinates) {
    PixelBuffer buffer = MakePixelBuffer(6, 3, kGreen);
    SoftwareSurface surface(buffer);
    OwnedObject pen(surface, surface.CreatePen(kPenSolid, 1, 0x0000FF));
    SelectedObject selected(surface, pen.get());
    surface.MoveToEx(0, 0);
    surface.LineTo(4, 2);  // halfway at x 1 and x 3: the upper pixel both times
    EXPECT_EQ(Picture(buffer), "RR....\n..RR..\n......\n");
    surface.LineTo(0, 0);  // the same pixels back, without the start point's
    EXPECT_EQ(Picture(buffer), "RR....\n..RR..\n....R.\n");
    surface.MoveToEx(5, -2);  // through the picture: only its inside pixels
    surface.LineTo(5, 9);
    EXPECT_EQ(Picture(buffer), "RR...R\n..RR.R\n....RR\n");
}

TEST(SoftwareSurface, ALineCutByThePartSetsThePixelsOfTheWholeLineThere) {
    // Lines of many slopes, each way, drawn whole and drawn into a part of a
    // picture that cuts them: the part shows the whole line's pixels, so a
    // line that starts outside takes up its steps where the whole one has.
    const int ends[][4] = {{2, 3, 37, 20}, {37, 20, 2, 3}, {1, 28, 38, 2}, {5, 1, 12, 29},
                           {30, 29, 22, 0}, {0, 11, 39, 14}, {20, 0, 21, 29}, {39, 0, 0, 29},
                           {25, 10, 12, 17}, {14, 18, 20, 9}};  // the last two from just past the part
    for (const auto& end : ends) {
        PixelBuffer whole = MakePixelBuffer(40, 30, kGreen), cut = MakePixelBuffer(40, 30, kGreen);
        SoftwareSurface wholeSurface(whole), part(cut, 10, 8, 15, 10);
        for (SoftwareSurface* surface : {&wholeSurface, &part}) {
            const int shift = surface == &part ? 1 : 0;
            OwnedObject pen(*surface, surface->CreatePen(kPenSolid, 1, 0x0000FF));
            SelectedObject selected(*surface, pen.get());
            surface->MoveToEx(end[0] - 10 * shift, end[1] - 8 * shift);
            surface->LineTo(end[2] - 10 * shift, end[3] - 8 * shift);
        }
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) {
                const bool inPart = x >= 10 && x < 25 && y >= 8 && y < 18;
                ASSERT_EQ(PixelAt(cut, x, y), inPart ? PixelAt(whole, x, y) : kGreen)
                    << "line " << end[0] << "," << end[1] << " to " << end[2] << "," << end[3] << " at " << x << "," << y;
            }
    }
}

TEST(SoftwareSurface, APolygonsSidesDrawnAgainShowWhenTheirColourOrWhatLiesUnderChanged) {
    // A wall is filled and outlined, then its sides drawn again: in red they
    // show; after a fill over them, the sides in the polygon's own black show
    // again too.
    PixelBuffer buffer = MakePixelBuffer(6, 5, kGreen);
    SoftwareSurface surface(buffer);
    const SurfacePoint box[4] = {{1, 1}, {4, 1}, {4, 3}, {1, 3}};
    auto sides = [&surface, &box] {
        surface.MoveToEx(box[0].x, box[0].y);
        for (int i = 1; i <= 4; ++i) surface.LineTo(box[i % 4].x, box[i % 4].y);
    };
    surface.Polygon(box, 4);
    {
        OwnedObject red(surface, surface.CreatePen(kPenSolid, 1, 0x0000FF));
        SelectedObject selected(surface, red.get());
        sides();
    }
    EXPECT_EQ(Picture(buffer), "......\n.RRRR.\n.RWWR.\n.RRRR.\n......\n");
    // A red line across the black outline, then the sides in black.
    surface.Polygon(box, 4);
    {
        OwnedObject red(surface, surface.CreatePen(kPenSolid, 1, 0x0000FF));
        SelectedObject selected(surface, red.get());
        surface.MoveToEx(0, 2);
        surface.LineTo(6, 2);
    }
    {
        OwnedObject black(surface, surface.CreatePen(kPenSolid, 1, 0));
        SelectedObject selected(surface, black.get());
        sides();
    }
    EXPECT_EQ(Picture(buffer), "......\n.KKKK.\nRKRRKR\n.KKKK.\n......\n");
    surface.Polygon(box, 4);
    const SurfacePoint cover[4] = {{0, 0}, {6, 0}, {6, 5}, {0, 5}};
    const int count = 4;
    OwnedObject region(surface, surface.CreatePolyPolygonRgn(cover, &count, 1, kFillAlternate));
    surface.PaintRgn(region.get());
    sides();
    EXPECT_EQ(Picture(buffer), "WWWWWW\nWKKKKW\nWKWWKW\nWKKKKW\nWWWWWW\n");
}

TEST(SoftwareSurface, PolygonsThatTileARectangleCoverEveryPixelOnce) {
    // A 4 x 3 grid of quadrilaterals over 40 x 30 with uneven inner
    // vertices, each cut into two triangles.
    SurfacePoint grid[4][5];
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 5; ++i) {
            const bool inner = i > 0 && i < 4 && j > 0 && j < 3;
            grid[j][i] = {i * 10 + (inner ? (i * 7 + j * 3) % 5 - 2 : 0), j * 10 + (inner ? (i * 5 + j) % 5 - 2 : 0)};
        }
    int cover[30][40] = {};
    int outside = 0;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) {
            const SurfacePoint a = grid[j][i], b = grid[j][i + 1], c = grid[j + 1][i + 1], d = grid[j + 1][i];
            const SurfacePoint triangles[2][3] = {{a, b, c}, {a, c, d}};
            for (const auto& triangle : triangles) {
                const int count = 3;
                for (const PixelSpan& span : ScanPolygons(triangle, &count, 1, kFillAlternate))
                    for (int x = span.left; x < span.right; ++x) {
                        if (span.y < 0 || span.y >= 30 || x < 0 || x >= 40) ++outside;
                        else ++cover[span.y][x];
                    }
            }
        }
    EXPECT_EQ(outside, 0);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(cover[y][x], 1) << "pixel (" << x << ", " << y << ")";
}

TEST(SoftwareSurface, RegionsFillEvenOddAndObjectsAreGivenBack) {
    PixelBuffer buffer = MakePixelBuffer(6, 4, kGreen);
    SoftwareSurface surface(buffer);
    // Two overlapping squares: their overlap is crossed twice and stays out.
    const SurfacePoint points[8] = {{0, 0}, {4, 0}, {4, 3}, {0, 3}, {2, 1}, {6, 1}, {6, 4}, {2, 4}};
    const int counts[2] = {4, 4};
    {
        OwnedObject brush(surface, surface.CreateSolidBrush(0x0000FF));
        SelectedObject selected(surface, brush.get());
        OwnedObject region(surface, surface.CreatePolyPolygonRgn(points, counts, 2, kFillAlternate));
        EXPECT_FALSE(surface.DeleteObject(brush.get())) << "a selected brush stays alive";
        EXPECT_TRUE(surface.PaintRgn(region.get()));
    }
    EXPECT_EQ(Picture(buffer), "RRRR..\nRR..RR\nRR..RR\n..RRRR\n");
    EXPECT_EQ(surface.LiveObjects(), 0);
}

// The region of one polygon painted red.
std::string Painted(const SurfacePoint* points, int count, int fillMode, int width, int height) {
    PixelBuffer buffer = MakePixelBuffer(width, height, kGreen);
    SoftwareSurface surface(buffer);
    OwnedObject brush(surface, surface.CreateSolidBrush(0x0000FF));
    SelectedObject selected(surface, brush.get());
    OwnedObject region(surface, surface.CreatePolyPolygonRgn(points, &count, 1, fillMode));
    surface.PaintRgn(region.get());
    return Picture(buffer);
}

TEST(SoftwareSurface, SlantedEdgesAndASelfCrossingWindingPolygon) {
    // On a slanted edge a row starts at the first pixel whose left edge lies
    // on or right of the edge, and ends before the first such pixel of the
    // right edge.
    const SurfacePoint triangle[3] = {{1, 0}, {10, 3}, {3, 8}};
    EXPECT_EQ(Painted(triangle, 3, kFillAlternate, 11, 9),
              "...........\n"
              "..RR.......\n"
              "..RRRRR....\n"
              "..RRRRRRRR.\n"
              "..RRRRRRR..\n"
              "...RRRRR...\n"
              "...RRR.....\n"
              "...RR......\n"
              "...........\n");
    // A star drawn in one stroke crosses itself: WINDING fills the centre,
    // which its outline goes round twice.
    const SurfacePoint star[5] = {{6, 0}, {10, 12}, {0, 4}, {12, 4}, {2, 12}};
    EXPECT_EQ(Painted(star, 5, kFillWinding, 13, 13),
              ".............\n"
              "......R......\n"
              "......R......\n"
              ".....RR......\n"
              "RRRRRRRRRRRR.\n"
              "..RRRRRRRRR..\n"
              "...RRRRRRR...\n"
              "....RRRRR....\n"
              "....RRRRR....\n"
              "...RRR.RR....\n"
              "...RR...RR...\n"
              "...R.....R...\n"
              ".............\n");
}

TEST(SoftwareSurface, CopiesLeaveOutWhatLiesOutsideEitherPicture) {
    PixelBuffer window = MakePixelBuffer(4, 3, kGreen);
    const PixelBuffer frame = MakePixelBuffer(3, 3, 0x0000FF);
    CopyPixels(window, 2, -1, frame, 0, 0, 3, 3);
    EXPECT_EQ(Picture(window), "..RR\n..RR\n....\n");
    CopyPixels(window, 0, 2, frame, 2, 1, 3, 3);  // only one source column
    EXPECT_EQ(Picture(window), "..RR\n..RR\nR...\n");
}

// A run is written several bytes at a time: every length and start sets
// exactly its own pixels, in the colour's byte order, and never a byte of
// its neighbours or of the row's padding.
TEST(SoftwareSurface, RunsOfAnyLengthSetOnlyTheirOwnPixels) {
    for (const ColourRef colour : {ColourRef{0x123456}, ColourRef{0x0000FF}, ColourRef{0x808080}}) {
        for (int left = 0; left < 4; ++left) {
            for (int length = 0; left + length <= 45; ++length) {
                PixelBuffer row = MakePixelBuffer(45, 2, kGreen);
                FillSpan(row, 1, left, left + length, colour);
                for (int x = 0; x < 45; ++x) {
                    const bool inside = x >= left && x < left + length;
                    ASSERT_EQ(PixelAt(row, x, 1), inside ? colour : kGreen) << colour << " " << left << "+" << length << " at " << x;
                    ASSERT_EQ(PixelAt(row, x, 0), kGreen);
                }
                ASSERT_EQ(row.bytes[row.stride * 2 - 1], 0);  // padding
            }
        }
    }
}

TEST(SoftwareSurface, PointsAtTheIntegerExtremesDrawOnlyTheirPixelsInside) {
    // Rows and columns far outside are never visited, and no product or
    // negation leaves 64 bits or the 32-bit range (the sanitizers check).
    PixelBuffer buffer = MakePixelBuffer(6, 4, kGreen);
    SoftwareSurface surface(buffer);
    OwnedObject pen(surface, surface.CreatePen(kPenSolid, 1, 0x0000FF));
    SelectedObject selected(surface, pen.get());
    // Left of the diagonal x = y, which runs through the picture exactly.
    const SurfacePoint triangle[3] = {{-INT_MAX, -INT_MAX}, {INT_MAX, INT_MAX}, {-INT_MAX, INT_MAX}};
    const int three = 3;
    OwnedObject region(surface, surface.CreatePolyPolygonRgn(triangle, &three, 1, kFillWinding));
    surface.PaintRgn(region.get());
    EXPECT_EQ(Picture(buffer), "......\nW.....\nWW....\nWWW...\n");
    surface.MoveToEx(INT_MIN, INT_MIN);
    surface.LineTo(INT_MAX, INT_MAX);
    EXPECT_EQ(Picture(buffer), "R.....\nWR....\nWWR...\nWWWR..\n");
    const PixelBuffer red = MakePixelBuffer(2, 2, 0x0000FF);
    CopyPixels(buffer, INT_MIN, 0, red, 0, 0, INT_MAX, INT_MAX);
    CopyPixels(buffer, 0, 0, red, INT_MIN, INT_MIN, INT_MAX, 2);
    CopyPixels(buffer, 5, 3, red, 0, 0, INT_MAX, INT_MAX);
    EXPECT_EQ(Picture(buffer), "R.....\nWR....\nWWR...\nWWWR.R\n");
}

// Each background the frame's bitmap starts from: the window's own pixels
// (trails), or black, filled for BKMODE 1 and, with no desktop copy to
// take, for BKMODE 0 as a new bitmap is.
struct BackgroundCase {
    const char* name;
    int BKMODE, ZANZOU;
    bool trails;
};
void PrintTo(const BackgroundCase& c, std::ostream* out) { *out << c.name; }

class BoundedFrame : public scenetest::FreshScene, public testing::WithParamInterface<BackgroundCase> {};

TEST_P(BoundedFrame, AFigureManyWindowsWideDrawsTheWindowAsTheWholeBitmapWould) {
    // Nine boxes in strong perspective, moving, in a 160 x 120 window: as
    // the row turns edge-on its near end is projected far out, and the
    // covering rectangle grows to thousands of pixels, of which only the
    // window's part is made.
    ShowGlyph(scenetest::BoxGlyph(), 9);
    settings.SIZE = 10;
    settings.SIZEY = 10;
    settings.ENKIN = 30;
    settings.OPTIONP = 2;
    settings.BKMODE = GetParam().BKMODE;
    settings.ZANZOU = GetParam().ZANZOU;
    sceneState.clientWidth = 160;
    sceneState.clientHeight = 120;
    SetupScene();
    // Grey, which no background and no shade of the figure is.
    PixelBuffer bounded = MakePixelBuffer(160, 120, 0x808080);
    PixelBuffer whole = bounded;
    int wide = 0;
    for (int n = 0; n < 12; ++n) {
        ProjectFrame();
        const FrameGeometry frame = PlanFrame();
        RebasePoints(frame);
        wide += frame.width > 20 * 160 ? 1 : 0;
        EXPECT_LE(frame.shownWidth, 160);
        EXPECT_LE(frame.shownHeight, 120);
        DrawSoftwareFrame(frame, bounded, nullptr);
        // The same frame on a bitmap of the whole rectangle, new and so
        // black, or over the window's pixels.
        PixelBuffer bitmap = MakePixelBuffer(frame.width, frame.height, 0);
        if (GetParam().trails) CopyPixels(bitmap, 0, 0, whole, frame.left, frame.top, frame.width, frame.height);
        SoftwareSurface surface(bitmap);
        DrawSolids(surface);
        CopyPixels(whole, frame.left, frame.top, bitmap, 0, 0, frame.width, frame.height);
        ASSERT_EQ(bounded.bytes, whole.bytes) << "frame " << n + 1;
        AdvanceAnimation(frame);
    }
    EXPECT_GT(wide, 0) << "no frame was many windows wide";
    EXPECT_NE(bounded.bytes, MakePixelBuffer(160, 120, 0x808080).bytes) << "something was drawn";
}

INSTANTIATE_TEST_SUITE_P(Backgrounds, BoundedFrame,
                         testing::Values(BackgroundCase{"Trails", 0, 1, true}, BackgroundCase{"Black", 1, 0, false},
                                         BackgroundCase{"DesktopWithoutCopy", 0, 0, false}),
                         [](const testing::TestParamInfo<BackgroundCase>& info) { return info.param.name; });

}  // namespace
