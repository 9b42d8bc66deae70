#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "effect_pictures.h"
#include "effects/pixels.h"

namespace vlm::effects::test {
namespace {

Params block(Pictures& pic, int chain = 0) {
    Params p{};
    p.source = pic.src.data();
    p.destination = pic.dst.data();
    p.width = pic.width;
    p.height = pic.height;
    p.pitch = pic.width * 4;
    p.chain = static_cast<std::uint8_t>(chain);
    return p;
}

// A byte read as a fraction and written back loses one step for exactly these values.
TEST(Accessors, FractionRoundTripLosesOneStepOnTwentyFourValues) {
    const std::set<int> lossy = {33, 37,  41,  45,  49,  53,  57,  61,  66,  74,  82,  90,
                                 98, 106, 114, 122, 132, 148, 164, 180, 196, 212, 228, 244};
    Pictures pic(64, 1);
    for (int i = 0; i < 256; ++i) pic.src[i] = static_cast<std::uint8_t>(i);
    const Params p = block(pic);
    for (int x = 0; x < 64; ++x) {
        const Fractions f = read_fractions(p, x, 0);
        write_fractions(p, x, 0, f.r, f.g, f.b, f.a);
    }
    for (int b = 0; b < 256; ++b) EXPECT_EQ(pic.dst[b], lossy.count(b) ? b - 1 : b) << b;
    EXPECT_TRUE(pic.guards_intact());
}

TEST(Accessors, ReadByTheChainFlagAndKeepInside) {
    Pictures pic(2, 2);
    pic.fill({1, 2, 3, 4});
    std::fill(pic.dst.begin(), pic.dst.begin() + static_cast<std::ptrdiff_t>(pic.bytes()), 200);
    const Params from_source = block(pic, 0), from_destination = block(pic, 1);
    EXPECT_EQ(read_bytes(from_source, 1, 1).b, 3);
    EXPECT_EQ(read_bytes(from_destination, 1, 1).b, 200);
    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {2, 0}, {0, 2}, {-2147483647 - 1, 2147483647}}) {
        const Bytes b = read_bytes(from_source, x, y);
        EXPECT_EQ(b.r + b.g + b.b + b.a, 0) << x << "," << y;
        EXPECT_EQ(read_fractions(from_destination, x, y).a, 0.0);
        write_bytes(from_source, x, y, 9, 9, 9, 9);
        write_fractions(from_source, x, y, 1, 1, 1, 1);
        write_hsl(from_source, x, y, 10, 1, 0.5);
        write_lab(from_source, x, y, 50, 0, 0);
    }
    EXPECT_TRUE(pic.guards_intact());
    for (std::size_t i = 0; i < pic.bytes(); ++i) EXPECT_EQ(pic.dst[i], 200) << i;
}

TEST(Accessors, WritersClampTheirValues) {
    Pictures pic(1, 1);
    const Params p = block(pic);
    write_bytes(p, 0, 0, -5, 256, 255, 1000);
    EXPECT_EQ(pic.out(0, 0), (Pixel{0, 255, 255, 255}));
    write_fractions(p, 0, 0, -0.5, 2.0, 0.5, NAN);
    EXPECT_EQ(pic.out(0, 0), (Pixel{0, 255, 127, 0}));

    // Hue is held to 0..359, saturation and lightness to 0..1; alpha stays.
    pic.dst[3] = 77;
    const auto hsl = [&](double h, double s, double l) {
        write_hsl(p, 0, 0, h, s, l);
        return pic.out(0, 0);
    };
    EXPECT_EQ(hsl(720, 1, 0.5), hsl(359, 1, 0.5));
    EXPECT_EQ(hsl(-30, 1, 0.5), (Pixel{255, 0, 0, 77}));
    EXPECT_EQ(hsl(120, 5, 0.5), (Pixel{0, 255, 0, 77}));
    EXPECT_EQ(hsl(0, 0, 9), (Pixel{255, 255, 255, 77}));
    EXPECT_EQ(hsl(0, 0, -1), (Pixel{0, 0, 0, 77}));
    write_lab(p, 0, 0, 100, 0, 0);
    EXPECT_EQ(pic.out(0, 0).a, 77);
}

TEST(Accessors, ToIntTruncatesAndHoldsTheIntRange) {
    const std::pair<double, int> cases[] = {
        {2.99, 2}, {-2.99, -2}, {0.0, 0}, {1e300, 2147483647}, {-1e300, -2147483647 - 1},
        {NAN, 0},  {-0.5, 0}};
    for (const auto& [v, expected] : cases) EXPECT_EQ(to_int(v), expected) << v;
}

} // namespace
} // namespace vlm::effects::test
