#include "compose/rect_merge.h"

#include <algorithm>

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

template <class T> inline std::uint32_t widen(T v) {
    if constexpr (sizeof(T) == 1)
        return static_cast<std::uint32_t>(v) << 8;
    else
        return v;
}

template <int F, class T>
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
    for (int r = first_row; r < last_row; ++r) {
        const std::size_t src_at =
            static_cast<std::size_t>(g.src_y + r) * g.src_pitch + g.src_x * std::size_t{4};
        const T* sp = src + src_at;
        const std::uint16_t* mp = use_mask ? mask + src_at : nullptr;
        std::uint16_t* dp =
            dst + static_cast<std::size_t>(g.dst_y + r) * g.dst_pitch + g.dst_x * std::size_t{4};
        for (int c = 0; c < g.width; ++c, sp += 4, dp += 4) {
            std::uint32_t sa = widen(sp[3]);
            if (sa == 0 && skip_transparent) continue;
            if (use_mask) {
                const std::uint16_t* m = mp + static_cast<std::size_t>(c) * 4;
                if (m[3] != 0) sa = (((static_cast<std::uint32_t>(m[0]) + m[1] + m[2]) / 3) * sa) / 65536;
            }
            Rgba16 px{{widen(sp[0]), widen(sp[1]), widen(sp[2]), (strength * sa) / 256}};
            Rgba16 d{{dp[0], dp[1], dp[2], dp[3]}};
            bool changed;
            if (replace) {
                changed = merge_replacing<F>(mode, d, px, opacity, lock, k);
            } else {
                shape_alpha_source(mode, px, k);
                changed = merge_shaped<F>(d, px, opacity, lock);
            }
            if (!changed) continue;
            dp[0] = static_cast<std::uint16_t>(d.c[0]);
            dp[1] = static_cast<std::uint16_t>(d.c[1]);
            dp[2] = static_cast<std::uint16_t>(d.c[2]);
            dp[3] = static_cast<std::uint16_t>(d.c[3]);
        }
    }
}

template <class T>
void merge_rows_any(const T* src, const std::uint16_t* mask, std::uint16_t* dst, const RectGeometry& g,
                    const MergeSettings& s, int first_row, int last_row) {
    if (!src || !dst || g.width <= 0 || first_row >= last_row) return;
    // The formula is chosen once for the whole run of rows.
    with_blend_formula(blend_formula(normalise_blend_mode(s.mode)), [&](auto f) {
        merge_rows<decltype(f)::value>(src, mask, dst, g, s, first_row, last_row);
    });
}

} // namespace

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
