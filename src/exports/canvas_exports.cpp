#include "core/canvas.h"
#include "core/engine_state.h"
#include "exports/guard.h"
#include "platform/display.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;

void VLM_CreateImage(void* host_window, int width, int height, int max_brush_size, int reserved) {
    guarded("CreateImage", [&] { core::create_image(host_window, width, height, max_brush_size, reserved); });
}

void VLM_NewSize(void* host_window, int width, int height, int max_brush_size, int reserved) {
    guarded("NewSize", [&] { core::new_size(host_window, width, height, max_brush_size, reserved); });
}

void VLM_DeleteImage(void) {
    guarded("DeleteImage", [] { core::delete_image(); });
}

int VLM_SetScale(int mode, float factor) {
    g_engine.canvas.scale_mode = mode;
    g_engine.canvas.scale_factor = factor;
    return mode;
}

int VLM_SetOffset(int x, int y) {
    g_engine.canvas.offset_x = x;
    g_engine.canvas.offset_y = y;
    return x;
}

int VLM_SetViewSize(int width, int height) {
    g_engine.canvas.view_width = width;
    g_engine.canvas.view_height = height;
    return width;
}

void VLM_SetAOI(int x0, int y0, int x1, int y1) {
    core::CanvasState& c = g_engine.canvas;
    c.aoi_x0 = x0;
    c.aoi_y0 = y0;
    c.aoi_x1 = x1;
    c.aoi_y1 = y1;
}

void VLM_SetStartDir(const char* path) { core::set_start_dir(path); }

// A window procedure answers a set-redraw request with 0, and so do we; X11 has no such switch.
int VLM_SetWindowRedraw(void* window, int flag) { return 0; }

int VLM_RedrawWindow(void* window) {
    return exports::silent(0, [&] { return platform::redraw_window(window) ? 1 : 0; });
}
