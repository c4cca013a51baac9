// The frame compositor's portable steps: the covering rectangle of this
// frame and the last, the rebasing of the points into its bitmap, the slot
// order, and the animation step that follows the transfer. The Windows side
// (render/win32/ComposeFrame.cpp) makes the device contexts and the bitmap
// and calls these in order.
#pragma once

#include "render/DrawingSurface.h"
#include "scene/SceneRecords.h"

struct FrameGeometry {
    Extent current;      // this frame's extremes, relative to the scene centre
    Extent cover;        // covering rectangle of this frame and the last, limited
    int offX, offY;      // the scene centre in bitmap pixels (outside it when the figure lies off-centre)
    int width, height;   // bitmap size
    int left, top;       // bitmap position in the window
    // The part of the bitmap that lies inside the window, in bitmap pixels:
    // only this part is made and drawn (through a ShiftedSurface), since
    // nothing outside it reaches the window. Its size is 0 x 0 when the
    // bitmap misses the window.
    int shownX, shownY;
    int shownWidth, shownHeight;
};

// Where a frame's background comes from.
enum class FrameBackground {
    DesktopCopy,  // the desktop captured at start (BKMODE 0, no trails)
    Black,        // filled black (BKMODE 1, no trails)
    Screen,       // the window's own pixels, so earlier frames stay as trails
};

// Extremes of px, py over every vertex of slots 1..N, starting from vertex 1
// of slot 1.
Extent CurrentExtremes();

// Takes this frame's extremes, moves prevExtent into this frame's terms,
// and works out the covering rectangle, the bitmap's size and place, and
// its part inside the window.
FrameGeometry PlanFrame();

// Moves px, py of slots 1..N into the bitmap (x shifted, y flipped), pinned
// to 0..width and 0..height.
void RebasePoints(const FrameGeometry& frame);

FrameBackground ChooseBackground();

// Fills width x height black with a polygon, as the black background does.
void FillBlack(DrawingSurface& surface, int width, int height);

// The slot numbers in drawing order for the scene angle: N..1 below 180
// degrees (higher slots are farther), 1..N from 180 on. Returns the count.
int SlotDrawOrder(int order[kMaxSlots]);

// Every shown slot's walls, then every shown slot's end face.
void DrawSolids(DrawingSurface& surface);

// After the transfer: advances every angle, moves and bounces the group in
// moving mode, and keeps this frame's extremes for the next frame.
void AdvanceAnimation(const FrameGeometry& frame);
