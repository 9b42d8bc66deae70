#include "compose/rect_merge.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "compose/pixel_merge.h"
#include "core/parallel.h"

namespace vlm::compose {

namespace {

// What the replace rule makes of one pixel of an alpha mode with effective alpha f. Two layers in the
// same alpha mode would otherwise shade twice: the upper one takes the place of the lower instead.
enum class Replace { Shape, Whole, Zero, Multiply };

Replace replace_action(int mode, std::uint32_t f) {
    switch (mode) {
    case kBlendAlphaSmooth2:
    case kBlendAlphaSmoothLum4:
    case kBlendAlphaSmoothLum5:
        if (f < 8191) return Replace::Zero;
        return f > 9214 ? Replace::Whole : Replace::Multiply;
    case kBlendAlphaSmoothLum:
    case kBlendAlphaSmoothLum2:
    case kBlendAlphaSmoothLum3:
        return f >= 8191 ? Replace::Whole : Replace::Zero;
    case kBlendAlphaHighlight:
        return f < 32513 ? Replace::Zero : Replace::Whole;
    case kBlendLayerMask:
    case kBlendLuminanceAlpha:
    case kBlendLuminanceAlphaInvert:
        return Replace::Shape;
    default: // 28..38 and 45
        return mode >= kBlendAlphaNormal && f > 0 ? Replace::Whole : Replace::Shape;
    }
}

// The pixel under the replace rule; s holds the unshaped source colour and its effective alpha.
template <int F>
bool merge_replacing(int mode, Rgba16& d, Rgba16 s, std::uint32_t opacity, bool lock, std::uint32_t k) {
    switch (replace_action(mode, s.c[Rgba16::A])) {
    case Replace::Whole: {
        // As onto a transparent destination: the source colour with alpha f (none left: transparent).
        std::uint32_t f = s.c[Rgba16::A];
        if (opacity < 255) f = ((opacity + 1) * f) / 256;
        if (f == 0)
            detail::store(d, 0, 0, 0, 0, lock);
        else
            detail::store(d, s.c[0], s.c[1], s.c[2], f, lock);
        return true;
    }
    case Replace::Zero:
        s.c[Rgba16::A] = 0;
        return merge_shaped<F>(d, s, opacity, lock);
    case Replace::Multiply:
        return merge_shaped<kBlendMultiply>(d, s, opacity, lock);
    case Replace::Shape:
        break;
    }
    shape_alpha_source(mode, s, k);
    return merge_shaped<F>(d, s, opacity, lock);
}

template <class T> VLM_PIXEL_INLINE std::uint32_t widen(T v) {
    if constexpr (sizeof(T) == 1)
        return static_cast<std::uint32_t>(v) << 8;
    else
        return v;
}

// Pixels waiting for a channelwise formula, gathered so that the float work runs on several pixels at a
// time, one lane per pixel. Each lane goes through exactly the single-precision operations merge_float
// gives the pixel on its own, in the same order, so the bytes are the same. Pixels are independent, so
// deferring their writes changes nothing. A batch holds several groups of lanes: their division chains
// overlap, and the values a group reads were stored long enough ago to come from the cache.
constexpr int kBatch = 64;

// A 16-bit pixel as four floats in one go (16-bit values are exact in float).
VLM_PIXEL_INLINE simd::F4 widen_to_float(const std::uint16_t* p) {
    std::uint16_t __attribute__((vector_size(8))) v;
    std::memcpy(&v, p, sizeof v);
    return __builtin_convertvector(__builtin_convertvector(v, simd::I4), simd::F4);
}

struct LaneBatch {
    alignas(32) float s[3][kBatch] = {}; // source colour
    alignas(32) float d[3][kBatch] = {}; // destination colour
    alignas(32) float f[kBatch] = {};    // effective source alpha
    alignas(32) float da[kBatch] = {};   // destination alpha
    std::uint16_t* out[kBatch] = {};

    // Puts the pixel in place n: the (shaped) source colour, its effective alpha and the destination.
    // (The count stays with the caller, in a register.)
    VLM_PIXEL_INLINE void add(int n, std::uint16_t* dp, const Rgba16& src, std::uint32_t f_eff) {
        for (int ch = 0; ch < 3; ++ch) s[ch][n] = static_cast<float>(src.c[ch]);
        f[n] = static_cast<float>(f_eff);
        const simd::F4 dst = widen_to_float(dp);
        d[0][n] = dst[0];
        d[1][n] = dst[1];
        d[2][n] = dst[2];
        da[n] = dst[3];
        out[n] = dp;
    }
};

// The first n pixels of the batch in groups of N lanes: V is N floats, IV N int32. Lanes past n hold zeros
// or an earlier batch's values; their results are not written.
template <int F, class V, class IV, int N>
VLM_PIXEL_INLINE void flush_groups(const LaneBatch& b, int n, bool lock) {
    for (int at = 0; at < n; at += N) {
        V sa, da;
        simd::load_lanes(sa, b.f + at);
        simd::load_lanes(da, b.da + at);
        sa *= kAlphaScale;
        da *= kAlphaScale;
        const V s1 = 1.0f - sa, d1 = 1.0f - da;
        V ra, rc[3];
        for (int ch = 0; ch < 3; ++ch) {
            V sc, dc;
            simd::load_lanes(sc, b.s[ch] + at);
            simd::load_lanes(dc, b.d[ch] + at);
            sc = sc * sa / kColourFull;
            dc = dc * da / kColourFull;
            channelwise<F>(sc, dc, sa, da, s1, d1, rc[ch], ra);
        }
        simd::clamp_unit(ra);
        IV c[3];
        for (int ch = 0; ch < 3; ++ch) {
            V q = rc[ch] / ra;
            simd::clamp_unit(q);
            c[ch] = __builtin_convertvector(q * kColourFull, IV);
        }
        const IV a = __builtin_convertvector(ra * kAlphaFull, IV);
        for (int i = 0; i < N && at + i < n; ++i) {
            std::uint16_t* dp = b.out[at + i];
            dp[0] = static_cast<std::uint16_t>(c[0][i]);
            dp[1] = static_cast<std::uint16_t>(c[1][i]);
            dp[2] = static_cast<std::uint16_t>(c[2][i]);
            if (!lock) dp[3] = static_cast<std::uint16_t>(a[i]);
        }
    }
}

std::atomic<bool> g_wide_lanes{true};

#if defined(__x86_64__) || defined(__i386__)
using F8 = float __attribute__((vector_size(32)));
using I8 = std::int32_t __attribute__((vector_size(32)));

// Eight lanes where the processor has AVX2: the same IEEE operations, twice as many at once (no fused
// multiply-add is enabled, so none is formed).
template <int F> [[gnu::target("avx2")]] void flush_lanes_avx2(const LaneBatch& b, int n, bool lock) {
    flush_groups<F, F8, I8, 8>(b, n, lock);
}

template <int F> void flush_lanes(const LaneBatch& b, int n, bool lock) {
    if (use_wide_lanes())
        flush_lanes_avx2<F>(b, n, lock);
    else
        flush_groups<F, simd::F4, simd::I4, 4>(b, n, lock);
}
#else
template <int F> void flush_lanes(const LaneBatch& b, int n, bool lock) {
    flush_groups<F, simd::F4, simd::I4, 4>(b, n, lock);
}
#endif

// A run of source pixels that Normal at full opacity and strength copies whole (alpha at least
// kOpaqueNormal): the destination takes the source as it is, its alpha too unless locked.
template <class T> void copy_run(const T* sp, std::uint16_t* dp, int n, bool lock) {
    if constexpr (sizeof(T) == 2) {
        if (!lock) {
            if (sp != dp) std::memmove(dp, sp, static_cast<std::size_t>(n) * 4 * sizeof(T));
            return;
        }
    }
    for (int i = 0; i < n; ++i, sp += 4, dp += 4) {
        dp[0] = static_cast<std::uint16_t>(widen(sp[0]));
        dp[1] = static_cast<std::uint16_t>(widen(sp[1]));
        dp[2] = static_cast<std::uint16_t>(widen(sp[2]));
        if (!lock) dp[3] = static_cast<std::uint16_t>(widen(sp[3]));
    }
}

VLM_PIXEL_INLINE void write(std::uint16_t* dp, const Rgba16& d) {
    dp[0] = static_cast<std::uint16_t>(d.c[0]);
    dp[1] = static_cast<std::uint16_t>(d.c[1]);
    dp[2] = static_cast<std::uint16_t>(d.c[2]);
    dp[3] = static_cast<std::uint16_t>(d.c[3]);
}

// Shape: the mode is one of the alpha modes that reshape their source (above 28); decided once per call.
template <int F, bool Shape, class T>
void merge_rows(const T* src, const std::uint16_t* mask, std::uint16_t* dst, const RectGeometry& g,
                const MergeSettings& s, int first_row, int last_row) {
    const int mode = normalise_blend_mode(s.mode);
    const bool skip_transparent = mode < kBlendAlphaNormal;
    const bool use_mask = mask && s.mask_mode == kBlendLayerMask;
    const bool replace = s.replace && mode >= kBlendAlphaNormal;
    const std::uint32_t strength = static_cast<std::uint32_t>(std::clamp(s.strength, 0, 255)) + 1;
    const std::uint32_t opacity = static_cast<std::uint32_t>(std::clamp(s.opacity, 0, 256));
    const bool lock = s.alpha_lock;
    const std::uint32_t k = s.alpha_layer_opacity;
    // Normal at full opacity and strength without a mask: the source alpha is the effective alpha, so a
    // run at or above the opaque threshold is a plain copy.
    const bool copy_runs = F == kBlendNormal && opacity >= 255 && strength == 256 && !use_mask;
    LaneBatch lanes;
    int waiting = 0; // pixels in lanes
    for (int r = first_row; r < last_row; ++r) {
        const std::size_t src_at =
            static_cast<std::size_t>(g.src_y + r) * g.src_pitch + g.src_x * std::size_t{4};
        const T* const src_row = src + src_at;
        const std::uint16_t* mp = use_mask ? mask + src_at : nullptr;
        std::uint16_t* const dst_row =
            dst + static_cast<std::size_t>(g.dst_y + r) * g.dst_pitch + g.dst_x * std::size_t{4};
        for (int c = 0; c < g.width; ++c) {
            const T* sp = src_row + static_cast<std::size_t>(c) * 4;
            std::uint16_t* dp = dst_row + static_cast<std::size_t>(c) * 4;
            std::uint32_t sa = widen(sp[3]);
            if (sa == 0 && skip_transparent) continue;
            if (copy_runs && sa >= kOpaqueNormal) {
                int end = c + 1;
                while (end < g.width &&
                       widen(src_row[static_cast<std::size_t>(end) * 4 + 3]) >= kOpaqueNormal)
                    ++end;
                copy_run(sp, dp, end - c, lock);
                c = end - 1;
                continue;
            }
            if (use_mask) {
                const std::uint16_t* m = mp + static_cast<std::size_t>(c) * 4;
                if (m[3] != 0) sa = (((static_cast<std::uint32_t>(m[0]) + m[1] + m[2]) / 3) * sa) / 65536;
            }
            Rgba16 px{{widen(sp[0]), widen(sp[1]), widen(sp[2]), (strength * sa) / 256}};
            Rgba16 d{{dp[0], dp[1], dp[2], dp[3]}};
            if constexpr (F == kFormulaOver || F == kBlendTexturize2) {
                // Only the alpha modes replace, and they all composite by one of these two.
                if (replace) {
                    if (merge_replacing<F>(mode, d, px, opacity, lock, k)) write(dp, d);
                    continue;
                }
            }
            if constexpr (Shape) shape_alpha_source(mode, px, k);
            std::uint32_t f;
            switch (merge_integer<F>(d, px, f, opacity, lock)) {
            case MergeStep::Kept:
                continue;
            case MergeStep::Written:
                write(dp, d);
                continue;
            case MergeStep::Float:
                break;
            }
            if constexpr (channelwise_formula(F)) {
                lanes.add(waiting, dp, px, f);
                if (++waiting == kBatch) {
                    flush_lanes<F>(lanes, waiting, lock);
                    waiting = 0;
                }
            } else {
                merge_float<F>(d, px, f, lock);
                write(dp, d);
            }
        }
    }
    if constexpr (channelwise_formula(F)) flush_lanes<F>(lanes, waiting, lock);
}

template <class T>
void merge_rows_any(const T* src, const std::uint16_t* mask, std::uint16_t* dst, const RectGeometry& g,
                    const MergeSettings& s, int first_row, int last_row) {
    if (!src || !dst || g.width <= 0 || first_row >= last_row) return;
    const int mode = normalise_blend_mode(s.mode);
    // The formula and whether the source is reshaped are chosen once for the whole run of rows.
    with_blend_formula(blend_formula(mode), [&](auto f) {
        constexpr int F = decltype(f)::value;
        if constexpr (F == kFormulaOver || F == kBlendTexturize2) {
            if (mode > kBlendAlphaNormal)
                return merge_rows<F, true>(src, mask, dst, g, s, first_row, last_row);
        }
        merge_rows<F, false>(src, mask, dst, g, s, first_row, last_row);
    });
}

} // namespace

void set_wide_lanes(bool allowed) { g_wide_lanes.store(allowed, std::memory_order_relaxed); }

bool use_wide_lanes() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool have_avx2 = __builtin_cpu_supports("avx2");
    return have_avx2 && g_wide_lanes.load(std::memory_order_relaxed);
#else
    return false;
#endif
}

void merge_rect_rows(const std::uint16_t* src, const std::uint16_t* mask, std::uint16_t* dst,
                     const RectGeometry& g, const MergeSettings& s, int first_row, int last_row) {
    merge_rows_any(src, mask, dst, g, s, first_row, last_row);
}

void merge_rect_rows(const std::uint8_t* src, std::uint16_t* dst, const RectGeometry& g,
                     const MergeSettings& s, int first_row, int last_row) {
    merge_rows_any<std::uint8_t>(src, nullptr, dst, g, s, first_row, last_row);
}

void merge_rect(const std::uint16_t* src, const std::uint16_t* mask, std::uint16_t* dst,
                const RectGeometry& g, const MergeSettings& s) {
    if (!src || !dst || g.width <= 0) return;
    core::parallel_rows(g.height, g.width, kParallelMergePixels,
                        [&](int first, int last) { merge_rows_any(src, mask, dst, g, s, first, last); });
}

void merge_rect(const std::uint8_t* src, std::uint16_t* dst, const RectGeometry& g, const MergeSettings& s) {
    if (!src || !dst || g.width <= 0) return;
    core::parallel_rows(g.height, g.width, kParallelMergePixels, [&](int first, int last) {
        merge_rows_any<std::uint8_t>(src, nullptr, dst, g, s, first, last);
    });
}

} // namespace vlm::compose
