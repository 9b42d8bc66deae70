// Layer merging as a host drives it: the layer-mask search, merge down with the replace rule,
// flattening (background shown and hidden, rectangles off the canvas, one thread against two), the
// flattened colour query, the paint-layer merge, RGBA32 merges, and bad arguments.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <random>
#include <vector>

#include "compose/layer_merge.h"
#include "core/engine_state.h"
#include "core/parallel.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

using Px = std::array<std::uint16_t, 4>;

class LayerMerge : public CanvasTest {
protected:
    static core::Layer& layer(int slot) { return g_engine.layers.layers[slot]; }
    static Px& at(std::uint16_t* plane, int x, int y, int width = kWidth) {
        return *reinterpret_cast<Px*>(plane + (static_cast<std::size_t>(y) * width + x) * 4);
    }
    static Px& at(int slot, int x, int y) { return at(layer(slot).pixels, x, y); }
    static void fill(std::uint16_t* plane, const Px& v) {
        for (int i = 0; i < kWidth * kHeight; ++i) at(plane, i, 0) = v;
    }
    static void make(int slot, const char* mode, const Px& v, int visible = 1, int opacity = 100) {
        VLM_CreateLayer(slot, kWidth, kHeight);
        VLM_SetLayerOptions(slot, visible, 0, opacity, mode);
        fill(layer(slot).pixels, v);
    }
    static std::vector<std::uint16_t> flattened() {
        std::vector<std::uint16_t> out(kWidth * kHeight * 4, 0xBEEF);
        VLM_Merge(out.data());
        return out;
    }
    static std::vector<std::uint16_t> copy(int slot) {
        const std::uint16_t* p = layer(slot).pixels;
        return {p, p + kWidth * kHeight * 4};
    }
    static std::array<int, 4> dirty() {
        const undo::State& u = g_engine.undo;
        return {u.dirty_x0, u.dirty_y0, u.dirty_x1, u.dirty_y1};
    }
    static void reset_dirty() {
        undo::State& u = g_engine.undo;
        u.dirty_x0 = kWidth - 1, u.dirty_y0 = kHeight - 1, u.dirty_x1 = 0, u.dirty_y1 = 0;
    }
};

// Normal at alpha sa over an opaque destination, in single precision as the merge computes it.
Px normal_over_opaque(const Px& s, const Px& d) {
    const float sa = static_cast<float>(s[3]) * 1.5259022e-05f, da = 65535.0f * 1.5259022e-05f;
    const float ra = std::min(1.0f, sa + da - sa * da);
    Px out{};
    for (int ch = 0; ch < 3; ++ch) {
        const float sc = static_cast<float>(s[ch]) * sa / 65280.0f;
        const float dc = static_cast<float>(d[ch]) * da / 65280.0f;
        const float v = std::clamp((sc + dc * (1.0f - sa)) / ra, 0.0f, 1.0f);
        out[ch] = static_cast<std::uint16_t>(v * 65280.0f);
    }
    out[3] = static_cast<std::uint16_t>(ra * 65535.0f);
    return out;
}

// Which slot's plane is slot 2's layer mask, for each arrangement of slots 3, 4 and 5.
TEST_F(LayerMerge, LayerMaskSearchTakesOnlyTheNextVisibleLayer) {
    enum Kind { Absent, HiddenMask, Mask, Plain, SmallMask };
    struct Case {
        Kind above[3]; // slots 3, 4, 5
        int mask_slot; // 0: none
    };
    const Case cases[] = {
        {{Mask, Absent, Absent}, 3},    {{HiddenMask, Mask, Absent}, 4},
        {{HiddenMask, Plain, Mask}, 0}, {{Absent, HiddenMask, Mask}, 5},
        {{Plain, Mask, Absent}, 0},     {{SmallMask, Mask, Absent}, 0},
        {{Absent, Absent, Absent}, 0},  {{HiddenMask, HiddenMask, Absent}, 0},
    };
    for (const Case& c : cases) {
        make(2, "Normal", {0, 0, 0, 65535});
        for (int k = 0; k < 3; ++k) {
            const int slot = 3 + k;
            const Kind kind = c.above[k];
            VLM_DeleteLayer(slot);
            if (kind == Absent) continue;
            VLM_CreateLayer(slot, kind == SmallMask ? kWidth / 2 : kWidth, kHeight);
            VLM_SetLayerOptions(slot, kind != HiddenMask, 0, 100, kind == Plain ? "Normal" : "Layer Mask");
        }
        VLM_SetLayerOptions(2, 1, 0, 100, "Normal"); // recomputes the top layer index
        const std::uint16_t* want = c.mask_slot ? layer(c.mask_slot).pixels : nullptr;
        EXPECT_EQ(compose::layer_mask_for(2), want) << "case " << (&c - cases);
    }
    // At or above the top layer index there is no mask.
    EXPECT_EQ(compose::layer_mask_for(g_engine.layers.top_index), nullptr);
    EXPECT_EQ(compose::layer_mask_for(-1), nullptr);
}

TEST_F(LayerMerge, MergeLayerScalesByTheLayerMaskAbove) {
    const Px src{1000, 2000, 3000, 65535};
    make(2, "Normal", src);
    make(3, "Layer Mask", {30000, 30000, 30000, 65535});
    make(4, "Normal", {0, 0, 0, 0});
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayer(4);
    reset_dirty();
    VLM_MergeLayer(2, 4); // onto transparent pixels: the source with alpha 30000 x 65535 / 65536
    EXPECT_EQ(at(4, 5, 5), (Px{1000, 2000, 3000, 29999}));
    EXPECT_EQ(dirty(), (std::array<int, 4>{0, 0, kWidth - 1, kHeight - 1}));
    VLM_MergeLayer(2, 1); // onto the opaque white background: the float path
    EXPECT_EQ(at(1, 5, 5), normal_over_opaque({1000, 2000, 3000, 29999}, {65535, 65535, 65535, 65535}));
    // A visible Normal layer between disables the mask.
    make(3, "Normal", {0, 0, 0, 0});
    make(4, "Layer Mask", {0, 0, 0, 65535});
    VLM_CreateLayer(5, kWidth, kHeight);
    VLM_MergeLayer(2, 5);
    EXPECT_EQ(at(5, 5, 5), src);
}

TEST_F(LayerMerge, TwoLayersInTheSameAlphaModeReplaceInsteadOfShading) {
    const Px dst{1000, 1000, 1000, 65535};
    make(2, "Alpha Shader", {40000, 20000, 100, 30000});
    at(2, 0, 0) = {9, 9, 9, 0};
    make(3, "Alpha Shader", dst);
    VLM_MergeLayer(2, 3);
    EXPECT_EQ(at(3, 1, 1), (Px{40000, 20000, 100, 30000}));
    EXPECT_EQ(at(3, 0, 0), dst); // nothing to replace with
    // Onto a Normal layer the source shades: grey at the alpha-layer opacity.
    make(4, "Normal", dst);
    VLM_MergeLayer(2, 4);
    EXPECT_EQ(at(4, 1, 1), (Px{30000, 30000, 30000, 65535}));
}

TEST_F(LayerMerge, FlatteningCopiesTheBackgroundOrStartsFromTransparentBlack) {
    const Px half{20000, 30000, 40000, 32768};
    make(2, "Normal", half);
    make(3, "Multiply", {0, 0, 0, 65535}, 0); // hidden
    VLM_CreateLayer(0, kWidth, kHeight);      // the trace layer never takes part
    fill(layer(0).pixels, {5, 5, 5, 65535});
    VLM_CreateLayer(4, kWidth / 2, kHeight); // another size: cannot be read at canvas positions
    VLM_SetLayerOptions(4, 1, 0, 100, "Normal");

    // The background is copied exactly, whatever its mode, opacity or alpha.
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayerOptions(1, 1, 0, 10, "Multiply");
    const Px odd{100, 200, 300, 0};
    at(1, 3, 3) = odd;
    VLM_SetLayerOptions(2, 0, 0, 100, "Normal");
    auto out = flattened();
    EXPECT_EQ(at(out.data(), 3, 3), odd);
    EXPECT_EQ(at(out.data(), 4, 3), (Px{65535, 65535, 65535, 65535}));
    VLM_SetLayerOptions(2, 1, 0, 100, "Normal");
    out = flattened();
    EXPECT_EQ(at(out.data(), 4, 3), normal_over_opaque(half, {65535, 65535, 65535, 65535}));
    EXPECT_EQ(at(out.data(), 3, 3), half); // over the copied transparent pixel

    // Hidden, or a visible byte other than 1: transparent black, so the layer comes out as it is.
    for (int visible : {0, 2}) {
        VLM_SetLayerOptions(1, visible, 0, 100, "Normal");
        out = flattened();
        EXPECT_EQ(at(out.data(), 4, 3), half) << visible;
    }
    VLM_SetLayerOptions(2, 0, 0, 100, "Normal");
    out = flattened();
    EXPECT_EQ(at(out.data(), 4, 3), (Px{0, 0, 0, 0}));
}

// Flattening is the zero fill, the background copy and each visible layer merged in turn; a rectangle
// reaching off the canvas leaves transparent black there. Checked against those steps through the exports.
TEST_F(LayerMerge, FlattenedRectangleMatchesItsStepsAndClipsToTheCanvas) {
    std::mt19937 rng(5);
    const char* modes[] = {"Normal", "Multiply", "Layer Mask", "Overlay", "Alpha Shader", "Screen"};
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    for (int slot = 2; slot < 8; ++slot) {
        VLM_CreateLayer(slot, kWidth, kHeight);
        VLM_SetLayerOptions(slot, slot != 6, 0, 50 + slot * 7, modes[slot - 2]);
        for (int i = 0; i < kWidth * kHeight * 4; ++i)
            layer(slot).pixels[i] = static_cast<std::uint16_t>(rng() % 3 == 0 ? 0 : rng());
    }
    const int x = -5, y = 10, w = 30, h = 50; // off the left and the bottom
    std::vector<std::uint16_t> steps(w * h * 4, 0), got(w * h * 4 + 4, 0xBEEF);
    VLM_GetRGBA64LayerRect(&at(steps.data(), 5, 0, w), w * 8, 1, 0, y, w - 5, kHeight - y);
    for (int slot = 2; slot < 8; ++slot)
        if (slot != 6) VLM_MergeLayerIntoRect(slot, steps.data(), x, y, w, h);
    VLM_MergeRect(got.data(), x, y, w, h);
    EXPECT_EQ(at(got.data(), 0, 0, w), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(got.data(), 10, h - 1, w), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(got.data(), 0, h, w), (Px{0xBEEF, 0xBEEF, 0xBEEF, 0xBEEF})); // nothing past the buffer
    got.resize(w * h * 4);
    EXPECT_EQ(got, steps);

    // The flattened colour query: A, R, G, B high bytes; off the canvas 0xFFFFFF.
    auto all = flattened();
    const Px& p = at(all.data(), 20, 30);
    EXPECT_EQ(VLM_GetColorAtMerged(20, 30),
              static_cast<unsigned>(p[3] >> 8) << 24 | static_cast<unsigned>(p[0] >> 8) << 16 |
                  static_cast<unsigned>(p[1] >> 8) << 8 | static_cast<unsigned>(p[2] >> 8));
    for (auto [qx, qy] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{kWidth, 0}, std::pair{0, kHeight}})
        EXPECT_EQ(VLM_GetColorAtMerged(qx, qy), 0xFFFFFFu) << qx << "," << qy;
}

TEST_F(LayerMerge, PaintLayerMergesItsExtentsThenClears) {
    make(2, "Normal", {0, 0, 0, 0});
    VLM_SetLayer(2);
    VLM_CreatePaintLayer(100, 50, "Normal"); // strength 127: f = 128 x alpha / 256
    core::Layer& paint = g_engine.layers.paint;
    fill(paint.pixels, {100, 200, 300, 65535});
    VLM_SetPaintLayerExtents(10, 5, 20, 8);
    reset_dirty();
    VLM_MergePaintLayer(2);
    EXPECT_EQ(at(2, 10, 5), (Px{100, 200, 300, 32767}));
    EXPECT_EQ(at(2, 19, 7), (Px{100, 200, 300, 32767}));
    EXPECT_EQ(at(2, 20, 7), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(2, 10, 8), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(paint.pixels, 12, 6), (Px{0, 0, 0, 0}));
    EXPECT_EQ((std::array<int, 4>{paint.x0, paint.y0, paint.x1, paint.y1}),
              (std::array<int, 4>{kWidth, kHeight, 0, 0}));
    EXPECT_EQ(dirty(), (std::array<int, 4>{10, 5, 19, 7}));

    // Right after a clear nothing changes.
    const auto before = copy(2);
    VLM_MergePaintLayer(2);
    EXPECT_EQ(copy(2), before);
}

TEST_F(LayerMerge, PaintLayerMergeKeepsAlphaUnderEitherLock) {
    make(2, "Normal", {0, 0, 0, 1000});
    make(3, "Normal", {0, 0, 0, 1000});
    VLM_SetLayer(2);
    VLM_CreatePaintLayer(100, 100, "Normal");
    core::Layer& paint = g_engine.layers.paint;
    struct Case {
        bool layer_lock, tool_lock;
        int target;
        std::uint16_t alpha;
    };
    // The current layer's lock counts even when merging into another slot.
    const Case cases[] = {
        {false, false, 2, 65535}, {true, false, 2, 1000}, {false, true, 2, 1000}, {true, false, 3, 1000}};
    for (const Case& c : cases) {
        make(c.target, "Normal", {0, 0, 0, 1000});
        VLM_SetLayerOptions(2, 1, c.layer_lock, 100, "Normal");
        g_engine.brush.tool.alpha_locked = c.tool_lock;
        fill(paint.pixels, {100, 200, 300, 65535});
        VLM_SetPaintLayerExtents(-10, -10, 1000, 1000); // clipped to the canvas
        VLM_MergePaintLayer(c.target);
        EXPECT_EQ(at(c.target, kWidth - 1, kHeight - 1), (Px{100, 200, 300, c.alpha})) << (&c - cases);
    }
}

TEST_F(LayerMerge, Rgba32BuffersMergeWidened) {
    make(2, "Normal", {0, 0, 0, 0});
    std::vector<std::uint8_t> rgba(kWidth * kHeight * 4);
    for (std::size_t i = 0; i < rgba.size(); i += 4)
        rgba[i] = 10, rgba[i + 1] = 20, rgba[i + 2] = 30, rgba[i + 3] = 128;
    VLM_SetLayer(2);
    reset_dirty();
    VLM_MergeRGBA32Layer(rgba.data(), 2, 0, 256);
    EXPECT_EQ(at(2, 7, 7), (Px{2560, 5120, 7680, 32768}));
    EXPECT_EQ(dirty(), (std::array<int, 4>{0, 0, kWidth - 1, kHeight - 1}));
    // Opacity is held to 0..256.
    rgba[3] = 255;
    for (auto [bad, held] : {std::pair{-50, 0}, std::pair{5000, 256}}) {
        make(3, "Normal", {1, 1, 1, 65535});
        make(5, "Normal", {1, 1, 1, 65535});
        VLM_MergeRGBA32Layer(rgba.data(), 3, 0, bad);
        VLM_MergeRGBA32Layer(rgba.data(), 5, 0, held);
        EXPECT_EQ(copy(3), copy(5)) << bad;
    }
    EXPECT_EQ(at(3, 0, 0), (Px{2560, 5120, 7680, 65280}));
    // The same alpha mode as the layer replaces.
    make(4, "Alpha Shader", {1, 1, 1, 65535});
    VLM_MergeRGBA32Layer(rgba.data(), 4, 34, 256);
    EXPECT_EQ(at(4, 7, 7), (Px{2560, 5120, 7680, 32768}));

    // The merged load goes through the same merge: the selection cleared, then the buffer merged in Normal.
    VLM_LoadRGBA32Layer_BAD(rgba.data(), 0, 2, kWidth, kHeight, 0);
    EXPECT_EQ(at(2, 7, 7), (Px{2560, 5120, 7680, 32768}));
    EXPECT_EQ(at(2, 0, 0), (Px{2560, 5120, 7680, 65280}));
}

TEST_F(LayerMerge, BadSlotsSizesAndBuffersChangeNothing) {
    make(2, "Normal", {100, 100, 100, 65535});
    make(3, "Normal", {0, 0, 0, 0});
    VLM_CreateLayer(4, kWidth - 1, kHeight); // not canvas-sized
    VLM_CreatePaintLayer(100, 100, "Normal");
    fill(g_engine.layers.paint.pixels, {1, 1, 1, 65535});
    VLM_SetPaintLayerExtents(0, 0, kWidth, kHeight);
    std::vector<std::uint8_t> rgba(kWidth * kHeight * 4, 200);
    const auto two = copy(2), three = copy(3);
    for (int bad : {-1, 272, 9, 4}) {
        VLM_MergeLayer(bad, 3);
        VLM_MergeLayer(2, bad);
        VLM_MergeRGBA32Layer(rgba.data(), bad, 0, 256);
        std::vector<std::uint16_t> buf(kWidth * kHeight * 4, 7);
        VLM_MergeLayerInto(bad, buf.data());
        EXPECT_EQ(buf, std::vector<std::uint16_t>(kWidth * kHeight * 4, 7)) << bad;
    }
    EXPECT_EQ(copy(2), two);
    EXPECT_EQ(copy(3), three);
    // A refused paint-layer merge still ends the stroke, as merging into an empty slot does.
    VLM_MergePaintLayer(4);
    EXPECT_EQ(at(g_engine.layers.paint.pixels, 0, 0), (Px{0, 0, 0, 0}));
    EXPECT_EQ(at(layer(4).pixels, 0, 0, kWidth - 1), (Px{0, 0, 0, 0}));

    // Null buffers and empty rectangles.
    VLM_MergeRGBA32Layer(nullptr, 2, 0, 256);
    VLM_MergeLayerInto(2, nullptr);
    VLM_MergeRect(nullptr, 0, 0, kWidth, kHeight);
    VLM_Merge(nullptr);
    std::vector<std::uint16_t> guard(16, 7);
    VLM_MergeRect(guard.data(), INT_MIN, INT_MIN, 2, 2); // far off the canvas: transparent black
    EXPECT_EQ(guard, std::vector<std::uint16_t>(16, 0));
    std::fill(guard.begin(), guard.end(), std::uint16_t{7});
    VLM_MergeRect(guard.data(), 0, 0, -1, 4);
    VLM_MergeLayerIntoRect(2, guard.data(), 0, 0, 4, 0);
    VLM_MergeLayerIntoRect(2, guard.data(), kWidth, 0, 2,
                           2); // wholly off the canvas: the buffer is left alone
    EXPECT_EQ(guard, std::vector<std::uint16_t>(16, 7));
    // A rectangle past the bottom right: only the pixel on the canvas is merged.
    VLM_MergeLayerIntoRect(2, guard.data(), kWidth - 1, kHeight - 1, 2, 2);
    EXPECT_EQ(at(guard.data(), 0, 0, 2), (Px{100, 100, 100, 65535}));
    EXPECT_EQ(at(guard.data(), 1, 0, 2), (Px{7, 7, 7, 7}));
    EXPECT_EQ(at(guard.data(), 1, 1, 2), (Px{7, 7, 7, 7}));
}

TEST(LayerMergeThreads, OneThreadAndTwoGiveTheSameBytes) {
    reset_engine();
    const int w = 512, h = 256;
    VLM_CreateImage(nullptr, w, h, 16, 0);
    std::mt19937 rng(3);
    const char* modes[] = {"Normal", "Multiply", "Layer Mask", "Overlay", "HSL Color", "Alpha Smooth2"};
    VLM_CreateLayer(1, w, h);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    for (int slot = 2; slot < 8; ++slot) {
        VLM_CreateLayer(slot, w, h);
        VLM_SetLayerOptions(slot, 1, 0, 70 + slot * 4, modes[slot - 2]);
        std::uint16_t* p = g_engine.layers.layers[slot].pixels;
        for (int i = 0; i < w * h * 4; ++i) p[i] = static_cast<std::uint16_t>(rng() % 3 == 0 ? 0 : rng());
    }
    std::vector<std::uint16_t> flat[2], merged[2];
    const std::vector<std::uint16_t> under(g_engine.layers.layers[7].pixels,
                                           g_engine.layers.layers[7].pixels + w * h * 4);
    for (int threads : {1, 2}) {
        core::set_parallel_threads(threads);
        std::copy(under.begin(), under.end(), g_engine.layers.layers[7].pixels);
        flat[threads - 1].resize(w * h * 4);
        VLM_Merge(flat[threads - 1].data());
        VLM_MergeLayer(2, 7);
        merged[threads - 1].assign(g_engine.layers.layers[7].pixels,
                                   g_engine.layers.layers[7].pixels + w * h * 4);
    }
    core::set_parallel_threads(0);
    EXPECT_EQ(flat[0], flat[1]);
    EXPECT_EQ(merged[0], merged[1]);
    reset_engine();
}

} // namespace
} // namespace vlm::test
