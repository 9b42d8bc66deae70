#include "compose/view_renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "compose/pixel_merge.h"
#include "compose/rect_merge.h"
#include "core/canvas.h"
#include "core/engine_state.h"
#include "core/parallel.h"

namespace vlm::compose {

namespace {

constexpr int kMaxVisible = core::kLayerSlots - 1;

// One visible layer as the pixel loop needs it.
struct Entry {
    const std::uint16_t* pixels;
    int mode;
    std::uint32_t opacity;
    int formula;
    bool mask_above; // the next entry is a Layer Mask
    bool alpha_lock; // for the paint layer merged into this entry
};

// Everything one call reads, gathered once.
struct Scene {
    Entry entries[kMaxVisible];
    int count = 0;
    bool background = false;
    int paint_position = -1;
    const std::uint16_t* paint = nullptr;
    int paint_mode = 0;
    std::uint32_t paint_opacity = 0;
    std::uint32_t paint_strength = 0;
    std::uint32_t alpha_opacity = 65535;
    const std::uint16_t* trace = nullptr;
    const std::uint16_t* mask = nullptr; // non-null when the tint is drawn
    bool tint_only_where_masked = false;
    int mask_mode = 0;
    std::uint32_t tint_even[3] = {}, tint_odd[3] = {};
    int pitch = 0;     // canvas row in 16-bit units (RGBA64)
    int width = 0;     // canvas width (mask row)
};

bool odd_square(int cx, int cy) { return ((cx >> 5) + (cy >> 5)) & 1; }

bool build_scene(Scene& s) {
    const Engine& e = g_engine;
    const core::Layer* current = e.layers.current;
    if (!current || !current->pixels) return false;
    const core::Layer& paint = e.layers.paint;
    const bool paint_shown = paint.pixels && core::fits_canvas(paint);
    for (int slot = 1; slot < core::kLayerSlots; ++slot) {
        const core::Layer& l = e.layers.layers[slot];
        if (!l.pixels) continue;
        // Layers that are not canvas-sized cannot be read at canvas positions: they are not shown.
        if (core::fits_canvas(l) && l.visible && l.mode != kBlendTexturize3) {
            Entry& en = s.entries[s.count++];
            en.pixels = l.pixels;
            en.mode = normalise_blend_mode(l.mode);
            en.opacity = static_cast<std::uint32_t>(std::clamp<int>(l.opacity, 0, 256));
            en.formula = blend_formula(en.mode);
            en.mask_above = false;
            en.alpha_lock = l.alpha_locked != 0 || e.brush.tool.alpha_locked != 0;
            if (slot == 1) s.background = true;
        }
        if (paint_shown && l.pixels == current->pixels) s.paint_position = s.count - 1;
    }
    for (int k = 0; k + 1 < s.count; ++k) s.entries[k].mask_above = s.entries[k + 1].mode == kBlendLayerMask;
    if (s.paint_position >= 0) {
        s.paint = paint.pixels;
        s.paint_mode = paint.mode;
        s.paint_opacity = static_cast<std::uint32_t>(std::clamp<int>(paint.opacity, 0, 256));
        s.paint_strength = static_cast<std::uint32_t>(std::clamp<int>(paint.strength, 0, 255));
    }
    s.alpha_opacity = e.compose.alpha_layer_opacity;
    const core::Layer& trace = e.layers.layers[0];
    if (e.brush.tool.tracing_mode && trace.pixels && core::fits_canvas(trace)) s.trace = trace.pixels;
    if (e.mask.display && e.mask.enabled && e.mask.plane) {
        s.mask = e.mask.plane;
        s.mask_mode = e.mask.display_mode;
        for (int c = 0; c < 3; ++c) {
            s.tint_even[c] = static_cast<std::uint32_t>(e.mask.display_colour2[c]);
            s.tint_odd[c] = static_cast<std::uint32_t>(e.mask.display_colour1[c]);
        }
    }
    s.pitch = e.canvas.pitch;
    s.width = e.canvas.width;
    return true;
}

struct Pixel {
    std::uint32_t r, g, b, a;
};

// Composites every visible layer at canvas offset `at` (in 16-bit units of an RGBA64 plane).
Pixel composite_pixel(const Scene& s, std::size_t at) {
    using simd::F4;
    F4 acc{0.0f, 0.0f, 0.0f, 0.0f};
    float acc_a = 0.0f;
    Pixel copy{0, 0, 0, 0};
    bool merged = false;
    for (int k = 0; k < s.count; ++k) {
        const Entry& en = s.entries[k];
        const std::uint16_t* p = en.pixels + at;
        Rgba16 src{{p[0], p[1], p[2], p[3]}};
        const bool base = k == 0 && s.background;
        if (base) {
            src.c[3] = 65535;
        } else if (src.c[3] == 0 && en.mode <= kBlendUnused && k != s.paint_position) {
            continue;
        }
        if (k == s.paint_position) {
            const std::uint16_t* q = s.paint + at;
            const Rgba16 stroke{{q[0], q[1], q[2], (q[3] * (s.paint_strength + 1)) >> 8}};
            merge_pixel(s.paint_mode, src, stroke, s.paint_opacity, en.alpha_lock, s.alpha_opacity);
        }
        if (en.mask_above) {
            const std::uint16_t* m = s.entries[k + 1].pixels + at;
            if (m[3] != 0) src.c[3] = (((static_cast<std::uint32_t>(m[0]) + m[1] + m[2]) / 3) * src.c[3]) >> 16;
            if (base) src.c[3] = 65535;
        }
        shape_alpha_source(en.mode, src, s.alpha_opacity);
        std::uint32_t e = src.c[3];
        if (en.opacity < 255) e = ((en.opacity + 1) * e) >> 8;
        if (acc_a == 0.0f) {
            if (clears_transparent(en.formula)) {
                acc = F4{0.0f, 0.0f, 0.0f, 0.0f};
                acc_a = 0.0f;
                copy = {0, 0, 0, 0};
            } else {
                acc = F4{static_cast<float>(src.c[0]), static_cast<float>(src.c[1]), static_cast<float>(src.c[2]),
                         0.0f} /
                      kColourFull;
                acc_a = static_cast<float>(e) / kAlphaFull;
                copy = {src.c[0], src.c[1], src.c[2], e};
            }
            merged = false;
            continue;
        }
        if (e >= kOpaqueNormal && en.mode == kBlendNormal) {
            acc = F4{static_cast<float>(src.c[0]), static_cast<float>(src.c[1]), static_cast<float>(src.c[2]), 0.0f} /
                  kColourFull;
            acc_a = 1.0f;
            copy = {src.c[0], src.c[1], src.c[2], 65535};
            merged = false;
            continue;
        }
        merged = true;
        const F4 sv{static_cast<float>(src.c[0]), static_cast<float>(src.c[1]), static_cast<float>(src.c[2]), 0.0f};
        const float sa = static_cast<float>(e) * kAlphaScale;
        const FloatPixel o = with_blend_formula(en.formula, [&](auto f) {
            return composite<decltype(f)::value>(sv, sa, acc * acc_a, acc_a);
        });
        acc = o.c;
        acc_a = o.a;
    }
    if (!merged) return copy;
    return {static_cast<std::uint32_t>(acc[0] * kColourFull), static_cast<std::uint32_t>(acc[1] * kColourFull),
            static_cast<std::uint32_t>(acc[2] * kColourFull), static_cast<std::uint32_t>(acc_a * kAlphaFull)};
}

// The same compositing for a span of pixels, layer by layer: each layer's formula is chosen once per span
// and its loop runs specialised for it. Every pixel goes through exactly the steps of composite_pixel, in
// the same order, so the results are the same bytes (a test renders both ways).
constexpr int kSpan = 128;

struct Acc {
    simd::F4 c;
    float a;
    Pixel copy;
    bool merged;
};

bool g_reference_compositing = false;

// Pixels of a span waiting for a channelwise formula, gathered so that the float work runs on several
// pixels at a time, one lane per pixel. Each lane goes through exactly the single-precision operations
// composite<F> gives the pixel on its own, in the same order, so the bytes are the same. Pixels of one
// layer are independent, so deferring their results to the end of the layer's pass changes nothing.
struct SpanLanes {
    alignas(32) float s[3][kSpan]; // source colour (16-bit values)
    alignas(32) float d[3][kSpan]; // accumulated colour, not premultiplied
    alignas(32) float e[kSpan];    // effective source alpha (16-bit)
    alignas(32) float da[kSpan];   // accumulated alpha
    int pixel[kSpan];              // where the result goes in the span

    VLM_PIXEL_INLINE void add(int n, int i, const Rgba16& src, std::uint32_t eff, const Acc& a) {
        for (int ch = 0; ch < 3; ++ch) {
            s[ch][n] = static_cast<float>(src.c[ch]);
            d[ch][n] = a.c[ch];
        }
        e[n] = static_cast<float>(eff);
        da[n] = a.a;
        pixel[n] = i;
    }
};

// The first n waiting pixels in groups of N lanes (V is N floats); lanes past n hold zeros and are not
// written back.
template <int F, class V, int N> VLM_PIXEL_INLINE void over_lanes(const SpanLanes& b, int n, Acc* acc) {
    for (int at = 0; at < n; at += N) {
        V sa, da;
        simd::load_lanes(sa, b.e + at);
        simd::load_lanes(da, b.da + at);
        sa *= kAlphaScale;
        const V s1 = 1.0f - sa, d1 = 1.0f - da;
        V ra, rc[3];
        for (int ch = 0; ch < 3; ++ch) {
            V sc, dc;
            simd::load_lanes(sc, b.s[ch] + at);
            simd::load_lanes(dc, b.d[ch] + at);
            sc = sc * sa / kColourFull;
            dc = dc * da;
            channelwise<F>(sc, dc, sa, da, s1, d1, rc[ch], ra);
        }
        simd::clamp_unit(ra);
        for (int ch = 0; ch < 3; ++ch) {
            rc[ch] = rc[ch] / ra;
            simd::clamp_unit(rc[ch]);
        }
        for (int i = 0; i < N && at + i < n; ++i) {
            Acc& a = acc[b.pixel[at + i]];
            a.c = simd::F4{rc[0][i], rc[1][i], rc[2][i], 0.0f};
            a.a = ra[i];
        }
    }
}

#if defined(__x86_64__) || defined(__i386__)
using F8 = float __attribute__((vector_size(32)));

// Eight lanes where the processor has AVX2: the same IEEE operations (no fused multiply-add is enabled,
// so none is formed).
template <int F> [[gnu::target("avx2")]] void over_lanes_avx2(const SpanLanes& b, int n, Acc* acc) {
    over_lanes<F, F8, 8>(b, n, acc);
}
#endif

template <int F> void flush_lanes(SpanLanes& b, int n, Acc* acc) {
    // The last group reads up to 8 lanes; the unused ones hold zeros rather than stale values.
    for (int i = n; i < ((n + 7) & ~7); ++i) {
        b.s[0][i] = b.s[1][i] = b.s[2][i] = 0.0f;
        b.d[0][i] = b.d[1][i] = b.d[2][i] = 0.0f;
        b.e[i] = b.da[i] = 0.0f;
    }
#if defined(__x86_64__) || defined(__i386__)
    if (use_wide_lanes()) {
        over_lanes_avx2<F>(b, n, acc);
        return;
    }
#endif
    over_lanes<F, simd::F4, 4>(b, n, acc);
}

// How a layer's source is prepared, decided once per span. Plain: no stroke is merged into the layer and
// its mode reshapes nothing, so the source stays in registers. LayerMask: the same, except that the Layer
// Mask mode's shaping leaves no alpha. Full: the stroke and the shaping as they come.
enum class Source { Plain, LayerMask, Full };

template <int F, Source S>
void layer_over_span(const Scene& s, int k, const std::size_t* at, int n, Acc* acc, SpanLanes& lanes) {
    using simd::F4;
    const Entry& en = s.entries[k];
    const bool base = k == 0 && s.background;
    const bool paint_here = S == Source::Full && k == s.paint_position;
    const std::uint16_t* mask_layer = en.mask_above ? s.entries[k + 1].pixels : nullptr;
    int waiting = 0;
    for (int i = 0; i < n; ++i) {
        Acc& a = acc[i];
        const std::uint16_t* p = en.pixels + at[i];
        Rgba16 src{{p[0], p[1], p[2], p[3]}};
        if (base) {
            src.c[3] = 65535;
        } else if (src.c[3] == 0 && en.mode <= kBlendUnused && !paint_here) {
            continue;
        }
        if (paint_here) {
            const std::uint16_t* q = s.paint + at[i];
            const Rgba16 stroke{{q[0], q[1], q[2], (q[3] * (s.paint_strength + 1)) >> 8}};
            merge_pixel(s.paint_mode, src, stroke, s.paint_opacity, en.alpha_lock, s.alpha_opacity);
        }
        if (S != Source::LayerMask && mask_layer) {
            const std::uint16_t* m = mask_layer + at[i];
            if (m[3] != 0) src.c[3] = (((static_cast<std::uint32_t>(m[0]) + m[1] + m[2]) / 3) * src.c[3]) >> 16;
            if (base) src.c[3] = 65535;
        }
        if constexpr (S == Source::Full) shape_alpha_source(en.mode, src, s.alpha_opacity);
        if constexpr (S == Source::LayerMask) src.c[3] = 0;
        std::uint32_t e = src.c[3];
        if (en.opacity < 255) e = ((en.opacity + 1) * e) >> 8;
        if (a.a == 0.0f) {
            if (clears_transparent(F)) {
                a.c = F4{0.0f, 0.0f, 0.0f, 0.0f};
                a.a = 0.0f;
                a.copy = {0, 0, 0, 0};
            } else {
                a.c = F4{static_cast<float>(src.c[0]), static_cast<float>(src.c[1]), static_cast<float>(src.c[2]), 0.0f} /
                      kColourFull;
                a.a = static_cast<float>(e) / kAlphaFull;
                a.copy = {src.c[0], src.c[1], src.c[2], e};
            }
            a.merged = false;
            continue;
        }
        if (e >= kOpaqueNormal && en.mode == kBlendNormal) {
            a.c = F4{static_cast<float>(src.c[0]), static_cast<float>(src.c[1]), static_cast<float>(src.c[2]), 0.0f} /
                  kColourFull;
            a.a = 1.0f;
            a.copy = {src.c[0], src.c[1], src.c[2], 65535};
            a.merged = false;
            continue;
        }
        a.merged = true;
        if constexpr (channelwise_formula(F)) {
            lanes.add(waiting++, i, src, e, a);
        } else {
            const F4 sv{static_cast<float>(src.c[0]), static_cast<float>(src.c[1]),
                        static_cast<float>(src.c[2]), 0.0f};
            const FloatPixel o = composite<F>(sv, static_cast<float>(e) * kAlphaScale, a.c * a.a, a.a);
            a.c = o.c;
            a.a = o.a;
        }
    }
    if constexpr (channelwise_formula(F))
        if (waiting > 0) flush_lanes<F>(lanes, waiting, acc);
}

// Composites n pixels at canvas offsets at[] (16-bit units of an RGBA64 plane); n is at most kSpan.
void composite_span(const Scene& s, const std::size_t* at, int n, Pixel* out) {
    if (g_reference_compositing) {
        for (int i = 0; i < n; ++i) out[i] = composite_pixel(s, at[i]);
        return;
    }
    Acc acc[kSpan];
    SpanLanes lanes;
    for (int i = 0; i < n; ++i)
        acc[i] = Acc{simd::F4{0.0f, 0.0f, 0.0f, 0.0f}, 0.0f, Pixel{0, 0, 0, 0}, false};
    for (int k = 0; k < s.count; ++k) {
        const int mode = s.entries[k].mode;
        const bool stroke = k == s.paint_position;
        with_blend_formula(s.entries[k].formula, [&](auto f) {
            constexpr int F = decltype(f)::value;
            if (!stroke && mode <= kBlendAlphaNormal)
                layer_over_span<F, Source::Plain>(s, k, at, n, acc, lanes);
            else if (!stroke && mode == kBlendLayerMask && F == kFormulaOver)
                layer_over_span<kFormulaOver, Source::LayerMask>(s, k, at, n, acc, lanes);
            else
                layer_over_span<F, Source::Full>(s, k, at, n, acc, lanes);
        });
    }
    for (int i = 0; i < n; ++i) {
        const Acc& a = acc[i];
        out[i] = a.merged ? Pixel{static_cast<std::uint32_t>(a.c[0] * kColourFull),
                                  static_cast<std::uint32_t>(a.c[1] * kColourFull),
                                  static_cast<std::uint32_t>(a.c[2] * kColourFull),
                                  static_cast<std::uint32_t>(a.a * kAlphaFull)}
                          : a.copy;
    }
}

// Trace, checkerboard and tint of canvas pixel (cx, cy); mask_at is where the tint's mask value is read.
void finish_pixel(const Scene& s, Pixel v, int cx, int cy, std::size_t mask_at, unsigned char* out) {
    std::uint32_t c[3] = {v.r, v.g, v.b};
    const std::uint32_t a = v.a;
    const bool odd = odd_square(cx, cy);
    if (s.trace) {
        const std::uint16_t* t = s.trace + static_cast<std::size_t>(cy) * s.pitch + static_cast<std::size_t>(cx) * 4;
        for (int i = 0; i < 3; ++i) c[i] = (t[i] + c[i]) >> 1;
    }
    if (a < 65535) {
        const std::uint32_t board = odd ? 40959u : 65535u;
        const std::uint32_t k = (board * (65535 - a)) >> 8;
        for (std::uint32_t& ch : c) ch = (((a * ch) >> 8) + k) >> 8;
    }
    if (s.mask) {
        std::uint32_t m = s.mask[mask_at];
        if (!s.tint_only_where_masked || m < 65535) {
            if (s.mask_mode == 0) m = (m >> 1) + 32767;
            const std::uint32_t inv = 65535 - m;
            const std::uint32_t* tint = odd ? s.tint_odd : s.tint_even;
            out[0] = static_cast<unsigned char>((((tint[2] * inv) >> 8) + ((m * c[2]) >> 8)) >> 16);
            out[1] = static_cast<unsigned char>((((tint[1] * inv) >> 8) + ((m * c[1]) >> 8)) >> 16);
            out[2] = static_cast<unsigned char>((((tint[0] * inv) >> 8) + ((m * c[0]) >> 8)) >> 16);
            return;
        }
    }
    out[0] = static_cast<unsigned char>(c[2] >> 8);
    out[1] = static_cast<unsigned char>(c[1] >> 8);
    out[2] = static_cast<unsigned char>(c[0] >> 8);
}

unsigned char* row_at(unsigned char* dst, int stride, int row) {
    return dst + static_cast<std::ptrdiff_t>(row) * stride;
}

// Carried-fraction steps of the reduced path: the position after `count` steps of f from `start`.
int advance(int start, int count, float f, float& fraction) {
    int pos = start;
    fraction = 0.0f;
    for (int i = 0; i < count; ++i) {
        fraction += f;
        const float step = std::trunc(fraction);
        fraction -= step;
        pos += static_cast<int>(step);
    }
    return pos;
}

} // namespace

void render(unsigned char* dst, int stride, int x, int y, int w, int h) {
    Scene s; // on the stack: the renderer allocates nothing
    if (!dst || !build_scene(s)) return;
    const core::CanvasState& c = g_engine.canvas;
    x = std::max(x, 0);
    y = std::max(y, 0);
    if (x >= c.width || y >= c.height || w <= 0 || h <= 0) return;
    w = std::min<long long>(w, c.width - x);
    h = std::min<long long>(h, c.height - y);
    const int view_w = c.view_width, view_h = c.view_height;
    if (view_w <= 0 || view_h <= 0) return;
    const int n = c.scale_mode;
    const float f = c.scale_factor;
    const float nf = static_cast<float>(n);
    const long long work = static_cast<long long>(std::max(s.count, 1)) * 64;
    constexpr long long kParallelWork = 1 << 20;

    if (f == nf) {
        s.tint_only_where_masked = true;
        const int cols = std::min(w, view_w), rows = std::min(h, view_h);
        if (std::abs(static_cast<long long>(stride)) < 3LL * cols) return;
        core::parallel_rows(rows, work * cols, kParallelWork, [&](int first, int last) {
            std::size_t at[kSpan];
            Pixel value[kSpan];
            for (int i = first; i < last; ++i) {
                const int cy = y + i;
                unsigned char* out = row_at(dst, stride, i);
                for (int j0 = 0; j0 < cols; j0 += kSpan) {
                    const int n = std::min(kSpan, cols - j0);
                    const std::size_t row_start = static_cast<std::size_t>(cy) * s.width + x + j0;
                    for (int j = 0; j < n; ++j) at[j] = (row_start + j) * 4;
                    composite_span(s, at, n, value);
                    for (int j = 0; j < n; ++j)
                        finish_pixel(s, value[j], x + j0 + j, cy, row_start + j, out + (j0 + j) * 3);
                }
            }
        });
    } else if (f > nf) {
        // Reduction: output (j, i) shows the canvas pixel reached by carried fractions of f.
        if (!(f > 0.0f) || !std::isfinite(f)) return;
        const double inv = 1.0f / f;
        const long long cols_wanted = static_cast<long long>(std::trunc(x + w * inv - 1)) - x + 1;
        const long long rows_wanted = static_cast<long long>(std::trunc(y + h * inv - 1)) - y + 1;
        const int cols = static_cast<int>(std::clamp<long long>(cols_wanted, 0, view_w));
        const int rows = static_cast<int>(std::clamp<long long>(rows_wanted, 0, view_h));
        if (cols <= 0 || rows <= 0 || std::abs(static_cast<long long>(stride)) < 3LL * cols) return;
        const int last_x = x + w - 1, last_y = y + h - 1;
        core::parallel_rows(rows, work * cols, kParallelWork, [&](int first, int last) {
            std::size_t at[kSpan];
            int column[kSpan];
            Pixel value[kSpan];
            float row_fraction = 0.0f;
            int cy = advance(y, first, f, row_fraction);
            for (int i = first; i < last; ++i) {
                const int ry = std::min(cy, last_y);
                const int mask_row = std::clamp(static_cast<int>(std::trunc(y + static_cast<float>(i) * f)), 0, last_y);
                unsigned char* out = row_at(dst, stride, i);
                float col_fraction = 0.0f;
                int cx = x;
                for (int j0 = 0; j0 < cols; j0 += kSpan) {
                    const int n = std::min(kSpan, cols - j0);
                    for (int j = 0; j < n; ++j) {
                        column[j] = std::min(cx, last_x);
                        at[j] = (static_cast<std::size_t>(ry) * s.width + column[j]) * 4;
                        col_fraction += f;
                        const float step = std::trunc(col_fraction);
                        col_fraction -= step;
                        cx = static_cast<int>(std::min<float>(static_cast<float>(cx) + step, static_cast<float>(last_x)));
                    }
                    composite_span(s, at, n, value);
                    for (int j = 0; j < n; ++j) {
                        const std::size_t mask_at = static_cast<std::size_t>(mask_row) * s.width + column[j];
                        finish_pixel(s, value[j], column[j], ry, mask_at, out + (j0 + j) * 3);
                    }
                }
                row_fraction += f;
                const float step = std::trunc(row_fraction);
                row_fraction -= step;
                cy = static_cast<int>(std::min<float>(static_cast<float>(cy) + step, static_cast<float>(last_y)));
            }
        });
    } else {
        // Magnification by n: each canvas pixel becomes an n x n block. A canvas row is composited once and
        // its output row repeated, which gives the same bytes as compositing it anew for every repeat.
        if (n <= 0) return;
        const int cols = static_cast<int>(std::min<long long>(static_cast<long long>(n) * w, view_w));
        const int rows = static_cast<int>(std::min<long long>(static_cast<long long>(n) * h, view_h));
        if (std::abs(static_cast<long long>(stride)) < 3LL * cols) return;
        const int canvas_rows = (rows + n - 1) / n;
        const int canvas_cols = (cols + n - 1) / n;
        core::parallel_rows(canvas_rows, work * canvas_cols, kParallelWork, [&](int first, int last) {
            std::size_t at[kSpan];
            Pixel value[kSpan];
            for (int r = first; r < last; ++r) {
                const int cy = y + r;
                const int out_row = r * n;
                unsigned char* out = row_at(dst, stride, out_row);
                for (int c0 = 0; c0 < canvas_cols; c0 += kSpan) {
                    const int m = std::min(kSpan, canvas_cols - c0);
                    const std::size_t row_start = static_cast<std::size_t>(cy) * s.width + x + c0;
                    for (int c = 0; c < m; ++c) at[c] = (row_start + c) * 4;
                    composite_span(s, at, m, value);
                    for (int c = 0; c < m; ++c) {
                        unsigned char px[3];
                        finish_pixel(s, value[c], x + c0 + c, cy, row_start + c, px);
                        const int j0 = (c0 + c) * n;
                        for (int j = j0; j < std::min(cols, j0 + n); ++j) std::memcpy(out + j * 3, px, 3);
                    }
                }
                for (int i = out_row + 1; i < std::min(rows, out_row + n); ++i)
                    std::memcpy(row_at(dst, stride, i), out, static_cast<std::size_t>(cols) * 3);
            }
        });
    }
}

void set_reference_compositing(bool on) { g_reference_compositing = on; }

} // namespace vlm::compose
