#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/engine_state.h"
#include "core/new_rgba.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

using NewRgbaHolder = EngineTest;

TEST_F(NewRgbaHolder, EmptyHolderAnswersNothing) {
    EXPECT_EQ(VLM_GetNewRGBAWidth(), 0);
    EXPECT_EQ(VLM_GetNewRGBAHeight(), 0);
    EXPECT_EQ(VLM_IsNewRGBA32Transparent(), 0);
    std::vector<std::uint8_t> out(8, 5);
    VLM_GetNewRGBA32(out.data());
    VLM_GetNewRGBA24(out.data());
    EXPECT_EQ(out, std::vector<std::uint8_t>(8, 5));
    VLM_DeleteNewRGBA();
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(NewRgbaHolder, HeldPictureIsCopiedOutAndTestedForTransparency) {
    std::uint8_t* p = core::create_new_rgba(2, 1);
    ASSERT_NE(p, nullptr);
    const std::uint8_t picture[8] = {1, 2, 3, 255, 4, 5, 6, 255};
    std::copy(std::begin(picture), std::end(picture), p);
    EXPECT_EQ(VLM_GetNewRGBAWidth(), 2);
    EXPECT_EQ(VLM_GetNewRGBAHeight(), 1);
    std::vector<std::uint8_t> rgba(8), rgb(6);
    VLM_GetNewRGBA32(rgba.data());
    VLM_GetNewRGBA24(rgb.data());
    EXPECT_EQ(rgba, std::vector<std::uint8_t>(std::begin(picture), std::end(picture)));
    EXPECT_EQ(rgb, (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(VLM_IsNewRGBA32Transparent(), 0);
    p[7] = 254;
    EXPECT_EQ(VLM_IsNewRGBA32Transparent(), 1);

    // Creating again replaces the picture; a size that holds no pixels leaves the holder empty.
    EXPECT_NE(core::create_new_rgba(3, 3), nullptr);
    EXPECT_EQ(VLM_GetNewRGBAWidth(), 3);
    EXPECT_EQ(core::create_new_rgba(0, 5), nullptr);
    EXPECT_EQ(g_engine.new_rgba.pixels, nullptr);
    EXPECT_EQ(VLM_GetNewRGBAWidth(), 0);
    EXPECT_EQ(VLM_GetNewRGBAHeight(), 0);
    core::create_new_rgba(1, 1);
    VLM_DeleteNewRGBA();
    EXPECT_EQ(g_engine.new_rgba.pixels, nullptr);
    EXPECT_EQ(VLM_GetNewRGBAWidth(), 0);
}

} // namespace
} // namespace vlm::test
