#include "render/win32/DrawGdiFrame.h"

#include "render/ShiftedSurface.h"
#include "render/win32/GdiSurface.h"

void DrawGdiFrame(const FrameGeometry& frame, HDC windowDC, HDC bitmapDC, HDC desktopDC) {
    // The bitmap holds only the covering rectangle's part inside the window,
    // which lies at (left, top) there; the solids are drawn shifted into it.
    const int width = frame.shownWidth, height = frame.shownHeight;
    const int left = frame.left + frame.shownX, top = frame.top + frame.shownY;
    GdiSurface surface(bitmapDC);
    switch (ChooseBackground()) {
    case FrameBackground::DesktopCopy:
        BitBlt(bitmapDC, 0, 0, width, height, desktopDC, left, top, SRCCOPY);
        break;
    case FrameBackground::Black:
        FillBlack(surface, width, height);
        break;
    case FrameBackground::Screen:
        BitBlt(bitmapDC, 0, 0, width, height, windowDC, left, top, SRCCOPY);
        break;
    }
    ShiftedSurface shifted(surface, frame.shownX, frame.shownY);
    DrawSolids(shifted);
    BitBlt(windowDC, left, top, width, height, bitmapDC, 0, 0, SRCCOPY);
}
