#include "render/SoftwareFrame.h"

#include "render/SoftwareSurface.h"

void DrawSoftwareFrame(const FrameGeometry& frame, PixelBuffer& window, const PixelBuffer* desktopCopy) {
    // A new bitmap's pixels are black, as a compatible bitmap's are.
    PixelBuffer bitmap = MakePixelBuffer(frame.width, frame.height, 0);
    SoftwareSurface surface(bitmap);
    switch (ChooseBackground()) {
    case FrameBackground::DesktopCopy:
        if (desktopCopy != nullptr)
            CopyPixels(bitmap, 0, 0, *desktopCopy, frame.left, frame.top, frame.width, frame.height);
        break;
    case FrameBackground::Black:
        FillBlack(surface, frame.width, frame.height);
        break;
    case FrameBackground::Screen:
        CopyPixels(bitmap, 0, 0, window, frame.left, frame.top, frame.width, frame.height);
        break;
    }
    DrawSolids(surface);
    CopyPixels(window, frame.left, frame.top, bitmap, 0, 0, frame.width, frame.height);
}
