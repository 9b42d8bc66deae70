#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/engine_state.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

class CompressedLayer : public CanvasTest {
protected:
    static constexpr std::size_t kValues = static_cast<std::size_t>(kWidth) * kHeight * 4;
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_CreateLayer(3, kWidth, kHeight);
        std::vector<std::uint16_t> plane(kValues);
        for (std::size_t i = 0; i < kValues; ++i) plane[i] = static_cast<std::uint16_t>((i / 37) * 0x0701);
        for (std::size_t i = 3; i < kValues; i += 4 * 5) plane[i] = 0x00FF; // every fifth pixel transparent
        VLM_SetLayerData(plane.data(), 2);
    }
    static std::vector<std::uint16_t> data(int slot) {
        std::vector<std::uint16_t> v(kValues);
        VLM_GetLayerData(v.data(), slot);
        return v;
    }
    std::vector<std::uint8_t> compress(int slot) {
        std::vector<std::uint8_t> out(VLM_GetRGBA32LayerCompressedBound());
        const int size = VLM_GetRGBA32LayerCompressed(out.data(), 0, static_cast<int>(out.size()), slot, 6);
        out.resize(size > 0 ? size : 0);
        return out;
    }
};

TEST_F(CompressedLayer, RoundTripKeepsHighBytesAndClearsTransparentPixels) {
    const std::vector<std::uint8_t> packed = compress(2);
    ASSERT_FALSE(packed.empty());
    EXPECT_LT(packed.size(), kValues / 2);
    VLM_LoadRGBA32LayerCompressed(packed.data(), 0, static_cast<int>(packed.size()), 3);
    const auto before = data(2), after = data(3);
    for (std::size_t p = 0; p < kValues; p += 4) {
        const bool transparent = (before[p + 3] >> 8) == 0;
        for (int c = 0; c < 4; ++c)
            ASSERT_EQ(after[p + c], transparent ? 0 : before[p + c] & 0xFF00) << "pixel " << p / 4;
    }

    // With the alpha locked the colour arrives and the alpha stays.
    VLM_SetLayerAlpha(3, 1234);
    VLM_SetLayerOptions(3, 1, 1, 100, "Normal");
    VLM_LoadRGBA32LayerCompressed(packed.data(), 0, static_cast<int>(packed.size()), 3);
    EXPECT_EQ(data(3)[3], 1234);
    EXPECT_EQ(data(3)[4 * 7], before[4 * 7] & 0xFF00);
}

TEST_F(CompressedLayer, DamagedOrForeignStreamsLeaveTheLayer) {
    std::vector<std::uint8_t> packed = compress(2);
    ASSERT_GT(packed.size(), 20u);
    VLM_SetLayerAlpha(3, 777);
    const auto kept = data(3);
    std::vector<std::uint8_t> damaged = packed;
    damaged[packed.size() / 2] ^= 0x5A;
    VLM_LoadRGBA32LayerCompressed(damaged.data(), 0, static_cast<int>(damaged.size()), 3);
    VLM_LoadRGBA32LayerCompressed(packed.data(), 0, static_cast<int>(packed.size()) - 1, 3);
    VLM_LoadRGBA32LayerCompressed(packed.data(), 0, 0, 3);
    VLM_LoadRGBA32LayerCompressed(nullptr, 0, 100, 3);
    EXPECT_EQ(data(3), kept);
    // A stream of a layer of another size does not fit this one.
    VLM_CreateLayer(4, 8, 8);
    VLM_LoadRGBA32LayerCompressed(packed.data(), 0, static_cast<int>(packed.size()), 4);
    EXPECT_EQ(g_engine.layers.layers[4].pixels[3], 0);
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(CompressedLayer, CompressionRefusesWhatItCannotServe) {
    std::vector<std::uint8_t> out(64, 0xEE);
    EXPECT_EQ(VLM_GetRGBA32LayerCompressed(out.data(), 0, 64, 9, 6), 0); // empty slot
    EXPECT_EQ(VLM_GetRGBA32LayerCompressed(out.data(), 0, 8, 2, 6), 0);  // too small
    EXPECT_EQ(VLM_GetRGBA32LayerCompressed(nullptr, 0, 64, 2, 6), 0);
    EXPECT_EQ(VLM_GetRGBA32LayerCompressed(out.data(), 0, -1, 2, 6), 0);
    VLM_CreateLayer(5, 8, 8); // not canvas-sized
    EXPECT_EQ(VLM_GetRGBA32LayerCompressed(out.data(), 0, 64, 5, 6), 0);
    // Level 0 stores: bigger than the pixels, still within the bound.
    std::vector<std::uint8_t> stored(VLM_GetRGBA32LayerCompressedBound());
    EXPECT_GT(VLM_GetRGBA32LayerCompressed(stored.data(), 0, static_cast<int>(stored.size()), 2, 0),
              static_cast<int>(kValues));
}

} // namespace
} // namespace vlm::test
