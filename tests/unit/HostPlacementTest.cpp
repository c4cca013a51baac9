#include <gtest/gtest.h>

#include "host/PlaceFullScreen.h"

namespace {

// A monitor left of and above the primary: the virtual screen starts at
// negative coordinates, and the desktop copy must start there too, not at
// the primary's corner, or the desktop would show shifted behind the figure.
TEST(PlaceFullScreen, CoversTheVirtualScreenAndCopiesTheDesktopFromItsCorner) {
    const ScreenArea virtualScreen{-1280, -200, 1280 + 1920, 1280};
    const FullScreenPlacement placed = PlaceFullScreen(virtualScreen, ScreenArea{0, 0, 1920, 1080});
    EXPECT_EQ(placed.window.x, -1280);
    EXPECT_EQ(placed.window.y, -200);
    EXPECT_EQ(placed.window.width, 3200);
    EXPECT_EQ(placed.window.height, 1280);
    EXPECT_EQ(placed.desktopSourceX, -1280);
    EXPECT_EQ(placed.desktopSourceY, -200);
}

TEST(PlaceFullScreen, AnEmptyVirtualScreenFallsBackToTheClipBox) {
    EXPECT_FALSE(NeedsScreenClipBox(ScreenArea{0, 0, 1024, 768}));
    for (const ScreenArea empty : {ScreenArea{0, 0, 0, 768}, ScreenArea{0, 0, 1024, 0}, ScreenArea{5, 5, -3, 10}}) {
        EXPECT_TRUE(NeedsScreenClipBox(empty));
        const FullScreenPlacement placed = PlaceFullScreen(empty, AreaOfBox(-10, 20, 790, 620));
        EXPECT_EQ(placed.window.x, -10);
        EXPECT_EQ(placed.window.y, 20);
        EXPECT_EQ(placed.window.width, 800);
        EXPECT_EQ(placed.window.height, 600);
        EXPECT_EQ(placed.desktopSourceX, -10);
        EXPECT_EQ(placed.desktopSourceY, 20);
    }
}

}  // namespace
