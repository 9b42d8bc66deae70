#pragma once
// Layer merging: one layer onto another, a layer into a host buffer, every visible layer flattened into a
// host buffer, the paint layer into its layer and 8-bit pictures onto layers. All of them run the
// rectangle merge of rect_merge.h; everything here clips or refuses first, so that no plane is read or
// written outside itself. Only layers with canvas geometry take part.
#include <cstdint>

namespace vlm::compose {

// The Layer Mask plane of a slot: the first visible slot above it (up to the top layer index) that holds
// pixels decides; it is the mask when its mode is Layer Mask, else there is none. Null when there is none
// or it cannot be read at canvas positions.
const std::uint16_t* layer_mask_for(int slot);

// The whole source layer onto the destination layer with the source's mode, opacity and layer mask;
// replace when both share a mode above 27.
void merge_layer(int src_slot, int dst_slot);
// The slot's canvas rectangle (x, y, width, height) into a packed RGBA64 buffer of width x height at
// (0, 0), with the slot's mode, opacity and layer mask. The part of the rectangle off the canvas is left
// as it is in the buffer.
void merge_layer_into_rect(int slot, std::uint16_t* buffer, int x, int y, int width, int height);
void merge_layer_into(int slot, std::uint16_t* buffer);

// Flattens the canvas rectangle into a packed RGBA64 buffer of width x height: transparent black, the
// background copied when its visible byte is 1, then every visible slot from 2 up merged in order.
// Buffer pixels off the canvas stay transparent black.
void flatten_rect(std::uint16_t* buffer, int x, int y, int width, int height);
void flatten(std::uint16_t* buffer);
// The flattened colour at (x, y) as A, R, G, B high bytes from the top; 0xFFFFFF off the canvas, 0 when
// the one-pixel work buffer cannot be had.
std::uint32_t color_at_merged(int x, int y);

// Merges the paint layer's extents (clipped to the canvas) into the slot at the same place with the paint
// layer's mode, opacity and strength, under the current layer's or the tool's alpha lock; then clears the
// paint layer.
void merge_paint_layer(int slot);

// A canvas-sized packed RGBA32 buffer, every byte widened x 256, onto the slot with the mode (an id) and
// opacity (0..256); replace when the mode equals the slot's and is above 27.
void merge_rgba32_layer(const std::uint8_t* rgba32, int slot, int mode, int opacity);
// A canvas-sized packed RGBA32 buffer onto a canvas-sized plane (strength 255, no replace, no mask plane).
void merge_rgba32_canvas(const std::uint8_t* rgba32, std::uint16_t* plane, int mode, int mask_mode,
                         int opacity, bool alpha_locked);

} // namespace vlm::compose
