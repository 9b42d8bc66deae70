#pragma once
// A canvas to paint on: layers 1 and 2 made, layer 2 current, and the pixel helpers the dab and
// blend-buffer tests read and set layers with.
#include <array>
#include <cstdint>
#include <vector>

#include "core/engine_state.h"
#include "support/engine_fixture.h"

namespace vlm::brush::test {

using Px = std::array<std::uint32_t, 4>;

class PaintTest : public vlm::test::CanvasTest {
protected:
    static constexpr int kLayer = 2;
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(1, kWidth, kHeight);
        VLM_CreateLayer(kLayer, kWidth, kHeight);
        VLM_SetLayer(kLayer);
    }
    static std::uint16_t* at(std::uint16_t* plane, int x, int y) { return plane + (y * kWidth + x) * 4; }
    static std::uint16_t* layer_px(int x, int y, int slot = kLayer) {
        return at(g_engine.layers.layers[slot].pixels, x, y);
    }
    static void set_px(int x, int y, Px v, int slot = kLayer) {
        std::uint16_t* p = layer_px(x, y, slot);
        for (int c = 0; c < 4; ++c) p[c] = static_cast<std::uint16_t>(v[c]);
    }
    static Px px(int x, int y, int slot = kLayer) {
        const std::uint16_t* p = layer_px(x, y, slot);
        return {p[0], p[1], p[2], p[3]};
    }
    static void fill_layer(Px v, int slot = kLayer) {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) set_px(x, y, v, slot);
    }
    static std::vector<std::uint16_t> plane(int slot = kLayer) {
        const std::uint16_t* p = g_engine.layers.layers[slot].pixels;
        return {p, p + kWidth * kHeight * 4};
    }
};

} // namespace vlm::brush::test
