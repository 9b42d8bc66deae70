#include "brush/dab.h"

#include <algorithm>
#include <climits>
#include <cstdint>

#include "brush/grit.h"
#include "brush/mix_modes.h"
#include "brush/paint_common.h"
#include "core/canvas.h"
#include "core/dirty_rect.h"
#include "core/engine_state.h"

namespace vlm::brush {

namespace {

using u32 = std::uint32_t;
using u64 = std::uint64_t;

inline u32 clamp16(long long v) { return static_cast<u32>(std::clamp<long long>(v, 0, 65535)); }

// A walk over one of the seeded variation arrays: placed at the array's start on the dab's first row
// and moved to a random place on a later row once fewer than a row's bytes are left.
struct VaryWalk {
    const std::uint8_t* start = nullptr;
    int length = 0;
    int at = 0;
    int amount = 0; // p or q; 0 turns the walk off

    VaryWalk(const core::RandArrayByte& array, int amount_) {
        if (amount_ > 0 && array.data && array.length > 0) {
            start = array.data;
            length = array.length;
            amount = amount_;
        }
    }
    bool on() const { return amount > 0; }
    void first_row() { at = 0; }
    void later_row(int dab_size, int max_brush, core::Generator& g) {
        if (at + dab_size < length - 1) return;
        at = g.next() % max_brush;
        // An array made for a smaller canvas must not be walked past its end.
        if (at + dab_size > length) at = 0;
    }
    u32 next() {
        const u32 b = start[at];
        if (++at >= length) at = 0;
        return b;
    }
};

// Per-pixel colour variation: one byte per pixel moves every varied channel by the same step.
inline long long colour_step(u32 p, u32 byte) {
    return (static_cast<long long>(p & ~1u) - 2 * static_cast<long long>(byte % p)) * 128;
}

// Per-pixel lightness variation factor for byte b.
inline double lum_factor(u32 q, u32 byte) { return ((128.0 - (q >> 1)) + (byte % q)) / 256.0; }

// The variation walks with their per-byte values worked out once per dab: the arrays hold bytes, so a
// 256-entry table replaces the divisions of every pixel by the same values.
struct ColourWalk : VaryWalk {
    long long steps[256];
    ColourWalk(const core::RandArrayByte& array, int amount_) : VaryWalk(array, amount_) {
        if (on())
            for (u32 b = 0; b < 256; ++b) steps[b] = colour_step(static_cast<u32>(amount), b);
    }
    long long next_step() { return steps[next()]; }
};
struct LumWalk : VaryWalk {
    double factors[256];
    LumWalk(const core::RandArrayByte& array, int amount_) : VaryWalk(array, amount_) {
        if (on())
            for (u32 b = 0; b < 256; ++b) factors[b] = lum_factor(static_cast<u32>(amount), b);
    }
    double next_factor() { return factors[next()]; }
};

inline u32 lum_vary(u32 c, double f) {
    const double v = f <= 0.5 ? c - (0.5 - f) * 2 * c : c + (65535.0 - c) * (f - 0.5) * 2;
    return clamp16(static_cast<long long>(v));
}

// Everything a dab works out before its pixel loop.
struct Dab {
    int M = 0, S = 0, N = 0, h = 0;
    int W = 0, H = 0;
    // Canvas rectangle [x0, x1) x [y0, y1) after clipping, with the shape offsets of its first column/row.
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    int col_offset = 0, first_row = 0;
    const int* table = nullptr;
    bool rotate = false;
    float sin = 0, cos = 0;
    const std::uint16_t* shape = nullptr;
    const std::uint8_t* grit = nullptr; // null: no grit test
    int density = 0;
    u32 alpha_scale = 0;
    bool scale_alpha = false;
    const std::uint8_t* texture = nullptr;
    const std::uint16_t* mask = nullptr; // the enabled mask plane
    bool solid = false;
    bool blending = false;          // blend strength on and not disabled for this dab
    std::uint16_t* blend = nullptr; // the selected blend buffer's pixels while blending
    std::size_t blend_pitch = 0;    // 4M
    ColourWalk colour_walk;
    LumWalk lum_walk;
    core::Generator gen{};

    Dab()
        : colour_walk(g_engine.random.color_vary, g_engine.brush.tool.pix_colour_vary),
          lum_walk(g_engine.random.lum_vary, g_engine.brush.tool.pix_lum_vary) {}

    // Blending needs a buffer to blend from; without one the dab paints nothing.
    bool blend_ready() const { return !blending || blend; }

    // The dab-wide colour vary step: one generator draw when colour vary is on.
    long long colour_vary_step(int vary) { return vary > 0 ? (vary / 2 - gen.next() % vary) * 256LL : 0; }

    // The shape position a dab pixel samples, rotated when that lands inside the shape.
    void sample(int sr, int sc, int& row, int& col) const {
        row = sr;
        col = sc;
        if (!rotate) return;
        const long double u = sc - h, v = sr - h;
        const int cr = static_cast<int>(u * cos - v * sin) + h;
        const int rr = static_cast<int>(u * sin + v * cos) + h;
        if (cr >= 0 && cr < S && rr >= 0 && rr < S) row = rr, col = cr;
    }

    // Coverage of the pixel at shape (row, col), canvas index i, before the mask; 0 skips the pixel.
    u32 coverage(int row, int col, std::size_t i) const {
        if (col >= M) return 0; // sampling ran off the shape's row
        const std::size_t at = static_cast<std::size_t>(row) * M + col;
        if (grit && grit[at] > density) return 0;
        long long a = shape[at];
        if (scale_alpha) a = std::max(0LL, (a * static_cast<long long>(alpha_scale)) >> 7);
        if (texture && texture[i] < 255) a = (texture[i] * a) >> 8;
        return static_cast<u32>(a);
    }
};

// Steps shared by both dabs before the pixel loop: grit refresh, clipping and the dirty rectangle.
// Returns false when there is nothing to paint.
bool prepare(Dab& d, int x, int y, bool grow_paint_extents) {
    Engine& e = g_engine;
    Tool& t = e.brush.tool;

    // Grit refresh.
    if (t.grit_cell_size != 0 && t.remaining_length < 1) {
        int i;
        do i = d.gen.next() % kDabBuffers;
        while (t.grit.set && t.grit.buffer == i && t.grit.row == 0 && t.grit.col == 0);
        const int r = d.gen.next() % kGritMargin;
        const int c = d.gen.next() % kGritMargin;
        set_grit_position(i, r, c);
        t.remaining_length = t.drawing_length;
    }

    // Clipping, from the unclipped corner.
    long long x0 = static_cast<long long>(x) - d.N / 2, y0 = static_cast<long long>(y) - d.N / 2;
    long long x1 = x0 + d.N, y1 = y0 + d.N;
    if (x0 < 0) {
        d.col_offset = -x0 < d.N ? t.sample_table[-x0] : 0;
        x0 = 0;
    }
    if (y0 < 0) {
        d.first_row = static_cast<int>(std::min<long long>(-y0, d.N));
        y0 = 0;
    }
    x1 = std::min<long long>(x1, d.W);
    y1 = std::min<long long>(y1, d.H);
    const auto to_int = [](long long v) {
        return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
    };
    d.x0 = to_int(x0), d.y0 = to_int(y0), d.x1 = to_int(x1), d.y1 = to_int(y1);
    core::widen_dirty_rect(d.x0, d.y0, d.x1, d.y1);
    core::Layer& paint = e.layers.paint;
    if (grow_paint_extents && paint.pixels) {
        paint.x0 = std::min(paint.x0, d.x0);
        paint.y0 = std::min(paint.y0, d.y0);
        paint.x1 = std::max(paint.x1, d.x1);
        paint.y1 = std::max(paint.y1, d.y1);
    }
    return d.x0 < d.x1 && d.y0 < d.y1;
}

// Dab-wide checks and values common to both dabs; false when the tool cannot draw on this canvas.
bool set_up(Dab& d) {
    const Engine& e = g_engine;
    const Tool& t = e.brush.tool;
    d.M = e.canvas.max_brush;
    d.S = t.brush_size;
    d.N = t.dab_size;
    d.W = e.canvas.width;
    d.H = e.canvas.height;
    if (d.W <= 0 || d.H <= 0 || !e.brush.shape || d.S < 1 || d.S > d.M || d.N < 1 || d.N > d.S ||
        d.N > kSampleTableSize)
        return false;
    d.h = d.S / 2;
    d.table = t.sample_table;
    d.rotate = t.rotate_mode == 1;
    d.sin = t.rotate_sin;
    d.cos = t.rotate_cos;
    d.shape = e.brush.shape;
    if (t.grit_cell_size != 0) d.grit = current_grit();
    d.density = t.density;
    d.scale_alpha = t.alpha < 100;
    d.alpha_scale = static_cast<u32>(std::max(t.alpha_scale, 0));
    d.texture = e.layers.texture;
    d.solid = t.solid_mode != 0;
    d.blending = t.blend_strength != 0 && !t.blend_disabled;
    const core::Layer* buffer = e.brush.blend_selected;
    if (d.blending && buffer && buffer->pixels) {
        d.blend = buffer->pixels;
        d.blend_pitch = static_cast<std::size_t>(d.M) * 4;
    }
    d.gen.state = e.random.generator;
    return true;
}

// Walks the visible rows and columns of the dab, placing the variation walks row by row; pixel(row, col, i)
// gets the shape position each canvas pixel samples and its canvas index.
template <class Pixel> void for_each_pixel(Dab& d, Pixel&& pixel) {
    const std::size_t W = static_cast<std::size_t>(d.W);
    for (int y = d.y0, r = d.first_row; y < d.y1; ++y, ++r) {
        if (y == d.y0) {
            d.colour_walk.first_row();
            d.lum_walk.first_row();
        } else {
            if (d.colour_walk.on()) d.colour_walk.later_row(d.N, d.M, d.gen);
            if (d.lum_walk.on()) d.lum_walk.later_row(d.N, d.M, d.gen);
        }
        const int sr = d.table[r];
        std::size_t i = static_cast<std::size_t>(y) * W + d.x0;
        for (int x = d.x0, k = 0; x < d.x1; ++x, ++k, ++i) {
            int row, col;
            d.sample(sr, d.table[k] + d.col_offset, row, col);
            pixel(row, col, i);
        }
    }
}

struct Source {
    u32 c[4];
};

// What a colour dab composites: coverage a, source s, canvas d; out o and oA, and d as the remix sees it.
struct Composited {
    u32 o[3];
    u32 oA;
    u32 d[3];
};

// Mix modes 33 and below.
struct LowModes {
    bool wet; // blending under mode 32
    bool erase;
    int mode;
    Composited operator()(u32 a, const Source& s, const std::uint16_t* px) const {
        const u32 dA = px[3];
        Composited r{};
        const u32 sA = s.c[3];
        if (dA == 0) {
            for (int ch = 0; ch < 3; ++ch) r.o[ch] = s.c[ch], r.d[ch] = 0;
            r.oA = (a * sA) >> 16;
            return r;
        }
        for (int ch = 0; ch < 3; ++ch) r.d[ch] = px[ch];
        if (wet) {
            r.oA = ((((65536 - a) * dA) >> 8) + ((a * sA) >> 8)) >> 8;
            for (int ch = 0; ch < 3; ++ch)
                r.o[ch] = sA == 0 ? r.d[ch] : ((((65536 - a) * r.d[ch]) >> 8) + ((a * s.c[ch]) >> 8)) >> 8;
        } else if (erase) {
            r.oA = ((65535 - a) * dA) >> 16;
        } else if (mode == kMixNormal) {
            const u32 t = (a * sA) >> 16;
            r.oA = (((65535 - dA) * t) >> 16) + dA;
            const AlphaDivider by(r.oA);
            for (int ch = 0; ch < 3; ++ch)
                r.o[ch] = static_cast<u32>(by((((((r.d[ch] * dA) >> 16) * (65535 - t)) & 0xFFFF0000u) +
                                               ((t * s.c[ch]) >> 16) * 65536)));
        } else {
            // Multiply over; the sum stays below the result alpha, so 64 bits only guard stray input.
            const u64 t = u64{a} * sA / 65535;
            r.oA = static_cast<u32>((65535 - dA) * t / 65535 + dA);
            const AlphaDivider by(r.oA);
            for (int ch = 0; ch < 3; ++ch) {
                const u64 p = (u64{r.d[ch]} * dA) >> 16, q = (t * s.c[ch]) >> 16;
                r.o[ch] = static_cast<u32>(
                    by(((65535 - t) * p / 65535 + (65535 - dA) * q / 65535 + p * q / 65535) * 65535));
            }
        }
        return r;
    }
};

// Mix modes 34 and above through the kernel of mode Mode.
template <int Mode> struct HighModes {
    const MixParams* params;
    bool erase;
    core::Generator* gen;
    Composited operator()(u32 a, const Source& s, const std::uint16_t* px) const {
        const u32 dA = px[3];
        MixPixel d{{px[0], px[1], px[2], dA}};
        if (dA == 0) {
            for (int ch = 0; ch < 3; ++ch) d.c[ch] = s.c[ch];
        } else if (dA < 65535) {
            const u32 k = std::min<u32>(65535, (((65535 - dA) * a) >> 16) * 3);
            for (int ch = 0; ch < 3; ++ch)
                d.c[ch] = ((((65535 - k) * d.c[ch]) >> 8) + ((k * s.c[ch]) >> 8)) >> 8;
        }
        const MixPixel src{{s.c[0], s.c[1], s.c[2], erase ? 0u : s.c[3]}};
        const MixOut m = mix_kernel<Mode>(*params, d, src, *gen);
        Composited r{};
        r.oA = m.oA;
        for (int ch = 0; ch < 3; ++ch) r.o[ch] = m.o[ch], r.d[ch] = m.d[ch];
        if (a < 65535) {
            r.oA = (((r.oA * a) >> 8) + (((65536 - a) * dA) >> 8)) >> 8;
            for (int ch = 0; ch < 3; ++ch)
                r.o[ch] =
                    std::min<u32>(65535, ((((r.o[ch] * a) >> 8) + (((65536 - a) * r.d[ch]) >> 8)) >> 8) + 1);
        }
        return r;
    }
};

// The colour dab's pixel loop with the compositing step fixed for the whole dab.
// Blending is a template argument: it decides most of the per-pixel branches, and the loop runs on one
// value for the whole dab.
template <bool blending, class Composite>
void paint_colour(Dab& d, std::uint16_t* target, const Source& dab, const Composite& composite) {
    const Engine& e = g_engine;
    const Tool& t = e.brush.tool;
    const bool erase = t.erase != 0;
    const bool direct = blending || erase || !e.layers.paint.pixels;
    const bool image_brush = t.image_brush_mode != 0;
    const int primary = t.blend_primary_strength;
    const long long primary_keep = t.primary_complement;
    const bool remix = blending && t.blend_remix != 0;
    const u32 beta = static_cast<u32>(std::clamp(t.blend_strength, 0, 256)), keep = 256 - beta;
    const bool colour_locked = t.colour_locked != 0;
    const bool blob = t.blob_locked != 0;
    const core::Layer* current = e.layers.current;
    const bool alpha_open =
        ((current && !current->alpha_locked && !t.alpha_locked && e.layers.current_number > 1) ||
         e.layers.paint.pixels != nullptr);
    const u32 level = static_cast<u32>(std::clamp(t.alpha_level, 0, 65535));

    long long premultiplied[4] = {};
    if (primary > 0)
        for (int ch = 0; ch < 4; ++ch) premultiplied[ch] = static_cast<long long>(primary) * dab.c[ch];

    const u32 p = static_cast<u32>(d.colour_walk.amount), q = static_cast<u32>(d.lum_walk.amount);
    for_each_pixel(d, [&](int row, int col, std::size_t i) {
        u32 a = d.coverage(row, col, i);
        u32 cap = 65535;
        if (d.mask) {
            const u32 m = d.mask[i];
            if (direct) {
                if (m < 65535) a = (m * a) >> 16;
            } else {
                cap = m;
            }
        }
        if (a == 0) return;
        if (d.solid) a = 65535;

        Source s;
        std::uint16_t* b = nullptr;
        if constexpr (blending) {
            b = d.blend + row * d.blend_pitch + static_cast<std::size_t>(col) * 4;
            s = {{b[0], b[1], b[2], b[3]}};
            if (image_brush && s.c[3] < 65535) {
                a = std::max<u32>(1, (a * s.c[3]) >> 16);
                s.c[3] = 65535;
            }
            if (p) {
                const long long step = d.colour_walk.next_step();
                for (int ch = 0; ch < 3; ++ch) s.c[ch] = clamp16(s.c[ch] + step);
            }
            if (q) {
                const double f = d.lum_walk.next_factor();
                for (int ch = 0; ch < 3; ++ch) s.c[ch] = lum_vary(s.c[ch], f);
            }
            if (primary > 0)
                for (int ch = 0; ch < 4; ++ch)
                    s.c[ch] = static_cast<u32>((primary_keep * s.c[ch] + premultiplied[ch]) >> 8);
        } else {
            s = dab;
            if (p) {
                const long long step = d.colour_walk.next_step();
                for (u32& c : s.c) c = clamp16(c + step);
            }
            if (q) {
                const double f = d.lum_walk.next_factor();
                for (int ch = 0; ch < 3; ++ch) s.c[ch] = lum_vary(dab.c[ch], f);
            }
        }

        std::uint16_t* px = target + i * 4;
        const u32 dA = px[3];
        const Composited r = composite(a, s, px);

        if (remix) {
            if (s.c[3] == 0) {
                b[0] = static_cast<std::uint16_t>(r.d[0]), b[1] = static_cast<std::uint16_t>(r.d[1]);
                b[2] = static_cast<std::uint16_t>(r.d[2]);
                b[3] = static_cast<std::uint16_t>((keep * dA) >> 8);
            } else if (dA == 0) {
                for (int ch = 0; ch < 3; ++ch) b[ch] = static_cast<std::uint16_t>(s.c[ch]);
                b[3] = static_cast<std::uint16_t>((beta * s.c[3]) >> 8);
            } else {
                for (int ch = 0; ch < 3; ++ch)
                    b[ch] = static_cast<std::uint16_t>(
                        std::min<u32>(65535, ((keep * r.d[ch] + beta * s.c[ch]) >> 8) + 1));
                b[3] = static_cast<std::uint16_t>((keep * dA + beta * s.c[3]) >> 8);
            }
        }

        if (erase) {
            if (!blob)
                px[3] = static_cast<std::uint16_t>(r.oA);
            else if (dA > 8191)
                px[3] = static_cast<std::uint16_t>(std::max<u32>(r.oA, 9216));
            return;
        }
        if (!colour_locked)
            for (int ch = 0; ch < 3; ++ch) px[ch] = static_cast<std::uint16_t>(r.o[ch]);
        if (alpha_open && (!blob || (dA > 8191 && r.oA > 8191))) {
            u32 alpha = level > 0 ? level : r.oA;
            if (!direct && d.mask && cap < alpha) alpha = cap;
            px[3] = static_cast<std::uint16_t>(alpha);
        }
    });
}

void end_of_dab(Tool& t, bool ordinary) {
    t.blend_disabled = 0;
    if (!ordinary) return;
    g_engine.mask.maker = 0;
    t.erase = 0;
}

} // namespace

void draw_dab(int x, int y, int r, int g, int b) {
    Engine& e = g_engine;
    Tool& t = e.brush.tool;
    t.colour = {static_cast<std::uint16_t>(r & 0xFF00), static_cast<std::uint16_t>(g & 0xFF00),
                static_cast<std::uint16_t>(b & 0xFF00), 65535};
    if (e.mask.maker) {
        draw_dab_mask(x, y);
        return;
    }

    Dab d;
    core::Layer& paint = e.layers.paint;
    std::uint16_t* target = nullptr;
    if (paint.pixels && core::fits_canvas(paint))
        target = paint.pixels;
    else if (e.layers.current && e.layers.current->pixels && core::fits_canvas(*e.layers.current))
        target = e.layers.current->pixels;
    if (!set_up(d)) {
        end_of_dab(t, true);
        return;
    }
    // Without a layer to paint, or a buffer to blend from, the dab still moves the grit and widens the
    // dirty rectangle as a painted one would, so the stroke's later dabs and its undo stay the same.
    const bool paints = target && d.blend_ready();
    const bool blending = d.blending;
    d.mask = enabled_mask();

    // Dab colour: the colour vary draw comes before the grit refresh draws.
    const bool erase = t.erase != 0;
    Source dab{{t.colour.r, t.colour.g, t.colour.b, 65535}};
    const long long delta = d.colour_vary_step(t.colour_vary);
    for (u32& c : dab.c) c = clamp16(c + delta);
    if (erase) dab = {{65535, 65535, 65535, 0}};
    if (prepare(d, x, y, true) && paints) {
        const int mode = t.mix_mode;
        const MixParams params = tool_mix_params(erase);
        const auto run = [&](const auto& composite) {
            if (blending)
                paint_colour<true>(d, target, dab, composite);
            else
                paint_colour<false>(d, target, dab, composite);
        };
        if (mode <= kMixMultiply) {
            run(LowModes{blending && mode == kMixNormal, erase, mode});
        } else {
            with_mix_kernel(mode, [&](auto k) {
                run(HighModes<decltype(k)::value>{&params, erase, &d.gen});
            });
        }
    }
    e.random.generator = d.gen.state;
    end_of_dab(t, true);
}

void draw_dab_mask(int x, int y) {
    Engine& e = g_engine;
    Tool& t = e.brush.tool;
    std::uint16_t* plane = e.mask.plane;
    Dab d;
    if (!set_up(d)) {
        end_of_dab(t, false);
        return;
    }
    const bool paints = plane && d.blend_ready();
    const bool blending = d.blending;

    u32 level = clamp16(mask_level(t.colour) + d.colour_vary_step(t.colour_vary));
    if (t.erase) level = 65535;
    if (prepare(d, x, y, false) && paints) {
        const int primary = t.blend_primary_strength;
        const long long premultiplied = primary > 0 ? static_cast<long long>(primary) * level : 0;
        const long long primary_keep = t.primary_complement;
        const bool remix = blending && t.blend_remix != 0;
        const u32 beta = static_cast<u32>(std::clamp(t.blend_strength, 0, 256)), keep = 256 - beta;
        const u32 p = static_cast<u32>(d.colour_walk.amount), q = static_cast<u32>(d.lum_walk.amount);
        // Mask dabs read the blend buffer's grey layout: one value per shape pixel at row * 4M + col.
        for_each_pixel(d, [&](int row, int col, std::size_t i) {
            u32 a = d.coverage(row, col, i);
            if (a == 0) return;
            if (d.solid) a = 65535;
            u32 src;
            std::uint16_t* grey = nullptr;
            if (blending) {
                grey = d.blend + row * d.blend_pitch + col;
                src = *grey;
                if (p) src = clamp16(src + d.colour_walk.next_step());
                if (q) src = lum_vary(src, d.lum_walk.next_factor());
                if (primary > 0) src = static_cast<u32>((primary_keep * src + premultiplied) >> 8);
            } else {
                src = level;
                if (p) src = clamp16(src + d.colour_walk.next_step());
                if (q) src = lum_vary(level, d.lum_walk.next_factor());
            }
            const u32 old = plane[i];
            if (remix)
                *grey =
                    static_cast<std::uint16_t>(std::min<u32>(65535, ((keep * old + beta * src) >> 8) + 1));
            plane[i] = static_cast<std::uint16_t>(((((65536 - a) * old) >> 8) + ((a * src) >> 8)) >> 8);
        });
    }
    e.random.generator = d.gen.state;
    end_of_dab(t, false);
}

} // namespace vlm::brush
