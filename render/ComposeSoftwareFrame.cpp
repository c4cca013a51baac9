#include "render/ComposeSoftwareFrame.h"

#include "render/SoftwareSurface.h"
#include "scene/ProjectFrame.h"

FrameGeometry ComposeSoftwareFrame(PixelBuffer& window, const PixelBuffer* desktopCopy) {
    ProjectFrame();
    const FrameGeometry frame = PlanFrame();
    RebasePoints(frame);

    // A fresh bitmap is black, as a compatible bitmap is when a background
    // copy has nothing to give.
    PixelBuffer bitmap = MakePixelBuffer(frame.width, frame.height, 0);
    {
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
    }
    CopyPixels(window, frame.left, frame.top, bitmap, 0, 0, frame.width, frame.height);

    AdvanceAnimation(frame);
    return frame;
}
