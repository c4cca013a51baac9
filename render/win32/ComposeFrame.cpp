// Placeholder until the frame compositor lands: no frame is drawn.
#include "render/ComposeFrame.h"
#include "render/win32/DesktopCopy.h"

HDC desktopCopyDC = nullptr;
HBITMAP desktopCopyBitmap = nullptr;

void ComposeFrame(platform::WindowHandle) {}
