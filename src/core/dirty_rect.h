#pragma once
// The undo dirty rectangle (inclusive): every operation that changes the current layer or the mask
// widens it so that the next undo save covers the change.
#include <algorithm>

#include "core/engine_state.h"

namespace vlm::core {

inline void widen_dirty_rect(int x0, int y0, int x1, int y1) {
    undo::State& u = g_engine.undo;
    u.dirty_x0 = std::min(u.dirty_x0, x0);
    u.dirty_y0 = std::min(u.dirty_y0, y0);
    u.dirty_x1 = std::max(u.dirty_x1, x1);
    u.dirty_y1 = std::max(u.dirty_y1, y1);
}

inline void dirty_whole_canvas() {
    undo::State& u = g_engine.undo;
    u.dirty_x0 = 0;
    u.dirty_y0 = 0;
    u.dirty_x1 = g_engine.canvas.width - 1;
    u.dirty_y1 = g_engine.canvas.height - 1;
}

} // namespace vlm::core
