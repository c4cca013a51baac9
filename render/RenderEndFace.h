// The end face renderer: the face of a slot's solid that faces the viewer,
// all contours filled together by the even-odd rule so inner contours are
// holes, then every contour traced in black.
#pragma once

#include "render/DrawingSurface.h"

// Draws slot currentSlot's visible end face, as RenderSolid decided it this
// frame: the front face when it shows, otherwise the back face, otherwise
// nothing.
void RenderEndFace(DrawingSurface& surface);
