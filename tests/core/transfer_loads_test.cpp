#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/new_rgba.h"
#include "core/parallel.h"
#include "core/transfer_loads.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

using Pixel = std::array<std::uint16_t, 4>;

class TransferLoads : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(1, kWidth, kHeight);
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_SetLayer(2);
        reset_dirty();
    }
    static void reset_dirty() {
        undo::State& u = g_engine.undo;
        u.dirty_x0 = kWidth - 1, u.dirty_y0 = kHeight - 1, u.dirty_x1 = 0, u.dirty_y1 = 0;
    }
    static std::array<int, 4> dirty() {
        const undo::State& u = g_engine.undo;
        return {u.dirty_x0, u.dirty_y0, u.dirty_x1, u.dirty_y1};
    }
    static std::uint16_t* px(int slot, int x, int y) {
        return g_engine.layers.layers[slot].pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4;
    }
    static Pixel pixel(int slot, int x, int y) {
        const std::uint16_t* p = px(slot, x, y);
        return {p[0], p[1], p[2], p[3]};
    }
    static void set_pixel(int slot, int x, int y, Pixel v) { std::copy(v.begin(), v.end(), px(slot, x, y)); }
    static std::uint16_t& mask(int x, int y) { return g_engine.mask.plane[y * kWidth + x]; }
    // The engine owns the texture plane and frees it with the canvas.
    static void make_texture(std::uint8_t value) {
        g_engine.layers.texture = new std::uint8_t[kWidth * kHeight];
        std::fill_n(g_engine.layers.texture, kWidth * kHeight, value);
    }
    // A packed RGBA32 buffer of one colour.
    static std::vector<std::uint8_t> rgba32(int w, int h, std::array<std::uint8_t, 4> c) {
        std::vector<std::uint8_t> v(static_cast<std::size_t>(w) * h * 4);
        for (std::size_t i = 0; i < v.size(); i += 4) std::copy(c.begin(), c.end(), v.begin() + i);
        return v;
    }
};

TEST_F(TransferLoads, LoadSwapsBlueAndRedAndStopsAtTheCanvas) {
    // One pixel more than the canvas each way, rows padded to 200 bytes.
    const int w = kWidth + 1, h = kHeight + 1, pitch = 200;
    std::vector<std::uint8_t> bgr(static_cast<std::size_t>(pitch) * h, 7);
    bgr[0] = 10, bgr[1] = 20, bgr[2] = 30;
    VLM_Load(bgr.data(), pitch, w, h);
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{30 * 256, 20 * 256, 10 * 256, 65535}));
    EXPECT_EQ(pixel(2, kWidth - 1, kHeight - 1), (Pixel{7 * 256, 7 * 256, 7 * 256, 65535}));
    EXPECT_EQ(dirty(), (std::array<int, 4>{0, 0, kWidth - 1, kHeight - 1}));

    // A smaller picture changes only its own area.
    VLM_Clear(0, 0, 0, 0);
    VLM_Load(bgr.data(), pitch, 3, 2);
    EXPECT_EQ(pixel(2, 2, 1)[3], 65535);
    EXPECT_EQ(pixel(2, 3, 1)[3], 0);
    EXPECT_EQ(pixel(2, 2, 2)[3], 0);
}

TEST_F(TransferLoads, UnweightedRGBA32ClearsTransparentSourcePixelsUnlessAlphaLocked) {
    set_pixel(2, 0, 0, {1, 2, 3, 40000});
    const auto src = rgba32(1, 1, {200, 100, 50, 0});
    VLM_LoadRGBA32Layer(src.data(), 4, 2, 0, 0, 1, 1, 0);
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{0, 0, 0, 0}));

    set_pixel(2, 0, 0, {1, 2, 3, 40000});
    VLM_SetLayerOptions(2, 1, 1, 100, "Normal");
    VLM_LoadRGBA32Layer(src.data(), 4, 2, 0, 0, 1, 1, 0);
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{200 * 256, 100 * 256, 50 * 256, 40000}));

    VLM_SetLayerOptions(2, 1, 0, 100, "Normal");
    const auto opaque = rgba32(1, 1, {200, 100, 50, 9});
    VLM_LoadRGBA32Layer(opaque.data(), 4, 2, 0, 0, 1, 1, 0);
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{200 * 256, 100 * 256, 50 * 256, 9 * 256}));
}

// Rule A: mask 0x80FF (high byte 128) and texture 64 each give W = 129 x 65535 / 256 = 33023, together
// 129 x 33023 / 256 = 16640. Expected values below are worked by hand from the weighted blend
// ((s x 256 x W) / 256 + (d x (65535 - W)) / 256) / 256.
TEST_F(TransferLoads, WeightedRGBA32FollowsEveryCaseOfTheWeight) {
    struct Case {
        const char* what;
        std::uint16_t mask;
        std::uint8_t texture; // 0 = no texture plane
        Pixel before;
        std::array<std::uint8_t, 4> source;
        Pixel unlocked, locked;
    } cases[] = {
        // clang-format off
        {"full weight writes the source, alpha 0 included", 0xFFFF, 0, {1, 2, 3, 4}, {200, 100, 50, 0},
         {51200, 25600, 12800, 0}, {51200, 25600, 12800, 4}},
        {"protected pixel", 0x00FF, 0, {1, 2, 3, 4}, {200, 100, 50, 255}, {1, 2, 3, 4}, {1, 2, 3, 4}},
        {"transparent destination", 0x80FF, 0, {9, 9, 9, 0}, {200, 100, 50, 128},
         {51200, 25600, 12800, 16511}, {51200, 25600, 12800, 0}},
        {"transparent source fades the alpha", 0x80FF, 0, {9, 8, 7, 40000}, {200, 100, 50, 0},
         {9, 8, 7, 19843}, {9, 8, 7, 40000}},
        {"blend by the mask", 0x80FF, 0, {4660, 30000, 65535, 50000}, {200, 100, 50, 180},
         {28111, 27782, 38961, 48023}, {28111, 27782, 38961, 50000}},
        {"blend by the texture", 0xFFFF, 64, {4660, 30000, 65535, 50000}, {200, 100, 50, 180},
         {28111, 27782, 38961, 48023}, {28111, 27782, 38961, 50000}},
        {"blend by both", 0x80FF, 64, {4660, 30000, 65535, 50000}, {200, 100, 50, 180},
         {16476, 28882, 52144, 49003}, {16476, 28882, 52144, 50000}},
        {"texture at or above 128 lets everything through", 0xFFFF, 128, {1, 2, 3, 4}, {200, 100, 50, 7},
         {51200, 25600, 12800, 1792}, {51200, 25600, 12800, 4}},
        // clang-format on
    };
    for (const Case& c : cases) {
        for (int locked = 0; locked < 2; ++locked) {
            SCOPED_TRACE(testing::Message() << c.what << (locked ? ", alpha locked" : ""));
            if (c.texture) make_texture(c.texture);
            VLM_SetLayerOptions(2, 1, locked, 100, "Normal");
            mask(5, 6) = c.mask;
            set_pixel(2, 5, 6, c.before);
            const auto src = rgba32(1, 1, c.source);
            VLM_LoadRGBA32Into(src.data(), 4, 2, 5, 6, 1, 1);
            EXPECT_EQ(pixel(2, 5, 6), locked ? c.locked : c.unlocked);
            VLM_DeleteTexture();
        }
    }
}

TEST_F(TransferLoads, WeightingNeedsTheFlagAndAPlane) {
    mask(0, 0) = 0x80FF;
    const auto src = rgba32(1, 1, {200, 100, 50, 180});
    set_pixel(2, 0, 0, {4660, 30000, 65535, 50000});
    VLM_LoadRGBA32Layer(src.data(), 4, 2, 0, 0, 1, 1, 0x100); // only the low byte counts: unweighted
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{51200, 25600, 12800, 46080}));

    set_pixel(2, 0, 0, {4660, 30000, 65535, 50000});
    g_engine.mask.enabled = 0;
    VLM_LoadRGBA32Layer(src.data(), 4, 2, 0, 0, 1, 1, 1); // no mask, no texture: the plain load
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{51200, 25600, 12800, 46080}));
}

TEST_F(TransferLoads, FastWeightedKernelsMatchTheirReference) {
    std::mt19937 gen(20240611);
    const int n = 301;
    // Values drawn to hit the shortcuts often: full and zero weights, transparent pixels.
    const auto value16 = [&] {
        const unsigned r = gen() % 8;
        return static_cast<std::uint16_t>(r == 0 ? 0 : r == 1 ? 0xFFFF : gen());
    };
    const auto value8 = [&] {
        const unsigned r = gen() % 8;
        return static_cast<std::uint8_t>(r == 0 ? 0 : r == 1 ? 255 : gen());
    };
    for (int round = 0; round < 200; ++round) {
        std::vector<std::uint16_t> dst(n * 4), mask_row(n);
        std::vector<std::uint8_t> src(n * 4), texture_row(n);
        for (auto& v : dst) v = value16();
        for (auto& v : mask_row) v = value16();
        for (auto& v : src) v = value8();
        for (auto& v : texture_row) v = value8();
        const bool with_mask = round % 3 != 1, with_texture = round % 3 != 0, locked = round % 2;
        auto best = dst, scalar = dst, reference = dst;
        const std::uint16_t* m = with_mask ? mask_row.data() : nullptr;
        const std::uint8_t* t = with_texture ? texture_row.data() : nullptr;
        core::load_rgba32_row_weighted(best.data(), src.data(), n, m, t, locked);
        core::load_rgba32_row_weighted(scalar.data(), src.data(), n, m, t, locked,
                                       core::WeightedKernel::scalar);
        core::load_rgba32_row_weighted_reference(reference.data(), src.data(), n, m, t, locked);
        ASSERT_EQ(scalar, reference) << "round " << round;
        ASSERT_EQ(best, reference) << "round " << round;
    }
}

// Large loads split their rows over the cores; the split must not change a byte.
TEST(TransferLoadsSplit, OneThreadAndTwoLoadTheSameBytes) {
    reset_engine();
    const int w = 700, h = 500; // above the size at which loads use more threads
    VLM_CreateImage(nullptr, w, h, 16, 0);
    VLM_CreateLayer(2, w, h);
    VLM_SetLayer(2);
    std::mt19937 gen(7);
    std::vector<std::uint8_t> src(static_cast<std::size_t>(w) * h * 4);
    for (auto& v : src) v = static_cast<std::uint8_t>(gen());
    for (int i = 0; i < w * h; ++i) g_engine.mask.plane[i] = static_cast<std::uint16_t>(gen());
    g_engine.layers.texture = new std::uint8_t[static_cast<std::size_t>(w) * h];
    for (int i = 0; i < w * h; ++i) g_engine.layers.texture[i] = static_cast<std::uint8_t>(gen());
    const std::size_t values = static_cast<std::size_t>(w) * h * 4;
    std::vector<std::uint16_t> start(values);
    for (auto& v : start) v = static_cast<std::uint16_t>(gen());
    auto load = [&](int threads) {
        core::set_parallel_threads(threads);
        std::copy(start.begin(), start.end(), g_engine.layers.layers[2].pixels);
        VLM_LoadRGBA32Layer(src.data(), w * 4, 2, 0, 0, w, h, 1);
        return std::vector<std::uint16_t>(g_engine.layers.layers[2].pixels,
                                          g_engine.layers.layers[2].pixels + values);
    };
    const auto one = load(1), two = load(2);
    core::set_parallel_threads(0);
    EXPECT_EQ(one, two);
    EXPECT_NE(one, start);
    reset_engine();
}

TEST_F(TransferLoads, RectanglesAreClippedToTheLayer) {
    // A 4 x 3 picture whose pixel (i, j) has red 10 j + i, placed at (-2, -1).
    std::vector<std::uint8_t> src(4 * 3 * 4, 255);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) src[(j * 4 + i) * 4] = static_cast<std::uint8_t>(10 * j + i);
    VLM_LoadRGBA32Layer(src.data(), 16, 2, -2, -1, 4, 3, 1);
    EXPECT_EQ(pixel(2, 0, 0)[0], 12 * 256); // source (2, 1)
    EXPECT_EQ(pixel(2, 1, 1)[0], 23 * 256); // source (3, 2)
    EXPECT_EQ(pixel(2, 2, 0)[3], 0);
    EXPECT_EQ(pixel(2, 0, 2)[3], 0);
    EXPECT_EQ(dirty(), (std::array<int, 4>{0, 0, 1, 1}));

    // Past the right and bottom edges, and far outside: nothing is written beyond the plane.
    VLM_LoadRGBA32Layer(src.data(), 16, 2, kWidth - 1, kHeight - 2, 4, 3, 0);
    EXPECT_EQ(pixel(2, kWidth - 1, kHeight - 1)[0], 10 * 256);
    VLM_LoadRGBA32Layer(src.data(), 16, 2, 2147483600, 0, 4, 3, 0);
    VLM_LoadRGBA32Layer(src.data(), 16, 2, -2147483647, -5, 4, 3, 0);
    // Refused: rows overlapping, negative sizes, null buffer, empty or unknown slots.
    VLM_Clear(0, 0, 0, 0);
    VLM_LoadRGBA32Layer(src.data(), 15, 2, 0, 0, 4, 3, 0);
    VLM_LoadRGBA32Layer(src.data(), -16, 2, 0, 0, 4, 3, 0);
    VLM_LoadRGBA32Layer(src.data(), 16, 2, 0, 0, -4, 3, 0);
    VLM_LoadRGBA32Layer(nullptr, 16, 2, 0, 0, 4, 3, 0);
    VLM_LoadRGBA32Layer(src.data(), 16, 7, 0, 0, 4, 3, 0);
    VLM_LoadRGBA32Layer(src.data(), 16, 272, 0, 0, 4, 3, 0);
    VLM_LoadRGBA32Layer(src.data(), 16, -1, 0, 0, 4, 3, 0);
    EXPECT_EQ(pixel(2, 0, 0)[3], 0);
    EXPECT_EQ(pixel(2, 1, 1)[3], 0);
}

TEST_F(TransferLoads, LayersOfAnotherSizeUseTheirOwnSizeAndWeightOnlyOverTheCanvas) {
    VLM_CreateLayer(3, kWidth + 8, 2); // wider than the canvas
    core::Layer& l = g_engine.layers.layers[3];
    const auto src = rgba32(kWidth + 8, 2, {90, 90, 90, 255});
    VLM_LoadRGBA32Layer(src.data(), (kWidth + 8) * 4, 3, 0, 0, kWidth + 8, 2, 0);
    EXPECT_EQ(l.pixels[(kWidth + 7) * 4], 90 * 256);
    EXPECT_EQ(l.pixels[(2 * (kWidth + 8) - 1) * 4], 90 * 256);

    // Weighted: the columns beyond the canvas have no mask value and stay as they were.
    const auto other = rgba32(kWidth + 8, 2, {30, 30, 30, 255});
    VLM_LoadRGBA32Layer(other.data(), (kWidth + 8) * 4, 3, 0, 0, kWidth + 8, 2, 1);
    EXPECT_EQ(l.pixels[(kWidth - 1) * 4], 30 * 256);
    EXPECT_EQ(l.pixels[kWidth * 4], 90 * 256);

    // VLM_LoadRGBA32 takes the current layer's own size.
    VLM_SetLayer(3);
    VLM_LoadRGBA32(other.data(), (kWidth + 8) * 4, 0);
    EXPECT_EQ(l.pixels[(2 * (kWidth + 8) - 1) * 4], 30 * 256);
}

TEST_F(TransferLoads, RGB24LoadsWeighColourByRuleAAndAlphaByRuleB) {
    std::vector<std::uint8_t> rgb(kWidth * kHeight * 3, 200);
    set_pixel(2, 1, 0, {4660, 4660, 4660, 50000});
    set_pixel(2, 2, 0, {4660, 4660, 4660, 0});
    mask(1, 0) = 0x80FF;
    mask(2, 0) = 0x8000;
    VLM_LoadRGB24(rgb.data(), kWidth * 3, 1);
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{51200, 51200, 51200, 0})); // colour only
    EXPECT_EQ(pixel(2, 1, 0), (Pixel{28111, 28111, 28111, 50000}));
    EXPECT_EQ(dirty(), (std::array<int, 4>{0, 0, kWidth - 1, kHeight - 1}));

    // Rule B: mask 0x8000 gives W = 0x8000 x 65535 / 65536 = 32767; transparent pixels are skipped.
    // Expected ((200 x 256 x 32767) / 256 + (50000 x 32768) / 256) / 256 = 50599.
    set_pixel(2, 2, 0, {1, 1, 1, 50000});
    set_pixel(2, 3, 0, {1, 1, 1, 0});
    VLM_LoadRGB24ToAlpha(rgb.data(), kWidth * 3, 1);
    EXPECT_EQ(pixel(2, 2, 0)[3], 50599);
    EXPECT_EQ(pixel(2, 3, 0)[3], 0);
    EXPECT_EQ(pixel(2, 1, 0)[3], 50603); // mask 0x80FF: W = 0x80FF x 65535 / 65536 = 33022
}

TEST_F(TransferLoads, OnlyChangesOfTheCurrentLayerWidenTheDirtyRectangle) {
    const auto src = rgba32(2, 2, {1, 2, 3, 4});
    VLM_LoadRGBA32Layer(src.data(), 8, 1, 5, 5, 2, 2, 0);
    EXPECT_EQ(dirty(), (std::array<int, 4>{kWidth - 1, kHeight - 1, 0, 0}));
    VLM_LoadRGBA32Layer(src.data(), 8, 2, 5, 7, 2, 2, 0);
    VLM_LoadRGBA32Layer(src.data(), 8, 2, 9, 3, 2, 2, 0);
    EXPECT_EQ(dirty(), (std::array<int, 4>{5, 3, 10, 8}));
}

TEST_F(TransferLoads, SetInNewRGBAPlacesTheHeldPictureWeighted) {
    std::uint8_t* p = core::create_new_rgba(2, 1);
    ASSERT_NE(p, nullptr);
    const std::uint8_t picture[8] = {10, 20, 30, 255, 40, 50, 60, 255};
    std::copy(std::begin(picture), std::end(picture), p);
    mask(1, 0) = 0;
    VLM_SetInNewRGBA();
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{2560, 5120, 7680, 65280}));
    EXPECT_EQ(pixel(2, 1, 0), (Pixel{0, 0, 0, 0}));
    VLM_DeleteNewRGBA();
    VLM_SetInNewRGBA(); // nothing held: nothing happens
    EXPECT_EQ(pixel(2, 0, 0)[0], 2560);
}

// What the compositing merge was asked to do.
struct MergeCall {
    std::vector<std::uint8_t> buffer;
    std::uint16_t* plane;
    int mode, mask_mode, opacity;
    bool alpha_locked;
    int calls;
};
MergeCall g_merge;

void record_merge(const std::uint8_t* rgba32, std::uint16_t* plane, int mode, int mask_mode, int opacity,
                  bool alpha_locked) {
    const std::size_t bytes = static_cast<std::size_t>(g_engine.canvas.width) * g_engine.canvas.height * 4;
    g_merge.buffer.assign(rgba32, rgba32 + bytes);
    g_merge.plane = plane;
    g_merge.mode = mode;
    g_merge.mask_mode = mask_mode;
    g_merge.opacity = opacity;
    g_merge.alpha_locked = alpha_locked;
    ++g_merge.calls;
}

TEST_F(TransferLoads, MergedLoadLimitsAlphaClearsTheSelectionThenMerges) {
    auto buffer = rgba32(kWidth, kHeight, {100, 100, 100, 200});
    VLM_Clear(255, 255, 255, 255);
    VLM_SetLayerOptions(1, 1, 1, 100, "Normal");
    mask(0, 0) = 0;
    mask(1, 0) = 0x8000;
    // Without the compositing merge nothing at all happens, so the current layer is not cleared in vain.
    core::hooks().merge_rgba32 = nullptr;
    VLM_LoadRGBA32Layer_BAD(buffer.data(), 0, 1, kWidth, kHeight, 1);
    EXPECT_EQ(pixel(2, 5, 5), (Pixel{65280, 65280, 65280, 65280}));
    EXPECT_EQ(buffer[3], 200);

    core::hooks().merge_rgba32 = &record_merge;
    VLM_LoadRGBA32Layer_BAD(buffer.data(), 0, 1, kWidth, kHeight - 1, 1); // smaller than the canvas: refused
    EXPECT_EQ(g_merge.calls, 0);
    VLM_LoadRGBA32Layer_BAD(buffer.data(), 0, 1, kWidth, kHeight, 0x201);
    ASSERT_EQ(g_merge.calls, 1);
    EXPECT_EQ(g_merge.plane, g_engine.layers.layers[1].pixels);
    EXPECT_EQ(g_merge.mode, 0);
    EXPECT_EQ(g_merge.mask_mode, 0);
    EXPECT_EQ(g_merge.opacity, 255);
    EXPECT_TRUE(g_merge.alpha_locked);
    // Alpha limited by rule B: 0 where protected, 200 x 32767 / 65535 = 99 (truncated) under 0x8000.
    EXPECT_EQ(g_merge.buffer[3], 0);
    EXPECT_EQ(g_merge.buffer[7], 99);
    EXPECT_EQ(g_merge.buffer[11], 200);
    // The current layer was cleared through the mask: kept, blended to opaque, cleared.
    EXPECT_EQ(pixel(2, 0, 0), (Pixel{65280, 65280, 65280, 65280}));
    EXPECT_EQ(pixel(2, 1, 0), (Pixel{32639, 32639, 32639, 65535})); // ((65280 x 32767) / 256) / 256
    EXPECT_EQ(pixel(2, 2, 0), (Pixel{0, 0, 0, 0}));
    EXPECT_EQ(dirty(), (std::array<int, 4>{0, 0, kWidth - 1, kHeight - 1}));
}

} // namespace
} // namespace vlm::test
