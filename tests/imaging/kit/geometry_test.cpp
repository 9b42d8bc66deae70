#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <ostream>
#include <string>

#include "imaging/kit/geometry.h"
#include "imaging/kit/test_image.h"

namespace vlm::kit {
namespace {

using test::TestImage;

struct OverlayCase {
    int dst_w, dst_h, src_w, src_h, x, y, bpp;
};

void PrintTo(const OverlayCase& c, std::ostream* os) {
    *os << c.src_w << "x" << c.src_h << " at " << c.x << "," << c.y << " on " << c.dst_w << "x" << c.dst_h
        << ", " << c.bpp << " bytes";
}

class Overlay : public ::testing::TestWithParam<OverlayCase> {};

TEST_P(Overlay, CopiesTheClippedWindowAndNothingElse) {
    const OverlayCase c = GetParam();
    TestImage dst(c.dst_w, c.dst_h, c.bpp, 3), src(c.src_w, c.src_h, c.bpp, 5);
    dst.randomize(1);
    src.randomize(2);
    const TestImage before = dst;
    ASSERT_NE(overlay_image(dst.data(), c.dst_w, c.dst_h, c.bpp, dst.stride, src.data(), c.src_w, c.src_h,
                            src.stride, c.x, c.y, 1.0),
              0);
    for (int y = 0; y < c.dst_h; ++y)
        for (int x = 0; x < c.dst_w; ++x) {
            const int sx = x - c.x, sy = y - c.y;
            const bool inside = sx >= 0 && sy >= 0 && sx < c.src_w && sy < c.src_h;
            const std::uint8_t* want = inside ? src.at(sx, sy) : before.at(x, y);
            ASSERT_EQ(std::memcmp(dst.at(x, y), want, c.bpp), 0) << x << "," << y;
        }
    EXPECT_EQ(dst.outside(), before.outside());
}

INSTANTIATE_TEST_SUITE_P(Windows, Overlay,
                         ::testing::Values(OverlayCase{8, 6, 3, 2, 2, 1, 4},   // inside
                                           OverlayCase{8, 6, 5, 4, -2, -3, 1}, // cut at the top left
                                           OverlayCase{8, 6, 5, 4, 6, 4, 8},   // cut at the bottom right
                                           OverlayCase{4, 4, 9, 9, -2, -2, 2}, // larger than dst
                                           OverlayCase{8, 6, 3, 3, 8, 0, 3},   // just right of dst
                                           OverlayCase{8, 6, 3, 3, -3, -3, 4}, // just above-left of dst
                                           OverlayCase{5, 5, 2, 2, 1, 1, 7})); // any pixel size

TEST(OverlayImage, OpacityMixesBytesOrSixteenBitChannels) {
    TestImage bytes(2, 1, 4), top(2, 1, 4, 0, 255);
    ASSERT_NE(overlay_image(bytes.data(), 2, 1, 4, 8, top.data(), 2, 1, 8, 0, 0, 0.5), 0);
    EXPECT_EQ(bytes.at(1, 0)[3], 128); // 127.5 rounds up

    TestImage words(1, 1, 8), over(1, 1, 8);
    for (int c = 0; c < 4; ++c) {
        words.set_word(0, 0, c, 1000);
        over.set_word(0, 0, c, 60000);
    }
    ASSERT_NE(overlay_image(words.data(), 1, 1, 8, 8, over.data(), 1, 1, 8, 0, 0, 0.25), 0);
    EXPECT_EQ(words.word(0, 0, 2), static_cast<std::uint16_t>(std::lround(1000 + (60000 - 1000) * 0.25)));

    const TestImage kept = words;
    EXPECT_NE(overlay_image(words.data(), 1, 1, 8, 8, over.data(), 1, 1, 8, 0, 0, 0.0), 0);
    EXPECT_EQ(words.bytes, kept.bytes);
    EXPECT_EQ(overlay_image(words.data(), 1, 1, 8, 8, over.data(), 1, 1, 8, 0, 0, std::nan("")), 0);
}

TEST(OverlayImage, SourceSharingTheDestinationIsReadBeforeItIsWritten) {
    TestImage img(6, 6, 4);
    img.randomize(3);
    const TestImage before = img;
    // The top-left 4 x 4 block moved down-right by one, within the same buffer.
    ASSERT_NE(overlay_image(img.data(), 6, 6, 4, img.stride, img.data(), 4, 4, img.stride, 1, 1, 1.0), 0);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(std::memcmp(img.at(x + 1, y + 1), before.at(x, y), 4), 0);
}

TEST(OverlayImage, RefusesImagesItCannotAddress) {
    TestImage a(4, 4, 4), b(2, 2, 4);
    EXPECT_EQ(overlay_image(nullptr, 4, 4, 4, 16, b.data(), 2, 2, 8, 0, 0, 1.0), 0);
    EXPECT_EQ(overlay_image(a.data(), 4, 4, 4, 15, b.data(), 2, 2, 8, 0, 0, 1.0), 0); // stride < row
    EXPECT_EQ(overlay_image(a.data(), 4, 4, 4, 16, b.data(), 2, 0, 8, 0, 0, 1.0), 0);
    EXPECT_EQ(overlay_image(a.data(), 4, 4, 0, 16, b.data(), 2, 2, 8, 0, 0, 1.0), 0);
    EXPECT_EQ(
        overlay_image(a.data(), std::numeric_limits<int>::max(), 1, 4, 16, b.data(), 2, 2, 8, 0, 0, 1.0), 0);
    // Offsets far outside are no overflow, just nothing to copy.
    const TestImage before = a;
    EXPECT_NE(overlay_image(a.data(), 4, 4, 4, 16, b.data(), 2, 2, 8, std::numeric_limits<int>::max(),
                            std::numeric_limits<int>::min(), 1.0),
              0);
    EXPECT_EQ(a.bytes, before.bytes);
}

TEST(CropImage, CopiesTheRectangleAndClearsWhatLiesOutsideTheSource) {
    TestImage src(5, 4, 3);
    src.randomize(4);
    for (const Rect r :
         {Rect{1, 1, 4, 3}, Rect{4, 3, 1, 1}, Rect{-2, -1, 3, 2}, Rect{3, 2, 7, 6}, Rect{6, 0, 8, 1}}) {
        const int left = std::min(r.left, r.right), top = std::min(r.top, r.bottom);
        const int w = std::abs(r.right - r.left), h = std::abs(r.bottom - r.top);
        TestImage dst(w, h, 3, 2, 0xAA);
        ASSERT_NE(crop_image(src.data(), 5, 4, src.stride, dst.data(), dst.stride, r, 3), 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int sx = left + x, sy = top + y;
                const std::uint8_t zero[3] = {};
                const bool inside = sx >= 0 && sy >= 0 && sx < 5 && sy < 4;
                EXPECT_EQ(std::memcmp(dst.at(x, y), inside ? src.at(sx, sy) : zero, 3), 0)
                    << r.left << "," << r.top << " at " << x << "," << y;
            }
        EXPECT_EQ(dst.outside(), std::vector<std::uint8_t>(dst.outside().size(), 0xAA));
    }
    TestImage dst(2, 2, 3);
    EXPECT_EQ(crop_image(src.data(), 5, 4, src.stride, dst.data(), dst.stride, Rect{2, 1, 2, 3}, 3), 0);
    EXPECT_EQ(crop_image(src.data(), 5, 4, src.stride, dst.data(), dst.stride,
                         Rect{std::numeric_limits<int>::min(), 0, std::numeric_limits<int>::max(), 1}, 3),
              0);
}

TEST(Flips, MirrorRowsOrColumnsInPlace) {
    TestImage img(5, 3, 3, 2);
    img.randomize(5);
    const TestImage before = img;
    ASSERT_NE(flip_horizontal(img.data(), 5, 3, 3, img.stride), 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) EXPECT_EQ(std::memcmp(img.at(x, y), before.at(4 - x, y), 3), 0);
    EXPECT_EQ(img.outside(), before.outside());

    img = before;
    ASSERT_NE(flip_vertical(img.data(), img.stride, 3), 0);
    for (int y = 0; y < 3; ++y) EXPECT_EQ(std::memcmp(img.at(0, y), before.at(0, 2 - y), img.stride), 0);

    EXPECT_EQ(flip_horizontal(img.data(), 5, 3, 3, 14), 0);
    EXPECT_EQ(flip_vertical(nullptr, 16, 3), 0);
    EXPECT_EQ(flip_vertical(img.data(), 0, 3), 0);
}

TEST(RotateQuarter, TurnsEachWay) {
    // 3 x 2, one byte per pixel:  a b c
    //                             d e f
    TestImage src(3, 2, 1);
    const std::uint8_t abc[] = {'a', 'b', 'c', 'd', 'e', 'f'};
    std::memcpy(src.data(), abc, 6);
    struct Case {
        int direction, w, h;
        const char* want;
    };
    for (const Case c : {Case{kTurnRight, 2, 3, "daebfc"}, Case{kTurnLeft, 2, 3, "cfbead"},
                         Case{kTurnHalf, 3, 2, "fedcba"}}) {
        TestImage dst(c.w, c.h, 1, 1, '.');
        ASSERT_NE(rotate_quarter(src.data(), 3, 2, 3, dst.data(), dst.stride, c.direction, 1), 0);
        const std::vector<std::uint8_t> got = dst.pixels();
        EXPECT_EQ(std::string(got.begin(), got.end()), c.want) << c.direction;
    }
    TestImage dst(2, 3, 1);
    EXPECT_EQ(rotate_quarter(src.data(), 3, 2, 3, dst.data(), 1, kTurnRight, 1), 0); // stride of 1 < 2 pixels
    EXPECT_EQ(rotate_quarter(src.data(), 3, 2, 3, dst.data(), 2, 3, 1), 0);
}

TEST(RotateQuarter, LeftUndoesRightForWidePixels) {
    TestImage src(7, 5, 8, 8), turned(5, 7, 8), back(7, 5, 8);
    src.randomize(6);
    ASSERT_NE(rotate_quarter(src.data(), 7, 5, src.stride, turned.data(), turned.stride, kTurnRight, 8), 0);
    ASSERT_NE(rotate_quarter(turned.data(), 5, 7, turned.stride, back.data(), back.stride, kTurnLeft, 8), 0);
    EXPECT_EQ(back.pixels(), src.pixels());
}

} // namespace
} // namespace vlm::kit
