#include <gtest/gtest.h>

#include <cmath>

#include "imaging/kit/channels.h"
#include "imaging/kit/test_image.h"

namespace vlm::kit {
namespace {

using test::TestImage;

TEST(SwapRedBlue, ExchangesFirstAndThirdBytes) {
    TestImage img(3, 2, 4, 4);
    img.randomize(1);
    const TestImage before = img;
    ASSERT_NE(swap_red_blue(img.data(), 3, 2, img.stride), 0);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) {
            const std::uint8_t* p = img.at(x, y);
            const std::uint8_t* q = before.at(x, y);
            EXPECT_TRUE(p[0] == q[2] && p[1] == q[1] && p[2] == q[0] && p[3] == q[3]);
        }
    EXPECT_EQ(img.outside(), before.outside());
    EXPECT_EQ(swap_red_blue(img.data(), 3, 2, 11), 0);
}

TEST(SplitAndCombine, MoveOnlyTheChannelsThatHaveAPlane) {
    TestImage rgba(4, 3, 4, 4);
    rgba.randomize(2);
    TestImage alpha(4, 3, 1, 2), green(4, 3, 1, 2);
    ASSERT_NE(split_channels(rgba.data(), 4, 3, 4, rgba.stride,
                             {nullptr, green.data(), nullptr, alpha.data()}, alpha.stride),
              0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(*green.at(x, y), rgba.at(x, y)[1]);
            EXPECT_EQ(*alpha.at(x, y), rgba.at(x, y)[3]);
        }

    // The alpha plane written into red only: the other channels keep their bytes.
    TestImage target = rgba;
    target.randomize(3);
    const TestImage before = target;
    ASSERT_NE(combine_channels({alpha.data(), nullptr, nullptr, nullptr}, alpha.stride, target.data(), 4, 3,
                               4, target.stride),
              0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(target.at(x, y)[0], *alpha.at(x, y));
            EXPECT_EQ(std::memcmp(target.at(x, y) + 1, before.at(x, y) + 1, 3), 0);
        }

    // One grey plane spread into R, G and B of a 3-byte image.
    TestImage rgb(4, 3, 3);
    ASSERT_NE(combine_channels({green.data(), green.data(), green.data(), nullptr}, green.stride, rgb.data(),
                               4, 3, 3, rgb.stride),
              0);
    EXPECT_EQ(rgb.at(2, 1)[0], *green.at(2, 1));
    EXPECT_EQ(rgb.at(2, 1)[2], *green.at(2, 1));
}

TEST(SplitAndCombine, RefuseAlphaOfThreeBytePixelsAndShortPlanes) {
    TestImage rgb(4, 3, 3), plane(4, 3, 1);
    EXPECT_EQ(split_channels(rgb.data(), 4, 3, 3, rgb.stride, {nullptr, nullptr, nullptr, plane.data()}, 4),
              0);
    EXPECT_EQ(combine_channels({plane.data(), nullptr, nullptr, nullptr}, 3, rgb.data(), 4, 3, 3, rgb.stride),
              0);
    EXPECT_EQ(split_channels(rgb.data(), 4, 3, 1, rgb.stride, {plane.data(), nullptr, nullptr, nullptr}, 4),
              0);
}

TEST(ColourForms, RgbAndRgbaConvertBothWays) {
    TestImage rgb(3, 2, 3, 1), rgba(3, 2, 4, 4), back(3, 2, 3, 2);
    rgb.randomize(4);
    ASSERT_NE(rgb_to_rgba(rgb.data(), 3, 2, rgb.stride, rgba.data(), rgba.stride, 200), 0);
    EXPECT_EQ(rgba.at(2, 1)[3], 200);
    EXPECT_EQ(std::memcmp(rgba.at(2, 1), rgb.at(2, 1), 3), 0);
    ASSERT_NE(rgba_to_rgb(rgba.data(), 3, 2, rgba.stride, back.data(), back.stride), 0);
    EXPECT_EQ(back.pixels(), rgb.pixels());
    // Widening into the memory it reads from would eat its own input.
    EXPECT_EQ(rgb_to_rgba(rgba.data(), 3, 2, rgba.stride, rgba.data(), rgba.stride, 255), 0);
}

TEST(GreyImage, WeighsColoursByLuma) {
    struct Case {
        std::uint8_t r, g, b;
    };
    TestImage rgba(6, 1, 4), grey(6, 1, 1, 3, 0xEE);
    const Case colours[] = {{0, 0, 0}, {255, 255, 255}, {77, 77, 77}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    for (int x = 0; x < 6; ++x) {
        const std::uint8_t px[4] = {colours[x].r, colours[x].g, colours[x].b, 9};
        std::memcpy(rgba.at(x, 0), px, 4);
    }
    ASSERT_NE(grey_image(rgba.data(), 6, 1, 4, rgba.stride, grey.data(), grey.stride), 0);
    for (int x = 0; x < 6; ++x) {
        const double luma = 0.299 * colours[x].r + 0.587 * colours[x].g + 0.114 * colours[x].b;
        EXPECT_EQ(*grey.at(x, 0), std::lround(luma)) << x;
    }
    EXPECT_EQ(grey.outside(), std::vector<std::uint8_t>(grey.outside().size(), 0xEE));

    TestImage one(3, 2, 1, 1);
    one.randomize(5);
    TestImage copy(3, 2, 1);
    ASSERT_NE(grey_image(one.data(), 3, 2, 1, one.stride, copy.data(), copy.stride), 0);
    EXPECT_EQ(copy.pixels(), one.pixels());
    EXPECT_EQ(grey_image(one.data(), 3, 2, 8, one.stride, copy.data(), copy.stride), 0);
}

} // namespace
} // namespace vlm::kit
