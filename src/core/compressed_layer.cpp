#include "core/compressed_layer.h"

#include <climits>
#include <cstdint>
#include <memory>

#include "core/engine_state.h"
#include "core/layer_store.h"
#include "core/memory.h"
#include "core/transfer_common.h"
#include "core/transfer_loads.h"
#include "core/transfer_reads.h"
#include "imaging/kit/deflate.h"

namespace vlm::core {

namespace {

// Work buffers come from the undo-relieving allocator and go back with delete[].
std::unique_ptr<std::uint8_t[]> work_buffer(std::size_t bytes) {
    return std::unique_ptr<std::uint8_t[]>(x_NewCharUndoReduce(bytes));
}

} // namespace

int compressed_layer_bound() {
    const std::size_t bound = kit::deflate_bound(canvas_pixel_count() * 4);
    return bound > INT_MAX ? INT_MAX : static_cast<int>(bound);
}

int get_layer_compressed(void* out, int capacity, int slot, int level) {
    if (!canvas_layer_at(slot) || !out || capacity <= 0) return 0;
    const CanvasState& c = g_engine.canvas;
    const std::size_t bytes = canvas_pixel_count() * 4;
    const auto work = work_buffer(bytes);
    if (!work) return 0;
    get_rgba32_layer(work.get(), c.width * 4, slot);
    // At most capacity (an int) bytes are written, so the size fits.
    return static_cast<int>(
        kit::deflate_buffer(work.get(), bytes, out, static_cast<std::size_t>(capacity), level));
}

void load_layer_compressed(const void* in, int size, int slot) {
    Layer* layer = layer_at(slot);
    if (!layer || !layer->pixels || !in || size <= 0 || layer->width <= 0 || layer->height <= 0) return;
    if (layer->width > INT_MAX / 4) return;
    const std::size_t bytes =
        static_cast<std::size_t>(layer->width) * static_cast<std::size_t>(layer->height) * 4;
    const auto work = work_buffer(bytes);
    if (!work) return;
    // A stream that is damaged, or made from a layer of another size, would load as transparent black
    // or as sheared rows: keep the layer instead.
    if (kit::inflate_buffer(in, static_cast<std::size_t>(size), work.get(), bytes) != bytes) return;
    load_rgba32_layer(work.get(), layer->width * 4, layer, 0, 0, layer->width, layer->height, 0);
}

} // namespace vlm::core
