#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "brush/grit.h"
#include "brush/tool_fixture.h"
#include "core/engine_state.h"
#include "core/random.h"
#include "support/engine_fixture.h"

namespace vlm::brush {
namespace {

using test::ToolCall;

Tool& tool() { return g_engine.brush.tool; }

struct SetterCase {
    const char* what;
    std::function<void()> call;
    std::function<long long()> read;
    long long expected;
};

const SetterCase kSetterCases[] = {
    {"colour keeps 16 bits of x 256", [] { VLM_SetColor(300, 0, 0); }, [] { return tool().colour.r; },
     0x2C00},
    {"colour alpha is full", [] { VLM_SetColor(1, 2, 3); }, [] { return tool().colour.a; }, 0xFFFF},
    {"colour green", [] { VLM_SetColor(1, 2, 3); }, [] { return tool().colour.g; }, 0x200},
    {"16-bit colour keeps the low 16 bits", [] { VLM_SetColor16(0x12345, -1, 7); },
     [] { return tool().colour.r; }, 0x2345},
    {"16-bit colour of -1", [] { VLM_SetColor16(0x12345, -1, 7); }, [] { return tool().colour.g; }, 0xFFFF},
    {"bank 1 green is the fifth argument", [] { VLM_SetColorBanks(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12); },
     [] { return tool().banks[1].g; }, 5 * 256},
    {"bank 3 blue is the last argument", [] { VLM_SetColorBanks(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12); },
     [] { return tool().banks[3].b; }, 12 * 256},
    {"bank alpha is full", [] { VLM_SetColorBanks(1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12); },
     [] { return tool().banks[2].a; }, 0xFFFF},
    {"blend complement", [] { VLM_SetBlendStrength(100); }, [] { return tool().blend_complement; }, 156},
    {"blend strength 0 keeps the complement",
     [] {
         VLM_SetBlendStrength(100);
         VLM_SetBlendStrength(0);
     },
     [] { return tool().blend_complement; }, 156},
    {"negative blend strength keeps the complement",
     [] {
         VLM_SetBlendStrength(56);
         VLM_SetBlendStrength(-5);
     },
     [] { return tool().blend_complement; }, 200},
    {"blend strength 0 is stored",
     [] {
         VLM_SetBlendStrength(100);
         VLM_SetBlendStrength(0);
     },
     [] { return tool().blend_strength; }, 0},
    {"primary complement", [] { VLM_SetBlendPrimaryColorStrength(56); },
     [] { return tool().primary_complement; }, 200},
    {"primary strength 0 keeps the complement",
     [] {
         VLM_SetBlendPrimaryColorStrength(56);
         VLM_SetBlendPrimaryColorStrength(0);
     },
     [] { return tool().primary_complement; }, 200},
    {"remix keeps the low byte", [] { VLM_SetBlendRemix(0x100); }, [] { return tool().blend_remix; }, 0},
    {"density 1 paints grit bytes of 0", [] { VLM_SetDensity(1); }, [] { return tool().density; }, 0},
    {"density 256 paints every byte", [] { VLM_SetDensity(256); }, [] { return tool().density; }, 255},
    {"density 0", [] { VLM_SetDensity(0); }, [] { return tool().density; }, -1},
    {"alpha", [] { VLM_SetAlpha(50); }, [] { return tool().alpha; }, 50},
    {"alpha scale of 50", [] { VLM_SetAlpha(50); }, [] { return tool().alpha_scale; }, 64},
    {"alpha scale of 33 truncates 42.24", [] { VLM_SetAlpha(33); }, [] { return tool().alpha_scale; }, 42},
    {"alpha scale of 101", [] { VLM_SetAlpha(101); }, [] { return tool().alpha_scale; }, 129},
    {"mix mode", [] { VLM_SetMixMode(295, 200); }, [] { return tool().mix_mode; }, 295},
    {"mix complement", [] { VLM_SetMixMode(295, 200); }, [] { return tool().mix_complement; }, 56},
    {"posterize shift of 200 truncates 9.19", [] { VLM_SetMixMode(295, 200); },
     [] { return tool().posterize_shift; }, 9},
    {"posterize shift of 50 truncates -9.7", [] { VLM_SetMixMode(295, 50); },
     [] { return tool().posterize_shift; }, -9},
    {"posterize shift of 0", [] { VLM_SetMixMode(295, 0); }, [] { return tool().posterize_shift; }, -16},
    {"posterize shift of 255", [] { VLM_SetMixMode(295, 255); }, [] { return tool().posterize_shift; }, 16},
    {"posterize shift of 127", [] { VLM_SetMixMode(295, 127); }, [] { return tool().posterize_shift; }, 0},
    {"rotate mode", [] { VLM_SetRotateBrushMode(1, 90); }, [] { return tool().rotate_mode; }, 1},
    {"rotate degrees", [] { VLM_SetRotateBrushMode(1, -30); }, [] { return tool().rotate_degrees; }, -30},
    {"tracing keeps the low byte", [] { VLM_SetTracingMode(0x102); }, [] { return tool().tracing_mode; }, 2},
    {"colour vary", [] { VLM_SetColorVary(7); }, [] { return tool().colour_vary; }, 7},
    {"alpha locked", [] { VLM_SetAlphaLocked(3); }, [] { return tool().alpha_locked; }, 3},
    {"colour locked", [] { VLM_SetColorLocked(1); }, [] { return tool().colour_locked; }, 1},
    {"blob locked", [] { VLM_SetBlobLocked(1); }, [] { return tool().blob_locked; }, 1},
    {"alpha level", [] { VLM_SetAlphaLevel(9000); }, [] { return tool().alpha_level; }, 9000},
    {"image brush", [] { VLM_SetImageBrushMode(1); }, [] { return tool().image_brush_mode; }, 1},
    {"solid brush", [] { VLM_SetSolidBrushMode(1); }, [] { return tool().solid_mode; }, 1},
    {"blend disable switch", [] { VLM_TempDisableBlend(); }, [] { return tool().blend_disabled; }, 1},
    {"erase switch", [] { VLM_SetEraseModeOn(); }, [] { return tool().erase; }, 1},
    {"drawing length counts down",
     [] {
         VLM_DecDrawingLength();
         VLM_DecDrawingLength();
     },
     [] { return tool().remaining_length; }, -2},
};

class Setter : public vlm::test::EngineTest, public ::testing::WithParamInterface<SetterCase> {};

TEST_P(Setter, StoresTheValueAndWhatItDerives) {
    GetParam().call();
    EXPECT_EQ(GetParam().read(), GetParam().expected) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(Tool, Setter, ::testing::ValuesIn(kSetterCases), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.what; *p; ++p)
        if (std::isalnum(static_cast<unsigned char>(*p))) name += *p;
    return name;
});

TEST(RotateBrush, StoresSinglePrecisionRadiansSineAndCosine) {
    vlm::test::reset_engine();
    VLM_SetRotateBrushMode(1, 90);
    // 90 x 3.14159 / 180, rounded to single precision; sine and cosine of that float.
    EXPECT_EQ(tool().rotate_radians, 1.570795f);
    EXPECT_EQ(tool().rotate_sin, static_cast<float>(std::sin(static_cast<double>(1.570795f))));
    EXPECT_EQ(tool().rotate_cos, static_cast<float>(std::cos(static_cast<double>(1.570795f))));
    EXPECT_GT(tool().rotate_cos, 0.0f) << "3.14159 falls short of pi";
}

struct ScaleCase {
    int brush, n, dab;
    std::vector<int> table;
};

TEST(SampleTable, ScaleSizeSamplesTheBrushByRepeatedSteps) {
    const ScaleCase cases[] = {
        {10, 4, 4, {1, 3, 6, 8}},
        {10, 0, 1, {5}},
        {10, -3, 1, {5}},
        {10, 10, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {10, 50, 10, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
        {7, 3, 3, {1, 3, 5}},
    };
    for (const ScaleCase& c : cases) {
        vlm::test::reset_engine();
        VLM_SetSize(c.brush);
        VLM_SetScaleSize(c.n);
        EXPECT_EQ(tool().brush_size, c.brush);
        EXPECT_EQ(tool().dab_size, c.dab);
        EXPECT_EQ(std::vector<int>(tool().sample_table, tool().sample_table + c.dab), c.table) << c.n;
    }
    // Never above 999, whatever the brush.
    VLM_SetSize(1001);
    VLM_SetScaleSize(1000);
    EXPECT_EQ(tool().dab_size, 999);
    EXPECT_EQ(tool().sample_table[0], 0); // 1001 / 999 x 0.5
    EXPECT_EQ(tool().sample_table[998], 1000);
    // Back to the identity with the size.
    VLM_SetSize(6);
    EXPECT_EQ(tool().dab_size, 6);
    EXPECT_EQ(std::vector<int>(tool().sample_table, tool().sample_table + 6),
              (std::vector<int>{0, 1, 2, 3, 4, 5}));
}

TEST(SampleTable, SizesOutsideTheTableAreRefused) {
    vlm::test::reset_engine();
    VLM_SetSize(12);
    for (const int bad : {0, -1, 1002, 1 << 30}) {
        VLM_SetSize(bad);
        EXPECT_EQ(tool().brush_size, 12) << bad;
        EXPECT_EQ(tool().dab_size, 12) << bad;
    }
    // Before any brush size, a scale has nothing to sample.
    vlm::test::reset_engine();
    VLM_SetScaleSize(5);
    EXPECT_EQ(tool().dab_size, 0);
}

class WholeTool : public vlm::test::CanvasTest {};

TEST_F(WholeTool, StoresItsArgumentsAndClearsTheSwitches) {
    VLM_SetMixMode(388, 77);
    VLM_TempDisableBlend();
    VLM_SetEraseModeOn();
    VLM_SetMaskMakerOn();
    VLM_SetSize(8);
    VLM_SetTool(0.5f, 0, 11, 12, 0x1FF, 13, 14, 100, 56, 0x101, 99, 0x102, 99, "", "", 0);
    const Tool& t = tool();
    EXPECT_EQ(t.shape_strength, 0.5f);
    EXPECT_EQ(t.grit_cell_size, 0);
    EXPECT_EQ(t.grit_cell_threshold, 11);
    EXPECT_EQ(t.grit_pixel_threshold, 12);
    EXPECT_EQ(t.edge_softness, 255);
    EXPECT_EQ(t.colour_vary, 13);
    EXPECT_EQ(t.drawing_length, 14);
    EXPECT_EQ(t.blend_strength, 100);
    EXPECT_EQ(t.blend_complement, 156);
    EXPECT_EQ(t.blend_primary_strength, 56);
    EXPECT_EQ(t.primary_complement, 200);
    EXPECT_EQ(t.blend_remix, 1);
    EXPECT_EQ(t.invert_shape, 2);
    EXPECT_EQ(t.mix_mode, 32);
    EXPECT_EQ(t.mix_amount, 77) << "the amount keeps its value";
    EXPECT_EQ(t.blend_disabled, 0);
    EXPECT_EQ(t.erase, 0);
    EXPECT_EQ(g_engine.mask.maker, 0);
    // Strength 0 blend settings leave the complements as they were.
    VLM_SetTool(1.0f, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "", "", 0);
    EXPECT_EQ(t.blend_complement, 156);
    EXPECT_EQ(t.primary_complement, 200);
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(WholeTool, ReseedsTheGeneratorFromTheSeed) {
    VLM_SetRandomSeed(42);
    for (int i = 0; i < 5; ++i) core::rand_next();
    ToolCall{}();
    EXPECT_EQ(g_engine.random.generator, 42u);
}

TEST(WholeToolWithoutCanvas, StoresTheToolAndBuildsNothing) {
    vlm::test::reset_engine();
    VLM_SetSize(8);
    const std::string shape = test::kShapes + "soft_dot.png";
    ToolCall t;
    t.cell_size = 4;
    t.cell_threshold = 200;
    t.grit_source = shape.c_str();
    t.shape_path = shape.c_str();
    t();
    EXPECT_EQ(tool().grit_cell_size, 4);
    EXPECT_EQ(current_grit(), nullptr);
    EXPECT_EQ(g_engine.brush.shape, nullptr);
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(WholeTool, PixelVariationMakesItsArrayOnlyForAPositiveAmount) {
    VLM_SetRandomSeed(6);
    VLM_SetPixColorVary(0);
    VLM_SetPixLumVary(-2);
    EXPECT_EQ(g_engine.random.color_vary.data, nullptr);
    EXPECT_EQ(g_engine.random.lum_vary.data, nullptr);
    EXPECT_EQ(tool().pix_lum_vary, -2);

    VLM_SetPixColorVary(30);
    VLM_SetPixLumVary(40);
    EXPECT_EQ(tool().pix_colour_vary, 30);
    EXPECT_EQ(tool().pix_lum_vary, 40);
    const core::RandArrayByte& c = g_engine.random.color_vary;
    const core::RandArrayByte& l = g_engine.random.lum_vary;
    ASSERT_NE(c.data, nullptr);
    EXPECT_EQ(c.length, 3 * kMaxBrush);
    EXPECT_EQ(c.modulus, 1000);
    EXPECT_EQ(l.length, 3 * kMaxBrush);
    EXPECT_EQ(l.modulus, 256);
    core::Generator g{6};
    for (int i = 0; i < 3 * kMaxBrush; ++i) ASSERT_EQ(c.data[i], static_cast<std::uint8_t>(g.next() % 1000));
}

} // namespace
} // namespace vlm::brush
