#pragma once
// Tool settings: the brush parameters every dab reads, set all at once by set_tool or one at a time.
// Settings that derive other values have a function here; plain stores go straight to tool().
#include "brush/state.h"
#include "core/engine_state.h"

namespace vlm::brush {

inline Tool& tool() { return g_engine.brush.tool; }

// The sixteen arguments of the whole-tool call. Byte settings keep only their low byte.
struct ToolArgs {
    float shape_strength;
    int grit_cell_size;
    int grit_cell_threshold;
    int grit_pixel_threshold;
    int edge_softness;
    int colour_vary;
    int drawing_length;
    int blend_strength;
    int blend_primary_strength;
    int blend_remix;
    int invert_shape;
    const char* grit_source; // effect script or picture; fewer than two characters: none
    const char* shape_path;  // passed to set_brush_shape with shape_angle
    int shape_angle;
};

// Brush edges above this are refused: the sample table has one entry per dab pixel along an edge.
inline constexpr int kMaxSampleSize = kSampleTableSize;
// The largest dab set_scale_size draws.
inline constexpr int kMaxScaledDab = 999;
// Picture grit is taken only while the grit square (brush size + 25) is below this edge.
inline constexpr int kPictureGritEdge = 600;

// Reseeds the generator, stores the tool, builds grit into the 20 dab buffers and rebuilds the brush
// shape; a failure while taking grit from a picture is silent. Clears the one-shot switches.
void set_tool(const ToolArgs& args);

// The current colour from 8-bit channels (x 256, kept to 16 bits) or 16-bit ones (low 16 bits); alpha full.
void set_colour(int r, int g, int b);
void set_colour16(int r, int g, int b);
// Banks 0..3 from twelve 8-bit values: R, G, B of bank 0, then banks 1, 2 and 3.
void set_colour_banks(const int (&rgb)[12]);

// Strength, and the complement 256 - strength when the strength is above 0.
void set_blend_strength(int strength);
void set_blend_primary_strength(int strength);
// Stores d - 1: with grit on, a pixel is painted only where its grit byte is at most that.
void set_density(int d);
// Percent, and the scale trunc(percent * 1.28) the dab multiplies coverage by below 100 %.
void set_alpha(int percent);
// Mode, degrees and the single-precision radians, sine and cosine.
void set_rotate_brush_mode(int mode, int degrees);
// Mode and amount, with the mix complement and posterize shift derived from the amount.
void set_mix_mode(int mode, int amount);
// Brush size and dab size s with the identity sample table; sizes outside 1..1001 are refused.
void set_size(int s);
// Dab size n clamped to 1..brush size and to 999, and the table of shape rows (and columns) it samples.
void set_scale_size(int n);
// Per-pixel variation amounts; a positive one (re)makes its random array of 3 x M bytes.
void set_pix_colour_vary(int v);
void set_pix_lum_vary(int v);
void dec_drawing_length();

} // namespace vlm::brush
