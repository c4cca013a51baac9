// One animation frame: the covering rectangle of this frame and the last is
// built off screen over its background, the solids are drawn into it, and it
// is copied to the window in one transfer. Then the animation advances.
#include "render/ComposeFrame.h"

#include "render/FrameCompositor.h"
#include "render/win32/DesktopCopy.h"
#include "render/win32/DrawGdiFrame.h"
#include "render/win32/GdiSurface.h"
#include "scene/ProjectFrame.h"

HDC desktopCopyDC = nullptr;
HBITMAP desktopCopyBitmap = nullptr;
POINT desktopCopySource = {0, 0};

namespace {

// The window's device context, released when the frame ends.
class WindowDC {
public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {
        if (dc_ != nullptr) ++gdiTally.made;
    }
    ~WindowDC() {
        if (dc_ != nullptr && ReleaseDC(window_, dc_) != 0) ++gdiTally.released;
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context, deleted when the frame ends.
class MemoryDC {
public:
    MemoryDC() = default;
    ~MemoryDC() {
        if (dc_ != nullptr && DeleteDC(dc_)) ++gdiTally.released;
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    void reset(HDC dc) {
        dc_ = dc;
        if (dc_ != nullptr) ++gdiTally.made;
    }
    HDC get() const { return dc_; }

private:
    HDC dc_ = nullptr;
};

// The frame's bitmap, deleted when the frame ends.
class FrameBitmap {
public:
    FrameBitmap() = default;
    ~FrameBitmap() {
        if (bitmap_ != nullptr && DeleteObject(bitmap_)) ++gdiTally.released;
    }
    FrameBitmap(const FrameBitmap&) = delete;
    FrameBitmap& operator=(const FrameBitmap&) = delete;
    void reset(HBITMAP bitmap) {
        bitmap_ = bitmap;
        if (bitmap_ != nullptr) ++gdiTally.made;
    }
    HBITMAP get() const { return bitmap_; }

private:
    HBITMAP bitmap_ = nullptr;
};

}  // namespace

void ComposeFrame(platform::WindowHandle window) {
    HWND hwnd = static_cast<HWND>(window);
    ProjectFrame();
    const FrameGeometry frame = PlanFrame();
    RebasePoints(frame);

    {
        // Declared so that they go in the order the frame gives them back:
        // the window's context first, then the memory context, then the
        // bitmap (which the memory context still holds until it is deleted).
        // Only the bitmap's part inside the window is made.
        FrameBitmap bitmap;
        MemoryDC memory;
        WindowDC screen(hwnd);
        bitmap.reset(CreateCompatibleBitmap(screen.get(), frame.shownWidth, frame.shownHeight));
        memory.reset(CreateCompatibleDC(screen.get()));
        SelectObject(memory.get(), bitmap.get());

        DrawGdiFrame(frame, screen.get(), memory.get(), desktopCopyDC);
    }

    AdvanceAnimation(frame);
}
