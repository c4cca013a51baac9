// The desktop image captured when the saver window was created, the
// background of every frame when BKMODE is 0 and ZANZOU is 0. The saver
// window creates and frees it; the frame compositor reads it.
#pragma once

#include <windows.h>

extern HDC desktopCopyDC;
extern HBITMAP desktopCopyBitmap;

// Where on the display the copy starts: the full-screen window's top-left
// corner, which is the virtual screen's and lies left of or above (0, 0)
// when a monitor does. A preview copies from the display's origin.
extern POINT desktopCopySource;
