#include <cstring>
#include <functional>
#include <random>

#include "core/parallel.h"
#include "mask/mask_fixture.h"

namespace vlm::test {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct SelectCase {
    const char* name;
    Bytes background; // every pixel not listed; it never matches
    std::vector<std::pair<Bytes, bool>> pixels; // the first pixels of the picture and whether they match
    std::function<void(const void*, int)> select; // (picture, amount)
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const SelectCase& c, std::ostream* os) { *os << c.name; }

const SelectCase kSelectCases[] = {
    {"RGBAColor", {0, 0, 0, 255}, {{{10, 20, 30, 0}, true}, {{10, 20, 31, 255}, false}},
     [](const void* p, int a) { VLM_CreateMaskFromRGBAImageColor(p, 10, 20, 30, a); }},
    {"RGB24Color", {0, 0, 0}, {{{10, 20, 30}, true}, {{11, 20, 30}, false}},
     [](const void* p, int a) { VLM_CreateMaskFromRGB24ImageColor(p, 10, 20, 30, a); }},
    // 10 percent is a difference of 25.
    {"ColorRange",
     {0, 0, 0, 0},
     {{{125, 75, 100, 0}, true}, {{126, 100, 100, 0}, false}, {{100, 100, 74, 0}, false}},
     [](const void* p, int a) { VLM_CreateMaskFromRGBAImageColorRange(p, 100, 100, 100, 10, a); }},
    {"AlphaRange",
     {0, 0, 0, 0},
     {{{9, 9, 9, 125}, true}, {{9, 9, 9, 75}, true}, {{9, 9, 9, 126}, false}},
     [](const void* p, int a) { VLM_CreateMaskFromRGBAImageAlphaRange(p, 100, 10, a); }},
    {"LuminanceRange",
     {255, 255, 255, 0},
     {{{115, 115, 116, 0}, true}, {{116, 116, 116, 0}, false}, {{65, 65, 65, 0}, true}, {{64, 64, 66, 0}, false}},
     [](const void* p, int a) { VLM_CreateMaskFromRGBAImageLuminanceRange(p, 80, 90, 102, 10, a); }},
    // Red has hue 0; 10 percent is 18 degrees, either way round the circle.
    {"HueRange",
     {0, 255, 0, 0},
     {{{255, 0, 42, 0}, true}, {{255, 76, 0, 0}, true}, {{255, 90, 0, 0}, false}},
     [](const void* p, int a) { VLM_CreateMaskFromRGBAImageHueRange(p, 255, 0, 0, 10, a); }},
    // Red is hue 0, saturation 1, lightness 0.5.
    {"HSLRange",
     {0, 0, 0, 0},
     {{{255, 40, 40, 0}, true},  // lightness 0.578
      {{255, 60, 60, 0}, false}, // lightness 0.618
      {{255, 0, 40, 0}, true},   // hue 350.6
      {{255, 100, 0, 0}, false}}, // hue 23.5
     [](const void* p, int a) { VLM_CreateMaskFromRGBAImageHSLRange(p, 255, 0, 0, 0.1, 0.1, 0.1, a); }},
    {"FloodMask", {0}, {{{1}, true}, {{2}, false}, {{255}, false}},
     [](const void* p, int a) { VLM_CreateMaskFromFloodMask(p, a); }},
};

class MaskSelect : public MaskTest, public ::testing::WithParamInterface<SelectCase> {};

TEST_P(MaskSelect, MatchingPixelsTakeTheMarkValueAndOthersStay) {
    const SelectCase& c = GetParam();
    auto pic = picture(c.background);
    for (std::size_t i = 0; i < c.pixels.size(); ++i)
        std::memcpy(&pic[i * c.background.size()], c.pixels[i].first.data(), c.background.size());
    // Amount 0 lets through 65280, not 65535; amount 255 protects.
    for (const auto& [amount, mark] : {std::pair{0, 65280}, {100, 155 * 256}, {255, 0}}) {
        fill_mask(1234);
        reset_dirty();
        c.select(pic.data(), amount);
        for (std::size_t i = 0; i < c.pixels.size(); ++i)
            EXPECT_EQ(mask(static_cast<int>(i), 0), c.pixels[i].second ? mark : 1234) << "pixel " << i << " amount " << amount;
        EXPECT_EQ(mask(kWidth - 1, kHeight - 1), 1234);
        EXPECT_EQ(dirty(), kWhole);
    }
    fill_mask(1234);
    c.select(nullptr, 0);
    EXPECT_EQ(mask(0, 0), 1234);
}

INSTANTIATE_TEST_SUITE_P(Selections, MaskSelect, ::testing::ValuesIn(kSelectCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MaskTest, DiffMarksPixelsThatDifferInAnyByteWithTheValueItself) {
    auto a = picture({1, 2, 3, 4});
    auto b = a;
    b[1 * 4 + 3] = 5; // alpha of pixel 1
    b[2 * 4 + 0] = 0; // red of pixel 2
    fill_mask(1234);
    VLM_CreateMaskFromDiff_RGBA32(a.data(), b.data(), 0x12345);
    EXPECT_EQ((std::array{mask(0, 0), mask(1, 0), mask(2, 0), mask(3, 0)}),
              (std::array<std::uint16_t, 4>{1234, 0x2345, 0x2345, 1234}));
    EXPECT_EQ(dirty(), kWhole);
    VLM_CreateMaskFromDiff_RGBA32(a.data(), nullptr, 0);
    EXPECT_EQ(mask(1, 0), 0x2345);
}

// The colour selections split the canvas over threads; the split must not change a value.
class MaskSelectLarge : public EngineTest {
protected:
    void TearDown() override {
        core::set_parallel_threads(0);
        EngineTest::TearDown();
    }
};

TEST_F(MaskSelectLarge, ThreadsGiveTheSameMaskAsOne) {
    const int w = 700, h = 500;
    VLM_CreateImage(nullptr, w, h, 8, 0);
    std::mt19937 rng(11);
    std::vector<std::uint8_t> pic(static_cast<std::size_t>(w) * h * 4);
    // Short runs of one colour, as pictures have, so that cached answers are exercised across runs.
    for (std::size_t i = 0; i < pic.size();) {
        const std::uint32_t colour = rng(), run = 1 + rng() % 5;
        for (std::uint32_t k = 0; k < run && i < pic.size(); ++k, i += 4) std::memcpy(&pic[i], &colour, 4);
    }
    auto run = [&](int threads, auto&& select) {
        core::set_parallel_threads(threads);
        VLM_ClearMask(0, 0, 0);
        select();
        return std::vector<std::uint16_t>(g_engine.mask.plane, g_engine.mask.plane + static_cast<std::size_t>(w) * h);
    };
    auto hue = [&] { VLM_CreateMaskFromRGBAImageHueRange(pic.data(), 200, 40, 90, 20, 30); };
    auto hsl = [&] { VLM_CreateMaskFromRGBAImageHSLRange(pic.data(), 200, 40, 90, 0.2, 0.4, 0.3, 30); };
    const auto hue_one = run(1, hue), hsl_one = run(1, hsl);
    EXPECT_NE(std::count(hue_one.begin(), hue_one.end(), 225 * 256), 0);
    EXPECT_NE(std::count(hsl_one.begin(), hsl_one.end(), 65535), 0);
    EXPECT_EQ(run(2, hue), hue_one);
    EXPECT_EQ(run(3, hsl), hsl_one);
}

} // namespace
} // namespace vlm::test
