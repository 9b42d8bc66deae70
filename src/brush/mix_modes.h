#pragma once
// The dab's mix modes (34 and above): how the source colour s combines with the prepared canvas colour d
// before the dab blends the result over the canvas by its coverage. Pure kernels over plain values: the
// only state they touch is the generator they are handed, so the dab passes the engine's and a test its own.
//
// Channel values are 16-bit (0..65535) held in 32-bit unsigned integers, and the arithmetic is unsigned
// 32-bit exactly as the formulas are written; signed steps use 64 bits. A value outside 16 bits therefore
// gives a meaningless result but never a trap: every divisor is guarded by its mode's own comparison.
#include <cmath>
#include <cstdint>
#include <type_traits>

#include "core/random.h"

namespace vlm::brush {

struct MixPixel {
    enum : int { R, G, B, A };
    std::uint32_t c[4];
};

// What stays fixed over a dab: the tool's mix settings, current colour and colour banks.
struct MixParams {
    std::uint32_t amount;      // mix amount m, 0..255
    std::uint32_t complement;  // 256 - m, as the tool stores it
    int posterize_shift;       // only its low five bits count
    std::uint32_t colour[3];   // current colour R, G, B
    std::uint32_t banks[4][3]; // colour banks 0..3, R, G, B
    bool erase;                // the dab lowers alpha instead of painting
};

struct MixOut {
    std::uint32_t o[3]; // result colour
    std::uint32_t oA;   // result alpha
    std::uint32_t d[3]; // canvas colour the coverage blend and the remix go on with (mode 340 replaces it)
};

// Mode ids. 32 (Normal) and 33 (Multiply) are composited by the dab itself and never reach a kernel.
enum MixModeId : int {
    kMixNormal = 32,
    kMixMultiply = 33,
    kMixScreen = 34,
    kMixDarken = 35,
    kMixLighten = 36,
    kMixDifference = 37,
    kMixNegation = 38,
    kMixExclusion = 39,
    kMixOverlay = 40,
    kMixHardLight = 41,
    kMixSoftLight = 42,
    kMixDodge = 43,
    kMixBurn = 44,
    kMixReflect = 45,
    kMixGlow = 46,
    kMixAdd = 47,
    kMixSubtract = 48,
    kMixBanks2 = 249,           // bank 0 or 1 by source lightness
    kMixBanks3 = 250,           // bank 0, 1 or 2
    kMixBanks4 = 251,           // bank 0, 1, 2 or 3
    kMixGradientMap = 252,      // banks 0 -> 1 -> 2 along the source lightness
    kMixBankDarks = 253,        // bank 0 where dark, else the canvas; draws once
    kMixBankLights = 254,       // bank 0 where light, else the canvas; draws once
    kMixBanksOutside = 255,     // bank 0 below the mid range, bank 1 above it, else the source
    kMixSkipDarks = 256,        // no paint where dark
    kMixSkipLights = 257,       // no paint where light
    kMixMidsOnly = 258,         // no paint outside the mid range
    kMixBankDeepDarks = 259,    // bank 0, only where very dark
    kMixBankBrightLights = 260, // bank 0, only where very light
    kMixPosterize4 = 261,
    kMixPosterize3 = 262,
    kMixPosterizeBits = 295,
    kMixLightnessToAlpha = 340,
    kMixDarkerLuma = 387,
    kMixLighterLuma = 388,
    kMixTint = 425,
    // Any other id reaches the kernel for unlisted modes: it paints the plain source colour and alpha,
    // as the blend-buffer pick-up treats such ids.
    kMixUnlisted = 0,
};

// Every id with a kernel of its own, in dispatch order.
// clang-format off
inline constexpr int kMixModeIds[] = {
    kMixScreen, kMixDarken, kMixLighten, kMixDifference, kMixNegation, kMixExclusion, kMixOverlay,
    kMixHardLight, kMixSoftLight, kMixDodge, kMixBurn, kMixReflect, kMixGlow, kMixAdd, kMixSubtract,
    kMixBanks2, kMixBanks3, kMixBanks4, kMixGradientMap, kMixBankDarks, kMixBankLights, kMixBanksOutside,
    kMixSkipDarks, kMixSkipLights, kMixMidsOnly, kMixBankDeepDarks, kMixBankBrightLights,
    kMixPosterize4, kMixPosterize3, kMixPosterizeBits, kMixLightnessToAlpha, kMixDarkerLuma,
    kMixLighterLuma, kMixTint};
// clang-format on

// The tool's posterize shift for a mix amount: trunc(16 * (amount - 127) / 127), -16..16 for 0..255.
int posterize_shift(int amount);

// Moves the source channel s toward r by the amount: amount 0 gives s, larger amounts move toward r.
constexpr std::uint32_t mix(const MixParams& p, std::uint32_t r, std::uint32_t s) {
    return (((p.amount * r) >> 4) + ((p.complement * s) >> 4)) >> 4;
}

constexpr std::uint32_t lightness(const MixPixel& p) {
    return (p.c[MixPixel::R] + p.c[MixPixel::G] + p.c[MixPixel::B]) / 3;
}
constexpr std::uint32_t luma(const MixPixel& p) {
    return (3 * p.c[MixPixel::R] + 4 * p.c[MixPixel::G] + p.c[MixPixel::B]) >> 3;
}

// The raw value r of a per-channel mode (34..48) for one channel.
template <int Mode> inline std::uint32_t channel_raw(std::uint32_t d, std::uint32_t s) {
    static_assert(Mode >= kMixScreen && Mode <= kMixSubtract);
    if constexpr (Mode == kMixScreen) {
        return 65535 - (((65535 - d) * (65535 - s)) >> 16);
    } else if constexpr (Mode == kMixDarken) {
        return s <= d ? s : d;
    } else if constexpr (Mode == kMixLighten) {
        return d <= s ? s : d;
    } else if constexpr (Mode == kMixDifference) {
        return d >= s ? d - s : s - d;
    } else if constexpr (Mode == kMixNegation) {
        const std::int64_t t = 65535 - static_cast<std::int64_t>(d) - s;
        return static_cast<std::uint32_t>(65535 - (t < 0 ? -t : t));
    } else if constexpr (Mode == kMixExclusion) {
        return d - ((d * s) >> 15) + s;
    } else if constexpr (Mode == kMixOverlay) {
        return d < 32767 ? (d * s) >> 15 : 65535 - (((65535 - d) * (65535 - s)) >> 15);
    } else if constexpr (Mode == kMixHardLight) {
        return s < 32767 ? (d * s) >> 15 : 65535 - (((65535 - d) * (65535 - s)) >> 15);
    } else if constexpr (Mode == kMixSoftLight) {
        const double b = d / 65535.0, t = s / 65535.0;
        const double v =
            t >= 0.5 ? 2 * b * (1 - t) + (2 * t - 1) * std::sqrt(b) : ((1 - 2 * t) * b + 2 * t) * b;
        // In range the result lies in 0..1 (give or take rounding); the bounds only keep stray input defined.
        const double r = v * 65535;
        return r >= 65535 ? 65535u : r > 0 ? static_cast<std::uint32_t>(r) : 0u;
    } else if constexpr (Mode == kMixDodge) {
        if (s >= 65535) return 65535;
        const std::uint32_t q = (d * 65536) / (65535 - s);
        return q >= 65536 ? 65535 : q;
    } else if constexpr (Mode == kMixBurn) {
        if (s == 0) return 0;
        const std::uint32_t q = ((65535 - d) * 65536) / s;
        return q > 65535 ? 0 : 65535 - q;
    } else if constexpr (Mode == kMixReflect) {
        if (s >= 65535) return 65535;
        const std::uint32_t q = (d * d) / (65535 - s);
        return q >= 65536 ? 65535 : q;
    } else if constexpr (Mode == kMixGlow) {
        if (d >= 65535) return 65535;
        const std::uint32_t q = (s * s) / (65535 - d);
        return q >= 65536 ? 65535 : q;
    } else if constexpr (Mode == kMixAdd) {
        return d + s > 65535 ? 65535 : d + s;
    } else {
        return d + s > 65535 ? d + s - 65535 : 0;
    }
}

namespace detail {

inline void mix_into(MixOut& out, const MixParams& p, const std::uint32_t* r, const MixPixel& s) {
    for (int ch = 0; ch < 3; ++ch) out.o[ch] = mix(p, r[ch], s.c[ch]);
}

} // namespace detail

// The result of mode Mode for prepared canvas pixel d and source s. Under erasing the result alpha is 0
// wherever the mode paints; where it does not paint the canvas pixel comes back unchanged.
template <int Mode>
inline MixOut mix_kernel(const MixParams& p, const MixPixel& d, const MixPixel& s, core::Generator& g) {
    MixOut out{{s.c[MixPixel::R], s.c[MixPixel::G], s.c[MixPixel::B]},
               p.erase ? 0u : s.c[MixPixel::A],
               {d.c[MixPixel::R], d.c[MixPixel::G], d.c[MixPixel::B]}};
    const auto no_paint = [&] {
        for (int ch = 0; ch < 3; ++ch) out.o[ch] = d.c[ch];
        out.oA = d.c[MixPixel::A];
    };
    const auto banks = [&](int k) { detail::mix_into(out, p, p.banks[k], s); };
    const auto canvas = [&] { detail::mix_into(out, p, d.c, s); };
    const auto source = [&] { detail::mix_into(out, p, s.c, s); };

    if constexpr (Mode >= kMixScreen && Mode <= kMixSubtract) {
        for (int ch = 0; ch < 3; ++ch) out.o[ch] = mix(p, channel_raw<Mode>(d.c[ch], s.c[ch]), s.c[ch]);
    } else if constexpr (Mode == kMixBanks2) {
        banks(lightness(s) < 32767 ? 0 : 1);
    } else if constexpr (Mode == kMixBanks3) {
        const std::uint32_t L = lightness(s);
        banks(L < 21845 ? 0 : L < 43690 ? 1 : 2);
    } else if constexpr (Mode == kMixBanks4) {
        const std::uint32_t L = lightness(s);
        banks(L < 16383 ? 0 : L < 32767 ? 1 : L < 49151 ? 2 : 3);
    } else if constexpr (Mode == kMixGradientMap) {
        const std::int64_t L = lightness(s);
        std::uint32_t r[3];
        if (L < 32767) {
            const std::int64_t w = (2 * L) >> 8;
            for (int ch = 0; ch < 3; ++ch)
                r[ch] = static_cast<std::uint32_t>((p.banks[0][ch] * (256 - w) + p.banks[1][ch] * w) >> 8);
        } else {
            const std::int64_t w = (2 * L - 65534) >> 8;
            for (int ch = 0; ch < 3; ++ch)
                r[ch] = static_cast<std::uint32_t>((p.banks[2][ch] * w + p.banks[1][ch] * (256 - w)) >> 8);
        }
        detail::mix_into(out, p, r, s);
    } else if constexpr (Mode == kMixBankDarks) {
        g.next(); // drawn and ignored, which moves every later random choice of the stroke
        if (lightness(s) < 32767)
            banks(0);
        else
            canvas();
    } else if constexpr (Mode == kMixBankLights) {
        g.next();
        if (lightness(s) <= 32767)
            canvas();
        else
            banks(0);
    } else if constexpr (Mode == kMixBanksOutside) {
        const std::uint32_t L = lightness(s);
        if (L < 20479)
            banks(0);
        else if (L > 49151)
            banks(1);
        else
            source();
    } else if constexpr (Mode == kMixSkipDarks) {
        if (lightness(s) >= 20479)
            source();
        else
            no_paint();
    } else if constexpr (Mode == kMixSkipLights) {
        if (lightness(s) <= 49151)
            source();
        else
            no_paint();
    } else if constexpr (Mode == kMixMidsOnly) {
        const std::uint32_t L = lightness(s);
        if (L >= 20479 && L <= 49151)
            source();
        else
            no_paint();
    } else if constexpr (Mode == kMixBankDeepDarks) {
        if (lightness(s) <= 12287)
            banks(0);
        else
            no_paint();
    } else if constexpr (Mode == kMixBankBrightLights) {
        if (lightness(s) >= 57343)
            banks(0);
        else
            no_paint();
    } else if constexpr (Mode == kMixPosterize4) {
        std::uint32_t r[3];
        for (int ch = 0; ch < 3; ++ch) {
            const std::uint32_t v = s.c[ch];
            r[ch] = v < 10922 ? 0 : v < 32767 ? 21845 : v < 54613 ? 43690 : 65535;
        }
        detail::mix_into(out, p, r, s);
    } else if constexpr (Mode == kMixPosterize3) {
        std::uint32_t r[3];
        for (int ch = 0; ch < 3; ++ch) {
            const std::uint32_t v = s.c[ch];
            r[ch] = v < 21845 ? 0 : v < 43690 ? 32767 : 65535;
        }
        detail::mix_into(out, p, r, s);
    } else if constexpr (Mode == kMixPosterizeBits) {
        // A negative shift wraps to 16..31 and clears the channel: the low half of the amount paints black.
        const unsigned k = static_cast<unsigned>(p.posterize_shift) & 31u;
        for (int ch = 0; ch < 3; ++ch) out.o[ch] = (s.c[ch] >> k) << k;
    } else if constexpr (Mode == kMixLightnessToAlpha) {
        for (int ch = 0; ch < 3; ++ch) out.o[ch] = out.d[ch] = 32767;
        // Under erasing it lowers alpha like every other mode instead of raising it to the lightness.
        out.oA = p.erase ? 0u : lightness(s);
    } else if constexpr (Mode == kMixDarkerLuma) {
        if (luma(d) < luma(s))
            canvas();
        else
            source();
    } else if constexpr (Mode == kMixLighterLuma) {
        if (luma(d) > luma(s))
            canvas();
        else
            source();
    } else if constexpr (Mode == kMixTint) {
        const std::int64_t L = lightness(s);
        std::uint32_t r[3];
        if (L < 32767) {
            const std::int64_t w = (2 * L) >> 8;
            for (int ch = 0; ch < 3; ++ch) r[ch] = static_cast<std::uint32_t>((p.colour[ch] * w) >> 8);
        } else {
            std::int64_t w = (2 * L - 65536) >> 8;
            if (w < 0) w = 0;
            for (int ch = 0; ch < 3; ++ch)
                r[ch] = static_cast<std::uint32_t>((p.colour[ch] * (256 - w) + w * 65535) >> 8);
        }
        detail::mix_into(out, p, r, s);
    }
    // kMixUnlisted: the plain source colour, already in out.
    return out;
}

// Calls f with std::integral_constant<int, id> for the kernel of mode, kMixUnlisted for any id without
// one. The dab calls it once per dab with its whole pixel loop inside f, so the loop runs on one kernel.
template <class F> inline decltype(auto) with_mix_kernel(int mode, F&& f) {
    switch (mode) {
    case kMixScreen:
        return f(std::integral_constant<int, kMixScreen>{});
    case kMixDarken:
        return f(std::integral_constant<int, kMixDarken>{});
    case kMixLighten:
        return f(std::integral_constant<int, kMixLighten>{});
    case kMixDifference:
        return f(std::integral_constant<int, kMixDifference>{});
    case kMixNegation:
        return f(std::integral_constant<int, kMixNegation>{});
    case kMixExclusion:
        return f(std::integral_constant<int, kMixExclusion>{});
    case kMixOverlay:
        return f(std::integral_constant<int, kMixOverlay>{});
    case kMixHardLight:
        return f(std::integral_constant<int, kMixHardLight>{});
    case kMixSoftLight:
        return f(std::integral_constant<int, kMixSoftLight>{});
    case kMixDodge:
        return f(std::integral_constant<int, kMixDodge>{});
    case kMixBurn:
        return f(std::integral_constant<int, kMixBurn>{});
    case kMixReflect:
        return f(std::integral_constant<int, kMixReflect>{});
    case kMixGlow:
        return f(std::integral_constant<int, kMixGlow>{});
    case kMixAdd:
        return f(std::integral_constant<int, kMixAdd>{});
    case kMixSubtract:
        return f(std::integral_constant<int, kMixSubtract>{});
    case kMixBanks2:
        return f(std::integral_constant<int, kMixBanks2>{});
    case kMixBanks3:
        return f(std::integral_constant<int, kMixBanks3>{});
    case kMixBanks4:
        return f(std::integral_constant<int, kMixBanks4>{});
    case kMixGradientMap:
        return f(std::integral_constant<int, kMixGradientMap>{});
    case kMixBankDarks:
        return f(std::integral_constant<int, kMixBankDarks>{});
    case kMixBankLights:
        return f(std::integral_constant<int, kMixBankLights>{});
    case kMixBanksOutside:
        return f(std::integral_constant<int, kMixBanksOutside>{});
    case kMixSkipDarks:
        return f(std::integral_constant<int, kMixSkipDarks>{});
    case kMixSkipLights:
        return f(std::integral_constant<int, kMixSkipLights>{});
    case kMixMidsOnly:
        return f(std::integral_constant<int, kMixMidsOnly>{});
    case kMixBankDeepDarks:
        return f(std::integral_constant<int, kMixBankDeepDarks>{});
    case kMixBankBrightLights:
        return f(std::integral_constant<int, kMixBankBrightLights>{});
    case kMixPosterize4:
        return f(std::integral_constant<int, kMixPosterize4>{});
    case kMixPosterize3:
        return f(std::integral_constant<int, kMixPosterize3>{});
    case kMixPosterizeBits:
        return f(std::integral_constant<int, kMixPosterizeBits>{});
    case kMixLightnessToAlpha:
        return f(std::integral_constant<int, kMixLightnessToAlpha>{});
    case kMixDarkerLuma:
        return f(std::integral_constant<int, kMixDarkerLuma>{});
    case kMixLighterLuma:
        return f(std::integral_constant<int, kMixLighterLuma>{});
    case kMixTint:
        return f(std::integral_constant<int, kMixTint>{});
    default:
        return f(std::integral_constant<int, kMixUnlisted>{});
    }
}

// One pixel under a mode chosen at run time.
inline MixOut mix_pixel(int mode, const MixParams& p, const MixPixel& d, const MixPixel& s,
                        core::Generator& g) {
    return with_mix_kernel(mode, [&](auto k) { return mix_kernel<decltype(k)::value>(p, d, s, g); });
}

// The mode's raw result for the blend-buffer pick-up, canvas pixel as d and buffer pixel as s: no amount
// mixing and no erasing; Multiply is the product of the two, Normal and unlisted ids give the buffer pixel.
// Returns the colour and alpha the buffer then moves toward.
MixPixel pickup_mix(int mode, const MixParams& p, const MixPixel& canvas, const MixPixel& buffer,
                    core::Generator& g);

} // namespace vlm::brush
