#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "imaging/kit/deflate.h"

namespace vlm::kit {
namespace {

// Layer-like bytes: long runs with some noise.
std::vector<std::uint8_t> sample(std::size_t size, std::uint32_t seed) {
    std::mt19937 gen(seed);
    std::vector<std::uint8_t> out(size);
    for (std::size_t i = 0; i < size; ++i)
        out[i] = (i / 64) % 3 == 0 ? static_cast<std::uint8_t>(gen()) : 200;
    return out;
}

TEST(Deflate, RoundTripsAtEveryLevel) {
    const std::vector<std::uint8_t> in = sample(40000, 1);
    for (const int level : {0, 1, 6, 12, -1, 13}) {
        std::vector<std::uint8_t> packed(deflate_bound(in.size()));
        const std::size_t size = deflate_buffer(in.data(), in.size(), packed.data(), packed.size(), level);
        ASSERT_GT(size, 0u) << level;
        if (level != 0) {
            EXPECT_LT(size, in.size()) << level;
        }
        std::vector<std::uint8_t> out(in.size(), 0xCC);
        EXPECT_EQ(inflate_buffer(packed.data(), size, out.data(), out.size()), in.size());
        EXPECT_EQ(out, in) << level;
    }
}

TEST(Deflate, TooSmallAnOutputGivesZero) {
    const std::vector<std::uint8_t> in = sample(5000, 2);
    std::vector<std::uint8_t> packed(64);
    EXPECT_EQ(deflate_buffer(in.data(), in.size(), packed.data(), packed.size(), 6), 0u);
    EXPECT_EQ(deflate_buffer(nullptr, in.size(), packed.data(), packed.size(), 6), 0u);
}

TEST(Inflate, DamagedOrOversizedStreamsLeaveTheOutputCleared) {
    const std::vector<std::uint8_t> in = sample(5000, 3);
    std::vector<std::uint8_t> packed(deflate_bound(in.size()));
    const std::size_t size = deflate_buffer(in.data(), in.size(), packed.data(), packed.size(), 6);
    ASSERT_GT(size, 0u);

    std::vector<std::uint8_t> damaged(packed.begin(), packed.begin() + size);
    damaged[size / 2] ^= 0x10;
    std::vector<std::uint8_t> out(in.size(), 0xCC);
    EXPECT_EQ(inflate_buffer(damaged.data(), damaged.size(), out.data(), out.size()), 0u);
    EXPECT_EQ(out, std::vector<std::uint8_t>(in.size(), 0));

    std::vector<std::uint8_t> small(in.size() - 1, 0xCC);
    EXPECT_EQ(inflate_buffer(packed.data(), size, small.data(), small.size()), 0u);
    EXPECT_EQ(small, std::vector<std::uint8_t>(small.size(), 0));

    EXPECT_EQ(inflate_buffer(packed.data(), size / 2, out.data(), out.size()), 0u); // truncated
}

TEST(Inflate, AShortStreamFillsItsPartAndClearsTheRest) {
    const std::vector<std::uint8_t> in = sample(1000, 4);
    std::vector<std::uint8_t> packed(deflate_bound(in.size()));
    const std::size_t size = deflate_buffer(in.data(), in.size(), packed.data(), packed.size(), 6);
    std::vector<std::uint8_t> out(3000, 0xCC);
    ASSERT_EQ(inflate_buffer(packed.data(), size, out.data(), out.size()), in.size());
    EXPECT_TRUE(std::equal(in.begin(), in.end(), out.begin()));
    EXPECT_EQ(std::vector<std::uint8_t>(out.begin() + 1000, out.end()), std::vector<std::uint8_t>(2000, 0));
}

} // namespace
} // namespace vlm::kit
