#pragma once
// Data of the undo store: back buffer, levels, limits, budget and the dirty rectangle.
#include <cstdint>

namespace vlm::undo {

inline constexpr int kMaxLevels = 500;

struct Level {
    std::uint16_t* colour; // packed RGBA64 rows of the rectangle, or null
    std::uint16_t* mask;   // packed mask rows of the rectangle, or null
    int x0, y0, x1, y1;    // inclusive
    int layer_number;
    std::uint8_t mask_flag;
};

struct State {
    std::uint16_t* back;      // canvas-sized RGBA64: the current layer as of the last save
    std::uint16_t* back_mask; // canvas-sized mask copy
    Level back_record;        // rectangle and mask flag of the back buffer
    Level levels[kMaxLevels]; // level 0 is the newest
    int level_limit;
    int redo_count;
    std::uint8_t paused;
    int budget_kb;
    std::uint8_t automatic_budget;
    int memory_in_use_kb;
    int dirty_x0, dirty_y0, dirty_x1, dirty_y1;
};

} // namespace vlm::undo
