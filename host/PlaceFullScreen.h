// Where the full-screen saver goes on a system of one or more monitors, as a
// function of what the system reports. RunSaverWindow (host/win32) reads
// the metrics and applies the result.
#pragma once

// A rectangle of the screen: its top-left corner and size, in physical
// pixels. Screen coordinates have the primary monitor's top-left corner at
// (0, 0), so a monitor left of or above it has negative coordinates.
struct ScreenArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct FullScreenPlacement {
    ScreenArea window;       // the saver window's rectangle
    int desktopSourceX = 0;  // where on the display the desktop copy starts:
    int desktopSourceY = 0;  // the window's own top-left corner
};

// The virtual screen (SM_XVIRTUALSCREEN, SM_YVIRTUALSCREEN,
// SM_CXVIRTUALSCREEN, SM_CYVIRTUALSCREEN) gives nothing to cover when its
// width or height is 0 or less; the screen's clip box is used instead.
bool NeedsScreenClipBox(const ScreenArea& virtualScreen);

// Turns a clip box (left, top, right, bottom) into an area.
ScreenArea AreaOfBox(int left, int top, int right, int bottom);

// The window covers the virtual screen, or the clip box where the virtual
// screen is empty. The desktop copy is taken from the same corner, so each
// desktop pixel shows behind the figure at its own place, also when the
// virtual screen starts left of or above the primary monitor.
FullScreenPlacement PlaceFullScreen(const ScreenArea& virtualScreen, const ScreenArea& screenClipBox);
