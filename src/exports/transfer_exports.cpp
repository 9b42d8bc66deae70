#include <cstdint>

#include "core/engine_state.h"
#include "core/new_rgba.h"
#include "core/transfer_convert.h"
#include "core/transfer_fills.h"
#include "core/transfer_loads.h"
#include "core/transfer_reads.h"
#include "exports/guard.h"
#include "undo/undo_store.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::guarded;

namespace {

std::uint8_t* bytes(void* p) { return static_cast<std::uint8_t*>(p); }
std::uint16_t* values(void* p) { return static_cast<std::uint16_t*>(p); }
const std::uint16_t* values(const void* p) { return static_cast<const std::uint16_t*>(p); }

} // namespace

void VLM_Load(const void* buffer, int pitch, int width, int height) {
    core::load_bgr24(buffer, pitch, width, height);
}
void VLM_LoadRGB24(const void* buffer, int pitch, int weighted) { core::load_rgb24(buffer, pitch, weighted); }
void VLM_LoadRGB24ToAlpha(const void* buffer, int pitch, int weighted) {
    core::load_rgb24_to_alpha(buffer, pitch, weighted);
}
void VLM_LoadRGBA32Layer(const void* buffer, int pitch, int slot, int x, int y, int width, int height,
                         int weighted) {
    core::load_rgba32_slot(buffer, pitch, slot, x, y, width, height, weighted);
}
void VLM_LoadRGBA32(const void* buffer, int pitch, int weighted) {
    core::load_rgba32_current(buffer, pitch, weighted);
}
void VLM_LoadRGBA32Into(const void* buffer, int pitch, int slot, int x, int y, int width, int height) {
    core::load_rgba32_slot(buffer, pitch, slot, x, y, width, height, 1);
}
void VLM_LoadRGBA32Layer_BAD(void* buffer, int ignored, int slot, int width, int height, int flag) {
    guarded("LoadRGBA32Layer", [&] { core::load_rgba32_layer_merged(buffer, slot, width, height, flag); });
}
void VLM_SetRGBA64Layer(const void* buffer, int pitch, int slot) {
    core::set_rgba64_layer(buffer, pitch, slot);
}
void VLM_SetInNewRGBA(void) { core::set_in_new_rgba(); }

void VLM_GetRGB24(void* buffer, int pitch) { core::get_rgb24(buffer, pitch); }
void VLM_GetRGB24Layer(void* buffer, int pitch, int slot) { core::get_rgb24_layer(buffer, pitch, slot); }
void VLM_GetRGB24FromAlpha(void* buffer, int pitch) { core::get_rgb24_from_alpha(buffer, pitch); }
void VLM_GetRGBA32(void* buffer, int pitch) { core::get_rgba32(buffer, pitch); }
void VLM_GetRGBA32Layer(void* buffer, int pitch, int slot) { core::get_rgba32_layer(buffer, pitch, slot); }
void VLM_GetRGBA64Layer(void* buffer, int pitch, int slot) { core::get_rgba64_layer(buffer, pitch, slot); }
void VLM_GetRGBA64LayerRect(void* buffer, int pitch, int slot, int x, int y, int width, int height) {
    core::get_rgba64_layer_rect(buffer, pitch, slot, x, y, width, height);
}
void VLM_GetRGB24FromRGBA64Rect(void* dst, int dst_pitch, const void* src, int src_pitch, int x, int y,
                                int width, int height) {
    core::rgba64_to_rgb24(dst, dst_pitch, src, src_pitch, width, height);
}
void VLM_GetRGBA32FromRGBA64Rect(void* dst, int dst_pitch, const void* src, int src_pitch, int x, int y,
                                 int width, int height) {
    core::rgba64_to_rgba32(dst, dst_pitch, src, src_pitch, width, height);
}
void VLM_GetRGB24FromRGBA64(void* dst, int dst_pitch, const void* src, int src_pitch) {
    core::rgba64_to_rgb24(dst, dst_pitch, src, src_pitch, g_engine.canvas.width, g_engine.canvas.height);
}
void VLM_GetRGBA32FromRGBA64(void* dst, int dst_pitch, int width, int height, const void* src,
                             int src_pitch) {
    core::rgba64_to_rgba32(dst, dst_pitch, src, src_pitch, width, height);
}
void VLM_RGBA64RectToRGBA32(const void* src, int x, int y, int width, int height, int src_pitch, int ignored,
                            void* dst) {
    core::rgba64_rect_to_rgba32(src, x, y, width, height, src_pitch, dst);
}
void VLM_RGBA64RectToRGBA24(const void* src, int x, int y, int width, int height, int src_pitch, int ignored,
                            void* dst) {
    core::rgba64_rect_to_rgb24(src, x, y, width, height, src_pitch, dst);
}

int VLM_GetRed64(int x, int y) { return core::get_channel64(x, y, 0); }
int VLM_GetGreen64(int x, int y) { return core::get_channel64(x, y, 1); }
int VLM_GetBlue64(int x, int y) { return core::get_channel64(x, y, 2); }
int VLM_GetAlpha64(int x, int y) { return core::get_channel64(x, y, 3); }
unsigned int VLM_GetRGBAAt(int x, int y, const void* plane) { return core::get_rgba_at(x, y, values(plane)); }
unsigned int VLM_GetColorAt(int x, int y, const void* plane) {
    return core::get_color_at(x, y, values(plane));
}
unsigned int VLM_GetRGBAAtSurface(int x, int y) { return core::get_rgba_at(x, y, core::surface_plane()); }
unsigned int VLM_GetRGBAAtUnderLayer(int x, int y) {
    return core::get_rgba_at(x, y, core::under_layer_plane());
}
unsigned int VLM_GetRGBAAtLayer(int x, int y, int slot) {
    return core::get_rgba_at(x, y, core::slot_plane(slot));
}
unsigned int VLM_GetRGBAAtTrace(int x, int y) { return core::get_rgba_at(x, y, core::trace_plane()); }
unsigned int VLM_GetColorAtSurface(int x, int y) { return core::get_color_at(x, y, core::surface_plane()); }
unsigned int VLM_GetColorAtUnderLayer(int x, int y) {
    return core::get_color_at(x, y, core::under_layer_plane());
}
unsigned int VLM_GetColorAtLayer(int x, int y, int slot) {
    return core::get_color_at(x, y, core::slot_plane(slot));
}
unsigned int VLM_GetColorAtTrace(int x, int y) { return core::get_color_at(x, y, core::trace_plane()); }
unsigned int VLM_GetColorAtHistory(int x, int y) {
    return undo::can_undo() ? core::get_color_at(x, y, core::under_layer_plane()) : 0;
}
void VLM_SetPixelRGB24(void* buffer, int pitch, int x, int y, int r, int g, int b) {
    core::set_pixel_rgb24(buffer, pitch, x, y, r, g, b);
}

void VLM_Clear(int r, int g, int b, int a) { core::clear(r, g, b, a); }
void VLM_ClearMasked(int r, int g, int b, int a) { core::clear_masked(r, g, b, a); }
void VLM_ClearRGBA64(void* buffer, int pitch, int r, int g, int b, int a) {
    core::clear_rgba64(buffer, pitch, r, g, b, a);
}
void VLM_ClearRGBA32(void* buffer, int pitch, int r, int g, int b, int a) {
    core::clear_rgba32(buffer, pitch, r, g, b, a);
}
void VLM_ClearRGBA32Buf(void* buffer, int width, int height, int r, int g, int b, int a) {
    core::clear_rgba32_buf(buffer, width, height, r, g, b, a);
}
void VLM_SetColorAlpha(int r, int g, int b) { core::set_color_alpha(r, g, b); }
void VLM_SetColorAlphaRGBABuf(void* buffer, int width, int height, int r, int g, int b) {
    core::set_color_alpha_rgba_buf(buffer, width, height, r, g, b);
}
void VLM_SetColorRGBABuf(void* buffer, int width, int height, int r, int g, int b) {
    core::set_color_rgba_buf(buffer, width, height, r, g, b);
}

void VLM_RGBToRGBA(void* dst, int width, int height, const void* src) {
    core::rgb_to_rgba(dst, width, height, src);
}
void VLM_RGBAToRGB(void* dst, int width, int height, const void* src) {
    core::rgba_to_rgb(dst, width, height, src);
}
void VLM_RGBAlphaToRGB(void* dst, int width, int height, const void* src) {
    core::rgb_alpha_to_rgb(dst, width, height, src);
}
void VLM_RGBToRGBAlpha(void* dst, int width, int height, const void* src) {
    core::rgb_to_rgb_alpha(dst, width, height, src);
}
void VLM_InvertAlpha_RGBA32(void* buffer) { core::invert_alpha_rgba32(buffer); }
void VLM_AdjustRGBA32PreFilter(void* buffer, int width, int height) {
    core::adjust_rgba32_pre_filter(bytes(buffer), width, height);
}
void VLM_AdjustRGBA32PostFilter(void* buffer, int width, int height) {
    core::adjust_rgba32_post_filter(bytes(buffer), width, height);
}
void VLM_AdjustRGBA64PreFilter(void* buffer, int width, int height) {
    core::adjust_rgba64_pre_filter(values(buffer), width, height);
}
void VLM_AdjustRGBA64PostFilter(void* buffer, int width, int height) {
    core::adjust_rgba64_post_filter(values(buffer), width, height);
}
void VLM_AdjustRGBA32ForAlphaComp(int flag, void* buffer) {
    core::adjust_rgba32_for_alpha_comp(flag, bytes(buffer));
}
void VLM_AdjustRGBA32ByMaskAndTexture(void* buffer, int width, int height) {
    core::adjust_rgba32_by_mask_and_texture(bytes(buffer), width, height);
}
void VLM_AdjustRGBA32RectByMaskAndTexture(void* buffer, int x, int y, int width, int height) {
    core::adjust_rgba32_rect_by_mask_and_texture(bytes(buffer), x, y, width, height);
}

int VLM_GetNewRGBAWidth(void) { return g_engine.new_rgba.width; }
int VLM_GetNewRGBAHeight(void) { return g_engine.new_rgba.height; }
void VLM_GetNewRGBA32(void* buffer) { core::get_new_rgba32(buffer); }
void VLM_GetNewRGBA24(void* buffer) { core::get_new_rgba24(buffer); }
int VLM_IsNewRGBA32Transparent(void) { return core::is_new_rgba32_transparent(); }
void VLM_DeleteNewRGBA(void) {
    guarded("DeleteNewRGBA", [] { core::delete_new_rgba(); });
}
