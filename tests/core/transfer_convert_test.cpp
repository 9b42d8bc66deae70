#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "core/engine_state.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

using Pixel = std::array<std::uint16_t, 4>;
using Pixel8 = std::array<std::uint8_t, 4>;

class TransferFills : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_SetLayer(2);
    }
    static std::uint16_t* px(int x, int y) {
        return g_engine.layers.layers[2].pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4;
    }
    static Pixel pixel(int x, int y) {
        const std::uint16_t* p = px(x, y);
        return {p[0], p[1], p[2], p[3]};
    }
    static std::uint16_t& mask(int x, int y) { return g_engine.mask.plane[y * kWidth + x]; }
};

TEST_F(TransferFills, ClearAndClearMaskedFollowTheMask) {
    VLM_Clear(0x112, 0x34, 0x56, 0x78); // low bytes
    EXPECT_EQ(pixel(63, 47), (Pixel{0x1200, 0x3400, 0x5600, 0x7800}));
    EXPECT_EQ(g_engine.undo.dirty_x1, kWidth - 1);

    mask(0, 0) = 0;
    mask(1, 0) = 0x4000;
    VLM_ClearMasked(200, 0, 0, 9);
    EXPECT_EQ(pixel(0, 0), (Pixel{0x1200, 0x3400, 0x5600, 0x7800})); // protected
    // ((s x 256 x W) / 256 + (d x (65535 - W)) / 256) / 256 with W = 0x4000; the alpha becomes opaque.
    EXPECT_EQ(pixel(1, 0), (Pixel{16255, 9983, 16511, 65535}));
    EXPECT_EQ(pixel(2, 0), (Pixel{200 * 256, 0, 0, 9 * 256}));
    g_engine.mask.enabled = 0;
    VLM_ClearMasked(1, 2, 3, 4);
    EXPECT_EQ(pixel(0, 0), (Pixel{256, 512, 768, 1024}));
}

TEST_F(TransferFills, SetColorAlphaRecoloursOnlyNearlyTransparentPixels) {
    px(0, 0)[3] = 255;
    px(1, 0)[3] = 256;
    VLM_SetColorAlpha(1, 2, 255);
    EXPECT_EQ(pixel(0, 0), (Pixel{257, 514, 65535, 0}));
    EXPECT_EQ(pixel(1, 0), (Pixel{0, 0, 0, 256}));
}

TEST_F(TransferFills, HostBufferFills) {
    const int pitch64 = kWidth * 8 + 8, pitch32 = kWidth * 4 + 4;
    std::vector<std::uint16_t> b64(pitch64 / 2 * kHeight, 1);
    VLM_ClearRGBA64(b64.data(), pitch64, 0x10001, 2, 3, 65535);
    EXPECT_EQ(b64[(pitch64 / 2) * (kHeight - 1) + (kWidth - 1) * 4], 1); // 16-bit values: low 16 bits
    EXPECT_EQ(b64[(pitch64 / 2) * (kHeight - 1) + (kWidth - 1) * 4 + 3], 65535);
    EXPECT_EQ(b64[kWidth * 4], 1); // padding untouched

    std::vector<std::uint8_t> b32(pitch32 * kHeight, 0);
    VLM_ClearRGBA32(b32.data(), pitch32, 1, 2, 3, 4);
    EXPECT_EQ(b32[pitch32 * (kHeight - 1) + (kWidth - 1) * 4 + 3], 4);
    EXPECT_EQ(b32[pitch32 - 1], 0);
    VLM_ClearRGBA32(b32.data(), pitch32 - 8, 9, 9, 9, 9); // rows would overlap: refused
    EXPECT_EQ(b32[0], 1);

    std::vector<std::uint8_t> packed = {1, 1, 1, 0, 2, 2, 2, 5};
    VLM_SetColorAlphaRGBABuf(packed.data(), 2, 1, 7, 8, 9);
    EXPECT_EQ(packed, (std::vector<std::uint8_t>{7, 8, 9, 0, 2, 2, 2, 5}));
    VLM_SetColorRGBABuf(packed.data(), 2, 1, 3, 3, 3);
    EXPECT_EQ(packed, (std::vector<std::uint8_t>{3, 3, 3, 0, 3, 3, 3, 5}));
    VLM_ClearRGBA32Buf(packed.data(), 1, 1, 6, 6, 6, 6);
    EXPECT_EQ(packed, (std::vector<std::uint8_t>{6, 6, 6, 6, 3, 3, 3, 5}));
    VLM_ClearRGBA32Buf(packed.data(), -1, 1, 0, 0, 0, 0);
    VLM_SetColorRGBABuf(nullptr, 2, 1, 3, 3, 3);
    EXPECT_EQ(packed[0], 6);
}

using TransferConvert = CanvasTest;

TEST_F(TransferConvert, EightBitFormsConvert) {
    const std::vector<std::uint8_t> rgb = {10, 20, 30, 200, 100, 0};
    std::vector<std::uint8_t> rgba = {0, 0, 0, 77, 0, 0, 0, 88};
    VLM_RGBToRGBA(rgba.data(), 2, 1, rgb.data());
    EXPECT_EQ(rgba, (std::vector<std::uint8_t>{10, 20, 30, 77, 200, 100, 0, 88}));
    VLM_RGBToRGBAlpha(rgba.data(), 2, 1, rgb.data());
    EXPECT_EQ(rgba[3], 20);
    EXPECT_EQ(rgba[7], 100);
    std::vector<std::uint8_t> out(6, 0);
    VLM_RGBAToRGB(out.data(), 2, 1, rgba.data());
    EXPECT_EQ(out, rgb);
    VLM_RGBAlphaToRGB(out.data(), 2, 1, rgba.data());
    EXPECT_EQ(out, (std::vector<std::uint8_t>{20, 20, 20, 100, 100, 100}));

    std::vector<std::uint8_t> canvas(kWidth * kHeight * 4, 0);
    canvas[3] = 55;
    VLM_InvertAlpha_RGBA32(canvas.data());
    EXPECT_EQ(canvas[3], 200);
    EXPECT_EQ(canvas.back(), 255);
}

TEST_F(TransferConvert, PremultiplicationFilters) {
    struct Case {
        Pixel8 before, pre, post;
    } cases[] = {
        // pre: trunc((c + 1) x a x 0.00392156862745098); post: min(255, trunc(c / (a x 0.00392156862745098)))
        {{100, 200, 0, 128}, {50, 100, 0, 128}, {199, 255, 0, 128}},
        {{255, 254, 253, 254}, {254, 254, 253, 254}, {255, 255, 253, 255}},
        {{200, 1, 0, 1}, {0, 0, 0, 1}, {255, 255, 0, 1}},
        {{37, 38, 39, 255}, {37, 38, 39, 255}, {37, 38, 39, 255}},
        {{37, 38, 39, 0}, {37, 38, 39, 0}, {37, 38, 39, 0}},
    };
    for (const Case& c : cases) {
        Pixel8 pre = c.before, post = c.before;
        VLM_AdjustRGBA32PreFilter(pre.data(), 1, 1);
        VLM_AdjustRGBA32PostFilter(post.data(), 1, 1);
        EXPECT_EQ(pre, c.pre);
        EXPECT_EQ(post, c.post);
    }
    struct Case64 {
        Pixel before, pre, post;
    } cases64[] = {
        // pre: trunc(c x a x 0.000015259021896696422); post: min(65535, trunc(c / (a x that)))
        {{40000, 18310, 65535, 30000}, {18310, 8381, 30000, 30000}, {65535, 39998, 65535, 30000}},
        {{65535, 1, 0, 65535}, {65535, 1, 0, 65535}, {65535, 1, 0, 65535}},
        {{12345, 0, 1, 1}, {0, 0, 0, 1}, {65535, 0, 65535, 1}},
        {{5, 6, 7, 0}, {5, 6, 7, 0}, {5, 6, 7, 0}},
    };
    for (const Case64& c : cases64) {
        Pixel pre = c.before, post = c.before;
        VLM_AdjustRGBA64PreFilter(pre.data(), 1, 1);
        VLM_AdjustRGBA64PostFilter(post.data(), 1, 1);
        EXPECT_EQ(pre, c.pre);
        EXPECT_EQ(post, c.post);
    }

    std::vector<std::uint8_t> canvas(kWidth * kHeight * 4, 0);
    canvas[0] = 100, canvas[3] = 128;
    canvas[4] = 37, canvas[7] = 255;
    VLM_AdjustRGBA32ForAlphaComp(0, canvas.data());
    EXPECT_EQ(canvas[0], 100);
    VLM_AdjustRGBA32ForAlphaComp(1, canvas.data());
    EXPECT_EQ(canvas[0], 199);
    EXPECT_EQ(canvas[4], 37);
}

TEST_F(TransferConvert, AlphaLimitedByMaskAndTextureWithRuleB) {
    auto& m = g_engine.mask.plane;
    m[1] = 0x8000;         // W = 32767
    m[kWidth * 2 + 3] = 0; // canvas (3, 2)
    std::vector<std::uint8_t> buf(4 * 3 * 4, 200);
    VLM_AdjustRGBA32ByMaskAndTexture(buf.data(), 4, 3);
    EXPECT_EQ(buf[3], 200);
    EXPECT_EQ(buf[7], 99); // trunc(200 x 32767 x 0.000015259021896696422)
    EXPECT_EQ(buf[(2 * 4 + 3) * 4 + 3], 0);
    EXPECT_EQ(buf[4], 200); // colours untouched

    // Placed at (2, 1) the buffer's pixel (1, 1) lies over canvas (3, 2); pixels off the canvas stay.
    std::vector<std::uint8_t> placed(4 * 3 * 4, 200);
    VLM_AdjustRGBA32RectByMaskAndTexture(placed.data(), 2, 1, 4, 3);
    EXPECT_EQ(placed[(1 * 4 + 1) * 4 + 3], 0);
    VLM_AdjustRGBA32RectByMaskAndTexture(placed.data(), kWidth - 1, -2, 4, 3);
    EXPECT_EQ(placed[(2 * 4 + 0) * 4 + 3], 200); // over canvas (kWidth - 1, 0): selected
    EXPECT_EQ(placed[(2 * 4 + 1) * 4 + 3], 200); // off the canvas

    // Texture 40 gives W = 80 x 65535 / 256 = 20479; with the mask disabled only the texture counts.
    g_engine.mask.enabled = 0;
    g_engine.layers.texture = new std::uint8_t[kWidth * kHeight];
    std::fill_n(g_engine.layers.texture, kWidth * kHeight, std::uint8_t{40});
    std::vector<std::uint8_t> textured(4, 77);
    VLM_AdjustRGBA32ByMaskAndTexture(textured.data(), 1, 1);
    EXPECT_EQ(textured[3], 24); // trunc(77 x 20479 x 0.000015259021896696422)

    // Neither plane: nothing changes.
    VLM_DeleteTexture();
    VLM_AdjustRGBA32ByMaskAndTexture(textured.data(), 1, 1);
    EXPECT_EQ(textured[3], 24);
}

} // namespace
} // namespace vlm::test
