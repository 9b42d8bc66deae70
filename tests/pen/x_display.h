#pragma once
// A little of the X11 display for the tablet tests, kept apart from GoogleTest (Xlib's macros clash
// with its names).
#include <cstdint>

namespace vlm::pen {

// Size of the default X screen; false without a display.
bool x_screen_size(int& width, int& height);

// A top-level window with a child window inside it, on a connection of the test's own.
class XWindows {
public:
    // The outer window at (x, y) on the screen, the inner one at (dx, dy) inside it.
    XWindows(int x, int y, int dx, int dy);
    ~XWindows();
    bool ok() const { return display_ != nullptr; }
    void* inner() const;
    void destroy_inner();

private:
    void* display_ = nullptr;
    std::uintptr_t outer_ = 0, inner_ = 0;
};

} // namespace vlm::pen
