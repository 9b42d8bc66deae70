#include "imaging/kit/spline.h"

#include <algorithm>

namespace vlm::kit {
namespace {

// Cubic Hermite segment from p0 to p1 with tangents m0 and m1, at t in [0, 1].
double hermite(double p0, double p1, double m0, double m1, double t) {
    const double t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * p0 + (t3 - 2 * t2 + t) * m0 + (-2 * t3 + 3 * t2) * p1 + (t3 - t2) * m1;
}

// Tangent at control point i: the neighbours' difference, one-sided at the ends.
double tangent(const double* c, int n, int i, double scale) {
    const int before = std::max(i - 1, 0), after = std::min(i + 1, n - 1);
    return scale * (c[after] - c[before]) / (after - before);
}

} // namespace

int spline_points_3d(int point_count, int control_count, int curvature, const double* cx, const double* cy,
                     const double* cz, double* px, double* py, double* pz) {
    if (!cx || !cy || !cz || !px || !py || !pz || point_count < 1 || point_count > (1 << 20) ||
        control_count < 1)
        return 0;
    const double* controls[3] = {cx, cy, cz};
    double* points[3] = {px, py, pz};
    const int segments = control_count - 1;
    // At 50 a Catmull-Rom tangent is half the neighbours' difference: one step of the one-sided form.
    const double scale = std::clamp(curvature, 0, 100) / 50.0 * (segments > 0 ? 1.0 : 0.0);
    for (int k = 0; k < point_count; ++k) {
        const double u = point_count == 1 ? 0.0 : static_cast<double>(k) * segments / (point_count - 1);
        const int s = std::min(static_cast<int>(u), std::max(segments - 1, 0));
        const double t = u - s;
        for (int a = 0; a < 3; ++a) {
            const double* c = controls[a];
            if (segments == 0) {
                points[a][k] = c[0];
                continue;
            }
            points[a][k] = hermite(c[s], c[s + 1], tangent(c, control_count, s, scale),
                                   tangent(c, control_count, s + 1, scale), t);
        }
    }
    return 1;
}

} // namespace vlm::kit
