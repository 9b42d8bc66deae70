#pragma once
// The 8-bit processing buffers: copies of the current layer that image operations work on. Each buffer is
// canvas-sized while present; a buffer of another size (the tool pair outlives a canvas resize) is
// replaced by the next allocate and refused by every other operation.
#include <cstddef>
#include <cstdint>

#include "imaging/state.h"

namespace vlm::imaging {

// Bytes of a canvas-sized buffer of bytes_per_pixel; 0 without a canvas.
std::size_t canvas_bytes(int bytes_per_pixel);
// True when the buffer is present and holds a whole canvas of bytes_per_pixel.
bool holds_canvas(const Buffer& buffer, int bytes_per_pixel);

// Source buffers: (re)allocated when absent or of another size, then filled from the current layer
// (RGBA32: all four high bytes; RGB24: the colour's). A buffer of the right size keeps its memory.
void allocate_source32(Buffer& buffer);
void allocate_source24(Buffer& buffer);
// Destination buffers: (re)allocated when absent or of another size; contents as they come.
void allocate_destination(Buffer& buffer, int bytes_per_pixel);
void free_buffer(Buffer& buffer);
// Frees the four IPL buffers (the tool pair survives canvas changes).
void free_ipl_buffers();

// Copies a canvas of host RGBA32 pixels into a canvas-sized buffer; nothing for a null pointer or buffer.
void set_buffer32(Buffer& buffer, const void* pixels);
// Refills the IPL source buffer from the current layer, when it is present.
void update_source32();
// Limits the IPL source buffer's alpha by the selection mask while the mask is enabled.
void apply_mask_to_source_alpha();

// The imaging kit keeps no process-wide state, so starting and stopping it has nothing to do.
void start_imaging();
void stop_imaging();

// The lowest colour, packed red + green x 256 + blue x 65536, that no pixel of an RGBA32 buffer has
// (alpha ignored); 256 when every colour is present. Fills and selections use it as a marker colour.
std::uint32_t absent_colour(const std::uint8_t* rgba32, int width, int height);
// Writes value into the alpha byte of every pixel.
void set_alpha(std::uint8_t* rgba32, int width, int height, std::uint8_t value);

} // namespace vlm::imaging
