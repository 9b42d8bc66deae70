#include "core/transfer_fills.h"

#include <cstdint>
#include <cstring>

#include "core/engine_state.h"
#include "core/transfer_common.h"

namespace vlm::core {

namespace {

std::uint8_t low_byte(int v) { return static_cast<std::uint8_t>(v); }

template <class T, std::size_t N> void fill_pixels(T* p, std::size_t count, const T (&value)[N]) {
    for (std::size_t i = 0; i < count; ++i, p += N) std::memcpy(p, value, sizeof value);
}

// Runs f(row pointer) for every row of a canvas-sized host buffer whose rows hold row_bytes.
template <class F> void canvas_rows(void* buffer, int pitch, std::size_t row_bytes, F&& f) {
    const CanvasState& c = g_engine.canvas;
    if (!buffer || !rows_fit(pitch, row_bytes, c.height)) return;
    auto* base = static_cast<std::uint8_t*>(buffer);
    for (int y = 0; y < c.height; ++y) f(base + offset_of(y, pitch));
}

// Runs f(pixel) over a packed RGBA32 buffer of width x height.
template <class F> void packed_rgba32(void* buffer, int width, int height, F&& f) {
    if (!buffer || width <= 0 || height <= 0) return;
    auto* p = static_cast<std::uint8_t*>(buffer);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x, p += 4) f(p);
}

} // namespace

void clear(int r, int g, int b, int a) {
    Layer* layer = current_canvas_layer();
    if (!layer) return;
    const std::uint16_t colour[4] = {
        static_cast<std::uint16_t>(low_byte(r) << 8), static_cast<std::uint16_t>(low_byte(g) << 8),
        static_cast<std::uint16_t>(low_byte(b) << 8), static_cast<std::uint16_t>(low_byte(a) << 8)};
    fill_pixels(layer->pixels, canvas_pixel_count(), colour);
    layer_changed_whole(layer);
}

void clear_masked(int r, int g, int b, int a) {
    const std::uint16_t* mask = weight_planes().mask;
    if (!mask) return clear(r, g, b, a);
    Layer* layer = current_canvas_layer();
    if (!layer) return;
    const std::uint8_t colour[4] = {low_byte(r), low_byte(g), low_byte(b), low_byte(a)};
    std::uint16_t* p = layer->pixels;
    for (const std::uint16_t* end = mask + canvas_pixel_count(); mask != end; ++mask, p += 4) {
        const std::uint32_t m = *mask;
        if (m == 0) continue;
        if (m == 65535) {
            for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint16_t>(colour[c] << 8);
        } else {
            for (int c = 0; c < 3; ++c) p[c] = weighted_blend(p[c], colour[c], m);
            p[3] = 65535;
        }
    }
    layer_changed_whole(layer);
}

void clear_rgba64(void* buffer, int pitch, int r, int g, int b, int a) {
    const std::uint16_t colour[4] = {static_cast<std::uint16_t>(r), static_cast<std::uint16_t>(g),
                                     static_cast<std::uint16_t>(b), static_cast<std::uint16_t>(a)};
    const int n = g_engine.canvas.width;
    canvas_rows(buffer, pitch, static_cast<std::size_t>(n) * 8, [&](std::uint8_t* row) {
        for (int x = 0; x < n; ++x) std::memcpy(row + 8 * static_cast<std::size_t>(x), colour, 8);
    });
}

void clear_rgba32(void* buffer, int pitch, int r, int g, int b, int a) {
    const std::uint8_t colour[4] = {low_byte(r), low_byte(g), low_byte(b), low_byte(a)};
    const int n = g_engine.canvas.width;
    canvas_rows(buffer, pitch, static_cast<std::size_t>(n) * 4,
                [&](std::uint8_t* row) { fill_pixels(row, static_cast<std::size_t>(n), colour); });
}

void clear_rgba32_buf(void* buffer, int width, int height, int r, int g, int b, int a) {
    const std::uint8_t colour[4] = {low_byte(r), low_byte(g), low_byte(b), low_byte(a)};
    packed_rgba32(buffer, width, height, [&](std::uint8_t* p) { std::memcpy(p, colour, 4); });
}

void set_color_alpha(int r, int g, int b) {
    Layer* layer = current_canvas_layer();
    if (!layer) return;
    const std::uint16_t colour[3] = {static_cast<std::uint16_t>(low_byte(r) * 257),
                                     static_cast<std::uint16_t>(low_byte(g) * 257),
                                     static_cast<std::uint16_t>(low_byte(b) * 257)};
    std::uint16_t* p = layer->pixels;
    for (std::size_t i = 0, n = canvas_pixel_count(); i < n; ++i, p += 4) {
        if (p[3] >= 256) continue;
        std::memcpy(p, colour, 6);
        p[3] = 0;
    }
    layer_changed_whole(layer);
}

void set_color_alpha_rgba_buf(void* buffer, int width, int height, int r, int g, int b) {
    const std::uint8_t colour[3] = {low_byte(r), low_byte(g), low_byte(b)};
    packed_rgba32(buffer, width, height, [&](std::uint8_t* p) {
        if (p[3] == 0) std::memcpy(p, colour, 3);
    });
}

void set_color_rgba_buf(void* buffer, int width, int height, int r, int g, int b) {
    const std::uint8_t colour[3] = {low_byte(r), low_byte(g), low_byte(b)};
    packed_rgba32(buffer, width, height, [&](std::uint8_t* p) { std::memcpy(p, colour, 3); });
}

} // namespace vlm::core
