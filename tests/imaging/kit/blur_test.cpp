#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

#include "imaging/kit/blur.h"
#include "imaging/kit/test_image.h"

namespace vlm::kit {
namespace {

using test::TestImage;

// The soft blur written out as a plain 3 x 3 sum per pixel.
TestImage reference_soft_blur(const TestImage& src, int amount, int channels) {
    TestImage out = src;
    const int kWeights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
    for (int y = 0; y < src.height; ++y)
        for (int x = 0; x < src.width; ++x)
            for (int c = 0; c < src.bpp; ++c) {
                if (!((channels >> c) & 1)) continue;
                int sum = 0;
                for (int j = -1; j <= 1; ++j)
                    for (int i = -1; i <= 1; ++i) {
                        const int sx = std::clamp(x + i, 0, src.width - 1),
                                  sy = std::clamp(y + j, 0, src.height - 1);
                        sum += kWeights[j + 1][i + 1] * src.at(sx, sy)[c];
                    }
                const double mixed =
                    src.at(x, y)[c] + (std::round(sum / 16.0 + 1e-9) - src.at(x, y)[c]) * amount / 100.0;
                out.at(x, y)[c] = static_cast<std::uint8_t>(std::floor(mixed + 0.5));
            }
    return out;
}

TEST(SoftBlur, MatchesThePlainThreeByThreeSum) {
    struct Case {
        int w, h, bpp, amount, channels;
    };
    const Case cases[] = {{9, 7, 1, 100, 1},     {9, 7, 1, 37, 1},  {1, 5, 1, 100, 1}, {6, 1, 3, 100, 7},
                          {8, 9, 4, 100, 15},    {8, 9, 4, 55, 7},  {5, 4, 4, 0, 15},  {5, 4, 4, 100, 8},
                          {64, 40, 4, 100, 271}, {7, 3, 4, 250, 15}};
    for (const Case& c : cases) {
        TestImage src(c.w, c.h, c.bpp, 3), dst(c.w, c.h, c.bpp, 1, 0x5A);
        src.randomize(c.w * 100 + c.amount);
        ASSERT_NE(
            blur_image(src.data(), c.w, c.h, c.bpp, src.stride, dst.data(), dst.stride, c.amount, c.channels),
            0);
        const TestImage want = reference_soft_blur(src, std::clamp(c.amount, 0, 100), c.channels);
        EXPECT_EQ(dst.pixels(), want.pixels())
            << c.w << "x" << c.h << " bpp " << c.bpp << " amount " << c.amount;
        EXPECT_EQ(dst.outside(), std::vector<std::uint8_t>(dst.outside().size(), 0x5A));
    }
}

TEST(SoftBlur, SpreadsAnImpulseOverItsNeighbours) {
    TestImage plane(5, 5, 1), out(5, 5, 1);
    *plane.at(2, 2) = 255;
    ASSERT_NE(blur_image(plane.data(), 5, 5, 1, 5, out.data(), 5, 100, 1), 0);
    EXPECT_EQ(*out.at(2, 2), 64); // 255 x 4 / 16, rounded
    EXPECT_EQ(*out.at(1, 2), 32);
    EXPECT_EQ(*out.at(1, 1), 16);
    EXPECT_EQ(*out.at(0, 0), 0);
}

TEST(SoftBlur, InPlaceGivesTheSameBytes) {
    TestImage img(31, 17, 4, 4), out(31, 17, 4, 4);
    img.randomize(7);
    ASSERT_NE(blur_image(img.data(), 31, 17, 4, img.stride, out.data(), out.stride, 80, 15), 0);
    ASSERT_NE(blur_image(img.data(), 31, 17, 4, img.stride, img.data(), img.stride, 80, 15), 0);
    EXPECT_EQ(img.pixels(), out.pixels());
}

TEST(SoftBlur, RefusesUnsupportedImages) {
    TestImage img(4, 4, 8);
    EXPECT_EQ(blur_image(img.data(), 4, 4, 8, 32, img.data(), 32, 100, 15), 0);
    EXPECT_EQ(blur_image(img.data(), 4, 4, 2, 8, img.data(), 8, 100, 1), 0);
    EXPECT_EQ(blur_image(nullptr, 4, 4, 1, 4, img.data(), 4, 100, 1), 0);
    EXPECT_EQ(blur_image(img.data(), 4, 4, 4, 16, img.data(), 12, 100, 15), 0);
}

TEST(GaussianBlur, BlursSelectedChannelsAndCopiesTheRest) {
    TestImage src(21, 21, 4), dst(21, 21, 4);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) src.at(x, y)[3] = 200;
    const std::uint8_t centre[4] = {255, 255, 255, 0};
    std::memcpy(src.at(10, 10), centre, 4);
    ASSERT_NE(gaussian_blur(src.data(), 21, 21, 4, src.stride, dst.data(), dst.stride, 1.5, kColourChannels),
              0);
    // Spread symmetrically, strongest at the centre; alpha is not blurred.
    EXPECT_LT(dst.at(10, 10)[0], 255);
    EXPECT_GT(dst.at(10, 10)[0], dst.at(11, 10)[0]);
    EXPECT_EQ(dst.at(11, 10)[0], dst.at(10, 9)[0]);
    EXPECT_EQ(dst.at(9, 10)[1], dst.at(10, 11)[2]);
    EXPECT_EQ(dst.at(10, 10)[3], 0);
    EXPECT_EQ(dst.at(0, 0)[3], 200);
}

TEST(GaussianBlur, FlagBitsAboveTheChannelsSelectNothingMore) {
    TestImage plane(16, 12, 1), a(16, 12, 1), b(16, 12, 1);
    plane.randomize(8);
    ASSERT_NE(gaussian_blur(plane.data(), 16, 12, 1, 16, a.data(), 16, 2.0, 271), 0);
    ASSERT_NE(gaussian_blur(plane.data(), 16, 12, 1, 16, b.data(), 16, 2.0, 1), 0);
    EXPECT_EQ(a.pixels(), b.pixels());
    EXPECT_NE(a.pixels(), plane.pixels());
}

TEST(GaussianBlur, LargeRadiiStayCloseToTheTrueGaussian) {
    // A step edge across a wide 16-bit image, blurred past the box approximation's threshold.
    const int w = 400, h = 8;
    TestImage src(w, h, 8), dst(w, h, 8);
    for (int y = 0; y < h; ++y)
        for (int x = w / 2; x < w; ++x)
            for (int c = 0; c < 4; ++c) src.set_word(x, y, c, 60000);
    ASSERT_NE(gaussian_blur(src.data(), w, h, 8, src.stride, dst.data(), dst.stride, 30.0, kAllChannels), 0);
    for (int x = 0; x < w; x += 7) {
        const double exact = 60000 * 0.5 * std::erfc(-((x + 0.5) - w / 2.0) / (30.0 * std::sqrt(2.0)));
        EXPECT_NEAR(dst.word(x, 3, 1), exact, 60000 * 0.01) << x;
    }
}

TEST(GaussianBlur, RefusesRadiiOutsideItsRange) {
    TestImage img(4, 4, 4), out(4, 4, 4);
    for (const double r : {0.0, -1.0, 1000.5, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity()})
        EXPECT_EQ(gaussian_blur(img.data(), 4, 4, 4, 16, out.data(), 16, r, 15), 0) << r;
    EXPECT_EQ(gaussian_blur(img.data(), 4, 4, 2, 8, out.data(), 8, 1.0, 15), 0);
}

} // namespace
} // namespace vlm::kit
