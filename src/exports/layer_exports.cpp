#include "core/engine_state.h"
#include "core/layer_queries.h"
#include "core/layer_store.h"
#include "core/paint_layer.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;
using exports::silent;

int VLM_CreateLayer(int slot, int width, int height) {
    return guarded("CreateLayer", 0, [&] { return core::create_layer(slot, width, height); });
}
void VLM_DeleteLayer(int slot) {
    guarded("DeleteLayer", [&] { core::delete_layer(slot); });
}
void VLM_SetLayer(int slot) {
    silent([&] { core::set_layer(slot); });
}
int VLM_GetLayerNum(void) { return g_engine.layers.current_number; }
int VLM_GetLayerCount(void) { return core::layer_count(); }
void VLM_SetLayerOptions(int slot, int visible, int alpha_locked, int opacity_percent, const char* mode_name) {
    silent([&] { core::set_layer_options(slot, visible, alpha_locked, opacity_percent, mode_name); });
}
void VLM_SwapLayers(int slot_a, int slot_b) { core::swap_layers(slot_a, slot_b); }
int VLM_CreatePaintLayer(int opacity_percent, int strength_percent, const char* mode_name) {
    return silent(0, [&] { return core::create_paint_layer(opacity_percent, strength_percent, mode_name); });
}
void VLM_DeletePaintLayer(void) { core::delete_paint_layer(); }
void VLM_ClearPaintLayer(void) { core::clear_paint_layer(); }
void VLM_ClearPaintLayer_old(void) { core::clear_paint_layer_old(); }
void VLM_SetPaintLayerExtents(int x0, int y0, int x1, int y1) { core::set_paint_layer_extents(x0, y0, x1, y1); }
void VLM_SwapPaintLayer(int slot) { core::swap_paint_layer(slot); }
void VLM_BlurPaintLayerAlpha(void) {
    guarded("BlurPaintLayerAlpha", [] { core::blur_paint_layer_alpha(); });
}
void VLM_CreateTexture(int slot) {
    guarded("CreateTexture", [&] { core::create_texture(slot); });
}
void VLM_DeleteTexture(void) { core::delete_texture(); }
void VLM_GetLayerData(void* buffer, int slot) { core::get_layer_data(buffer, slot); }
void VLM_SetLayerData(const void* buffer, int slot) { core::set_layer_data(buffer, slot); }
void VLM_CopyLayerData(int source_slot, int destination_slot) { core::copy_layer_data(source_slot, destination_slot); }
void VLM_SetLayerAlpha(int slot, int alpha) { core::set_layer_alpha(slot, alpha); }
void VLM_InvertAlpha(int slot) { core::invert_alpha(slot); }
void VLM_NormalizeLayerAlpha(int slot) { core::normalize_layer_alpha(slot); }
int VLM_IsLayerTransparent(int slot) { return core::is_layer_transparent(slot); }
int VLM_IsSingleColor(int slot) { return core::is_single_color(slot); }
void VLM_FindDataExtentsLayer(int slot, int* x0, int* y0, int* x1, int* y1) {
    core::find_data_extents(slot, x0, y0, x1, y1);
}
