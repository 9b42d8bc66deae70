#include "mask/mask_plane.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "core/dirty_rect.h"
#include "core/engine_state.h"
#include "core/transfer_common.h"
#include "core/transfer_fills.h"
#include "core/transfer_loads.h"
#include "mask/kernels.h"

namespace vlm::mask {

namespace {

std::uint8_t low_byte(int v) { return static_cast<std::uint8_t>(v); }
bool flag_set(int flag) { return core::flag_set(flag); }

// Runs f(mask value, pixel) over the canvas for the current layer, when both exist. Either side may
// change, so the whole canvas becomes dirty.
template <class F> void each_layer_pixel(F&& f) {
    const Plane p = plane();
    core::Layer* layer = core::current_canvas_layer();
    if (!p || !layer) return;
    std::uint16_t* px = layer->pixels;
    std::uint16_t* m = p.values;
    for (std::uint16_t* end = m + p.count(); m != end; ++m, px += 4) f(*m, px);
    core::dirty_whole_canvas();
}

// Runs f(RGB24 row, mask row, width) over the rows of a canvas-sized host buffer; false when it did not
// run (no canvas or no buffer).
template <class Byte, class F> bool each_rgb24_row(Byte* buffer, int pitch, F&& f) {
    const Plane p = plane();
    if (!p || !buffer) return false;
    if (!core::rows_fit(pitch, static_cast<std::size_t>(p.width) * 3, p.height)) refuse("RGB24 pitch");
    for (int y = 0; y < p.height; ++y) f(buffer + core::offset_of(y, pitch), p.row(y), p.width);
    return true;
}

} // namespace

Plane plane() {
    const Engine& e = g_engine;
    if (!e.mask.plane) return {nullptr, 0, 0};
    return {e.mask.plane, e.canvas.width, e.canvas.height};
}

void refuse(const char* what) { throw std::invalid_argument(what); }

void enable(int flag) { g_engine.mask.enabled = flag_set(flag); }
void display(int flag) { g_engine.mask.display = flag_set(flag); }

void set_options(int r1, int g1, int b1, int r2, int g2, int b2, int mode) {
    mask::State& s = g_engine.mask;
    const int first[3] = {r1, g1, b1}, second[3] = {r2, g2, b2};
    for (int c = 0; c < 3; ++c) {
        s.display_colour1[c] = low_byte(first[c]) << 8;
        s.display_colour2[c] = low_byte(second[c]) << 8;
    }
    s.display_mode = mode;
}

void set_maker_on() { g_engine.mask.maker = 1; }

void invert() {
    const Plane p = plane();
    if (!p) return;
    for (std::uint16_t *m = p.values, *end = m + p.count(); m != end; ++m)
        *m = static_cast<std::uint16_t>(65535 - *m);
    core::dirty_whole_canvas();
}

void clear(int r, int g, int b) {
    const Plane p = plane();
    if (!p) return;
    // 64-bit sum: the host may pass any int. Greys above 65280 protect instead of wrapping round.
    const long long v = (static_cast<long long>(r) + g + b) / 3;
    std::fill_n(p.values, p.count(), mask_from_grey(v));
    core::dirty_whole_canvas();
}

void get_data16(void* buffer) {
    const Plane p = plane();
    if (!p || !buffer) return;
    std::memcpy(buffer, p.values, p.count() * 2);
}

void set_data16(const void* buffer) {
    const Plane p = plane();
    if (!p || !buffer) return;
    std::memcpy(p.values, buffer, p.count() * 2);
    core::dirty_whole_canvas();
}

int get_mask64(int x, int y) {
    const Plane p = plane();
    const core::Layer* layer = g_engine.layers.current;
    if (!p || !g_engine.mask.enabled || !layer || !layer->pixels) return 0;
    if (x < 0 || y < 0 || x >= p.width || y >= p.height) return 0;
    return 65535 - p.row(y)[x];
}

void load_rgb24(const void* buffer, int pitch, int width, int height) {
    const Plane p = plane();
    if (!p || !buffer || width <= 0 || height <= 0) return;
    if (width > p.width || height > p.height) refuse("mask picture larger than the canvas");
    if (!core::rows_fit(pitch, static_cast<std::size_t>(width) * 3, height)) refuse("RGB24 pitch");
    const auto* base = static_cast<const std::uint8_t*>(buffer);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* s = base + core::offset_of(y, pitch);
        std::uint16_t* m = p.row(y);
        for (int x = 0; x < width; ++x, s += 3) {
            // Greys are whole multiples of 256 here, so the image view's threshold is the same.
            const std::uint32_t g = ((s[0] + s[1] + s[2]) / 3u) * 256u;
            m[x] = g < 255 ? kSelected : static_cast<std::uint16_t>(65280 - g);
        }
    }
    core::widen_dirty_rect(0, 0, width - 1, height - 1);
}

void save_rgb24(void* buffer, int pitch) {
    each_rgb24_row(static_cast<std::uint8_t*>(buffer), pitch,
                   [](std::uint8_t* d, const std::uint16_t* m, int n) {
                       for (int x = 0; x < n; ++x, d += 3)
                           d[0] = d[1] = d[2] = static_cast<std::uint8_t>(255 - (m[x] >> 8));
                   });
}

void image_from_mask() {
    each_layer_pixel([](std::uint16_t m, std::uint16_t* px) {
        px[0] = px[1] = px[2] = grey_from_mask(m);
        px[3] = 65535;
    });
}

void alpha_from_mask(int kind) {
    switch (kind) {
    case 0:
        each_layer_pixel([](std::uint16_t m, std::uint16_t* px) { px[3] = m; });
        break;
    case 1:
        each_layer_pixel([](std::uint16_t m, std::uint16_t* px) {
            px[3] = static_cast<std::uint16_t>(std::min<std::uint32_t>(65535, px[3] + std::uint32_t{m}));
        });
        break;
    case 2:
        each_layer_pixel([](std::uint16_t m, std::uint16_t* px) {
            px[3] = static_cast<std::uint16_t>(px[3] > m ? px[3] - m : 0);
        });
        break;
    default:
        break;
    }
}

void mask_from_image() {
    each_layer_pixel([](std::uint16_t& m, const std::uint16_t* px) {
        m = mask_from_grey((std::uint32_t{px[0]} + px[1] + px[2]) / 3);
    });
}

void mask_from_image_luma() {
    each_layer_pixel([](std::uint16_t& m, const std::uint16_t* px) {
        m = mask_from_grey((3 * std::uint32_t{px[0]} + 4 * std::uint32_t{px[1]} + px[2]) / 8);
    });
}

void mask_from_alpha() {
    each_layer_pixel([](std::uint16_t& m, const std::uint16_t* px) { m = px[3]; });
}

void combine(const void* buffer, int pitch, int flag, int value, const char* operation) {
    enum class Op { add, subtract, replace };
    Op op = Op::add;
    if (operation && std::strcmp(operation, "Subtract") == 0) op = Op::subtract;
    if (operation && std::strcmp(operation, "Replace") == 0) op = Op::replace;
    const bool inverted = (flag & 0xFF) == 1;
    const std::uint32_t inverted_grey = low_byte(value);
    const bool ran = each_rgb24_row(
        static_cast<const std::uint8_t*>(buffer), pitch, [&](const std::uint8_t* s, std::uint16_t* m, int n) {
            for (int x = 0; x < n; ++x, s += 3) {
                std::uint32_t v = (s[0] + s[1] + s[2]) / 3u;
                if (inverted) v = v != 0 ? 0 : inverted_grey;
                v *= 256;
                if (v <= 254) continue;
                const std::uint32_t old = m[x];
                switch (op) {
                case Op::add:
                    m[x] = static_cast<std::uint16_t>(old > v ? old - v : 0);
                    break;
                case Op::subtract:
                    m[x] = static_cast<std::uint16_t>(std::min<std::uint32_t>(65535, old + v));
                    break;
                case Op::replace:
                    m[x] = static_cast<std::uint16_t>(65280 - v);
                    break;
                }
            }
        });
    if (ran) core::dirty_whole_canvas();
}

void clear_masked_alpha(int r, int g, int b, int a) {
    const Plane p = plane();
    if (!p) return;
    if (!g_engine.mask.enabled) return core::clear(r, g, b, a);
    core::Layer* layer = g_engine.layers.current;
    if (!layer || !layer->pixels) return;
    // Every row of the colour picture is the same, so one row loaded at each canvas row gives what a
    // canvas-sized picture would, without the canvas-sized allocation.
    std::vector<std::uint8_t> row(static_cast<std::size_t>(p.width) * 4);
    const std::uint8_t colour[4] = {low_byte(r), low_byte(g), low_byte(b), low_byte(a)};
    for (std::size_t i = 0; i < row.size(); i += 4) std::memcpy(&row[i], colour, 4);
    for (int y = 0; y < p.height; ++y)
        core::load_rgba32_layer(row.data(), static_cast<int>(row.size()), layer, 0, y, p.width, 1, 1);
}

} // namespace vlm::mask
