#include "core/paint_layer.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>

#include "compose/blend_mode_names.h"
#include "core/engine_state.h"
#include "core/layer_store.h"
#include "core/memory.h"
#include "imaging/kit/blur.h"

namespace vlm::core {

namespace {

Layer& paint() { return g_engine.layers.paint; }

std::size_t own_values(const Layer& l) {
    return static_cast<std::size_t>(std::max(l.width, 0)) * static_cast<std::size_t>(std::max(l.height, 0)) * 4;
}

void set_extents_empty() {
    Layer& p = paint();
    p.x0 = g_engine.canvas.width;
    p.y0 = g_engine.canvas.height;
    p.x1 = 0;
    p.y1 = 0;
}

struct BlockDeleter {
    void operator()(std::uint8_t* p) const { delete[] p; }
};

} // namespace

int create_paint_layer(int opacity_percent, int strength_percent, const char* mode_name) {
    Layer& p = paint();
    if (!p.pixels) {
        const CanvasState& c = g_engine.canvas;
        p.width = c.width;
        p.height = c.height;
        p.pitch = c.width * 4;
        p.pixels = x_NewShortUndoReduce(own_values(p));
        p.x0 = 0, p.y0 = 0, p.x1 = c.width, p.y1 = c.height;
        clear_paint_layer();
    }
    store_mode_name(p, mode_name);
    p.visible = 1;
    p.alpha_locked = 0;
    p.opacity = static_cast<std::int16_t>(opacity_from_percent(opacity_percent));
    p.strength = static_cast<std::int16_t>(std::clamp(strength_percent, 0, 100) * 2.559);
    p.mode = compose::blend_mode_id(p.mode_name);
    return p.mode;
}

void delete_paint_layer() { free_block(paint().pixels); }

void clear_paint_layer() {
    Layer& p = paint();
    if (p.pixels) std::fill_n(p.pixels, own_values(p), std::uint16_t{0});
    set_extents_empty();
}

void clear_paint_layer_old() {
    Layer& p = paint();
    if (p.pixels && p.pitch >= p.width * 4) {
        std::memset(p.pixels, 0xFF, own_values(p) * 2);
        // Only the part of the extents that lies on the plane is cleared.
        const int x0 = std::max(p.x0, 0), y0 = std::max(p.y0, 0);
        const int x1 = std::min(p.x1, p.width), y1 = std::min(p.y1, p.height);
        for (int y = y0; y < y1 && x0 < x1; ++y)
            std::fill_n(p.pixels + static_cast<std::size_t>(y) * p.pitch + x0 * 4, (x1 - x0) * 4, std::uint16_t{0});
    }
    set_extents_empty();
}

void set_paint_layer_extents(int x0, int y0, int x1, int y1) {
    Layer& p = paint();
    p.x0 = x0, p.y0 = y0, p.x1 = x1, p.y1 = y1;
}

void swap_paint_layer(int slot) {
    if (Layer* layer = layer_at(slot)) std::swap(*layer, paint());
}

void blur_paint_layer_alpha() {
    Layer& p = paint();
    if (!p.pixels || p.width <= 0 || p.height <= 0 || p.pitch < p.width * 4) return;
    const std::size_t n = static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height);
    std::unique_ptr<std::uint8_t[], BlockDeleter> before(x_NewCharUndoReduce(n));
    std::unique_ptr<std::uint8_t[], BlockDeleter> blurred(x_NewCharUndoReduce(n));
    if (!before || !blurred) return;
    for (int y = 0; y < p.height; ++y) {
        const std::uint16_t* src = p.pixels + static_cast<std::size_t>(y) * p.pitch;
        std::uint8_t* dst = before.get() + static_cast<std::size_t>(y) * p.width;
        for (int x = 0; x < p.width; ++x) dst[x] = static_cast<std::uint8_t>(src[x * 4 + 3] >> 8);
    }
    if (!kit::blur_image(before.get(), p.width, p.height, 1, p.width, blurred.get(), p.width, 100, 1)) return;
    for (int y = 0; y < p.height; ++y) {
        std::uint16_t* px = p.pixels + static_cast<std::size_t>(y) * p.pitch;
        const std::size_t row = static_cast<std::size_t>(y) * p.width;
        for (int x = 0; x < p.width; ++x) {
            const std::uint8_t old = before[row + x];
            px[x * 4 + 3] = old >= 240 ? 65535 : static_cast<std::uint16_t>(blurred[row + x] * 256);
        }
    }
}

} // namespace vlm::core
