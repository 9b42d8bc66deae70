#pragma once
// Data of the brush materials and tool settings: shape plane, dab buffers, blend buffers, tool.
#include <cstdint>

#include "core/layer.h"

namespace vlm::brush {

inline constexpr int kDabBuffers = 20;
inline constexpr int kBlendBuffers = 20;
inline constexpr int kShapeNameBytes = 1024;
inline constexpr int kSampleTableSize = 1001;
// Each dab buffer holds (M + 25)^2 bytes: the grit square overhangs the brush by this margin.
inline constexpr int kGritMargin = 25;

struct ShapeSource {
    std::uint8_t* pixels; // RGBA32 picture the shape was made from, or null
    int width, height;
    char name[kShapeNameBytes];
    int angle;
};

inline constexpr int kSplinePoints = 100;

// Three control points and the curve computed through them.
struct Spline {
    double control_x[3], control_y[3], control_z[3];
    double curve_x[kSplinePoints], curve_y[kSplinePoints], curve_z[kSplinePoints];
    int point_count;
};

// Four 16-bit channels R, G, B, A.
struct Colour64 {
    std::uint16_t r, g, b, a;
};

// Where the dab reads its grit: row and column (0..24) into one of the dab buffers. Kept as indices
// rather than a pointer so that reallocating the buffers with the canvas never leaves it dangling.
struct GritPosition {
    bool set; // false until grit has been built
    int buffer;
    int row, col;
};

struct Tool {
    // Brush shape inputs.
    float shape_strength;
    std::uint8_t edge_softness;
    std::uint8_t invert_shape;
    int shape_blur; // 0..100, blurs shape files before they are fitted to the brush

    // Grit.
    int grit_cell_size; // 0 turns grit off
    int grit_cell_threshold;
    int grit_pixel_threshold;
    int drawing_length;   // reload value of remaining_length
    int remaining_length; // counted down by the host; the dab moves the grit when it runs out
    GritPosition grit;
    int density; // the host's density minus 1

    // Colour.
    int colour_vary;
    int pix_colour_vary;
    int pix_lum_vary;
    Colour64 colour;
    Colour64 banks[4];

    // Blend buffer pick-up.
    int blend_strength; // 0..256
    int blend_complement;
    int blend_primary_strength; // 0..256
    int primary_complement;
    std::uint8_t blend_remix;

    // Mixing.
    int mix_mode;
    int mix_amount; // 0..255
    int mix_complement;
    int posterize_shift;

    // Size: brush_size is the shape's edge, dab_size the edge of the canvas square one dab covers, and
    // sample_table[i] the shape row and column that dab row and column i read.
    int brush_size;
    int dab_size;
    int sample_table[kSampleTableSize];

    // Opacity and locks.
    int alpha;       // percent; 100 and above is full
    int alpha_scale; // trunc(alpha * 1.28)
    int alpha_level;
    int solid_mode;
    int image_brush_mode;
    int blob_locked;
    int colour_locked;
    int alpha_locked; // dabs painted straight into a layer keep its alpha; also honoured by the renderer

    // Rotation of the shape under the dab.
    int rotate_mode;
    int rotate_degrees;
    float rotate_radians, rotate_sin, rotate_cos;

    std::uint8_t tracing_mode;

    // One-shot switches, cleared by the dabs that honour them and by set_tool (which also clears the
    // mask-maker switch of the mask group).
    std::uint8_t blend_disabled;
    std::uint8_t erase;
};

struct State {
    std::uint16_t* shape; // M x M coverage values
    ShapeSource source;
    std::uint8_t* dab[kDabBuffers]; // (M + 25)^2 bytes each, addressed with row stride M
    core::Layer blend[kBlendBuffers];
    int blend_count;
    core::Layer* blend_selected;
    Tool tool;
    Spline spline;
};

} // namespace vlm::brush
