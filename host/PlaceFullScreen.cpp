#include "host/PlaceFullScreen.h"

bool NeedsScreenClipBox(const ScreenArea& virtualScreen) {
    return virtualScreen.width <= 0 || virtualScreen.height <= 0;
}

ScreenArea AreaOfBox(int left, int top, int right, int bottom) {
    return ScreenArea{left, top, right - left, bottom - top};
}

FullScreenPlacement PlaceFullScreen(const ScreenArea& virtualScreen, const ScreenArea& screenClipBox) {
    FullScreenPlacement placement;
    placement.window = NeedsScreenClipBox(virtualScreen) ? screenClipBox : virtualScreen;
    placement.desktopSourceX = placement.window.x;
    placement.desktopSourceY = placement.window.y;
    return placement;
}
