#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "core/engine_state.h"
#include "core/rle.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Values = std::vector<std::uint16_t>;

// n RGBA64 pixels of one value per channel.
Values pixels(int n, std::array<std::uint16_t, 4> v) {
    Values out;
    for (int i = 0; i < n; ++i) out.insert(out.end(), v.begin(), v.end());
    return out;
}

TEST(RunCodes, EqualPixelsGoIntoRunsOfAtMost255) {
    const Values row = pixels(300, {0x1234, 0x5678, 0x9ABC, 0xFFFF});
    Bytes out(300 * 5, 0xEE);
    ASSERT_EQ(VLM_RLECompressRGBA64ToRGBA32(row.data(), out.data(), 300), 10);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 10),
              (Bytes{255, 0x12, 0x56, 0x9A, 0xFF, 45, 0x12, 0x56, 0x9A, 0xFF}));
    EXPECT_EQ(out[10], 0xEE);

    const Values one = pixels(1, {1, 2, 3, 4});
    EXPECT_EQ(VLM_RLECompressRGBA64ToRGBA32(one.data(), out.data(), 1), 5);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 5), (Bytes{1, 0, 0, 0, 0}));

    const Values grey = {0x10FF, 0x1000, 0x1080, 0x2000};
    EXPECT_EQ(VLM_RLECompressG16ToG8(grey.data(), out.data(), 4), 4);
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 4), (Bytes{3, 0x10, 1, 0x20}));
}

TEST(RunCodes, LowBytesAreDroppedOnTheWayOut) {
    const Values row = {0x12FF, 0x3401, 0x5600, 0xFF7F, 0x1200, 0x34FF, 0x5680, 0xFF00};
    Bytes out(10);
    ASSERT_EQ(VLM_RLECompressRGBA64ToRGBA32(row.data(), out.data(), 2), 5);
    Values back(8, 1);
    VLM_RLEUncompressRGBA32ToRGBA64(out.data(), back.data(), 2);
    EXPECT_EQ(back, (Values{0x1200, 0x3400, 0x5600, 0xFF00, 0x1200, 0x3400, 0x5600, 0xFF00}));
}

TEST(RunCodes, NothingIsEncodedForNoElements) {
    Bytes out(8, 0xEE);
    const Values row = pixels(1, {1, 2, 3, 4});
    EXPECT_EQ(VLM_RLECompressRGBA64ToRGBA32(row.data(), out.data(), 0), 0);
    EXPECT_EQ(VLM_RLECompressG16ToG8(row.data(), out.data(), -3), 0);
    EXPECT_EQ(VLM_RLECompressG16ToG8(nullptr, out.data(), 3), 0);
    EXPECT_EQ(VLM_RLECompressRGBA64ToRGBA32(row.data(), nullptr, 1), 0);
    EXPECT_EQ(out, Bytes(8, 0xEE));
}

TEST(RunCodes, DecodingStopsAtTheCountAndAtTheStreamsEnd) {
    // Runs of 2 and 3 fill a row of 5 exactly: the sized decoder uses all 10 bytes and no more.
    const Bytes exact = {2, 1, 2, 3, 4, 3, 5, 6, 7, 8, 99, 99};
    Values row(5 * 4 + 4, 0xAAAA);
    EXPECT_EQ(VLM_RLEUncompressRGBA32ToRGBA64Sized(exact.data(), 10, row.data(), 5), 10);
    EXPECT_EQ(row[4 * 4 + 3], 0x0800);
    EXPECT_EQ(row[5 * 4], 0xAAAA);

    // A run carrying past the count is cut at the count, however long it is.
    const Bytes overshoot = {2, 1, 1, 1, 1, 255, 2, 2, 2, 2};
    row.assign(row.size(), 0xAAAA);
    EXPECT_EQ(VLM_RLEUncompressRGBA32ToRGBA64Sized(overshoot.data(), 10, row.data(), 5), 10);
    EXPECT_EQ(row[4 * 4], 0x0200);
    EXPECT_EQ(row[5 * 4], 0xAAAA);
    VLM_RLEUncompressRGBA32ToRGBA64(overshoot.data(), row.data(), 3);
    EXPECT_EQ(row[5 * 4], 0xAAAA);

    // Streams that end early, mid-record or with zero-length runs: -1 and nothing written.
    const struct {
        Bytes stream;
        int length;
    } short_streams[] = {{{2, 1, 1, 1, 1}, 5},
                         {{2, 1, 1, 1, 1, 3, 2}, 7},
                         {{0, 1, 1, 1, 1, 0, 1, 1, 1, 1}, 10},
                         {{5, 1, 1, 1, 1}, -4},
                         {{5, 1, 1, 1, 1}, 0}};
    for (const auto& s : short_streams) {
        row.assign(row.size(), 0xAAAA);
        EXPECT_EQ(VLM_RLEUncompressRGBA32ToRGBA64Sized(s.stream.data(), s.length, row.data(), 5), -1);
        EXPECT_EQ(row, Values(row.size(), 0xAAAA));
    }

    EXPECT_EQ(VLM_RLEUncompressRGBA32ToRGBA64Sized(nullptr, 10, row.data(), 5), -1);
    EXPECT_EQ(row, Values(row.size(), 0xAAAA));

    Values grey(4, 7);
    const Bytes grey_stream = {3, 0x40, 9, 0x80};
    EXPECT_EQ(VLM_RLEUncompressG8ToG16Sized(grey_stream.data(), 4, grey.data(), 4), 4);
    EXPECT_EQ(grey, (Values{0x4000, 0x4000, 0x4000, 0x8000}));
    EXPECT_EQ(VLM_RLEUncompressG8ToG16Sized(grey_stream.data(), 3, grey.data(), 4), -1);
    EXPECT_EQ(VLM_RLEUncompressG8ToG16Sized(grey_stream.data(), 4, grey.data(), 0), 0);
}

TEST(RunCodes, RandomRowsRoundTripThroughBothCodes) {
    std::mt19937 gen(77);
    for (int round = 0; round < 50; ++round) {
        const int n = 1 + static_cast<int>(gen() % 700);
        Values row(n * 4), grey(n);
        // Few distinct values, so that runs of every length occur.
        for (auto& v : row) v = static_cast<std::uint16_t>((gen() % 3) * 0x5500 + gen() % 256);
        for (int i = 1; i < n; ++i)
            if (gen() % 4) std::copy(row.begin() + (i - 1) * 4, row.begin() + i * 4, row.begin() + i * 4);
        for (int i = 0; i < n; ++i) grey[i] = row[i * 4];
        Bytes code(n * 5), grey_code(n * 2);
        const int bytes = VLM_RLECompressRGBA64ToRGBA32(row.data(), code.data(), n);
        const int grey_bytes = VLM_RLECompressG16ToG8(grey.data(), grey_code.data(), n);
        ASSERT_GT(bytes, 0);
        ASSERT_LE(bytes, n * 5);
        Values back(n * 4), grey_back(n);
        ASSERT_EQ(VLM_RLEUncompressRGBA32ToRGBA64Sized(code.data(), bytes, back.data(), n), bytes);
        ASSERT_EQ(VLM_RLEUncompressG8ToG16Sized(grey_code.data(), grey_bytes, grey_back.data(), n),
                  grey_bytes);
        for (int i = 0; i < n * 4; ++i) ASSERT_EQ(back[i], row[i] & 0xFF00) << i;
        for (int i = 0; i < n; ++i) ASSERT_EQ(grey_back[i], grey[i] & 0xFF00) << i;
    }
}

class RunCodeRows : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_CreateLayer(3, kWidth, kHeight);
        VLM_SetLayer(3);
        undo::State& u = g_engine.undo;
        u.dirty_x0 = kWidth - 1, u.dirty_y0 = kHeight - 1, u.dirty_x1 = 0, u.dirty_y1 = 0;
    }
    static std::uint16_t* row_of(int slot, int row) {
        return g_engine.layers.layers[slot].pixels + static_cast<std::size_t>(row) * kWidth * 4;
    }
};

TEST_F(RunCodeRows, LayerRowsTravelBetweenSlots) {
    for (int x = 0; x < kWidth; ++x) row_of(2, 5)[x * 4] = static_cast<std::uint16_t>(x / 10 * 0x1000);
    Bytes code(kWidth * 5);
    const int bytes = VLM_GetRGBA32LayerLineRLE(code.data(), 2, 5);
    EXPECT_EQ(bytes, 7 * 5); // red steps every 10 pixels: 7 runs
    VLM_PutRGBA32LayerLineRLE(code.data(), 3, 9);
    EXPECT_EQ(Values(row_of(3, 9), row_of(3, 10)), Values(row_of(2, 5), row_of(2, 6)));
    EXPECT_EQ(g_engine.undo.dirty_y0, 9);
    EXPECT_EQ(g_engine.undo.dirty_y1, 9);
    EXPECT_EQ(g_engine.undo.dirty_x1, kWidth - 1);

    // The sized form refuses a stream one byte short and leaves the row.
    EXPECT_EQ(VLM_PutRGBA32LayerLineRLESized(code.data(), bytes - 1, 3, 10), -1);
    EXPECT_EQ(row_of(3, 10)[10 * 4], 0);
    EXPECT_EQ(VLM_PutRGBA32LayerLineRLESized(code.data(), bytes, 3, 10), bytes);
    EXPECT_EQ(row_of(3, 10)[10 * 4], 0x1000);

    // Empty slots and rows outside the canvas: nothing read, nothing written.
    Bytes untouched(kWidth * 5, 0xEE);
    EXPECT_EQ(VLM_GetRGBA32LayerLineRLE(untouched.data(), 7, 0), 0);
    EXPECT_EQ(VLM_GetRGBA32LayerLineRLE(untouched.data(), 2, kHeight), 0);
    EXPECT_EQ(VLM_GetRGBA32LayerLineRLE(untouched.data(), 2, -1), 0);
    EXPECT_EQ(untouched, Bytes(kWidth * 5, 0xEE));
    VLM_PutRGBA32LayerLineRLE(code.data(), 3, kHeight);
    VLM_PutRGBA32LayerLineRLE(code.data(), 300, 0);
    EXPECT_EQ(VLM_PutRGBA32LayerLineRLESized(code.data(), bytes, 3, -1), 0);
}

TEST_F(RunCodeRows, MaskRowsTravelAsGreyRuns) {
    std::uint16_t* mask = g_engine.mask.plane;
    for (int x = 0; x < 20; ++x) mask[3 * kWidth + x] = 0x00FF; // protected, low byte set
    Bytes code(kWidth * 2);
    const int bytes = VLM_GetMaskLineRLE(code.data(), 3);
    EXPECT_EQ(bytes, 4);
    EXPECT_EQ(Bytes(code.begin(), code.begin() + 4), (Bytes{20, 0x00, kWidth - 20, 0xFF}));
    VLM_PutMaskLineRLE(code.data(), 40);
    EXPECT_EQ(mask[40 * kWidth + 19], 0);
    EXPECT_EQ(mask[40 * kWidth + 20], 0xFF00);
    EXPECT_EQ(g_engine.undo.dirty_y1, 40);
    EXPECT_EQ(VLM_PutMaskLineRLESized(code.data(), 3, 41), -1);
    EXPECT_EQ(mask[41 * kWidth], 0xFFFF);
    EXPECT_EQ(VLM_PutMaskLineRLESized(code.data(), 4, 41), 4);
    EXPECT_EQ(mask[41 * kWidth], 0);

    EXPECT_EQ(VLM_GetMaskLineRLE(code.data(), kHeight), 0);
    VLM_DeleteImage();
    EXPECT_EQ(VLM_GetMaskLineRLE(code.data(), 0), 0);
    VLM_PutMaskLineRLE(code.data(), 0);
}

} // namespace
} // namespace vlm::test
