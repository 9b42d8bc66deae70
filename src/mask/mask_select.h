#pragma once
// Selections from canvas-sized 8-bit pictures: where a pixel matches, the mask takes the mark value of the
// amount (mark_value in mask/kernels.h); other values stay. The whole canvas becomes dirty. Pictures are
// packed rows of the canvas width: RGBA32 pictures hold width x height x 4 bytes, RGB24 x 3, byte planes
// x 1. Without a canvas or with a null picture nothing happens.
namespace vlm::mask {

// A tolerance in percent as an 8-bit difference: trunc(percent x 2.56).
int byte_tolerance(int percent);

// R, G, B equal r, g, b.
void select_rgba_color(const void* image, int r, int g, int b, int amount);
void select_rgb24_color(const void* image, int r, int g, int b, int amount);
// Each of R, G, B within the tolerance of r, g, b.
void select_rgba_color_range(const void* image, int r, int g, int b, int percent, int amount);
// Alpha within the tolerance.
void select_rgba_alpha_range(const void* image, int alpha, int percent, int amount);
// The average (R + G + B) / 3 within the tolerance of (r + g + b) / 3.
void select_rgba_luminance_range(const void* image, int r, int g, int b, int percent, int amount);
// The HSV hue within trunc(percent x 1.8) degrees of the hue of (r, g, b), either way round the circle.
void select_rgba_hue_range(const void* image, int r, int g, int b, int percent, int amount);
// The HSL hue within hue x 180 degrees (either way round), saturation and lightness each within theirs.
void select_rgba_hsl_range(const void* image, int r, int g, int b, double hue, double saturation,
                           double lightness, int amount);
// Bytes equal to 1, as flood fills and colour matches leave them.
void select_flood_mask(const void* plane, int amount);
// Pixels of two RGBA32 pictures that differ in any byte take the value itself (low 16 bits).
void select_diff_rgba32(const void* a, const void* b, int value);

} // namespace vlm::mask
