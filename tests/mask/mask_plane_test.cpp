#include <cstring>
#include <random>

#include "mask/mask_fixture.h"

namespace vlm::test {
namespace {

TEST_F(MaskTest, GetMask64ShowsTheInvertedValueOnlyWhileTheMaskCounts) {
    EXPECT_EQ(VLM_GetMask64(0, 0), 0);
    EXPECT_EQ(VLM_GetMask64(kWidth - 1, kHeight - 1), 0);
    mask(3, 4) = 1000;
    VLM_InvertMask();
    EXPECT_EQ(VLM_GetMask64(0, 0), 65535);
    EXPECT_EQ(VLM_GetMask64(3, 4), 1000);
    EXPECT_EQ(mask(3, 4), 64535);
    EXPECT_EQ(dirty(), kWhole);

    for (const auto& [x, y] : {std::pair{-1, 0}, {0, -1}, {kWidth, 0}, {0, kHeight}})
        EXPECT_EQ(VLM_GetMask64(x, y), 0);
    VLM_EnableMask(0x100); // only the low byte counts
    EXPECT_EQ(VLM_GetMask64(0, 0), 0);
    VLM_EnableMask(1);
    EXPECT_EQ(VLM_GetMask64(0, 0), 65535);
    VLM_DeleteLayer(2); // the current layer without pixels
    EXPECT_EQ(VLM_GetMask64(0, 0), 0);
}

TEST_F(MaskTest, SwitchesStoreWhatTheRendererAndTheDabRead) {
    const mask::State& s = g_engine.mask;
    VLM_DisplayMask(0x201);
    EXPECT_EQ(s.display, 1);
    VLM_DisplayMask(0x200);
    EXPECT_EQ(s.display, 0);
    VLM_SetMaskOptions(1, 2, 0x1FF, 4, 5, 6, 3);
    EXPECT_EQ((std::array{s.display_colour1[0], s.display_colour1[1], s.display_colour1[2]}),
              (std::array{256, 512, 0xFF00}));
    EXPECT_EQ((std::array{s.display_colour2[0], s.display_colour2[1], s.display_colour2[2]}),
              (std::array{1024, 1280, 1536}));
    EXPECT_EQ(s.display_mode, 3);
    EXPECT_EQ(s.maker, 0);
    VLM_SetMaskMakerOn();
    EXPECT_EQ(s.maker, 1);
    EXPECT_EQ(dirty(), (Rect{kWidth - 1, kHeight - 1, 0, 0})); // no mask value changed
}

TEST_F(MaskTest, ClearMaskMapsTheAverageGreyThroughTheImageView) {
    struct Case {
        int r, g, b;
        std::uint16_t m;
    };
    const Case cases[] = {
        {0, 0, 0, 65535},       // black selects
        {255, 255, 256, 65535}, // average 255: still black
        {256, 256, 256, 65024}, // first grey step
        {32768, 32768, 32769, 32512},
        {65280, 65280, 65280, 0}, // white protects
        {65535, 65535, 65535, 0}, // brighter than white still protects rather than wrapping round
        {-5, 0, 0, 65535},
    };
    for (const Case& c : cases) {
        fill_mask(1234);
        reset_dirty();
        VLM_ClearMask(c.r, c.g, c.b);
        EXPECT_EQ(mask(0, 0), c.m) << c.r << "," << c.g << "," << c.b;
        EXPECT_EQ(mask(kWidth - 1, kHeight - 1), c.m);
        EXPECT_EQ(dirty(), kWhole);
    }
}

TEST_F(MaskTest, LoadAndSaveMaskKeepTheImageViewRoundTrip) {
    // Every grey step somewhere on the canvas; rows padded so that a pitch mistake shows.
    const int pitch = kWidth * 3 + 7;
    std::vector<std::uint8_t> in(static_cast<std::size_t>(pitch) * kHeight, 0xEE);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) std::memset(&in[y * pitch + x * 3], (y * kWidth + x) & 0xFF, 3);
    std::uint8_t* odd = &in[5 * pitch + 5 * 3];
    odd[0] = 10, odd[1] = 20, odd[2] = 31; // average 20
    VLM_LoadMask(in.data(), pitch, kWidth, kHeight);
    EXPECT_EQ(mask(0, 0), 65535);
    EXPECT_EQ(mask(1, 0), 65024);
    EXPECT_EQ(mask(0, 2), 32512); // grey 128
    EXPECT_EQ(mask(63, 3), 0);    // grey 255
    EXPECT_EQ(mask(5, 5), 65280 - 20 * 256);
    EXPECT_EQ(dirty(), kWhole);

    std::vector<std::uint8_t> out(in.size(), 0xEE);
    VLM_SaveMask(out.data(), pitch);
    odd[0] = odd[1] = odd[2] = 20;
    EXPECT_EQ(out, in);

    // A smaller picture changes only its own corner and marks only that.
    fill_mask(7);
    reset_dirty();
    VLM_LoadMask(in.data(), pitch, 3, 2);
    EXPECT_EQ(mask(2, 1), 65280 - ((kWidth + 2) & 0xFF) * 256);
    EXPECT_EQ(mask(3, 1), 7);
    EXPECT_EQ(mask(2, 2), 7);
    EXPECT_EQ(dirty(), (Rect{0, 0, 2, 1}));
}

TEST_F(MaskTest, SizesAndPitchesThatWouldOverrunAreRefused) {
    std::vector<std::uint8_t> big(static_cast<std::size_t>(kWidth + 1) * 3 * (kHeight + 1), 0);
    struct Case {
        const char* error;
        void (*call)(std::uint8_t*);
    };
    const Case cases[] = {
        {"LoadMask Excpt", [](std::uint8_t* b) { VLM_LoadMask(b, (kWidth + 1) * 3, kWidth + 1, 1); }},
        {"LoadMask Excpt", [](std::uint8_t* b) { VLM_LoadMask(b, kWidth * 3, kWidth, kHeight + 1); }},
        {"LoadMask Excpt", [](std::uint8_t* b) { VLM_LoadMask(b, 10 * 3 - 1, 10, 2); }},
        {"LoadMask Excpt", [](std::uint8_t* b) { VLM_LoadMask(b, -30, 10, 2); }},
        {"SaveMask Excpt", [](std::uint8_t* b) { VLM_SaveMask(b, kWidth * 3 - 1); }},
        {"CombineMask Excpt", [](std::uint8_t* b) { VLM_CombineMask(b, kWidth * 3 - 1, 0, 0, "Replace"); }},
        {"ApplyMaskToAlphaRect_RGBA32 Excpt",
         [](std::uint8_t* b) { VLM_ApplyMaskToAlphaRect_RGBA32(b, 4 * 4 - 1, 0, 0, 3, 1); }},
    };
    fill_mask(0); // every operation here would change something
    for (const Case& c : cases) {
        VLM_SetLastError("");
        const std::vector<std::uint8_t> before = big;
        c.call(big.data());
        EXPECT_EQ(last_error(), c.error);
        EXPECT_EQ(big, before);
        EXPECT_EQ(std::count(g_engine.mask.plane, g_engine.mask.plane + kPixels, 0),
                  static_cast<long>(kPixels));
        EXPECT_EQ(dirty(), (Rect{kWidth - 1, kHeight - 1, 0, 0}));
    }
    // Null buffers and empty sizes are no error.
    VLM_SetLastError("");
    VLM_LoadMask(nullptr, 0, 1, 1);
    VLM_LoadMask(big.data(), 0, 0, 5);
    VLM_SaveMask(nullptr, 0);
    VLM_SetMaskData16(nullptr);
    VLM_CombineMask(nullptr, 0, 0, 0, nullptr);
    EXPECT_EQ(last_error(), "");
    // A single row needs no pitch.
    VLM_LoadMask(big.data(), 0, 4, 1);
    EXPECT_EQ(mask(3, 0), 65535);
}

TEST_F(MaskTest, MaskDataCopiesTheWholePlaneBothWays) {
    std::vector<std::uint16_t> values(kPixels);
    for (std::size_t i = 0; i < kPixels; ++i) values[i] = static_cast<std::uint16_t>(i * 2654435761u >> 7);
    VLM_SetMaskData16(values.data());
    EXPECT_EQ(dirty(), kWhole);
    EXPECT_EQ(mask(kWidth - 1, kHeight - 1), values.back());
    std::vector<std::uint16_t> out(kPixels + 1, 0xABCD);
    VLM_GetMaskData16(out.data());
    EXPECT_TRUE(std::equal(values.begin(), values.end(), out.begin()));
    EXPECT_EQ(out.back(), 0xABCD);
}

TEST_F(MaskTest, ImageViewMovesBetweenMaskAndCurrentLayer) {
    // Mask to image: g = 65535 - m above 254, else 65280.
    const std::pair<std::uint16_t, std::uint16_t> to_image[] = {{65535, 0},   {65280, 255}, {32768, 32767},
                                                                {255, 65280}, {254, 65280}, {0, 65280}};
    for (int i = 0; i < 6; ++i) mask(i, 0) = to_image[i].first;
    VLM_CreateImageFromMask();
    for (int i = 0; i < 6; ++i) {
        const std::uint16_t g = to_image[i].second;
        EXPECT_EQ(pixel(2, i, 0), (Pixel{g, g, g, 65535})) << i;
    }
    EXPECT_EQ(pixel(2, kWidth - 1, kHeight - 1), (Pixel{0, 0, 0, 65535}));
    EXPECT_EQ(dirty(), kWhole);

    // Image to mask: from the average or the luma, black selected, above 65280 protected.
    struct Case {
        Pixel p;
        std::uint16_t mean, luma;
    };
    const Case cases[] = {
        {{0, 0, 0, 0}, 65535, 65535},
        {{255, 255, 255, 9}, 65535, 65535},
        {{256, 256, 256, 9}, 65024, 65024},
        {{65535, 0, 0, 9}, 65280 - 21845, 65280 - 24575},
        {{0, 65535, 0, 9}, 65280 - 21845, 65280 - 32767},
        {{65280, 65280, 65280, 9}, 0, 0},
        {{65535, 65535, 65281, 9}, 0, 0},
    };
    for (int i = 0; i < 7; ++i) set_pixel(2, i, 1, cases[i].p);
    VLM_CreateMaskFromImage();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(mask(i, 1), cases[i].mean) << i;
    VLM_CreateMaskFromImageLuma();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(mask(i, 1), cases[i].luma) << i;
    VLM_CreateMaskFromAlpha();
    for (int i = 0; i < 7; ++i) EXPECT_EQ(mask(i, 1), cases[i].p[3]) << i;
}

TEST_F(MaskTest, AlphaFromMaskSetsAddsOrSubtractsWithinRange) {
    struct Case {
        int kind;
        std::uint16_t alpha, m, expected;
    };
    const Case cases[] = {
        {0, 40000, 30000, 30000},  {1, 40000, 30000, 65535}, {1, 100, 200, 300},
        {2, 40000, 30000, 10000},  {2, 100, 200, 0},         {3, 40000, 30000, 40000},
        {-1, 40000, 30000, 40000},
    };
    for (const Case& c : cases) {
        set_pixel(2, 7, 7, {1, 2, 3, c.alpha});
        mask(7, 7) = c.m;
        VLM_CreateAlphaFromMask(c.kind);
        EXPECT_EQ(pixel(2, 7, 7), (Pixel{1, 2, 3, c.expected})) << c.kind;
    }
}

TEST_F(MaskTest, CombineMaskMarksPictureAreasByName) {
    // Pixels: black, mid grey (128), dark (1), white.
    auto pic = picture({0, 0, 0});
    const std::uint8_t greys[4][3] = {{0, 0, 0}, {128, 128, 128}, {0, 1, 2}, {255, 255, 255}};
    for (int i = 0; i < 4; ++i) std::memcpy(&pic[i * 3], greys[i], 3);
    struct Case {
        const char* name;
        int flag, value;
        std::uint16_t start;
        std::array<std::uint16_t, 4> m;
    };
    const Case cases[] = {
        {"Replace", 0, 0, 7, {7, 32512, 65024, 0}},
        {"Add", 0, 0, 40000, {40000, 40000 - 32768, 40000 - 256, 0}},
        {"Subtract", 0, 0, 40000, {40000, 65535, 40256, 65535}},
        {"Other", 0, 0, 40000, {40000, 40000 - 32768, 40000 - 256, 0}},
        {nullptr, 0, 0, 40000, {40000, 40000 - 32768, 40000 - 256, 0}},
        // Inverted: black counts as the value, anything else is left alone.
        {"Replace", 0x301, 0x150, 7, {65280 - 0x50 * 256, 7, 7, 7}},
        {"Replace", 2, 0x50, 7, {7, 32512, 65024, 0}}, // only flag 1 inverts
    };
    for (const Case& c : cases) {
        fill_mask(c.start);
        reset_dirty();
        VLM_CombineMask(pic.data(), kWidth * 3, c.flag, c.value, c.name);
        EXPECT_EQ((std::array{mask(0, 0), mask(1, 0), mask(2, 0), mask(3, 0)}), c.m)
            << (c.name ? c.name : "null") << " flag " << c.flag;
        EXPECT_EQ(dirty(), kWhole);
    }
}

// The masked fill must equal a weighted load of a canvas-sized picture of the colour.
TEST_F(MaskTest, ClearMaskedAlphaEqualsAWeightedLoadOfTheColour) {
    VLM_CreateLayer(3, kWidth, kHeight);
    std::mt19937 rng(5);
    std::vector<std::uint16_t> plane(kPixels * 4);
    for (auto& v : plane) v = static_cast<std::uint16_t>(rng());
    for (std::size_t i = 0; i < kPixels; i += 5) plane[i * 4 + 3] = 0; // some transparent destinations
    const std::uint16_t marks[] = {0, 255, 256, 0x80FF, 65280, 65535};
    for (std::size_t i = 0; i < kPixels; ++i)
        g_engine.mask.plane[i] = i % 3 ? marks[rng() % 6] : static_cast<std::uint16_t>(rng());
    const auto colour = picture({200, 100, 50, 128});

    for (bool locked : {false, true}) {
        VLM_SetLayerData(plane.data(), 2);
        VLM_SetLayerData(plane.data(), 3);
        g_engine.layers.layers[2].alpha_locked = g_engine.layers.layers[3].alpha_locked = locked;
        reset_dirty();
        VLM_ClearMaskedAlpha(200, 100, 50, 128 + 0x300);
        VLM_LoadRGBA32Layer(colour.data(), kWidth * 4, 3, 0, 0, kWidth, kHeight, 1);
        EXPECT_TRUE(std::equal(px(2, 0, 0), px(2, 0, 0) + kPixels * 4, px(3, 0, 0))) << locked;
        EXPECT_EQ(dirty(), kWhole);
    }
    // Disabled mask: a plain fill.
    VLM_EnableMask(0);
    VLM_ClearMaskedAlpha(1, 2, 3, 4);
    EXPECT_EQ(pixel(2, 9, 9), (Pixel{256, 512, 768, 1024}));
}

} // namespace
} // namespace vlm::test
