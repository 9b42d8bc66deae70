#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

#include "core/colour_space.h"
#include "core/engine_state.h"
#include "effect_pictures.h"
#include "effects/pixels.h"
#include "support/engine_fixture.h"

namespace vlm::effects::test {
namespace {

int ref_lum(const Bytes& b) { return (b.r + b.g + b.b) / 3; }

// The neighbourhood effects written plainly over the bounds-checked accessors, one inner pixel after
// another in rows from the top (so a chained run sees the pixels it has already written).
void reference_neighbourhood(std::string_view name, Params& p) {
    const auto inner = [&](const auto& fn) {
        for (int y = 1; y < p.height - 1; ++y)
            for (int x = 1; x < p.width - 1; ++x) fn(x, y);
    };
    const auto block_sum = [&](int x, int y, auto&& value) {
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) sum += value(read_bytes(p, x + dx, y + dy));
        return sum;
    };
    if (name == "Adaptive Blur") {
        const double d = (1 - p.v1) * 255;
        inner([&](int x, int y) {
            const Bytes P = read_bytes(p, x, y);
            const Bytes n[4] = {read_bytes(p, x - 1, y), read_bytes(p, x + 1, y), read_bytes(p, x, y - 1),
                                read_bytes(p, x, y + 1)};
            const int l = ref_lum(P);
            for (const Bytes& N : n) {
                if (!(std::abs(l - ref_lum(N)) > d)) continue;
                const double w = l > ref_lum(N) ? p.v2 : p.v3;
                const auto channel = [&](int P, int a, int b, int c, int e) {
                    const int s1 = to_int((1 - w) * P);
                    const int a1 = to_int(s1 + w * a);
                    const int a2 = to_int(s1 + a1 + w * b);
                    const int a3 = to_int(s1 + a2 + w * c);
                    return to_int(s1 + a3 + w * e) / 4;
                };
                write_bytes(p, x, y, channel(P.r, n[0].r, n[1].r, n[2].r, n[3].r),
                            channel(P.g, n[0].g, n[1].g, n[2].g, n[3].g),
                            channel(P.b, n[0].b, n[1].b, n[2].b, n[3].b),
                            channel(P.a, n[0].a, n[1].a, n[2].a, n[3].a));
                return;
            }
        });
    } else if (name == "Detail Blur") {
        const int t = to_int(p.v1 * 255);
        inner([&](int x, int y) {
            const int m = to_int(block_sum(x, y, ref_lum) * 0.1111111111111111);
            if (std::abs(ref_lum(read_bytes(p, x, y)) - m) <= t) return;
            const auto mean = [&](auto channel) {
                return to_int(block_sum(x, y, channel) * 0.1111111111111111);
            };
            write_bytes(p, x, y, mean([](const Bytes& b) { return b.r; }),
                        mean([](const Bytes& b) { return b.g; }), mean([](const Bytes& b) { return b.b; }),
                        mean([](const Bytes& b) { return b.a; }));
        });
    } else if (name == "Bas Relief") {
        inner([&](int x, int y) {
            const int nx = p.option1 == 0 || p.option1 == 2 ? x - 1 : x;
            const int ny = p.option1 == 1 || p.option1 == 2 ? y - 1 : y;
            const Bytes P = read_bytes(p, x, y), N = read_bytes(p, nx, ny);
            const core::Hsl hp = core::rgb_to_hsl(P.r, P.g, P.b), hn = core::rgb_to_hsl(N.r, N.g, N.b);
            double s = hp.s, l = hp.l;
            if (hp.l > hn.l) l = hp.l + (1 - hp.l) * p.v1;
            if (hp.l < hn.l) l = hp.l - hp.l * p.v1;
            if (hp.s > hn.s) s = hp.s + (1 - hp.s) * p.v1;
            if (hp.s < hn.s) s = hp.s - hp.s * p.v1;
            write_hsl(p, x, y, hp.h, s, l);
        });
    } else if (name == "Line Art Cleaner") {
        // Alpha stays as the destination holds it.
        Params destination = p;
        destination.chain = 1;
        const int t1 = to_int(p.v1 * 255), t2 = to_int(p.v2 * 255);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x) {
                const int v = ref_lum(read_bytes(p, x, y)) >= t1 ? 255 : 0;
                write_bytes(p, x, y, v, v, v, read_bytes(destination, x, y).a);
            }
        std::memcpy(p.source, p.destination, static_cast<std::size_t>(p.height) * p.pitch);
        inner([&](int x, int y) {
            const int l = ref_lum(read_bytes(p, x, y));
            if (l < t1 && l < to_int(block_sum(x, y, ref_lum) * 0.1111111111111111) - t2)
                write_bytes(p, x, y, 255, 255, 255, read_bytes(destination, x, y).a);
        });
    }
}

struct NeighbourhoodCase {
    const char* name;
    EffectArgs args;
};

const NeighbourhoodCase kNeighbourhoodCases[] = {
    {"Adaptive Blur", args({800, 300, 700})},
    {"Adaptive Blur", args({1000, 1000, 0})},
    {"Adaptive Blur", args({1500, -400, 2500})}, // every neighbour differs "enough"
    {"Detail Blur", args({0})},
    {"Detail Blur", args({100})},
    {"Bas Relief", args({400}, {0})},
    {"Bas Relief", args({900}, {1})},
    {"Bas Relief", args({250}, {2})},
    {"Bas Relief", args({600}, {3})},
    {"Line Art Cleaner", args({500, 100})},
    {"Line Art Cleaner", args({300, 0})},
};

TEST(Neighbourhood, MatchesThePlainWalkAndLeavesTheBorder) {
    const int sizes[][2] = {{3, 3}, {4, 5}, {17, 9}, {33, 20}};
    std::uint32_t seed = 40;
    for (const NeighbourhoodCase& c : kNeighbourhoodCases)
        for (const auto& size : sizes)
            for (int chain : {0, 1}) {
                const int w = size[0], h = size[1];
                Pictures pic(w, h);
                std::mt19937 gen(++seed);
                for (std::size_t i = 0; i < pic.bytes(); ++i) {
                    pic.src[i] = static_cast<std::uint8_t>(gen());
                    if (chain) pic.dst[i] = static_cast<std::uint8_t>(gen());
                }
                Pictures ref = pic;
                EffectArgs a = c.args;
                a.chain = chain;
                ref.run("No Such Effect", a);
                const std::vector<std::uint8_t> before = ref.dst;
                Params p = g_engine.effects.params;
                reference_neighbourhood(c.name, p);
                pic.run(c.name, a);
                const std::string what = std::string(c.name) + " " + std::to_string(w) + "x" +
                                         std::to_string(h) + " chain " + std::to_string(chain) + " v1 " +
                                         std::to_string(a.values[0]);
                ASSERT_EQ(pic.dst, ref.dst) << what;
                if (std::string_view(c.name) == "Line Art Cleaner")
                    continue; // its first step takes every pixel
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x) {
                        const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
                        if (border) {
                            ASSERT_EQ(0, std::memcmp(pic.at(pic.dst, x, y), &before[(y * w + x) * 4], 4))
                                << what;
                        }
                    }
            }
}

TEST(Neighbourhood, AdaptiveBlurWeighsByTheFirstNeighbourThatDiffers) {
    struct Case {
        Pixel left;
        Pixel expected;
    };
    const Pixel centre{90, 100, 110, 200};
    const Case cases[] = {
        // The left neighbour is darker: the centre is the brighter, weight V2 = 0.3.
        {{10, 20, 30, 40}, {96, 101, 105, 165}},
        // Left equal: the right (lum 150) decides, the centre is the darker, weight V3 = 0.7 (700 x 0.001).
        {centre, {121, 117, 113, 147}},
    };
    for (const Case& c : cases) {
        Pictures pic(3, 3);
        pic.fill({0, 0, 0, 0}); // the up neighbour
        pic.set(1, 1, centre);
        pic.set(0, 1, c.left);
        pic.set(2, 1, {200, 150, 100, 50});
        pic.set(1, 2, {255, 255, 255, 255});
        pic.run("Adaptive Blur", args({1000, 300, 700})); // any difference counts
        EXPECT_EQ(pic.out(1, 1), c.expected);
    }
    // A threshold no neighbour passes leaves the pixel alone.
    Pictures pic(3, 3);
    pic.fill({100, 100, 100, 100});
    pic.set(1, 1, {110, 110, 110, 7});
    pic.run("Adaptive Blur", args({961, 300, 700})); // d = 9.945: the differences are exactly 10
    EXPECT_EQ(pic.out(1, 1), (Pixel{107, 107, 107, 34}));
    pic.run("Adaptive Blur", args({960, 300, 700})); // d = 10.2
    EXPECT_EQ(pic.out(1, 1), (Pixel{110, 110, 110, 7}));
}

TEST(Neighbourhood, DetailBlurReplacesOutliersByTheBlockMean) {
    Pictures pic(3, 3);
    pic.fill({90, 90, 90, 255});
    pic.set(1, 1, {180, 180, 180, 0});   // lum mean 100, difference 80
    pic.run("Detail Blur", args({313})); // t = 79
    EXPECT_EQ(pic.out(1, 1), (Pixel{100, 100, 100, 226}));
    pic.run("Detail Blur", args({314})); // t = 80
    EXPECT_EQ(pic.out(1, 1), (Pixel{180, 180, 180, 0}));
}

class LineArtCleaner : public vlm::test::CanvasTest {};

TEST_F(LineArtCleaner, RemovesIsolatedSpecksAndHandsTheCleanStepToTheLayer) {
    VLM_CreateLayer(2, kWidth, kHeight);
    VLM_SetLayer(2);
    VLM_IPLAllocSrcBuffer32();
    VLM_IPLAllocDstBuffer32();
    struct Case {
        int value2;
        int speck_after;
    };
    // A black pixel in white: block mean 226; the speck goes when t2 = trunc(V2 x 255) is below 226.
    for (const Case& c : {Case{880, 255}, Case{890, 0}}) {
        std::vector<std::uint8_t> src(static_cast<std::size_t>(kWidth) * kHeight * 4, 230);
        std::uint8_t* speck = &src[(10 * kWidth + 20) * 4];
        speck[0] = speck[1] = speck[2] = 20;
        VLM_IPLSetSrcBuffer32(src.data());
        run_builtin_effect("Line Art Cleaner", args({500, c.value2}));
        const std::uint8_t* out = g_engine.imaging.dst32.pixels;
        EXPECT_EQ(out[(10 * kWidth + 20) * 4], c.speck_after) << c.value2;
        EXPECT_EQ(out[(10 * kWidth + 21) * 4 + 1], 255);
        EXPECT_EQ(out[(10 * kWidth + 20) * 4 + 3], 230);

        // The layer holds the black-and-white picture before the specks went, as does the source buffer.
        std::vector<std::uint8_t> layer(src.size());
        VLM_GetRGBA32(layer.data(), kWidth * 4);
        EXPECT_EQ(layer[(10 * kWidth + 20) * 4], 0);
        EXPECT_EQ(layer[(10 * kWidth + 21) * 4], 255);
        EXPECT_EQ(layer[(10 * kWidth + 21) * 4 + 3], 230);
        EXPECT_EQ(g_engine.imaging.src32.pixels[(10 * kWidth + 20) * 4], 0);
    }
}

} // namespace
} // namespace vlm::effects::test
