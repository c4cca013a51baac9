// The renderers and the compositor on real GDI: known solids drawn into a
// DIB section with the pixels read back, whole frames drawn into a window
// and read back from it, and a long run of frames that must give back every
// GDI object they make.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "render/ComposeFrame.h"
#include "render/FrameCompositor.h"
#include "render/RenderEndFace.h"
#include "render/RenderSolid.h"
#include "render/win32/DesktopCopy.h"
#include "render/win32/GdiSurface.h"
#include "scene/ProjectFrame.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"
#include "tests/support/win32/TopDownDib.h"
#include "unit/RenderTestScene.h"

namespace {

using rendertest::BuildSlot;
using rendertest::Project;
using rendertest::View;

constexpr int kSize = 200;
constexpr std::uint32_t kBackground = 0x00FF00;  // green, as 0xRRGGBB in the DIB

// A 32-bit top-down DIB section selected into a memory DC, filled with the
// background colour.
class Canvas {
public:
    explicit Canvas(int width = kSize, int height = kSize) : width_(width) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateTopDownDib(dc_, width, height, 32, reinterpret_cast<void**>(&bits_));
        previous_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < width * height; ++i) bits_[i] = kBackground;
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    std::uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return bits_[y * width_ + x] & 0xFFFFFF;
    }
    void Put(int x, int y, std::uint32_t colour) { bits_[y * width_ + x] = colour; }

private:
    int width_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    std::uint32_t* bits_ = nullptr;
};

void DrawSlot(Canvas& canvas, int slot) {
    GdiSurface surface(canvas.dc());
    sceneState.currentSlot = slot;
    RenderSolid(surface);
    RenderEndFace(surface);
}

const ProjectedPoint& Vertex(int slot, int j) { return characterSlots[slot].projected.vertex[j]; }

TEST(RenderGdi, TheFrontFaceWithItsHoleAndBlackOutline) {
    Canvas canvas;
    BuildSlot(1, {rendertest::BoxOutline(), rendertest::BoxHole()}, {2});
    Project(1, View{.perspective = 0.005, .originX = 100, .originY = 100});
    DrawSlot(canvas, 1);

    EXPECT_EQ(canvas.Pixel(100 + 24, 100), 0xFF0000u) << "front shade between the outline and the hole";
    EXPECT_EQ(canvas.Pixel(100, 100), kBackground) << "the hole shows what lies beneath";
    // Through the hole, the hole's right inner wall lies between the hole's
    // back edge (farther, smaller) and its front edge.
    int inner = (Vertex(1, 13).px + Vertex(1, 5).px) / 2;
    ASSERT_LT(Vertex(1, 13).px + 1, inner);
    EXPECT_EQ(canvas.Pixel(inner, 100), 0xC00000u) << "side shade of the inner wall";
    // The outer contour's top edge runs from front point 4 to front point 1.
    EXPECT_EQ(canvas.Pixel(100, Vertex(1, 1).py), 0x000000u) << "black outline";
    EXPECT_EQ(canvas.Pixel(100, Vertex(1, 1).py - 2), kBackground) << "nothing outside the solid";
}

TEST(RenderGdi, TheBackFaceFromBehindInTheHalfShade) {
    Canvas canvas;
    BuildSlot(1, {rendertest::BoxOutline(), rendertest::BoxHole()}, {2});
    Project(1, View{.turn = 180, .perspective = 0.005, .originX = 100, .originY = 100});
    DrawSlot(canvas, 1);
    EXPECT_EQ(characterSlots[1].faceVisibility.back, 1);
    EXPECT_EQ(canvas.Pixel(100 + 24, 100), 0x800000u);
    EXPECT_EQ(canvas.Pixel(100, 100), kBackground);
}

TEST(RenderGdi, ATurnedBoxShowsItsNearSideWall) {
    Canvas canvas;
    BuildSlot(1, {rendertest::BoxOutline()});
    Project(1, View{.turn = 30, .perspective = 0.002, .originX = 100, .originY = 100});
    DrawSlot(canvas, 1);
    // Quad 3 is the left wall: corners back 4, back 3, front 3, front 4.
    const SideQuad& left = characterSlots[1].sideQuad[3];
    int x = 0, y = 0;
    for (int corner : left.corner) {
        x += Vertex(1, corner).px;
        y += Vertex(1, corner).py;
    }
    EXPECT_EQ(canvas.Pixel(x / 4, y / 4), 0xC00000u);
    // Right of the front face nothing is drawn: the right wall faces away.
    EXPECT_EQ(canvas.Pixel(Vertex(1, 1).px + 3, 100), kBackground);
}

// A glyph in design units, as LoadGlyphs leaves it.
void LoadBox(int slot) {
    ShownGlyph& g = characterSlots[slot].glyph;
    std::memset(&g, 0, sizeof g);
    const int x[8] = {-30, 30, 30, -30, -15, 15, 15, -15};
    const int y[8] = {-40, -40, 40, 40, -20, -20, 20, 20};
    for (int i = 0; i < 8; ++i) g.pointX[i + 1] = x[i], g.pointY[i + 1] = y[i];
    g.pointCount = 8;
    g.contourCount = 2;
    g.contourFirst[1] = 1, g.contourLast[1] = 4;
    g.contourFirst[2] = 5, g.contourLast[2] = 8;
    g.holeFlag[2] = 1;
}

HWND MakeWindow(bool shown) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KoravelFrameTest";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "KoravelFrameTest", "frames", WS_POPUP | (shown ? WS_VISIBLE : 0), 0, 0, 320,
                                  240, nullptr, nullptr, instance, nullptr);
    if (shown) UpdateWindow(window);
    return window;
}

// Every setting at its default, the scene records cleared.
void ResetScene() {
    std::memset(&settings, 0, sizeof settings);
    std::memset(&sceneState, 0, sizeof sceneState);
    std::memset(characterSlots, 0, sizeof characterSlots);
    for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
    sceneState.clientWidth = 320;
    sceneState.clientHeight = 240;
}

// Two boxes in a 320 x 240 window, through the real scene setup; in moving
// mode with a viewing tilt, or standing still at the centre.
void SetUpTwoBoxes(bool moving) {
    ResetScene();
    settings.OPTIONN = 2;
    settings.SIZE = 10;
    settings.SIZEY = 10;
    settings.STEPRAG = 7;
    settings.STEPRAG1 = 5;
    settings.ENKIN = 15;
    settings.COLOR = 1;
    settings.OPTIONP = moving ? 2 : 1;
    settings.VIEW = moving ? 3 : 0;
    LoadBox(1);
    LoadBox(2);
    SetupScene();
}

// One rectangular glyph in design units, alone in a 320 x 240 window over
// black, without a viewing tilt: turning in place, or moving without a turn.
void SetUpOneBar(int left, int bottom, int right, int top, int size, bool moving) {
    ResetScene();
    ShownGlyph& g = characterSlots[1].glyph;
    const int x[4] = {left, right, right, left};
    const int y[4] = {top, top, bottom, bottom};
    for (int i = 0; i < 4; ++i) g.pointX[i + 1] = x[i], g.pointY[i + 1] = y[i];
    g.pointCount = 4;
    g.contourCount = 1;
    g.contourFirst[1] = 1, g.contourLast[1] = 4;
    settings.OPTIONN = 1;
    settings.SIZE = size;
    settings.SIZEY = size;
    settings.VIEW = 0;
    settings.STEPRAG = moving ? 0 : 9;
    settings.OPTIONP = moving ? 2 : 1;
    settings.BKMODE = 1;
    settings.ZANZOU = 0;
    SetupScene();
}

// Colours that differ from pixel to pixel, one set for the desktop copy and
// one for the window, so a copy taken from the wrong place shows. Their blue
// is never 0, so none is black or a shade of a red solid.
std::uint32_t DesktopPattern(int x, int y) { return (x & 0xFF) << 16 | (y & 0xFF) << 8 | (0x40 + (x >> 8)); }
std::uint32_t WindowPattern(int x, int y) { return DesktopPattern(x, y) + 0x80; }

// A 320 x 240 canvas painted pixel by pixel.
struct WindowSizedCanvas : Canvas {
    explicit WindowSizedCanvas(std::uint32_t (*pattern)(int, int)) : Canvas(320, 240) {
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 320; ++x) Put(x, y, pattern(x, y));
    }
};

void MakeDesktopCopy(HWND window) {
    HDC screen = GetDC(window);
    desktopCopyDC = CreateCompatibleDC(screen);
    desktopCopyBitmap = CreateCompatibleBitmap(screen, 320, 240);
    SelectObject(desktopCopyDC, desktopCopyBitmap);
    ReleaseDC(window, screen);
    WindowSizedCanvas desktop(DesktopPattern);
    BitBlt(desktopCopyDC, 0, 0, 320, 240, desktop.dc(), 0, 0, SRCCOPY);
}

void FreeDesktopCopy() {
    DeleteDC(desktopCopyDC);
    DeleteObject(desktopCopyBitmap);
    desktopCopyDC = nullptr;
    desktopCopyBitmap = nullptr;
}

void PaintWindow(HWND window, const Canvas& image) {
    HDC dc = GetDC(window);
    BitBlt(dc, 0, 0, 320, 240, image.dc(), 0, 0, SRCCOPY);
    ReleaseDC(window, dc);
}

// The window's pixels as they stand, as 0xRRGGBB.
struct WindowPixels : Canvas {
    explicit WindowPixels(HWND window) : Canvas(320, 240) {
        HDC dc = GetDC(window);
        BitBlt(this->dc(), 0, 0, 320, 240, dc, 0, 0, SRCCOPY);
        ReleaseDC(window, dc);
    }
};

TEST(RenderGdi, AFrameCoversItsRectangleOverTheChosenBackground) {
    HWND window = MakeWindow(true);
    ASSERT_NE(window, nullptr);
    SetUpTwoBoxes(false);
    MakeDesktopCopy(window);
    const WindowSizedCanvas earlier(WindowPattern);
    // The row of two boxes spans x -80..80 and y -40..40 (a little more in
    // perspective) about the window's centre (160, 120), so the frame's
    // rectangle starts well inside the window on both axes.
    PaintWindow(window, earlier);
    settings.BKMODE = 0;
    settings.ZANZOU = 0;
    ComposeFrame(window);
    WindowPixels shown(window);
    EXPECT_EQ(shown.Pixel(160, 120), DesktopPattern(160, 120)) << "the desktop copy between the two boxes";
    EXPECT_EQ(shown.Pixel(160 - 100 + 20, 120), 0xFF0000u) << "the first box's front face";
    EXPECT_EQ(shown.Pixel(5, 5), WindowPattern(5, 5)) << "outside the frame's rectangle nothing changes";

    PaintWindow(window, earlier);
    settings.BKMODE = 1;
    ComposeFrame(window);
    WindowPixels black(window);
    EXPECT_EQ(black.Pixel(160, 120), 0u) << "black background";
    EXPECT_EQ(black.Pixel(5, 5), WindowPattern(5, 5));

    PaintWindow(window, earlier);
    settings.ZANZOU = 1;
    ComposeFrame(window);
    EXPECT_EQ(WindowPixels(window).Pixel(160, 120), WindowPattern(160, 120)) << "trails keep what the screen shows";

    FreeDesktopCopy();
    DestroyWindow(window);
}

// Draws frames over black and checks after each that every lit pixel lies
// within this frame's figure, that is, nothing of an earlier frame is left.
void ExpectNothingLeftBehind(HWND window, int frames) {
    PaintWindow(window, WindowSizedCanvas([](int, int) { return 0u; }));
    for (int frame = 0; frame < frames; ++frame) {
        ProjectFrame();  // as the frame will see it
        const Extent e = CurrentExtremes();
        const int left = sceneState.scenePosX + e.minX, right = sceneState.scenePosX + e.maxX;
        const int top = sceneState.scenePosY - e.maxY, bottom = sceneState.scenePosY - e.minY;
        ComposeFrame(window);
        WindowPixels shown(window);
        int lit = 0, astray = 0;
        for (int y = 0; y < 240; ++y) {
            for (int x = 0; x < 320; ++x) {
                if (shown.Pixel(x, y) == 0) continue;
                ++lit;
                astray += x < left || x > right || y < top || y > bottom;
            }
        }
        EXPECT_GT(lit, 0) << "frame " << frame;
        EXPECT_EQ(astray, 0) << "frame " << frame;
        if (::testing::Test::HasFailure()) return;
    }
}

TEST(RenderGdi, AFigureOffTheSceneCentreLeavesNothingBehind) {
    HWND window = MakeWindow(true);
    ASSERT_NE(window, nullptr);

    // A slab below the centre, as "-" sits in its cell, turning in place.
    SetUpOneBar(-17, -16, 17, -1, 30, false);
    ProjectFrame();
    ASSERT_LT(CurrentExtremes().maxY, 0);
    ExpectNothingLeftBehind(window, 12);

    // A glyph drawn right of its cell centre, moving over the screen.
    SetUpOneBar(8, -20, 44, 20, 5, true);
    ProjectFrame();
    ASSERT_GT(CurrentExtremes().minX, 0);
    const int startX = sceneState.scenePosX, startY = sceneState.scenePosY;
    ExpectNothingLeftBehind(window, 12);
    EXPECT_NE(sceneState.scenePosX, startX);
    EXPECT_NE(sceneState.scenePosY, startY);

    DestroyWindow(window);
}

TEST(RenderGdi, TenThousandFramesGiveBackEveryObjectTheyMake) {
    HWND window = MakeWindow(false);
    ASSERT_NE(window, nullptr);
    SetUpTwoBoxes(true);
    MakeDesktopCopy(window);

    const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    const GdiTally before = gdiTally;
    const int backgrounds[3][2] = {{0, 0}, {1, 0}, {0, 1}};  // BKMODE, ZANZOU
    for (int frame = 0; frame < 10000; ++frame) {
        settings.BKMODE = backgrounds[frame / 1000 % 3][0];
        settings.ZANZOU = backgrounds[frame / 1000 % 3][1];
        ComposeFrame(window);
    }
    const long made = gdiTally.made - before.made;
    const long released = gdiTally.released - before.released;
    EXPECT_GT(made, 10000 * 3) << "every frame makes its contexts, its bitmap and its brushes and pens";
    EXPECT_EQ(made, released);
    EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
    EXPECT_NE(sceneState.globalAngle, 0);

    FreeDesktopCopy();
    DestroyWindow(window);
}

}  // namespace
