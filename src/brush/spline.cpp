#include "brush/spline.h"

#include <cstdint>

#include "core/engine_state.h"
#include "imaging/kit/spline.h"

namespace vlm::brush {

namespace {

Spline& sp() { return g_engine.brush.spline; }

double as_unsigned(int v) { return static_cast<double>(static_cast<std::uint32_t>(v)); }

int point(const double* axis, unsigned int index) {
    const int count = sp().point_count;
    if (count <= 0) return 0;
    const unsigned int i = index < static_cast<unsigned int>(count) ? index : static_cast<unsigned int>(count - 1);
    // The double-to-int conversion truncates; coordinates beyond the int range are clamped to it.
    const double v = axis[i];
    if (v >= 2147483647.0) return 2147483647;
    if (v <= -2147483648.0) return -2147483647 - 1;
    return static_cast<int>(v);
}

} // namespace

void calc_spline3(int x0, int y0, int x1, int y1, int x2, int y2) {
    Spline& s = sp();
    s.control_x[0] = as_unsigned(x0), s.control_x[1] = as_unsigned(x1), s.control_x[2] = as_unsigned(x2);
    s.control_y[0] = as_unsigned(y0), s.control_y[1] = as_unsigned(y1), s.control_y[2] = as_unsigned(y2);
    s.control_z[0] = s.control_z[1] = s.control_z[2] = 0.0;
    if (kit::spline_points_3d(kSplinePoints, 3, 50, s.control_x, s.control_y, s.control_z, s.curve_x, s.curve_y,
                              s.curve_z))
        s.point_count = kSplinePoints;
}

int spline_point_count() { return sp().point_count; }
int spline_point_x(unsigned int index) { return point(sp().curve_x, index); }
int spline_point_y(unsigned int index) { return point(sp().curve_y, index); }

} // namespace vlm::brush
