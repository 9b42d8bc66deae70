#include "core/layer_queries.h"

#include <algorithm>
#include <cstring>

#include "core/engine_state.h"
#include "core/layer_store.h"
#include "core/memory.h"
#include "core/transfer_common.h"

namespace vlm::core {

namespace {

std::size_t canvas_pixels() {
    return static_cast<std::size_t>(g_engine.canvas.width) * static_cast<std::size_t>(g_engine.canvas.height);
}

// Runs f(pixel) over every pixel of a layer using its own size and pitch.
template <class F> void for_each_own_pixel(Layer& layer, F&& f) {
    if (!layer.pixels || layer.width <= 0 || layer.height <= 0 || layer.pitch < layer.width * 4) return;
    for (int y = 0; y < layer.height; ++y) {
        std::uint16_t* p = layer.pixels + static_cast<std::size_t>(y) * layer.pitch;
        for (int x = 0; x < layer.width; ++x, p += 4) f(p);
    }
}

} // namespace

void create_texture(int slot) {
    const Layer* layer = canvas_layer_at(slot);
    if (!layer) return;
    const std::size_t n = canvas_pixels();
    LayerTable& t = g_engine.layers;
    if (!t.texture) t.texture = x_NewCharUndoReduce(n);
    if (!t.texture) return;
    const std::uint16_t* p = layer->pixels;
    for (std::size_t i = 0; i < n; ++i, p += 4) {
        const unsigned v = (static_cast<unsigned>(p[0]) + p[1] + p[2]) / 768;
        t.texture[i] = static_cast<std::uint8_t>(std::clamp(v, 4u, 250u));
    }
}

void delete_texture() { free_block(g_engine.layers.texture); }

void get_layer_data(void* buffer, int slot) {
    const Layer* layer = canvas_layer_at(slot);
    if (buffer && layer) std::memcpy(buffer, layer->pixels, canvas_pixels() * 8);
}

void set_layer_data(const void* buffer, int slot) {
    Layer* layer = canvas_layer_at(slot);
    if (!buffer || !layer) return;
    std::memcpy(layer->pixels, buffer, canvas_pixels() * 8);
    layer_changed_whole(layer);
}

void copy_layer_data(int source, int destination) {
    const Layer* from = canvas_layer_at(source);
    Layer* to = canvas_layer_at(destination);
    if (!from || !to) return;
    std::memmove(to->pixels, from->pixels, canvas_pixels() * 8);
    layer_changed_whole(to);
}

void set_layer_alpha(int slot, int alpha) {
    Layer* layer = layer_at(slot);
    if (!layer || !layer->pixels) return;
    for_each_own_pixel(*layer, [v = static_cast<std::uint16_t>(alpha)](std::uint16_t* p) { p[3] = v; });
    layer_changed_whole(layer);
}

void invert_alpha(int slot) {
    Layer* layer = layer_at(slot);
    if (!layer || !layer->pixels) return;
    for_each_own_pixel(*layer, [](std::uint16_t* p) { p[3] = static_cast<std::uint16_t>(65535 - p[3]); });
    layer_changed_whole(layer);
}

void normalize_layer_alpha(int slot) {
    Layer* layer = layer_at(slot);
    if (!layer || !layer->pixels || layer->mode > 27) return;
    const unsigned opacity = static_cast<unsigned>(std::clamp<int>(layer->opacity, 0, 256));
    for_each_own_pixel(*layer, [opacity](std::uint16_t* p) { p[3] = static_cast<std::uint16_t>((p[3] * opacity) >> 8); });
    layer->opacity = 256;
    layer_changed_whole(layer);
}

int is_layer_transparent(int slot) {
    const Layer* layer = canvas_layer_at(slot);
    if (!layer) return 1; // empty, or not addressable with canvas geometry
    const std::size_t n = canvas_pixels();
    const std::uint16_t* p = layer->pixels;
    for (std::size_t i = 0; i < n; ++i, p += 4)
        if (p[3] < 0xFF00) return 1;
    return 0;
}

int is_single_color(int slot) {
    const Layer* layer = canvas_layer_at(slot);
    if (!layer) return 0;
    const std::size_t n = canvas_pixels();
    if (n == 0) return 1;
    const std::uint16_t* first = layer->pixels;
    const std::uint16_t* p = first;
    for (std::size_t i = 0; i < n; ++i, p += 4)
        if (std::memcmp(p, first, 8) != 0) return 0;
    return 1;
}

void find_data_extents(int slot, int* x0, int* y0, int* x1, int* y1) {
    const Layer* layer = canvas_layer_at(slot);
    if (!layer || !x0 || !y0 || !x1 || !y1) return;
    const CanvasState& c = g_engine.canvas;
    int ax0 = c.width, ay0 = c.height, ax1 = 0, ay1 = 0;
    for (int y = 0; y < c.height; ++y) {
        const std::uint16_t* row = layer->pixels + static_cast<std::size_t>(y) * c.pitch;
        for (int x = 0; x < c.width; ++x) {
            if (row[x * 4 + 3] == 0) continue;
            ax0 = std::min(ax0, x);
            ax1 = std::max(ax1, x);
            ay0 = std::min(ay0, y);
            ay1 = std::max(ay1, y);
        }
    }
    *x0 = ax0, *y0 = ay0, *x1 = ax1, *y1 = ay1;
}

} // namespace vlm::core
