#include "core/layer_store.h"

#include "core/engine_state.h"
#include "core/memory.h"

namespace vlm::core {

void delete_layer(int slot) {
    if (slot < 0 || slot >= kLayerSlots) return;
    free_block(g_engine.layers.layers[slot].pixels);
}

} // namespace vlm::core
