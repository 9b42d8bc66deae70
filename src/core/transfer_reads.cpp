#include "core/transfer_reads.h"

#include <algorithm>
#include <cstring>

#include "core/canvas.h"
#include "core/engine_state.h"
#include "core/layer_store.h"
#include "core/transfer_common.h"

namespace vlm::core {

void read_rgb24_row(std::uint8_t* dst, const std::uint16_t* src, int n) {
    for (int i = 0; i < n; ++i, dst += 3, src += 4) {
        dst[0] = static_cast<std::uint8_t>(src[0] >> 8);
        dst[1] = static_cast<std::uint8_t>(src[1] >> 8);
        dst[2] = static_cast<std::uint8_t>(src[2] >> 8);
    }
}

void read_alpha_rgb24_row(std::uint8_t* dst, const std::uint16_t* src, int n) {
    for (int i = 0; i < n; ++i, dst += 3, src += 4)
        dst[0] = dst[1] = dst[2] = static_cast<std::uint8_t>(src[3] >> 8);
}

void read_rgba32_row(std::uint8_t* dst, const std::uint16_t* src, int n) {
    for (int i = 0; i < 4 * n; ++i) dst[i] = static_cast<std::uint8_t>(src[i] >> 8);
}

namespace {

using ReadRow = void (*)(std::uint8_t*, const std::uint16_t*, int);

// Reads rows of n pixels from an RGBA64 source into a host buffer of bytes_per_pixel.
void read_rows(const std::uint16_t* src, std::size_t src_pitch_values, void* buffer, int pitch,
               int bytes_per_pixel, int n, int rows, ReadRow row) {
    if (!src || !buffer || n <= 0 || rows <= 0) return;
    if (!rows_fit(pitch, static_cast<std::size_t>(n) * bytes_per_pixel, rows)) return;
    auto* dst = static_cast<std::uint8_t*>(buffer);
    for (int y = 0; y < rows; ++y) row(dst + offset_of(y, pitch), src + y * src_pitch_values, n);
}

void read_canvas(const Layer* layer, void* buffer, int pitch, int bytes_per_pixel, ReadRow row) {
    if (!layer) return;
    const CanvasState& c = g_engine.canvas;
    read_rows(layer->pixels, static_cast<std::size_t>(c.pitch), buffer, pitch, bytes_per_pixel, c.width,
              c.height, row);
}

// Host RGBA64 rows with a pitch in bytes.
void read_host_rows(void* dst, int dst_pitch, const void* src, int src_pitch, int width, int height,
                    int bytes_per_pixel, ReadRow row) {
    if (!src || width <= 0 || height <= 0) return;
    if (!rows_fit(src_pitch, static_cast<std::size_t>(width) * 8, height) || src_pitch % 2 != 0) return;
    read_rows(static_cast<const std::uint16_t*>(src), static_cast<std::size_t>(src_pitch) / 2, dst, dst_pitch,
              bytes_per_pixel, width, height, row);
}

void rect_to_packed(const void* src, int x, int y, int width, int height, int src_pitch, void* dst,
                    int bytes_per_pixel, ReadRow row) {
    if (!src || !dst || x < 0 || y < 0 || width <= 0 || height <= 0) return;
    if (static_cast<long long>(x) + width > src_pitch) return;
    const auto* first = static_cast<const std::uint16_t*>(src) +
                        (static_cast<std::size_t>(y) * static_cast<std::size_t>(src_pitch) + x) * 4;
    const long long packed_pitch = static_cast<long long>(width) * bytes_per_pixel;
    if (packed_pitch > 0x7fffffff) return;
    read_rows(first, static_cast<std::size_t>(src_pitch) * 4, dst, static_cast<int>(packed_pitch),
              bytes_per_pixel, width, height, row);
}

} // namespace

void get_rgb24(void* buffer, int pitch) {
    read_canvas(current_canvas_layer(), buffer, pitch, 3, read_rgb24_row);
}
void get_rgb24_layer(void* buffer, int pitch, int slot) {
    read_canvas(canvas_layer_at(slot), buffer, pitch, 3, read_rgb24_row);
}
void get_rgb24_from_alpha(void* buffer, int pitch) {
    read_canvas(current_canvas_layer(), buffer, pitch, 3, read_alpha_rgb24_row);
}
void get_rgba32(void* buffer, int pitch) {
    read_canvas(current_canvas_layer(), buffer, pitch, 4, read_rgba32_row);
}
void get_rgba32_layer(void* buffer, int pitch, int slot) {
    read_canvas(canvas_layer_at(slot), buffer, pitch, 4, read_rgba32_row);
}

void get_rgba64_layer(void* buffer, int pitch, int slot) {
    const CanvasState& c = g_engine.canvas;
    get_rgba64_layer_rect(buffer, pitch, slot, 0, 0, c.width, c.height);
}

void get_rgba64_layer_rect(void* buffer, int pitch, int slot, int x, int y, int width, int height) {
    const Layer* layer = canvas_layer_at(slot);
    const CanvasState& c = g_engine.canvas;
    if (!layer || !buffer || x < 0 || y < 0 || width <= 0 || height <= 0) return;
    if (width > c.width - x || height > c.height - y) return;
    const std::size_t row_bytes = static_cast<std::size_t>(width) * 8;
    if (!rows_fit(pitch, row_bytes, height)) return;
    auto* dst = static_cast<std::uint8_t*>(buffer);
    for (int row = 0; row < height; ++row)
        std::memcpy(dst + offset_of(row, pitch),
                    layer->pixels + offset_of(y + row, c.pitch) + static_cast<std::size_t>(x) * 4, row_bytes);
}

void rgba64_to_rgb24(void* dst, int dst_pitch, const void* src, int src_pitch, int width, int height) {
    read_host_rows(dst, dst_pitch, src, src_pitch, width, height, 3, read_rgb24_row);
}

void rgba64_to_rgba32(void* dst, int dst_pitch, const void* src, int src_pitch, int width, int height) {
    read_host_rows(dst, dst_pitch, src, src_pitch, width, height, 4, read_rgba32_row);
}

void rgba64_rect_to_rgba32(const void* src, int x, int y, int width, int height, int src_pitch, void* dst) {
    rect_to_packed(src, x, y, width, height, src_pitch, dst, 4, read_rgba32_row);
}

void rgba64_rect_to_rgb24(const void* src, int x, int y, int width, int height, int src_pitch, void* dst) {
    rect_to_packed(src, x, y, width, height, src_pitch, dst, 3, read_rgb24_row);
}

int get_channel64(int x, int y, int channel) {
    const Layer* layer = current_canvas_layer();
    const CanvasState& c = g_engine.canvas;
    if (!layer || x < 0 || y < 0 || x >= c.width || y >= c.height) return 0;
    return layer->pixels[offset_of(y, c.pitch) + static_cast<std::size_t>(x) * 4 + channel];
}

namespace {

const std::uint16_t* pixel_at(const std::uint16_t* plane, int x, int y) {
    return plane + offset_of(y, g_engine.canvas.pitch) + static_cast<std::size_t>(x) * 4;
}

std::uint32_t high(std::uint16_t v) { return v >> 8; }

} // namespace

std::uint32_t get_rgba_at(int x, int y, const std::uint16_t* plane) {
    const CanvasState& c = g_engine.canvas;
    if (!plane || c.width <= 0 || c.height <= 0) return 0;
    const std::uint16_t* p = pixel_at(plane, std::clamp(x, 0, c.width - 1), std::clamp(y, 0, c.height - 1));
    return high(p[0]) << 24 | high(p[1]) << 16 | high(p[2]) << 8 | high(p[3]);
}

std::uint32_t get_color_at(int x, int y, const std::uint16_t* plane) {
    const CanvasState& c = g_engine.canvas;
    if (!plane) return 0;
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return 0xFFFFFF;
    const std::uint16_t* p = pixel_at(plane, x, y);
    return high(p[3]) << 24 | high(p[0]) << 16 | high(p[1]) << 8 | high(p[2]);
}

const std::uint16_t* surface_plane() {
    const Layer* layer = current_canvas_layer();
    return layer ? layer->pixels : nullptr;
}

const std::uint16_t* slot_plane(int slot) {
    const Layer* layer = canvas_layer_at(slot);
    return layer ? layer->pixels : nullptr;
}

const std::uint16_t* trace_plane() {
    const Layer* layer = g_engine.layers.trace;
    return (layer && fits_canvas(*layer)) ? layer->pixels : nullptr;
}

const std::uint16_t* under_layer_plane() { return g_engine.undo.back; }

void set_pixel_rgb24(void* buffer, int pitch, int x, int y, int r, int g, int b) {
    const CanvasState& c = g_engine.canvas;
    if (!buffer || x < 0 || y < 0 || x >= c.width || y >= c.height) return;
    if (!rows_fit(pitch, static_cast<std::size_t>(c.width) * 3, c.height)) return;
    std::uint8_t* p =
        static_cast<std::uint8_t*>(buffer) + offset_of(y, pitch) + static_cast<std::size_t>(x) * 3;
    p[0] = static_cast<std::uint8_t>((r & 0xFFFF) >> 8);
    p[1] = static_cast<std::uint8_t>((g & 0xFFFF) >> 8);
    p[2] = static_cast<std::uint8_t>((b & 0xFFFF) >> 8);
}

} // namespace vlm::core
