// One animation frame: the covering rectangle of this frame and the last is
// built off screen over its background, the solids are drawn into it, and it
// is copied to the window in one transfer. Then the animation advances.
#include "render/ComposeFrame.h"

#include "render/FrameCompositor.h"
#include "render/ShiftedSurface.h"
#include "render/win32/DesktopCopy.h"
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
        // Only the bitmap's part inside the window is made: it sits at
        // (left, top) in the window and the solids are drawn shifted into it.
        FrameBitmap bitmap;
        MemoryDC memory;
        WindowDC screen(hwnd);
        const int width = frame.shownWidth, height = frame.shownHeight;
        const int left = frame.left + frame.shownX, top = frame.top + frame.shownY;
        bitmap.reset(CreateCompatibleBitmap(screen.get(), width, height));
        memory.reset(CreateCompatibleDC(screen.get()));
        SelectObject(memory.get(), bitmap.get());

        GdiSurface surface(memory.get());
        switch (ChooseBackground()) {
        case FrameBackground::DesktopCopy:
            BitBlt(memory.get(), 0, 0, width, height, desktopCopyDC, left, top, SRCCOPY);
            break;
        case FrameBackground::Black:
            FillBlack(surface, width, height);
            break;
        case FrameBackground::Screen:
            BitBlt(memory.get(), 0, 0, width, height, screen.get(), left, top, SRCCOPY);
            break;
        }
        ShiftedSurface shifted(surface, frame.shownX, frame.shownY);
        DrawSolids(shifted);
        BitBlt(screen.get(), left, top, width, height, memory.get(), 0, 0, SRCCOPY);
    }

    AdvanceAnimation(frame);
}
