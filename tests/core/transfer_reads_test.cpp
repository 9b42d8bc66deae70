#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/engine_state.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

class TransferReads : public CanvasTest {
protected:
    static constexpr std::size_t kValues = static_cast<std::size_t>(kWidth) * kHeight * 4;
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(2, kWidth, kHeight);
        // Every value distinct in its high byte and low byte, so that a wrong index or byte shows.
        std::vector<std::uint16_t> plane(kValues);
        for (std::size_t i = 0; i < kValues; ++i) plane[i] = static_cast<std::uint16_t>(i * 40503u + 17);
        VLM_SetLayerData(plane.data(), 2);
        VLM_SetLayer(2);
    }
    static const std::uint16_t* px(int slot, int x, int y) {
        return g_engine.layers.layers[slot].pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4;
    }
    static std::uint8_t hi(std::uint16_t v) { return static_cast<std::uint8_t>(v >> 8); }
};

TEST_F(TransferReads, CanvasReadOutsKeepHighBytesAndHonourThePitch) {
    const int pitch3 = kWidth * 3 + 5, pitch4 = kWidth * 4 + 8;
    std::vector<std::uint8_t> rgb(pitch3 * kHeight, 0xEE), alpha(pitch3 * kHeight, 0xEE),
        rgba(pitch4 * kHeight, 0xEE), rgba_slot(pitch4 * kHeight, 0xEE);
    VLM_GetRGB24(rgb.data(), pitch3);
    VLM_GetRGB24FromAlpha(alpha.data(), pitch3);
    VLM_GetRGBA32(rgba.data(), pitch4);
    VLM_GetRGBA32Layer(rgba_slot.data(), pitch4, 2);
    for (int y = 0; y < kHeight; y += 7)
        for (int x = 0; x < kWidth; x += 5) {
            const std::uint16_t* p = px(2, x, y);
            for (int c = 0; c < 3; ++c) ASSERT_EQ(rgb[y * pitch3 + x * 3 + c], hi(p[c]));
            for (int c = 0; c < 3; ++c) ASSERT_EQ(alpha[y * pitch3 + x * 3 + c], hi(p[3]));
            for (int c = 0; c < 4; ++c) ASSERT_EQ(rgba[y * pitch4 + x * 4 + c], hi(p[c]));
        }
    EXPECT_EQ(rgba, rgba_slot);
    EXPECT_EQ(rgb[pitch3 - 1], 0xEE); // the padding stays the host's

    std::vector<std::uint8_t> other(kWidth * 3 * kHeight, 0);
    VLM_GetRGB24Layer(other.data(), kWidth * 3, 2);
    EXPECT_EQ(other[kWidth * 3 + 4], rgb[pitch3 + 4]);
    // A pitch shorter than a row, an empty slot or no buffer: nothing written.
    std::vector<std::uint8_t> untouched(kWidth * 4 * kHeight, 0x11);
    VLM_GetRGBA32(untouched.data(), kWidth * 4 - 1);
    VLM_GetRGBA32Layer(untouched.data(), kWidth * 4, 9);
    VLM_GetRGB24Layer(untouched.data(), kWidth * 3, 300);
    VLM_GetRGB24(nullptr, kWidth * 3);
    EXPECT_EQ(untouched, std::vector<std::uint8_t>(kWidth * 4 * kHeight, 0x11));
}

TEST_F(TransferReads, RGBA64PlaneAndRectanglesRoundTrip) {
    const int pitch = kWidth * 8 + 16;
    std::vector<std::uint8_t> whole(pitch * kHeight);
    VLM_GetRGBA64Layer(whole.data(), pitch, 2);
    VLM_CreateLayer(3, kWidth, kHeight);
    VLM_SetRGBA64Layer(whole.data(), pitch, 3);
    std::vector<std::uint16_t> a(kValues), b(kValues);
    VLM_GetLayerData(a.data(), 2);
    VLM_GetLayerData(b.data(), 3);
    EXPECT_EQ(a, b);

    std::vector<std::uint16_t> rect(3 * 2 * 4, 0);
    VLM_GetRGBA64LayerRect(rect.data(), 3 * 8, 2, kWidth - 3, kHeight - 2, 3, 2);
    EXPECT_EQ(rect[0], px(2, kWidth - 3, kHeight - 2)[0]);
    EXPECT_EQ(rect[23], px(2, kWidth - 1, kHeight - 1)[3]);
    // Rectangles reaching outside the canvas are refused whole.
    std::vector<std::uint16_t> spare(4 * 4 * 4, 7);
    const struct {
        int x, y, w, h;
    } outside[] = {
        {kWidth - 2, 0, 3, 1}, {0, kHeight - 1, 1, 2}, {-1, 0, 2, 2}, {0, -1, 1, 1}, {2147483647, 0, 1, 1}};
    for (const auto& r : outside) VLM_GetRGBA64LayerRect(spare.data(), 32, 2, r.x, r.y, r.w, r.h);
    EXPECT_EQ(spare, std::vector<std::uint16_t>(4 * 4 * 4, 7));
}

TEST_F(TransferReads, HostRGBA64BuffersNarrowToEightBits) {
    // A 3 x 2 RGBA64 picture inside rows of 5 pixels.
    std::vector<std::uint16_t> src(5 * 2 * 4);
    for (std::size_t i = 0; i < src.size(); ++i) src[i] = static_cast<std::uint16_t>(i * 0x0301 + 0x80);
    std::vector<std::uint8_t> rgb(2 * 10, 0), rgba(2 * 12, 0);
    VLM_GetRGB24FromRGBA64Rect(rgb.data(), 10, src.data(), 40, 30, 40, 3, 2);
    VLM_GetRGBA32FromRGBA64(rgba.data(), 12, 3, 2, src.data(), 40);
    EXPECT_EQ(rgb[10 + 2 * 3 + 2], hi(src[(5 + 2) * 4 + 2]));
    EXPECT_EQ(rgba[12 + 2 * 4 + 3], hi(src[(5 + 2) * 4 + 3]));
    EXPECT_EQ(rgb[9], 0); // beyond the three pixels of a row

    // The rectangle at (1, 1) of the same plane, as packed rows.
    std::vector<std::uint8_t> packed32(2 * 1 * 4), packed24(2 * 1 * 3);
    VLM_RGBA64RectToRGBA32(src.data(), 1, 1, 2, 1, 5, 0, packed32.data());
    VLM_RGBA64RectToRGBA24(src.data(), 1, 1, 2, 1, 5, 0, packed24.data());
    EXPECT_EQ(packed32[4], hi(src[(5 + 2) * 4]));
    EXPECT_EQ(packed24[5], hi(src[(5 + 2) * 4 + 2]));
    // Wider than the source rows or before its start: refused.
    std::vector<std::uint8_t> spare(64, 9);
    VLM_RGBA64RectToRGBA32(src.data(), 4, 0, 2, 1, 5, 0, spare.data());
    VLM_RGBA64RectToRGBA32(src.data(), -1, 0, 2, 1, 5, 0, spare.data());
    VLM_GetRGBA32FromRGBA64(spare.data(), 8, 3, 2, src.data(), 40); // destination rows would overlap
    EXPECT_EQ(spare, std::vector<std::uint8_t>(64, 9));
}

TEST_F(TransferReads, SinglePixelQueriesPackAndBoundTheirAnswers) {
    const std::uint16_t* p = px(2, 0, 0);
    const std::uint16_t* q = px(2, 4, 3);
    const auto rgba = [](const std::uint16_t* v) {
        return std::uint32_t{hi(v[0])} << 24 | hi(v[1]) << 16 | hi(v[2]) << 8 | hi(v[3]);
    };
    const auto argb = [](const std::uint16_t* v) {
        return std::uint32_t{hi(v[3])} << 24 | hi(v[0]) << 16 | hi(v[1]) << 8 | hi(v[2]);
    };
    EXPECT_EQ(VLM_GetRGBAAtSurface(4, 3), rgba(q));
    EXPECT_EQ(VLM_GetRGBAAtSurface(-1, 0), rgba(p)); // clamped
    EXPECT_EQ(VLM_GetRGBAAtLayer(kWidth + 5, kHeight + 5, 2), rgba(px(2, kWidth - 1, kHeight - 1)));
    EXPECT_EQ(VLM_GetColorAtSurface(4, 3), argb(q));
    EXPECT_EQ(VLM_GetColorAtLayer(-1, 0, 2), 0xFFFFFFu);
    EXPECT_EQ(VLM_GetColorAt(0, kHeight, g_engine.layers.layers[2].pixels), 0xFFFFFFu);
    EXPECT_EQ(VLM_GetColorAt(0, 0, nullptr), 0u);
    EXPECT_EQ(VLM_GetRGBAAt(0, 0, nullptr), 0u);
    EXPECT_EQ(VLM_GetRed64(4, 3), q[0]);
    EXPECT_EQ(VLM_GetGreen64(4, 3), q[1]);
    EXPECT_EQ(VLM_GetBlue64(4, 3), q[2]);
    EXPECT_EQ(VLM_GetAlpha64(4, 3), q[3]);
    EXPECT_EQ(VLM_GetAlpha64(kWidth, 3), 0);
    EXPECT_EQ(VLM_GetRed64(0, -1), 0);
    // The back buffer is the layer as selected; the trace layer and empty slots answer 0.
    EXPECT_EQ(VLM_GetColorAtUnderLayer(4, 3), argb(q));
    EXPECT_EQ(VLM_GetRGBAAtUnderLayer(4, 3), rgba(q));
    EXPECT_EQ(VLM_GetRGBAAtTrace(4, 3), 0u);
    EXPECT_EQ(VLM_GetColorAtTrace(4, 3), 0u);
    EXPECT_EQ(VLM_GetColorAtLayer(4, 3, 5), 0u);
    EXPECT_EQ(VLM_GetColorAtHistory(4, 3), 0u); // nothing to undo yet
    g_engine.undo.level_limit = 5;
    g_engine.undo.levels[0].mask = new std::uint16_t[1]; // one level held: freed with the canvas
    EXPECT_EQ(VLM_GetColorAtHistory(4, 3), argb(q));
    VLM_CreateLayer(0, kWidth, kHeight);
    EXPECT_EQ(VLM_GetColorAtTrace(4, 3), 0u); // transparent black
    EXPECT_EQ(VLM_GetColorAtTrace(-4, 3), 0xFFFFFFu);
}

TEST_F(TransferReads, NoCurrentLayerAnswersZero) {
    VLM_DeleteImage();
    VLM_CreateImage(nullptr, kWidth, kHeight, kMaxBrush, 0);
    EXPECT_EQ(VLM_GetRed64(1, 1), 0);
    EXPECT_EQ(VLM_GetRGBAAtSurface(1, 1), 0u);
    std::vector<std::uint8_t> rgb(kWidth * 3 * kHeight, 3);
    VLM_GetRGB24(rgb.data(), kWidth * 3);
    EXPECT_EQ(rgb[0], 3);
}

TEST_F(TransferReads, SetPixelWritesHighBytesInsideTheCanvasOnly) {
    const int pitch = kWidth * 3 + 1;
    std::vector<std::uint8_t> rgb(pitch * kHeight, 0);
    VLM_SetPixelRGB24(rgb.data(), pitch, 2, 1, 0x12FF, 0x3400, 0xFFFF);
    EXPECT_EQ(rgb[pitch + 6], 0x12);
    EXPECT_EQ(rgb[pitch + 7], 0x34);
    EXPECT_EQ(rgb[pitch + 8], 0xFF);
    VLM_SetPixelRGB24(rgb.data(), pitch, kWidth, 0, 0xFFFF, 0xFFFF, 0xFFFF);
    VLM_SetPixelRGB24(rgb.data(), pitch, 0, -1, 0xFFFF, 0xFFFF, 0xFFFF);
    VLM_SetPixelRGB24(rgb.data(), kWidth * 3 - 1, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF);
    EXPECT_EQ(std::count(rgb.begin(), rgb.end(), 0), static_cast<std::ptrdiff_t>(rgb.size() - 3));
}

} // namespace
} // namespace vlm::test
