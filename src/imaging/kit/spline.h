#pragma once
// The 3-D spline of the imaging kit: a smooth curve through a few control points.

namespace vlm::kit {

// Fills point_count points per axis (px, py, pz), evenly spaced in the curve parameter, of the cardinal
// spline through control_count control points (cx, cy, cz): the first point is the first control point,
// the last point the last one. curvature (0..100, clamped) scales the tangents: 50 gives the Catmull-Rom
// spline (with one-sided tangents at the ends, so evenly spaced points on a line stay evenly spaced),
// 0 straight segments and 100 bends twice as full.
// Returns non-zero on success, 0 for null arrays, a count below 1 or more than 1 << 20 points.
int spline_points_3d(int point_count, int control_count, int curvature, const double* cx, const double* cy,
                     const double* cz, double* px, double* py, double* pz);

} // namespace vlm::kit
