#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "core/engine_state.h"
#include "effect_pictures.h"
#include "support/child_process.h"
#include "support/engine_fixture.h"
#include "sweep_reference.h"

namespace vlm::effects::test {
namespace {

class Sweep : public vlm::test::EngineTest {
protected:
    // A picture of random bytes in [low, low + range).
    static Pictures picture(int w, int h, std::uint32_t seed, int low, int range, int chain) {
        Pictures pic(w, h);
        std::mt19937 gen(seed);
        for (std::size_t i = 0; i < pic.bytes(); ++i)
            pic.src[i] = static_cast<std::uint8_t>(low + gen() % range);
        // A chained run starts from a destination of its own.
        for (std::size_t i = 0; i < pic.bytes(); ++i)
            pic.dst[i] = chain ? static_cast<std::uint8_t>(low + gen() % range) : kGuardByte;
        return pic;
    }
};

struct SweepCase {
    const char* name;
    EffectArgs args;
};

const SweepCase kSweepCases[] = {
    {"Value Blur", args({300, 700})},
    {"Value Blur", args({1000, 1000})},
    {"Value Blur", args({0, 450})},
    {"Value Blur", args({-200, 1500})}, // weights beyond 16 bits
    {"Noise Reduction", args({0, 1000})},
    {"Noise Reduction", args({500, 100})},
    {"Noise Reduction", args({1000, 300})},
    {"Noise Reduction", args({-2500, 900})},
    {"Noise Reduction RGB", args({200, 300, 500, 600, 800, 900})},
    {"Noise Reduction RGB", args({0, 1000, 1000, 1000, 3000, 40})},
    {"Anti Alias", args({300, 700, 500, 500})},
    {"Anti Alias", args({1000, 0, 900, 950})},
    {"Anti Alias", args({500, 250, 1000, 1000})},
    {"Anti Alias", args({-500, 2000, 980, 700})},
};

// The kernels walk rows and columns with running pointers, snapshots and threads; the plain walk of the
// eight passes over the bounds-checked accessors must give the same bytes.
TEST_F(Sweep, MatchesThePlainWalkOfTheEightPasses) {
    const int sizes[][2] = {{1, 1}, {3, 3}, {2, 9}, {9, 2}, {4, 3}, {17, 13}, {40, 33}};
    const int contrast[][2] = {{0, 256}, {100, 40}};
    std::uint32_t seed = 1;
    for (const SweepCase& c : kSweepCases)
        for (const auto& size : sizes)
            for (const auto& range : contrast)
                for (int chain : {0, 1}) {
                    Pictures pic = picture(size[0], size[1], ++seed, range[0], range[1], chain);
                    Pictures ref = pic;
                    EffectArgs a = c.args;
                    a.chain = chain;
                    // The runner's copy and parameter block, then the plain walk on them.
                    ref.run("No Such Effect", a);
                    Params p = g_engine.effects.params;
                    reference_sweep(c.name, p);
                    pic.run(c.name, a);
                    ASSERT_EQ(pic.dst, ref.dst)
                        << c.name << " " << size[0] << "x" << size[1] << " values " << c.args.values[0] << ","
                        << c.args.values[1] << " range " << range[1] << " chain " << chain;
                    EXPECT_EQ(g_engine.effects.params.chain, 1)
                        << c.name; // every pass reads the passes before
                }
}

// With k = 65535 the blend gives Q - 1 whatever P is, so the count of steps that reach each pixel shows:
// on 3 x 3 the passes stop short of their far bounds and touch only the edge centres and the middle.
TEST_F(Sweep, LoopsStopBeforeTheirSecondBound) {
    Pictures pic(3, 3);
    pic.fill({100, 100, 100, 0});
    pic.run("Noise Reduction", args({0, 1000})); // V1 becomes 1: k = 65535; t = 255
    const int expected[3][3] = {{100, 99, 100}, {98, 99, 98}, {100, 98, 100}};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const int v = expected[y][x];
            EXPECT_EQ(pic.out(x, y), (Pixel{v, v, v, 0})) << x << "," << y; // alpha 0 has nothing to lose
        }
}

TEST_F(Sweep, IntegerBlendLosesOneStepAtTheEnds) {
    // On 3 x 3 only the first pass reaches (1, 0), from P = (0, 0).
    struct Case {
        int values[2];
        Pixel p, q, expected_q;
    };
    const Case cases[] = {
        {{1000, 1000}, {200, 200, 200, 200}, {10, 20, 30, 0}, {9, 19, 29, 0}}, // k = 65535: Q - 1
        {{0, 0}, {200, 200, 200, 200}, {10, 20, 30, 0}, {10, 20, 30, 0}},      // weight 0: no change
        {{1, 1}, {200, 150, 0, 0}, {10, 20, 30, 0}, {199, 149, 0, 0}},         // k = 65: about P - 1
    };
    for (const Case& c : cases) {
        Pictures pic(3, 3);
        pic.fill({255, 255, 255, 255});
        pic.set(0, 0, c.p);
        pic.set(1, 0, c.q);
        pic.run("Value Blur", args({c.values[0], c.values[1]}));
        EXPECT_EQ(pic.out(1, 0), c.expected_q) << c.values[0];
    }
}

TEST_F(Sweep, PicturesTwoPixelsAcrossAreLeftAlone) {
    for (const char* name : {"Value Blur", "Noise Reduction", "Noise Reduction RGB", "Anti Alias",
                             "Adaptive Blur", "Detail Blur", "Bas Relief"})
        for (const auto& [w, h] : {std::pair{7, 2}, {2, 7}, {1, 5}, {2, 2}}) {
            Pictures pic = picture(w, h, 3, 0, 256, 0);
            pic.run(name, args({1000, 1000, 1000, 1000, 1000, 1000}, {1, 1, 1, 1, 1, 1, 1, 1}));
            EXPECT_EQ(0, std::memcmp(pic.src.data(), pic.dst.data(), pic.bytes()))
                << name << " " << w << "x" << h;
        }
}

// Short of memory for its snapshot of the lums, "Anti Alias" walks on one thread and gives the same bytes.
TEST_F(Sweep, AntiAliasWithoutItsSnapshot) {
    if (vlm::test::sanitized_build())
        GTEST_SKIP() << "address-space limits do not apply under the address sanitizer";
    const int code = vlm::test::run_in_child([] {
        Pictures pic = picture(2048, 1024, 8, 90, 60, 0);
        const EffectArgs a = args({400, 600, 900, 900});
        pic.run("Anti Alias", a);
        const std::vector<std::uint8_t> with_snapshot = pic.dst;
        std::fill(pic.dst.begin(), pic.dst.end() - kGuard, 0);
        if (!vlm::test::limit_address_space(1u << 20)) return 10; // less than the 2 MB snapshot
        pic.run("Anti Alias", a);
        return pic.dst == with_snapshot ? 0 : 11;
    });
    EXPECT_EQ(code, 0);
}

} // namespace
} // namespace vlm::effects::test
