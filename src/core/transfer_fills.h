#pragma once
// Fills of the current layer and of host buffers. Colours given as 8-bit values use their low byte.
namespace vlm::core {

// Every pixel of the current layer becomes (r, g, b, a) x 256.
void clear(int r, int g, int b, int a);
// As clear where the mask is fully selected (or disabled); partly selected pixels blend the colour in by
// the mask value and become opaque; protected pixels stay.
void clear_masked(int r, int g, int b, int a);
// Canvas-sized host buffers with a pitch in bytes; 16-bit values for RGBA64, 8-bit for RGBA32.
void clear_rgba64(void* buffer, int pitch, int r, int g, int b, int a);
void clear_rgba32(void* buffer, int pitch, int r, int g, int b, int a);
// A packed RGBA32 buffer of width x height.
void clear_rgba32_buf(void* buffer, int width, int height, int r, int g, int b, int a);
// Current-layer pixels with alpha below 256 become (r, g, b) x 257 with alpha 0.
void set_color_alpha(int r, int g, int b);
// Packed RGBA32: pixels whose alpha is 0 (or every pixel) take r, g, b; alpha stays.
void set_color_alpha_rgba_buf(void* buffer, int width, int height, int r, int g, int b);
void set_color_rgba_buf(void* buffer, int width, int height, int r, int g, int b);

} // namespace vlm::core
