#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "core/dirty_rect.h"
#include "core/engine_state.h"
#include "support/child_process.h"
#include "support/engine_fixture.h"

namespace vlm::test {
namespace {

class UndoStore : public CanvasTest {
protected:
    void SetUp() override {
        CanvasTest::SetUp();
        VLM_CreateLayer(1, kWidth, kHeight);
        VLM_CreateLayer(2, kWidth, kHeight);
        VLM_SetLayer(2);
        VLM_SetUndoLevels(10);
        VLM_SetUndoMB(64);
    }
    static std::uint16_t* px(int slot, int x, int y) {
        return g_engine.layers.layers[slot].pixels + (static_cast<std::size_t>(y) * kWidth + x) * 4;
    }
    // Paints one pixel's red channel as an operation would: change, widen the dirty rectangle.
    static void paint(int slot, int x, int y, std::uint16_t red) {
        px(slot, x, y)[0] = red;
        core::widen_dirty_rect(x, y, x + 1, y + 1);
    }
    static const undo::Level& level(int i) { return g_engine.undo.levels[i]; }
};

TEST_F(UndoStore, UndoAndRedoSwapTheRectangle) {
    paint(2, 5, 6, 1000);
    VLM_SaveUndoBuffer(1, 0);
    EXPECT_EQ(std::vector<int>({level(0).x0, level(0).y0, level(0).x1, level(0).y1}), std::vector<int>({5, 6, 6, 7}));
    EXPECT_EQ(level(0).mask, nullptr);
    paint(2, 5, 6, 2000);
    VLM_SaveUndoBuffer(1, 0);
    EXPECT_EQ(VLM_GetUndoCount(), 2);
    EXPECT_EQ(VLM_CanUndo(), 1);
    EXPECT_EQ(VLM_CanRedo(), 0);

    VLM_Undo();
    EXPECT_EQ(px(2, 5, 6)[0], 1000);
    EXPECT_EQ(VLM_CanRedo(), 1);
    EXPECT_EQ(VLM_GetRedoCount(), 1);
    EXPECT_EQ(VLM_GetUndoCount(), 2);
    VLM_Undo();
    EXPECT_EQ(px(2, 5, 6)[0], 0);
    EXPECT_EQ(VLM_CanUndo(), 0);
    VLM_Redo();
    VLM_Redo();
    EXPECT_EQ(px(2, 5, 6)[0], 2000);
    EXPECT_EQ(VLM_GetRedoCount(), 0);

    // A save after an undo discards the redo level.
    VLM_Undo();
    paint(2, 1, 1, 7);
    VLM_SaveUndoBuffer(1, 0);
    EXPECT_EQ(VLM_GetRedoCount(), 0);
    EXPECT_EQ(VLM_GetUndoCount(), 2);
    VLM_Undo();
    EXPECT_EQ(px(2, 1, 1)[0], 0);
    EXPECT_EQ(px(2, 5, 6)[0], 1000);
}

TEST_F(UndoStore, NarrowOrEmptyDirtyRectangleSavesTheWholeCanvas) {
    core::widen_dirty_rect(3, 3, 3, 9); // one pixel wide: treated as empty
    VLM_SaveUndoBuffer(1, 1);
    EXPECT_EQ(std::vector<int>({level(0).x0, level(0).y0, level(0).x1, level(0).y1}),
              std::vector<int>({0, 0, kWidth - 1, kHeight - 1}));
    EXPECT_NE(level(0).mask, nullptr);
    EXPECT_EQ(level(0).layer_number, 2);
    // The dirty rectangle is reset to empty after a save.
    EXPECT_EQ(g_engine.undo.dirty_x0, kWidth - 1);
    EXPECT_EQ(g_engine.undo.dirty_x1, 0);

    // A rectangle reaching outside the canvas is clamped into it.
    core::widen_dirty_rect(-50, -50, 5000, 5000);
    VLM_SaveUndoBuffer(1, 0);
    EXPECT_EQ(level(0).x1, kWidth - 1);
    EXPECT_EQ(level(0).y0, 0);
}

TEST_F(UndoStore, LevelLimitAndPauseRules) {
    VLM_SetUndoLevels(0);
    paint(2, 2, 2, 9);
    VLM_SaveUndoBuffer(1, 1);
    EXPECT_EQ(VLM_CanUndo(), 0);
    EXPECT_EQ(VLM_GetUndoCount(), 0);
    EXPECT_EQ(g_engine.undo.back[(2 * kWidth + 2) * 4], 9); // the back buffer still follows the layer

    EXPECT_EQ(VLM_SetUndoLevels(600), 500);
    EXPECT_EQ(VLM_SetUndoLevels(-3), 0);
    VLM_SetUndoLevels(2);
    for (int i = 1; i <= 4; ++i) {
        paint(2, i, 0, static_cast<std::uint16_t>(i));
        VLM_SaveUndoBuffer(1, 0);
    }
    EXPECT_EQ(VLM_GetUndoCount(), 2); // the limit keeps the newest two

    VLM_PauseUndo();
    VLM_Undo();
    EXPECT_EQ(px(2, 4, 0)[0], 4);
    paint(2, 9, 9, 1);
    VLM_SaveUndoBuffer(1, 0);
    EXPECT_EQ(VLM_GetUndoCount(), 2);
    VLM_ClearUndo(); // also resumes
    EXPECT_EQ(VLM_GetUndoCount(), 0);
    paint(2, 9, 9, 2);
    VLM_SaveUndoBuffer(1, 0);
    EXPECT_EQ(VLM_GetUndoCount(), 1);
}

TEST_F(UndoStore, BudgetOfZeroKeepsOnlyTheNewestLevel) {
    g_engine.undo.budget_kb = 0;
    for (int i = 0; i < 3; ++i) {
        paint(2, i, 0, 100);
        VLM_SaveUndoBuffer(1, 0);
        EXPECT_EQ(VLM_GetUndoCount(), 1);
    }
    EXPECT_EQ(level(0).x0, 2);
    // The memory in use counts the back buffer and the level's estimate.
    EXPECT_EQ(g_engine.undo.memory_in_use_kb, kWidth * kHeight * 10 / 1024 + (2 * 2 * 8) / 1024);
}

TEST_F(UndoStore, BudgetMakesRoomOldestFirst) {
    // A level of 16 x 16 pixels counts 2 KB; the back buffer 30 KB. Room for three levels.
    VLM_SetUndoMB(1);
    g_engine.undo.budget_kb = 30 + 3 * 2 + 2;
    for (int i = 0; i < 6; ++i) {
        px(2, i, i)[1] = static_cast<std::uint16_t>(i + 1);
        core::widen_dirty_rect(0, 0, 15, 15);
        VLM_SaveUndoBuffer(1, 0);
    }
    EXPECT_EQ(VLM_GetUndoCount(), 3);
    EXPECT_EQ(g_engine.undo.memory_in_use_kb, 30 + 3 * 2);
    EXPECT_EQ(VLM_SetUndoMB(3), 3 * 1024);
    EXPECT_EQ(VLM_GetTotalUndoMemory(), 3);
    EXPECT_EQ(VLM_GetCurrentUndoMemory(), 0);
}

TEST_F(UndoStore, AutomaticBudgetFollowsFreeMemory) {
    const int kb = VLM_SetUndoMB(0);
    const long long c = kWidth * kHeight / 1024;
    EXPECT_GE(kb, 15 * c);
    EXPECT_GT(VLM_GetTotalUndoMemory(), 0);
}

TEST_F(UndoStore, MaskLevelsRestoreTheMask) {
    g_engine.mask.plane[3 * kWidth + 4] = 0;
    core::widen_dirty_rect(0, 0, 10, 10);
    VLM_SaveUndoBuffer(0, 1);
    EXPECT_EQ(level(0).colour, nullptr);
    VLM_Undo();
    EXPECT_EQ(g_engine.mask.plane[3 * kWidth + 4], 0xFFFF);
    VLM_Redo();
    EXPECT_EQ(g_engine.mask.plane[3 * kWidth + 4], 0);
}

TEST_F(UndoStore, UndoSelectsTheLevelsLayer) {
    paint(2, 1, 1, 50);
    VLM_SaveUndoBuffer(1, 0);
    VLM_SetLayer(1);
    VLM_Undo();
    EXPECT_EQ(VLM_GetLayerNum(), 2);
    EXPECT_EQ(px(2, 1, 1)[0], 0);
    EXPECT_EQ(px(1, 1, 1)[0], 0xFFFF);
}

TEST_F(UndoStore, LevelOfAGoneOrResizedLayerIsRefused) {
    paint(2, 1, 1, 50);
    VLM_SaveUndoBuffer(1, 0);
    VLM_SetLayer(1);
    VLM_DeleteLayer(2);
    VLM_Undo(); // the layer is gone: nothing happens, layer 1 keeps its pixels
    EXPECT_EQ(VLM_GetLayerNum(), 1);
    EXPECT_EQ(px(1, 1, 1)[0], 0xFFFF);
    EXPECT_EQ(VLM_CanUndo(), 1);

    VLM_CreateLayer(2, 8, 8); // back, but smaller than the canvas
    VLM_Undo();
    EXPECT_EQ(VLM_GetRedoCount(), 0);
    for (int i = 0; i < 8 * 8 * 4; ++i) ASSERT_EQ(g_engine.layers.layers[2].pixels[i], 0);
}

TEST_F(UndoStore, NothingHappensWithoutACanvas) {
    VLM_DeleteImage();
    VLM_SaveUndoBuffer(1, 1);
    VLM_Undo();
    VLM_Redo();
    VLM_StartFade();
    VLM_ClearUndo();
    VLM_SaveUndoBackBuffer(2);
    EXPECT_EQ(VLM_CanUndo(), 0);
    EXPECT_STREQ(VLM_GetLastError(), "");
}

TEST_F(UndoStore, FadeSwapsTheNextUndoLevelWithoutMovingHistory) {
    paint(2, 4, 4, 300);
    VLM_SaveUndoBuffer(1, 0);
    VLM_StartFade(); // no redo level: nothing
    EXPECT_EQ(px(2, 4, 4)[0], 300);

    paint(2, 4, 4, 600);
    VLM_SaveUndoBuffer(1, 0);
    VLM_Undo(); // redo count 1: the fade works on level 1, the save of 300
    EXPECT_EQ(px(2, 4, 4)[0], 300);
    VLM_SetLayer(1);
    VLM_StartFade(); // switches to the level's layer first
    EXPECT_EQ(VLM_GetLayerNum(), 2);
    EXPECT_EQ(px(2, 4, 4)[0], 0);
    EXPECT_EQ(VLM_GetRedoCount(), 1);
    VLM_StartFade(); // twice: back where it was
    EXPECT_EQ(px(2, 4, 4)[0], 300);
}

TEST_F(UndoStore, ReduceGivesUpOldLevelsButNotMaskOnlyOnes) {
    for (int i = 0; i < 3; ++i) {
        core::widen_dirty_rect(0, 0, 31, 31); // 32 x 32: 10 KB a level
        VLM_SaveUndoBuffer(1, 0);
    }
    core::widen_dirty_rect(0, 0, 31, 31);
    VLM_SaveUndoBuffer(0, 1);
    EXPECT_EQ(VLM_GetUndoCount(), 4);
    VLM_ReduceUndo(15); // oldest two colour levels
    EXPECT_EQ(VLM_GetUndoCount(), 2);
    VLM_ReduceUndo(1000);
    EXPECT_EQ(VLM_GetUndoCount(), 1); // the mask-only level stays
    EXPECT_EQ(level(0).colour, nullptr);
}

TEST_F(UndoStore, AllocationsGiveUpHistoryWhenMemoryRunsOut) {
    if (sanitized_build()) GTEST_SKIP() << "address-space limits do not apply under the address sanitizer";
    const int code = run_in_child([] {
        VLM_CreateImage(nullptr, 1024, 1024, 16, 0);
        VLM_CreateLayer(2, 1024, 1024);
        VLM_SetLayer(2);
        VLM_SetUndoLevels(20);
        VLM_SetUndoMB(4000);
        for (int i = 0; i < 6; ++i) { // six whole-canvas levels of 8 MB
            VLM_InvalidateDirtyUndoCanvas();
            VLM_SaveUndoBuffer(1, 0);
        }
        if (VLM_GetUndoCount() != 6) return 10;
        if (!limit_address_space(24u << 20)) return 11;
        // 32 MB more than the limit allows: old levels go until it fits.
        void* block = VLM_Alloc(32 << 20);
        if (!block) return 12;
        const int left = VLM_GetUndoCount();
        if (left >= 6 || left == 0) return 13;
        // A layer plane the same way.
        if (VLM_CreateLayer(3, 1024, 1024) != 1) return 14;
        // Nothing left to give up: a failure, not a crash.
        if (VLM_Alloc(1 << 30) != nullptr) return 15;
        if (VLM_GetUndoCount() != 0) return 16;
        VLM_Free(block);
        return 0;
    });
    EXPECT_EQ(code, 0);
}

TEST(SplinePoints, HundredPointsThroughTheControlPoints) {
    reset_engine();
    EXPECT_EQ(VLM_GetSplinePointCount(), 0);
    EXPECT_EQ(VLM_GetSplinePointX(0), 0);
    VLM_CalcSpline3(10, 20, 110, 220, 210, 20, 999);
    EXPECT_EQ(VLM_GetSplinePointCount(), 100);
    EXPECT_EQ(VLM_GetSplinePointX(0), 10);
    EXPECT_EQ(VLM_GetSplinePointY(0), 20);
    EXPECT_EQ(VLM_GetSplinePointX(99), 210);
    EXPECT_EQ(VLM_GetSplinePointX(500), VLM_GetSplinePointX(99));
    EXPECT_EQ(VLM_GetSplinePointY(0xFFFFFFFFu), VLM_GetSplinePointY(99));
    // The curve rises toward the middle control point and falls again.
    EXPECT_GT(VLM_GetSplinePointY(50), 150);
    for (unsigned i = 1; i < 100; ++i) EXPECT_GE(VLM_GetSplinePointX(i), VLM_GetSplinePointX(i - 1));

    // Control coordinates are taken as unsigned values.
    VLM_CalcSpline3(-1, 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(g_engine.brush.spline.control_x[0], 4294967295.0);
    EXPECT_EQ(g_engine.brush.spline.curve_x[0], 4294967295.0);
    EXPECT_EQ(VLM_GetSplinePointX(0), 2147483647); // beyond an int: clamped, not undefined
    reset_engine();
}

} // namespace
} // namespace vlm::test
