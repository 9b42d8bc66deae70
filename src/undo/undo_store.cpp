#include "undo/undo_store.h"

#include <algorithm>
#include <cstring>

#include "core/canvas.h"
#include "core/engine_state.h"
#include "core/hooks.h"
#include "core/last_error.h"
#include "core/memory.h"
#include "platform/memory_status.h"

namespace vlm::undo {

namespace {

State& st() { return g_engine.undo; }

std::size_t canvas_pixels() {
    return static_cast<std::size_t>(g_engine.canvas.width) * static_cast<std::size_t>(g_engine.canvas.height);
}

int estimate_kb(const Level& level) {
    const std::size_t w = static_cast<std::size_t>(level.x1 - level.x0 + 1);
    const std::size_t h = static_cast<std::size_t>(level.y1 - level.y0 + 1);
    return static_cast<int>(w * h * 10 / 1024);
}

void free_level(Level& level) {
    core::free_block(level.colour);
    core::free_block(level.mask);
}

void reset_dirty() {
    st().dirty_x0 = g_engine.canvas.width - 1;
    st().dirty_y0 = g_engine.canvas.height - 1;
    st().dirty_x1 = 0;
    st().dirty_y1 = 0;
}

bool has_copy(const Level& level) { return level.colour || level.mask; }

} // namespace

void save_back_buffer(int slot) {
    State& u = st();
    if (u.paused || slot < 0 || slot >= core::kLayerSlots) return;
    const core::Layer& layer = g_engine.layers.layers[slot];
    if (u.back && core::fits_canvas(layer))
        std::memcpy(u.back, layer.pixels, canvas_pixels() * 8);
    if (u.back_mask && g_engine.mask.plane)
        std::memcpy(u.back_mask, g_engine.mask.plane, canvas_pixels() * 2);
}

void update_automatic_budget() {
    State& u = st();
    if (!u.automatic_budget) return;
    const platform::MemoryStatus m = platform::memory_status();
    const double free_kb = static_cast<double>(std::min(m.available_physical_kb, m.available_page_file_kb));
    const long long x = static_cast<long long>(0.85 * free_kb + u.memory_in_use_kb);
    const long long c = static_cast<long long>(canvas_pixels() / 1024);
    const long long budget = std::max(x - 20 * c, 15 * c);
    u.budget_kb = static_cast<int>(std::min<long long>(budget, 0x7fffffff));
}

void clear_undo() try {
    State& u = st();
    reset_dirty();
    u.paused = 0;
    u.redo_count = 0;
    for (Level& level : u.levels) {
        free_level(level);
        level.x0 = level.y0 = level.x1 = level.y1 = 0;
    }
    u.memory_in_use_kb = static_cast<int>(canvas_pixels() * 10 / 1024);
    save_back_buffer(g_engine.layers.current_number);
    update_automatic_budget();
} catch (...) {
    core::record_exception("ClearUndo");
}

void release_all_levels() {
    State& u = st();
    const std::uint8_t mask_flag = g_engine.mask.enabled;
    u.back_record.mask_flag = mask_flag;
    u.back_record.x0 = u.back_record.y0 = u.back_record.x1 = u.back_record.y1 = 0;
    for (Level& level : u.levels) {
        free_level(level);
        level.mask_flag = mask_flag;
        level.x0 = level.y0 = level.x1 = level.y1 = 0;
    }
}

void remove_abandoned_undo() try {
    State& u = st();
    const int n = std::clamp(u.redo_count, 0, kMaxLevels);
    if (n == 0) return;
    for (int i = 0; i < n; ++i) {
        if (has_copy(u.levels[i])) u.memory_in_use_kb = std::max(0, u.memory_in_use_kb - estimate_kb(u.levels[i]));
        free_level(u.levels[i]);
    }
    std::move(u.levels + n, u.levels + kMaxLevels, u.levels);
    for (int i = kMaxLevels - n; i < kMaxLevels; ++i) u.levels[i] = Level{};
    u.redo_count = 0;
} catch (...) {
    core::record_exception("RemoveAdandonedUndo");
}

int reduce_undo(int kb) {
    State& u = st();
    remove_abandoned_undo();
    int freed = 0;
    for (int i = std::min(u.level_limit, kMaxLevels) - 1; i >= 0; --i) {
        Level& level = u.levels[i];
        if (!level.colour) continue;
        if (freed >= kb) break;
        const int est = estimate_kb(level);
        free_level(level);
        u.memory_in_use_kb = std::max(0, u.memory_in_use_kb - est);
        freed += est;
        level = Level{};
    }
    return freed;
}

bool can_undo() {
    const State& u = st();
    return u.redo_count >= 0 && u.redo_count < u.level_limit && u.redo_count < kMaxLevels &&
           has_copy(u.levels[u.redo_count]);
}

bool can_redo() { return st().redo_count > 0; }

namespace {

// The allocators give up history through these entries.
const bool kHooked = [] {
    core::Hooks& h = core::hooks();
    h.undo_can_give_up = [] { return can_undo() || can_redo(); };
    // The allocator's loop ends when a reduction gives up no level at all (discarded redo levels
    // count), so a level holding only a mask copy cannot keep it spinning.
    h.reduce_undo = [](int kb) {
        auto held = [] {
            int n = 0;
            for (const Level& l : g_engine.undo.levels) n += has_copy(l);
            return n;
        };
        const int before = held();
        const int freed = reduce_undo(kb);
        return held() < before ? std::max(freed, 1) : 0;
    };
    h.clear_undo = &clear_undo;
    h.release_undo = &release_all_levels;
    h.save_undo_back_buffer = &save_back_buffer;
    return true;
}();

} // namespace

} // namespace vlm::undo
