#include "platform/display.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <cstdint>
#include <cstdlib>

namespace vlm::platform {

namespace {

Display* g_display = nullptr;
int g_randr_event_base = 0;
bool g_randr = false;
bool g_x_error = false;

int trap_error(Display*, XErrorEvent*) {
    g_x_error = true;
    return 0;
}

// Runs calls on the private connection with errors caught instead of reported by Xlib's default
// handler (which would end the process).
template <class F> bool without_x_errors(F&& calls) {
    g_x_error = false;
    XSync(g_display, False);
    auto previous = XSetErrorHandler(&trap_error);
    calls();
    XSync(g_display, False);
    XSetErrorHandler(previous);
    return !g_x_error;
}

void clear_tree(Window window) {
    XClearArea(g_display, window, 0, 0, 0, 0, True);
    Window root = 0, parent = 0, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(g_display, window, &root, &parent, &children, &count)) {
        for (unsigned int i = 0; i < count; ++i) clear_tree(children[i]);
        if (children) XFree(children);
    }
}

} // namespace

bool open_display_watch() {
    if (g_display) return true;
    const char* name = std::getenv("DISPLAY");
    if (!name || !*name) return false;
    g_display = XOpenDisplay(name);
    if (!g_display) return false;
    int error_base = 0;
    g_randr = XRRQueryExtension(g_display, &g_randr_event_base, &error_base);
    if (g_randr) {
        XRRSelectInput(g_display, DefaultRootWindow(g_display), RRScreenChangeNotifyMask);
        XFlush(g_display);
    }
    return true;
}

void close_display_watch() {
    if (g_display) XCloseDisplay(g_display);
    g_display = nullptr;
}

bool poll_display_changed() {
    if (!g_display) return false;
    bool changed = false;
    while (XPending(g_display) > 0) {
        XEvent event;
        XNextEvent(g_display, &event);
        if (g_randr && event.type == g_randr_event_base + RRScreenChangeNotify) {
            XRRUpdateConfiguration(&event);
            changed = true;
        }
    }
    return changed;
}

bool redraw_window(void* window) {
    if (!window || !g_display) return false;
    const Window id = static_cast<Window>(reinterpret_cast<std::uintptr_t>(window));
    return without_x_errors([&] { clear_tree(id); });
}

} // namespace vlm::platform
