#pragma once
// The brush shape: the M x M plane of 16-bit coverage every ordinary dab is cut from, of which the top-left
// S x S block (S the brush size) is meaningful. It is a round disc with an optional soft rim, or a shape
// file (an effect script or a picture) rotated, optionally blurred, fitted to S x S and turned to grey.
// Shape files are read once and kept, rotated, by name and angle.
#include <cstdint>

namespace vlm::brush {

// The two rule sets of shape building. Original is the earlier one kept for hosts that still call it:
// no scripts, no blur, its own resampling filters and a round shape centred between pixels.
enum class ShapeRules { Current, Original };

struct RoundShape {
    int size; // S
    std::uint8_t edge_softness;
    bool invert;
    float strength;
};

// Coverage from a floating-point value: truncated toward zero and held to 0..65535.
std::uint16_t coverage(double value);

// Draws the round shape into the S x S block of a plane of row stride `stride`; pixels outside the
// disc are left as they are.
void draw_round_shape(std::uint16_t* plane, int stride, const RoundShape& shape, ShapeRules rules);

// Rebuilds the shape plane from `path` (fewer than two characters: the round shape) at `angle` degrees.
// A path that cannot be used as a shape file falls back to the round shape silently. A brush size
// larger than the plane leaves it cleared.
void set_brush_shape(const char* path, int angle, ShapeRules rules);

// Frees the cached shape picture; its name stays.
void unload_brush_shape();

// Runs the shape blur on an RGBA32 picture in place. Exposed for the tests.
void blur_shape_picture(std::uint8_t* rgba, int width, int height, int blur);

} // namespace vlm::brush
