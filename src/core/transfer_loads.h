#pragma once
// Loading host pixels into layers: 8-bit values enter as value x 256, optionally weighted by the mask and
// the paper texture so that effects, fills and pastes respect the selection.
#include <cstdint>

#include "core/layer.h"

namespace vlm::core {

// Row kernels. mask and texture point at the row's first value in canvas indexing, or are null when the
// plane does not take part; n pixels are written.

// Source bytes in B, G, R order; alpha becomes 65535.
void load_bgr24_row(std::uint16_t* dst, const std::uint8_t* src, int n);
// R, G, B from an RGB24 row, each blended by the rule-A weight; alpha kept. Without planes a plain copy.
void load_rgb24_row(std::uint16_t* dst, const std::uint8_t* src, int n, const std::uint16_t* mask,
                    const std::uint8_t* texture);
// Alpha from byte 0 of an RGB24 row, blended by the rule-B weight, where the pixel's alpha is above 0.
void load_rgb24_alpha_row(std::uint16_t* dst, const std::uint8_t* src, int n, const std::uint16_t* mask,
                          const std::uint8_t* texture);
// RGBA32 without weighting: alpha 0 gives transparent black unless the alpha is locked.
void load_rgba32_row(std::uint16_t* dst, const std::uint8_t* src, int n, bool alpha_locked);
// RGBA32 weighted by rule A (at least one plane given). The vector kernel is used where the processor has
// one; the scalar choice exists so that both can be checked against the reference.
enum class WeightedKernel { best, scalar };
void load_rgba32_row_weighted(std::uint16_t* dst, const std::uint8_t* src, int n, const std::uint16_t* mask,
                              const std::uint8_t* texture, bool alpha_locked,
                              WeightedKernel kernel = WeightedKernel::best);
// The same, written plainly pixel by pixel: the twin the fast kernel is checked against.
void load_rgba32_row_weighted_reference(std::uint16_t* dst, const std::uint8_t* src, int n,
                                        const std::uint16_t* mask, const std::uint8_t* texture,
                                        bool alpha_locked);

// Engine operations. Null buffers, empty layers and buffers whose rows would overlap do nothing.

// Into the current layer: rows and columns up to the smaller of the buffer and the canvas.
void load_bgr24(const void* buffer, int pitch, int width, int height);
// Canvas-sized RGB24 into the current layer's colour; weighted when the flag's low byte is set.
void load_rgb24(const void* buffer, int pitch, int weighted);
void load_rgb24_to_alpha(const void* buffer, int pitch, int weighted);
// An RGBA32 rectangle placed at (x, y) of a layer, clipped to the layer's own size (and, when weighted,
// to the canvas the mask and texture cover).
void load_rgba32_layer(const void* buffer, int pitch, Layer* layer, int x, int y, int width, int height,
                       int weighted);
void load_rgba32_slot(const void* buffer, int pitch, int slot, int x, int y, int width, int height,
                      int weighted);
// Into the current layer at (0, 0) with the layer's own width and height.
void load_rgba32_current(const void* buffer, int pitch, int weighted);
// The NewRGBA picture into the current layer at (0, 0), weighted.
void set_in_new_rgba();
// A canvas-sized RGBA64 image into a slot.
void set_rgba64_layer(const void* buffer, int pitch, int slot);
// Limits the buffer's alpha by mask and texture (when the flag's low byte is set), clears the selected
// part of the current layer, then merges the buffer onto the slot in Normal mode. Does nothing unless the
// buffer holds at least a canvas of pixels and the compositing merge is available.
void load_rgba32_layer_merged(void* buffer, int slot, int width, int height, int flag);

} // namespace vlm::core
