#include <cstring>

#include "mask/mask_fixture.h"

namespace vlm::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST_F(MaskTest, ApplyMaskToAlphaScalesByTheHighByte) {
    // Mask values along row 0 and the alpha 200 each leaves: the high byte h clears at 0, keeps at 255,
    // else scales by (h + 1) / 256.
    const std::pair<std::uint16_t, std::uint8_t> cases[] = {
        {0, 0}, {0x00FF, 0}, {0x0100, 1}, {0x80FF, 100}, {0xFE00, 199}, {0xFF00, 200}, {65535, 200},
    };
    for (int i = 0; i < 7; ++i) mask(i, 0) = cases[i].first;
    auto pic = picture({1, 2, 3, 200});
    VLM_ApplyMaskToAlpha_RGBA32(pic.data());
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(Bytes(&pic[i * 4], &pic[i * 4 + 4]), (Bytes{1, 2, 3, cases[i].second})) << i;
    EXPECT_EQ(pic.back(), 200);
}

TEST_F(MaskTest, ApplyMaskToAlphaRectReadsTheMaskUnderTheRectangleAndSkipsTheOutside) {
    // A 3 x 3 rectangle hanging over the left and bottom edges; rows padded so that a pitch mistake shows.
    const int x0 = -1, y0 = kHeight - 2, pitch = 3 * 4 + 8;
    for (int y = y0; y < kHeight; ++y)
        for (int x = 0; x < 2; ++x) mask(x, y) = static_cast<std::uint16_t>((x + 2 * (y - y0) + 1) << 13);
    Bytes buf(static_cast<std::size_t>(pitch) * 3, 0xEE);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) buf[r * pitch + c * 4 + 3] = 128;
    const Bytes before = buf;
    VLM_ApplyMaskToAlphaRect_RGBA32(buf.data(), pitch, x0, y0, x0 + 2, y0 + 2);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) {
            const int x = x0 + c, y = y0 + r;
            const bool inside = x >= 0 && y < kHeight;
            const int h = inside ? mask(x, y) >> 8 : 0;
            EXPECT_EQ(buf[r * pitch + c * 4 + 3], inside ? 128 * (h + 1) / 256 : 128) << c << "," << r;
            buf[r * pitch + c * 4 + 3] = 128;
        }
    EXPECT_EQ(buf, before); // nothing but those alphas changed
    EXPECT_EQ(last_error(), "");
}

TEST_F(MaskTest, PictureOperationsRecolourMatchingPixels) {
    // Flood colouring: byte 1 only, colour by low bytes, the whole canvas marked.
    auto pic = picture({9, 9, 9, 9});
    Bytes flood(kPixels, 0);
    flood[0] = 1, flood[1] = 2, flood[kPixels - 1] = 1;
    VLM_ColorRGBA32FromFloodMask(pic.data(), flood.data(), 10, 20, 0x130, 40);
    EXPECT_EQ(Bytes(pic.begin(), pic.begin() + 8), (Bytes{10, 20, 0x30, 40, 9, 9, 9, 9}));
    EXPECT_EQ(Bytes(pic.end() - 4, pic.end()), (Bytes{10, 20, 0x30, 40}));
    EXPECT_EQ(dirty(), kWhole);

    // Alpha range: 10 percent is a difference of 25 either way.
    pic = picture({9, 9, 9, 0});
    const std::uint8_t alphas[] = {74, 75, 125, 126};
    for (int i = 0; i < 4; ++i) pic[i * 4 + 3] = alphas[i];
    VLM_ReplaceFromRGBAImageAlphaRange(pic.data(), 100, 10, 1, 2, 3, 4);
    EXPECT_EQ(Bytes(pic.begin(), pic.begin() + 16),
              (Bytes{9, 9, 9, 74, 1, 2, 3, 4, 1, 2, 3, 4, 9, 9, 9, 126}));

    // Colour to transparent: R, G, B must all match; alpha alone changes.
    pic = picture({5, 6, 7, 255});
    pic[4 * 4 + 2] = 8;
    VLM_SetAlphaFromRGBAImageColor(pic.data(), 5, 6, 7);
    EXPECT_EQ(Bytes(pic.begin(), pic.begin() + 4), (Bytes{5, 6, 7, 0}));
    EXPECT_EQ(Bytes(pic.begin() + 16, pic.begin() + 20), (Bytes{5, 6, 8, 255}));

    VLM_ColorRGBA32FromFloodMask(pic.data(), nullptr, 0, 0, 0, 0);
    VLM_ReplaceFromRGBAImageAlphaRange(nullptr, 0, 100, 0, 0, 0, 0);
    EXPECT_EQ(last_error(), "");
}

TEST_F(MaskTest, BlobPullsColoursTowardMidGreyAndAlphaFollowsLuminance) {
    // Expected values worked out in a separate double-precision script from the blob rules.
    struct Case {
        Pixel in, mode1, other;
    };
    const Case cases[] = {
        {{65535, 65535, 65535, 65535}, {32766, 32766, 32766, 65485}, {32767, 32767, 32767, 65485}},
        {{0, 0, 0, 8191}, {32767, 32767, 32767, 8191}, {32767, 32767, 32767, 8191}}, // alpha 8191 stays
        {{1000, 20000, 40000, 8192}, {13244, 28639, 44844, 27379}, {32767, 32767, 32767, 27379}},
        {{60000, 50000, 40000, 100}, {44222, 36851, 29481, 100}, {32767, 32767, 32767, 100}},
    };
    for (int mode : {1, 0, 2}) {
        for (int i = 0; i < 4; ++i) set_pixel(1, i, 0, cases[i].in);
        reset_dirty();
        VLM_CreateBlobFromImage(1, mode);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(pixel(1, i, 0), mode == 1 ? cases[i].mode1 : cases[i].other) << mode << " " << i;
        EXPECT_EQ(dirty(), (Rect{kWidth - 1, kHeight - 1, 0, 0})); // not the current layer
    }
    VLM_CreateBlobFromImage(2, 1);
    EXPECT_EQ(dirty(), kWhole);
    VLM_CreateBlobFromImage(-1, 1);
    VLM_CreateBlobFromImage(272, 1);
    VLM_CreateBlobFromImage(5, 1); // no pixels
    EXPECT_EQ(last_error(), "");
}

} // namespace
} // namespace vlm::test
