#include "platform/window_origin.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>

namespace vlm::platform {

namespace {

bool g_x_error = false;

int trap_error(Display*, XErrorEvent*) {
    g_x_error = true;
    return 0;
}

// Opens a connection for the length of one question. Xlib's default error handler ends the process,
// so a question about an unknown window would be fatal: errors are caught while the calls run.
template <class F> bool ask_display(F&& calls) {
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    Display* display = XOpenDisplay(name);
    if (!display) return false;
    g_x_error = false;
    auto previous = XSetErrorHandler(&trap_error);
    const bool answered = calls(display);
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return answered && !g_x_error;
}

} // namespace

bool window_client_origin(void* window, int& x, int& y) {
    if (!window) return false;
    const Window id = static_cast<Window>(reinterpret_cast<std::uintptr_t>(window));
    int root_x = 0, root_y = 0;
    const bool ok = ask_display([&](Display* display) {
        Window child = 0;
        return XTranslateCoordinates(display, id, DefaultRootWindow(display), 0, 0, &root_x, &root_y,
                                     &child) != 0;
    });
    if (!ok) return false;
    x = root_x;
    y = root_y;
    return true;
}

bool screen_size(int& width, int& height) {
    int w = 0, h = 0;
    const bool ok = ask_display([&](Display* display) {
        w = DisplayWidth(display, DefaultScreen(display));
        h = DisplayHeight(display, DefaultScreen(display));
        return w > 0 && h > 0;
    });
    if (!ok) return false;
    width = w;
    height = h;
    return true;
}

} // namespace vlm::platform
