#pragma once
// A canvas with layers 1 and 2, layer 2 current, and helpers to reach the mask and pictures directly.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/engine_state.h"
#include "support/engine_fixture.h"

namespace vlm::test {

class MaskTest : public CanvasTest {
protected:
    using Pixel = std::array<std::uint16_t, 4>;
    using Rect = std::array<int, 4>;
    static constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;
    static constexpr Rect kWhole{0, 0, kWidth - 1, kHeight - 1};

    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(1, kWidth, kHeight);
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_SetLayer(2);
        reset_dirty();
        VLM_SetLastError("");
    }
    static void reset_dirty() {
        undo::State& u = g_engine.undo;
        u.dirty_x0 = kWidth - 1, u.dirty_y0 = kHeight - 1, u.dirty_x1 = 0, u.dirty_y1 = 0;
    }
    static Rect dirty() {
        const undo::State& u = g_engine.undo;
        return {u.dirty_x0, u.dirty_y0, u.dirty_x1, u.dirty_y1};
    }
    static std::uint16_t& mask(int x, int y) {
        return g_engine.mask.plane[static_cast<std::size_t>(y) * kWidth + x];
    }
    static void fill_mask(std::uint16_t m) { std::fill_n(g_engine.mask.plane, kPixels, m); }
    static std::uint16_t* px(int slot, int x, int y) {
        return g_engine.layers.layers[slot].pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4;
    }
    static Pixel pixel(int slot, int x, int y) {
        const std::uint16_t* p = px(slot, x, y);
        return {p[0], p[1], p[2], p[3]};
    }
    static void set_pixel(int slot, int x, int y, Pixel v) { std::copy(v.begin(), v.end(), px(slot, x, y)); }
    // A canvas-sized packed picture of bpp bytes per pixel, every pixel the given bytes.
    static std::vector<std::uint8_t> picture(std::vector<std::uint8_t> fill) {
        std::vector<std::uint8_t> v(kPixels * fill.size());
        for (std::size_t i = 0; i < v.size(); i += fill.size())
            std::copy(fill.begin(), fill.end(), v.begin() + i);
        return v;
    }
    static std::string last_error() { return VLM_GetLastError(); }
};

} // namespace vlm::test
