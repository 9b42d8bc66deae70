#pragma once
// Curve points for curved strokes: 100 points of a smooth curve through three control points.
namespace vlm::brush {

// Control coordinates are taken as unsigned 32-bit values (a negative int becomes value + 2^32).
void calc_spline3(int x0, int y0, int x1, int y1, int x2, int y2);
int spline_point_count();
// Point i's coordinate truncated toward zero; past the end, the last point's; before any curve, 0.
int spline_point_x(unsigned int index);
int spline_point_y(unsigned int index);

} // namespace vlm::brush
