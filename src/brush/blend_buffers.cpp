#include "brush/blend_buffers.h"

#include <algorithm>
#include <cstring>

#include "brush/paint_common.h"
#include "core/canvas.h"
#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/layer_store.h"
#include "core/memory.h"

namespace vlm::brush {

namespace {

constexpr std::uint32_t kMixCap = 65280;

// The selected buffer's pixels, or null when there are none.
std::uint16_t* selected_pixels() {
    const core::Layer* b = g_engine.brush.blend_selected;
    return b ? b->pixels : nullptr;
}

// The selected buffer and the brush size when an operation can address both safely.
struct Target {
    std::uint16_t* pixels = nullptr;
    int size = 0;  // S
    int pitch = 0; // 4M
    explicit operator bool() const { return pixels != nullptr; }
    std::uint16_t* at(int row, int col) const {
        return pixels + static_cast<std::size_t>(row) * pitch + static_cast<std::size_t>(col) * 4;
    }
};

Target target() {
    Target t;
    const int s = g_engine.brush.tool.brush_size, m = g_engine.canvas.max_brush;
    std::uint16_t* p = selected_pixels();
    if (!p || s < 1 || s > m) return t;
    t.pixels = p;
    t.size = s;
    t.pitch = m * 4;
    return t;
}

// The buffer operations that mix with the canvas need blending on and a buffer.
Target mixing_target() { return g_engine.brush.tool.blend_strength != 0 ? target() : Target{}; }

std::uint32_t clamp_amount(int amount) { return static_cast<std::uint32_t>(std::clamp(amount, 0, 255)); }

const std::uint16_t* canvas_plane(const core::Layer* l) {
    return l && l->pixels && core::fits_canvas(*l) ? l->pixels : nullptr;
}

// Calls f(buffer pixel, canvas index) for every pixel of the brush area that lies on the canvas.
template <class F> void for_area(const Target& t, const BrushArea& a, F&& f) {
    const std::size_t w = static_cast<std::size_t>(g_engine.canvas.width);
    for (int cy = a.y0; cy <= a.y1; ++cy) {
        std::uint16_t* b = t.at(cy - a.top, a.x0 - a.left);
        std::size_t i = static_cast<std::size_t>(cy) * w + a.x0;
        for (int cx = a.x0; cx <= a.x1; ++cx, b += 4, ++i) f(b, i);
    }
}

// The canvas pixel at index i with its alpha scaled by the enabled mask.
struct CanvasPixel {
    std::uint32_t c[4];
};
CanvasPixel read_canvas(const std::uint16_t* plane, std::size_t i, const std::uint16_t* mask) {
    const std::uint16_t* p = plane + i * 4;
    CanvasPixel px{{p[0], p[1], p[2], p[3]}};
    if (mask) px.c[3] = masked_alpha(px.c[3], mask[i]);
    return px;
}

const bool kHooked = (core::hooks().set_blend_buffer_count = &set_blend_buffer_count, true);

} // namespace

void set_blend_buffer_count(int n) {
    State& b = g_engine.brush;
    n = std::clamp(n, 0, kBlendBuffers);
    if (n != b.blend_count) {
        for (core::Layer& buffer : b.blend) core::free_block(buffer.pixels);
        const int m = g_engine.canvas.max_brush;
        const std::size_t values = static_cast<std::size_t>(std::max(m, 0)) * std::max(m, 0) * 4;
        for (int i = 0; i < n && values > 0; ++i) {
            core::Layer& buffer = b.blend[i];
            buffer.pixels = core::x_NewShortUndoReduce(values);
            if (buffer.pixels) std::fill_n(buffer.pixels, values, std::uint16_t{0});
            buffer.pitch = m * 4;
        }
    }
    b.blend_count = n;
    b.blend_selected = &b.blend[0];
}

void select_blend_buffer(int i) {
    State& b = g_engine.brush;
    if (b.blend_count < 1) return;
    b.blend_selected = &b.blend[std::clamp(i, 0, b.blend_count - 1)];
}

namespace {
void fill_selected(int byte) {
    const int m = g_engine.canvas.max_brush;
    if (std::uint16_t* p = selected_pixels())
        std::memset(p, byte & 0xFF, static_cast<std::size_t>(m) * m * 4 * sizeof(std::uint16_t));
}
} // namespace

void clear_blend_buffer() { fill_selected(0); }
void fill_blend_buffer(int value) { fill_selected(value); }

const std::uint16_t* surface_plane() { return canvas_plane(g_engine.layers.current); }
const std::uint16_t* layer_plane(int slot) { return canvas_plane(core::canvas_layer_at(slot)); }
const std::uint16_t* under_layer_plane() {
    const core::CanvasState& c = g_engine.canvas;
    return c.width > 0 && c.height > 0 ? g_engine.undo.back : nullptr;
}
const std::uint16_t* trace_plane() { return canvas_plane(g_engine.layers.trace); }

void copy_blend_buffer(int x, int y, const std::uint16_t* plane, int amount, int flag) {
    const Target t = mixing_target();
    if (!t || !plane) return;
    const std::uint32_t A = clamp_amount(amount), keep = 256 - A;
    const Colour64 c = g_engine.brush.tool.colour;
    const std::uint32_t col[3] = {c.r, c.g, c.b};
    const BrushArea a = brush_area(x, y, t.size);
    if (a.clipped) {
        for (int row = 0; row < t.size; ++row) {
            std::uint16_t* b = t.at(row, 0);
            for (int k = 0; k < t.size; ++k, b += 4) {
                if (flag == 0) {
                    b[0] = c.r, b[1] = c.g, b[2] = c.b;
                    b[3] = static_cast<std::uint16_t>(A * 256);
                } else {
                    b[3] = 65535;
                }
            }
        }
    }
    const std::uint16_t* mask = enabled_mask();
    const std::uint16_t empty_alpha = static_cast<std::uint16_t>((flag == 0 ? A : keep) * 256);
    for_area(t, a, [&](std::uint16_t* b, std::size_t i) {
        const CanvasPixel p = read_canvas(plane, i, mask);
        if (p.c[3] == 0) {
            b[0] = c.r, b[1] = c.g, b[2] = c.b, b[3] = empty_alpha;
            return;
        }
        for (int ch = 0; ch < 3; ++ch)
            b[ch] = static_cast<std::uint16_t>(std::min(kMixCap, ((p.c[ch] * keep + col[ch] * A) >> 8) + 1));
        b[3] = static_cast<std::uint16_t>((p.c[3] * keep + c.a * A) >> 8);
    });
}

void copy_blend_buffer_mask(int x, int y, int amount) {
    const Target t = mixing_target();
    const std::uint16_t* mask = g_engine.mask.plane;
    if (!t || !mask) return;
    const std::uint32_t A = clamp_amount(amount), keep = 256 - A;
    const std::uint32_t level = mask_level(g_engine.brush.tool.colour);
    const BrushArea a = brush_area(x, y, t.size);
    // The grey layout keeps one 16-bit sample per shape pixel at row * 4M + col.
    if (a.clipped)
        for (int row = 0; row < t.size; ++row)
            std::fill_n(t.at(row, 0), t.size, static_cast<std::uint16_t>(level));
    const std::size_t w = static_cast<std::size_t>(g_engine.canvas.width);
    for (int cy = a.y0; cy <= a.y1; ++cy) {
        std::uint16_t* g = t.at(cy - a.top, 0) + (a.x0 - a.left);
        const std::uint16_t* m = mask + static_cast<std::size_t>(cy) * w + a.x0;
        for (int cx = a.x0; cx <= a.x1; ++cx, ++g, ++m)
            *g = static_cast<std::uint16_t>(std::min(kMixCap, ((*m * keep + level * A) >> 8) + 1));
    }
}

void mix_blend_buffer(int x, int y, const std::uint16_t* plane, int amount) {
    const Target t = mixing_target();
    if (!t || !plane) return;
    const std::uint32_t w = std::min<std::uint32_t>(65535, clamp_amount(amount) * 256), rest = 65536 - w;
    const int mode = g_engine.brush.tool.mix_mode;
    const MixParams params = tool_mix_params(false);
    const std::uint16_t* mask = enabled_mask();
    core::Generator gen{g_engine.random.generator};
    for_area(t, brush_area(x, y, t.size), [&](std::uint16_t* b, std::size_t i) {
        const CanvasPixel p = read_canvas(plane, i, mask);
        if (p.c[3] == 0) {
            b[3] = static_cast<std::uint16_t>((rest * b[3]) >> 16);
        } else if (b[3] == 0) {
            for (int ch = 0; ch < 3; ++ch) b[ch] = static_cast<std::uint16_t>(std::min(kMixCap, p.c[ch]));
            b[3] = static_cast<std::uint16_t>(p.c[3]);
        } else {
            const MixPixel canvas{{p.c[0], p.c[1], p.c[2], p.c[3]}};
            const MixPixel buffer{{b[0], b[1], b[2], b[3]}};
            const MixPixel r = pickup_mix(mode, params, canvas, buffer, gen);
            b[3] = static_cast<std::uint16_t>((((r.c[3] * rest) >> 8) + ((p.c[3] * w) >> 8)) >> 8);
            for (int ch = 0; ch < 3; ++ch)
                b[ch] = static_cast<std::uint16_t>(
                    std::min(kMixCap, ((((r.c[ch] * rest) >> 8) + ((p.c[ch] * w) >> 8)) >> 8) + 1));
        }
    });
    g_engine.random.generator = gen.state;
}

void color_blend_buffer(int x, int y, int r, int g, int b, int amount) {
    const Target t = mixing_target();
    if (!t) return;
    const std::uint32_t w = std::min<std::uint32_t>(65535, clamp_amount(amount) * 256), rest = 65536 - w;
    const std::uint32_t col[3] = {clamp_amount(r) * 256, clamp_amount(g) * 256, clamp_amount(b) * 256};
    for_area(t, brush_area(x, y, t.size), [&](std::uint16_t* px, std::size_t) {
        if (px[3] == 0) {
            for (int ch = 0; ch < 3; ++ch) px[ch] = static_cast<std::uint16_t>(col[ch]);
            return;
        }
        for (int ch = 0; ch < 3; ++ch)
            px[ch] = static_cast<std::uint16_t>(
                std::min(kMixCap, ((((px[ch] * rest) >> 8) + ((col[ch] * w) >> 8)) >> 8) + 1));
    });
}

void filter_blend_buffer(int op, int value) {
    const Target t = target();
    if (!t || op < 289 || op > 292) return;
    const long long threshold = static_cast<long long>(value * 655.35);
    for (int row = 0; row < t.size; ++row) {
        std::uint16_t* p = t.at(row, 0);
        for (int k = 0; k < t.size; ++k, p += 4) {
            for (int ch = 0; ch < 3 && op != 289; ++ch) {
                const long long v = p[ch];
                if (op == 290)
                    p[ch] = static_cast<std::uint16_t>(65535 - v);
                else if (op == 291 && v < threshold)
                    p[ch] = 0;
                else if (op == 292 && v > threshold)
                    p[ch] = static_cast<std::uint16_t>(kMixCap);
            }
            if (op == 289) {
                const std::uint16_t grey = static_cast<std::uint16_t>((p[0] + p[1] + p[2]) / 3);
                p[0] = p[1] = p[2] = grey;
            }
        }
    }
}

} // namespace vlm::brush
