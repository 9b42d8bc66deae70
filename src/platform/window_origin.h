#pragma once
// Where a window's client area lies on the screen, and how large the screen is, asked of the X11
// display over a short-lived connection. Without a display both answer false.
namespace vlm::platform {

// Screen position of the top-left corner of a window (an X11 Window id as a pointer). False for a
// null handle, no display, or a window the display does not know; x and y are then left alone.
bool window_client_origin(void* window, int& x, int& y);
// Size in pixels of the default screen (its root window, which spans every monitor).
bool screen_size(int& width, int& height);

} // namespace vlm::platform
