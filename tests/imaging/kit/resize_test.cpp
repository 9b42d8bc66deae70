#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "imaging/kit/resize.h"
#include "imaging/kit/test_image.h"

namespace vlm::kit {
namespace {

using test::TestImage;

constexpr int kPixelSizes[] = {1, 3, 4, 8};

void fill_flat(TestImage& img, std::uint16_t word, std::uint8_t byte) {
    for (int y = 0; y < img.height; ++y)
        for (int x = 0; x < img.width; ++x)
            for (int c = 0; c < (img.bpp == 8 ? 4 : img.bpp); ++c)
                if (img.bpp == 8)
                    img.set_word(x, y, c, static_cast<std::uint16_t>(word + 1000 * c));
                else
                    img.at(x, y)[c] = static_cast<std::uint8_t>(byte + 20 * c);
}

TEST(ResizeFilters, TableHoldsEveryNumberOnceWithItsName) {
    std::set<int> numbers;
    for (const ResizeFilter& f : kResizeFilters) {
        EXPECT_TRUE(numbers.insert(f.number).second) << f.name;
        EXPECT_EQ(find_resize_filter(f.number), &f);
        EXPECT_EQ(!f.kernel, f.opencv_interpolation >= 0) << f.name;
    }
    EXPECT_STREQ(find_resize_filter(8)->name, "Lanczos3");
    EXPECT_STREQ(find_resize_filter(15)->name, "Area Average");
    EXPECT_STREQ(find_resize_filter(18)->name, "Nearest Neighbor");
    for (const int missing : {-1, 14, 19}) EXPECT_EQ(find_resize_filter(missing), nullptr) << missing;
}

TEST(ResizeImage, EveryFilterKeepsAFlatImageFlatBothWays) {
    for (const ResizeFilter& f : kResizeFilters)
        for (const int bpp : kPixelSizes)
            for (const auto& [nw, nh] : {std::pair{4, 3}, std::pair{23, 17}, std::pair{9, 30}}) {
                TestImage src(9, 7, bpp, 3), dst(nw, nh, bpp, 2, 0x77), want(nw, nh, bpp, 2, 0x77);
                fill_flat(src, 51234, 97);
                fill_flat(want, 51234, 97);
                ASSERT_NE(
                    resize_image(src.data(), 9, 7, src.stride, dst.data(), nw, nh, dst.stride, bpp, f.number),
                    0)
                    << f.name;
                EXPECT_EQ(dst.bytes, want.bytes) << f.name << " bpp " << bpp << " to " << nw << "x" << nh;
            }
}

TEST(ResizeImage, BoxHalvingAveragesEachTwoByTwoBlock) {
    for (const int bpp : {1, 8}) {
        TestImage src(4, 2, bpp), dst(2, 1, bpp);
        src.randomize(static_cast<std::uint32_t>(bpp));
        ASSERT_NE(resize_image(src.data(), 4, 2, src.stride, dst.data(), 2, 1, dst.stride, bpp, kFilterBox),
                  0);
        for (int x = 0; x < 2; ++x)
            if (bpp == 1) {
                const int sum =
                    *src.at(2 * x, 0) + *src.at(2 * x + 1, 0) + *src.at(2 * x, 1) + *src.at(2 * x + 1, 1);
                EXPECT_NEAR(*dst.at(x, 0), sum / 4.0, 0.5 + 1e-9);
            } else {
                for (int c = 0; c < 4; ++c) {
                    const double mean = (src.word(2 * x, 0, c) + src.word(2 * x + 1, 0, c) +
                                         src.word(2 * x, 1, c) + src.word(2 * x + 1, 1, c)) /
                                        4.0;
                    EXPECT_NEAR(dst.word(x, 0, c), mean, 0.5 + 1e-9);
                }
            }
    }
}

TEST(ResizeImage, TriangleShrinkWeighsNeighboursOneThreeThreeOne) {
    // Halving a row: each target pixel sits between two source pixels and the stretched triangle
    // reaches one further pixel on each side.
    TestImage src(8, 1, 1), dst(4, 1, 1);
    src.randomize(9);
    ASSERT_NE(resize_image(src.data(), 8, 1, 8, dst.data(), 4, 1, 4, 1, kFilterTriangle), 0);
    for (int x = 1; x < 3; ++x) {
        const auto s = [&](int i) { return static_cast<double>(*src.at(i, 0)); };
        const double want = (s(2 * x - 1) + 3 * s(2 * x) + 3 * s(2 * x + 1) + s(2 * x + 2)) / 8;
        EXPECT_NEAR(*dst.at(x, 0), want, 0.5 + 1e-9) << x;
    }
}

TEST(ResizeImage, InterpolatingFiltersKeepTheSourceSamplesWhenTripling) {
    // Growing by 3, every middle target pixel lies exactly on a source pixel centre; interpolating
    // kernels are 1 there and 0 at every other whole distance, smoothing kernels are not.
    const std::set<int> smoothing = {kFilterGaussian, kFilterBell, kFilterBSpline, kFilterMitchell};
    for (const ResizeFilter& f : kResizeFilters) {
        if (!f.kernel) continue;
        for (const int bpp : {1, 8}) {
            TestImage src(5, 4, bpp), dst(15, 12, bpp);
            src.randomize(10);
            ASSERT_NE(
                resize_image(src.data(), 5, 4, src.stride, dst.data(), 15, 12, dst.stride, bpp, f.number), 0);
            bool kept = true;
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 5; ++x)
                    kept &= std::memcmp(dst.at(3 * x + 1, 3 * y + 1), src.at(x, y), bpp) == 0;
            EXPECT_EQ(kept, !smoothing.count(f.number)) << f.name << " bpp " << bpp;
        }
    }
}

TEST(ResizeImage, LanczosRingsAtAnEdgeWhereTriangleDoesNot) {
    TestImage src(8, 1, 1), lanczos(32, 1, 1), triangle(32, 1, 1);
    for (int x = 0; x < 8; ++x) *src.at(x, 0) = x < 4 ? 50 : 200;
    ASSERT_NE(resize_image(src.data(), 8, 1, 8, lanczos.data(), 32, 1, 32, 1, kFilterLanczos3), 0);
    ASSERT_NE(resize_image(src.data(), 8, 1, 8, triangle.data(), 32, 1, 32, 1, kFilterTriangle), 0);
    const auto [lo, hi] = std::minmax_element(lanczos.data(), lanczos.data() + 32);
    EXPECT_LT(*lo, 50);
    EXPECT_GT(*hi, 200);
    const auto [tlo, thi] = std::minmax_element(triangle.data(), triangle.data() + 32);
    EXPECT_EQ(*tlo, 50);
    EXPECT_EQ(*thi, 200);
}

TEST(ResizeImage, NearestNeighbourRepeatsPixels) {
    for (const int bpp : kPixelSizes) {
        TestImage src(3, 2, bpp), dst(6, 4, bpp);
        src.randomize(11);
        ASSERT_NE(
            resize_image(src.data(), 3, 2, src.stride, dst.data(), 6, 4, dst.stride, bpp, kFilterNearest), 0);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x) EXPECT_EQ(std::memcmp(dst.at(x, y), src.at(x / 2, y / 2), bpp), 0);
    }
}

TEST(ResizeImage, SourceSharingTheDestinationIsReadFirst) {
    for (const int filter : {kFilterLanczos3, kFilterAreaAverage}) {
        TestImage img(12, 10, 4), separate(6, 5, 4);
        img.randomize(12);
        ASSERT_NE(resize_image(img.data(), 12, 10, img.stride, separate.data(), 6, 5, 24, 4, filter), 0);
        ASSERT_NE(resize_image(img.data(), 12, 10, img.stride, img.data(), 6, 5, 24, 4, filter), 0);
        EXPECT_EQ(std::vector<std::uint8_t>(img.data(), img.data() + 6 * 5 * 4), separate.pixels()) << filter;
    }
}

TEST(ResizeImage, UnalignedSixteenBitImagesAreReadThroughACopy) {
    std::vector<std::uint8_t> buffer(1 + 4 * 4 * 8);
    for (std::size_t i = 0; i < buffer.size(); ++i) buffer[i] = static_cast<std::uint8_t>(i * 7);
    TestImage aligned(4, 4, 8), a(2, 2, 8), b(2, 2, 8);
    std::memcpy(aligned.data(), buffer.data() + 1, 4 * 4 * 8);
    ASSERT_NE(resize_image(buffer.data() + 1, 4, 4, 32, a.data(), 2, 2, 16, 8, kFilterCatrom), 0);
    ASSERT_NE(resize_image(aligned.data(), 4, 4, 32, b.data(), 2, 2, 16, 8, kFilterCatrom), 0);
    EXPECT_EQ(a.bytes, b.bytes);
}

TEST(ResizeImage, RefusesUnknownFiltersAndBadImages) {
    TestImage src(4, 4, 4), dst(2, 2, 4);
    const TestImage before = dst;
    for (const int filter : {-1, 14, 19, 1000})
        EXPECT_EQ(resize_image(src.data(), 4, 4, 16, dst.data(), 2, 2, 8, 4, filter), 0) << filter;
    EXPECT_EQ(resize_image(src.data(), 4, 4, 16, dst.data(), 2, 2, 8, 2, kFilterBox), 0);
    EXPECT_EQ(resize_image(src.data(), 4, 4, 16, dst.data(), 0, 2, 8, 4, kFilterBox), 0);
    EXPECT_EQ(resize_image(src.data(), 4, 4, 16, dst.data(), 2, 2, 7, 4, kFilterBox), 0);
    EXPECT_EQ(resize_image(src.data(), 4, 4, 16, nullptr, 2, 2, 8, 4, kFilterBicubic), 0);
    EXPECT_EQ(dst.bytes, before.bytes);
}

TEST(DecimateAndResample, ShrinkOrGrowAlongEachSide) {
    TestImage src(9, 2, 4), box(3, 4, 4), nearest(3, 4, 4), averaged(3, 4, 4);
    src.randomize(13);
    // Width shrinks while height grows, as when a wide picture is fitted to a square.
    ASSERT_NE(decimate_image(src.data(), 9, 2, 36, averaged.data(), 3, 4, 12, 4, 1), 0);
    ASSERT_NE(resize_image(src.data(), 9, 2, 36, box.data(), 3, 4, 12, 4, kFilterBox), 0);
    EXPECT_EQ(averaged.bytes, box.bytes);
    ASSERT_NE(decimate_image(src.data(), 9, 2, 36, nearest.data(), 3, 4, 12, 4, 0), 0);
    EXPECT_EQ(std::memcmp(nearest.at(1, 2), src.at(4, 1), 4), 0);
    EXPECT_EQ(decimate_image(src.data(), 9, 2, 36, nearest.data(), 3, 4, 12, 4, 2), 0);

    TestImage flat(5, 5, 3), grown(11, 9, 3), want(11, 9, 3);
    fill_flat(flat, 0, 33);
    fill_flat(want, 0, 33);
    ASSERT_NE(resample_image(flat.data(), 5, 5, 15, grown.data(), 11, 9, 33, 3), 0);
    EXPECT_EQ(grown.bytes, want.bytes);
}

} // namespace
} // namespace vlm::kit
