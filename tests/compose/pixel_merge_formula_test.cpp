// Every blend mode's result against a plain reference merge written in this file from the mode rules:
// single precision, the engine's constants, each expression in the order the rules give it, truncation
// at the end. It shares no code with the kernel (not even the HSL pair), so the two must agree bit for
// bit on fixed pixel pairs chosen to reach each formula's branches and on many seeded random ones.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "compose/pixel_merge.h"

namespace vlm::compose {
namespace {

namespace ref {

constexpr float kOneOver65535 = 1.5259022e-05f;

void to_hsl(float r, float g, float b, float& h, float& s, float& l) {
    float mx = r, mn = r;
    if (g > mx) mx = g;
    if (b > mx) mx = b;
    if (g < mn) mn = g;
    if (b < mn) mn = b;
    l = (mx + mn) / 2.0f;
    h = 0.0f;
    s = 0.0f;
    if (mx == mn) return;
    float d = mx - mn;
    if (l < 0.5f)
        s = d / (mx + mn);
    else
        s = d / (2.0f - mx - mn);
    float dR = ((mx - r) * 0.16666667f + d / 2.0f) / d;
    float dG = ((mx - g) * 0.16666667f + d / 2.0f) / d;
    float dB = ((mx - b) * 0.16666667f + d / 2.0f) / d;
    if (r == mx)
        h = dB - dG;
    else if (g == mx)
        h = 1.0f / 3.0f + dR - dB;
    else
        h = 2.0f / 3.0f + dG - dR;
    if (h < 0.0f) h += 1.0f;
    if (h > 1.0f) h -= 1.0f;
    h = h * 360.0f;
}

float channel(float p, float q, float h) {
    if (h > 360.0f)
        h -= 360.0f;
    else if (h < 0.0f)
        h += 360.0f;
    if (h < 60.0f) return (float)(p + (q - p) * h * 0.016666666666666666);
    if (h < 180.0f) return q;
    if (h < 240.0f) return (float)(p + (q - p) * (240.0f - h) * 0.016666666666666666);
    return p;
}

void from_hsl(float h, float s, float l, float out[3]) {
    if (s == 0.0f) {
        out[0] = out[1] = out[2] = l;
        return;
    }
    float q = l < 0.5f ? l * (1.0f + s) : l + s - l * s;
    float p = 2.0f * l - q;
    out[0] = channel(p, q, h + 120.0f);
    out[1] = channel(p, q, h);
    out[2] = channel(p, q, h - 120.0f);
}

int held(double v) { return v < 0 ? 0 : (v > 65535 ? 65535 : (int)v); }

// The destination d (R, G, B, A) takes the source; K is the alpha-layer opacity.
void merge(int d[4], int sR, int sG, int sB, int sA, int mode, int o, int L, int K) {
    if (mode < 0 || mode > 49) mode = 27;
    if (sA == 0 && mode < 28) return;
    int c[3] = {sR, sG, sB};
    int f = sA;
    if (mode == 29) {
        c[0] = c[1] = c[2] = 65535;
        f = 65535 - sA;
    }
    if ((mode == 30 || mode == 45) && sA >= 1 && sA <= 65279) {
        c[0] = c[1] = c[2] = 0;
        f = K;
    }
    if ((mode == 31 || mode == 32) && sA > 0) f = sA >= 12287 ? K : 65535 - sA;
    if (mode == 33 && sA > 0) f = 65535 - sA;
    if (mode == 34 && sA > 0) {
        c[0] = c[1] = c[2] = sA;
        f = K;
    }
    if ((mode == 35 || mode == 36 || (mode == 37 && sA >= 32767)) && sA > 0) {
        for (int& v : c) {
            if (sA < 32767) {
                int k = 2 * (32767 - sA);
                v = v < k ? 0 : v - k;
            } else {
                v = std::min(65535, v + 2 * sA - 65534);
            }
        }
        f = K;
    } else if (mode == 37 && sA > 0) {
        f = std::max(0, sA - 2 * (32767 - sA));
    }
    if (mode == 38 && sA > 0) f = sA < 32767 ? std::max(0, sA - 4 * (32767 - sA)) : K;
    auto smooth2 = [&] {
        if (sA < 8191) return 0;
        if (sA >= 9215) return K;
        return 65535 - std::min(65535, (9215 - sA) * 64);
    };
    if (mode == 39 && sA > 0) f = smooth2();
    if (mode >= 40 && mode <= 44) {
        for (int& v : c) {
            if (mode == 42 || mode == 43) {
                if (sA < 36863)
                    v = held(v - v * ((36862 - sA) * 3.3333333333333335e-05));
                else
                    v = held(v + (65535 - v) * ((sA - 36862) * 3.487723214285714e-05));
            } else if (sA < 32768) {
                if (mode == 41) {
                    float x = (float)(32767 - sA) * kOneOver65535;
                    v = held((float)v - (float)v * x);
                } else {
                    v = held(v - v * ((32767 - sA) * 3.051850947599719e-05));
                }
            } else {
                v = held(v + (65535 - v) * ((sA - 32767) * 3.051850947599719e-05));
            }
        }
        f = (mode == 43 || mode == 44) ? smooth2() : (sA >= 8191 ? K : 0);
    }
    if (mode == 46 && sA > 32512) f = 0;
    if (mode == 47) f = 0;
    if (mode == 48) {
        f = (sR + sG + sB) / 3;
        c[0] = c[1] = c[2] = 65535;
    }
    if (mode == 49) {
        f = 65535 - (sR + sG + sB) / 3;
        c[0] = c[1] = c[2] = 0;
    }
    if (mode == 36 || mode == 37) mode = 25;

    if (o < 255) f = ((o + 1) * f) / 256;
    auto write = [&](int r, int g, int b, int a) {
        d[0] = r;
        d[1] = g;
        d[2] = b;
        if ((L & 0xFF) == 0) d[3] = a;
    };
    if (d[3] == 0) {
        if (mode == 17 || mode == 18 || mode == 24 || mode == 25 || mode == 26 || f == 0)
            write(0, 0, 0, 0);
        else
            write(c[0], c[1], c[2], f);
        return;
    }
    if (f == 0) return;
    if (f >= 65280 && mode == 0) {
        write(c[0], c[1], c[2], f);
        return;
    }

    float Sa = (float)f * kOneOver65535, Da = (float)d[3] * kOneOver65535;
    float Sc[3], Dc[3], Rc[3];
    for (int i = 0; i < 3; ++i) {
        Sc[i] = (float)c[i] * Sa / 65280.0f;
        Dc[i] = (float)d[i] * Da / 65280.0f;
    }
    float s1 = 1.0f - Sa, d1 = 1.0f - Da;
    float Ra = Sa + Da - Sa * Da;
    float lum = (float)(c[0] + c[1] + c[2]) * 5.1062093e-06f;
    float m = (Dc[0] + Dc[1] + Dc[2]) * 0.33333334f;
    float sh, ss, sl, dh, ds, dl;
    to_hsl(c[0] / 65280.0f, c[1] / 65280.0f, c[2] / 65280.0f, sh, ss, sl);
    to_hsl(Dc[0], Dc[1], Dc[2], dh, ds, dl);
    float hue[3];
    if (mode == 19) from_hsl(sh, ss, (3.0f * Dc[0] + 4.0f * Dc[1] + Dc[2]) / 8.0f, hue);
    if (mode == 20) from_hsl(sh, ds, dl, hue);
    if (mode == 21) from_hsl(dh, ss, dl, hue);
    if (mode == 22) from_hsl(dh, ds, sl, hue);
    if (mode == 23) from_hsl(sh, ss, dl, hue);
    float tex[3], tm = 0.0f;
    for (int i = 0; i < 3; ++i) {
        float Dn = Dc[i] / Da;
        tex[i] = lum >= 0.5f ? Dn + (lum - 0.5f) * Sa : Dn - (0.5f - lum) * Sa;
    }
    tm = (tex[0] + tex[1] + tex[2]) * 0.33333334f;

    for (int i = 0; i < 3; ++i) {
        float S = Sc[i], D = Dc[i], Dn = D / Da;
        switch (mode) {
        case 1:
            Rc[i] = S * D + S * d1 + D * s1;
            break;
        case 2:
            Rc[i] = S + D - S * D;
            break;
        case 3:
            Rc[i] = std::min(S * Da, D * Sa) + S * d1 + D * s1;
            break;
        case 4:
            Rc[i] = std::max(S * Da, D * Sa) + S * d1 + D * s1;
            break;
        case 5:
            Rc[i] = S + D - 2.0f * std::min(S * Da, D * Sa);
            break;
        case 6:
        case 7:
            Rc[i] = D * Sa + S * Da - 2.0f * S * D + D * s1 + S * d1;
            break;
        case 8:
        case 9:
            if (mode == 8 ? 2.0f * D < Da : 2.0f * S < Sa)
                Rc[i] = 2.0f * S * D + D * s1 + S * d1;
            else
                Rc[i] = Sa * Da - 2.0f * (Da - D) * (Sa - S) + D * s1 + S * d1;
            break;
        case 10:
            if (2.0f * S < Sa)
                Rc[i] = D * (Sa + (2.0f * S - Sa) * (1.0f - D / Da));
            else if (8.0f * D <= Da)
                Rc[i] = D * (Sa + (2.0f * S - Sa) * (3.0f - 8.0f * D / Da) * (1.0f - D / Da));
            else
                Rc[i] = D * Sa + (std::sqrt(D / Da) * Da - D) * (2.0f * S - Sa);
            Rc[i] = Rc[i] + D * s1 + S * d1;
            break;
        case 11:
            Rc[i] = (S * Da + D * Sa >= Sa * Da ? Sa * Da : D * Sa / (1.0f - S / Sa)) + S * d1 + D * s1;
            break;
        case 12:
            Rc[i] =
                (S * Da + D * Sa <= Sa * Da ? 0.0f : Sa * (S * Da + D * Sa - Sa * Da) / S) + S * d1 + D * s1;
            break;
        case 15:
            Rc[i] = D + S;
            break;
        case 16:
            Rc[i] = S + D - Sa * Da;
            break;
        case 17:
            Rc[i] = S + Sa * (m - 0.5f) + D * s1;
            break;
        case 18:
            Rc[i] = S + Sa * 1.75f * (m - 0.5f) + D * s1;
            break;
        case 19:
        case 20:
        case 21:
        case 22:
        case 23:
            Rc[i] = D * s1 + hue[i] * Sa;
            break;
        case 24:
            Rc[i] = tm >= 0.5f ? Dn + (tm - 0.5f) * 1.75f * Sa : Dn - (0.5f - tm) * 1.75f * Sa;
            break;
        case 25:
            Rc[i] = lum < 0.5f ? Dn - (0.5f - lum) * 1.75f * Sa : Dn + (lum - 0.5f) * 1.75f * Sa;
            break;
        case 26:
            Rc[i] = D;
            break;
        default:
            Rc[i] = S + D * s1;
            break;
        }
    }
    if (mode == 15 || mode == 16) Ra = Da + Sa;
    if (mode >= 17 && mode <= 26) Ra = Da;

    if (Ra < 0.0f) Ra = 0.0f;
    if (Ra > 1.0f) Ra = 1.0f;
    int out[3];
    for (int i = 0; i < 3; ++i) {
        float v = Rc[i] / Ra;
        if (v < 0.0f) v = 0.0f;
        if (v > 1.0f) v = 1.0f;
        out[i] = (int)(v * 65280.0f);
    }
    write(out[0], out[1], out[2], (int)(Ra * 65535.0f));
}

} // namespace ref

struct Pair {
    std::uint32_t d[4], s[4];
};

// Pairs that between them take each formula down each of its branches.
const Pair kPairs[] = {
    {{20000, 40000, 60000, 50000}, {50000, 30000, 10000, 40000}},
    {{65280, 1000, 30000, 65535}, {0, 65280, 32640, 65535}},    // both opaque
    {{5000, 5000, 5000, 30000}, {60000, 60000, 60000, 20000}},  // dark under light: soft light's middle case
    {{32640, 32640, 32640, 65535}, {40000, 20000, 9000, 9000}}, // smooth-alpha ramp
    {{60000, 100, 32000, 12000}, {100, 60000, 32000, 65279}},   // just below the opaque copy
    {{64000, 64000, 64000, 65535}, {1000, 2000, 3000, 65280}},  // opaque copy
    {{30000, 10000, 50000, 65535}, {65535, 65535, 65535, 33000}}, // colour above 65280
    {{0, 0, 0, 65535}, {0, 0, 0, 65535}},                         // black on black: dodge and burn edges
    {{65280, 65280, 65280, 65535}, {65280, 65280, 65280, 65535}}, // white on white
};

Rgba16 pixel(const std::uint32_t v[4]) { return {{v[0], v[1], v[2], v[3]}}; }

void expect_matches_reference(int mode, const Pair& p, int opacity, int lock, int k) {
    Rgba16 d = pixel(p.d);
    merge_pixel(mode, d, pixel(p.s), std::uint32_t(opacity), (lock & 0xFF) != 0, std::uint32_t(k));
    int want[4] = {int(p.d[0]), int(p.d[1]), int(p.d[2]), int(p.d[3])};
    ref::merge(want, int(p.s[0]), int(p.s[1]), int(p.s[2]), int(p.s[3]), mode, opacity, lock, k);
    for (int ch = 0; ch < 4; ++ch)
        ASSERT_EQ(int(d.c[ch]), want[ch])
            << "mode " << mode << " channel " << ch << " d (" << p.d[0] << ", " << p.d[1] << ", " << p.d[2]
            << ", " << p.d[3] << ") s (" << p.s[0] << ", " << p.s[1] << ", " << p.s[2] << ", " << p.s[3]
            << ") opacity " << opacity << " lock " << lock << " k " << k;
}

TEST(BlendFormulas, EveryModeOnChosenPairs) {
    for (int mode = 0; mode <= kBlendLastMode; ++mode)
        for (const Pair& p : kPairs) {
            expect_matches_reference(mode, p, 255, 0, 65535);
            expect_matches_reference(mode, p, 100, 0, 40000);
        }
}

// The reference and the kernel really produce the colours the formulas describe: a few results that
// can be seen without arithmetic.
TEST(BlendFormulas, ObviousResults) {
    auto run = [](int mode, Rgba16 d, Rgba16 s) {
        merge_pixel(mode, d, s, 255, false, 65535);
        return d;
    };
    const Rgba16 white{{65280, 65280, 65280, 65535}}, grey{{32640, 32640, 32640, 65535}};
    for (int mode : {kBlendDarken, kBlendLighten, kBlendHslColor, kBlendReflect})
        EXPECT_EQ(run(mode, grey, grey).c[0], grey.c[0]) << mode;
    EXPECT_EQ(run(kBlendMultiply, grey, grey).c[0], 16320u);
    EXPECT_EQ(run(kBlendMultiply, white, grey).c[1], 32640u);
    EXPECT_EQ(run(kBlendScreen, grey, white).c[1], 65280u);
    EXPECT_EQ(run(kBlendDifference, white, white).c[2], 0u);
    EXPECT_EQ(run(kBlendAdd, grey, grey).c[0], 65280u);
    EXPECT_EQ(run(kBlendSubtract, grey, grey).c[0], 0u);
}

TEST(BlendFormulas, EveryModeOnRandomPairs) {
    std::mt19937 gen(20240521);
    auto channel = [&] {
        // Mostly anything, sometimes the values the shortcuts and branches test for.
        static const std::uint32_t specials[] = {0,     1,     8191,  9000,  12287, 32512,
                                                 32767, 32768, 36863, 65279, 65280, 65535};
        return gen() % 4 == 0 ? specials[gen() % std::size(specials)] : std::uint32_t(gen() % 65536);
    };
    for (int round = 0; round < 2000; ++round) {
        Pair p;
        for (int ch = 0; ch < 4; ++ch) {
            p.d[ch] = channel();
            p.s[ch] = channel();
        }
        const int opacity = gen() % 3 == 0 ? int(gen() % 300) : 255;
        const int lock = gen() % 8 == 0 ? 1 : 0;
        const int k = gen() % 2 ? 65535 : int(gen() % 65536);
        for (int mode = -1; mode <= kBlendLastMode + 1; ++mode)
            expect_matches_reference(mode, p, opacity, lock, k);
    }
}

} // namespace
} // namespace vlm::compose
