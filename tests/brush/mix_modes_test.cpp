#include <gtest/gtest.h>

#include <climits>
#include <initializer_list>
#include <set>
#include <string>
#include <vector>

#include "brush/mix_modes.h"

namespace vlm::brush {
namespace {

// The colour banks and current colour of every case below.
constexpr std::uint32_t kBanks[4][3] = {
    {0x1000, 0x2000, 0x3000}, {0x8000, 0x9000, 0xA000}, {0xC000, 0xD000, 0xE000}, {0xFF00, 0x0000, 0x8000}};
constexpr std::uint32_t kColour[3] = {0xFF00, 0x8000, 0x0100};

MixParams params(int amount, bool erase = false) {
    MixParams p{};
    p.amount = static_cast<std::uint32_t>(amount);
    p.complement = static_cast<std::uint32_t>(256 - amount);
    p.posterize_shift = posterize_shift(amount);
    for (int ch = 0; ch < 3; ++ch) {
        p.colour[ch] = kColour[ch];
        for (int k = 0; k < 4; ++k) p.banks[k][ch] = kBanks[k][ch];
    }
    p.erase = erase;
    return p;
}

// The raw per-channel value of modes 34..48, reached through the dispatch.
std::uint32_t raw(int mode, std::uint32_t d, std::uint32_t s) {
    return with_mix_kernel(mode, [&](auto k) -> std::uint32_t {
        if constexpr (decltype(k)::value >= kMixScreen && decltype(k)::value <= kMixSubtract)
            return channel_raw<decltype(k)::value>(d, s);
        ADD_FAILURE() << mode << " is not a per-channel mode";
        return 0;
    });
}

struct Case {
    int mode;
    int amount;
    MixPixel d, s;
    std::uint32_t o[3];
    std::uint32_t oA;
};

constexpr MixPixel grey(std::uint32_t v, std::uint32_t alpha = 65535) { return {{v, v, v, alpha}}; }

// Canvas and source pixels of the per-channel rows: each channel meets another branch.
constexpr MixPixel kCanvasA{{10000, 40000, 65535, 50000}}, kSourceA{{30000, 32767, 0, 65535}};
constexpr MixPixel kCanvasB{{0, 32766, 32767, 65535}}, kSourceB{{65535, 65534, 1, 12345}};
constexpr MixPixel kCanvas{{5000, 20000, 60000, 40000}};
constexpr MixPixel kLumaCanvas{{10000, 30000, 10000, 65535}}; // luma 20000

// Expected values worked out independently from the mode formulas, amount mixing included.
// Unless a row says otherwise, the source lightness L of the bank and threshold rows is the grey value.
// clang-format off
const Case kCases[] = {
    {34, 200, kCanvasA, kSourceA, {34236, 48392, 51199}, 65535},
    {34, 255, kCanvasB, kSourceB, {65534, 65534, 32640}, 12345},
    {35, 200, kCanvasA, kSourceA, {14375, 32766, 0}, 65535},
    {35, 255, kCanvasB, kSourceB, {255, 32893, 0}, 12345},
    {36, 200, kCanvasA, kSourceA, {30000, 38417, 51199}, 65535},
    {36, 255, kCanvasB, kSourceB, {65534, 65533, 32639}, 12345},
    {37, 200, kCanvasA, kSourceA, {22187, 12818, 51199}, 65535},
    {37, 255, kCanvasB, kSourceB, {65534, 32895, 32638}, 12345},
    {38, 200, kCanvasA, kSourceA, {37812, 52716, 51199}, 65535},
    {38, 255, kCanvasB, kSourceB, {65534, 32897, 32640}, 12345},
    {39, 200, kCanvasA, kSourceA, {30660, 32768, 51199}, 65535},
    {39, 255, kCanvasB, kSourceB, {65534, 32897, 32640}, 12345},
    {40, 200, kCanvasA, kSourceA, {13714, 38417, 51199}, 65535},
    {40, 255, kCanvasB, kSourceB, {255, 65529, 0}, 12345},
    {41, 200, kCanvasA, kSourceA, {13714, 38417, 0}, 65535},
    {41, 255, kCanvasB, kSourceB, {65534, 65533, 0}, 12345},
    {42, 200, kCanvasA, kSourceA, {13815, 38416, 51199}, 65535},
    {42, 255, kCanvasB, kSourceB, {255, 46412, 16319}, 12345},
    {43, 200, kCanvasA, kSourceA, {20970, 58366, 51199}, 65535},
    {43, 255, kCanvasB, kSourceB, {65534, 65534, 32640}, 12345},
    {44, 200, kCanvasA, kSourceA, {6562, 18467, 0}, 65535},
    {44, 255, kCanvasB, kSourceB, {255, 32892, 0}, 12345},
    {45, 200, kCanvasA, kSourceA, {8760, 45314, 51199}, 65535},
    {45, 255, kCanvasB, kSourceB, {65534, 65534, 16319}, 12345},
    {46, 200, kCanvasA, kSourceA, {19222, 40016, 51199}, 65535},
    {46, 255, kCanvasB, kSourceB, {65534, 65534, 0}, 12345},
    {47, 200, kCanvasA, kSourceA, {37812, 58366, 51199}, 65535},
    {47, 255, kCanvasB, kSourceB, {65534, 65534, 32640}, 12345},
    {48, 200, kCanvasA, kSourceA, {6562, 12817, 0}, 65535},
    {48, 255, kCanvasB, kSourceB, {255, 32892, 0}, 12345},
    {249, 255, kCanvas, grey(32766), {4207, 8287, 12367}, 65535}, // L 32766
    {249, 255, kCanvas, {{30000, 40000, 28300, 65535}}, {4197, 8316, 12350}, 65535}, // L 32766.7 truncates
    {249, 128, kCanvas, grey(32767), {32767, 34815, 36863}, 65535}, // L 32767
    {250, 255, kCanvas, grey(21844), {4165, 8245, 12325}, 65535},
    {250, 255, kCanvas, grey(21845), {32725, 36805, 40885}, 65535},
    {250, 255, kCanvas, grey(43689), {32810, 36890, 40970}, 65535},
    {250, 255, kCanvas, grey(43690), {49130, 53210, 57290}, 65535},
    {251, 255, kCanvas, grey(16382), {4143, 8223, 12303}, 65535},
    {251, 255, kCanvas, grey(16383), {32703, 36783, 40863}, 65535},
    {251, 255, kCanvas, grey(32767), {49087, 53167, 57247}, 65535},
    {251, 255, kCanvas, grey(49151), {65216, 191, 32831}, 65535},
    {252, 255, kCanvas, grey(10000), {12820, 16900, 20980}, 65535}, // dark half
    {252, 255, kCanvas, grey(32766), {32656, 36736, 40816}, 65535}, // w 255
    {252, 255, kCanvas, grey(32767), {32767, 36847, 40927}, 65535}, // w 0: bank 1
    {252, 200, kCanvas, grey(65535), {52735, 55935, 59135}, 65535}, // w 256: bank 2
    {253, 255, kCanvas, grey(32766), {4207, 8287, 12367}, 65535}, // bank 0
    {253, 255, kCanvas, grey(32767), {5108, 20049, 59893}, 65535}, // canvas
    {254, 255, kCanvas, grey(32767), {5108, 20049, 59893}, 65535}, // canvas (not strict)
    {254, 255, kCanvas, grey(32768), {4208, 8288, 12368}, 65535}, // bank 0
    {255, 255, kCanvas, grey(20478), {4159, 8239, 12319}, 65535}, // bank 0
    {255, 255, kCanvas, grey(20479), {20478, 20478, 20478}, 65535}, // source
    {255, 255, kCanvas, grey(49151), {49150, 49150, 49150}, 65535}, // source
    {255, 255, kCanvas, grey(49152), {32832, 36912, 40992}, 65535}, // bank 1
    {256, 100, kCanvas, grey(20478, 30000), {5000, 20000, 60000}, 40000}, // no paint
    {256, 100, kCanvas, grey(20479, 30000), {20478, 20478, 20478}, 30000},
    {257, 100, kCanvas, grey(49151, 30000), {49150, 49150, 49150}, 30000},
    {257, 100, kCanvas, grey(49152, 30000), {5000, 20000, 60000}, 40000}, // no paint
    {258, 100, kCanvas, grey(20478, 30000), {5000, 20000, 60000}, 40000}, // no paint
    {258, 100, kCanvas, grey(20479, 30000), {20478, 20478, 20478}, 30000},
    {258, 100, kCanvas, grey(49151, 30000), {49150, 49150, 49150}, 30000},
    {258, 100, kCanvas, grey(49152, 30000), {5000, 20000, 60000}, 40000}, // no paint
    {259, 255, kCanvas, grey(12287, 30000), {4127, 8207, 12287}, 30000},
    {259, 255, kCanvas, grey(12288, 30000), {5000, 20000, 60000}, 40000}, // no paint
    {260, 255, kCanvas, grey(57342, 30000), {5000, 20000, 60000}, 40000}, // no paint
    {260, 255, kCanvas, grey(57343, 30000), {4303, 8383, 12463}, 30000},
    {261, 255, kCanvas, {{10921, 10922, 32766, 65535}}, {42, 21802, 21887}, 65535},
    {261, 200, kCanvas, {{32767, 54612, 54613, 65535}}, {41300, 46079, 63145}, 65535},
    {262, 255, kCanvas, {{21844, 21845, 43689, 65535}}, {85, 32724, 32809}, 65535},
    {262, 200, kCanvas, {{43690, 0, 65535, 65535}}, {60756, 0, 65534}, 65535},
    {295, 255, kCanvas, {{65535, 12345, 1, 65535}}, {0, 0, 0}, 65535}, // shift 16
    {295, 135, kCanvas, {{65535, 12345, 1, 65535}}, {65534, 12344, 0}, 65535}, // shift 1
    {295, 130, kCanvas, {{65535, 12345, 1, 65535}}, {65535, 12345, 1}, 65535}, // shift 0
    {295, 119, kCanvas, {{65535, 12345, 1, 65535}}, {0, 0, 0}, 65535}, // shift -1: 31
    {295, 200, kCanvas, {{65535, 12345, 1, 65535}}, {65024, 12288, 0}, 65535}, // shift 9
    {340, 255, kCanvas, {{30000, 40000, 28300, 20000}}, {32767, 32767, 32767}, 32766}, // alpha L
    {340, 0, kCanvas, grey(0), {32767, 32767, 32767}, 0},
    {387, 200, kLumaCanvas, {{60000, 0, 0, 65535}}, {20937, 23437, 7812}, 65535}, // canvas darker
    {387, 200, kLumaCanvas, {{0, 40000, 0, 65535}}, {0, 40000, 0}, 65535}, // equal luma: source
    {388, 200, kLumaCanvas, {{60000, 0, 0, 65535}}, {60000, 0, 0}, 65535}, // source lighter
    {388, 200, kLumaCanvas, {{0, 0, 60000, 65535}}, {7812, 23437, 20937}, 65535}, // canvas lighter
    {388, 200, kLumaCanvas, {{0, 40000, 0, 65535}}, {0, 40000, 0}, 65535}, // equal luma: source
    {425, 255, kCanvas, grey(10000), {19851, 9984, 116}, 65535}, // dark
    {425, 255, kCanvas, grey(32766), {64898, 32640, 381}, 65535},
    {425, 255, kCanvas, grey(32767), {65152, 32767, 382}, 65535}, // w -1 taken as 0
    {425, 255, kCanvas, grey(65535), {65533, 65407, 65280}, 65535}, // w 255
    {425, 128, kCanvas, {{50000, 60000, 65535, 65535}}, {57740, 59247, 58522}, 65535},
};
// clang-format on

TEST(MixModes, EveryModeGivesItsWorkedValues) {
    std::set<int> covered;
    for (const Case& c : kCases) {
        core::Generator g{1};
        const MixOut out = mix_pixel(c.mode, params(c.amount), c.d, c.s, g);
        const std::string at = "mode " + std::to_string(c.mode) + " amount " + std::to_string(c.amount) +
                               " source " + std::to_string(c.s.c[MixPixel::R]);
        for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(out.o[ch], c.o[ch]) << at << " channel " << ch;
        EXPECT_EQ(out.oA, c.oA) << at;
        covered.insert(c.mode);
    }
    for (int id : kMixModeIds) EXPECT_TRUE(covered.count(id)) << "no case for mode " << id;
}

TEST(MixModes, RawValuesAtTheDivisionAndComparisonEdges) {
    struct Edge {
        int mode;
        std::uint32_t d, s, r;
    };
    const Edge edges[] = {
        {kMixScreen, 0, 65535, 65535}, // white screens to white
        {kMixScreen, 12345, 65535, 65535},
        {kMixScreen, 0, 0, 1},
        {kMixNegation, 0, 0, 0},
        {kMixNegation, 65535, 65535, 0},
        {kMixNegation, 30000, 35535, 65535},
        {kMixExclusion, 65535, 65535, 2}, // d - (d * s >> 15) goes below zero before + s
        {kMixExclusion, 65535, 0, 65535},
        {kMixOverlay, 32766, 40000, 39997}, // d < 32767: product
        {kMixOverlay, 32767, 40000, 40000}, // 32767 itself takes the screen branch
        {kMixOverlay, 32767, 0, 0},
        {kMixHardLight, 40000, 32766, 39997},
        {kMixHardLight, 40000, 32767, 40000},
        {kMixHardLight, 0, 32767, 0},
        {kMixDodge, 0, 65535, 65535}, // s = 65535 never divides
        {kMixDodge, 65535, 65535, 65535},
        {kMixDodge, 1, 65534, 65535}, // quotient 65536
        {kMixDodge, 0, 65534, 0},
        {kMixDodge, 32767, 32768, 65535},
        {kMixDodge, 32766, 32768, 65533},
        {kMixBurn, 65535, 0, 0}, // s = 0 never divides
        {kMixBurn, 0, 65535, 0}, // quotient 65536: 0, not a wrapped difference
        {kMixBurn, 1, 65535, 1},
        {kMixBurn, 65535, 1, 65535},
        {kMixBurn, 32768, 65535, 32768},
        {kMixBurn, 0, 1, 0}, // quotient far above 65535
        {kMixReflect, 65535, 0, 65535},
        {kMixReflect, 65535, 1, 65535}, // quotient exactly 65536
        {kMixReflect, 0, 65535, 65535},
        {kMixReflect, 300, 65534, 65535},
        {kMixGlow, 65535, 0, 65535}, // d = 65535 never divides
        {kMixGlow, 0, 65535, 65535},
        {kMixGlow, 1, 65535, 65535},
        {kMixGlow, 65534, 2, 4},
        {kMixAdd, 65535, 65535, 65535},
        {kMixAdd, 30000, 35535, 65535},
        {kMixAdd, 30000, 35536, 65535},
        {kMixSubtract, 65535, 65535, 65535},
        {kMixSubtract, 30000, 35535, 0},
        {kMixSubtract, 30000, 35536, 1},
    };
    for (const Edge& e : edges) EXPECT_EQ(raw(e.mode, e.d, e.s), e.r) << e.mode << ": " << e.d << ", " << e.s;
}

TEST(MixModes, SoftLightIsComputedInDoublePrecision) {
    struct Soft {
        std::uint32_t d, s, r;
    };
    // The first three truncate differently in single precision (45419, 18751, 44986).
    const Soft cases[] = {
        {33214, 62522, 45418}, {31427, 7373, 18750},  {31202, 64991, 44987}, {30000, 32767, 29999},
        {30000, 32768, 30000}, {65535, 32768, 65535}, {0, 65535, 0},         {1, 65535, 255},
    };
    for (const Soft& c : cases) EXPECT_EQ(raw(kMixSoftLight, c.d, c.s), c.r) << c.d << ", " << c.s;
}

TEST(MixModes, PosterizeShiftFollowsTheAmount) {
    const int amounts[][2] = {{0, -16}, {119, -1}, {120, 0}, {127, 0},
                              {134, 0}, {135, 1},  {200, 9}, {255, 16}};
    for (const auto& a : amounts) EXPECT_EQ(posterize_shift(a[0]), a[1]) << a[0];
}

TEST(MixModes, AmountZeroReturnsTheSourceInEveryMixedMode) {
    core::Generator data{7};
    const auto channel = [&] {
        const int high = data.next();
        return static_cast<std::uint32_t>(high * 2 + (data.next() & 1));
    };
    for (int i = 0; i < 200; ++i) {
        const MixPixel d{{channel(), channel(), channel(), channel()}};
        const MixPixel s{{channel(), channel(), channel(), channel()}};
        for (int mode : kMixModeIds) {
            // Modes that paint regardless of the amount, or not at all for some lightness.
            if (mode == kMixPosterizeBits || mode == kMixLightnessToAlpha ||
                (mode >= kMixSkipDarks && mode <= kMixBankBrightLights))
                continue;
            core::Generator g{1};
            const MixOut out = mix_pixel(mode, params(0), d, s, g);
            for (int ch = 0; ch < 3; ++ch) ASSERT_EQ(out.o[ch], s.c[ch]) << "mode " << mode;
            ASSERT_EQ(out.oA, s.c[MixPixel::A]) << "mode " << mode;
        }
    }
}

TEST(MixModes, OnlyTheBankCanvasModesDrawFromTheGenerator) {
    const MixPixel& d = kCanvas;
    std::vector<int> modes(std::begin(kMixModeIds), std::end(kMixModeIds));
    modes.insert(modes.end(), {kMixNormal, kMixMultiply, 0, 300});
    for (int mode : modes) {
        const int draws = mode == kMixBankDarks || mode == kMixBankLights ? 1 : 0;
        for (std::uint32_t v : {0u, 32767u, 32768u, 65535u}) { // both sides of every lightness test
            const MixPixel s = grey(v);
            core::Generator dab{99}, pickup{99}, expected{99};
            for (int i = 0; i < draws; ++i) expected.next();
            mix_pixel(mode, params(200), d, s, dab);
            pickup_mix(mode, params(200), d, s, pickup);
            EXPECT_EQ(dab.state, expected.state) << "mode " << mode << " lightness " << v;
            EXPECT_EQ(pickup.state, expected.state) << "pick-up, mode " << mode << " lightness " << v;
        }
    }
}

TEST(MixModes, DispatchReachesEachKernelAndUnlistedIdsPaintTheSource) {
    for (int id : kMixModeIds) EXPECT_EQ(with_mix_kernel(id, [](auto k) { return decltype(k)::value; }), id);

    const MixPixel& d = kCanvas;
    const MixPixel s{{30000, 40000, 28300, 20000}};
    for (int id : std::initializer_list<int>{0, -1, 31, kMixNormal, kMixMultiply, 49, 248, 263, 294, 296, 339,
                                             341, 426, INT_MIN, INT_MAX}) {
        EXPECT_EQ(with_mix_kernel(id, [](auto k) { return decltype(k)::value; }), kMixUnlisted) << id;
        core::Generator g{1};
        const MixOut out = mix_pixel(id, params(200), d, s, g);
        for (int ch = 0; ch < 3; ++ch) {
            EXPECT_EQ(out.o[ch], s.c[ch]) << id;
            EXPECT_EQ(out.d[ch], d.c[ch]) << id;
        }
        EXPECT_EQ(out.oA, s.c[MixPixel::A]) << id;
    }
}

TEST(MixModes, OnlyLightnessToAlphaReplacesTheCanvasColour) {
    const MixPixel& d = kCanvas;
    const MixPixel s{{30000, 40000, 28300, 20000}};
    for (int mode : kMixModeIds) {
        core::Generator g{1};
        const MixOut out = mix_pixel(mode, params(200), d, s, g);
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_EQ(out.d[ch], mode == kMixLightnessToAlpha ? 32767u : d.c[ch]) << "mode " << mode;
    }
}

TEST(MixModes, ErasingGivesZeroAlphaWhereverTheModePaints) {
    struct Erase {
        int mode;
        std::uint32_t grey, oA;
    };
    const Erase cases[] = {
        {kMixScreen, 30000, 0},
        {kMixGradientMap, 30000, 0},
        {kMixPosterizeBits, 30000, 0},
        {kMixLightnessToAlpha, 30000, 0}, // not the lightness: an eraser never raises alpha
        {kMixSkipDarks, 30000, 0},
        {kMixSkipDarks, 10000, 40000}, // no paint keeps the canvas alpha
        {300, 30000, 0},
    };
    const MixPixel& d = kCanvas;
    for (const Erase& c : cases) {
        core::Generator g{1};
        const MixOut out = mix_pixel(c.mode, params(200, true), d, grey(c.grey), g);
        EXPECT_EQ(out.oA, c.oA) << "mode " << c.mode << " lightness " << c.grey;
    }
}

TEST(MixModes, PickupTakesRawResultsWithItsOwnRulesForNormalAndMultiply) {
    struct Pickup {
        int mode;
        MixPixel buffer;
        std::uint32_t r[3], rA;
    };
    const MixPixel& canvas = kCanvasA;
    const MixPixel buffer{{30000, 32767, 0, 20000}}; // lightness 20922
    const Pickup cases[] = {
        {kMixNormal, buffer, {30000, 32767, 0}, 20000},
        {kMixMultiply, buffer, {4577, 19999, 0}, 20000},
        {300, buffer, {30000, 32767, 0}, 20000},
        {kMixScreen, buffer, {35423, 52768, 65535}, 20000},
        {kMixGradientMap, buffer, {22352, 26448, 30544}, 20000}, // bank colours keep the buffer's alpha
        {kMixBankDarks, buffer, {0x1000, 0x2000, 0x3000}, 20000},
        {kMixSkipDarks, buffer, {30000, 32767, 0}, 20000},
        {kMixSkipDarks, {{10000, 10000, 10000, 20000}}, {10000, 40000, 65535}, 50000}, // no paint: the canvas
        {kMixPosterizeBits, buffer, {29696, 32256, 0}, 20000},                         // amount 200: shift 9
        {kMixLightnessToAlpha, buffer, {32767, 32767, 32767}, 20922},
    };
    for (const Pickup& c : cases) {
        core::Generator g{1};
        // The erase flag is set to show that the pick-up never erases.
        const MixPixel r = pickup_mix(c.mode, params(200, true), canvas, c.buffer, g);
        for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(r.c[ch], c.r[ch]) << "mode " << c.mode << " channel " << ch;
        EXPECT_EQ(r.c[MixPixel::A], c.rA) << "mode " << c.mode;
    }
}

} // namespace
} // namespace vlm::brush
