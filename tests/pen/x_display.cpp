#include "x_display.h"

#include <X11/Xlib.h>

namespace vlm::pen {

bool x_screen_size(int& width, int& height) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return false;
    width = DisplayWidth(d, DefaultScreen(d));
    height = DisplayHeight(d, DefaultScreen(d));
    XCloseDisplay(d);
    return true;
}

XWindows::XWindows(int x, int y, int dx, int dy) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) return;
    display_ = d;
    outer_ = XCreateSimpleWindow(d, DefaultRootWindow(d), x, y, 200, 100, 0, 0, 0);
    inner_ = XCreateSimpleWindow(d, outer_, dx, dy, 50, 40, 0, 0, 0);
    XSync(d, False);
}

XWindows::~XWindows() {
    if (!display_) return;
    auto* d = static_cast<Display*>(display_);
    XDestroyWindow(d, outer_);
    XCloseDisplay(d);
}

void* XWindows::inner() const { return reinterpret_cast<void*>(inner_); }

void XWindows::destroy_inner() {
    auto* d = static_cast<Display*>(display_);
    XDestroyWindow(d, inner_);
    XSync(d, False);
}

} // namespace vlm::pen
