#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/engine_state.h"
#include "core/memory.h"
#include "support/child_process.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

using CanvasLifecycle = EngineTest;

TEST_F(CanvasLifecycle, SizeRuleMapsOutOfRangeEdgesTo100) {
    struct Case {
        int asked, stored;
    } cases[] = {{10001, 100}, {-5, 100}, {10000, 10000}, {0, 0}, {1, 1}, {-2147483647 - 1, 100}};
    for (const Case& c : cases) {
        VLM_CreateImage(nullptr, c.asked, 1, 4, 0);
        EXPECT_EQ(g_engine.canvas.width, c.stored) << c.asked;
        EXPECT_EQ(g_engine.canvas.pitch, c.stored * 4);
        VLM_NewSize(nullptr, 2, c.asked, 4, 0);
        EXPECT_EQ(g_engine.canvas.height, c.stored) << c.asked;
        VLM_DeleteImage();
    }
}

TEST_F(CanvasLifecycle, CreationSetsEveryPlaneAndDefault) {
    VLM_SetScale(3, 2.5f);
    VLM_SetOffset(9, 9);
    g_engine.layers.current = &g_engine.layers.layers[4];
    g_engine.brush.tool.tracing_mode = 1;
    VLM_CreateImage(reinterpret_cast<void*>(0x1234), 40, 30, 16, 77);

    const core::CanvasState& c = g_engine.canvas;
    EXPECT_EQ(c.host_window, reinterpret_cast<void*>(0x1234));
    EXPECT_EQ(c.width, 40);
    EXPECT_EQ(c.height, 30);
    EXPECT_EQ(c.max_brush, 16);
    EXPECT_EQ(c.brush_pitch, 64);
    EXPECT_EQ(c.reserved, 77);
    EXPECT_EQ(c.scale_mode, 1);
    EXPECT_EQ(c.scale_factor, 1.0f);
    EXPECT_EQ(c.offset_x, 0);

    EXPECT_EQ(g_engine.layers.current, nullptr);
    EXPECT_EQ(g_engine.layers.trace, &g_engine.layers.layers[0]);
    EXPECT_EQ(g_engine.brush.tool.tracing_mode, 0);
    ASSERT_NE(g_engine.mask.plane, nullptr);
    for (int i = 0; i < 40 * 30; ++i) ASSERT_EQ(g_engine.mask.plane[i], 0xFFFF);
    EXPECT_EQ(g_engine.mask.pitch_bytes, 80);
    EXPECT_EQ(g_engine.mask.enabled, 1);
    EXPECT_NE(g_engine.undo.back, nullptr);
    EXPECT_NE(g_engine.undo.back_mask, nullptr);
    EXPECT_EQ(g_engine.undo.memory_in_use_kb, 40 * 30 * 10 / 1024);
    EXPECT_NE(g_engine.brush.shape, nullptr);
    for (auto* dab : g_engine.brush.dab) EXPECT_NE(dab, nullptr);

    EXPECT_EQ(g_engine.brush.blend_count, 1);
    EXPECT_EQ(g_engine.brush.blend_selected, &g_engine.brush.blend[0]);
    ASSERT_NE(g_engine.brush.blend[0].pixels, nullptr);
    EXPECT_EQ(g_engine.brush.blend[0].pitch, 64);
    for (int i = 0; i < 16 * 16 * 4; ++i) ASSERT_EQ(g_engine.brush.blend[0].pixels[i], 0);

    EXPECT_EQ(g_engine.random.grit_a.length, 1000000);
    EXPECT_EQ(g_engine.random.grit_a.modulus, 255);
    EXPECT_EQ(g_engine.random.grit_b.modulus, 254);
}

TEST_F(CanvasLifecycle, CreationFreesTheLayerPlanes) {
    VLM_CreateImage(nullptr, 8, 8, 4, 0);
    g_engine.layers.layers[3].pixels = new std::uint16_t[8 * 8 * 4];
    g_engine.layers.layers[3].width = 8;
    VLM_CreateImage(nullptr, 8, 8, 4, 0);
    EXPECT_EQ(g_engine.layers.layers[3].pixels, nullptr);
    EXPECT_EQ(g_engine.layers.layers[3].width, 8); // the record's other fields stay
}

TEST_F(CanvasLifecycle, ResizeKeepsLayersAndRebuildsThePlanes) {
    VLM_CreateImage(nullptr, 8, 6, 4, 0);
    core::Layer& layer = g_engine.layers.layers[2];
    layer.pixels = new std::uint16_t[8 * 6 * 4]();
    layer.width = 8, layer.height = 6, layer.pitch = 32;
    g_engine.layers.current = &layer;
    g_engine.layers.current_number = 2;
    g_engine.mask.plane[0] = 0;

    VLM_NewSize(nullptr, 20, 10, 8, 0);
    EXPECT_EQ(g_engine.canvas.width, 20);
    EXPECT_EQ(g_engine.canvas.max_brush, 8);
    EXPECT_EQ(layer.width, 8);
    EXPECT_EQ(layer.height, 6);
    EXPECT_NE(layer.pixels, nullptr);
    EXPECT_EQ(g_engine.layers.current, &layer);
    for (int i = 0; i < 20 * 10; ++i) ASSERT_EQ(g_engine.mask.plane[i], 0xFFFF);
    EXPECT_EQ(g_engine.undo.memory_in_use_kb, 20 * 10 * 10 / 1024);
    EXPECT_EQ(g_engine.brush.blend_count, 1);
}

TEST_F(CanvasLifecycle, DeleteFreesEverythingAndTwiceDoesNothing) {
    VLM_CreateImage(nullptr, 16, 16, 8, 0);
    g_engine.layers.layers[1].pixels = new std::uint16_t[16 * 16 * 4];
    g_engine.layers.paint.pixels = new std::uint16_t[16 * 16 * 4];
    g_engine.imaging.src32 = {new std::uint8_t[16 * 16 * 4], 16 * 16 * 4};
    VLM_DeleteImage();
    EXPECT_EQ(g_engine.mask.plane, nullptr);
    EXPECT_EQ(g_engine.undo.back, nullptr);
    EXPECT_EQ(g_engine.undo.back_mask, nullptr);
    EXPECT_EQ(g_engine.undo.memory_in_use_kb, 0);
    EXPECT_EQ(g_engine.brush.shape, nullptr);
    EXPECT_EQ(g_engine.brush.blend_count, 0);
    EXPECT_EQ(g_engine.brush.blend[0].pixels, nullptr);
    EXPECT_EQ(g_engine.layers.layers[1].pixels, nullptr);
    EXPECT_EQ(g_engine.layers.paint.pixels, nullptr);
    EXPECT_EQ(g_engine.imaging.src32.pixels, nullptr);
    EXPECT_EQ(g_engine.imaging.src32.size, 0u);
    for (auto* dab : g_engine.brush.dab) EXPECT_EQ(dab, nullptr);
    VLM_DeleteImage();
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(CanvasLifecycle, ViewSettersStoreAndAnswer) {
    EXPECT_EQ(VLM_SetScale(2, 0.5f), 2);
    EXPECT_EQ(g_engine.canvas.scale_factor, 0.5f);
    EXPECT_EQ(VLM_SetOffset(-3, 4), -3);
    EXPECT_EQ(g_engine.canvas.offset_y, 4);
    EXPECT_EQ(VLM_SetViewSize(640, 480), 640);
    EXPECT_EQ(g_engine.canvas.view_height, 480);
    VLM_SetAOI(1, 2, 3, 4);
    EXPECT_EQ(g_engine.canvas.aoi_x1, 3);
}

TEST_F(CanvasLifecycle, StartDirectoryKeepsPathsUpTo1023Characters) {
    VLM_SetStartDir("/home/painter");
    EXPECT_STREQ(g_engine.canvas.start_dir, "/home/painter");
    VLM_SetStartDir(std::string(1024, 'a').c_str());
    EXPECT_STREQ(g_engine.canvas.start_dir, "/home/painter");
    const std::string longest(1023, 'b');
    VLM_SetStartDir(longest.c_str());
    EXPECT_EQ(std::string(g_engine.canvas.start_dir), longest);
    VLM_SetStartDir(nullptr);
    EXPECT_EQ(std::string(g_engine.canvas.start_dir), longest);
}

TEST_F(CanvasLifecycle, LargestCanvasIsCreatable) {
    VLM_CreateImage(nullptr, 10000, 10000, 64, 0);
    EXPECT_STREQ(VLM_GetLastError(), "");
    ASSERT_NE(g_engine.undo.back, nullptr);
    EXPECT_EQ(g_engine.mask.plane[10000LL * 10000 - 1], 0xFFFF);
    EXPECT_EQ(g_engine.undo.memory_in_use_kb, 10000LL * 10000 * 10 / 1024);
}

TEST_F(CanvasLifecycle, CanvasTooLargeForMemoryEndsWithTheMessage) {
    if (sanitized_build()) GTEST_SKIP() << "address-space limits do not apply under the address sanitizer";
    const int code = run_in_child([] {
        if (!limit_address_space(256u << 20)) return 10;
        VLM_CreateImage(nullptr, 10000, 10000, 64, 0); // needs well over 1 GB
        if (std::string(VLM_GetLastError()) != "CreateImage Excpt") return 11;
        VLM_DeleteImage(); // tidies up what was made before the failure
        VLM_CreateImage(nullptr, 100, 100, 16, 0);
        if (!g_engine.undo.back || !g_engine.mask.plane) return 12;
        return 0;
    });
    EXPECT_EQ(code, 0);
}

TEST_F(CanvasLifecycle, NegativeBrushSizeBecomesZero) {
    VLM_CreateImage(nullptr, 8, 8, -40, 0);
    EXPECT_EQ(g_engine.canvas.max_brush, 0);
    EXPECT_EQ(g_engine.canvas.brush_pitch, 0);
    EXPECT_NE(g_engine.brush.dab[0], nullptr);
}

TEST_F(CanvasLifecycle, WindowRequestsAnswerWithoutAWindowSystemAndWithOne) {
    EXPECT_EQ(VLM_SetWindowRedraw(nullptr, 1), 0);
    EXPECT_EQ(VLM_RedrawWindow(nullptr), 0);

    Display* d = XOpenDisplay(nullptr);
    if (!d) GTEST_SKIP() << "no X display";
    const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, 50, 40, 0, 0, 0);
    XCreateSimpleWindow(d, w, 0, 0, 10, 10, 0, 0, 0);
    XSync(d, False);
    EXPECT_EQ(VLM_RedrawWindow(reinterpret_cast<void*>(static_cast<std::uintptr_t>(w))), 1);
    EXPECT_EQ(VLM_SetWindowRedraw(reinterpret_cast<void*>(static_cast<std::uintptr_t>(w)), 0), 0);
    // An id the display never handed out is refused, not fatal.
    EXPECT_EQ(VLM_RedrawWindow(reinterpret_cast<void*>(static_cast<std::uintptr_t>(0x7ffffff0))), 0);
    XCloseDisplay(d);
}

} // namespace
} // namespace vlm::test
