#include "core/layer_store.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <utility>

#include "compose/blend_mode_names.h"
#include "core/canvas.h"
#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/layer_queries.h"
#include "core/memory.h"
#include "core/transfer_common.h"

namespace vlm::core {

Layer* layer_at(int slot) {
    return (slot >= 0 && slot < kLayerSlots) ? &g_engine.layers.layers[slot] : nullptr;
}

Layer* canvas_layer_at(int slot) {
    Layer* layer = layer_at(slot);
    return (layer && fits_canvas(*layer)) ? layer : nullptr;
}

int create_layer(int slot, int width, int height) {
    Layer* layer = layer_at(slot);
    // Layers beyond the largest canvas could not be addressed with an int pitch.
    if (!layer || width < 0 || height < 0 || width > kMaxCanvasEdge || height > kMaxCanvasEdge) return 0;
    if (layer->pixels && (layer->width != width || layer->height != height)) free_block(layer->pixels);
    layer->width = width;
    layer->height = height;
    layer->pitch = width * 4;
    const std::size_t values = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    if (!layer->pixels) layer->pixels = x_NewShortUndoReduce(values);
    if (!layer->pixels) return 0;
    std::fill_n(layer->pixels, values, slot == 1 ? std::uint16_t{0xFFFF} : std::uint16_t{0});
    layer_changed_whole(layer); // re-creating the current layer clears it
    return 1;
}

void delete_layer(int slot) {
    if (Layer* layer = layer_at(slot)) free_block(layer->pixels);
}

void set_layer(int slot) {
    LayerTable& t = g_engine.layers;
    Layer* layer = layer_at(slot);
    if (!layer || !layer->pixels) return;
    if (layer->mode == compose::kModeTexturize3) delete_texture();
    if (slot != t.current_number && t.current && t.current->visible && t.current->mode == compose::kModeTexturize3)
        create_texture(t.current_number);
    t.current = layer;
    t.current_number = slot;
    if (hooks().save_undo_back_buffer) hooks().save_undo_back_buffer(slot);
}

int opacity_from_percent(int percent) {
    return static_cast<int>(std::clamp(percent, 0, 100) * 2.56);
}

void store_mode_name(Layer& layer, const char* name) {
    if (!name) return;
    const std::size_t n = strnlen(name, kModeNameBytes);
    if (n < kModeNameBytes) std::memcpy(layer.mode_name, name, n + 1);
}

namespace {

int top_layer_index() {
    const LayerTable& t = g_engine.layers;
    for (int slot = kLayerSlots - 1; slot > 1; --slot)
        if (t.layers[slot].pixels) return slot;
    return 1;
}

} // namespace

void set_layer_options(int slot, int visible, int alpha_locked, int opacity_percent, const char* mode_name) {
    LayerTable& t = g_engine.layers;
    Layer* layer = layer_at(slot);
    if (!layer) return;
    if (layer->mode == compose::kModeTexturize3) delete_texture();
    layer->visible = static_cast<std::uint8_t>(visible);
    layer->alpha_locked = static_cast<std::uint8_t>(alpha_locked);
    layer->strength = 255;
    layer->mode_name[0] = '\0';
    layer->opacity = static_cast<std::int16_t>(opacity_from_percent(opacity_percent));
    store_mode_name(*layer, mode_name);
    layer->mode = compose::blend_mode_id(layer->mode_name);
    t.top_index = top_layer_index();
    if (slot != t.current_number && layer->visible && layer->mode == compose::kModeTexturize3) create_texture(slot);
}

int layer_count() {
    return static_cast<int>(std::count_if(std::begin(g_engine.layers.layers), std::end(g_engine.layers.layers),
                                          [](const Layer& l) { return l.pixels != nullptr; }));
}

void swap_layers(int a, int b) {
    Layer* la = layer_at(a);
    Layer* lb = layer_at(b);
    if (la && lb) std::swap(*la, *lb);
}

} // namespace vlm::core
