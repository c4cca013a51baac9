// The renderers and the compositor on real GDI: known solids drawn into a
// DIB section with the pixels read back, and a long run of whole frames
// into a window that must give back every GDI object it makes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>

#include "render/ComposeFrame.h"
#include "render/RenderEndFace.h"
#include "render/RenderSolid.h"
#include "render/win32/DesktopCopy.h"
#include "render/win32/GdiSurface.h"
#include "scene/SetupScene.h"
#include "settings/Settings.h"
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
    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kSize;
        info.bmiHeader.biHeight = -kSize;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        for (int i = 0; i < kSize * kSize; ++i) bits_[i] = kBackground;
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    std::uint32_t Pixel(int x, int y) const {
        GdiFlush();
        return bits_[y * kSize + x] & 0xFFFFFF;
    }

private:
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
    GlyphDefinition& g = characterSlots[slot].glyph;
    std::memset(&g, 0, sizeof g);
    const int x[8] = {-30, 30, 30, -30, -15, 15, 15, -15};
    const int y[8] = {-40, -40, 40, 40, -20, -20, 20, 20};
    for (int i = 0; i < 8; ++i) g.pointX[i + 1] = x[i], g.pointY[i + 1] = y[i];
    g.pointCount = 8;
    g.contourCount = 2;
    g.contourFirst[1] = 1, g.contourLast[1] = 4;
    g.contourFirst[2] = 5, g.contourLast[2] = 8;
    g.holeStart[1] = 5;
}

TEST(RenderGdi, TenThousandFramesGiveBackEveryObjectTheyMake) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "KoravelFrameSoak";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, "KoravelFrameSoak", "soak", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr,
                                  instance, nullptr);
    ASSERT_NE(window, nullptr);

    std::memset(&settings, 0, sizeof settings);
    std::memset(&sceneState, 0, sizeof sceneState);
    std::memset(characterSlots, 0, sizeof characterSlots);
    for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
    settings.OPTIONN = 2;
    settings.OPTIONP = 2;
    settings.SIZE = 10;
    settings.SIZEY = 10;
    settings.STEPRAG = 7;
    settings.STEPRAG1 = 5;
    settings.ENKIN = 15;
    settings.VIEW = 3;
    LoadBox(1);
    LoadBox(2);
    sceneState.clientWidth = 320;
    sceneState.clientHeight = 240;
    SetupScene();

    HDC screen = GetDC(window);
    desktopCopyDC = CreateCompatibleDC(screen);
    desktopCopyBitmap = CreateCompatibleBitmap(screen, 320, 240);
    SelectObject(desktopCopyDC, desktopCopyBitmap);
    ReleaseDC(window, screen);

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

    DeleteDC(desktopCopyDC);
    DeleteObject(desktopCopyBitmap);
    desktopCopyDC = nullptr;
    desktopCopyBitmap = nullptr;
    DestroyWindow(window);
}

}  // namespace
