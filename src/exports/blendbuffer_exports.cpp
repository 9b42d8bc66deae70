#include <cstdint>

#include "brush/blend_buffers.h"
#include "exports/guard.h"
#include "velmora/velmora.h"

using namespace vlm;
using exports::silent;

namespace {
const std::uint16_t* values(const void* p) { return static_cast<const std::uint16_t*>(p); }
} // namespace

void VLM_SetBlendBufferCount(int n) {
    silent([&] { brush::set_blend_buffer_count(n); });
}
void VLM_SelectBlendBuffer(int i) {
    silent([&] { brush::select_blend_buffer(i); });
}
void VLM_ClearBlendBuffer(void) {
    silent([&] { brush::clear_blend_buffer(); });
}
void VLM_FillBlendBuffer(int, int, int, int value) {
    silent([&] { brush::fill_blend_buffer(value); });
}
void VLM_DoCopyBlendBuffer(int x, int y, const void* plane, int amount, int flag) {
    silent([&] { brush::copy_blend_buffer(x, y, values(plane), amount, flag); });
}
void VLM_CopyBlendBufferSurface(int x, int y, int amount, int flag) {
    silent([&] { brush::copy_blend_buffer(x, y, brush::surface_plane(), amount, flag); });
}
void VLM_CopyBlendBufferLayer(int slot, int x, int y, int amount) {
    silent([&] { brush::copy_blend_buffer(x, y, brush::layer_plane(slot), amount, 0); });
}
void VLM_CopyBlendBufferUnderLayer(int x, int y, int amount) {
    silent([&] { brush::copy_blend_buffer(x, y, brush::under_layer_plane(), amount, 0); });
}
void VLM_CopyBlendBufferHistory(int x, int y, int amount) { VLM_CopyBlendBufferUnderLayer(x, y, amount); }
void VLM_CopyBlendBufferTrace(int x, int y, int amount) {
    silent([&] { brush::copy_blend_buffer(x, y, brush::trace_plane(), amount, 0); });
}
void VLM_DoCopyBlendBufferMask(int x, int y, int amount) {
    silent([&] { brush::copy_blend_buffer_mask(x, y, amount); });
}
void VLM_DoMixBlendBuffer(int x, int y, const void* plane, int amount) {
    silent([&] { brush::mix_blend_buffer(x, y, values(plane), amount); });
}
void VLM_MixBlendBufferSurface(int x, int y, int amount) {
    silent([&] { brush::mix_blend_buffer(x, y, brush::surface_plane(), amount); });
}
void VLM_MixBlendBufferLayer(int slot, int x, int y, int amount) {
    silent([&] { brush::mix_blend_buffer(x, y, brush::layer_plane(slot), amount); });
}
void VLM_MixBlendBufferUnderLayer(int x, int y, int amount) {
    silent([&] { brush::mix_blend_buffer(x, y, brush::under_layer_plane(), amount); });
}
void VLM_MixBlendBufferHistory(int x, int y, int amount) { VLM_MixBlendBufferUnderLayer(x, y, amount); }
void VLM_MixBlendBufferTrace(int x, int y, int amount) {
    silent([&] { brush::mix_blend_buffer(x, y, brush::trace_plane(), amount); });
}
void VLM_DoColorBlendBuffer(int x, int y, int r, int g, int b, int, int amount) {
    silent([&] { brush::color_blend_buffer(x, y, r, g, b, amount); });
}
void VLM_FilterBlendBuffer(int op, int value) {
    silent([&] { brush::filter_blend_buffer(op, value); });
}
