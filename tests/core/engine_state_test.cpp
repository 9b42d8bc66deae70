#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/engine_state.h"
#include "core/memory.h"
#include "core/random.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

using EngineStateTest = EngineTest;

TEST_F(EngineStateTest, LastErrorKeepsAtMost511CharactersAndSurvivesSuccess) {
    EXPECT_STREQ(VLM_GetLastError(), "");
    const std::string long_text(600, 'x');
    VLM_SetLastError(long_text.c_str());
    EXPECT_EQ(std::string(VLM_GetLastError()), std::string(511, 'x'));
    VLM_SetLastError(nullptr); // ignored
    EXPECT_EQ(std::strlen(VLM_GetLastError()), 511u);

    VLM_SetLastError("CreateImage Excpt");
    VLM_CreateImage(nullptr, 8, 8, 4, 0); // a success does not clear the text
    VLM_SetStartDir("/tmp");
    EXPECT_STREQ(VLM_GetLastError(), "CreateImage Excpt");
}

TEST_F(EngineStateTest, MemcpyCopiesOnlyWithBothPointersAndAPositiveCount) {
    char dst[4] = {'a', 'b', 'c', 'd'};
    const char src[4] = {'w', 'x', 'y', 'z'};
    VLM_Memcpy(nullptr, src, 4);
    VLM_Memcpy(dst, nullptr, 4);
    VLM_Memcpy(dst, src, -1);
    EXPECT_EQ(std::memcmp(dst, "abcd", 4), 0);
    VLM_Memcpy(dst, src, 3);
    EXPECT_EQ(std::memcmp(dst, "wxyd", 4), 0);

    int value = 7;
    EXPECT_EQ(BankAdrs(&value), &value);
}

TEST_F(EngineStateTest, AllocReturnsUsableBlocksAndRefusesNegativeSizes) {
    auto* p = static_cast<unsigned char*>(VLM_Alloc(4096));
    ASSERT_NE(p, nullptr);
    std::memset(p, 0xAB, 4096);
    VLM_Free(p);
    VLM_Free(nullptr);
    EXPECT_EQ(VLM_Alloc(-1), nullptr);
}

TEST(Generator, MatchesTheLinearCongruentialSequence) {
    // state = state * 214013 + 2531011, value = bits 16..30 of the state.
    core::Generator g{1};
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358};
    for (int v : expected) EXPECT_EQ(g.next(), v);
    core::Generator h{0xFFFFFFFFu};
    for (int i = 0; i < 10000; ++i) {
        const int v = h.next();
        ASSERT_GE(v, 0);
        ASSERT_LE(v, core::kRandMax);
    }
}

TEST_F(EngineStateTest, RandomArraysAreAFunctionOfTheSeedAndAreReused) {
    core::RandArrayByte a{};
    VLM_SetRandomSeed(7);
    core::MakeRandArrayByte(a, 1000, 5000);
    ASSERT_NE(a.data, nullptr);
    EXPECT_EQ(a.length, 5000);
    EXPECT_EQ(a.modulus, 1000);
    EXPECT_EQ(a.seed, 7);
    core::Generator g{7};
    for (int i = 0; i < 5000; ++i) ASSERT_EQ(a.data[i], static_cast<std::uint8_t>(g.next() % 1000)) << i;

    // Same seed, modulus and length: the very same array is kept.
    const std::uint8_t* first = a.data;
    core::MakeRandArrayByte(a, 1000, 5000);
    EXPECT_EQ(a.data, first);
    const std::vector<std::uint8_t> seven(a.data, a.data + 5000);

    // Another seed regenerates; going back reproduces the first bytes.
    VLM_SetRandomSeed(8);
    core::MakeRandArrayByte(a, 1000, 5000);
    EXPECT_NE(std::vector<std::uint8_t>(a.data, a.data + 5000), seven);
    VLM_SetRandomSeed(7);
    core::MakeRandArrayByte(a, 1000, 5000);
    EXPECT_EQ(std::vector<std::uint8_t>(a.data, a.data + 5000), seven);

    // Another modulus regenerates too; every byte stays below it.
    core::MakeRandArrayByte(a, 254, 5000);
    EXPECT_EQ(a.modulus, 254);
    for (int i = 0; i < 5000; ++i) ASSERT_LT(a.data[i], 254);

    core::DeleteRandArrayBtye(a);
    EXPECT_EQ(a.data, nullptr);
    core::DeleteRandArrayBtye(a); // twice is harmless
}

// The retry loop, driven with an allocation that fails while undo history remains.
class UndoRelief : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        g_engine.undo.level_limit = 3;
    }
    void add_level(int index, bool colour, bool mask, int w, int h) {
        undo::Level& l = g_engine.undo.levels[index];
        l.x0 = 0, l.y0 = 0, l.x1 = w - 1, l.y1 = h - 1;
        if (colour) l.colour = new std::uint16_t[static_cast<std::size_t>(w) * h * 4];
        if (mask) l.mask = new std::uint16_t[static_cast<std::size_t>(w) * h];
    }
    static int held() {
        int n = 0;
        for (const auto& l : g_engine.undo.levels) n += (l.colour || l.mask);
        return n;
    }
};

TEST_F(UndoRelief, GivesUpOldestLevelsUntilTheAllocationSucceeds) {
    add_level(0, true, true, 32, 32);
    add_level(1, true, true, 32, 32);
    add_level(2, true, false, 32, 32);
    // Succeeds only once a single level is left; each 32 x 32 level counts 10 KB, as much as is asked.
    static auto fake = [](std::size_t n) -> void* { return held() <= 1 ? ::operator new(n) : nullptr; };
    void* p = core::allocate_giving_up_undo(10 << 10, [](std::size_t n) { return fake(n); });
    ASSERT_NE(p, nullptr);
    ::operator delete(p);
    EXPECT_EQ(held(), 1);
    EXPECT_NE(g_engine.undo.levels[0].colour, nullptr); // the newest survives
}

TEST_F(UndoRelief, EndsWhenNothingCanBeGivenUp) {
    auto never = [](std::size_t) -> void* { return nullptr; };
    // Empty history: null at once.
    EXPECT_EQ(core::allocate_giving_up_undo(100, never), nullptr);
    // Only a mask-only level remains: undo is possible but a reduction frees nothing.
    add_level(0, false, true, 8, 8);
    EXPECT_EQ(core::allocate_giving_up_undo(100, never), nullptr);
    EXPECT_EQ(held(), 1);
    // Colour levels are all given up, then the loop ends.
    add_level(1, true, false, 8, 8);
    add_level(2, true, false, 8, 8);
    EXPECT_EQ(core::allocate_giving_up_undo(100, never), nullptr);
    EXPECT_EQ(held(), 1);
}

} // namespace
} // namespace vlm::test
