#pragma once
// The per-pixel merge of one source value onto one destination value under a blend mode: the one kernel
// shared by VLM_MergePixel, the rectangle merge, the view renderer and the scripts' merge. Plain values in
// and out; the alpha-layer opacity is handed in, never read from the engine here.
//
// Values are 16-bit (0..65535) held in 32-bit unsigned integers; callers hand in 16-bit values only.
// Colour is full at 65280 (an 8-bit 255 widened), alpha at 65535. The integer shortcuts (skip, copy,
// keep) come before any float work; the mode formulas run in single precision on premultiplied values,
// in the order they are written, and truncate only when the result goes back to 16 bits.
//
// Stages, for callers that add steps of their own between them (strength, layer masks, the replace rule
// of layer merges, the renderer's float accumulator):
//   shape_alpha_source   the alpha modes' reshaping of the source colour and alpha;
//   merge_shaped<F>      opacity, the shortcuts, the formula and the conversion back to 16 bits, which is
//                        merge_integer<F> (opacity and the shortcuts) then merge_float<F> (the rest);
//   composite<F>         the formula alone, in float, on premultiplied colour lanes;
//   channelwise<F>       the formulas whose channels are independent, on any lanes (a pixel's channels, or
//                        one channel of several pixels);
// where F = blend_formula(mode) is chosen once, through with_blend_formula, for as many pixels as share it.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "compose/blend_hsl.h"

// The per-pixel stages are forced inline: a row loop that calls them once per pixel would otherwise pay
// real calls for every pixel.
#define VLM_PIXEL_INLINE [[gnu::always_inline]] inline

namespace vlm::compose {

struct Rgba16 {
    enum : int { R, G, B, A };
    std::uint32_t c[4];
};

// Mode ids (the names are in blend_mode_names.h). Ids 28 and above are the alpha modes.
enum BlendModeId : int {
    kBlendNormal = 0,
    kBlendMultiply = 1,
    kBlendScreen = 2,
    kBlendDarken = 3,
    kBlendLighten = 4,
    kBlendDifference = 5,
    kBlendNegation = 6,
    kBlendExclusion = 7,
    kBlendOverlay = 8,
    kBlendHardLight = 9,
    kBlendSoftLight = 10,
    kBlendDodge = 11,
    kBlendBurn = 12,
    kBlendReflect = 13,
    kBlendGlow = 14,
    kBlendAdd = 15,
    kBlendSubtract = 16,
    kBlendColor = 17,
    kBlendHardColor = 18,
    kBlendColorize = 19,
    kBlendHslHue = 20,
    kBlendHslSat = 21,
    kBlendHslLum = 22,
    kBlendHslColor = 23,
    kBlendTexturize = 24,
    kBlendTexturize2 = 25,
    kBlendTexturize3 = 26,
    kBlendUnused = 27, // no mode of its own: composites by the Normal formula
    kBlendAlphaNormal = 28,
    kBlendAlphaFilter = 29,
    kBlendAlphaBlackOutline = 30,
    kBlendAlphaOutlineTint1 = 31,
    kBlendAlphaOutlineTint2 = 32,
    kBlendAlphaInvert = 33,
    kBlendAlphaShader = 34,
    kBlendAlphaShaderColor = 35,
    kBlendAlphaShaderTexture2 = 36,
    kBlendAlphaHighlightTexture2 = 37,
    kBlendAlphaSmooth = 38,
    kBlendAlphaSmooth2 = 39,
    kBlendAlphaSmoothLum = 40,
    kBlendAlphaSmoothLum2 = 41,
    kBlendAlphaSmoothLum3 = 42,
    kBlendAlphaSmoothLum4 = 43,
    kBlendAlphaSmoothLum5 = 44,
    kBlendAlphaOverlayOutline = 45,
    kBlendAlphaHighlight = 46,
    kBlendLayerMask = 47,
    kBlendLuminanceAlpha = 48,
    kBlendLuminanceAlphaInvert = 49,
    kBlendLastMode = 49,
};

inline constexpr float kAlphaScale = 1.5259022e-05f; // 1/65535 as the engine applies it
inline constexpr float kColourFull = 65280.0f;
inline constexpr float kAlphaFull = 65535.0f;
inline constexpr std::uint32_t kOpaqueNormal = 0xFF00; // Normal at or above this alpha copies the source

// Ids without a mode (27, and anything outside 0..49) merge as id 27: by the Normal formula on the float
// path, skipping a transparent source like the other modes below 28.
constexpr int normalise_blend_mode(int mode) {
    return mode < 0 || mode > kBlendLastMode ? kBlendUnused : mode;
}

// The formula a mode composites with once its source is shaped. Formula 0 is Normal itself (which copies
// a nearly opaque source without float work); 13 stands for every other mode that composites like Normal
// (Reflect, Glow, id 27 and the alpha modes); the two texture alpha modes go on as Texturize2.
constexpr int kFormulaOver = kBlendReflect;
constexpr int blend_formula(int mode) {
    if (mode == kBlendAlphaShaderTexture2 || mode == kBlendAlphaHighlightTexture2) return kBlendTexturize2;
    if (mode == kBlendReflect || mode == kBlendGlow || mode < 0 || mode > kBlendTexturize3)
        return kFormulaOver;
    return mode;
}

// Calls fn(std::integral_constant<int, F>) for the formula F, so that a loop over many pixels picks the
// formula once. Anything that is not a formula id goes as kFormulaOver.
template <class Fn> inline decltype(auto) with_blend_formula(int formula, Fn&& fn) {
    using std::integral_constant;
    switch (formula) {
    // clang-format off
    case 0: return fn(integral_constant<int, 0>{});
    case 1: return fn(integral_constant<int, 1>{});
    case 2: return fn(integral_constant<int, 2>{});
    case 3: return fn(integral_constant<int, 3>{});
    case 4: return fn(integral_constant<int, 4>{});
    case 5: return fn(integral_constant<int, 5>{});
    case 6: return fn(integral_constant<int, 6>{});
    case 7: return fn(integral_constant<int, 7>{});
    case 8: return fn(integral_constant<int, 8>{});
    case 9: return fn(integral_constant<int, 9>{});
    case 10: return fn(integral_constant<int, 10>{});
    case 11: return fn(integral_constant<int, 11>{});
    case 12: return fn(integral_constant<int, 12>{});
    case 15: return fn(integral_constant<int, 15>{});
    case 16: return fn(integral_constant<int, 16>{});
    case 17: return fn(integral_constant<int, 17>{});
    case 18: return fn(integral_constant<int, 18>{});
    case 19: return fn(integral_constant<int, 19>{});
    case 20: return fn(integral_constant<int, 20>{});
    case 21: return fn(integral_constant<int, 21>{});
    case 22: return fn(integral_constant<int, 22>{});
    case 23: return fn(integral_constant<int, 23>{});
    case 24: return fn(integral_constant<int, 24>{});
    case 25: return fn(integral_constant<int, 25>{});
    case 26: return fn(integral_constant<int, 26>{});
    default: return fn(integral_constant<int, kFormulaOver>{});
        // clang-format on
    }
}

// Formulas that leave a transparent destination transparent: they only recolour what is already there.
constexpr bool clears_transparent(int formula) {
    return formula == kBlendColor || formula == kBlendHardColor || formula == kBlendTexturize ||
           formula == kBlendTexturize2 || formula == kBlendTexturize3;
}

namespace detail {

// A shaped channel truncated into 16 bits: the lightening ramps reach a factor a little above 1 at full
// alpha, and the Lum3 darkening ramp passes 1 for sources below 6862; either would otherwise wrap.
VLM_PIXEL_INLINE std::uint32_t to_channel(double v) {
    if (!(v > 0.0)) return 0;
    if (v >= 65535.0) return 65535;
    return static_cast<std::uint32_t>(v);
}

VLM_PIXEL_INLINE void set_colour(Rgba16& s, std::uint32_t v) { s.c[0] = s.c[1] = s.c[2] = v; }

// Alpha Shader Color: the source colour pushed toward black below half alpha, toward white above.
VLM_PIXEL_INLINE void shade_colour(Rgba16& s, std::uint32_t sa) {
    for (int ch = 0; ch < 3; ++ch) {
        std::uint32_t& c = s.c[ch];
        if (sa < 32767) {
            const std::uint32_t k = 2 * (32767 - sa);
            c = c < k ? 0 : c - k;
        } else {
            const std::uint32_t k = 2 * sa - 65534;
            c = c + k > 65535 ? 65535 : c + k;
        }
    }
}

// The smooth-lum colour ramps of modes 40, 41 and 42 (shape): below the pivot c - c*x, from the pivot
// up c + (65535 - c)*x.
VLM_PIXEL_INLINE void lum_colour(Rgba16& s, std::uint32_t sa, int shape) {
    for (int ch = 0; ch < 3; ++ch) {
        const std::uint32_t c = s.c[ch];
        const double cd = c;
        if (shape == kBlendAlphaSmoothLum3) {
            if (sa < 36863)
                s.c[ch] = to_channel(cd - cd * ((36862.0 - sa) * 3.3333333333333335e-05));
            else
                s.c[ch] = to_channel(cd + (65535 - c) * ((sa - 36862.0) * 3.487723214285714e-05));
        } else if (sa < 32768) {
            if (shape == kBlendAlphaSmoothLum2) {
                const float cf = static_cast<float>(c);
                const float x = static_cast<float>(32767 - sa) * kAlphaScale;
                s.c[ch] = to_channel(cf - cf * x);
            } else {
                s.c[ch] = to_channel(cd - cd * ((32767.0 - sa) * 3.051850947599719e-05));
            }
        } else {
            s.c[ch] = to_channel(cd + (65535 - c) * ((sa - 32767.0) * 3.051850947599719e-05));
        }
    }
}

// Alpha Smooth2: nothing below 8191, the alpha-layer opacity from 9215 up, a steep ramp between.
VLM_PIXEL_INLINE std::uint32_t smooth2_alpha(std::uint32_t sa, std::uint32_t k) {
    if (sa < 8191) return 0;
    if (sa >= 9215) return k;
    const std::uint32_t ramp = (9215 - sa) * 64;
    return 65535 - (ramp < 65535 ? ramp : 65535);
}

} // namespace detail

// Reshapes the source of the alpha modes 29..49: on entry s.c[A] is the source alpha, on return the
// effective alpha f; k is the alpha-layer opacity. Other modes are left alone.
VLM_PIXEL_INLINE void shape_alpha_source(int mode, Rgba16& s, std::uint32_t k) {
    if (mode <= kBlendAlphaNormal) return;
    const std::uint32_t sa = s.c[Rgba16::A];
    std::uint32_t& f = s.c[Rgba16::A];
    switch (mode) {
    case kBlendAlphaFilter:
        detail::set_colour(s, 65535);
        f = 65535 - sa;
        break;
    case kBlendAlphaBlackOutline:
    case kBlendAlphaOverlayOutline:
        if (sa >= 1 && sa <= 65279) {
            detail::set_colour(s, 0);
            f = k;
        }
        break;
    case kBlendAlphaOutlineTint1:
    case kBlendAlphaOutlineTint2:
        if (sa > 0) f = sa >= 12287 ? k : 65535 - sa;
        break;
    case kBlendAlphaInvert:
        if (sa > 0) f = 65535 - sa;
        break;
    case kBlendAlphaShader:
        if (sa > 0) {
            detail::set_colour(s, sa);
            f = k;
        }
        break;
    case kBlendAlphaShaderColor:
    case kBlendAlphaShaderTexture2:
        if (sa > 0) {
            detail::shade_colour(s, sa);
            f = k;
        }
        break;
    case kBlendAlphaHighlightTexture2:
        if (sa >= 32767) {
            detail::shade_colour(s, sa);
            f = k;
        } else if (sa > 0) {
            const std::uint32_t cut = 2 * (32767 - sa);
            f = sa < cut ? 0 : sa - cut;
        }
        break;
    case kBlendAlphaSmooth:
        if (sa > 0 && sa < 32767) {
            const std::uint32_t cut = 4 * (32767 - sa);
            f = sa < cut ? 0 : sa - cut;
        } else if (sa > 0) {
            f = k;
        }
        break;
    case kBlendAlphaSmooth2:
        if (sa > 0) f = detail::smooth2_alpha(sa, k);
        break;
    case kBlendAlphaSmoothLum:
    case kBlendAlphaSmoothLum2:
    case kBlendAlphaSmoothLum3:
        detail::lum_colour(s, sa, mode);
        f = sa >= 8191 ? k : 0;
        break;
    case kBlendAlphaSmoothLum4:
        detail::lum_colour(s, sa, kBlendAlphaSmoothLum3);
        f = detail::smooth2_alpha(sa, k);
        break;
    case kBlendAlphaSmoothLum5:
        detail::lum_colour(s, sa, kBlendAlphaSmoothLum);
        f = detail::smooth2_alpha(sa, k);
        break;
    case kBlendAlphaHighlight:
        if (sa > 32512) f = 0;
        break;
    case kBlendLayerMask:
        f = 0;
        break;
    case kBlendLuminanceAlpha:
        f = (s.c[0] + s.c[1] + s.c[2]) / 3;
        detail::set_colour(s, 65535);
        break;
    case kBlendLuminanceAlphaInvert:
        f = 65535 - (s.c[0] + s.c[1] + s.c[2]) / 3;
        detail::set_colour(s, 0);
        break;
    default:
        break;
    }
}

// The float formulas work on the three colour channels at once, as lanes 0..2 of a four-lane vector
// (lane 3 is idle). Every lane operation is the same IEEE single-precision operation the channel would
// get on its own, and branches become both sides computed and one selected per lane, so the results are
// those of the formulas written channel by channel, bit for bit.
namespace simd {
using F4 = float __attribute__((vector_size(16)));
using I4 = std::int32_t __attribute__((vector_size(16)));

// Into 0..1, NaN to 0, so that no formula can hand a non-number to the integer conversion. V is any float
// vector; it goes by reference because wide ones passed by value would change the calling convention
// between builds. (A vector condition selects lane by lane; both sides are computed.)
template <class V> VLM_PIXEL_INLINE void clamp_unit(V& v) {
    v = v > 0.0f ? (v < 1.0f ? v : V{} + 1.0f) : V{};
}
// Lanes filled from consecutive floats of a batch.
template <class V> VLM_PIXEL_INLINE void load_lanes(V& v, const float* p) { std::memcpy(&v, p, sizeof v); }
} // namespace simd

inline float clamp_unit(float v) { return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f; }

// A composited pixel in float: colour not premultiplied, colour and alpha clamped into 0..1.
struct FloatPixel {
    simd::F4 c; // lanes 0..2
    float a;
};

// Formulas whose channels do not look at one another: they run the same on a pixel's three channels as
// lanes and on one channel of several pixels as lanes.
constexpr bool channelwise_formula(int formula) {
    return formula <= kBlendHardLight || formula == kBlendDodge || formula == kBlendBurn ||
           formula == kFormulaOver || formula == kBlendAdd || formula == kBlendSubtract ||
           formula == kBlendTexturize3;
}

// A channelwise formula F on premultiplied colour: sc, dc are colour lanes (V, a float vector); sa, da,
// s1 = 1 - sa and d1 = 1 - da are A, either one float for every lane or a vector of per-lane alphas.
// Sets rc, the premultiplied result colour, and ra, the result alpha before clamping. (Vectors go by
// reference: wide ones by value would change the calling convention between builds.)
template <int F, class V, class A>
VLM_PIXEL_INLINE void channelwise(const V& sc, const V& dc, const A& sa, const A& da, const A& s1,
                                  const A& d1, V& rc, A& ra) {
    static_assert(channelwise_formula(F), "not a channelwise formula");
    ra = sa + da - sa * da;
    if constexpr (F == kBlendNormal || F == kFormulaOver) {
        rc = sc + dc * s1;
    } else if constexpr (F == kBlendMultiply) {
        rc = sc * dc + sc * d1 + dc * s1;
    } else if constexpr (F == kBlendScreen) {
        rc = sc + dc - sc * dc;
    } else if constexpr (F == kBlendDarken || F == kBlendLighten || F == kBlendDifference) {
        const V a = sc * da, b = dc * sa;
        if constexpr (F == kBlendDarken) rc = (b < a ? b : a) + sc * d1 + dc * s1;
        if constexpr (F == kBlendLighten) rc = (a < b ? b : a) + sc * d1 + dc * s1;
        if constexpr (F == kBlendDifference) rc = sc + dc - 2.0f * (b < a ? b : a);
    } else if constexpr (F == kBlendNegation || F == kBlendExclusion) {
        rc = dc * sa + sc * da - 2.0f * sc * dc + dc * s1 + sc * d1;
    } else if constexpr (F == kBlendOverlay || F == kBlendHardLight) {
        const auto low = F == kBlendOverlay ? 2.0f * dc < da : 2.0f * sc < sa;
        rc = low ? 2.0f * sc * dc + dc * s1 + sc * d1
                 : sa * da - 2.0f * (da - dc) * (sa - sc) + dc * s1 + sc * d1;
    } else if constexpr (F == kBlendDodge) {
        const V v = sc * da + dc * sa >= sa * da ? V{} + sa * da : dc * sa / (1.0f - sc / sa);
        rc = v + sc * d1 + dc * s1;
    } else if constexpr (F == kBlendBurn) {
        const V v = sc * da + dc * sa <= sa * da ? V{} : sa * (sc * da + dc * sa - sa * da) / sc;
        rc = v + sc * d1 + dc * s1;
    } else if constexpr (F == kBlendAdd) {
        ra = da + sa;
        rc = dc + sc;
    } else if constexpr (F == kBlendSubtract) {
        ra = da + sa;
        rc = sc + dc - sa * da;
    } else {
        ra = da;
        rc = dc;
    }
}

// The formula F on premultiplied values: source colour sv (16-bit values as floats, not premultiplied)
// with alpha sa over the premultiplied destination colour dc with alpha da > 0.
template <int F> VLM_PIXEL_INLINE FloatPixel composite(simd::F4 sv, float sa, simd::F4 dc, float da) {
    using simd::F4;
    const F4 sc = sv * sa / kColourFull;
    const float s1 = 1.0f - sa;
    const float d1 = 1.0f - da;
    float ra = sa + da - sa * da;
    F4 rc;

    if constexpr (channelwise_formula(F)) {
        channelwise<F>(sc, dc, sa, da, s1, d1, rc, ra);
    } else if constexpr (F == kBlendSoftLight) {
        // The square root keeps this one channel by channel.
        rc = F4{};
        for (int ch = 0; ch < 3; ++ch) {
            const float c = sc[ch], d = dc[ch];
            float v;
            if (2.0f * c < sa)
                v = d * (sa + (2.0f * c - sa) * (1.0f - d / da));
            else if (8.0f * d <= da)
                v = d * (sa + (2.0f * c - sa) * (3.0f - 8.0f * d / da) * (1.0f - d / da));
            else
                v = d * sa + (std::sqrt(d / da) * da - d) * (2.0f * c - sa);
            rc[ch] = v + d * s1 + c * d1;
        }
    } else if constexpr (F == kBlendColor || F == kBlendHardColor) {
        const float m = (dc[0] + dc[1] + dc[2]) * 0.33333334f;
        if constexpr (F == kBlendColor)
            rc = sc + sa * (m - 0.5f) + dc * s1;
        else
            rc = sc + sa * 1.75f * (m - 0.5f) + dc * s1;
        ra = da;
    } else if constexpr (F >= kBlendColorize && F <= kBlendHslColor) {
        const F4 sn = sv / kColourFull;
        const HslF src = rgb_to_hsl(sn[0], sn[1], sn[2]);
        HslF mix;
        if constexpr (F == kBlendColorize) {
            mix = {src.h, src.s, (3.0f * dc[0] + 4.0f * dc[1] + dc[2]) / 8.0f};
        } else {
            const HslF dst = rgb_to_hsl(dc[0], dc[1], dc[2]);
            if constexpr (F == kBlendHslHue) mix = {src.h, dst.s, dst.l};
            if constexpr (F == kBlendHslSat) mix = {dst.h, src.s, dst.l};
            if constexpr (F == kBlendHslLum) mix = {dst.h, dst.s, src.l};
            if constexpr (F == kBlendHslColor) mix = {src.h, src.s, dst.l};
        }
        const RgbF rgb = hsl_to_rgb(mix.h, mix.s, mix.l);
        rc = dc * s1 + F4{rgb.r, rgb.g, rgb.b, 0.0f} * sa;
        ra = da;
    } else {
        static_assert(F == kBlendTexturize || F == kBlendTexturize2, "not a blend formula");
        // The source brightness over 3 x 65280 moves the destination's own (unpremultiplied) colour.
        // The channel sum is an exact integer in float, as it is in 32 bits.
        const float lum = (sv[0] + sv[1] + sv[2]) * 5.1062093e-06f;
        const F4 dn = dc / da;
        if constexpr (F == kBlendTexturize) {
            const F4 cn = lum >= 0.5f ? dn + (lum - 0.5f) * sa : dn - (0.5f - lum) * sa;
            const float m = (cn[0] + cn[1] + cn[2]) * 0.33333334f;
            rc = m >= 0.5f ? dn + (m - 0.5f) * 1.75f * sa : dn - (0.5f - m) * 1.75f * sa;
        } else {
            rc = lum < 0.5f ? dn - (0.5f - lum) * 1.75f * sa : dn + (lum - 0.5f) * 1.75f * sa;
        }
        ra = da;
    }

    const float a = clamp_unit(ra);
    F4 c = rc / a;
    simd::clamp_unit(c);
    return {c, a};
}

namespace detail {
VLM_PIXEL_INLINE void store(Rgba16& d, std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a,
                            bool lock) {
    d.c[0] = r;
    d.c[1] = g;
    d.c[2] = b;
    if (!lock) d.c[3] = a;
}
} // namespace detail

// What the integer steps after the shaping made of a pixel.
enum class MergeStep {
    Kept,    // the destination stays exactly as it was
    Written, // the destination holds the result
    Float,   // the formula has to run: merge_float
};

// The integer steps after the shaping: s holds the (shaped) source colour and alpha; f receives the
// effective alpha (opacity 255 or more is full). Transparent destination, nothing to add and the opaque
// Normal copy are decided here without float work.
template <int F>
VLM_PIXEL_INLINE MergeStep merge_integer(Rgba16& d, const Rgba16& s, std::uint32_t& f, std::uint32_t opacity,
                                         bool alpha_lock) {
    f = s.c[Rgba16::A];
    if (opacity < 255) f = ((opacity + 1) * f) / 256;
    if (d.c[Rgba16::A] == 0) {
        if (clears_transparent(F) || f == 0)
            detail::store(d, 0, 0, 0, 0, alpha_lock);
        else
            detail::store(d, s.c[0], s.c[1], s.c[2], f, alpha_lock);
        return MergeStep::Written;
    }
    if (f == 0) return MergeStep::Kept;
    if (F == kBlendNormal && f >= kOpaqueNormal) {
        detail::store(d, s.c[0], s.c[1], s.c[2], f, alpha_lock);
        return MergeStep::Written;
    }
    return MergeStep::Float;
}

// The formula and the conversion back to 16 bits, for a pixel merge_integer left as MergeStep::Float.
template <int F>
VLM_PIXEL_INLINE void merge_float(Rgba16& d, const Rgba16& s, std::uint32_t f, bool alpha_lock) {
    using simd::F4;
    const float sa = static_cast<float>(f) * kAlphaScale;
    const float da = static_cast<float>(d.c[Rgba16::A]) * kAlphaScale;
    const F4 sv{static_cast<float>(s.c[0]), static_cast<float>(s.c[1]), static_cast<float>(s.c[2]), 0.0f};
    const F4 dv{static_cast<float>(d.c[0]), static_cast<float>(d.c[1]), static_cast<float>(d.c[2]), 0.0f};
    const FloatPixel o = composite<F>(sv, sa, dv * da / kColourFull, da);
    // Colours are in 0..65280 here, so the conversion truncates without overflow.
    const simd::I4 c = __builtin_convertvector(o.c * kColourFull, simd::I4);
    detail::store(d, static_cast<std::uint32_t>(c[0]), static_cast<std::uint32_t>(c[1]),
                  static_cast<std::uint32_t>(c[2]), static_cast<std::uint32_t>(o.a * kAlphaFull), alpha_lock);
}

// Everything after the shaping: s holds the (shaped) source colour and its effective alpha f. Opacity
// 255 or more is full. With alpha_lock the destination alpha is never written. Returns false when the
// destination is left exactly as it was.
template <int F>
VLM_PIXEL_INLINE bool merge_shaped(Rgba16& d, const Rgba16& s, std::uint32_t opacity, bool alpha_lock) {
    std::uint32_t f;
    switch (merge_integer<F>(d, s, f, opacity, alpha_lock)) {
    case MergeStep::Kept:
        return false;
    case MergeStep::Written:
        return true;
    case MergeStep::Float:
        break;
    }
    merge_float<F>(d, s, f, alpha_lock);
    return true;
}

// The whole merge of one pixel: source s over destination d under mode (any id; see
// normalise_blend_mode), with opacity 0..255 and the alpha-layer opacity k of the alpha modes.
// Returns false when the destination is left exactly as it was.
inline bool merge_pixel(int mode, Rgba16& d, Rgba16 s, std::uint32_t opacity, bool alpha_lock,
                        std::uint32_t k) {
    mode = normalise_blend_mode(mode);
    if (s.c[Rgba16::A] == 0 && mode < kBlendAlphaNormal) return false;
    shape_alpha_source(mode, s, k);
    return with_blend_formula(blend_formula(mode), [&](auto formula) {
        return merge_shaped<decltype(formula)::value>(d, s, opacity, alpha_lock);
    });
}

} // namespace vlm::compose
