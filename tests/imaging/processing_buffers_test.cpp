#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "core/engine_state.h"
#include "imaging/processing_buffers.h"
#include "support/child_process.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

imaging::State& buffers() { return g_engine.imaging; }

class ProcessingBuffers : public CanvasTest {
protected:
    static constexpr std::size_t kPixels = static_cast<std::size_t>(kWidth) * kHeight;
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_SetLayer(2);
        paint_layer(0);
    }
    // Every 16-bit value distinct in both bytes; `salt` makes a second picture.
    static void paint_layer(unsigned salt) {
        std::vector<std::uint16_t> plane(kPixels * 4);
        for (std::size_t i = 0; i < plane.size(); ++i)
            plane[i] = static_cast<std::uint16_t>(i * 40503u + 17 + salt);
        VLM_SetLayerData(plane.data(), 2);
    }
    static std::vector<std::uint8_t> layer_rgba32() {
        std::vector<std::uint8_t> out(kPixels * 4);
        VLM_GetRGBA32(out.data(), kWidth * 4);
        return out;
    }
    static std::vector<std::uint8_t> contents(const imaging::Buffer& b) {
        return {b.pixels, b.pixels + b.size};
    }
};

TEST_F(ProcessingBuffers, SourceAllocationFillsFromTheLayerAndReusesItsMemory) {
    VLM_IPLAllocSrcBuffer32();
    VLM_IPLAllocSrcBuffer24();
    VLM_ToolAllocSrcBuffer32();
    const imaging::Buffer first = buffers().src32;
    ASSERT_NE(first.pixels, nullptr);
    EXPECT_EQ(first.size, kPixels * 4);
    EXPECT_EQ(contents(buffers().src32), layer_rgba32());
    EXPECT_EQ(contents(buffers().tool_src), layer_rgba32());
    std::vector<std::uint8_t> rgb(kPixels * 3);
    VLM_GetRGB24(rgb.data(), kWidth * 3);
    EXPECT_EQ(contents(buffers().src24), rgb);

    paint_layer(1000);
    VLM_IPLAllocSrcBuffer32();
    EXPECT_EQ(buffers().src32.pixels, first.pixels);
    EXPECT_EQ(contents(buffers().src32), layer_rgba32());
}

TEST_F(ProcessingBuffers, DestinationAllocationKeepsARightSizedBuffer) {
    VLM_IPLAllocDstBuffer32();
    VLM_IPLAllocDstBuffer24();
    VLM_ToolAllocDstBuffer32();
    EXPECT_EQ(buffers().dst32.size, kPixels * 4);
    EXPECT_EQ(buffers().dst24.size, kPixels * 3);
    EXPECT_EQ(buffers().tool_dst.size, kPixels * 4);
    std::memset(buffers().dst32.pixels, 0x5A, buffers().dst32.size);
    const std::uint8_t* before = buffers().dst32.pixels;
    VLM_IPLAllocDstBuffer32();
    EXPECT_EQ(buffers().dst32.pixels, before);
    EXPECT_EQ(buffers().dst32.pixels[kPixels * 4 - 1], 0x5A);
}

TEST_F(ProcessingBuffers, FreeingEmptiesEveryBufferAndToleratesAbsence) {
    void (*allocs[])() = {VLM_IPLAllocSrcBuffer32, VLM_IPLAllocDstBuffer32,  VLM_IPLAllocSrcBuffer24,
                          VLM_IPLAllocDstBuffer24, VLM_ToolAllocSrcBuffer32, VLM_ToolAllocDstBuffer32};
    void (*frees[])() = {VLM_IPLFreeSrcBuffer32, VLM_IPLFreeDstBuffer32,  VLM_IPLFreeSrcBuffer24,
                         VLM_IPLFreeDstBuffer24, VLM_ToolFreeSrcBuffer32, VLM_ToolFreeDstBuffer32};
    imaging::Buffer* held[] = {&buffers().src32, &buffers().dst32,    &buffers().src24,
                               &buffers().dst24, &buffers().tool_src, &buffers().tool_dst};
    for (int i = 0; i < 6; ++i) {
        allocs[i]();
        ASSERT_NE(held[i]->pixels, nullptr) << i;
        frees[i]();
        EXPECT_EQ(held[i]->pixels, nullptr) << i;
        EXPECT_EQ(held[i]->size, 0u) << i;
        frees[i]();
    }
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(ProcessingBuffers, CanvasResizeDropsTheIplBuffersAndReplacesStaleToolBuffers) {
    VLM_IPLAllocSrcBuffer32();
    VLM_IPLAllocDstBuffer32();
    VLM_ToolAllocSrcBuffer32();
    VLM_ToolAllocDstBuffer32();
    VLM_NewSize(nullptr, 20, 10, kMaxBrush, 0);
    EXPECT_EQ(buffers().src32.pixels, nullptr);
    EXPECT_EQ(buffers().dst32.pixels, nullptr);
    ASSERT_NE(buffers().tool_src.pixels, nullptr);

    const std::vector<std::uint8_t> host(20 * 10 * 4, 7);
    VLM_IPLSetSrcBuffer32(host.data()); // nothing to copy into
    EXPECT_EQ(buffers().src32.pixels, nullptr);

    // The old layer no longer has canvas geometry: the new source holds transparent black.
    VLM_IPLAllocSrcBuffer32();
    VLM_ToolAllocSrcBuffer32();
    VLM_ToolAllocDstBuffer32();
    for (const imaging::Buffer* b : {&buffers().src32, &buffers().tool_src, &buffers().tool_dst})
        EXPECT_EQ(b->size, 20u * 10 * 4);
    EXPECT_EQ(contents(buffers().src32), std::vector<std::uint8_t>(20 * 10 * 4, 0));
    VLM_IPLSetSrcBuffer32(host.data());
    EXPECT_EQ(contents(buffers().src32), host);
}

TEST_F(ProcessingBuffers, SetAndUpdateCopyOnlyIntoPresentBuffers) {
    const std::vector<std::uint8_t> host(kPixels * 4, 0x33);
    VLM_IPLSetSrcBuffer32(host.data());
    VLM_IPLSetDstBuffer32(host.data());
    VLM_IPLUpdateSrcBuffer32();
    EXPECT_EQ(buffers().src32.pixels, nullptr);

    VLM_IPLAllocSrcBuffer32();
    VLM_IPLAllocDstBuffer32();
    VLM_IPLSetSrcBuffer32(nullptr);
    EXPECT_EQ(contents(buffers().src32), layer_rgba32());
    VLM_IPLSetSrcBuffer32(host.data());
    VLM_IPLSetDstBuffer32(host.data());
    EXPECT_EQ(contents(buffers().src32), host);
    EXPECT_EQ(contents(buffers().dst32), host);

    paint_layer(77);
    VLM_IPLUpdateSrcBuffer32();
    EXPECT_EQ(contents(buffers().src32), layer_rgba32());
}

using ProcessingBuffersWithoutCanvas = EngineTest;

TEST_F(ProcessingBuffersWithoutCanvas, NoCanvasMeansNoBuffer) {
    VLM_IPLAllocSrcBuffer32();
    VLM_ToolAllocDstBuffer32();
    EXPECT_EQ(buffers().src32.pixels, nullptr);
    EXPECT_EQ(buffers().tool_dst.pixels, nullptr);
}

TEST_F(ProcessingBuffers, BufferStaysAbsentWhenMemoryRunsOut) {
    if (sanitized_build()) GTEST_SKIP() << "address-space limits do not apply under the address sanitizer";
    const int code = run_in_child([] {
        VLM_CreateImage(nullptr, 2000, 2000, 16, 0);
        VLM_CreateLayer(2, 2000, 2000);
        VLM_SetLayer(2);
        if (!limit_address_space(4u << 20)) return 10;
        VLM_IPLAllocSrcBuffer32(); // 16 MB
        if (g_engine.imaging.src32.pixels || g_engine.imaging.src32.size) return 11;
        VLM_IPLAllocDstBuffer32();
        return g_engine.imaging.dst32.pixels ? 12 : 0;
    });
    EXPECT_EQ(code, 0);
}

TEST_F(ProcessingBuffers, MaskReachesTheSourceAlphaOnlyWhileEnabled) {
    VLM_IPLAllocSrcBuffer32();
    const std::vector<std::uint8_t> before = contents(buffers().src32);
    for (std::size_t i = 0; i < kPixels; ++i) g_engine.mask.plane[i] = 0x80FF;
    g_engine.mask.enabled = 0;
    VLM_ApplyMaskToAlpha_IPLSrcRGBA();
    EXPECT_EQ(contents(buffers().src32), before);

    g_engine.mask.enabled = 1;
    VLM_ApplyMaskToAlpha_IPLSrcRGBA();
    for (std::size_t i = 0; i < kPixels * 4; ++i)
        EXPECT_EQ(buffers().src32.pixels[i], i % 4 == 3 ? before[i] * 129 / 256 : before[i]) << i;
}

struct AbsentCase {
    const char* what;
    std::vector<std::uint32_t> colours; // packed R + G x 256 + B x 65536
    std::uint32_t expected;
};

TEST(AbsentColour, FindsTheLowestMissingColourInBlueGreenRedOrder) {
    std::vector<std::uint32_t> reds;
    for (std::uint32_t r = 0; r < 256; ++r) reds.push_back(r);
    std::vector<std::uint32_t> reds_and_next = reds;
    reds_and_next.push_back(256);
    AbsentCase cases[] = {
        {"one black picture", {0, 0, 0, 0}, 1},    {"no black", {5, 0x010000}, 0},
        {"gap in red", {0, 1, 3, 2, 5}, 4},        {"every red of green 0", reds, 256},
        {"green 1 taken too", reds_and_next, 257}, {"every red and green of blue 0", {}, 0x010000},
    };
    for (std::uint32_t c = 0; c < 0x10000; ++c) cases[5].colours.push_back(c);
    for (const AbsentCase& c : cases) {
        std::vector<std::uint8_t> px;
        for (std::uint32_t v : c.colours) {
            // Alpha varies so that only the colour counts.
            px.insert(px.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                 static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v * 7)});
        }
        EXPECT_EQ(imaging::absent_colour(px.data(), static_cast<int>(c.colours.size()), 1), c.expected)
            << c.what;
    }
    EXPECT_EQ(imaging::absent_colour(nullptr, 4, 4), 0u);
}

TEST(AbsentColour, EveryColourPresentGives256) {
    std::vector<std::uint8_t> px(std::size_t{1} << 26);
    for (std::uint32_t c = 0; c < (1u << 24); ++c) std::memcpy(&px[std::size_t{c} * 4], &c, 4);
    EXPECT_EQ(imaging::absent_colour(px.data(), 4096, 4096), 256u);
}

TEST(SetAlpha, WritesOnlyTheAlphaBytes) {
    std::vector<std::uint8_t> px(3 * 2 * 4);
    for (std::size_t i = 0; i < px.size(); ++i) px[i] = static_cast<std::uint8_t>(i);
    imaging::set_alpha(px.data(), 3, 2, 255);
    for (std::size_t i = 0; i < px.size(); ++i) EXPECT_EQ(px[i], i % 4 == 3 ? 255 : i) << i;
}

} // namespace
} // namespace vlm::test
