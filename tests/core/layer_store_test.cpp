#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/engine_state.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

class LayerStore : public CanvasTest {
protected:
    static constexpr std::size_t kValues = static_cast<std::size_t>(kWidth) * kHeight * 4;
    std::vector<std::uint16_t> data(int slot) {
        std::vector<std::uint16_t> v(kValues);
        VLM_GetLayerData(v.data(), slot);
        return v;
    }
    static std::uint16_t* px(int slot, int x, int y) {
        return g_engine.layers.layers[slot].pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4;
    }
};

TEST_F(LayerStore, CreateFillsBackgroundWhiteAndOthersTransparent) {
    ASSERT_EQ(VLM_CreateLayer(1, kWidth, kHeight), 1);
    ASSERT_EQ(VLM_CreateLayer(2, kWidth, kHeight), 1);
    for (std::uint16_t v : data(1)) ASSERT_EQ(v, 0xFFFF);
    for (std::uint16_t v : data(2)) ASSERT_EQ(v, 0);
    EXPECT_EQ(g_engine.layers.layers[2].pitch, kWidth * 4);
    EXPECT_EQ(VLM_GetLayerCount(), 2);

    // Created again at the same size: the same plane, cleared.
    std::uint16_t* plane = g_engine.layers.layers[2].pixels;
    px(2, 3, 3)[0] = 77;
    ASSERT_EQ(VLM_CreateLayer(2, kWidth, kHeight), 1);
    EXPECT_EQ(g_engine.layers.layers[2].pixels, plane);
    EXPECT_EQ(px(2, 3, 3)[0], 0);
    // At another size: a plane of that size.
    ASSERT_EQ(VLM_CreateLayer(2, 10, 5), 1);
    EXPECT_EQ(g_engine.layers.layers[2].width, 10);
    EXPECT_EQ(g_engine.layers.layers[2].pitch, 40);
}

TEST_F(LayerStore, RefusesSlotsAndSizesOutsideTheTable) {
    struct Case {
        int slot, width, height;
    } cases[] = {{272, 8, 8}, {-1, 8, 8}, {3, -1, 8}, {3, 8, -4}, {3, 10001, 1}, {3, 1, 2000000000}};
    for (const Case& c : cases) EXPECT_EQ(VLM_CreateLayer(c.slot, c.width, c.height), 0) << c.slot;
    EXPECT_EQ(VLM_GetLayerCount(), 0);
    // Other operations ignore such slots.
    VLM_DeleteLayer(-3);
    VLM_DeleteLayer(300);
    VLM_SetLayer(-1);
    VLM_SetLayerOptions(272, 1, 0, 100, "Normal");
    VLM_SwapLayers(-1, 2);
    VLM_SwapPaintLayer(999);
    VLM_CreateTexture(-5);
    VLM_SetLayerAlpha(272, 0);
    VLM_InvertAlpha(-1);
    VLM_NormalizeLayerAlpha(500);
    EXPECT_EQ(VLM_IsLayerTransparent(-1), 1);
    EXPECT_EQ(VLM_IsSingleColor(272), 0);
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(LayerStore, SelectingALayerRefreshesTheBackBuffer) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_CreateLayer(4, kWidth, kHeight);
    px(4, 2, 1)[3] = 1234;
    VLM_SetLayer(4);
    EXPECT_EQ(VLM_GetLayerNum(), 4);
    EXPECT_EQ(g_engine.layers.current, &g_engine.layers.layers[4]);
    EXPECT_EQ(g_engine.undo.back[(1 * kWidth + 2) * 4 + 3], 1234);

    // An empty slot changes neither the selection nor the back buffer.
    px(4, 2, 1)[3] = 9;
    VLM_SetLayer(7);
    EXPECT_EQ(VLM_GetLayerNum(), 4);
    EXPECT_EQ(g_engine.undo.back[(1 * kWidth + 2) * 4 + 3], 1234);
}

TEST_F(LayerStore, OptionsStoreOpacityModeAndTopIndex) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_CreateLayer(5, kWidth, kHeight);
    struct Case {
        int percent, opacity;
    } opacities[] = {{100, 256}, {50, 128}, {1, 2}, {0, 0}, {250, 256}, {-20, 0}};
    for (const Case& c : opacities) {
        VLM_SetLayerOptions(5, 1, 0, c.percent, "Multiply");
        EXPECT_EQ(g_engine.layers.layers[5].opacity, c.opacity) << c.percent;
    }
    const core::Layer& l = g_engine.layers.layers[5];
    EXPECT_EQ(l.mode, 1);
    EXPECT_STREQ(l.mode_name, "Multiply");
    EXPECT_EQ(l.strength, 255);
    EXPECT_EQ(g_engine.layers.top_index, 5);

    VLM_SetLayerOptions(5, 0x101, 0x200, 100, std::string(50, 'a').c_str()); // too long: empty name
    EXPECT_EQ(l.mode, 0);
    EXPECT_STREQ(l.mode_name, "");
    EXPECT_EQ(l.visible, 1);      // low byte
    EXPECT_EQ(l.alpha_locked, 0); // low byte
    VLM_SetLayerOptions(5, 1, 0, 100, "Screen ");
    EXPECT_EQ(l.mode, 0);
    VLM_SetLayerOptions(5, 1, 0, 100, nullptr);
    EXPECT_EQ(l.mode, 0);

    // The top index is recomputed by the options only.
    VLM_DeleteLayer(5);
    EXPECT_EQ(g_engine.layers.top_index, 5);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    EXPECT_EQ(g_engine.layers.top_index, 1);
}

TEST_F(LayerStore, TexturePlaneFollowsTheVisibleTexturize3Layer) {
    VLM_CreateLayer(1, kWidth, kHeight); // white
    VLM_CreateLayer(2, kWidth, kHeight); // black (alpha 0)
    VLM_CreateTexture(1);
    ASSERT_NE(g_engine.layers.texture, nullptr);
    EXPECT_EQ(g_engine.layers.texture[0], 250);
    VLM_CreateTexture(2);
    EXPECT_EQ(g_engine.layers.texture[kWidth * kHeight - 1], 4);
    px(2, 0, 0)[0] = px(2, 0, 0)[1] = px(2, 0, 0)[2] = 32768; // (3 x 32768) / 768 = 128
    VLM_CreateTexture(2);
    EXPECT_EQ(g_engine.layers.texture[0], 128);
    VLM_DeleteTexture();
    EXPECT_EQ(g_engine.layers.texture, nullptr);

    VLM_SetLayer(1);
    VLM_SetLayerOptions(2, 1, 0, 100, "Texturize3"); // visible, not current: builds the texture
    ASSERT_NE(g_engine.layers.texture, nullptr);
    VLM_SetLayer(2); // selecting it drops the texture
    EXPECT_EQ(g_engine.layers.texture, nullptr);
    VLM_SetLayer(1); // leaving it builds the texture again
    EXPECT_NE(g_engine.layers.texture, nullptr);
    VLM_SetLayerOptions(2, 1, 0, 100, "Normal"); // its mode changes: dropped
    EXPECT_EQ(g_engine.layers.texture, nullptr);
}

TEST_F(LayerStore, QueriesOverTheCanvas) {
    EXPECT_EQ(VLM_IsLayerTransparent(3), 1);
    EXPECT_EQ(VLM_IsSingleColor(3), 0);
    VLM_CreateLayer(1, kWidth, kHeight);
    EXPECT_EQ(VLM_IsLayerTransparent(1), 0);
    EXPECT_EQ(VLM_IsSingleColor(1), 1);
    px(1, 10, 10)[3] = 0xFF00;
    EXPECT_EQ(VLM_IsLayerTransparent(1), 0);
    EXPECT_EQ(VLM_IsSingleColor(1), 0);
    px(1, 10, 10)[3] = 0xFEFF;
    EXPECT_EQ(VLM_IsLayerTransparent(1), 1);

    VLM_CreateLayer(3, kWidth, kHeight);
    int x0 = -1, y0 = -1, x1 = -1, y1 = -1;
    VLM_FindDataExtentsLayer(3, &x0, &y0, &x1, &y1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({kWidth, kHeight, 0, 0}));
    px(3, 7, 3)[3] = 1;
    VLM_FindDataExtentsLayer(3, &x0, &y0, &x1, &y1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({7, 3, 7, 3}));
    px(3, 60, 40)[3] = 5;
    VLM_FindDataExtentsLayer(3, &x0, &y0, &x1, &y1);
    EXPECT_EQ(std::vector<int>({x0, y0, x1, y1}), std::vector<int>({7, 3, 60, 40}));
    x0 = -9;
    VLM_FindDataExtentsLayer(8, &x0, &y0, &x1, &y1); // empty slot: untouched
    VLM_FindDataExtentsLayer(3, nullptr, &y0, &x1, &y1);
    EXPECT_EQ(x0, -9);
}

TEST_F(LayerStore, DataCopiesAndSwaps) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_CreateLayer(2, kWidth, kHeight);
    std::vector<std::uint16_t> pattern(kValues);
    for (std::size_t i = 0; i < kValues; ++i) pattern[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
    VLM_SetLayerData(pattern.data(), 2);
    EXPECT_EQ(data(2), pattern);
    VLM_CopyLayerData(2, 1);
    EXPECT_EQ(data(1), pattern);
    VLM_SetLayerData(nullptr, 1);
    VLM_GetLayerData(nullptr, 1);
    VLM_CopyLayerData(2, 9); // empty destination: nothing
    EXPECT_EQ(VLM_GetLayerCount(), 2);

    VLM_SetLayerOptions(2, 1, 0, 40, "Screen");
    VLM_SetLayer(2);
    VLM_SwapLayers(2, 6);
    EXPECT_EQ(g_engine.layers.layers[6].mode, 2);
    EXPECT_EQ(g_engine.layers.layers[2].pixels, nullptr);
    EXPECT_EQ(VLM_GetLayerNum(), 2); // selection untouched
    EXPECT_EQ(data(6), pattern);
}

TEST_F(LayerStore, CanvasSizedOperationsRefuseLayersOfAnotherSize) {
    VLM_CreateLayer(2, kWidth, kHeight);
    VLM_CreateLayer(3, 16, 8);
    std::vector<std::uint16_t> big(kValues, 0xAAAA);
    VLM_SetLayerData(big.data(), 3);
    VLM_CopyLayerData(2, 3);
    VLM_CopyLayerData(3, 2);
    VLM_CreateTexture(3);
    EXPECT_EQ(g_engine.layers.texture, nullptr);
    EXPECT_EQ(VLM_IsLayerTransparent(3), 1);
    for (int i = 0; i < 16 * 8 * 4; ++i) ASSERT_EQ(g_engine.layers.layers[3].pixels[i], 0);

    // Alpha operations work on the layer's own size.
    VLM_SetLayerAlpha(3, 4000);
    VLM_InvertAlpha(3);
    const std::uint16_t* p = g_engine.layers.layers[3].pixels;
    for (int i = 0; i < 16 * 8; ++i) ASSERT_EQ(p[i * 4 + 3], 65535 - 4000);
}

TEST_F(LayerStore, NormalizeFoldsOpacityForNonAlphaModes) {
    VLM_CreateLayer(2, kWidth, kHeight);
    VLM_SetLayerAlpha(2, 40000);
    VLM_SetLayerOptions(2, 1, 0, 50, "Alpha Normal");
    VLM_NormalizeLayerAlpha(2);
    EXPECT_EQ(g_engine.layers.layers[2].opacity, 128); // alpha modes are left alone
    VLM_SetLayerOptions(2, 1, 0, 50, "Overlay");
    VLM_NormalizeLayerAlpha(2);
    EXPECT_EQ(g_engine.layers.layers[2].opacity, 256);
    EXPECT_EQ(px(2, 5, 5)[3], (40000 * 128) >> 8);
}

class PaintLayer : public LayerStore {
protected:
    static core::Layer& paint() { return g_engine.layers.paint; }
    static std::uint16_t* ppx(int x, int y) { return paint().pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4; }
};

TEST_F(PaintLayer, CreationClearsAndStoresTheSettings) {
    EXPECT_EQ(VLM_CreatePaintLayer(50, 50, "Multiply"), 1);
    const core::Layer& p = paint();
    ASSERT_NE(p.pixels, nullptr);
    EXPECT_EQ(p.width, kWidth);
    EXPECT_EQ(p.opacity, 128);
    EXPECT_EQ(p.strength, 127); // 50 x 2.559, truncated
    EXPECT_EQ(p.visible, 1);
    EXPECT_EQ(std::vector<int>({p.x0, p.y0, p.x1, p.y1}), std::vector<int>({kWidth, kHeight, 0, 0}));
    for (std::size_t i = 0; i < kValues; ++i) ASSERT_EQ(p.pixels[i], 0);

    ppx(1, 1)[0] = 5;
    EXPECT_EQ(VLM_CreatePaintLayer(100, 100, std::string(60, 'x').c_str()), 1); // long name: the old one stays
    EXPECT_EQ(p.strength, 255);
    EXPECT_EQ(ppx(1, 1)[0], 5); // an existing plane is not cleared
    VLM_DeletePaintLayer();
    EXPECT_EQ(p.pixels, nullptr);
}

TEST_F(PaintLayer, ClearsWithinTheExtents) {
    VLM_CreatePaintLayer(100, 100, "Normal");
    VLM_SetPaintLayerExtents(2, 3, 5, 4);
    VLM_ClearPaintLayer_old();
    EXPECT_EQ(ppx(2, 3)[0], 0);
    EXPECT_EQ(ppx(4, 3)[3], 0);
    EXPECT_EQ(ppx(5, 3)[0], 0xFFFF); // x1 exclusive
    EXPECT_EQ(ppx(2, 4)[0], 0xFFFF);
    EXPECT_EQ(paint().x0, kWidth);
    VLM_SetPaintLayerExtents(-50, -50, 1000, 1000); // beyond the plane: only the plane is cleared
    VLM_ClearPaintLayer_old();
    for (std::size_t i = 0; i < kValues; ++i) ASSERT_EQ(paint().pixels[i], 0);
    VLM_SetPaintLayerExtents(0, 0, 1, 1);
    ppx(9, 9)[2] = 3;
    VLM_ClearPaintLayer();
    EXPECT_EQ(ppx(9, 9)[2], 0);
    EXPECT_EQ(paint().y0, kHeight);
}

TEST_F(PaintLayer, SwapExchangesWithASlot) {
    VLM_CreateLayer(4, kWidth, kHeight);
    VLM_CreatePaintLayer(100, 100, "Screen");
    std::uint16_t* plane = paint().pixels;
    VLM_SwapPaintLayer(4);
    EXPECT_EQ(g_engine.layers.layers[4].pixels, plane);
    EXPECT_EQ(g_engine.layers.layers[4].mode, 2);
}

TEST_F(PaintLayer, BlurredAlphaKeepsNearlyOpaquePixels) {
    VLM_CreatePaintLayer(100, 100, "Normal");
    // A 3 x 3 opaque block with one pixel just below the opaque threshold, on transparency.
    for (int y = 10; y < 13; ++y)
        for (int x = 10; x < 13; ++x) ppx(x, y)[3] = 0xFFFF;
    ppx(11, 11)[3] = 239 * 256;
    VLM_BlurPaintLayerAlpha();
    EXPECT_EQ(ppx(10, 10)[3], 65535); // high byte 255 before the blur
    // (11, 11): kernel sum (1 2 1 / 2 4 2 / 1 2 1) of 255s around a centre of 239: (16 x 255 - 4 x 16 + 8) >> 4
    EXPECT_EQ(ppx(11, 11)[3], ((16 * 255 - 4 * 16 + 8) >> 4) * 256);
    // (9, 10): left of the block; neighbours (10, 9..11) hold 0, 255, 255 with weights 1, 2, 1.
    EXPECT_EQ(ppx(9, 10)[3], ((3 * 255 + 8) >> 4) * 256);
    EXPECT_EQ(ppx(0, 0)[3], 0);
    VLM_DeletePaintLayer();
    VLM_BlurPaintLayerAlpha(); // no paint layer: nothing
    EXPECT_STREQ(VLM_GetLastError(), "");
}

} // namespace
} // namespace vlm::test

namespace vlm::test {
namespace {

// Every change of the current layer widens the undo dirty rectangle; changes of other layers do not.
TEST_F(LayerStore, ChangesOfTheCurrentLayerMarkItDirty) {
    VLM_CreateLayer(2, kWidth, kHeight);
    VLM_CreateLayer(3, kWidth, kHeight);
    VLM_SetLayer(2);
    std::vector<std::uint16_t> buffer(kValues, 7);
    const std::function<void()> changes[] = {
        [&] { VLM_SetLayerData(buffer.data(), 2); }, [] { VLM_CopyLayerData(3, 2); },
        [] { VLM_SetLayerAlpha(2, 5); },             [] { VLM_InvertAlpha(2); },
        [] { VLM_NormalizeLayerAlpha(2); },          [] { VLM_CreateLayer(2, kWidth, kHeight); },
    };
    for (const auto& change : changes) {
        VLM_ClearUndo(); // dirty rectangle empty
        change();
        EXPECT_EQ(g_engine.undo.dirty_x0, 0);
        EXPECT_EQ(g_engine.undo.dirty_y1, kHeight - 1);
    }
    VLM_ClearUndo();
    VLM_SetLayerAlpha(3, 5);
    VLM_CopyLayerData(2, 3);
    EXPECT_EQ(g_engine.undo.dirty_x0, kWidth - 1);
    EXPECT_EQ(g_engine.undo.dirty_x1, 0);
}

} // namespace
} // namespace vlm::test
