#include "core/transfer_loads.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "core/canvas.h"
#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/layer_store.h"
#include "core/parallel.h"
#include "core/transfer_common.h"
#include "core/transfer_convert.h"
#include "core/transfer_fills.h"

namespace vlm::core {

namespace {
// Below this many pixels a load stays on the caller's thread: starting threads would cost more.
constexpr long long kParallelLoadPixels = 1 << 18;
} // namespace

void load_bgr24_row(std::uint16_t* dst, const std::uint8_t* src, int n) {
    for (int i = 0; i < n; ++i, dst += 4, src += 3) {
        dst[0] = static_cast<std::uint16_t>(src[2] << 8);
        dst[1] = static_cast<std::uint16_t>(src[1] << 8);
        dst[2] = static_cast<std::uint16_t>(src[0] << 8);
        dst[3] = 65535;
    }
}

void load_rgb24_row(std::uint16_t* dst, const std::uint8_t* src, int n, const std::uint16_t* mask,
                    const std::uint8_t* texture) {
    for (int i = 0; i < n; ++i, dst += 4, src += 3) {
        const std::uint32_t w = weight_rule_a(texture ? texture + i : nullptr, mask ? mask + i : nullptr);
        for (int c = 0; c < 3; ++c) dst[c] = weighted_blend(dst[c], src[c], w);
    }
}

void load_rgb24_alpha_row(std::uint16_t* dst, const std::uint8_t* src, int n, const std::uint16_t* mask,
                          const std::uint8_t* texture) {
    for (int i = 0; i < n; ++i, dst += 4, src += 3) {
        if (dst[3] == 0) continue;
        dst[3] = weighted_blend(dst[3], src[0],
                                weight_rule_b(texture ? texture + i : nullptr, mask ? mask + i : nullptr));
    }
}

void load_rgba32_row(std::uint16_t* dst, const std::uint8_t* src, int n, bool alpha_locked) {
    if (alpha_locked) {
        for (int i = 0; i < n; ++i, dst += 4, src += 4)
            for (int c = 0; c < 3; ++c) dst[c] = static_cast<std::uint16_t>(src[c] << 8);
        return;
    }
    for (int i = 0; i < n; ++i, dst += 4, src += 4) {
        if (src[3] == 0) {
            std::memset(dst, 0, 8);
        } else {
            for (int c = 0; c < 4; ++c) dst[c] = static_cast<std::uint16_t>(src[c] << 8);
        }
    }
}

void load_rgba32_row_weighted_reference(std::uint16_t* dst, const std::uint8_t* src, int n,
                                        const std::uint16_t* mask, const std::uint8_t* texture,
                                        bool alpha_locked) {
    for (int i = 0; i < n; ++i) {
        std::uint16_t* d = dst + 4 * i;
        const std::uint8_t* s = src + 4 * i;
        const std::uint32_t w = weight_rule_a(texture ? texture + i : nullptr, mask ? mask + i : nullptr);
        const int channels = alpha_locked ? 3 : 4;
        if (w == 65535) {
            for (int c = 0; c < channels; ++c) d[c] = static_cast<std::uint16_t>(s[c] * 256);
        } else if (w == 0) {
        } else if (d[3] == 0) {
            for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint16_t>(s[c] * 256);
            if (!alpha_locked) d[3] = static_cast<std::uint16_t>((s[3] * 256 * w) / 65536);
        } else if (s[3] == 0) {
            if (!alpha_locked) d[3] = static_cast<std::uint16_t>((d[3] * (65535 - w)) / 65536);
        } else {
            for (int c = 0; c < channels; ++c) d[c] = weighted_blend(d[c], s[c], w);
        }
    }
}

namespace {

// Rule A in two table look-ups: the texture's weight, then the mask's high byte as a factor out of 256
// (0 for a protected pixel, 256 for a fully selected one, h + 1 between).
struct RuleATables {
    std::array<std::uint32_t, 256> texture;
    std::array<std::uint32_t, 256> mask;
};

constexpr RuleATables make_rule_a_tables() {
    RuleATables t{};
    for (std::uint32_t v = 0; v < 256; ++v) {
        t.texture[v] = v == 0 ? 0 : v >= 128 ? 65535 : (2 * v + 1) * 65535 / 256;
        t.mask[v] = v == 0 ? 0 : v == 255 ? 256 : v + 1;
    }
    return t;
}

constexpr RuleATables kRuleA = make_rule_a_tables();

template <bool kMask, bool kTexture>
std::uint32_t rule_a(const std::uint16_t* m, const std::uint8_t* t, int i) {
    if constexpr (kMask && kTexture) return (kRuleA.mask[m[i] >> 8] * kRuleA.texture[t[i]]) >> 8;
    if constexpr (kMask) return (kRuleA.mask[m[i] >> 8] * 65535) >> 8;
    return kRuleA.texture[t[i]];
}

template <bool kLocked> void weighted_pixel(std::uint16_t* d, const std::uint8_t* s, std::uint32_t w) {
    constexpr int kChannels = kLocked ? 3 : 4;
    if (w == 65535) {
        for (int c = 0; c < kChannels; ++c) d[c] = static_cast<std::uint16_t>(s[c] << 8);
        return;
    }
    if (w == 0) return;
    if (d[3] == 0) {
        for (int c = 0; c < 3; ++c) d[c] = static_cast<std::uint16_t>(s[c] << 8);
        if constexpr (!kLocked) d[3] = static_cast<std::uint16_t>((s[3] * w) >> 8);
        return;
    }
    const std::uint32_t keep = 65535 - w;
    if (s[3] == 0) {
        if constexpr (!kLocked) d[3] = static_cast<std::uint16_t>((d[3] * keep) >> 16);
        return;
    }
    // The weighted blend with w strictly between 0 and 65535.
    for (int c = 0; c < kChannels; ++c)
        d[c] = static_cast<std::uint16_t>((s[c] * w + ((d[c] * keep) >> 8)) >> 8);
}

template <bool kMask, bool kTexture, bool kLocked>
void weighted_row_scalar(std::uint16_t* d, const std::uint8_t* s, int n, const std::uint16_t* m,
                         const std::uint8_t* t) {
    for (int i = 0; i < n; ++i)
        weighted_pixel<kLocked>(d + 4 * i, s + 4 * i, rule_a<kMask, kTexture>(m, t, i));
}

#if defined(__x86_64__)
// Two pixels per step in 32-bit lanes: every case of the weight is computed and the pixel's own case is
// selected, so that noisy textures cost no mispredicted branches. Same arithmetic as weighted_pixel.
template <bool kMask, bool kTexture, bool kLocked>
__attribute__((target("avx2"))) void weighted_row_avx2(std::uint16_t* d, const std::uint8_t* s, int n,
                                                       const std::uint16_t* m, const std::uint8_t* t) {
    const __m256i all = _mm256_set1_epi32(65535);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i alpha_lanes = _mm256_setr_epi32(0, 0, 0, -1, 0, 0, 0, -1);
    int i = 0;
    for (; i + 2 <= n; i += 2, d += 8, s += 8) {
        const __m256i w =
            _mm256_set_m128i(_mm_set1_epi32(static_cast<int>(rule_a<kMask, kTexture>(m, t, i + 1))),
                             _mm_set1_epi32(static_cast<int>(rule_a<kMask, kTexture>(m, t, i))));
        const __m256i sv = _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(s)));
        const __m256i dv = _mm256_cvtepu16_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d)));
        const __m256i keep = _mm256_sub_epi32(all, w);
        const __m256i full = _mm256_slli_epi32(sv, 8);
        const __m256i sw = _mm256_mullo_epi32(sv, w);
        const __m256i dk = _mm256_mullo_epi32(dv, keep);
        __m256i r = _mm256_srli_epi32(_mm256_add_epi32(sw, _mm256_srli_epi32(dk, 8)), 8);
        // Transparent source: colour kept, alpha faded; transparent destination: colour taken, alpha
        // weighted.
        const __m256i source_clear = _mm256_cmpeq_epi32(_mm256_shuffle_epi32(sv, 0xFF), zero);
        const __m256i dest_clear = _mm256_cmpeq_epi32(_mm256_shuffle_epi32(dv, 0xFF), zero);
        r = _mm256_blendv_epi8(r, _mm256_blendv_epi8(dv, _mm256_srli_epi32(dk, 16), alpha_lanes),
                               source_clear);
        r = _mm256_blendv_epi8(r, _mm256_blendv_epi8(full, _mm256_srli_epi32(sw, 8), alpha_lanes),
                               dest_clear);
        r = _mm256_blendv_epi8(r, dv, _mm256_cmpeq_epi32(w, zero));
        r = _mm256_blendv_epi8(r, full, _mm256_cmpeq_epi32(w, all));
        if constexpr (kLocked) r = _mm256_blendv_epi8(r, dv, alpha_lanes);
        // Every lane holds at most 65535: pack both pixels into the low 128 bits.
        const __m256i packed = _mm256_permute4x64_epi64(_mm256_packus_epi32(r, r), 0x08);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), _mm256_castsi256_si128(packed));
    }
    for (; i < n; ++i, d += 4, s += 4) weighted_pixel<kLocked>(d, s, rule_a<kMask, kTexture>(m, t, i));
}

bool has_avx2() {
    static const bool yes = __builtin_cpu_supports("avx2");
    return yes;
}
#endif

template <bool kMask, bool kTexture, bool kLocked>
void weighted_row(std::uint16_t* d, const std::uint8_t* s, int n, const std::uint16_t* m,
                  const std::uint8_t* t, WeightedKernel kernel) {
#if defined(__x86_64__)
    if (kernel != WeightedKernel::scalar && has_avx2())
        return weighted_row_avx2<kMask, kTexture, kLocked>(d, s, n, m, t);
#endif
    weighted_row_scalar<kMask, kTexture, kLocked>(d, s, n, m, t);
}

template <bool kMask, bool kTexture>
void weighted_row(std::uint16_t* d, const std::uint8_t* s, int n, const std::uint16_t* m,
                  const std::uint8_t* t, bool locked, WeightedKernel kernel) {
    if (locked)
        weighted_row<kMask, kTexture, true>(d, s, n, m, t, kernel);
    else
        weighted_row<kMask, kTexture, false>(d, s, n, m, t, kernel);
}

} // namespace

void load_rgba32_row_weighted(std::uint16_t* dst, const std::uint8_t* src, int n, const std::uint16_t* mask,
                              const std::uint8_t* texture, bool alpha_locked, WeightedKernel kernel) {
    if (mask && texture)
        weighted_row<true, true>(dst, src, n, mask, texture, alpha_locked, kernel);
    else if (mask)
        weighted_row<true, false>(dst, src, n, mask, texture, alpha_locked, kernel);
    else if (texture)
        weighted_row<false, true>(dst, src, n, mask, texture, alpha_locked, kernel);
    else
        load_rgba32_row_weighted_reference(dst, src, n, mask, texture, alpha_locked);
}

namespace {

// Runs row(dst_row, src_row, mask_row, texture_row) over the whole canvas of a canvas layer from a
// canvas-sized host buffer of 'bytes_per_pixel'; weighting planes only when asked for.
template <class Row>
void over_canvas(Layer& layer, const void* buffer, int pitch, int bytes_per_pixel, bool weighted, Row&& row) {
    const CanvasState& c = g_engine.canvas;
    if (!rows_fit(pitch, static_cast<std::size_t>(c.width) * bytes_per_pixel, c.height)) return;
    const WeightPlanes planes = weighted ? weight_planes() : WeightPlanes{};
    const auto* src = static_cast<const std::uint8_t*>(buffer);
    for (int y = 0; y < c.height; ++y)
        row(layer.pixels + offset_of(y, c.pitch), src + offset_of(y, pitch), planes.mask_row(y, 0),
            planes.texture_row(y, 0));
    layer_changed_whole(&layer);
}

} // namespace

void load_bgr24(const void* buffer, int pitch, int width, int height) {
    Layer* layer = current_canvas_layer();
    if (!layer || !buffer) return;
    const CanvasState& c = g_engine.canvas;
    const int rows = std::min(height, c.height);
    const int cols = std::min(width, c.width);
    if (rows <= 0 || cols <= 0 || !rows_fit(pitch, static_cast<std::size_t>(cols) * 3, rows)) return;
    const auto* src = static_cast<const std::uint8_t*>(buffer);
    for (int y = 0; y < rows; ++y)
        load_bgr24_row(layer->pixels + offset_of(y, c.pitch), src + offset_of(y, pitch), cols);
    layer_changed(layer, 0, 0, cols - 1, rows - 1);
}

void load_rgb24(const void* buffer, int pitch, int weighted) {
    Layer* layer = current_canvas_layer();
    if (!layer || !buffer) return;
    const int n = g_engine.canvas.width;
    over_canvas(*layer, buffer, pitch, 3, flag_set(weighted),
                [n](std::uint16_t* d, const std::uint8_t* s, const std::uint16_t* m, const std::uint8_t* t) {
                    load_rgb24_row(d, s, n, m, t);
                });
}

void load_rgb24_to_alpha(const void* buffer, int pitch, int weighted) {
    Layer* layer = current_canvas_layer();
    if (!layer || !buffer) return;
    const int n = g_engine.canvas.width;
    over_canvas(*layer, buffer, pitch, 3, flag_set(weighted),
                [n](std::uint16_t* d, const std::uint8_t* s, const std::uint16_t* m, const std::uint8_t* t) {
                    load_rgb24_alpha_row(d, s, n, m, t);
                });
}

void load_rgba32_layer(const void* buffer, int pitch, Layer* layer, int x, int y, int width, int height,
                       int weighted) {
    if (!layer || !layer->pixels || !buffer || width <= 0 || height <= 0) return;
    if (layer->width <= 0 || layer->height <= 0 || layer->pitch < layer->width * 4) return;
    if (!rows_fit(pitch, static_cast<std::size_t>(width) * 4, height)) return;
    const WeightPlanes planes = flag_set(weighted) ? weight_planes() : WeightPlanes{};
    // Clip in 64 bits: x + width may exceed the int range.
    long long x1 = std::min<long long>(static_cast<long long>(x) + width, layer->width);
    long long y1 = std::min<long long>(static_cast<long long>(y) + height, layer->height);
    if (planes.any()) {
        // The weight exists only where the canvas-sized planes do.
        x1 = std::min<long long>(x1, planes.width);
        y1 = std::min<long long>(y1, planes.height);
    }
    const int x0 = std::max(x, 0);
    const int y0 = std::max(y, 0);
    if (x1 <= x0 || y1 <= y0) return;
    const int cols = static_cast<int>(x1 - x0);
    const auto* src = static_cast<const std::uint8_t*>(buffer) + static_cast<std::size_t>(x0 - x) * 4;
    const bool locked = layer->alpha_locked != 0;
    // Each row is loaded on its own, so splitting the rows over the cores gives the same bytes.
    parallel_rows(static_cast<int>(y1) - y0, cols, kParallelLoadPixels, [&](int first, int last) {
        for (int row = y0 + first; row < y0 + last; ++row) {
            std::uint16_t* d =
                layer->pixels + offset_of(row, layer->pitch) + static_cast<std::size_t>(x0) * 4;
            const std::uint8_t* s = src + offset_of(row - y, pitch);
            if (planes.any())
                load_rgba32_row_weighted(d, s, cols, planes.mask_row(row, x0), planes.texture_row(row, x0),
                                         locked);
            else
                load_rgba32_row(d, s, cols, locked);
        }
    });
    layer_changed(layer, x0, y0, static_cast<int>(x1) - 1, static_cast<int>(y1) - 1);
}

void load_rgba32_slot(const void* buffer, int pitch, int slot, int x, int y, int width, int height,
                      int weighted) {
    load_rgba32_layer(buffer, pitch, layer_at(slot), x, y, width, height, weighted);
}

void load_rgba32_current(const void* buffer, int pitch, int weighted) {
    Layer* layer = g_engine.layers.current;
    if (layer) load_rgba32_layer(buffer, pitch, layer, 0, 0, layer->width, layer->height, weighted);
}

void set_in_new_rgba() {
    const NewRgba& n = g_engine.new_rgba;
    if (n.pixels && n.width > 0 && n.width <= 0x7fffffff / 4)
        load_rgba32_layer(n.pixels, n.width * 4, g_engine.layers.current, 0, 0, n.width, n.height, 1);
}

void set_rgba64_layer(const void* buffer, int pitch, int slot) {
    Layer* layer = canvas_layer_at(slot);
    const CanvasState& c = g_engine.canvas;
    const std::size_t row_bytes = static_cast<std::size_t>(c.width) * 8;
    if (!layer || !buffer || !rows_fit(pitch, row_bytes, c.height)) return;
    const auto* src = static_cast<const std::uint8_t*>(buffer);
    for (int y = 0; y < c.height; ++y)
        std::memcpy(layer->pixels + offset_of(y, c.pitch), src + offset_of(y, pitch), row_bytes);
    layer_changed_whole(layer);
}

void load_rgba32_layer_merged(void* buffer, int slot, int width, int height, int flag) {
    Layer* layer = canvas_layer_at(slot);
    const auto merge = hooks().merge_rgba32;
    if (!layer || !buffer || !merge || width < 0 || height < 0) return;
    // The merge reads a whole canvas from the buffer.
    if (static_cast<std::size_t>(width) * static_cast<std::size_t>(height) < canvas_pixel_count()) return;
    auto* pixels = static_cast<std::uint8_t*>(buffer);
    if (flag_set(flag)) adjust_rgba32_by_mask_and_texture(pixels, width, height);
    clear_masked(0, 0, 0, 0);
    merge(pixels, layer->pixels, 0, 0, 255, layer->alpha_locked != 0);
    layer_changed_whole(layer);
}

} // namespace vlm::core
