// The rectangle merge kernel: worked values of strength, the layer mask and the replace rule, then seeded
// rectangles of every mode against a reference written pixel by pixel from the merge rules, on one thread
// and on two, and the RGBA32 source against the same pixels widened.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "compose/pixel_merge.h"
#include "compose/rect_merge.h"
#include "core/parallel.h"

namespace vlm::compose {
namespace {

using Px = std::array<std::uint16_t, 4>;

// One pixel through the kernel: source s (and mask pixel m when given) onto destination d.
Px merge_one(Px d, const Px& s, const MergeSettings& settings, const Px* m = nullptr) {
    const RectGeometry g{0, 0, 1, 1, 4, 0, 0, 4};
    merge_rect_rows(s.data(), m ? m->data() : nullptr, d.data(), g, settings, 0, 1);
    return d;
}

MergeSettings mode_settings(int mode, bool replace = false) {
    MergeSettings s;
    s.mode = mode;
    s.replace = replace;
    return s;
}

// The reference: the merge rules written out for one pixel at a time, the replace table included.
void reference_merge(const std::uint16_t* src, const std::uint16_t* mask, std::uint16_t* dst,
                     const RectGeometry& g, const MergeSettings& s) {
    const int mode = normalise_blend_mode(s.mode);
    const std::uint32_t opacity = static_cast<std::uint32_t>(std::clamp(s.opacity, 0, 256));
    for (int r = 0; r < g.height; ++r)
        for (int c = 0; c < g.width; ++c) {
            const std::size_t at = (g.src_y + r) * g.src_pitch + (g.src_x + c) * 4;
            const std::uint16_t* sp = src + at;
            std::uint16_t* dp = dst + (g.dst_y + r) * g.dst_pitch + (g.dst_x + c) * 4;
            std::uint32_t sa = sp[3];
            if (sa == 0 && mode < 28) continue;
            if (mask && s.mask_mode == 47 && mask[at + 3] != 0)
                sa = (((std::uint32_t(mask[at]) + mask[at + 1] + mask[at + 2]) / 3) * sa) / 65536;
            const std::uint32_t f = ((std::clamp(s.strength, 0, 255) + 1u) * sa) / 256;
            Rgba16 px{{sp[0], sp[1], sp[2], f}};
            Rgba16 d{{dp[0], dp[1], dp[2], dp[3]}};
            int formula = blend_formula(mode);
            bool shape = true, whole = false;
            if (s.replace && mode >= 28) {
                if ((mode <= 38 || mode == 45) && f > 0) {
                    whole = true;
                } else if (mode == 39 || mode == 43 || mode == 44) {
                    shape = false;
                    if (f < 8191)
                        px.c[3] = 0;
                    else if (f > 9214)
                        whole = true;
                    else
                        formula = kBlendMultiply;
                } else if (mode >= 40 && mode <= 42) {
                    shape = false;
                    if (f >= 8191)
                        whole = true;
                    else
                        px.c[3] = 0;
                } else if (mode == 46) {
                    shape = false;
                    if (f < 32513)
                        px.c[3] = 0;
                    else
                        whole = true;
                }
            }
            if (whole) {
                const std::uint32_t a = opacity < 255 ? ((opacity + 1) * f) / 256 : f;
                const Rgba16 out = a ? Rgba16{{px.c[0], px.c[1], px.c[2], a}} : Rgba16{{0, 0, 0, 0}};
                for (int ch = 0; ch < 3; ++ch) dp[ch] = static_cast<std::uint16_t>(out.c[ch]);
                if (!s.alpha_lock) dp[3] = static_cast<std::uint16_t>(out.c[3]);
                continue;
            }
            if (shape) shape_alpha_source(mode, px, s.alpha_layer_opacity);
            with_blend_formula(
                formula, [&](auto fm) { merge_shaped<decltype(fm)::value>(d, px, opacity, s.alpha_lock); });
            for (int ch = 0; ch < 4; ++ch) dp[ch] = static_cast<std::uint16_t>(d.c[ch]);
        }
}

TEST(RectMerge, StrengthAndLayerMaskScaleTheSourceAlpha) {
    const Px clear{7, 7, 7, 0};
    const Px src{1000, 2000, 3000, 65535};
    MergeSettings s = mode_settings(kBlendNormal);
    s.strength = 127; // ((127 + 1) x 65535) / 256
    EXPECT_EQ(merge_one(clear, src, s), (Px{1000, 2000, 3000, 32767}));
    s.strength = 255;
    s.mask_mode = kBlendLayerMask;
    const Px grey{30000, 30000, 30001, 1}; // (90001 / 3) x 65535 / 65536
    EXPECT_EQ(merge_one(clear, src, s, &grey), (Px{1000, 2000, 3000, 29999}));
    const Px mask_clear{30000, 30000, 30000, 0};
    EXPECT_EQ(merge_one(clear, src, s, &mask_clear), src);
    s.mask_mode = 0; // a mask plane that is not a Layer Mask does nothing
    EXPECT_EQ(merge_one(clear, src, s, &grey), src);
    // A black mask takes all alpha: the transparent destination becomes transparent black.
    s.mask_mode = kBlendLayerMask;
    const Px black{0, 0, 0, 65535};
    EXPECT_EQ(merge_one(clear, src, s, &black), (Px{0, 0, 0, 0}));
    const Px opaque{5, 6, 7, 65535};
    EXPECT_EQ(merge_one(opaque, src, s, &black), opaque);
    // A transparent source below the alpha modes is skipped before anything else.
    EXPECT_EQ(merge_one(clear, Px{1, 2, 3, 0}, mode_settings(kBlendMultiply)), clear);
}

// Worked values of the replace rule onto an opaque destination, with the alpha-layer opacity at 65535.
TEST(RectMerge, ReplaceRule) {
    const Px dst{1000, 1000, 1000, 65535};
    // Between the two thresholds of the smooth modes the pixel composites as Multiply, unshaped.
    const Px multiply_9000 = merge_one(dst, Px{40000, 20000, 100, 9000}, mode_settings(kBlendMultiply));
    struct Case {
        int mode;
        std::uint16_t sa;
        Px expected; // dst: unchanged
    };
    const Px src{40000, 20000, 100, 0};
    auto with = [&](std::uint16_t a) { return Px{src[0], src[1], src[2], a}; };
    // clang-format off
    const Case cases[] = {
        {kBlendAlphaShader,         40000, with(40000)},
        {kBlendAlphaNormal,         1,     with(1)},
        {kBlendAlphaOverlayOutline, 300,   with(300)},
        {kBlendAlphaHighlightTexture2, 20000, with(20000)},
        {kBlendAlphaSmooth2,        8190,  dst},
        {kBlendAlphaSmooth2,        9215,  with(9215)},
        {kBlendAlphaSmoothLum5,     9000,  multiply_9000},
        {kBlendAlphaSmoothLum,      8190,  dst},
        {kBlendAlphaSmoothLum3,     8191,  with(8191)},
        {kBlendAlphaHighlight,      32512, dst},
        {kBlendAlphaHighlight,      32513, with(32513)},
        {kBlendLayerMask,           40000, dst},
    };
    // clang-format on
    for (const Case& c : cases) {
        EXPECT_EQ(merge_one(dst, with(c.sa), mode_settings(c.mode, true)), c.expected)
            << "mode " << c.mode << " alpha " << c.sa;
    }
    // Without the rule Alpha Shader shades: grey at the alpha-layer opacity, fully opaque.
    EXPECT_EQ(merge_one(dst, with(40000), mode_settings(kBlendAlphaShader)),
              (Px{40000, 40000, 40000, 65535}));
    // Replacing with opacity: alpha scaled; nothing left gives transparent black.
    MergeSettings s = mode_settings(kBlendAlphaShader, true);
    s.opacity = 127;
    EXPECT_EQ(merge_one(dst, with(40000), s), with(20000));
    s.opacity = 0;
    EXPECT_EQ(merge_one(dst, with(200), s), (Px{0, 0, 0, 0}));
    // The rule touches only the alpha modes.
    EXPECT_EQ(merge_one(dst, with(40000), mode_settings(kBlendMultiply, true)),
              merge_one(dst, with(40000), mode_settings(kBlendMultiply)));
}

struct Planes {
    int w, h;
    std::vector<std::uint16_t> src, mask, dst;
};

Planes random_planes(std::mt19937& rng, int w, int h) {
    Planes p{w, h, std::vector<std::uint16_t>(std::size_t(w) * h * 4),
             std::vector<std::uint16_t>(std::size_t(w) * h * 4),
             std::vector<std::uint16_t>(std::size_t(w) * h * 4)};
    // Alphas cluster on the values where the rules change: 0, full, and the thresholds.
    const std::uint16_t alphas[] = {0,    0,     1,     8190,  8191,  9000,  9214,
                                    9215, 12287, 32512, 32513, 65279, 65280, 65535};
    auto value = [&](bool alpha) {
        if (alpha && rng() % 2) return alphas[rng() % std::size(alphas)];
        return static_cast<std::uint16_t>(rng() % 4 == 0 ? 65280 : rng());
    };
    for (std::size_t i = 0; i < p.src.size(); ++i) {
        const bool alpha = i % 4 == 3;
        p.src[i] = value(alpha);
        p.mask[i] = value(alpha);
        p.dst[i] = value(alpha);
    }
    return p;
}

TEST(RectMerge, SeededRectanglesMatchTheReference) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 400; ++round) {
        const int w = 8 + static_cast<int>(rng() % 40), h = 4 + static_cast<int>(rng() % 30);
        Planes p = random_planes(rng, w, h);
        const int dw = w + 5; // the destination has its own pitch
        std::vector<std::uint16_t> dst(std::size_t(dw) * h * 4);
        for (auto& v : dst) v = static_cast<std::uint16_t>(rng() % 3 ? rng() : 0);
        RectGeometry g{};
        g.width = 1 + static_cast<int>(rng() % w);
        g.height = 1 + static_cast<int>(rng() % h);
        g.src_x = static_cast<int>(rng() % (w - g.width + 1));
        g.src_y = static_cast<int>(rng() % (h - g.height + 1));
        g.dst_x = static_cast<int>(rng() % (dw - g.width + 1));
        g.dst_y = static_cast<int>(rng() % (h - g.height + 1));
        g.src_pitch = std::size_t(w) * 4;
        g.dst_pitch = std::size_t(dw) * 4;
        MergeSettings s;
        s.mode = round < 300 ? round % 50 : static_cast<int>(rng() % 60) - 5;
        s.mask_mode = rng() % 3 ? kBlendLayerMask : 0;
        s.opacity = static_cast<int>(rng() % 3 ? 256 : rng() % 300) - 10;
        s.strength = static_cast<int>(rng() % 3 ? 255 : rng() % 270);
        s.alpha_lock = rng() % 4 == 0;
        s.replace = rng() % 2;
        s.alpha_layer_opacity = rng() % 2 ? 65535 : rng() % 65536;
        const std::uint16_t* mask = rng() % 2 ? p.mask.data() : nullptr;

        std::vector<std::uint16_t> expected = dst, rows = dst;
        reference_merge(p.src.data(), mask, expected.data(), g, s);
        // In two calls split at an arbitrary row, as flattening cuts bands.
        const int cut = static_cast<int>(rng() % (g.height + 1));
        merge_rect_rows(p.src.data(), mask, rows.data(), g, s, 0, cut);
        merge_rect_rows(p.src.data(), mask, rows.data(), g, s, cut, g.height);
        ASSERT_EQ(rows, expected) << "round " << round << " mode " << s.mode;
    }
}

// Rows made of runs as layers have them (transparent, copied whole at or above 0xFF00, just below that,
// partly transparent), wide enough for the run copies and the batched float work to cross their
// boundaries. Every mode, and Normal in every other round, mostly at full opacity and strength without a
// mask so that the run copies apply. The pixel-by-pixel reference must give the same bytes, on four float
// lanes and on eight, and so must the source merged onto itself.
TEST(RectMerge, RunsOfPixelsMatchTheReference) {
    std::mt19937 rng(7);
    const int w = 203, h = 3;
    auto runs = [&](std::vector<std::uint16_t>& plane) {
        for (std::size_t i = 0; i < plane.size();) {
            const unsigned kind = rng() % 4;
            for (std::size_t end = std::min(plane.size(), i + 4 * (1 + rng() % 40)); i < end; i += 4) {
                for (int ch = 0; ch < 3; ++ch) plane[i + ch] = static_cast<std::uint16_t>(rng() % 65281);
                plane[i + 3] = kind == 0   ? 0
                               : kind == 1 ? static_cast<std::uint16_t>(0xFF00 + rng() % 256)
                               : kind == 2 ? static_cast<std::uint16_t>(0xFF00 - 1 - rng() % 256)
                                           : static_cast<std::uint16_t>(1 + rng() % 0xFEFF);
            }
        }
    };
    std::vector<std::uint16_t> src(std::size_t(w) * h * 4), mask(src.size()), dst(src.size());
    const RectGeometry g{0, 0, w, h, std::size_t(w) * 4, 0, 0, std::size_t(w) * 4};
    for (int round = 0; round < 300; ++round) {
        runs(src);
        runs(mask);
        runs(dst);
        MergeSettings s;
        s.mode = round % 2 ? kBlendNormal : round / 2 % 50;
        const bool plain = rng() % 3 != 0;
        s.opacity = plain ? 255 + static_cast<int>(rng() % 2) : static_cast<int>(rng() % 255);
        s.strength = plain ? 255 : static_cast<int>(rng() % 255);
        s.mask_mode = plain ? 0 : kBlendLayerMask;
        s.alpha_lock = rng() % 4 == 0;
        s.replace = rng() % 2;
        std::vector<std::uint16_t> expected = dst;
        reference_merge(src.data(), mask.data(), expected.data(), g, s);
        for (const bool wide : {false, true}) {
            set_wide_lanes(wide);
            std::vector<std::uint16_t> merged = dst;
            merge_rect_rows(src.data(), mask.data(), merged.data(), g, s, 0, h);
            ASSERT_EQ(merged, expected) << "round " << round << " mode " << s.mode << " wide " << wide;
        }

        expected = src;
        std::vector<std::uint16_t> self = src;
        reference_merge(src.data(), mask.data(), expected.data(), g, s);
        merge_rect_rows(self.data(), mask.data(), self.data(), g, s, 0, h);
        ASSERT_EQ(self, expected) << "onto itself: round " << round << " mode " << s.mode;
    }
}

TEST(RectMerge, SplitOverThreadsAndEightBitSourcesGiveTheSameBytes) {
    std::mt19937 rng(99);
    const int w = 400, h = 300;
    Planes p = random_planes(rng, w, h);
    std::vector<std::uint8_t> src8(p.src.size());
    for (std::size_t i = 0; i < src8.size(); ++i) src8[i] = static_cast<std::uint8_t>(rng());
    std::vector<std::uint16_t> src16(src8.begin(), src8.end());
    for (auto& v : src16) v = static_cast<std::uint16_t>(v << 8);
    const RectGeometry g{0, 0, w, h, std::size_t(w) * 4, 0, 0, std::size_t(w) * 4};
    for (int mode : {kBlendNormal, kBlendOverlay, kBlendHslColor, kBlendAlphaSmooth2}) {
        MergeSettings s = mode_settings(mode, mode == kBlendAlphaSmooth2);
        s.mask_mode = kBlendLayerMask;
        std::vector<std::uint16_t> one = p.dst, two = p.dst, wide = p.dst, narrow = p.dst;
        core::set_parallel_threads(1);
        merge_rect(p.src.data(), p.mask.data(), one.data(), g, s);
        core::set_parallel_threads(2);
        merge_rect(p.src.data(), p.mask.data(), two.data(), g, s);
        EXPECT_EQ(one, two) << mode;
        merge_rect(src8.data(), narrow.data(), g, s);
        merge_rect(src16.data(), nullptr, wide.data(), g, s);
        EXPECT_EQ(narrow, wide) << mode;
    }
    core::set_parallel_threads(0);
}

} // namespace
} // namespace vlm::compose
