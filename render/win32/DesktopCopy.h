// The desktop image captured when the saver window was created, the
// background of every frame when BKMODE is 0 and ZANZOU is 0. The saver
// window creates and frees it; the frame compositor reads it.
#pragma once

#include <windows.h>

extern HDC desktopCopyDC;
extern HBITMAP desktopCopyBitmap;
