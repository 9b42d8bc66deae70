#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "brush/brush_shape.h"
#include "brush/tool_fixture.h"
#include "core/engine_state.h"
#include "effects/runner.h"
#include "support/engine_fixture.h"

namespace vlm::brush {
namespace {

using test::shape_block;
using test::ToolCall;

constexpr int F = 65535;

struct RoundCase {
    const char* name;
    bool original;
    int size;
    int softness;
    int invert;
    float strength;
    std::vector<int> rows; // S x S, row by row
};

// Expected values worked out by hand (hard discs) or in double precision outside the engine (soft rims).
const RoundCase kRoundCases[] = {
    {"HardDisc4", false, 4, 0, 0, 1.0f, {0, F, F, 0, F, F, F, F, F, F, F, F, 0, F, F, 0}},
    {"HardDisc5", false, 5, 0, 0, 1.0f, {0, F, F, F, 0, F, F, F, F, F, F, F, F,
                                         F, F, F, F, F, F, F, 0, F, F, F, 0}},
    {"Cone4",
     false,
     4,
     255,
     0,
     1.0f,
     {0, 13725, 13725, 0, 13725, 42364, 42364, 13725, 13725, 42364, 42364, 13725, 0, 13725, 13725, 0}},
    {"Ring4",
     false,
     4,
     255,
     1,
     1.0f,
     {0, 51809, 51809, 0, 51809, 23170, 23170, 51809, 51809, 23170, 23170, 51809, 0, 51809, 51809, 0}},
    {"SoftRim6", false, 6, 128, 0, 1.0f, {0,     3678,  19605, 19605, 3678,  0,     3678,  38239, 61747,
                                          61747, 38239, 3678,  19605, 61747, F,     F,     61747, 19605,
                                          19605, 61747, F,     F,     61747, 19605, 3678,  38239, 61747,
                                          61747, 38239, 3678,  0,     3678,  19605, 19605, 3678,  0}},
    {"SoftRing6", false, 6, 128, 1, 1.0f, {0,     61856, 45929, 45929, 61856, 0,     61856, 27295, 3787,
                                           3787,  27295, 61856, 45929, 3787,  0,     0,     3787,  45929,
                                           45929, 3787,  0,     0,     3787,  45929, 61856, 27295, 3787,
                                           3787,  27295, 61856, 0,     61856, 45929, 45929, 61856, 0}},
    // Inverting a hard disc leaves nothing: full coverage turns to 0 and outside stays 0.
    {"HardRingIsEmpty", false, 4, 0, 1, 1.0f, std::vector<int>(16, 0)},
    // 0.7f is 0.699999988...: 65535 x that is 45874.49..., truncated.
    {"Strength",
     false,
     4,
     0,
     0,
     0.7f,
     {0, 45874, 45874, 0, 45874, 45874, 45874, 45874, 45874, 45874, 45874, 45874, 0, 45874, 45874, 0}},
    // Above 1 the coverage saturates instead of wrapping round to a faint dab.
    {"StrengthAboveOneSaturates", false, 4, 0, 0, 2.0f, {0, F, F, 0, F, F, F, F, F, F, F, F, 0, F, F, 0}},
    {"NegativeStrengthIsEmpty", false, 4, 0, 0, -1.0f, std::vector<int>(16, 0)},
    // The earlier rules centre the disc on pixel (S/2, S/2).
    {"OriginalHardDisc4", true, 4, 0, 0, 1.0f, {0, 0, F, 0, 0, F, F, F, F, F, F, F, 0, F, F, F}},
    {"OriginalHardDisc5", true, 5, 0, 0, 1.0f, {0, F, F, F, 0, F, F, F, F, F, F, F, F,
                                                F, F, F, F, F, F, F, 0, F, F, F, 0}},
};

class RoundShape : public vlm::test::CanvasTest, public ::testing::WithParamInterface<RoundCase> {};

TEST_P(RoundShape, HasExactValuesAndNothingOutsideTheBrush) {
    const RoundCase& c = GetParam();
    // A full-size shape first, so that the rebuild must clear what lies outside the new block.
    VLM_SetSize(kMaxBrush);
    ToolCall{}();
    VLM_SetSize(c.size);
    ToolCall tool;
    tool.strength = c.strength;
    tool.softness = c.softness;
    tool.invert = c.invert;
    tool();
    if (c.original) VLM_SetBrushShape_ORIGINAL("", 0);
    EXPECT_EQ(shape_block(c.size), c.rows);
    const std::vector<std::uint16_t> plane = test::shape_plane();
    for (int y = 0; y < kMaxBrush; ++y)
        for (int x = 0; x < kMaxBrush; ++x)
            if (y >= c.size || x >= c.size) {
                ASSERT_EQ(plane[y * kMaxBrush + x], 0) << x << "," << y;
            }
}

INSTANTIATE_TEST_SUITE_P(Shapes, RoundShape, ::testing::ValuesIn(kRoundCases),
                         [](const auto& info) { return std::string(info.param.name); });

class ShapeFile : public vlm::test::CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        dir_ = vlm::test::temp_dir("brush_shape");
        VLM_SetSize(8);
        ToolCall{}();
        round_ = shape_block(8);
    }
    std::string file(const char* name) const { return dir_ + "/" + name; }
    // A 16 x 16 picture of one grey level.
    std::string uniform_picture(int grey) const {
        const std::string path = file("uniform.bmp");
        test::write_grey_bmp(path, 16, 16, [grey](int, int) { return grey; });
        return path;
    }
    std::string dir_;
    std::vector<int> round_; // the round shape of the default tool at brush size 8
};

TEST_F(ShapeFile, PictureBecomesGreyTimesStrength) {
    ToolCall tool;
    tool.strength = 0.7f;
    const std::string path = uniform_picture(100);
    tool.shape_path = path.c_str();
    tool();
    // Grey 100 x 256 x 0.699999988... is 17919.9997 when the product is exact (no rounding to float).
    EXPECT_EQ(shape_block(8), std::vector<int>(64, 17919));
    const ShapeSource& s = g_engine.brush.source;
    ASSERT_NE(s.pixels, nullptr);
    EXPECT_EQ(s.width, 16);
    EXPECT_EQ(s.height, 16);
    EXPECT_STREQ(s.name, path.c_str());
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(ShapeFile, ShortPathsDrawTheRoundShapeAndKeepTheCache) {
    const std::string path = uniform_picture(100);
    VLM_SetBrushShape(path.c_str(), 0);
    const std::uint8_t* cached = g_engine.brush.source.pixels;
    ASSERT_NE(cached, nullptr);
    const std::vector<int>& round = round_;
    for (const char* p : {"", "x", static_cast<const char*>(nullptr)}) {
        VLM_SetBrushShape(p, 0);
        EXPECT_EQ(shape_block(8), round);
        EXPECT_EQ(g_engine.brush.source.pixels, cached);
        EXPECT_STREQ(g_engine.brush.source.name, path.c_str());
    }
}

TEST_F(ShapeFile, CacheIsKeptByNameAndAngle) {
    const std::string path = uniform_picture(100);
    const std::vector<int> picture(64, 25600);
    const std::vector<int>& round = round_;
    VLM_SetBrushShape(path.c_str(), 0);
    ASSERT_EQ(shape_block(8), picture);

    // With the file gone, the same name and angle still find the picture in the cache...
    std::filesystem::remove(path);
    VLM_SetBrushShape(path.c_str(), 0);
    EXPECT_EQ(shape_block(8), picture);
    // ...another angle reads the file again, finds nothing and falls back to the round shape...
    VLM_SetBrushShape(path.c_str(), 10);
    EXPECT_EQ(shape_block(8), round);
    EXPECT_EQ(g_engine.brush.source.pixels, nullptr);
    // ...and so does the first angle now that the cache is empty.
    VLM_SetBrushShape(path.c_str(), 0);
    EXPECT_EQ(shape_block(8), round);

    // Unloading empties the cache but keeps the name, so the next rebuild reads the file.
    uniform_picture(100);
    VLM_SetBrushShape(path.c_str(), 0);
    VLM_UnloadBrushShape();
    EXPECT_EQ(g_engine.brush.source.pixels, nullptr);
    EXPECT_EQ(g_engine.brush.source.width, 0);
    EXPECT_EQ(g_engine.brush.source.height, 0);
    EXPECT_STREQ(g_engine.brush.source.name, path.c_str());
    uniform_picture(200);
    VLM_SetBrushShape(path.c_str(), 0);
    EXPECT_EQ(shape_block(8), std::vector<int>(64, 200 * 256));
    VLM_UnloadBrushShape(); // twice: nothing cached, nothing happens
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(ShapeFile, RotationTurnsTheCachedPicture) {
    // Left half white, right half black: half a turn swaps the halves.
    const std::string path = file("halves.bmp");
    test::write_grey_bmp(path, 16, 16, [](int x, int) { return x < 8 ? 255 : 0; });
    VLM_SetSize(16);
    VLM_SetBrushShape(path.c_str(), 180);
    EXPECT_EQ(g_engine.brush.source.angle, 180);
    const std::vector<int> shape = shape_block(16);
    EXPECT_EQ(shape[8 * 16 + 2], 0);
    EXPECT_EQ(shape[8 * 16 + 13], 255 * 256);
}

TEST_F(ShapeFile, EffectScriptsRenderUnderTheCurrentRulesOnly) {
    const std::string script = test::kShapes + "blot.vfx";
    const std::vector<int>& round = round_;
    // The earlier rules read every file as a picture: a script is no picture.
    VLM_SetBrushShape_ORIGINAL(script.c_str(), 0);
    VLM_SetBrushShape_ORIGINAL("", 0);
    const std::vector<int> original_round = shape_block(8);
    VLM_SetBrushShape_ORIGINAL(script.c_str(), 0);
    EXPECT_EQ(shape_block(8), original_round);
    EXPECT_EQ(g_engine.brush.source.pixels, nullptr);

    VLM_SetBrushShape(script.c_str(), 0);
    EXPECT_EQ(g_engine.brush.source.width, 24);
    EXPECT_EQ(g_engine.brush.source.height, 24);
    const std::vector<int> shape = shape_block(8);
    EXPECT_NE(shape, round);
    // The square turned by 30 degrees covers the centre fully and leaves the corners bare.
    EXPECT_EQ(shape[4 * 8 + 4], 255 * 256);
    EXPECT_EQ(shape[0], 0);
}

TEST_F(ShapeFile, UnusableFilesFallBackToTheRoundShapeSilently) {
    const std::vector<int>& round = round_;
    std::vector<std::uint8_t> huge_bmp(54, 0);
    huge_bmp[0] = 'B', huge_bmp[1] = 'M';
    huge_bmp[10] = 54, huge_bmp[14] = 40, huge_bmp[26] = 1, huge_bmp[28] = 24;
    huge_bmp[18] = 0xA0, huge_bmp[19] = 0x86, huge_bmp[20] = 0x01; // 100000 x 100000
    huge_bmp[22] = 0xA0, huge_bmp[23] = 0x86, huge_bmp[24] = 0x01;
    test::write_bytes(file("huge.bmp"), huge_bmp);
    test::write_text(file("text.png"), "hello");
    std::vector<std::uint8_t> png;
    {
        std::ifstream in(test::kShapes + "soft_dot.png", std::ios::binary);
        png.assign(std::istreambuf_iterator<char>(in), {});
    }
    png.resize(png.size() / 2);
    test::write_bytes(file("truncated.png"), png);
    test::write_text(file("bad.vfx"), "velmora-effect-script 1\nsize\n");
    const std::string long_path(2000, 'a');
    ASSERT_EQ(::mkfifo(file("pipe.png").c_str(), 0600), 0); // opening it would wait for a writer
    VLM_SetBrushShape_ORIGINAL("", 0);
    const std::vector<int> original_round = shape_block(8);
    for (const std::string& path :
         {file("missing.png"), file("huge.bmp"), file("text.png"), file("truncated.png"), file("bad.vfx"),
          dir_, long_path, file("pipe.png"), std::string("/dev/zero")}) {
        VLM_SetBrushShape(path.c_str(), 0);
        EXPECT_EQ(shape_block(8), round) << path;
        EXPECT_EQ(g_engine.brush.source.pixels, nullptr) << path;
        VLM_SetBrushShape_ORIGINAL(path.c_str(), 0);
        EXPECT_EQ(shape_block(8), original_round) << path;
        EXPECT_EQ(g_engine.brush.source.pixels, nullptr) << path;
    }
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(ShapeFile, OnlyAnImageShapeReloadsTheDrawingLength) {
    const std::string path = uniform_picture(100);
    ToolCall tool;
    tool.drawing_length = 5;
    tool(); // without grit the tool leaves the remaining length alone
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 0);
    VLM_SetBrushShape(path.c_str(), 0);
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 5);
    for (int i = 0; i < 2; ++i) VLM_DecDrawingLength();
    VLM_SetBrushShape("", 0);
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 3);
    VLM_SetBrushShape(path.c_str(), 0); // a cache hit too
    EXPECT_EQ(g_engine.brush.tool.remaining_length, 5);
}

TEST_F(ShapeFile, BrushLargerThanThePlaneLeavesItCleared) {
    VLM_SetSize(kMaxBrush + 1);
    VLM_SetBrushShape(uniform_picture(100).c_str(), 0);
    EXPECT_EQ(test::shape_plane(), std::vector<std::uint16_t>(kMaxBrush * kMaxBrush, 0));
    VLM_SetBrushShape("", 0);
    EXPECT_EQ(test::shape_plane(), std::vector<std::uint16_t>(kMaxBrush * kMaxBrush, 0));
}

TEST(ShapeBlur, RunsValueBlurWithTheSecondStrengthOnly) {
    std::mt19937 rng(7);
    std::vector<std::uint8_t> picture(12 * 10 * 4);
    for (auto& b : picture) b = static_cast<std::uint8_t>(rng());
    for (const int blur : {1, 30, 99}) {
        std::vector<std::uint8_t> blurred = picture, expected = picture;
        blur_shape_picture(blurred.data(), 12, 10, blur);
        effects::EffectArgs args;
        args.values[1] = (100 - blur) * 10;
        effects::run_builtin_effect_on(expected.data(), expected.data(), 12, 10, "Value Blur", args);
        EXPECT_EQ(blurred, expected) << blur;
        EXPECT_NE(blurred, picture) << blur;
    }
    // Blur 100 gives the effect a weight of 0: nothing changes.
    std::vector<std::uint8_t> unchanged = picture;
    blur_shape_picture(unchanged.data(), 12, 10, 100);
    EXPECT_EQ(unchanged, picture);
}

TEST_F(ShapeFile, BlurWorksOnACopyAndOnlyUnderTheCurrentRules) {
    const std::string path = test::kShapes + "soft_dot.png";
    VLM_SetBrushShape(path.c_str(), 0);
    const ShapeSource& s = g_engine.brush.source;
    const std::vector<std::uint8_t> cached(s.pixels, s.pixels + s.width * s.height * 4);
    VLM_SetShapeBlur(100);
    VLM_SetBrushShape(path.c_str(), 0);
    const std::vector<int> unblurred = shape_block(8);
    VLM_SetShapeBlur(60);
    VLM_SetBrushShape(path.c_str(), 0);
    EXPECT_NE(shape_block(8), unblurred);
    EXPECT_EQ(std::vector<std::uint8_t>(s.pixels, s.pixels + s.width * s.height * 4), cached);

    VLM_SetBrushShape_ORIGINAL(path.c_str(), 0);
    const std::vector<int> original_blurred = shape_block(8);
    VLM_SetShapeBlur(0);
    VLM_SetBrushShape_ORIGINAL(path.c_str(), 0);
    EXPECT_EQ(shape_block(8), original_blurred);
}

} // namespace
} // namespace vlm::brush
