#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "brush/blend_buffers.h"
#include "brush/mix_modes.h"
#include "core/engine_state.h"
#include "paint_fixture.h"

namespace vlm::brush {
namespace {

using test::Px;

// Brush size 4, blending on, current colour set.
class BlendBufferTest : public test::PaintTest {
protected:
    static constexpr int kSize = 4;
    void SetUp() override {
        PaintTest::SetUp();
        VLM_SetSize(kSize);
        VLM_SetScaleSize(kSize);
        VLM_SetBlendStrength(128);
        VLM_SetColor(0x10, 0x20, 0x30); // (0x1000, 0x2000, 0x3000, 65535)
    }
    static Px buf(int row, int col) {
        const std::uint16_t* p = g_engine.brush.blend_selected->pixels + row * 4 * kMaxBrush + col * 4;
        return {p[0], p[1], p[2], p[3]};
    }
    static void set_buf(int row, int col, Px v) {
        std::uint16_t* p = g_engine.brush.blend_selected->pixels + row * 4 * kMaxBrush + col * 4;
        for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint16_t>(v[c]);
    }
    static void fill_buf(Px v) {
        for (int r = 0; r < kSize; ++r)
            for (int c = 0; c < kSize; ++c) set_buf(r, c, v);
    }
};

TEST_F(BlendBufferTest, CountSelectionClearAndFill) {
    EXPECT_EQ(g_engine.brush.blend_count, 1); // made with the canvas
    VLM_SetBlendBufferCount(25);
    EXPECT_EQ(g_engine.brush.blend_count, 20);
    VLM_SelectBlendBuffer(99);
    EXPECT_EQ(g_engine.brush.blend_selected, &g_engine.brush.blend[19]);
    VLM_FillBlendBuffer(1, 2, 3, 0x1AB);
    EXPECT_EQ(buf(0, 0), (Px{0xABAB, 0xABAB, 0xABAB, 0xABAB}));
    EXPECT_EQ(g_engine.brush.blend[19].pixels[kMaxBrush * kMaxBrush * 4 - 1], 0xABAB);
    VLM_SelectBlendBuffer(-3);
    EXPECT_EQ(g_engine.brush.blend_selected, &g_engine.brush.blend[0]);
    // The same count keeps the contents and selects buffer 0 again.
    VLM_SelectBlendBuffer(19);
    VLM_SetBlendBufferCount(20);
    EXPECT_EQ(g_engine.brush.blend_selected, &g_engine.brush.blend[0]);
    EXPECT_EQ(g_engine.brush.blend[19].pixels[0], 0xABAB);
    VLM_SelectBlendBuffer(19);
    VLM_ClearBlendBuffer();
    EXPECT_EQ(buf(0, 0), (Px{0, 0, 0, 0}));
}

TEST_F(BlendBufferTest, LoadingMixesTheCanvasWithTheCurrentColour) {
    fill_layer({40000, 65535, 100, 65535});
    VLM_CopyBlendBufferSurface(20, 20, 0, 0);
    // Amount 0: the canvas plus one, capped at 65280.
    EXPECT_EQ(buf(1, 1), (Px{40001, 65280, 101, 65535}));
    VLM_CopyBlendBufferSurface(20, 20, 64, 0);
    EXPECT_EQ(buf(3, 3), (Px{((40000u * 192 + 0x1000 * 64) >> 8) + 1, ((65535u * 192 + 0x2000 * 64) >> 8) + 1,
                             ((100u * 192 + 0x3000 * 64) >> 8) + 1, (65535u * 192 + 65535 * 64) >> 8}));

    // At the corner the off-canvas part takes the current colour with alpha amount x 256.
    VLM_CopyBlendBufferLayer(2, 0, 0, 10);
    EXPECT_EQ(buf(0, 0), (Px{0x1000, 0x2000, 0x3000, 10 * 256}));
    EXPECT_EQ(buf(2, 2)[3], (65535u * 246 + 65535 * 10) >> 8);
    // With the flag the off-canvas colour stays and its alpha is full.
    fill_buf({1, 2, 3, 4});
    VLM_CopyBlendBufferSurface(0, 0, 10, 1);
    EXPECT_EQ(buf(0, 0), (Px{1, 2, 3, 65535}));

    // A transparent canvas pixel loads the colour; the enabled mask scales the canvas alpha first.
    fill_layer({40000, 40000, 40000, 0});
    VLM_CopyBlendBufferSurface(20, 20, 10, 0);
    EXPECT_EQ(buf(1, 1), (Px{0x1000, 0x2000, 0x3000, 10 * 256}));
    fill_layer({40000, 40000, 40000, 65535});
    g_engine.mask.enabled = 1;
    std::fill_n(g_engine.mask.plane, kWidth * kHeight, std::uint16_t{0});
    VLM_CopyBlendBufferSurface(20, 20, 10, 1);
    EXPECT_EQ(buf(1, 1), (Px{0x1000, 0x2000, 0x3000, 246 * 256}));

    // Nothing happens while the blend strength is 0, or from an absent plane.
    VLM_SetBlendStrength(0);
    fill_buf({7, 7, 7, 7});
    VLM_CopyBlendBufferSurface(20, 20, 0, 0);
    VLM_SetBlendStrength(128);
    VLM_CopyBlendBufferTrace(20, 20, 0);
    VLM_CopyBlendBufferLayer(9, 20, 20, 0);
    VLM_DoCopyBlendBuffer(20, 20, nullptr, 0, 0);
    EXPECT_EQ(buf(1, 1), (Px{7, 7, 7, 7}));
}

TEST_F(BlendBufferTest, UnderLayerAndHistoryReadTheBackBuffer) {
    fill_layer({30000, 30000, 30000, 65535});
    VLM_SaveUndoBuffer(1, 0);
    fill_layer({0, 0, 0, 65535});
    VLM_CopyBlendBufferUnderLayer(20, 20, 0);
    EXPECT_EQ(buf(0, 0), (Px{30001, 30001, 30001, 65535}));
    fill_buf({0, 0, 0, 0});
    VLM_CopyBlendBufferHistory(20, 20, 0);
    EXPECT_EQ(buf(0, 0), (Px{30001, 30001, 30001, 65535}));
}

TEST_F(BlendBufferTest, PickUpUnderTheMixMode) {
    const std::uint32_t w = 100 * 256, rest = 65536 - w;
    // A transparent canvas only fades the buffer's alpha.
    fill_layer({9, 9, 9, 0});
    fill_buf({1000, 2000, 3000, 60000});
    VLM_MixBlendBufferSurface(20, 20, 100);
    EXPECT_EQ(buf(0, 0), (Px{1000, 2000, 3000, (rest * 60000) >> 16}));

    // An empty buffer takes the canvas, capped.
    fill_layer({65535, 100, 200, 50000});
    fill_buf({0, 0, 0, 0});
    VLM_MixBlendBufferSurface(20, 20, 100);
    EXPECT_EQ(buf(0, 0), (Px{65280, 100, 200, 50000}));

    // Normal: the buffer moves toward the canvas by the amount.
    fill_buf({1000, 2000, 3000, 60000});
    VLM_MixBlendBufferSurface(20, 20, 100);
    auto toward = [&](std::uint32_t r, std::uint32_t p) {
        return std::min<std::uint32_t>(65280, ((((r * rest) >> 8) + ((p * w) >> 8)) >> 8) + 1);
    };
    EXPECT_EQ(buf(0, 0), (Px{toward(1000, 65535), toward(2000, 100), toward(3000, 200),
                             (((60000 * rest) >> 8) + ((50000 * w) >> 8)) >> 8}));

    // Multiply: the product of buffer and canvas before the move.
    VLM_SetMixMode(kMixMultiply, 0);
    fill_buf({1000, 2000, 3000, 60000});
    VLM_MixBlendBufferLayer(2, 20, 20, 100);
    EXPECT_EQ(buf(1, 1)[0], toward((1000u * 65535) >> 16, 65535));
    EXPECT_EQ(buf(1, 1)[1], toward((2000u * 100) >> 16, 100));
}

TEST_F(BlendBufferTest, TintGreyLoadAndFilters) {
    fill_buf({0, 0, 0, 0});
    set_buf(1, 1, {40000, 0, 65535, 5});
    VLM_DoColorBlendBuffer(20, 20, 255, 0, 128, 999, 64);
    EXPECT_EQ(buf(0, 0), (Px{255 * 256, 0, 128 * 256, 0}));
    const std::uint32_t w = 64 * 256, rest = 65536 - w;
    EXPECT_EQ(
        buf(1, 1),
        (Px{((((40000 * rest) >> 8) + ((65280 * w) >> 8)) >> 8) + 1, 1,
            std::min<std::uint32_t>(65280, ((((65535 * rest) >> 8) + ((32768 * w) >> 8)) >> 8) + 1), 5}));

    // Grey layout: one value per pixel at row * 4M + col, from the mask and the colour's level.
    std::fill_n(g_engine.mask.plane, kWidth * kHeight, std::uint16_t{20000});
    VLM_SetColor(0, 0, 0); // level 65535
    VLM_DoCopyBlendBufferMask(20, 20, 128);
    const std::uint16_t* grey = g_engine.brush.blend_selected->pixels;
    EXPECT_EQ(grey[4 * kMaxBrush + 3], std::min(65280u, ((20000u * 128 + 65535 * 128) >> 8) + 1));

    struct Case {
        int op, value;
        Px before, after;
    } cases[] = {
        {289, 0, {3, 4, 8, 9}, {5, 5, 5, 9}},
        {290, 0, {0, 1, 65535, 9}, {65535, 65534, 0, 9}},
        {291, 50, {32766, 32767, 40000, 9}, {0, 32767, 40000, 9}},
        {292, 50, {32767, 32768, 100, 9}, {32767, 65280, 100, 9}},
        {7, 50, {1, 2, 3, 4}, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        fill_buf(c.before);
        VLM_FilterBlendBuffer(c.op, c.value);
        EXPECT_EQ(buf(3, 3), c.after) << c.op;
    }
}

TEST_F(BlendBufferTest, WithoutBuffersOrCanvasNothingHappens) {
    VLM_SetBlendBufferCount(0);
    VLM_CopyBlendBufferSurface(20, 20, 0, 0);
    VLM_MixBlendBufferSurface(20, 20, 10);
    VLM_FilterBlendBuffer(290, 0);
    VLM_ClearBlendBuffer();
    VLM_SelectBlendBuffer(3);
    VLM_DeleteImage();
    VLM_CopyBlendBufferSurface(20, 20, 0, 0);
    VLM_DoCopyBlendBufferMask(20, 20, 0);
    VLM_FillBlendBuffer(0, 0, 0, 1);
}

} // namespace
} // namespace vlm::brush
