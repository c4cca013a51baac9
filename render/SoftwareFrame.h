// The drawing half of a frame without a device context: the covering
// rectangle is built in a pixel buffer over its background, the solids are
// drawn into it by the software surface, and it is copied into the window's
// pixels in one transfer, exactly as ComposeFrame does with GDI.
#pragma once

#include "render/FrameCompositor.h"
#include "render/PixelBuffer.h"

// Draws the frame planned in `frame` (points already rebased) into `window`.
// `desktopCopy` is the desktop captured at start; with no copy that
// background is left black.
void DrawSoftwareFrame(const FrameGeometry& frame, PixelBuffer& window, const PixelBuffer* desktopCopy);
