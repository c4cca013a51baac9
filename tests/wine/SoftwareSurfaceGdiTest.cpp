// The software surface against GDI itself: the same calls are made on a
// 24-bit DIB section through GdiSurface and on a PixelBuffer through
// SoftwareSurface, in the same process, and the two pictures must agree
// pixel for pixel. First primitives that probe each pixel rule, then whole
// runs of frames of the shipped glyphs through the real renderers.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "render/FrameCompositor.h"
#include "render/SoftwareFrame.h"
#include "render/SoftwareSurface.h"
#include "render/win32/DrawGdiFrame.h"
#include "render/win32/GdiSurface.h"
#include "scene/ProjectFrame.h"
#include "scene/SetupScene.h"
#include "settings/GlyphDefinition.h"
#include "settings/Settings.h"
#include "tests/support/win32/TopDownDib.h"

namespace {

// A 24-bit top-down DIB section in a memory DC; its rows are laid out as a
// PixelBuffer's, so the two compare byte for byte.
class Dib {
public:
    explicit Dib(const PixelBuffer& start) : width_(start.width), height_(start.height) {
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateTopDownDib(dc_, width_, height_, 24, reinterpret_cast<void**>(&bits_));
        previous_ = SelectObject(dc_, bitmap_);
        std::memcpy(bits_, start.bytes.data(), start.bytes.size());
    }
    ~Dib() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Dib(const Dib&) = delete;
    Dib& operator=(const Dib&) = delete;
    HDC dc() const { return dc_; }
    PixelBuffer Pixels() const {
        GdiFlush();
        PixelBuffer copy = MakePixelBuffer(width_, height_, 0);
        std::memcpy(copy.bytes.data(), bits_, copy.bytes.size());
        return copy;
    }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    std::uint8_t* bits_ = nullptr;
};

// The pixels where the two pictures differ, the first few spelled out.
std::string Differences(const PixelBuffer& gdi, const PixelBuffer& soft) {
    std::string text;
    int count = 0;
    for (int y = 0; y < gdi.height; ++y)
        for (int x = 0; x < gdi.width; ++x) {
            if (PixelAt(gdi, x, y) == PixelAt(soft, x, y)) continue;
            if (++count <= 8) {
                char line[80];
                std::snprintf(line, sizeof line, " (%d,%d) GDI %06X software %06X;", x, y,
                              static_cast<unsigned>(PixelAt(gdi, x, y)), static_cast<unsigned>(PixelAt(soft, x, y)));
                text += line;
            }
        }
    return count == 0 ? std::string() : std::to_string(count) + " pixels differ:" + text;
}

constexpr ColourRef kGreen = 0x00FF00;

// Draws the same calls on both sides of a width x height picture on green.
std::string DrawBoth(int width, int height, const std::function<void(DrawingSurface&)>& draw) {
    PixelBuffer soft = MakePixelBuffer(width, height, kGreen);
    Dib dib(soft);
    GdiSurface gdi(dib.dc());
    draw(gdi);
    SoftwareSurface software(soft);
    draw(software);
    return Differences(dib.Pixels(), soft);
}

// A brush and a pen selected for the lifetime of a case.
struct Tools {
    Tools(DrawingSurface& surface, ColourRef brushColour, ColourRef penColour)
        : brush(surface, surface.CreateSolidBrush(brushColour)),
          pen(surface, surface.CreatePen(kPenSolid, 1, penColour)),
          brushIn(surface, brush.get()),
          penIn(surface, pen.get()) {}
    OwnedObject brush, pen;
    SelectedObject brushIn, penIn;
};

// A fixed pseudo-random sequence, the same on every run.
struct Sequence {
    unsigned state = 12345;
    int Next(int below) {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % static_cast<unsigned>(below));
    }
};

TEST(SoftwareSurface, LinesInEveryOctantAndLengthMatchGdi) {
    // Every end point on the square rings of radius 0..12 about the start:
    // all eight octants, the axes, the diagonals and every halfway tie.
    for (int r = 0; r <= 12; ++r)
        for (int ex = -r; ex <= r; ++ex)
            for (int ey = -r; ey <= r; ++ey) {
                if (std::max(std::abs(ex), std::abs(ey)) != r) continue;
                EXPECT_EQ(DrawBoth(32, 32,
                                   [&](DrawingSurface& s) {
                                       Tools tools(s, 0xFFFFFF, 0xFF0000);
                                       s.MoveToEx(16, 16);
                                       s.LineTo(16 + ex, 16 + ey);
                                   }),
                          "")
                    << "line to (" << ex << ", " << ey << ")";
            }
}

TEST(SoftwareSurface, LinesThroughAndAlongTheEdgesMatchGdi) {
    // Points pinned to 0..width and 0..height, as the compositor leaves them,
    // and lines that leave the picture on either side.
    const SurfacePoint ends[][2] = {{{0, 0}, {40, 30}},   {{40, 30}, {0, 0}},  {{0, 30}, {40, 0}},
                                    {{40, 0}, {40, 30}},  {{0, 30}, {40, 30}}, {{-7, 3}, {47, 22}},
                                    {{39, -20}, {2, 55}}, {{40, 30}, {40, 30}}, {{-3, -3}, {17, 37}}};
    for (const auto& end : ends)
        EXPECT_EQ(DrawBoth(40, 30,
                           [&](DrawingSurface& s) {
                               Tools tools(s, 0xFFFFFF, 0x0000FF);
                               s.MoveToEx(end[0].x, end[0].y);
                               s.LineTo(end[1].x, end[1].y);
                           }),
                  "")
            << "line (" << end[0].x << ", " << end[0].y << ") to (" << end[1].x << ", " << end[1].y << ")";
}

TEST(SoftwareSurface, PolygonsUnderBothFillModesWithAndWithoutAnOutlineMatchGdi) {
    Sequence random;
    for (int t = 0; t < 400; ++t) {
        SurfacePoint points[8];
        const int count = 2 + random.Next(7);
        // Some fall outside the picture, some repeat or line up.
        for (int i = 0; i < count; ++i) points[i] = {random.Next(40) - 5, random.Next(36) - 3};
        if (t % 7 == 0) points[count - 1] = points[0];
        const int mode = t % 2 == 0 ? kFillAlternate : kFillWinding;
        // A pen in the brush's colour shows the fill together with the
        // outline; a different colour shows where one ends.
        const ColourRef pen = t % 3 == 0 ? 0xFF0000 : 0x0000FF;
        EXPECT_EQ(DrawBoth(30, 30,
                           [&](DrawingSurface& s) {
                               Tools tools(s, 0x0000FF, pen);
                               s.SetPolyFillMode(mode);
                               s.Polygon(points, count);
                           }),
                  "")
            << "polygon " << t << " of " << count << " points, fill mode " << mode;
    }
}

TEST(SoftwareSurface, TrianglesSharingEdgesMatchGdi) {
    // A fan of triangles about one point, each in its own colour: every
    // shared edge belongs to exactly one side, the same one as in GDI.
    const SurfacePoint centre = {17, 13};
    const SurfacePoint rim[] = {{1, 1}, {14, 0}, {33, 2}, {34, 15}, {31, 28}, {12, 29}, {0, 20}, {3, 9}};
    for (bool outlined : {false, true})
        EXPECT_EQ(DrawBoth(36, 32,
                           [&](DrawingSurface& s) {
                               for (int i = 0; i < 8; ++i) {
                                   const ColourRef colour = 0x1C1C1Cu * (i + 1);
                                   Tools tools(s, colour, outlined ? 0 : colour);
                                   const SurfacePoint triangle[3] = {centre, rim[i], rim[(i + 1) % 8]};
                                   s.Polygon(triangle, 3);
                               }
                           }),
                  "")
            << (outlined ? "outlined" : "plain");
}

TEST(SoftwareSurface, RegionsWithHolesAndOverlapsMatchGdi) {
    Sequence random;
    for (int t = 0; t < 300; ++t) {
        SurfacePoint points[24];
        int counts[4];
        const int contours = 1 + random.Next(4);
        int used = 0;
        for (int c = 0; c < contours; ++c) {
            counts[c] = 3 + random.Next(4);
            for (int i = 0; i < counts[c]; ++i) points[used++] = {random.Next(42) - 6, random.Next(42) - 6};
            // Closed as the end face closes each contour: the first point again.
            points[used] = points[used - counts[c]];
            ++used;
            ++counts[c];
        }
        EXPECT_EQ(DrawBoth(32, 32,
                           [&](DrawingSurface& s) {
                               Tools tools(s, 0xFF00FF, 0);
                               OwnedObject region(s, s.CreatePolyPolygonRgn(points, counts, contours, kFillAlternate));
                               s.PaintRgn(region.get());
                           }),
                  "")
            << "region " << t << " of " << contours << " contours";
    }
}

// The shipped glyphs, read from the shipped settings file.
bool ReadShippedGlyph(int number, ShownGlyph& glyph) {
    std::ifstream file(KORAVEL_SHIPPED_INI);
    const std::string key = "ZAHYO" + std::to_string(number) + "=";
    for (std::string line; std::getline(file, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(key, 0) != 0) continue;
        GlyphDefinition stored{};
        if (!ParseGlyphValue(std::string_view(line).substr(key.size()), stored)) return false;
        glyph = ShownGlyphOf(stored);
        return true;
    }
    return false;
}

struct Scene {
    const char* name;
    std::vector<int> glyphs;          // the glyph shown in slots 1, 2, ...
    std::function<void()> configure;  // other changes to the shipped defaults
};

constexpr int kWindowWidth = 480;
constexpr int kWindowHeight = 360;

// A desktop image with a different colour at every pixel, so that a copy
// from the wrong place shows.
PixelBuffer DesktopPicture() {
    PixelBuffer desktop = MakePixelBuffer(kWindowWidth, kWindowHeight, 0);
    for (int y = 0; y < kWindowHeight; ++y)
        for (int x = 0; x < kWindowWidth; ++x)
            FillSpan(desktop, y, x, x + 1, (x * 7 & 0xFF) | (y & 0xFF) << 8 | 0x400000);
    return desktop;
}

// The pixels in one of the shown slots' front, side or back shades.
int FigurePixels(const PixelBuffer& window) {
    std::vector<ColourRef> shades;
    for (int slot = 1; slot <= settings.OPTIONN; ++slot)
        for (const Rgb& shade : {characterSlots[slot].faceColors.front, characterSlots[slot].faceColors.side,
                                 characterSlots[slot].faceColors.back})
            shades.push_back(ToColourRef(shade));
    int count = 0;
    for (int y = 0; y < window.height; ++y)
        for (int x = 0; x < window.width; ++x)
            count += std::find(shades.begin(), shades.end(), PixelAt(window, x, y)) != shades.end();
    return count;
}

// Runs the scene for `frames` frames; each frame is drawn both by GDI
// (the compositor's drawing, into DIB sections) and by the software frame,
// and the windows must agree after every frame.
void RunScene(const Scene& scene, int frames) {
    std::memset(&settings, 0, sizeof settings);
    std::memset(&sceneState, 0, sizeof sceneState);
    std::memset(characterSlots, 0, sizeof characterSlots);
    for (const SettingDescriptor& row : settingTable) settings.*row.field = row.defaultValue;
    scene.configure();
    std::int32_t* glyphNumber[kMaxSlots] = {&settings.OPTIONA1, &settings.OPTIONA2, &settings.OPTIONA3,
                                            &settings.OPTIONA4, &settings.OPTIONA5, &settings.OPTIONA6,
                                            &settings.OPTIONA7, &settings.OPTIONA8, &settings.OPTIONA9};
    settings.OPTIONN = static_cast<int>(scene.glyphs.size());
    for (int slot = 1; slot <= settings.OPTIONN; ++slot) {
        *glyphNumber[slot - 1] = scene.glyphs[slot - 1];
        ASSERT_TRUE(ReadShippedGlyph(scene.glyphs[slot - 1], characterSlots[slot].glyph))
            << scene.name << ": glyph " << scene.glyphs[slot - 1];
    }
    sceneState.clientWidth = kWindowWidth;
    sceneState.clientHeight = kWindowHeight;
    SetupScene();

    const PixelBuffer desktop = DesktopPicture();
    PixelBuffer softWindow = MakePixelBuffer(kWindowWidth, kWindowHeight, 0x808080);
    Dib gdiWindow(softWindow);
    Dib gdiDesktop(desktop);
    for (int n = 0; n < frames; ++n) {
        ProjectFrame();
        const FrameGeometry frame = PlanFrame();
        RebasePoints(frame);
        {
            // Only the bitmap's part inside the window, as the compositor makes it.
            Dib bitmap(MakePixelBuffer(frame.shownWidth, frame.shownHeight, 0));
            DrawGdiFrame(frame, gdiWindow.dc(), bitmap.dc(), gdiDesktop.dc());
        }
        DrawSoftwareFrame(frame, softWindow, &desktop);
        const std::string differences = Differences(gdiWindow.Pixels(), softWindow);
        ASSERT_EQ(differences, "") << scene.name << ", frame " << n + 1 << " (" << frame.width << " x "
                                   << frame.height << " at " << frame.left << ", " << frame.top << ")";
        AdvanceAnimation(frame);
    }
    // Equal pictures prove nothing unless the figure was drawn: pixels in
    // the shown slots' own shades, which no background holds.
    EXPECT_GE(FigurePixels(softWindow), 100) << scene.name;
}

TEST(SoftwareSurface, WholeFramesOfTheShippedGlyphsMatchGdi) {
    const Scene scenes[] = {
        {"shipped defaults", {22, 5}, [] {}},
        {"one square, face on", {1}, [] { settings.VIEW = 0; }},
        {"circle and its neighbours", {2, 3, 4}, [] {}},
        {"glyphs 5 to 9", {5, 6, 7, 8, 9}, [] {}},
        {"glyphs 10 to 14, tilted", {10, 11, 12, 13, 14}, [] { settings.VIEW = 6; }},
        {"glyphs 15 to 19, no tilt", {15, 16, 17, 18, 19}, [] { settings.VIEW = 0; }},
        {"glyphs 20 to 24, strong perspective", {20, 21, 22, 23, 24}, [] { settings.ENKIN = 30; }},
        {"glyphs 25 to 29, flat projection", {25, 26, 27, 28, 29}, [] { settings.ENKIN = 0; }},
        {"glyphs 30 to 34, own spin",
         {30, 31, 32, 33, 34},
         [] {
             settings.ZKAITEN1 = 1;
             settings.ZKAITEN3 = 1;
             settings.ZKAITEN5 = 1;
             settings.STEPRAG3 = 13;
         }},
        {"glyphs 35 to 39, each about its centre", {35, 36, 37, 38, 39}, [] { settings.SIZES = 0; }},
        {"glyphs 40 to 44, moving",
         {40, 41, 42, 43, 44},
         [] {
             settings.OPTIONP = 2;
             settings.SIZE = 5;
             settings.SIZEY = 5;
         }},
        {"glyphs 45 to 49, trails", {45, 46, 47, 48, 49}, [] { settings.ZANZOU = 1; }},
        {"glyphs 50 to 54, desktop behind", {50, 51, 52, 53, 54}, [] { settings.BKMODE = 0; }},
        {"glyphs 55 to 59, thick", {55, 56, 57, 58, 59}, [] { settings.HABA = 30; }},
        {"glyphs 60 to 64, thin", {60, 61, 62, 63, 64}, [] { settings.HABA = 2; }},
        {"glyphs 65 to 72, every colour",
         {65, 66, 67, 68, 69, 70, 71, 72},
         [] {
             settings.OPTIONC8 = 7;
             settings.SIZE = 5;
             settings.SIZEY = 5;
             settings.OPTIONC1 = 1;
             settings.OPTIONC2 = 2;
             settings.OPTIONC3 = 4;
             settings.OPTIONC4 = 5;
             settings.OPTIONC5 = 6;
             settings.COLORS = 1;
         }},
        {"glyphs 73 to 77, seventh colour", {73, 74, 75, 76, 77}, [] { settings.COLOR = 7; }},
        {"nine slots, small, moving with trails",
         {22, 5, 3, 4, 5, 6, 7, 8, 9},
         [] {
             settings.SIZE = 3;
             settings.SIZEY = 3;
             settings.OPTIONP = 2;
             settings.ZANZOU = 1;
         }},
        {"large, beyond the window", {22, 5, 3, 4}, [] { settings.SIZE = 25; settings.SIZEY = 25; }},
        // Edge-on in strong perspective the near end is projected far out:
        // covering rectangles many windows wide, of which only the part
        // inside the window is made.
        {"nine slots, strong perspective, far wider than the window",
         {22, 5, 3, 4, 5, 6, 7, 8, 9},
         [] { settings.SIZE = 10; settings.SIZEY = 10; settings.ENKIN = 30; }},
        {"slow turn near edge-on", {22, 5}, [] { settings.STEPRAG = 1; settings.VIEW = 1; }},
        {"fast turn, tall glyphs", {22, 5, 12}, [] { settings.STEPRAG = 23; settings.SIZEY = 20; }},
        {"moving, desktop behind, own spin",
         {22, 5},
         [] {
             settings.OPTIONP = 2;
             settings.BKMODE = 0;
             settings.ZKAITEN1 = 1;
             settings.ZKAITEN2 = 1;
             settings.SIZE = 6;
             settings.SIZEY = 6;
             settings.SIZEIDO = 17;
         }},
    };
    for (const Scene& scene : scenes) RunScene(scene, 40);
}

}  // namespace
