// One animation frame drawn into pixels in memory instead of a window: the
// same steps as the Windows frame, with the window's picture held in a
// PixelBuffer that the host then shows or saves.
#pragma once

#include "render/FrameCompositor.h"
#include "render/PixelBuffer.h"

// Projects the scene, builds the covering rectangle of this frame and the
// last over its background (the desktop copy, black, or the window's own
// pixels for trails), draws the solids into it, copies it into `window` at
// its place, then advances the animation. A null `desktopCopy` gives a
// black background where the desktop would show. Returns the rectangle that
// changed, for the host to show.
FrameGeometry ComposeSoftwareFrame(PixelBuffer& window, const PixelBuffer* desktopCopy);
