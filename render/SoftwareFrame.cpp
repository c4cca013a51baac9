#include "render/SoftwareFrame.h"

#include "render/ShiftedSurface.h"
#include "render/SoftwareSurface.h"

void DrawSoftwareFrame(const FrameGeometry& frame, PixelBuffer& window, const PixelBuffer* desktopCopy) {
    // Only the bitmap's part inside the window is made; a new bitmap's
    // pixels are black, as a compatible bitmap's are.
    const int width = frame.shownWidth, height = frame.shownHeight;
    const int left = frame.left + frame.shownX, top = frame.top + frame.shownY;
    PixelBuffer bitmap = MakePixelBuffer(width, height, 0);
    SoftwareSurface surface(bitmap);
    switch (ChooseBackground()) {
    case FrameBackground::DesktopCopy:
        if (desktopCopy != nullptr) CopyPixels(bitmap, 0, 0, *desktopCopy, left, top, width, height);
        break;
    case FrameBackground::Black:
        // Black over the whole part, as over the whole bitmap.
        FillBlack(surface, width, height);
        break;
    case FrameBackground::Screen:
        CopyPixels(bitmap, 0, 0, window, left, top, width, height);
        break;
    }
    ShiftedSurface shifted(surface, frame.shownX, frame.shownY);
    DrawSolids(shifted);
    CopyPixels(window, left, top, bitmap, 0, 0, width, height);
}
