#include "core/transfer_common.h"

#include "core/dirty_rect.h"

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

void layer_changed(const Layer* layer, int x0, int y0, int x1, int y1) {
    if (layer && layer == g_engine.layers.current) widen_dirty_rect(x0, y0, x1, y1);
}

void layer_changed_whole(const Layer* layer) {
    layer_changed(layer, 0, 0, g_engine.canvas.width - 1, g_engine.canvas.height - 1);
}

} // namespace vlm::core
