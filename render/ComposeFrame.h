#pragma once

#include "platform/Platform.h"

// Draws one frame into `window` off screen, presents it in one transfer,
// then advances the angles and, in moving mode, the position.
void ComposeFrame(platform::WindowHandle window);
