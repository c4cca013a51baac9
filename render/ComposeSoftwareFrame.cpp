#include "render/ComposeSoftwareFrame.h"

#include "render/SoftwareFrame.h"
#include "scene/ProjectFrame.h"

FrameGeometry ComposeSoftwareFrame(PixelBuffer& window, const PixelBuffer* desktopCopy) {
    ProjectFrame();
    const FrameGeometry frame = PlanFrame();
    RebasePoints(frame);
    DrawSoftwareFrame(frame, window, desktopCopy);
    AdvanceAnimation(frame);
    return frame;
}
