#pragma once
// The X11 display, when one exists: a private connection that watches for screen changes and asks
// windows to redraw. Without a display every call answers as "nothing there".
namespace vlm::platform {

// Opens the private connection and subscribes to screen-change notices; false without a display.
bool open_display_watch();
void close_display_watch();
// Drains pending notices without blocking; true when the screen configuration changed since the
// last call.
bool poll_display_changed();
// Clears the window (an X11 Window id as a pointer) and its children with exposure, so their owner
// repaints them. False for a null handle, no display, or a window the display does not know.
bool redraw_window(void* window);

} // namespace vlm::platform
