#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/engine_state.h"
#include "core/parallel.h"
#include "effect_pictures.h"
#include "effects/pixels.h"
#include "effects/runner.h"
#include "imaging/processing_buffers.h"
#include "support/engine_fixture.h"

namespace vlm::effects::test {
namespace {

using vlm::test::CanvasTest;
using vlm::test::EngineTest;

const char* const kBuiltinNames[] = {
    "Anti Alias",       "Adaptive Blur",
    "Line Art Cleaner", "Basic Threshold",
    "Alpha Edge Color", "Adjust Lab",
    "Detail Blur",      "Value Blur",
    "Noise Reduction",  "Noise Reduction RGB",
    "Hyper Contrast",   "Bas Relief",
    "Grayscale",        "Invert",
    "Channel",          "Fader",
    "Adjust RGBA",      "Clamp",
};

TEST(EffectTable, HoldsEveryEffectOnceUnderItsExactName) {
    std::set<std::string_view> names;
    for (const BuiltinEffect& e : builtin_effects()) {
        EXPECT_TRUE(names.insert(e.name).second) << e.name;
        EXPECT_NE(e.run, nullptr) << e.name;
        EXPECT_EQ(find_builtin_effect(std::string(e.name).c_str()), e.run) << e.name;
    }
    for (const char* name : kBuiltinNames) EXPECT_TRUE(names.count(name)) << name;
    for (const char* name : {"grayscale", "Grayscale ", " Invert", "Value", "", "Noise Reduction rgb"})
        EXPECT_EQ(find_builtin_effect(name), nullptr) << '"' << name << '"';
    EXPECT_EQ(find_builtin_effect(nullptr), nullptr);
}

class Runner : public EngineTest {};

TEST_F(Runner, FillsTheParameterBlock) {
    Pictures pic(3, 2);
    EffectArgs a;
    a.chain = 0x100; // only the low byte counts
    a.reserved = -9;
    for (int i = 0; i < 6; ++i) a.values[i] = (i - 2) * 750;
    const int options[8] = {-7, 70000, 0x101, 0x1FF, 2, 0, 256, 1};
    std::copy(std::begin(options), std::end(options), a.options);
    a.red = 255, a.green = 0, a.blue = 51;
    pic.run("No Such Effect", a);

    const Params& p = g_engine.effects.params;
    const double values[6] = {-1.5, -0.75, 0.0, 0.75, 1.5, 2.25};
    const double got[6] = {p.v1, p.v2, p.v3, p.v4, p.v5, p.v6};
    for (int i = 0; i < 6; ++i) EXPECT_DOUBLE_EQ(got[i], values[i]) << i;
    EXPECT_EQ(p.option1, -7);
    EXPECT_EQ(p.option2, 70000);
    const int low[6] = {1, 0xFF, 2, 0, 0, 1};
    const int opts[6] = {p.option3, p.option4, p.option5, p.option6, p.option7, p.option8};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(opts[i], low[i]) << "option" << i + 3;
    EXPECT_DOUBLE_EQ(p.red, 1.0);
    EXPECT_EQ(p.green, 0.0);
    EXPECT_DOUBLE_EQ(p.blue, 0.2);
    EXPECT_EQ(p.chain, 0);
    EXPECT_EQ(p.reserved, -9);
    EXPECT_EQ(p.source, pic.src.data());
    EXPECT_EQ(p.destination, pic.dst.data());
    EXPECT_EQ(p.width, 3);
    EXPECT_EQ(p.height, 2);
    EXPECT_EQ(p.pitch, 12);
}

TEST_F(Runner, UnknownNameLeavesACopyUnlessChained) {
    Pictures pic(5, 3);
    pic.randomize(4);
    pic.run("Blur", args({500}));
    EXPECT_EQ(0, std::memcmp(pic.src.data(), pic.dst.data(), pic.bytes()));
    EXPECT_TRUE(pic.guards_intact());

    Pictures chained(5, 3);
    chained.randomize(5);
    chained.run(nullptr, args({}, {}, 1));
    for (std::size_t i = 0; i < chained.dst.size(); ++i) ASSERT_EQ(chained.dst[i], kGuardByte) << i;
}

TEST_F(Runner, ChainReadsTheDestination) {
    Pictures pic(2, 1);
    pic.fill({10, 20, 30, 40});
    std::memset(pic.dst.data(), 100, pic.bytes());
    pic.run("Invert", args({}, {}, 1));
    EXPECT_EQ(pic.out(0, 0), (Pixel{155, 155, 155, 100}));
    pic.run("Invert", args({}, {}, 0));
    EXPECT_EQ(pic.out(1, 0), (Pixel{245, 235, 225, 40}));
}

TEST_F(Runner, CallerBuffersMustBeThereAndSized) {
    Pictures pic(4, 4);
    pic.randomize(6);
    for (int size : {0, -1}) {
        run_builtin_effect_on(pic.src.data(), pic.dst.data(), size, 4, "Invert", {});
        run_builtin_effect_on(pic.src.data(), pic.dst.data(), 4, size, "Invert", {});
    }
    run_builtin_effect_on(nullptr, pic.dst.data(), 4, 4, "Invert", {});
    run_builtin_effect_on(pic.src.data(), nullptr, 4, 4, "Invert", {});
    run_builtin_effect_on(pic.src.data(), pic.dst.data(), 1 << 30, 1, "Invert", {});
    for (std::size_t i = 0; i < pic.dst.size(); ++i) ASSERT_EQ(pic.dst[i], kGuardByte) << i;
}

// Every effect, on pictures down to a single pixel and with settings far outside their usual ranges,
// stays inside its two buffers.
TEST_F(Runner, EveryEffectStaysInsideItsBuffers) {
    const EffectArgs settings[] = {
        args({500, 500, 500, 500, 500, 500}, {0, 0, 1, 1, 1, 1, 1, 1}),
        args({1000, 0, 1000, 0, 1000, 0}, {1, 1, 0, 1, 0, 1, 0, 1}, 1),
        args({-5000, 90000, -1, 2000000000, -2000000000, 7}, {2, -3, 255, 2, 1, 0, 1, 0}),
    };
    const int sizes[][2] = {{1, 1}, {2, 1}, {1, 2}, {2, 2}, {3, 3}, {4, 7}, {9, 2}};
    for (const BuiltinEffect& e : builtin_effects())
        for (const auto& size : sizes)
            for (const EffectArgs& a : settings) {
                Pictures pic(size[0], size[1]);
                pic.randomize(static_cast<std::uint32_t>(size[0] * 31 + size[1]));
                pic.run(std::string(e.name).c_str(), a);
                EXPECT_TRUE(pic.guards_intact()) << e.name << " " << size[0] << "x" << size[1];
            }
}

// Splitting rows over two threads changes no byte of any effect, chained or not.
TEST_F(Runner, OneThreadAgainstTwo) {
    struct Restore {
        ~Restore() { core::set_parallel_threads(0); }
    } restore;
    const EffectArgs settings[] = {
        args({700, 300, 400, 600, 250, 800}, {1, 2, 1, 1, 1, 1, 1, 1}),
        args({200, 900, 800, 100, 650, 150}, {0, 0, 1, 0, 0, 1, 0, 0}, 1),
    };
    for (const BuiltinEffect& e : builtin_effects())
        for (const EffectArgs& a : settings) {
            std::vector<std::uint8_t> results[2];
            for (int threads : {1, 2}) {
                core::set_parallel_threads(threads);
                Pictures pic(263, 131); // more work than one thread is given
                pic.randomize(11);
                std::memcpy(pic.dst.data(), pic.src.data(), pic.bytes());
                // A chained run reads a destination that differs from the source.
                for (std::size_t i = 0; i < pic.bytes(); i += 7) pic.dst[i] ^= 0x5C;
                pic.run(std::string(e.name).c_str(), a);
                results[threads - 1] = pic.dst;
            }
            EXPECT_EQ(results[0], results[1]) << e.name << " chain " << a.chain;
        }
}

class IplRunner : public CanvasTest {
protected:
    static constexpr std::size_t kBytes = static_cast<std::size_t>(kWidth) * kHeight * 4;
    imaging::State& buffers() { return g_engine.imaging; }
    std::vector<std::uint8_t> picture(std::uint8_t seed) {
        std::vector<std::uint8_t> v(kBytes);
        for (std::size_t i = 0; i < kBytes; ++i) v[i] = static_cast<std::uint8_t>(i * 13 + seed);
        return v;
    }
    std::vector<std::uint8_t> destination() {
        return {buffers().dst32.pixels, buffers().dst32.pixels + kBytes};
    }
};

TEST_F(IplRunner, RunsOnTheProcessingBuffers) {
    VLM_IPLAllocSrcBuffer32();
    VLM_IPLAllocDstBuffer32();
    const std::vector<std::uint8_t> src = picture(1);
    VLM_IPLSetSrcBuffer32(src.data());
    run_builtin_effect("Invert", {});
    const std::vector<std::uint8_t> dst = destination();
    for (std::size_t i = 0; i < kBytes; ++i) ASSERT_EQ(dst[i], i % 4 == 3 ? src[i] : 255 - src[i]) << i;
    EXPECT_EQ(g_engine.effects.params.width, kWidth);
    EXPECT_EQ(g_engine.effects.params.pitch, kWidth * 4);
}

TEST_F(IplRunner, DoesNothingWithoutBothBuffers) {
    VLM_IPLAllocDstBuffer32();
    const std::vector<std::uint8_t> before = picture(2);
    VLM_IPLSetDstBuffer32(before.data());
    run_builtin_effect("Invert", {});
    EXPECT_EQ(destination(), before);

    VLM_IPLAllocSrcBuffer32();
    VLM_IPLFreeDstBuffer32();
    run_builtin_effect("Invert", {}); // no destination: nothing to write
    EXPECT_EQ(buffers().dst32.pixels, nullptr);
}

TEST_F(IplRunner, RefusesBuffersOfAnotherSize) {
    VLM_IPLAllocSrcBuffer32();
    VLM_IPLAllocDstBuffer32();
    // A destination left from a smaller canvas: running on it would write past its end.
    std::vector<std::uint8_t> stale(kBytes / 2, 9);
    imaging::Buffer held = buffers().dst32;
    buffers().dst32 = {stale.data(), stale.size()};
    run_builtin_effect("Invert", {});
    buffers().dst32 = held;
    EXPECT_EQ(stale, std::vector<std::uint8_t>(kBytes / 2, 9));

    // After a resize the buffers are gone until the host allocates them again, at the new size.
    VLM_NewSize(nullptr, 20, 10, kMaxBrush, 0);
    run_builtin_effect("Invert", {});
    VLM_IPLAllocSrcBuffer32();
    VLM_IPLAllocDstBuffer32();
    run_builtin_effect("Grayscale", {});
    EXPECT_EQ(g_engine.effects.params.width, 20);
    EXPECT_EQ(g_engine.effects.params.height, 10);
}

} // namespace
} // namespace vlm::effects::test
