#include "brush/spline.h"
#include "exports/guard.h"
#include "undo/undo_store.h"
#include "velmora/velmora.h"

using namespace vlm;

void VLM_CalcSpline3(int x0, int y0, int x1, int y1, int x2, int y2, int unused) {
    exports::silent([&] { brush::calc_spline3(x0, y0, x1, y1, x2, y2); });
}
int VLM_GetSplinePointCount(void) { return brush::spline_point_count(); }
int VLM_GetSplinePointX(unsigned int index) { return brush::spline_point_x(index); }
int VLM_GetSplinePointY(unsigned int index) { return brush::spline_point_y(index); }
void VLM_StartFade(void) {
    exports::silent([] { undo::start_fade(); });
}
void VLM_UpdateFade(int amount) {}
void VLM_EndFade(void) {}
void VLM_SetGrid(int value) {}
void VLM_SetGridSpacing(int value) {}
