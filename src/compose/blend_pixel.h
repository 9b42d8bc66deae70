#pragma once
// The engine's single-pixel blend operations for the host: the merge over the host's ints with the
// engine's alpha-layer opacity, and setting that opacity.
namespace vlm::compose {

// Null pointers do nothing, values outside 16 bits are taken as the nearest 16-bit value, opacity
// below 0 as 0, and the alpha lock counts by its low byte.
void merge_pixel_ints(int* r, int* g, int* b, int* a, int sr, int sg, int sb, int sa, int mode, int opacity,
                      int alpha_lock);

// Stores percent (held to 0..100) x 0.01 x 65535, truncated, as the alpha-layer opacity and returns it.
int set_alpha_layer_opacity(int percent);

} // namespace vlm::compose
