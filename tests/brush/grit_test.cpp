#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "brush/grit.h"
#include "brush/tool_fixture.h"
#include "core/engine_state.h"
#include "core/random.h"
#include "support/engine_fixture.h"

namespace vlm::brush {
namespace {

using test::dab_buffers;
using test::ToolCall;
using Bytes = std::vector<std::uint8_t>;

// Random grit written out as plainly as it is described: the (S + 25)-square walked cell by cell with
// the bounds test inside the pixel loop, bytes read one at a time from positions in arrays A and B
// (wrapping at their ends), element (row, column) at row * M + column.
Bytes reference_grit(int m, int s, const GritCells& cells, const Bytes& a, const Bytes& b,
                     core::Generator& g) {
    Bytes out(static_cast<std::size_t>(m + 25) * (m + 25), 255);
    const long long span = s + 25, c = cells.size, la = static_cast<long long>(a.size());
    for (long long row0 = 0; row0 < span; row0 += c) {
        long long pa = g.next() * ((la - 2 * c) / 32767);
        long long pb = g.next() * ((la - c) / 32767);
        for (long long col0 = 0; col0 < span; col0 += c) {
            if (a[pa++ % la] >= cells.cell_threshold) continue;
            const std::uint8_t value = b[pb++ % static_cast<long long>(b.size())];
            for (long long i = 0; i < c; ++i)
                for (long long j = 0; j < c; ++j)
                    if (row0 + i < span && col0 + j < span && a[pa++ % la] < cells.pixel_threshold)
                        out[(row0 + i) * m + col0 + j] = value;
        }
    }
    return out;
}

Bytes random_bytes(std::size_t n, int modulus, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& v : out) v = static_cast<std::uint8_t>(rng() % modulus);
    return out;
}

struct GritCase {
    int m, s;
    GritCells cells;
};

TEST(RandomGrit, MatchesTheCellByCellWalk) {
    // Short arrays of different lengths, so that reads wrap and B's own length never scales an offset.
    const Bytes a = random_bytes(70001, 255, 1), b = random_bytes(50003, 254, 2);
    const GritCase cases[] = {
        {32, 8, {1, 128, 200}},   // one-pixel cells
        {32, 32, {3, 100, 255}},  // the square runs past column M into the next row
        {40, 7, {10, 200, 100}},  // the last row and column of cells are cut by the square
        {32, 1, {30, 255, 128}},  // a cell nearly as large as the square
        {32, 16, {4, 0, 255}},    // no cell seeded
        {32, 16, {4, 256, 256}},  // every pixel of every cell seeded
        {300, 290, {7, 90, 180}}, // a large brush
    };
    for (const GritCase& c : cases) {
        core::Generator g{12345}, ref{12345};
        Bytes out(static_cast<std::size_t>(c.m + 25) * (c.m + 25), 0);
        ASSERT_TRUE(
            build_random_grit(out.data(), c.m, c.s, c.cells, {a.data(), a.size(), b.data(), b.size()}, g));
        EXPECT_EQ(out, reference_grit(c.m, c.s, c.cells, a, b, ref))
            << c.m << " " << c.s << " " << c.cells.size;
        EXPECT_EQ(g.state, ref.state) << "two generator values per row of cells";
    }
}

TEST(RandomGrit, SquareIsAddressedWithRowStrideM) {
    // Every cell and pixel seeded with 7: with M = 32 and a 57-pixel square, rows overlap and bytes
    // 0 .. 56 * 32 + 56 are grit, the rest of the (M + 25)^2 bytes stay 255.
    const Bytes a(1000, 0), b(1000, 7);
    Bytes out(57 * 57, 0);
    core::Generator g{1};
    ASSERT_TRUE(
        build_random_grit(out.data(), 32, 32, {5, 1, 1}, {a.data(), a.size(), b.data(), b.size()}, g));
    Bytes expected(57 * 57, 255);
    std::fill_n(expected.begin(), 56 * 32 + 56 + 1, 7);
    EXPECT_EQ(out, expected);
}

TEST(RandomGrit, RefusesWhatCannotBeSeeded) {
    const Bytes a(1000, 0), b(1000, 7);
    const GritArrays arrays{a.data(), a.size(), b.data(), b.size()};
    struct Bad {
        int m, s, cell_size;
        GritArrays arrays;
    } cases[] = {
        {32, 8, 0, arrays},                           // grit off
        {32, 8, -4, arrays},                          // a negative cell would never advance
        {32, 8, 4, {nullptr, 0, b.data(), b.size()}}, // no arrays yet
        {32, 1001, 4, arrays},                        // the square would run past the buffer
    };
    for (const Bad& c : cases) {
        Bytes out(static_cast<std::size_t>(c.m + 25) * (c.m + 25), 0);
        core::Generator g{9};
        EXPECT_FALSE(build_random_grit(out.data(), c.m, c.s, {c.cell_size, 1, 1}, c.arrays, g));
        EXPECT_EQ(out, Bytes(out.size(), 255));
        EXPECT_EQ(g.state, 9u) << "nothing drawn";
    }
}

class GritTool : public vlm::test::CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        dir_ = vlm::test::temp_dir("grit");
        VLM_SetSize(kSize);
    }
    static ToolCall grit_tool() {
        ToolCall t;
        t.cell_size = 4;
        t.cell_threshold = 100;
        t.pixel_threshold = 150;
        t.drawing_length = 7;
        return t;
    }
    static void fill_buffers(std::uint8_t v) {
        for (std::uint8_t* b : g_engine.brush.dab) std::fill_n(b, (kMaxBrush + 25) * (kMaxBrush + 25), v);
    }
    static void expect_grit_position_at_buffer_19() {
        const GritPosition& p = g_engine.brush.tool.grit;
        EXPECT_TRUE(p.set);
        EXPECT_EQ(p.buffer, 19);
        EXPECT_EQ(p.row, 0);
        EXPECT_EQ(p.col, 0);
        EXPECT_EQ(current_grit(), g_engine.brush.dab[19]);
    }
    static constexpr int kSize = 8;
    static constexpr int kSpan = kSize + 25;
    std::string dir_;
};

TEST_F(GritTool, FillsTheTwentyBuffersInOrderFromTheSeed) {
    VLM_SetRandomSeed(5);
    grit_tool()();
    const core::RandomState& r = g_engine.random;
    const Bytes a(r.grit_a.data, r.grit_a.data + r.grit_a.length),
        b(r.grit_b.data, r.grit_b.data + r.grit_b.length);
    ASSERT_EQ(a.size(), 1000000u);
    core::Generator g{5};
    const auto buffers = dab_buffers();
    for (int k = 0; k < 20; ++k) {
        EXPECT_EQ(buffers[k], reference_grit(kMaxBrush, kSize, {4, 100, 150}, a, b, g)) << k;
        for (std::uint8_t v : buffers[k]) ASSERT_TRUE(v == 255 || v <= 253);
    }
    EXPECT_EQ(g_engine.random.generator, g.state);
    expect_grit_position_at_buffer_19();
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 7);
}

TEST_F(GritTool, SameSeedAndCallsGiveTheSameGritAndShapeAnotherSeedOtherGrit) {
    const auto run = [](unsigned seed) {
        vlm::test::reset_engine();
        VLM_CreateImage(nullptr, kWidth, kHeight, kMaxBrush, 0);
        VLM_SetRandomSeed(seed);
        VLM_SetSize(kSize);
        ToolCall t = grit_tool();
        t.softness = 90;
        t();
        VLM_DecDrawingLength();
        t.cell_size = 3;
        t();
        return std::make_pair(dab_buffers(), test::shape_plane());
    };
    const auto first = run(11), second = run(11), other = run(12);
    EXPECT_EQ(first, second);
    EXPECT_NE(first.first, other.first);
    EXPECT_EQ(first.second, other.second);
}

TEST_F(GritTool, CellSizeZeroBuildsNothingAndThresholdZeroSeedsNothing) {
    fill_buffers(0x5A);
    ToolCall off = grit_tool();
    off.cell_size = 0;
    off();
    for (const Bytes& b : dab_buffers()) EXPECT_EQ(b, Bytes(b.size(), 0x5A));
    EXPECT_FALSE(g_engine.brush.tool.grit.set);
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 0);

    ToolCall none = grit_tool();
    none.cell_threshold = 0;
    none();
    for (const Bytes& b : dab_buffers()) EXPECT_EQ(b, Bytes(b.size(), 255));
    expect_grit_position_at_buffer_19();
}

// Pixel (x, y) of the grit pictures below.
int pattern(int x, int y) { return (x * 7 + y * 13) % 256; }

TEST_F(GritTool, PictureGritReplacesRandomGritWithWindowsAtGeneratorOffsets) {
    const std::string path = dir_ + "/pattern.bmp";
    test::write_grey_bmp(path, 100, 90, pattern);
    VLM_SetRandomSeed(3);
    ToolCall t = grit_tool();
    t.grit_source = path.c_str();
    t.drawing_length = 9;
    t();
    // The random grit is built first (two values per row of cells in each buffer), then each buffer
    // draws its window's corner: x below 100 - 33, y below 90 - 33.
    core::Generator g{3};
    for (int i = 0; i < 20 * 2 * 9; ++i) g.next();
    const auto buffers = dab_buffers();
    for (int k = 0; k < 20; ++k) {
        const int ox = g.next() % (100 - kSpan), oy = g.next() % (90 - kSpan);
        Bytes expected(buffers[k].size(), 255);
        // The window is cut to the M x M destination.
        for (int r = 0; r < kMaxBrush; ++r)
            for (int c = 0; c < kMaxBrush; ++c) expected[r * kMaxBrush + c] = pattern(ox + c, oy + r);
        EXPECT_EQ(buffers[k], expected) << k;
    }
    EXPECT_EQ(g_engine.random.generator, g.state);
    expect_grit_position_at_buffer_19();
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 9);
}

TEST_F(GritTool, PictureSmallerThanTheSquareIsTakenWholeWithoutDrawing) {
    VLM_SetRandomSeed(3);
    ToolCall t = grit_tool();
    t.cell_size = 0;
    const std::string path = test::kShapes + "soft_dot.png"; // 32 x 32 grey, below the 33-pixel square
    t.grit_source = path.c_str();
    t();
    Bytes expected((kMaxBrush + 25) * (kMaxBrush + 25), 255);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) {
            const double d = std::hypot(x + 0.5 - 16, y + 0.5 - 16);
            expected[y * kMaxBrush + x] =
                static_cast<std::uint8_t>(std::max(0, 255 - static_cast<int>(255 * d / 16)));
        }
    for (const Bytes& b : dab_buffers()) EXPECT_EQ(b, expected);
    EXPECT_EQ(g_engine.random.generator, 3u);
}

TEST_F(GritTool, ScriptGritTilesTheRendering) {
    const std::string path = test::kShapes + "blot.vfx"; // 24 x 24
    ToolCall t = grit_tool();
    t.grit_source = path.c_str();
    t.drawing_length = 4;
    t();
    for (const Bytes& b : dab_buffers()) {
        EXPECT_NE(b, Bytes(b.size(), 255));
        // Any window of the tiled picture repeats every 24 pixels both ways.
        for (int r = 0; r < kMaxBrush; ++r)
            for (int c = 0; c + 24 < kMaxBrush; ++c)
                ASSERT_EQ(b[r * kMaxBrush + c], b[r * kMaxBrush + c + 24]);
        for (int r = 0; r + 24 < kMaxBrush; ++r)
            for (int c = 0; c < kMaxBrush; ++c) ASSERT_EQ(b[r * kMaxBrush + c], b[(r + 24) * kMaxBrush + c]);
    }
    expect_grit_position_at_buffer_19();
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 4);
}

TEST_F(GritTool, UnusableSourcesLeaveTheRandomGritSilently) {
    VLM_SetRandomSeed(8);
    grit_tool()();
    const auto random = dab_buffers();
    test::write_text(dir_ + "/text.bmp", "BMx");
    test::write_text(dir_ + "/bad.vfx", "velmora-effect-script 1\nsize 0 0\n");
    ASSERT_EQ(::mkfifo((dir_ + "/pipe.vfx").c_str(), 0600), 0); // opening it would wait for a writer
    for (const std::string& source : {std::string("x"), dir_ + "/missing.png", dir_ + "/text.bmp",
                                      dir_ + "/bad.vfx", dir_, dir_ + "/pipe.vfx"}) {
        ToolCall t = grit_tool();
        t.grit_source = source.c_str();
        t();
        EXPECT_EQ(dab_buffers(), random) << source;
    }
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(GritTool, BrushesLargerThanTheMaximumStayInsideTheBuffers) {
    // 40 > M = 32 still fits the (M + 25)^2 bytes with row stride M; 1001 would not and builds nothing.
    VLM_SetSize(40);
    grit_tool()();
    for (const Bytes& b : dab_buffers()) EXPECT_NE(b, Bytes(b.size(), 255));
    VLM_SetSize(1001);
    grit_tool()();
    for (const Bytes& b : dab_buffers()) EXPECT_EQ(b, Bytes(b.size(), 255));
    EXPECT_EQ(test::shape_plane(), std::vector<std::uint16_t>(kMaxBrush * kMaxBrush, 0));
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST(GritToolLargeBrush, BrushOf575OrMoreSkipsThePicture) {
    vlm::test::reset_engine();
    VLM_CreateImage(nullptr, 16, 16, 600, 0);
    const std::string path = test::kShapes + "soft_dot.png";
    for (const int size : {575, 574}) {
        for (std::uint8_t* b : g_engine.brush.dab) std::fill_n(b, 625 * 625, 0x5A);
        VLM_SetSize(size);
        ToolCall t;
        t.grit_source = path.c_str();
        t();
        EXPECT_EQ(g_engine.brush.dab[0][0] == 0x5A, size == 575) << size;
    }
    vlm::test::reset_engine();
}

} // namespace
} // namespace vlm::brush
