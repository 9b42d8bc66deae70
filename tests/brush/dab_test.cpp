#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

#include "brush/dab.h"
#include "brush/paint_common.h"
#include "brush/state.h"
#include "core/engine_state.h"
#include "paint_fixture.h"

namespace vlm::brush {
namespace {

using test::Px;

// A hard round brush of size S and no grit on the paint fixture's canvas.
class DabTest : public test::PaintTest {
protected:
    void SetUp() override {
        PaintTest::SetUp();
        use_brush(9);
    }
    void use_brush(int size) {
        VLM_SetSize(size);
        VLM_SetScaleSize(size);
        VLM_SetTool(1.0f, 0, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0, 0, nullptr, nullptr, 0);
        VLM_SetAlpha(100);
    }
    // Every shape value of the brush square set to v.
    void flat_shape(std::uint16_t v) {
        const int m = g_engine.canvas.max_brush, s = g_engine.brush.tool.brush_size;
        for (int r = 0; r < s; ++r) std::fill_n(g_engine.brush.shape + r * m, s, v);
    }
};

// Single-pixel brush: the compositing rules on worked values.
TEST_F(DabTest, CompositingOfOnePixelUnderTheLowAndHighModes) {
    use_brush(1);
    struct Case {
        int mode, amount;
        Px canvas;
        std::uint16_t coverage;
        Px expected;
    } cases[] = {
        // Paint over: t = 32767, the channel (32639 * 65536) / 65535.
        {32, 0, {0, 0, 0, 65535}, 32768, {32639, 0, 0, 65535}},
        // Onto a transparent pixel: the source colour with alpha (a * sA) >> 16.
        {32, 0, {5, 6, 7, 0}, 32768, {65280, 0, 0, 32767}},
        // Multiply over black stays black.
        {33, 0, {0, 0, 0, 65535}, 32768, {0, 0, 0, 65535}},
        // Screen with amount 0 gives the source 65280; the coverage blend half of it plus one.
        {34, 0, {0, 0, 0, 65535}, 32768, {32641, 1, 1, 65535}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        VLM_SetMixMode(c.mode, c.amount);
        flat_shape(c.coverage);
        set_px(10, 10, c.canvas);
        VLM_DrawDabGrit(10, 10, 0xFF00, 0, 0);
        EXPECT_EQ(px(10, 10), c.expected);
    }

    // White paint (65280) on white under Screen at full amount keeps every channel at 65535.
    VLM_SetMixMode(34, 255);
    flat_shape(32768);
    set_px(3, 3, {65535, 65535, 65535, 65535});
    VLM_DrawDabGrit(3, 3, 0xFFFF, 0xFFFF, 0xFFFF);
    EXPECT_EQ(px(3, 3), (Px{65535, 65535, 65535, 65535}));
}

TEST_F(DabTest, ClippingAtTheLeftEdgeAddsTheMarginToTheShapeColumn) {
    const int m = g_engine.canvas.max_brush;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c)
            g_engine.brush.shape[r * m + c] = static_cast<std::uint16_t>(1000 * (c + 1));
    VLM_DrawDabGrit(0, 20, 0xFF00, 0, 0);
    for (int x = 0; x < 5; ++x) EXPECT_EQ(px(x, 20)[3], (1000u * (x + 4 + 1) * 65535) >> 16) << x;
    EXPECT_EQ(px(5, 20)[3], 0u);
    // Undo must cover the dab: the dirty rectangle reaches the clipped corner.
    EXPECT_EQ(g_engine.undo.dirty_x0, 0);
    EXPECT_EQ(g_engine.undo.dirty_y0, 16);
    EXPECT_GE(g_engine.undo.dirty_x1, 4);
}

TEST_F(DabTest, AlphaBelowFullScalesCoverageAndTextureAndMaskScaleIt) {
    flat_shape(40000);
    VLM_SetAlpha(50); // scale trunc(50 * 1.28) = 64
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    EXPECT_EQ(px(20, 20)[3], (((40000u * 64) >> 7) * 65535) >> 16);

    VLM_SetAlpha(100);
    g_engine.mask.enabled = 1;
    g_engine.mask.plane[30 * kWidth + 30] = 32768;
    VLM_DrawDabGrit(30, 30, 0xFF00, 0, 0);
    EXPECT_EQ(px(30, 30)[3], (((32768u * 40000) >> 16) * 65535) >> 16);
    EXPECT_EQ(px(31, 30)[3], (40000u * 65535) >> 16);
}

TEST_F(DabTest, GritSkipsPixelsAboveTheDensity) {
    VLM_SetTool(1.0f, 3, 128, 128, 0, 0, 10, 0, 0, 0, 0, 0, 0, nullptr, nullptr, 0);
    VLM_SetDensity(1); // only grit bytes of 0 paint
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    const Tool& t = g_engine.brush.tool;
    ASSERT_TRUE(t.grit.set);
    const std::uint8_t* grit =
        g_engine.brush.dab[t.grit.buffer] + t.grit.row * g_engine.canvas.max_brush + t.grit.col;
    int painted = 0;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c) {
            const bool paints = grit[r * g_engine.canvas.max_brush + c] == 0 &&
                                g_engine.brush.shape[r * g_engine.canvas.max_brush + c] != 0;
            EXPECT_EQ(px(16 + c, 16 + r)[3] != 0, paints) << r << "," << c;
            painted += paints;
        }
    EXPECT_LT(painted, 81);
}

TEST_F(DabTest, EraseLowersAlphaOnlyWhateverTheLocks) {
    fill_layer({1000, 2000, 3000, 65535});
    fill_layer({1000, 2000, 3000, 65535}, 1);
    flat_shape(65535);
    for (int slot : {kLayer, 1}) {
        VLM_SetLayer(slot);
        VLM_SetAlphaLocked(1);
        VLM_SetEraseModeOn();
        VLM_DrawDabGrit(20, 20, 0xFF00, 0xFF00, 0xFF00);
        EXPECT_EQ(px(20, 20, slot), (Px{1000, 2000, 3000, 0})) << slot;
        EXPECT_EQ(g_engine.brush.tool.erase, 0);
        VLM_SetAlphaLocked(0);
    }
    // Blob lock keeps alpha above 8191 from falling below 9216.
    VLM_SetLayer(kLayer);
    VLM_SetBlobLocked(1);
    set_px(30, 30, {0, 0, 0, 20000});
    set_px(31, 30, {0, 0, 0, 5000});
    VLM_SetEraseModeOn();
    VLM_DrawDabGrit(30, 30, 0, 0, 0);
    EXPECT_EQ(px(30, 30)[3], 9216u);
    EXPECT_EQ(px(31, 30)[3], 5000u);
}

TEST_F(DabTest, LocksDecideWhatIsWritten) {
    flat_shape(65535);
    // Without a paint layer the background keeps its alpha; colour is written.
    VLM_SetLayer(1);
    fill_layer({0, 0, 0, 30000}, 1);
    VLM_DrawDabGrit(10, 10, 0xFF00, 0, 0);
    EXPECT_EQ(px(10, 10, 1)[3], 30000u);
    EXPECT_NE(px(10, 10, 1)[0], 0u);

    VLM_SetLayer(kLayer);
    VLM_SetColorLocked(1);
    VLM_DrawDabGrit(10, 10, 0xFF00, 0, 0);
    EXPECT_EQ(px(10, 10), (Px{0, 0, 0, 65534})); // (a * sA) >> 16 onto a transparent pixel
    VLM_SetColorLocked(0);

    VLM_SetAlphaLevel(1234);
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    EXPECT_EQ(px(20, 20)[3], 1234u);
}

TEST_F(DabTest, PaintLayerTakesTheDabAndTheMaskCapsItsAlpha) {
    VLM_CreatePaintLayer(100, 100, "Normal");
    flat_shape(65535);
    g_engine.mask.enabled = 1;
    g_engine.mask.plane[20 * kWidth + 20] = 1000;
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    const core::Layer& paint = g_engine.layers.paint;
    const std::uint16_t* p = at(paint.pixels, 20, 20);
    EXPECT_EQ(p[3], 1000);  // capped, not scaled
    EXPECT_EQ(p[0], 65280); // full coverage colour
    EXPECT_EQ(at(paint.pixels, 21, 20)[3], 65534);
    EXPECT_EQ(px(20, 20)[3], 0u); // the layer itself is untouched
    EXPECT_EQ(paint.x0, 16);
    EXPECT_EQ(paint.y0, 16);
    EXPECT_EQ(paint.x1, 25);
    EXPECT_EQ(paint.y1, 25);
}

TEST_F(DabTest, WetBrushPicksUpAndRemixes) {
    VLM_SetTool(1.0f, 0, 0, 0, 0, 0, 10, 128, 0, 1, 0, 0, 0, nullptr, nullptr, 0);
    use_brush(1);
    VLM_SetTool(1.0f, 0, 0, 0, 0, 0, 10, 128, 0, 1, 0, 0, 0, nullptr, nullptr, 0);
    flat_shape(65535);
    std::uint16_t* b = g_engine.brush.blend_selected->pixels;
    b[0] = 60000, b[1] = 0, b[2] = 0, b[3] = 65535;
    set_px(5, 5, {0, 0, 40000, 65535});
    VLM_DrawDabGrit(5, 5, 0, 0, 0);
    // Wet mixing at full coverage: (((0 * dA) >> 8) + ((65535 * s) >> 8)) >> 8.
    EXPECT_EQ(px(5, 5),
              (Px{(65535u * 60000 >> 8) >> 8, 0, (1u * 40000 >> 8) >> 8, (65535u * 65535 >> 8) >> 8}));
    // The buffer moved half way toward the canvas colour as it was before the dab.
    EXPECT_EQ(b[0], ((128u * 0 + 128 * 60000) >> 8) + 1);
    EXPECT_EQ(b[2], ((128u * 40000) >> 8) + 1);
    EXPECT_EQ(b[3], 65535);

    // A disabled blend paints the plain colour and leaves the buffer alone.
    const std::vector<std::uint16_t> before(b, b + 4);
    VLM_TempDisableBlend();
    VLM_DrawDabGrit(6, 5, 0xFF00, 0xFF00, 0);
    EXPECT_EQ(px(6, 5), (Px{65280, 65280, 0, 65534}));
    EXPECT_EQ(std::vector<std::uint16_t>(b, b + 4), before);
}

TEST_F(DabTest, MaskMakerPaintsTheMaskAndKeepsTheSwitches) {
    flat_shape(65535);
    std::fill_n(g_engine.mask.plane, kWidth * kHeight, std::uint16_t{0});
    VLM_SetMaskMakerOn();
    VLM_SetEraseModeOn();
    VLM_DrawDabGrit(20, 20, 0, 0, 0); // black: level 65535 (erase gives the same)
    EXPECT_EQ(g_engine.brush.tool.colour.r, 0);
    EXPECT_EQ(g_engine.mask.plane[20 * kWidth + 20], (65535u * 65535 >> 8) >> 8);
    EXPECT_EQ(g_engine.brush.tool.erase, 1);
    EXPECT_EQ(g_engine.mask.maker, 1);
    EXPECT_EQ(px(20, 20)[3], 0u);

    // The mask dab of a mid grey: level 65280 - average.
    VLM_DrawDabGritMask(40, 30);
    g_engine.brush.tool.erase = 0;
    g_engine.brush.tool.colour = {0x8000, 0x8000, 0x8000, 65535};
    std::fill_n(g_engine.mask.plane, kWidth * kHeight, std::uint16_t{0});
    VLM_DrawDabGritMask(40, 30);
    EXPECT_EQ(g_engine.mask.plane[30 * kWidth + 40], ((65535u * (65280 - 0x8000)) >> 8) >> 8);

    // A 16-bit white above 65280 is white for the mask: level 0, not a level wrapped round.
    VLM_SetColor16(65535, 65535, 65535);
    VLM_DrawDabGritMask(40, 30);
    EXPECT_EQ(g_engine.mask.plane[30 * kWidth + 40], 0);
}

TEST_F(DabTest, RotationSamplesTheUnrotatedShapeWhereTheTurnLeavesIt) {
    const int m = g_engine.canvas.max_brush;
    for (int r = 0; r < 9; ++r)
        for (int c = 0; c < 9; ++c)
            g_engine.brush.shape[r * m + c] = static_cast<std::uint16_t>(100 * (r * 9 + c) + 100);
    VLM_SetRotateBrushMode(1, 45);
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    // The corner (0, 0) turns outside the square, so it reads shape (0, 0).
    EXPECT_EQ(px(16, 16)[3], (100u * 65535) >> 16);
    // The centre stays the centre.
    EXPECT_EQ(px(20, 20)[3], ((100u * 40 + 100) * 65535) >> 16);
    // A 90 degree turn moves column 8 of row 4 to row 8, column 4.
    VLM_SetRotateBrushMode(1, 90);
    fill_layer({0, 0, 0, 0});
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    const float s = g_engine.brush.tool.rotate_sin, c = g_engine.brush.tool.rotate_cos;
    const long double u = 8 - 4, v = 0;
    const int col = static_cast<int>(u * c - v * s) + 4, row = static_cast<int>(u * s + v * c) + 4;
    EXPECT_EQ(px(24, 20)[3], ((100u * (row * 9 + col) + 100) * 65535) >> 16);
}

TEST_F(DabTest, TheSameSeedAndCallsPaintTheSamePixels) {
    auto stroke = [&](unsigned seed) {
        fill_layer({20000, 30000, 40000, 65535});
        // The variation arrays are kept while the seed is unchanged; the tool reseeds the generator after
        // them.
        VLM_SetRandomSeed(seed);
        VLM_SetPixColorVary(30);
        VLM_SetPixLumVary(20);
        VLM_SetTool(1.0f, 4, 100, 150, 0, 40, 3, 0, 0, 0, 0, 0, 0, nullptr, nullptr, 0);
        VLM_SetDensity(255);      // every seeded grit byte paints
        VLM_SetMixMode(253, 100); // draws per pixel
        for (int i = 0; i < 12; ++i) {
            VLM_DrawDabGrit(5 + 4 * i, 10 + 2 * i, 0x8000, 0x4000, 0xC000);
            VLM_DecDrawingLength();
        }
        return plane();
    };
    const auto a = stroke(7), b = stroke(7), c = stroke(8);
    fill_layer({20000, 30000, 40000, 65535});
    EXPECT_NE(a, plane());
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
}

TEST_F(DabTest, AResizedCanvasHasNoStaleShapeOrGrit) {
    VLM_SetTool(1.0f, 3, 128, 128, 0, 0, 10, 0, 0, 0, 0, 0, 0, nullptr, nullptr, 0);
    VLM_NewSize(nullptr, kWidth, kHeight, kMaxBrush, 0);
    for (int i = 0; i < kDabBuffers; ++i)
        EXPECT_EQ(std::count(g_engine.brush.dab[i],
                             g_engine.brush.dab[i] + (kMaxBrush + 25) * (kMaxBrush + 25), 255),
                  (kMaxBrush + 25) * (kMaxBrush + 25));
    EXPECT_EQ(std::count(g_engine.brush.shape, g_engine.brush.shape + kMaxBrush * kMaxBrush, 0),
              kMaxBrush * kMaxBrush);
}

TEST_F(DabTest, DabsOutsideTheCanvasAndBadToolsPaintNothing) {
    const auto before = plane();
    for (int x : {INT_MIN, -9, 64 + 5, INT_MAX}) VLM_DrawDabGrit(x, 20, 0xFF00, 0, 0);
    VLM_DrawDabGrit(20, INT_MIN, 0xFF00, 0, 0);
    EXPECT_EQ(plane(), before);

    // Blending without a buffer, and a brush larger than the canvas allows: refused.
    VLM_SetBlendBufferCount(0);
    VLM_SetBlendStrength(100);
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    VLM_SetBlendStrength(0);
    g_engine.brush.tool.brush_size = 500;
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    EXPECT_EQ(plane(), before);

    VLM_DeleteImage();
    VLM_DrawDabGrit(20, 20, 0xFF00, 0, 0);
    VLM_DrawDabGritMask(20, 20);
}

// The dab divides by the result alpha through a reciprocal; it must give the quotient for every alpha.
TEST(AlphaDivider, GivesTheQuotientForEveryAlpha) {
    using U = std::uint64_t;
    const U top = 0xFFFFFFFF;
    U state = 12345;
    for (std::uint32_t d = 1; d <= 65535; ++d) {
        const AlphaDivider by(d);
        state = state * 6364136223846793005u + 1442695040888963407u;
        const U k = (state >> 33) % (top / d) + 1;
        const U cases[] = {0,   U{d} - 1,        U{d},       k * d - 1,  k * d,
                           top, top / d * d - 1, U{1} << 40, state >> 32};
        for (U x : cases) ASSERT_EQ(by(x), x / d) << x << " / " << d;
    }
}

} // namespace
} // namespace vlm::brush
