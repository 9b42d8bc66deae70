#include "compose/layer_merge.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "compose/pixel_merge.h"
#include "compose/rect_merge.h"
#include "core/canvas.h"
#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/layer_store.h"
#include "core/memory.h"
#include "core/paint_layer.h"
#include "core/parallel.h"
#include "core/transfer_common.h"

namespace vlm::compose {

namespace {

// A rectangle of the canvas, x1 and y1 exclusive.
struct CanvasRect {
    int x0, y0, x1, y1;
    bool empty() const { return x0 >= x1 || y0 >= y1; }
};

// The part of (x, y, width, height) that lies on the canvas.
CanvasRect on_canvas(long long x, long long y, long long width, long long height) {
    const core::CanvasState& c = g_engine.canvas;
    return {static_cast<int>(std::clamp<long long>(x, 0, c.width)),
            static_cast<int>(std::clamp<long long>(y, 0, c.height)),
            static_cast<int>(std::clamp<long long>(x + width, 0, c.width)),
            static_cast<int>(std::clamp<long long>(y + height, 0, c.height))};
}

// The canvas rectangle r of a canvas-pitched plane landing at (dst_x, dst_y) of a plane dst_pitch wide.
RectGeometry geometry(const CanvasRect& r, int dst_x, int dst_y, std::size_t dst_pitch) {
    return {r.x0,  r.y0,  r.x1 - r.x0, r.y1 - r.y0, static_cast<std::size_t>(g_engine.canvas.pitch),
            dst_x, dst_y, dst_pitch};
}

std::size_t canvas_pitch() { return static_cast<std::size_t>(g_engine.canvas.pitch); }

// How a table layer merges: its mode and opacity, its layer mask, full strength.
MergeSettings layer_settings(const core::Layer& layer, const std::uint16_t* mask) {
    MergeSettings s;
    s.mode = layer.mode;
    s.mask_mode = mask ? kBlendLayerMask : 0;
    s.opacity = layer.opacity;
    s.strength = 255;
    s.alpha_layer_opacity = g_engine.compose.alpha_layer_opacity;
    return s;
}

// Flattening keeps each band of buffer rows in cache while every layer is merged into it.
constexpr int kBandPixels = 16384;

struct FlattenEntry {
    const std::uint16_t* pixels;
    const std::uint16_t* mask;
    MergeSettings settings;
};

const bool kHooked = (core::hooks().merge_rgba32 = &merge_rgba32_canvas, true);

} // namespace

const std::uint16_t* layer_mask_for(int slot) {
    const core::LayerTable& t = g_engine.layers;
    const int top = std::min(t.top_index, core::kLayerSlots - 1);
    if (slot < 0 || slot >= top) return nullptr;
    for (int above = slot + 1; above <= top; ++above) {
        const core::Layer& l = t.layers[above];
        if (!l.pixels || !l.visible) continue;
        // Only this next visible layer counts.
        return l.mode == kBlendLayerMask && core::fits_canvas(l) ? l.pixels : nullptr;
    }
    return nullptr;
}

void merge_layer(int src_slot, int dst_slot) {
    const core::Layer* src = core::canvas_layer_at(src_slot);
    core::Layer* dst = core::canvas_layer_at(dst_slot);
    if (!src || !dst) return;
    const std::uint16_t* mask = layer_mask_for(src_slot);
    MergeSettings s = layer_settings(*src, mask);
    s.replace = src->mode == dst->mode && src->mode > kBlendUnused;
    const CanvasRect all = on_canvas(0, 0, g_engine.canvas.width, g_engine.canvas.height);
    if (all.empty()) return;
    merge_rect(src->pixels, mask, dst->pixels, geometry(all, 0, 0, canvas_pitch()), s);
    core::layer_changed_whole(dst);
}

void merge_layer_into_rect(int slot, std::uint16_t* buffer, int x, int y, int width, int height) {
    const core::Layer* layer = core::canvas_layer_at(slot);
    if (!layer || !buffer || width <= 0 || height <= 0) return;
    const CanvasRect r = on_canvas(x, y, width, height);
    if (r.empty()) return;
    const std::uint16_t* mask = layer_mask_for(slot);
    const RectGeometry g = geometry(r, r.x0 - x, r.y0 - y, static_cast<std::size_t>(width) * 4);
    merge_rect(layer->pixels, mask, buffer, g, layer_settings(*layer, mask));
}

void merge_layer_into(int slot, std::uint16_t* buffer) {
    merge_layer_into_rect(slot, buffer, 0, 0, g_engine.canvas.width, g_engine.canvas.height);
}

void flatten_rect(std::uint16_t* buffer, int x, int y, int width, int height) {
    if (!buffer || width <= 0 || height <= 0) return;
    const core::LayerTable& t = g_engine.layers;
    const core::Layer& back = t.layers[1];
    const std::uint16_t* background = back.visible == 1 && core::fits_canvas(back) ? back.pixels : nullptr;
    FlattenEntry entries[core::kLayerSlots];
    int count = 0;
    for (int slot = 2; slot < core::kLayerSlots; ++slot) {
        const core::Layer& l = t.layers[slot];
        if (!l.pixels || !l.visible || !core::fits_canvas(l)) continue;
        const std::uint16_t* mask = layer_mask_for(slot);
        entries[count++] = {l.pixels, mask, layer_settings(l, mask)};
    }

    const CanvasRect r = on_canvas(x, y, width, height);
    const std::size_t pitch = static_cast<std::size_t>(width) * 4;
    // Off the canvas altogether, r.x0 - x could pass the int range; the offsets are only needed on it.
    const RectGeometry g = r.empty() ? RectGeometry{} : geometry(r, r.x0 - x, r.y0 - y, pitch);
    // Buffer rows [on0, on1) lie on the canvas.
    const int on0 = r.empty() ? 0 : g.dst_y, on1 = r.empty() ? 0 : g.dst_y + g.height;
    const int band = std::max(1, kBandPixels / width);
    // Every pixel depends only on the pixels at its own place, so any split of the rows gives the same bytes.
    core::parallel_rows(height, static_cast<long long>(width) * (count + 1), kParallelMergePixels,
                        [&](int first, int last) {
                            for (int b0 = first; b0 < last; b0 += band) {
                                const int b1 = std::min(last, b0 + band);
                                std::fill(buffer + b0 * pitch, buffer + b1 * pitch, std::uint16_t{0});
                                const int r0 = std::max(b0, on0), r1 = std::min(b1, on1);
                                if (r0 >= r1) continue;
                                if (background) {
                                    for (int row = r0; row < r1; ++row)
                                        std::memcpy(buffer + row * pitch + g.dst_x * std::size_t{4},
                                                    background + (row - on0 + g.src_y) * g.src_pitch +
                                                        g.src_x * std::size_t{4},
                                                    static_cast<std::size_t>(g.width) * 8);
                                }
                                for (int k = 0; k < count; ++k)
                                    merge_rect_rows(entries[k].pixels, entries[k].mask, buffer, g,
                                                    entries[k].settings, r0 - on0, r1 - on0);
                            }
                        });
}

void flatten(std::uint16_t* buffer) {
    flatten_rect(buffer, 0, 0, g_engine.canvas.width, g_engine.canvas.height);
}

std::uint32_t color_at_merged(int x, int y) {
    const core::CanvasState& c = g_engine.canvas;
    if (x < 0 || y < 0 || x >= c.width || y >= c.height) return 0xFFFFFF;
    struct Free {
        void operator()(std::uint16_t* p) const { delete[] p; }
    };
    const std::unique_ptr<std::uint16_t[], Free> px(core::x_NewShortUndoReduce(4));
    if (!px) return 0;
    flatten_rect(px.get(), x, y, 1, 1);
    return static_cast<std::uint32_t>(px[3] >> 8) << 24 | static_cast<std::uint32_t>(px[0] >> 8) << 16 |
           static_cast<std::uint32_t>(px[1] >> 8) << 8 | static_cast<std::uint32_t>(px[2] >> 8);
}

void merge_paint_layer(int slot) {
    const core::Layer& paint = g_engine.layers.paint;
    core::Layer* dst = core::canvas_layer_at(slot);
    if (paint.pixels && core::fits_canvas(paint) && dst) {
        const CanvasRect r = on_canvas(paint.x0, paint.y0, static_cast<long long>(paint.x1) - paint.x0,
                                       static_cast<long long>(paint.y1) - paint.y0);
        if (!r.empty()) {
            const core::Layer* current = g_engine.layers.current;
            MergeSettings s;
            s.mode = paint.mode;
            s.opacity = paint.opacity;
            s.strength = paint.strength;
            s.alpha_lock = (current && current->alpha_locked) || g_engine.brush.tool.alpha_locked;
            s.alpha_layer_opacity = g_engine.compose.alpha_layer_opacity;
            merge_rect(paint.pixels, nullptr, dst->pixels, geometry(r, r.x0, r.y0, canvas_pitch()), s);
            core::layer_changed(dst, r.x0, r.y0, r.x1 - 1, r.y1 - 1);
        }
    }
    core::clear_paint_layer();
}

void merge_rgba32_layer(const std::uint8_t* rgba32, int slot, int mode, int opacity) {
    core::Layer* dst = core::canvas_layer_at(slot);
    if (!dst || !rgba32) return;
    MergeSettings s;
    s.mode = normalise_blend_mode(mode);
    s.opacity = opacity;
    s.replace = s.mode == dst->mode && s.mode > kBlendUnused;
    s.alpha_layer_opacity = g_engine.compose.alpha_layer_opacity;
    const CanvasRect all = on_canvas(0, 0, g_engine.canvas.width, g_engine.canvas.height);
    if (all.empty()) return;
    merge_rect(rgba32, dst->pixels, geometry(all, 0, 0, canvas_pitch()), s);
    core::layer_changed_whole(dst);
}

void merge_rgba32_canvas(const std::uint8_t* rgba32, std::uint16_t* plane, int mode, int mask_mode,
                         int opacity, bool alpha_locked) {
    const CanvasRect all = on_canvas(0, 0, g_engine.canvas.width, g_engine.canvas.height);
    if (!rgba32 || !plane || all.empty()) return;
    MergeSettings s;
    s.mode = mode;
    s.mask_mode = mask_mode;
    s.opacity = opacity;
    s.alpha_lock = alpha_locked;
    s.alpha_layer_opacity = g_engine.compose.alpha_layer_opacity;
    merge_rect(rgba32, plane, geometry(all, 0, 0, canvas_pitch()), s);
}

} // namespace vlm::compose
