#include "imaging/processing_buffers.h"

#include <bit>
#include <cstring>
#include <vector>

#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/memory.h"
#include "core/transfer_common.h"
#include "core/transfer_reads.h"
#include "mask/mask_alpha.h"

namespace vlm::imaging {

std::size_t canvas_bytes(int bytes_per_pixel) {
    return core::canvas_pixel_count() * static_cast<std::size_t>(bytes_per_pixel);
}

bool holds_canvas(const Buffer& buffer, int bytes_per_pixel) {
    const std::size_t bytes = canvas_bytes(bytes_per_pixel);
    return buffer.pixels && bytes > 0 && buffer.size == bytes;
}

namespace {

// Makes the buffer canvas-sized: a buffer of another size is freed, an absent one allocated (giving up
// undo history if memory is short). False when no buffer could be had, or there is no canvas.
bool ensure_canvas_sized(Buffer& buffer, int bytes_per_pixel) {
    const std::size_t bytes = canvas_bytes(bytes_per_pixel);
    if (buffer.pixels && buffer.size != bytes) free_buffer(buffer);
    if (!buffer.pixels && bytes > 0) {
        buffer.pixels = core::x_NewCharUndoReduce(bytes);
        buffer.size = buffer.pixels ? bytes : 0;
    }
    return buffer.pixels != nullptr;
}

// A current layer without canvas geometry cannot be read into a canvas-sized buffer; the buffer then
// holds transparent black rather than whatever the memory held before.
void fill_from_current_layer(Buffer& buffer, int bytes_per_pixel) {
    if (!core::current_canvas_layer()) {
        std::memset(buffer.pixels, 0, buffer.size);
        return;
    }
    const int pitch = g_engine.canvas.width * bytes_per_pixel;
    if (bytes_per_pixel == 4)
        core::get_rgba32(buffer.pixels, pitch);
    else
        core::get_rgb24(buffer.pixels, pitch);
}

} // namespace

void allocate_source32(Buffer& buffer) {
    if (ensure_canvas_sized(buffer, 4)) fill_from_current_layer(buffer, 4);
}

void allocate_source24(Buffer& buffer) {
    if (ensure_canvas_sized(buffer, 3)) fill_from_current_layer(buffer, 3);
}

void allocate_destination(Buffer& buffer, int bytes_per_pixel) {
    ensure_canvas_sized(buffer, bytes_per_pixel);
}

void free_buffer(Buffer& buffer) {
    core::free_block(buffer.pixels);
    buffer.size = 0;
}

void free_ipl_buffers() {
    State& s = g_engine.imaging;
    free_buffer(s.src32);
    free_buffer(s.dst32);
    free_buffer(s.src24);
    free_buffer(s.dst24);
}

void set_buffer32(Buffer& buffer, const void* pixels) {
    if (pixels && holds_canvas(buffer, 4)) std::memcpy(buffer.pixels, pixels, buffer.size);
}

void update_source32() {
    Buffer& src = g_engine.imaging.src32;
    if (holds_canvas(src, 4)) fill_from_current_layer(src, 4);
}

void apply_mask_to_source_alpha() {
    Buffer& src = g_engine.imaging.src32;
    if (holds_canvas(src, 4) && g_engine.mask.enabled) mask::apply_mask_to_canvas_alpha(src.pixels);
}

void start_imaging() {}
void stop_imaging() {}

std::uint32_t absent_colour(const std::uint8_t* rgba32, int width, int height) {
    // Searching blue, then green, then red from 0 upward visits the packed values in increasing order, so
    // the answer is the lowest packed value without a pixel: one bit per colour finds it in two sweeps.
    std::vector<std::uint64_t> present((1u << 24) / 64);
    if (rgba32 && width > 0 && height > 0) {
        const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
        for (std::size_t i = 0; i < n; ++i, rgba32 += 4) {
            const std::uint32_t c = rgba32[0] | rgba32[1] << 8 | rgba32[2] << 16;
            present[c >> 6] |= std::uint64_t{1} << (c & 63);
        }
    }
    for (std::size_t word = 0; word < present.size(); ++word)
        if (~present[word]) return static_cast<std::uint32_t>(word * 64 + std::countr_one(present[word]));
    return 256;
}

void set_alpha(std::uint8_t* rgba32, int width, int height, std::uint8_t value) {
    if (!rgba32 || width <= 0 || height <= 0) return;
    const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    for (std::size_t i = 0; i < n; ++i) rgba32[i * 4 + 3] = value;
}

namespace {
const bool kHooked = (core::hooks().free_processing_buffers = &free_ipl_buffers, true);
}

} // namespace vlm::imaging
