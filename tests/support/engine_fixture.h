#pragma once
// Fixtures for tests that drive the engine as a host does.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "velmora/velmora.h"

namespace vlm::test {

// Deletes the canvas, frees everything else the engine holds and returns the record to load state.
void reset_engine();

// A directory for files a test writes, made fresh for each call and private to the running test case.
std::string temp_dir(const std::string& name);

// Every test starts from the state the engine has when the library is loaded.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override { reset_engine(); }
    void TearDown() override { reset_engine(); }
};

// A small canvas: 64 x 48, maximum brush size 32.
class CanvasTest : public EngineTest {
protected:
    static constexpr int kWidth = 64;
    static constexpr int kHeight = 48;
    static constexpr int kMaxBrush = 32;
    void SetUp() override {
        EngineTest::SetUp();
        VLM_CreateImage(nullptr, kWidth, kHeight, kMaxBrush, 0);
    }
};

} // namespace vlm::test
