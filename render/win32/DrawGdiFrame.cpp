#include "render/win32/DrawGdiFrame.h"

#include "render/win32/GdiSurface.h"

void DrawGdiFrame(const FrameGeometry& frame, HDC windowDC, HDC bitmapDC, HDC desktopDC) {
    GdiSurface surface(bitmapDC);
    switch (ChooseBackground()) {
    case FrameBackground::DesktopCopy:
        BitBlt(bitmapDC, 0, 0, frame.width, frame.height, desktopDC, frame.left, frame.top, SRCCOPY);
        break;
    case FrameBackground::Black:
        FillBlack(surface, frame.width, frame.height);
        break;
    case FrameBackground::Screen:
        BitBlt(bitmapDC, 0, 0, frame.width, frame.height, windowDC, frame.left, frame.top, SRCCOPY);
        break;
    }
    DrawSolids(surface);
    BitBlt(windowDC, frame.left, frame.top, frame.width, frame.height, bitmapDC, 0, 0, SRCCOPY);
}
