// The drawing half of a frame with GDI, apart from the device contexts and
// the bitmap that ComposeFrame makes and gives back around it.
#pragma once

#include <windows.h>

#include "render/FrameCompositor.h"

// Draws the frame planned in `frame` (points already rebased): its
// background into `bitmapDC`, which holds the bitmap's part inside the
// window, frame.shownWidth x frame.shownHeight (from `desktopDC`, black, or
// the window's own pixels for trails), the solids over it, then the part
// into `windowDC` at its place in one transfer.
void DrawGdiFrame(const FrameGeometry& frame, HDC windowDC, HDC bitmapDC, HDC desktopDC);
