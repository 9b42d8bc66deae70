#include <cstdint>

#include "compose/layer_merge.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;
using exports::silent;

namespace {
std::uint16_t* values(void* p) { return static_cast<std::uint16_t*>(p); }
} // namespace

void VLM_MergeLayer(int src_slot, int dst_slot) {
    silent([&] { compose::merge_layer(src_slot, dst_slot); });
}
void VLM_MergeLayerIntoRect(int slot, void* buffer, int x, int y, int width, int height) {
    silent([&] { compose::merge_layer_into_rect(slot, values(buffer), x, y, width, height); });
}
void VLM_MergeLayerInto(int slot, void* buffer) {
    silent([&] { compose::merge_layer_into(slot, values(buffer)); });
}
void VLM_MergeRect(void* buffer, int x, int y, int width, int height) {
    silent([&] { compose::flatten_rect(values(buffer), x, y, width, height); });
}
void VLM_Merge(void* buffer) {
    silent([&] { compose::flatten(values(buffer)); });
}
unsigned int VLM_GetColorAtMerged(int x, int y) {
    return guarded("VLM_GetColorAtMerged", 0u, [&] { return compose::color_at_merged(x, y); });
}
void VLM_MergePaintLayer(int slot) {
    silent([&] { compose::merge_paint_layer(slot); });
}
void VLM_MergeRGBA32Layer(const void* buffer, int slot, int mode, int opacity) {
    guarded("VLM_MergeRGBA32Layer", [&] {
        compose::merge_rgba32_layer(static_cast<const std::uint8_t*>(buffer), slot, mode, opacity);
    });
}
