#pragma once
// Reading layers back as RGBA64, RGBA32 and RGB24 (16-bit values leave as their high byte), and
// single-pixel colour queries.
#include <cstdint>

namespace vlm::core {

// Row kernels over n RGBA64 pixels.
void read_rgb24_row(std::uint8_t* dst, const std::uint16_t* src, int n);
void read_alpha_rgb24_row(std::uint8_t* dst, const std::uint16_t* src, int n); // alpha into all three bytes
void read_rgba32_row(std::uint8_t* dst, const std::uint16_t* src, int n);

// Whole canvas of the current layer or of a slot into a host buffer with a pitch in bytes. Nothing for an
// empty layer, a null buffer or a pitch shorter than a row.
void get_rgb24(void* buffer, int pitch);
void get_rgb24_layer(void* buffer, int pitch, int slot);
void get_rgb24_from_alpha(void* buffer, int pitch);
void get_rgba32(void* buffer, int pitch);
void get_rgba32_layer(void* buffer, int pitch, int slot);
void get_rgba64_layer(void* buffer, int pitch, int slot);
// A rectangle of the slot; nothing unless it lies inside the canvas.
void get_rgba64_layer_rect(void* buffer, int pitch, int slot, int x, int y, int width, int height);

// Host RGBA64 to 8-bit: both pointers address the first pixel; width x height pixels.
void rgba64_to_rgb24(void* dst, int dst_pitch, const void* src, int src_pitch, int width, int height);
void rgba64_to_rgba32(void* dst, int dst_pitch, const void* src, int src_pitch, int width, int height);
// The rectangle at (x, y) of a host RGBA64 plane whose rows are src_pitch pixels, into packed rows.
void rgba64_rect_to_rgba32(const void* src, int x, int y, int width, int height, int src_pitch, void* dst);
void rgba64_rect_to_rgb24(const void* src, int x, int y, int width, int height, int src_pitch, void* dst);

// One 16-bit channel (0..3) of the current layer; 0 outside the canvas or without a current layer.
int get_channel64(int x, int y, int channel);
// Canvas-sized RGBA64 planes queried by position. get_rgba_at clamps into the canvas and packs high bytes
// as R, G, B, A from the top; get_color_at packs A, R, G, B and gives 0xFFFFFF outside. Null plane: 0.
std::uint32_t get_rgba_at(int x, int y, const std::uint16_t* plane);
std::uint32_t get_color_at(int x, int y, const std::uint16_t* plane);
// The planes those queries name: the current layer, a slot, the trace layer, the undo back buffer;
// null unless they have canvas geometry.
const std::uint16_t* surface_plane();
const std::uint16_t* slot_plane(int slot);
const std::uint16_t* trace_plane();
const std::uint16_t* under_layer_plane();

// Writes the high bytes of three 16-bit values into a canvas-sized RGB24 buffer at (x, y) inside the canvas.
void set_pixel_rgb24(void* buffer, int pitch, int x, int y, int r, int g, int b);

} // namespace vlm::core
