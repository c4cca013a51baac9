#include "render/SoftwareFrame.h"

#include "render/ShiftedSurface.h"
#include "render/SoftwareSurface.h"

void DrawSoftwareFrame(const FrameGeometry& frame, PixelBuffer& window, const PixelBuffer* desktopCopy) {
    // The frame's bitmap is built in place, in the window's own picture:
    // only its part inside the window could ever show, and the transfer
    // that would copy that part to the same place is then left out. Each
    // background covers the whole part, as it covers a new bitmap.
    const int width = frame.shownWidth, height = frame.shownHeight;
    const int left = frame.left + frame.shownX, top = frame.top + frame.shownY;
    SoftwareSurface surface(window, left, top, width, height);
    switch (ChooseBackground()) {
    case FrameBackground::DesktopCopy:
        // Without a copy, the black of a new bitmap.
        if (desktopCopy != nullptr)
            CopyPixels(window, left, top, *desktopCopy, left, top, width, height);
        else
            FillBlack(surface, width, height);
        break;
    case FrameBackground::Black:
        FillBlack(surface, width, height);
        break;
    case FrameBackground::Screen:
        // The window's own pixels, already in place.
        break;
    }
    ShiftedSurface shifted(surface, frame.shownX, frame.shownY);
    DrawSolids(shifted);
}
