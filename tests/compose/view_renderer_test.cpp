#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "compose/rect_merge.h"
#include "compose/view_renderer.h"
#include "core/engine_state.h"
#include "core/parallel.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

class ViewRenderer : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_SetViewSize(1000, 1000);
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_SetLayer(2);
    }
    static std::uint16_t* px(core::Layer& l, int x, int y) {
        return l.pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4;
    }
    static core::Layer& layer(int slot) { return g_engine.layers.layers[slot]; }
    static void fill(int slot, std::uint16_t r, std::uint16_t g, std::uint16_t b, std::uint16_t a) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                std::uint16_t* p = px(layer(slot), x, y);
                p[0] = r, p[1] = g, p[2] = b, p[3] = a;
            }
    }
    // Renders (x, y, w, h) into a fresh buffer of out_w x out_h pixels filled with 0xAB.
    std::vector<unsigned char> render(int x, int y, int w, int h, int out_w, int out_h) {
        std::vector<unsigned char> out(static_cast<std::size_t>(out_w) * out_h * 3 + 16, 0xAB);
        VLM_Render(out.data(), out_w * 3, x, y, w, h);
        return out;
    }
    static std::array<int, 3> at(const std::vector<unsigned char>& out, int out_w, int j, int i) {
        const unsigned char* p = &out[(static_cast<std::size_t>(i) * out_w + j) * 3];
        return {p[2], p[1], p[0]}; // R, G, B
    }
    using Rgb = std::array<int, 3>;
};

TEST_F(ViewRenderer, TransparencyShowsTheCheckerboard) {
    VLM_SetLayerOptions(2, 1, 0, 100, "Normal");
    const auto out = render(0, 0, kWidth, kHeight, kWidth, kHeight);
    EXPECT_EQ(at(out, kWidth, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(at(out, kWidth, 31, 31), (Rgb{255, 255, 255}));
    EXPECT_EQ(at(out, kWidth, 32, 0), (Rgb{159, 159, 159}));
    EXPECT_EQ(at(out, kWidth, 0, 32), (Rgb{159, 159, 159}));
    EXPECT_EQ(at(out, kWidth, 40, 40), (Rgb{255, 255, 255}));
    EXPECT_EQ(out[kWidth * kHeight * 3], 0xAB); // nothing past the output
}

TEST_F(ViewRenderer, BackgroundIsOpaqueAndTexturize3IsNeverShown) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    layer(1).pixels[3] = 0; // the background counts as opaque whatever its alpha
    VLM_SetLayerOptions(2, 1, 0, 100, "Texturize3");
    fill(2, 0, 0, 0, 65535);
    auto out = render(0, 0, kWidth, kHeight, kWidth, kHeight);
    EXPECT_EQ(at(out, kWidth, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(at(out, kWidth, 33, 1), (Rgb{255, 255, 255}));

    // A Multiply layer over the background: the float accumulator, computed here independently.
    VLM_SetLayerOptions(2, 1, 0, 100, "Multiply");
    fill(2, 40000, 20000, 0, 30000);
    out = render(0, 0, 1, 1, 1, 1);
    const float sa = 30000.0f * 1.5259022e-05f, da = 1.0f;
    const std::uint32_t src[3] = {40000, 20000, 0};
    for (int ch = 0; ch < 3; ++ch) {
        const float dc = (65535.0f / 65280.0f) * da;
        const float sc = static_cast<float>(src[ch]) * sa / 65280.0f;
        float rc = sc * dc + sc * (1.0f - da) + dc * (1.0f - sa);
        float ra = sa + da - sa * da;
        ra = ra > 1.0f ? 1.0f : ra;
        float v = rc / ra;
        v = v > 1.0f ? 1.0f : (v < 0.0f ? 0.0f : v);
        EXPECT_EQ(at(out, 1, 0, 0)[ch], static_cast<int>(static_cast<std::uint32_t>(v * 65280.0f) >> 8)) << ch;
    }
}

TEST_F(ViewRenderer, PaintLayerShowsInItsLayerOrTheNearestVisibleBelow) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    VLM_SetLayerOptions(2, 1, 0, 100, "Normal");
    VLM_CreatePaintLayer(100, 100, "Normal");
    std::uint16_t* p = px(g_engine.layers.paint, 5, 5);
    p[0] = 65280, p[1] = 0, p[2] = 0, p[3] = 65535;
    EXPECT_EQ(at(render(0, 0, 8, 8, 8, 8), 8, 5, 5), (Rgb{255, 0, 0}));

    VLM_SetLayerOptions(2, 0, 0, 100, "Normal"); // hidden current layer: shown in the background
    EXPECT_EQ(at(render(0, 0, 8, 8, 8, 8), 8, 5, 5), (Rgb{255, 0, 0}));
    VLM_SetLayerOptions(1, 0, 0, 100, "Normal"); // nothing visible below: not shown
    EXPECT_EQ(at(render(0, 0, 8, 8, 8, 8), 8, 5, 5), (Rgb{255, 255, 255}));

    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    VLM_CreateLayer(0, kWidth, kHeight);
    VLM_SetLayer(0); // the trace layer current: the paint layer is not shown
    EXPECT_EQ(at(render(0, 0, 8, 8, 8, 8), 8, 5, 5), (Rgb{255, 255, 255}));
}

TEST_F(ViewRenderer, LayerMaskScalesTheLayerBelow) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    VLM_SetLayerOptions(2, 1, 0, 100, "Normal");
    fill(2, 0, 0, 0, 65535); // black over white
    VLM_CreateLayer(3, kWidth, kHeight);
    VLM_SetLayerOptions(3, 1, 0, 100, "Layer Mask");
    std::uint16_t* m = px(layer(3), 1, 0);
    m[0] = m[1] = m[2] = 0, m[3] = 65535; // black mask: layer 2 vanishes here
    m = px(layer(3), 2, 0);
    m[0] = m[1] = m[2] = 65535, m[3] = 65535; // white mask: kept (alpha x 65535 >> 16 = 65534)
    const auto out = render(0, 0, 4, 1, 4, 1);
    EXPECT_EQ(at(out, 4, 0, 0), (Rgb{0, 0, 0}));       // transparent mask pixel: untouched
    EXPECT_EQ(at(out, 4, 1, 0), (Rgb{255, 255, 255})); // the mask adds nothing of its own
    EXPECT_EQ(at(out, 4, 2, 0)[0], 0);

    // A Layer Mask directly above the visible background does not mask it.
    VLM_SetLayerOptions(2, 0, 0, 100, "Normal");
    VLM_CreateLayer(1, kWidth, kHeight);
    fill(1, 0, 0, 0, 65535);
    EXPECT_EQ(at(render(0, 0, 4, 1, 4, 1), 4, 1, 0), (Rgb{0, 0, 0}));
}

TEST_F(ViewRenderer, TracingAveragesWithTheTraceLayer) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    VLM_CreateLayer(0, kWidth, kHeight); // black
    g_engine.brush.tool.tracing_mode = 1;
    EXPECT_EQ(at(render(0, 0, 2, 2, 2, 2), 2, 1, 1), (Rgb{127, 127, 127})); // 32767 >> 8
}

TEST_F(ViewRenderer, MaskTintInBothDisplayModes) {
    VLM_CreateLayer(1, kWidth, kHeight);
    VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
    g_engine.mask.display = 1;
    g_engine.mask.display_colour2[0] = 255 << 8; // even squares tint red
    g_engine.mask.plane[0] = 0;
    g_engine.mask.plane[1] = 40000;
    auto out = render(0, 0, 3, 1, 3, 1);
    // Mode 0: m = 0 becomes 32767, so half tint and half picture.
    const int red = static_cast<int>((((65280u * 32768u) >> 8) + ((32767u * 65535u) >> 8)) >> 16);
    const int other = static_cast<int>(((32767u * 65535u) >> 8) >> 16);
    EXPECT_EQ(at(out, 3, 0, 0), (Rgb{red, other, other}));
    EXPECT_EQ(at(out, 3, 2, 0), (Rgb{255, 255, 255})); // the 1:1 path tints only masked pixels

    g_engine.mask.display_mode = 1;
    out = render(0, 0, 3, 1, 3, 1);
    const std::uint32_t m = 40000, inv = 65535 - m;
    EXPECT_EQ(at(out, 3, 1, 0)[0], static_cast<int>((((65280 * inv) >> 8) + ((m * 65535) >> 8)) >> 16));
    EXPECT_EQ(at(out, 3, 1, 0)[1], static_cast<int>(((m * 65535) >> 8) >> 16));
    g_engine.mask.enabled = 0; // a disabled mask is not drawn
    EXPECT_EQ(at(render(0, 0, 3, 1, 3, 1), 3, 0, 0), (Rgb{255, 255, 255}));
}

TEST_F(ViewRenderer, ScalePaths) {
    VLM_SetLayerOptions(2, 1, 0, 100, "Normal");
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            std::uint16_t* p = px(layer(2), x, y);
            p[0] = static_cast<std::uint16_t>(x << 8), p[1] = static_cast<std::uint16_t>(y << 8), p[2] = 0, p[3] = 65535;
        }
    // Magnified by 3: 3 x 3 blocks.
    VLM_SetScale(3, 1.0f);
    auto out = render(2, 1, 4, 4, 12, 12);
    for (int i = 0; i < 12; ++i)
        for (int j = 0; j < 12; ++j) ASSERT_EQ(at(out, 12, j, i), (Rgb{2 + j / 3, 1 + i / 3, 0})) << j << "," << i;
    // Reduced by 2: every second pixel.
    VLM_SetScale(1, 2.0f);
    out = render(0, 0, 20, 10, 10, 5);
    for (int i = 0; i < 5; ++i)
        for (int j = 0; j < 10; ++j) ASSERT_EQ(at(out, 10, j, i), (Rgb{2 * j, 2 * i, 0}));
    // Reduced by 1.5: steps of 1, 2, 1, 2 ... from carried fractions.
    VLM_SetScale(1, 1.5f);
    out = render(0, 0, 9, 3, 6, 2);
    const int cols[] = {0, 1, 3, 4, 6, 7};
    for (int j = 0; j < 6; ++j) EXPECT_EQ(at(out, 6, j, 1), (Rgb{cols[j], 1, 0}));
    // The view size bounds the output.
    VLM_SetScale(1, 1.0f);
    VLM_SetViewSize(2, 2);
    out = render(0, 0, 8, 8, 8, 8);
    EXPECT_EQ(at(out, 8, 1, 1), (Rgb{1, 1, 0}));
    EXPECT_EQ(out[2 * 3], 0xAB);
}

TEST_F(ViewRenderer, BadRegionsScalesAndStridesWriteNothingOutside) {
    VLM_SetLayerOptions(2, 1, 0, 100, "Normal");
    fill(2, 65280, 0, 0, 65535);
    // Negative x counts as 0; a region past the edge is cut there.
    auto out = render(-5, -5, 3, 3, 3, 3);
    EXPECT_EQ(at(out, 3, 2, 2), (Rgb{255, 0, 0}));
    out = render(kWidth - 2, 0, 10, 1, 10, 1);
    EXPECT_EQ(at(out, 10, 1, 0), (Rgb{255, 0, 0}));
    EXPECT_EQ(at(out, 10, 2, 0), (Rgb{0xAB, 0xAB, 0xAB}));
    // A negative stride writes rows upward from dst.
    std::vector<unsigned char> up(2 * 6, 0);
    VLM_Render(up.data() + 6, -6, 0, 0, 2, 2);
    EXPECT_EQ(up[2], 255);
    EXPECT_EQ(up[6 + 2], 255);

    struct Case {
        int mode;
        float factor;
        int x, y, w, h, stride;
    } cases[] = {
        {1, 1.0f, 0, 0, 0, 5, 30},   {1, 1.0f, 0, 0, 5, -2, 30},      {1, 1.0f, kWidth, 0, 5, 5, 30},
        {1, 1.0f, 0, 0, 5, 5, 14},   {0, 0.0f, 0, 0, 5, 5, 30},       {-2, 1.0f, 0, 0, 5, 5, 30},
        {1, -1.0f, 0, 0, 5, 5, 30},  {1, std::nanf(""), 0, 0, 5, 5, 30}, {1, 1e30f, 0, 0, 5, 5, 30},
        {1, 1e-30f, 0, 0, 5, 5, 30},
    };
    for (const Case& c : cases) {
        VLM_SetScale(c.mode, c.factor);
        VLM_SetViewSize(10, 10);
        std::vector<unsigned char> buf(10 * 10 * 3 + 64, 0xAB);
        VLM_Render(buf.data(), c.stride, c.x, c.y, c.w, c.h);
        for (std::size_t i = 10 * 10 * 3; i < buf.size(); ++i) ASSERT_EQ(buf[i], 0xAB) << c.mode << " " << c.factor;
    }
    VLM_Render(nullptr, 30, 0, 0, 5, 5);
}

TEST_F(ViewRenderer, NothingWithoutACurrentLayer) {
    g_engine.layers.current = nullptr;
    const auto out = render(0, 0, 4, 4, 4, 4);
    for (std::size_t i = 0; i < 4 * 4 * 3; ++i) ASSERT_EQ(out[i], 0xAB);
}

// The span loops (four and eight float lanes) and two threads against the plain per-pixel loop on one
// thread, bit for bit; the second set of modes covers the remaining channelwise formulas.
TEST(ViewRendererThreads, FastPathsGiveTheReferenceBytes) {
    const int w = 320, h = 200;
    const std::vector<std::vector<const char*>> mode_sets = {
        {"Normal", "Multiply", "Overlay", "Screen", "Layer Mask", "HSL Color", "Alpha Shader"},
        {"Darken", "Lighten", "Difference", "Exclusion", "Hard Light", "Dodge", "Burn"},
        {"Negation", "Add", "Subtract", "Texturize3", "Glow", "Soft Light", "Normal"},
    };
    for (const auto& modes : mode_sets) {
        reset_engine();
        VLM_CreateImage(nullptr, w, h, 16, 0);
        VLM_SetViewSize(w, h);
        std::mt19937 rng(7);
        VLM_CreateLayer(1, w, h);
        VLM_SetLayerOptions(1, 1, 0, 100, "Normal");
        for (int slot = 2; slot < 9; ++slot) {
            VLM_CreateLayer(slot, w, h);
            VLM_SetLayerOptions(slot, 1, 0, 60 + slot * 5, modes[slot - 2]);
            std::uint16_t* p = g_engine.layers.layers[slot].pixels;
            for (int i = 0; i < w * h * 4; ++i) p[i] = static_cast<std::uint16_t>(rng() % 3 == 0 ? 0 : rng());
        }
        VLM_SetLayer(3);
        VLM_CreatePaintLayer(80, 90, "Normal");
        for (int i = 0; i < w * h * 4; ++i)
            g_engine.layers.paint.pixels[i] = static_cast<std::uint16_t>(rng());
        for (auto [mode, factor] : {std::pair{1, 1.0f}, std::pair{2, 1.0f}, std::pair{1, 1.7f}}) {
            VLM_SetScale(mode, factor);
            std::vector<unsigned char> reference(w * h * 3), one(w * h * 3), two(w * h * 3),
                narrow(w * h * 3);
            core::set_parallel_threads(1);
            compose::set_reference_compositing(true);
            VLM_Render(reference.data(), w * 3, 0, 0, w, h);
            compose::set_reference_compositing(false);
            VLM_Render(one.data(), w * 3, 0, 0, w, h);
            compose::set_wide_lanes(false);
            VLM_Render(narrow.data(), w * 3, 0, 0, w, h);
            compose::set_wide_lanes(true);
            core::set_parallel_threads(2);
            VLM_Render(two.data(), w * 3, 0, 0, w, h);
            EXPECT_EQ(one, reference) << modes[0] << " " << mode << " " << factor;
            EXPECT_EQ(narrow, reference) << modes[0] << " " << mode << " " << factor;
            EXPECT_EQ(two, reference) << modes[0] << " " << mode << " " << factor;
        }
        core::set_parallel_threads(0);
    }
    reset_engine();
}

} // namespace
} // namespace vlm::test
