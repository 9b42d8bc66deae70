#pragma once
// The blend buffers: brush-sized RGBA64 images that carry the paint a brush has loaded or picked up.
// Buffer pixel (row, col) is element row * 4M + col * 4 (M the maximum brush size); only the top-left
// S x S square is used. Loading, pick-up and tinting do nothing while the blend strength is 0.
#include <cstdint>

namespace vlm::brush {

// Makes n buffers (at most 20) of M x M cleared pixels and selects buffer 0; the same count keeps them.
void set_blend_buffer_count(int n);
void select_blend_buffer(int i);
void clear_blend_buffer();
void fill_blend_buffer(int value);

// The canvas-sized RGBA64 planes the operations read from, or null when absent or not of canvas size.
const std::uint16_t* surface_plane();
const std::uint16_t* layer_plane(int slot);
const std::uint16_t* under_layer_plane();
const std::uint16_t* trace_plane();

// Loads the brush area at (x, y) from a canvas-sized plane, mixed with the current colour by amount
// (0..255, the weight of the colour). A non-zero flag keeps the colour of off-canvas pixels.
void copy_blend_buffer(int x, int y, const std::uint16_t* plane, int amount, int flag);
// Loads the grey layout from the mask plane, mixed with the current colour's mask level.
void copy_blend_buffer_mask(int x, int y, int amount);
// Picks canvas colour up into the buffer under the tool's mix mode; amount is the canvas's weight.
void mix_blend_buffer(int x, int y, const std::uint16_t* plane, int amount);
// Moves the buffer's colour toward an 8-bit colour by amount; transparent pixels take the colour.
void color_blend_buffer(int x, int y, int r, int g, int b, int amount);
// 289 grey, 290 invert, 291 channels below value % to 0, 292 channels above it to 65280.
void filter_blend_buffer(int op, int value);

} // namespace vlm::brush
