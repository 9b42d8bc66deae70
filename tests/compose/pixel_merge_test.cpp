// The alpha modes' source shaping with worked values, and the integer behaviour of VLM_MergePixel as a
// host sees it: skips, shortcuts onto transparent pixels, opacity, alpha lock, the alpha-layer opacity,
// ids without a mode and bad arguments. The float formulas are pinned in pixel_merge_formula_test.cpp.
#include <gtest/gtest.h>

#include <ostream>

#include "compose/blend_hsl.h"
#include "compose/pixel_merge.h"
#include "support/engine_fixture.h"

namespace vlm::compose {
namespace {

struct Px {
    int r, g, b, a;
    bool operator==(const Px&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Px& p) {
    return os << '(' << p.r << ", " << p.g << ", " << p.b << ", " << p.a << ')';
}

Px merge(Px d, const Px& s, int mode, int opacity = 255, int alpha_lock = 0) {
    VLM_MergePixel(&d.r, &d.g, &d.b, &d.a, s.r, s.g, s.b, s.a, mode, opacity, alpha_lock);
    return d;
}

using MergePixelTest = test::EngineTest;

// Source (colour, alpha) before and (colour, effective alpha) after shaping, with an alpha-layer
// opacity of 50000 so that it shows where a mode takes it. Worked out by hand from the shaping rules.
TEST(AlphaShaping, WorkedValues) {
    constexpr std::uint32_t K = 50000;
    struct Case {
        int mode;
        Px in, out;
    };
    // clang-format off
    const Case cases[] = {
        {28, {5, 6, 7, 0},              {5, 6, 7, 0}},
        {29, {1, 2, 3, 1000},           {65535, 65535, 65535, 64535}},
        {29, {1, 2, 3, 0},              {65535, 65535, 65535, 65535}},
        {30, {5, 6, 7, 1},              {0, 0, 0, K}},
        {30, {5, 6, 7, 65279},          {0, 0, 0, K}},
        {30, {5, 6, 7, 65280},          {5, 6, 7, 65280}},
        {30, {5, 6, 7, 0},              {5, 6, 7, 0}},
        {45, {5, 6, 7, 300},            {0, 0, 0, K}},
        {31, {5, 6, 7, 12287},          {5, 6, 7, K}},
        {31, {5, 6, 7, 12286},          {5, 6, 7, 53249}},
        {32, {5, 6, 7, 0},              {5, 6, 7, 0}},
        {33, {5, 6, 7, 1000},           {5, 6, 7, 64535}},
        {33, {5, 6, 7, 0},              {5, 6, 7, 0}},
        {34, {5, 6, 7, 20000},          {20000, 20000, 20000, K}},
        {35, {30000, 20000, 65535, 20000}, {4466, 0, 40001, K}},     // k = 25534 taken off
        {35, {30000, 40000, 0, 50000},  {64466, 65535, 34466, K}},   // k = 34466 added, held at 65535
        {36, {30000, 20000, 65535, 20000}, {4466, 0, 40001, K}},
        {37, {30000, 20000, 10, 30000}, {30000, 20000, 10, 24466}},  // 30000 - 2 x 2767
        {37, {30000, 20000, 10, 10000}, {30000, 20000, 10, 0}},
        {37, {30000, 40000, 0, 50000},  {64466, 65535, 34466, K}},
        {38, {5, 6, 7, 30000},          {5, 6, 7, 18932}},           // 30000 - 4 x 2767
        {38, {5, 6, 7, 20000},          {5, 6, 7, 0}},
        {38, {5, 6, 7, 40000},          {5, 6, 7, K}},
        {39, {5, 6, 7, 9000},           {5, 6, 7, 51775}},           // 65535 - 215 x 64
        {39, {5, 6, 7, 8190},           {5, 6, 7, 0}},
        {39, {5, 6, 7, 8191},           {5, 6, 7, 0}},               // the ramp saturates at 65536
        {39, {5, 6, 7, 9214},           {5, 6, 7, 65471}},
        {39, {5, 6, 7, 9215},           {5, 6, 7, K}},
        {40, {40000, 1000, 0, 16384},   {20000, 500, 0, K}},
        {40, {40000, 1000, 0, 50000},   {53429, 34940, 34466, K}},
        {40, {40000, 1000, 0, 8190},    {9997, 249, 0, 0}},
        // Full alpha lifts by a factor just above 1: 65537 and 65536 are held at 65535 instead of wrapping.
        {40, {40000, 1000, 0, 65535},   {65535, 65535, 65535, K}},
        {41, {40000, 1000, 0, 16384},   {30000, 750, 0, K}},         // single precision, x = 0.24998856
        {42, {40000, 1000, 0, 20000},   {17517, 437, 0, K}},
        {42, {40000, 1000, 0, 50000},   {51700, 30571, 30029, K}},
        {42, {40000, 1000, 0, 65535},   {65535, 65535, 65535, K}},
        {42, {40000, 1000, 0, 0},       {0, 0, 0, 0}},               // x = 1.2287: below zero, held at 0
        {43, {40000, 1000, 0, 9000},    {2850, 71, 0, 51775}},
        {44, {40000, 1000, 0, 9000},    {10986, 274, 0, 51775}},
        {46, {5, 6, 7, 32513},          {5, 6, 7, 0}},
        {46, {5, 6, 7, 32512},          {5, 6, 7, 32512}},
        {47, {5, 6, 7, 40000},          {5, 6, 7, 0}},
        {48, {30000, 30000, 30000, 123}, {65535, 65535, 65535, 30000}},
        {49, {30000, 30001, 30002, 123}, {0, 0, 0, 35534}},
    };
    // clang-format on
    for (const Case& c : cases) {
        Rgba16 s{
            {std::uint32_t(c.in.r), std::uint32_t(c.in.g), std::uint32_t(c.in.b), std::uint32_t(c.in.a)}};
        shape_alpha_source(c.mode, s, K);
        const Px got{int(s.c[0]), int(s.c[1]), int(s.c[2]), int(s.c[3])};
        EXPECT_EQ(got, c.out) << "mode " << c.mode << " source " << c.in;
    }
}

// Before any float work: transparent sources are skipped below the alpha modes, and a transparent
// destination takes the (shaped) source as it is, or stays empty for the modes that only recolour.
TEST_F(MergePixelTest, TransparentSourceOrDestination) {
    const Px src{100, 200, 300, 40000};
    struct Case {
        int mode;
        Px d, s, out;
    };
    // clang-format off
    const Case cases[] = {
        {1,  {1, 2, 3, 4},     {9, 9, 9, 0}, {1, 2, 3, 4}},
        {1,  {1, 2, 3, 0},     {9, 9, 9, 0}, {1, 2, 3, 0}},
        {26, {1, 2, 3, 0},     {9, 9, 9, 0}, {1, 2, 3, 0}},
        {28, {1, 2, 3, 0},     {9, 9, 9, 0}, {0, 0, 0, 0}},   // alpha modes run on a transparent source
        {28, {1, 2, 3, 4},     {9, 9, 9, 0}, {1, 2, 3, 4}},   // ... and then keep a visible destination
        {47, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},
        {0,  {1, 2, 3, 0},     src,          {100, 200, 300, 40000}},
        {1,  {1, 2, 3, 0},     src,          {100, 200, 300, 40000}},
        {16, {1, 2, 3, 0},     src,          {100, 200, 300, 40000}},
        {34, {1, 2, 3, 0},     src,          {40000, 40000, 40000, 65535}},
        {17, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},
        {18, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},
        {24, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},
        {25, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},
        {26, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},
        {36, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},   // goes on as Texturize2
        {37, {1, 2, 3, 0},     src,          {0, 0, 0, 0}},
    };
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(merge(c.d, c.s, c.mode), c.out) << "mode " << c.mode;
}

// Normal copies a source of alpha 65280 or more exactly, colour above 65280 included; every other mode,
// the Normal-like ones too, goes through the float path, whose colours never pass 65280.
TEST_F(MergePixelTest, OnlyNormalCopiesAnOpaqueSource) {
    const Px d{1000, 2000, 3000, 65535};
    EXPECT_EQ(merge(d, {65535, 0, 12345, 65280}, 0), (Px{65535, 0, 12345, 65280}));
    EXPECT_EQ(merge(d, {65535, 0, 12345, 65535}, 0), (Px{65535, 0, 12345, 65535}));
    for (int mode : {13, 14, 27, 28}) {
        const Px out = merge(d, {65535, 0, 65280, 65535}, mode);
        EXPECT_EQ(out, (Px{65280, 0, 65280, 65535})) << "mode " << mode;
    }
}

TEST_F(MergePixelTest, OpacityScalesTheEffectiveAlpha) {
    const Px d{0, 0, 0, 0}, s{10, 20, 30, 65535};
    const struct {
        int opacity, alpha;
    } cases[] = {{127, 32767}, {0, 255}, {-7, 255}, {254, 65279}, {255, 65535}, {1000, 65535}};
    for (const auto& c : cases) EXPECT_EQ(merge(d, s, 0, c.opacity).a, c.alpha) << "opacity " << c.opacity;
    // An alpha mode's shaped alpha is scaled after shaping: the alpha-layer opacity 65535, halved.
    EXPECT_EQ(merge(d, {10, 20, 30, 5}, 34, 127), (Px{5, 5, 5, 32767}));
}

// The lock keeps the destination alpha on every path that writes; only its low byte counts.
TEST_F(MergePixelTest, AlphaLockKeepsDestinationAlpha) {
    const struct {
        int mode;
        Px d, s;
    } cases[] = {
        {0, {1, 2, 3, 40000}, {500, 600, 700, 65535}}, // opaque copy
        {1, {1, 2, 3, 40000}, {500, 600, 700, 30000}}, // float path
        {1, {1, 2, 3, 0}, {500, 600, 700, 30000}},     // transparent destination
        {17, {1, 2, 3, 0}, {500, 600, 700, 30000}},    // cleared transparent destination
        {28, {1, 2, 3, 0}, {500, 600, 700, 0}},
    };
    for (const auto& c : cases) {
        const Px unlocked = merge(c.d, c.s, c.mode);
        EXPECT_NE(unlocked, c.d) << "mode " << c.mode;
        EXPECT_EQ(merge(c.d, c.s, c.mode, 255, 0x100), unlocked) << "mode " << c.mode;
        for (int lock : {1, 0xFF, 0x1FF})
            EXPECT_EQ(merge(c.d, c.s, c.mode, 255, lock), (Px{unlocked.r, unlocked.g, unlocked.b, c.d.a}))
                << "mode " << c.mode << " lock " << lock;
    }
}

TEST_F(MergePixelTest, AlphaLayerOpacityFeedsTheAlphaModes) {
    const struct {
        int percent, stored;
    } cases[] = {{50, 32767}, {0, 0}, {1, 655}, {33, 21626}, {100, 65535}, {150, 65535}, {-5, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(VLM_SetAlphaLayerOpacity(c.percent), c.stored) << c.percent;
        EXPECT_EQ(merge({0, 0, 0, 0}, {1, 2, 3, 20000}, 34).a, c.stored) << c.percent;
    }
}

// Ids without a mode merge as id 27 does: the Normal formula on the float path, transparent sources skipped.
TEST_F(MergePixelTest, IdsWithoutAModeMergeAsNormalFormula) {
    const Px d{1000, 2000, 3000, 50000}, s{65535, 30000, 0, 65535};
    const Px as27 = merge(d, s, 27);
    EXPECT_EQ(as27, merge(d, s, 28));
    EXPECT_NE(as27, merge(d, s, 0));
    for (int mode : {-1, -100000, 50, 1000, 0x7FFFFFFF}) {
        EXPECT_EQ(merge(d, s, mode), as27) << mode;
        EXPECT_EQ(merge({1, 2, 3, 0}, {9, 9, 9, 0}, mode), (Px{1, 2, 3, 0})) << mode;
    }
}

TEST_F(MergePixelTest, BadArgumentsAreHeldToSixteenBits) {
    int r = 1, g = 2, b = 3, a = 4;
    VLM_MergePixel(nullptr, &g, &b, &a, 9, 9, 9, 65535, 0, 255, 0);
    VLM_MergePixel(&r, &g, &b, nullptr, 9, 9, 9, 65535, 0, 255, 0);
    EXPECT_EQ((Px{r, g, b, a}), (Px{1, 2, 3, 4}));

    const Px s{40000, 1000, 50, 30000};
    EXPECT_EQ(merge({70000, -5, 3, 100000}, s, 1), merge({65535, 0, 3, 65535}, s, 1));
    EXPECT_EQ(merge({500, 600, 700, 65535}, {-1, 70000, 5, 1 << 30}, 0), (Px{0, 65535, 5, 65535}));
    EXPECT_EQ(merge({500, 600, 700, 65535}, {1, 2, 3, -20}, 0), (Px{500, 600, 700, 65535}));
}

// The hue modes' float HSL pair, on colours whose hue, saturation and lightness are exact.
TEST(BlendHsl, KnownColours) {
    const struct {
        RgbF rgb;
        HslF hsl;
    } cases[] = {
        {{1, 0, 0}, {0, 1, 0.5f}},          {{0, 1, 0}, {120, 1, 0.5f}}, {{0, 0, 1}, {240, 1, 0.5f}},
        {{0.5f, 0.5f, 0.5f}, {0, 0, 0.5f}}, {{1, 0, 1}, {300, 1, 0.5f}}, {{0, 0, 0.5f}, {240, 1, 0.25f}},
    };
    for (const auto& c : cases) {
        const HslF h = rgb_to_hsl(c.rgb.r, c.rgb.g, c.rgb.b);
        EXPECT_NEAR(h.h, c.hsl.h, 1e-4) << c.hsl.h;
        EXPECT_NEAR(h.s, c.hsl.s, 1e-6) << c.hsl.h;
        EXPECT_NEAR(h.l, c.hsl.l, 1e-6) << c.hsl.h;
        const RgbF back = hsl_to_rgb(c.hsl.h, c.hsl.s, c.hsl.l);
        EXPECT_NEAR(back.r, c.rgb.r, 1e-6) << c.hsl.h;
        EXPECT_NEAR(back.g, c.rgb.g, 1e-6) << c.hsl.h;
        EXPECT_NEAR(back.b, c.rgb.b, 1e-6) << c.hsl.h;
    }
    // A hue of 360 is red again.
    const RgbF red = hsl_to_rgb(360, 1, 0.5f);
    EXPECT_EQ(red.r, 1.0f);
    EXPECT_EQ(red.g, 0.0f);
    EXPECT_EQ(red.b, 0.0f);
}

} // namespace
} // namespace vlm::compose
