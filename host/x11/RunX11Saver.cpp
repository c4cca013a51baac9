// The saver on an X display: the same frames as on Windows, drawn into the
// window's pixels in memory and shown rectangle by rectangle, through
// shared memory when the server offers it.
#include <X11/Xlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <poll.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/x11/LinuxSaver.h"
#include "render/ComposeSoftwareFrame.h"
#include "scene/Random.h"
#include "settings/Settings.h"

namespace {

// X errors are expected where a window vanishes under us or a capture is
// refused; they are noted, never fatal.
int lastXError = 0;
int NoteXError(Display*, XErrorEvent* event) {
    lastXError = event->error_code;
    return 0;
}

long long NowMs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

int MaskShift(unsigned long mask) {
    int shift = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++shift;
    }
    return shift;
}

// The window's picture as the server shows it, in the window's visual.
class ScreenImage {
public:
    ScreenImage(Display* display, Window window, Visual* visual, int depth, int width, int height)
        : display_(display), window_(window) {
        gc_ = XCreateGC(display, window, 0, nullptr);
        if (XShmQueryExtension(display)) {
            image_ = XShmCreateImage(display, visual, depth, ZPixmap, nullptr, &shm_, width, height);
            if (image_ != nullptr) {
                shm_.shmid = shmget(IPC_PRIVATE, static_cast<std::size_t>(image_->bytes_per_line) * height,
                                    IPC_CREAT | 0600);
                shm_.shmaddr = shm_.shmid >= 0 ? static_cast<char*>(shmat(shm_.shmid, nullptr, 0)) : nullptr;
                if (shm_.shmaddr == reinterpret_cast<char*>(-1)) shm_.shmaddr = nullptr;
                bool attached = false;
                if (shm_.shmaddr != nullptr) {
                    image_->data = shm_.shmaddr;
                    shm_.readOnly = False;
                    lastXError = 0;
                    attached = XShmAttach(display, &shm_) && (XSync(display, False), lastXError == 0);
                }
                // Marked for removal at once: the segment goes when both
                // sides have detached, however this process ends.
                if (shm_.shmid >= 0) shmctl(shm_.shmid, IPC_RMID, nullptr);
                if (attached) {
                    shared_ = true;
                } else {
                    if (shm_.shmaddr != nullptr) shmdt(shm_.shmaddr);
                    image_->data = nullptr;
                    XDestroyImage(image_);
                    image_ = nullptr;
                }
            }
        }
        if (image_ == nullptr) {
            image_ = XCreateImage(display, visual, depth, ZPixmap, 0, nullptr, width, height, 32, 0);
            if (image_ != nullptr)
                image_->data = static_cast<char*>(std::calloc(static_cast<std::size_t>(image_->bytes_per_line), height));
        }
        if (image_ != nullptr) {
            redShift_ = MaskShift(image_->red_mask);
            greenShift_ = MaskShift(image_->green_mask);
            blueShift_ = MaskShift(image_->blue_mask);
            direct_ = image_->bits_per_pixel == 32 && image_->byte_order == LSBFirst &&
                      image_->red_mask == 0xFF0000 && image_->green_mask == 0xFF00 && image_->blue_mask == 0xFF;
            // A 32-bit visual keeps alpha in the bits no colour uses: they
            // are set, so that a compositor shows the frame opaque.
            if (depth == 32) opaque_ = 0xFFFFFFFFul & ~(image_->red_mask | image_->green_mask | image_->blue_mask);
        }
    }
    ~ScreenImage() {
        if (image_ != nullptr) {
            if (shared_) {
                XShmDetach(display_, &shm_);
                XSync(display_, False);
                shmdt(shm_.shmaddr);
                image_->data = nullptr;
            }
            XDestroyImage(image_);
        }
        XFreeGC(display_, gc_);
    }
    ScreenImage(const ScreenImage&) = delete;
    ScreenImage& operator=(const ScreenImage&) = delete;

    bool usable() const { return image_ != nullptr && image_->data != nullptr; }
    bool shared() const { return shared_; }

    // Converts the rectangle of `pixels` and sends it to the window.
    void Show(const PixelBuffer& pixels, int left, int top, int width, int height) {
        left = std::max(left, 0);
        top = std::max(top, 0);
        width = std::min({width, pixels.width - left, image_->width - left});
        height = std::min({height, pixels.height - top, image_->height - top});
        if (width <= 0 || height <= 0) return;
        for (int y = top; y < top + height; ++y) {
            const std::uint8_t* from = &pixels.bytes[static_cast<std::size_t>(y) * pixels.stride + left * 3];
            if (direct_) {
                auto* to = reinterpret_cast<std::uint32_t*>(image_->data + static_cast<std::size_t>(y) * image_->bytes_per_line) + left;
                for (int x = 0; x < width; ++x, from += 3)
                    to[x] = static_cast<std::uint32_t>(opaque_) | static_cast<std::uint32_t>(from[2]) << 16 |
                            static_cast<std::uint32_t>(from[1]) << 8 | from[0];
            } else {
                for (int x = left; x < left + width; ++x, from += 3)
                    XPutPixel(image_, x, y,
                              opaque_ | Scale(from[2], image_->red_mask, redShift_) | Scale(from[1], image_->green_mask, greenShift_) |
                                  Scale(from[0], image_->blue_mask, blueShift_));
            }
        }
        if (shared_)
            XShmPutImage(display_, window_, gc_, image_, left, top, left, top, width, height, False);
        else
            XPutImage(display_, window_, gc_, image_, left, top, left, top, width, height);
    }

private:
    static unsigned long Scale(unsigned value, unsigned long mask, int shift) {
        unsigned long top = mask >> shift;
        return ((value * top + 127) / 255) << shift & mask;
    }

    Display* display_;
    Window window_;
    GC gc_;
    XImage* image_ = nullptr;
    XShmSegmentInfo shm_{};
    bool shared_ = false;
    bool direct_ = false;
    unsigned long opaque_ = 0;
    int redShift_ = 0, greenShift_ = 0, blueShift_ = 0;
};

// Copies an image read from the server into `pixels` at (left, top). The
// colour masks are the window's visual's: an image read from a pixmap
// carries none.
void ReadImage(XImage* image, const Visual* visual, PixelBuffer& pixels, int left, int top) {
    const unsigned long masks[3] = {visual->red_mask, visual->green_mask, visual->blue_mask};
    int shifts[3];
    for (int c = 0; c < 3; ++c) shifts[c] = MaskShift(masks[c]);
    auto channel = [](unsigned long pixel, unsigned long mask, int shift) {
        unsigned long top = mask >> shift;
        return top == 0 ? 0u : static_cast<unsigned>(((pixel & mask) >> shift) * 255 / top);
    };
    for (int y = 0; y < image->height; ++y) {
        for (int x = 0; x < image->width; ++x) {
            unsigned long pixel = XGetPixel(image, x, y);
            FillSpan(pixels, top + y, left + x, left + x + 1,
                     channel(pixel, masks[0], shifts[0]) | channel(pixel, masks[1], shifts[1]) << 8 |
                         channel(pixel, masks[2], shifts[2]) << 16);
        }
    }
}

// What the window shows now, or black where it cannot be read.
PixelBuffer CaptureWindow(Display* display, Window window, const Visual* visual, int width, int height) {
    PixelBuffer pixels = MakePixelBuffer(width, height, 0);
    lastXError = 0;
    XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == nullptr) return pixels;
    ReadImage(image, visual, pixels, 0, 0);
    XDestroyImage(image);
    return pixels;
}

// The pixmap XScreenSaver leaves as the property _SCREENSAVER_SCREENSHOT
// (type PIXMAP, one 32-bit item) on its saver window, or on the root window:
// the desktop as it was before the screen was blanked. None when absent.
Pixmap SavedScreenshot(Display* display, Window window) {
    const Atom name = XInternAtom(display, "_SCREENSAVER_SCREENSHOT", True);
    if (name == None) return None;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    Pixmap pixmap = None;
    lastXError = 0;
    if (XGetWindowProperty(display, window, name, 0, 1, False, XA_PIXMAP, &type, &format, &count, &after, &data) ==
            Success &&
        lastXError == 0 && type == XA_PIXMAP && format == 32 && count == 1 && data != nullptr)
        pixmap = static_cast<Pixmap>(reinterpret_cast<unsigned long*>(data)[0]);
    if (data != nullptr) XFree(data);
    return pixmap;
}

// The desktop under the window from XScreenSaver's screenshot: a screenshot
// of the window's size is the window's own; a larger one (the whole screen)
// is cut at the window's place on the root window. False without one.
bool LoadScreenshot(Display* display, Window window, bool saverWindow, const Visual* visual, int depth,
                    PixelBuffer& pixels) {
    Pixmap pixmap = SavedScreenshot(display, window);
    if (pixmap == None && saverWindow) pixmap = SavedScreenshot(display, DefaultRootWindow(display));
    if (pixmap == None) return false;
    Window root = None, child = None;
    int x = 0, y = 0;
    unsigned width = 0, height = 0, border = 0, pixmapDepth = 0;
    lastXError = 0;
    if (!XGetGeometry(display, pixmap, &root, &x, &y, &width, &height, &border, &pixmapDepth) || lastXError != 0 ||
        static_cast<int>(pixmapDepth) != depth)
        return false;
    int left = 0, top = 0;
    if (static_cast<int>(width) != pixels.width || static_cast<int>(height) != pixels.height)
        XTranslateCoordinates(display, window, root, 0, 0, &left, &top, &child);
    const int fromX = std::max(left, 0), fromY = std::max(top, 0);
    const int toX = std::min(left + pixels.width, static_cast<int>(width));
    const int toY = std::min(top + pixels.height, static_cast<int>(height));
    if (toX <= fromX || toY <= fromY) return false;
    XImage* image = XGetImage(display, pixmap, fromX, fromY, toX - fromX, toY - fromY, AllPlanes, ZPixmap);
    XSync(display, False);
    if (image == nullptr || lastXError != 0) {
        if (image != nullptr) XDestroyImage(image);
        return false;
    }
    ReadImage(image, visual, pixels, fromX - left, fromY - top);
    XDestroyImage(image);
    return true;
}

// The window this run draws on: given, the root (or XScreenSaver's), or made
// here. None, with a message, when XSCREENSAVER_WINDOW is not a window id.
Window TargetWindow(Display* display, const HackOptions& options, bool& own) {
    own = false;
    if (options.mode == HackMode::WindowId) return options.windowId;
    if (options.mode == HackMode::Root) {
        unsigned long id = 0;
        const char* named = std::getenv("XSCREENSAVER_WINDOW");
        if (named == nullptr || *named == '\0') return DefaultRootWindow(display);
        if (ParseWindowId(named, id) && id != 0) return id;
        std::fprintf(stderr, "koravel: XSCREENSAVER_WINDOW \"%s\" is not a window id\n", named);
        return None;
    }
    own = true;
    const int screen = DefaultScreen(display);
    const int width = options.width > 0 ? options.width : 800;
    const int height = options.height > 0 ? options.height : 600;
    // A negative offset counts from the right or bottom edge, as in X's own
    // geometry strings; the window manager is told by the gravity.
    const int x = options.fromRight ? DisplayWidth(display, screen) - width + options.x : options.x;
    const int y = options.fromBottom ? DisplayHeight(display, screen) - height + options.y : options.y;
    Window window = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, width, height, 0,
                                        BlackPixel(display, screen), BlackPixel(display, screen));
    XStoreName(display, window, "KORAVEL");
    if (options.hasPosition) {
        XSizeHints hints{};
        hints.flags = USPosition | USSize | PWinGravity;
        hints.x = x;
        hints.y = y;
        hints.width = width;
        hints.height = height;
        hints.win_gravity = options.fromRight ? (options.fromBottom ? SouthEastGravity : NorthEastGravity)
                                              : (options.fromBottom ? SouthWestGravity : NorthWestGravity);
        XSetWMNormalHints(display, window, &hints);
    }
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, window, &deleteWindow, 1);
    XSelectInput(display, window, KeyPressMask | ButtonPressMask | StructureNotifyMask | ExposureMask);
    XMapRaised(display, window);
    // Wait until it shows, so that the start picture and the first frame
    // land; a signal ends the wait, as it ends the run.
    XFlush(display);
    for (XEvent event; !StopRequested();) {
        if (XCheckWindowEvent(display, window, StructureNotifyMask, &event)) {
            if (event.type == MapNotify) break;
            continue;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 100);
    }
    return window;
}

class X11Saver {
public:
    X11Saver(Display* display, Window window, const HackOptions& options, bool own)
        : display_(display), window_(window), options_(options), own_(own) {}

    int Run();

private:
    std::string Start();
    void DrawFps(long long now);
    void Restart(int width, int height);

    Display* display_;
    Window window_;
    const HackOptions& options_;
    bool own_;
    int width_ = 0, height_ = 0;
    Visual* visual_ = nullptr;
    int depth_ = 0;
    PixelBuffer pixels_;
    PixelBuffer desktop_;
    ScreenImage* screen_ = nullptr;
    // -fps: the rate over the last second, drawn at the bottom left.
    GC fpsGc_ = nullptr;
    int fpsDescent_ = 2;
    long long fpsSince_ = 0;
    int fpsFrames_ = 0;
    double fpsRate_ = 0;
};

// Empty when the window can be drawn on, else the reason it cannot.
std::string X11Saver::Start() {
    XWindowAttributes attributes;
    lastXError = 0;
    if (!XGetWindowAttributes(display_, window_, &attributes) || (XSync(display_, False), lastXError != 0))
        return "no such window";
    if (attributes.c_class == InputOnly) return "it is an InputOnly window";
    // Frames are drawn in true colour: a visual with a colour map (PseudoColor,
    // GrayScale) or fixed cells would show black or wrong colours.
    const int visualClass = attributes.visual->c_class;
    if (visualClass != TrueColor && visualClass != DirectColor) {
        static const char* const names[] = {"StaticGray", "GrayScale", "StaticColor", "PseudoColor"};
        return std::string("its visual is ") + (visualClass >= 0 && visualClass < 4 ? names[visualClass] : "unknown") +
               "; koravel needs a TrueColor display";
    }
    visual_ = attributes.visual;
    depth_ = attributes.depth;
    width_ = std::max(attributes.width, 1);
    height_ = std::max(attributes.height, 1);
    if (!own_) XSelectInput(display_, window_, attributes.your_event_mask | StructureNotifyMask | ExposureMask);
    XSync(display_, False);
    if (lastXError != 0) return "cannot watch the window";

    StartScene(options_, width_, height_);
    // A signal during the start (the text's glyphs take the longest): the
    // run ends before it reads the desktop or draws.
    if (StopRequested()) return "";
    // With the desktop as background the window starts from XScreenSaver's
    // screenshot of the desktop, else from what it shows; otherwise black.
    if (settings.BKMODE == 0) {
        pixels_ = MakePixelBuffer(width_, height_, 0);
        if (!LoadScreenshot(display_, window_, options_.mode == HackMode::Root, visual_, depth_, pixels_))
            pixels_ = CaptureWindow(display_, window_, visual_, width_, height_);
        if (settings.ZANZOU == 0) desktop_ = pixels_;
    } else {
        pixels_ = MakePixelBuffer(width_, height_, 0);
    }
    SeedRandom(static_cast<std::uint32_t>(NowMs() & 0xFFFF));
    screen_ = new ScreenImage(display_, window_, visual_, depth_, width_, height_);
    if (!screen_->usable()) return "no memory for its picture";
    screen_->Show(pixels_, 0, 0, width_, height_);
    if (options_.fps) {
        XGCValues values{};
        values.foreground = WhitePixel(display_, DefaultScreen(display_));
        values.background = BlackPixel(display_, DefaultScreen(display_));
        fpsGc_ = XCreateGC(display_, window_, GCForeground | GCBackground, &values);
        if (XFontStruct* font = XQueryFont(display_, XGContextFromGC(fpsGc_))) {
            fpsDescent_ = font->descent;
            XFreeFontInfo(nullptr, font, 1);
        }
        fpsSince_ = NowMs();
    }
    return "";
}

// The frame rate as other hacks show it: white on black at the bottom left,
// counted over about a second and drawn after every frame, over whatever the
// frame drew there.
void X11Saver::DrawFps(long long now) {
    ++fpsFrames_;
    if (now - fpsSince_ >= 1000) {
        fpsRate_ = fpsFrames_ * 1000.0 / static_cast<double>(now - fpsSince_);
        fpsFrames_ = 0;
        fpsSince_ = now;
    }
    char text[32];
    const int length = std::snprintf(text, sizeof text, "FPS: %.1f", fpsRate_);
    XDrawImageString(display_, window_, fpsGc_, 4, height_ - 4 - fpsDescent_, text, length);
}

// The window changed size: the scene is laid out again for the new size,
// and the pictures keep what still fits.
void X11Saver::Restart(int width, int height) {
    PixelBuffer oldPixels = std::move(pixels_);
    PixelBuffer oldDesktop = std::move(desktop_);
    delete screen_;
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    StartScene(options_, width_, height_);
    // A black background is painted over the whole window again, as the
    // erase does; with the desktop as background the window keeps its pixels.
    pixels_ = MakePixelBuffer(width_, height_, 0);
    if (settings.BKMODE == 0) CopyPixels(pixels_, 0, 0, oldPixels, 0, 0, width_, height_);
    if (!oldDesktop.bytes.empty()) {
        desktop_ = MakePixelBuffer(width_, height_, 0);
        CopyPixels(desktop_, 0, 0, oldDesktop, 0, 0, width_, height_);
    }
    screen_ = new ScreenImage(display_, window_, visual_, depth_, width_, height_);
    if (screen_->usable()) screen_->Show(pixels_, 0, 0, width_, height_);
}

int X11Saver::Run() {
    const std::string problem = Start();
    if (!problem.empty()) {
        delete screen_;
        std::fprintf(stderr, "koravel: cannot draw on window 0x%lx: %s\n", window_, problem.c_str());
        return 1;
    }
    const Atom deleteWindow = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    const long long period = FramePeriodMs(settings.TIMER);
    long long next = NowMs();
    const long long started = next;
    int drawn = 0;
    bool running = true;
    while (running && !StopRequested()) {
        while (running && XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            switch (event.type) {
            case DestroyNotify:
                if (event.xdestroywindow.window == window_) running = false;
                break;
            case UnmapNotify:
                break;
            case ConfigureNotify:
                if (event.xconfigure.window == window_ &&
                    (event.xconfigure.width != width_ || event.xconfigure.height != height_))
                    Restart(event.xconfigure.width, event.xconfigure.height);
                break;
            case Expose:
                if (event.xexpose.count == 0 && screen_->usable()) screen_->Show(pixels_, 0, 0, width_, height_);
                break;
            case KeyPress:
            case ButtonPress:
                if (own_) running = false;
                break;
            case ClientMessage:
                if (own_ && static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow) running = false;
                break;
            default:
                break;
            }
        }
        if (!running) break;
        const long long now = NowMs();
        if (now >= next) {
            if ((options_.frames == 0 || drawn < options_.frames) && screen_->usable()) {
                AdvanceText(now - started);
                const FrameGeometry frame = ComposeSoftwareFrame(pixels_, desktop_.bytes.empty() ? nullptr : &desktop_);
                lastXError = 0;
                screen_->Show(pixels_, frame.left + frame.shownX, frame.top + frame.shownY, frame.shownWidth,
                              frame.shownHeight);
                if (fpsGc_ != nullptr) DrawFps(now);
                XSync(display_, False);
                ++drawn;
                // A window that went away answers with BadWindow or BadDrawable.
                if (lastXError == BadWindow || lastXError == BadDrawable) break;
            }
            next = std::max(next + period, now);
            continue;
        }
        // Waits for the server or the next frame, at most 100 ms at a time so
        // that a signal is answered at once.
        pollfd connection{ConnectionNumber(display_), POLLIN, 0};
        poll(&connection, 1, static_cast<int>(std::min(next - now, 100LL)));
    }
    delete screen_;
    screen_ = nullptr;
    if (fpsGc_ != nullptr) XFreeGC(display_, fpsGc_);
    return 0;
}

}  // namespace

int RunX11Saver(const HackOptions& options) {
    Display* display = XOpenDisplay(options.display.empty() ? nullptr : options.display.c_str());
    if (display == nullptr) {
        std::fprintf(stderr, "koravel: cannot open the display\n");
        return 1;
    }
    XSetErrorHandler(NoteXError);
    // Before anything that waits or takes time: a signal from here on ends
    // the run through the flag, and one before it ends the process at once.
    CatchStopSignals();

    bool own = false;
    const Window window = TargetWindow(display, options, own);
    int status = window == None ? 1 : StopRequested() ? 0 : X11Saver(display, window, options, own).Run();
    if (own) XDestroyWindow(display, window);
    XCloseDisplay(display);
    return status;
}
