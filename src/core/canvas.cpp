#include "core/canvas.h"

#include <algorithm>
#include <cstring>

#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/layer_store.h"
#include "core/memory.h"
#include "core/random.h"

namespace vlm::core {

namespace {

std::size_t area(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

int clamp_brush(int max_brush) { return std::clamp(max_brush, 0, kMaxBrushEdge); }

// Step 1 of creation: the stored geometry and the default view.
void store_geometry(void* host_window, int width, int height, int max_brush, int reserved) {
    CanvasState& c = g_engine.canvas;
    c.host_window = host_window;
    c.width = apply_size_rule(width);
    c.height = apply_size_rule(height);
    c.pitch = c.width * 4;
    c.max_brush = clamp_brush(max_brush);
    c.reserved = reserved;
    c.brush_pitch = c.max_brush * 4;
    c.scale_mode = 1;
    c.scale_factor = 1.0f;
    c.offset_x = 0;
    c.offset_y = 0;
}

// Steps 4 to 9 of creation: every canvas-sized plane that is not a layer.
void allocate_planes() {
    Engine& e = g_engine;
    const CanvasState& c = e.canvas;
    const std::size_t dab_edge = static_cast<std::size_t>(c.max_brush) + 25;
    // Fresh dab buffers hold no grit (255 everywhere) and the shape no coverage, so a dab drawn before the
    // next tool is set reads defined bytes wherever the grit position was left.
    for (auto& dab : e.brush.dab) {
        dab = x_NewCharUndoReduce(dab_edge * dab_edge);
        if (dab) std::fill_n(dab, dab_edge * dab_edge, std::uint8_t{255});
    }
    e.brush.shape = new std::uint16_t[area(c.max_brush, c.max_brush)]();

    if (hooks().set_blend_buffer_count) hooks().set_blend_buffer_count(1);

    const std::size_t pixels = area(c.width, c.height);
    e.mask.plane = new std::uint16_t[pixels];
    std::fill_n(e.mask.plane, pixels, std::uint16_t{0xFFFF});
    e.mask.pitch_bytes = c.width * 2;
    e.mask.enabled = 1;
    e.brush.tool.tracing_mode = 0;
    e.layers.trace = &e.layers.layers[0];

    e.undo.back = new std::uint16_t[pixels * 4];
    e.undo.back_mask = new std::uint16_t[pixels];

    if (hooks().clear_undo) hooks().clear_undo();
    e.undo.memory_in_use_kb = static_cast<int>(pixels * 10 / 1024);

    MakeRandArrayByte(e.random.grit_a, 255, kGritArrayLength);
    MakeRandArrayByte(e.random.grit_b, 254, kGritArrayLength);
}

// Everything the canvas owns apart from the layer table, as deletion and resizing free it.
void release_planes() {
    Engine& e = g_engine;
    free_block(e.mask.plane);
    free_block(e.layers.texture);
    free_block(e.undo.back);
    free_block(e.undo.back_mask);
    if (hooks().release_undo) hooks().release_undo();
    if (hooks().clear_undo) hooks().clear_undo();
    e.undo.memory_in_use_kb = 0;
    if (hooks().set_blend_buffer_count) hooks().set_blend_buffer_count(0);
    free_block(e.layers.paint.pixels);
    free_block(e.brush.shape);
    free_block(e.brush.source.pixels);
    e.brush.source.width = 0;
    e.brush.source.height = 0;
    for (auto& dab : e.brush.dab) free_block(dab);
}

void free_processing_buffers() {
    if (hooks().free_processing_buffers) hooks().free_processing_buffers();
}

} // namespace

int apply_size_rule(int edge) { return (edge < 0 || edge > kMaxCanvasEdge) ? 100 : edge; }

bool fits_canvas(const Layer& layer) {
    const CanvasState& c = g_engine.canvas;
    return layer.pixels && layer.width == c.width && layer.height == c.height && layer.pitch == c.pitch;
}

void create_image(void* host_window, int width, int height, int max_brush, int reserved) {
    Engine& e = g_engine;
    // A canvas that still exists is released first, so that creating twice loses no memory; the IPL
    // buffers are therefore absent afterwards, as a fresh canvas needs.
    release_planes();
    free_processing_buffers();

    store_geometry(host_window, width, height, max_brush, reserved);
    for (Layer& layer : e.layers.layers) free_block(layer.pixels);
    e.layers.current = nullptr;
    allocate_planes();
}

void new_size(void* host_window, int width, int height, int max_brush, int reserved) {
    CanvasState& c = g_engine.canvas;
    c.host_window = host_window;
    c.width = apply_size_rule(width);
    c.height = apply_size_rule(height);
    release_planes();
    free_processing_buffers();
    store_geometry(host_window, width, height, max_brush, reserved);
    allocate_planes();
}

void delete_image() {
    release_planes();
    for (int slot = 0; slot < kLayerSlots; ++slot) delete_layer(slot);
    free_processing_buffers();
}

void set_start_dir(const char* path) {
    if (!path) return;
    const std::size_t n = strnlen(path, kStartDirBytes);
    if (n >= kStartDirBytes) return;
    std::memcpy(g_engine.canvas.start_dir, path, n + 1);
}

} // namespace vlm::core
