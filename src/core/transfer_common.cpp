#include "core/transfer_common.h"

#include <algorithm>

#include "core/canvas.h"
#include "core/engine_state.h"

namespace vlm::core {

WeightPlanes weight_planes() {
    const Engine& e = g_engine;
    return {e.mask.enabled ? e.mask.plane : nullptr, e.layers.texture, e.canvas.width, e.canvas.height};
}

std::size_t canvas_pixel_count() {
    return static_cast<std::size_t>(g_engine.canvas.width) * static_cast<std::size_t>(g_engine.canvas.height);
}

Layer* current_canvas_layer() {
    Layer* layer = g_engine.layers.current;
    return (layer && fits_canvas(*layer)) ? layer : nullptr;
}

void widen_dirty(int x0, int y0, int x1, int y1) {
    undo::State& u = g_engine.undo;
    u.dirty_x0 = std::min(u.dirty_x0, x0);
    u.dirty_y0 = std::min(u.dirty_y0, y0);
    u.dirty_x1 = std::max(u.dirty_x1, x1);
    u.dirty_y1 = std::max(u.dirty_y1, y1);
}

void layer_changed(const Layer* layer, int x0, int y0, int x1, int y1) {
    if (layer && layer == g_engine.layers.current) widen_dirty(x0, y0, x1, y1);
}

void layer_changed_whole(const Layer* layer) {
    layer_changed(layer, 0, 0, g_engine.canvas.width - 1, g_engine.canvas.height - 1);
}

} // namespace vlm::core
