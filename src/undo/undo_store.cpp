#include "undo/undo_store.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

#include "core/canvas.h"
#include "core/dirty_rect.h"
#include "core/layer_store.h"
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

std::size_t rect_pixels(const Level& l) {
    return static_cast<std::size_t>(l.x1 - l.x0 + 1) * static_cast<std::size_t>(l.y1 - l.y0 + 1);
}

int kb_of(std::size_t bytes) { return static_cast<int>(std::min<std::size_t>(bytes / 1024, 0x7fffffff)); }

// What a level's copies count against the budget.
int estimate_kb(const Level& l) {
    if (!l.colour && !l.mask) return 0;
    const std::size_t n = rect_pixels(l);
    return (l.colour ? kb_of(n * 8) : 0) + (l.mask ? kb_of(n * 2) : 0);
}

void free_level(Level& level) {
    core::free_block(level.colour);
    core::free_block(level.mask);
}

// Frees a level's copies and takes their estimate off the memory in use.
void give_up_level(Level& level) {
    st().memory_in_use_kb = std::max(0, st().memory_in_use_kb - estimate_kb(level));
    free_level(level);
}

void reset_dirty() {
    st().dirty_x0 = g_engine.canvas.width - 1;
    st().dirty_y0 = g_engine.canvas.height - 1;
    st().dirty_x1 = 0;
    st().dirty_y1 = 0;
}

bool has_copy(const Level& level) { return level.colour || level.mask; }

int level_limit() { return std::clamp(st().level_limit, 0, kMaxLevels); }

// Row copies between a packed rectangle (w x h pixels of `channels` values) and a canvas-pitched plane.
void copy_out(const std::uint16_t* plane, int channels, const Level& r, std::uint16_t* packed) {
    const std::size_t pitch = static_cast<std::size_t>(g_engine.canvas.width) * channels;
    const std::size_t row = static_cast<std::size_t>(r.x1 - r.x0 + 1) * channels;
    for (int y = r.y0; y <= r.y1; ++y, packed += row)
        std::memcpy(packed, plane + y * pitch + static_cast<std::size_t>(r.x0) * channels, row * 2);
}

// The undo exchange of one rectangle: the plane takes the copy, the copy takes the back buffer's
// state, and the back buffer takes the plane's new state.
void exchange(std::uint16_t* plane, std::uint16_t* back, int channels, const Level& r, std::uint16_t* packed) {
    const std::size_t pitch = static_cast<std::size_t>(g_engine.canvas.width) * channels;
    const std::size_t row = static_cast<std::size_t>(r.x1 - r.x0 + 1) * channels;
    for (int y = r.y0; y <= r.y1; ++y, packed += row) {
        const std::size_t at = y * pitch + static_cast<std::size_t>(r.x0) * channels;
        std::memcpy(plane + at, packed, row * 2);
        std::memcpy(packed, back + at, row * 2);
        std::memcpy(back + at, plane + at, row * 2);
    }
}

bool rect_on_canvas(const Level& l) {
    const core::CanvasState& c = g_engine.canvas;
    return l.x0 >= 0 && l.y0 >= 0 && l.x0 <= l.x1 && l.y0 <= l.y1 && l.x1 < c.width && l.y1 < c.height;
}

bool current_layer_fits() {
    const core::Layer* layer = g_engine.layers.current;
    return layer && core::fits_canvas(*layer);
}

// Selects the level's layer, then exchanges its copies (colour only when colour_only). A level whose
// layer is gone or no longer canvas-sized, or whose rectangle left the canvas, is refused untouched.
bool apply_level(Level& l, bool colour_only) {
    if (!rect_on_canvas(l)) return false;
    core::LayerTable& t = g_engine.layers;
    if (l.layer_number != t.current_number) core::set_layer(l.layer_number);
    const bool colour = l.colour != nullptr;
    const bool mask = l.mask != nullptr && !colour_only;
    if (colour && (t.current_number != l.layer_number || !current_layer_fits() || !st().back)) return false;
    if (mask && (!g_engine.mask.plane || !st().back_mask)) return false;
    if (colour) exchange(t.current->pixels, st().back, 4, l, l.colour);
    if (mask) exchange(g_engine.mask.plane, st().back_mask, 1, l, l.mask);
    return true;
}

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
    for (int i = 0; i < n; ++i) give_up_level(u.levels[i]);
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
    for (int i = level_limit() - 1; i >= 0; --i) {
        Level& level = u.levels[i];
        if (!level.colour) continue; // a level with only a mask copy is passed over
        if (freed >= kb) break;
        const int est = kb_of(rect_pixels(level) * 10);
        free_level(level);
        u.memory_in_use_kb = std::max(0, u.memory_in_use_kb - est);
        freed += est;
        level = Level{};
    }
    return freed;
}

void save_undo_buffer(bool colour, bool mask) try {
    State& u = st();
    if (u.paused) return;
    const core::CanvasState& c = g_engine.canvas;
    u.dirty_x0 = std::max(u.dirty_x0, 0);
    u.dirty_y0 = std::max(u.dirty_y0, 0);
    u.dirty_x1 = std::min(u.dirty_x1, c.width - 1);
    u.dirty_y1 = std::min(u.dirty_y1, c.height - 1);
    remove_abandoned_undo();
    Level rect{};
    rect.x0 = u.dirty_x0, rect.y0 = u.dirty_y0, rect.x1 = u.dirty_x1, rect.y1 = u.dirty_y1;
    if (rect.x0 >= rect.x1 || rect.y0 >= rect.y1) rect.x0 = 0, rect.y0 = 0, rect.x1 = c.width - 1, rect.y1 = c.height - 1;
    if (!rect_on_canvas(rect)) {
        reset_dirty();
        return;
    }
    colour = colour && u.back && current_layer_fits();
    mask = mask && u.back_mask && g_engine.mask.plane;
    const std::size_t n = rect_pixels(rect);
    update_automatic_budget();

    const int limit = level_limit();
    if (limit > 0 && (colour || mask)) {
        // Make room, oldest first: the oldest always goes (it drops out when the levels move), newer
        // ones while the budget is exceeded.
        int next = limit - 1;
        auto give_up_next = [&] {
            if (next < 0) return false;
            give_up_level(u.levels[next--]);
            return true;
        };
        // The oldest level's blocks are reused when they have the wanted size: in steady painting every
        // save drops a level like the one it makes, and fresh memory costs a page fault per page.
        Level fresh = rect;
        Level& oldest = u.levels[limit - 1];
        if (has_copy(oldest) && rect_pixels(oldest) == n) {
            if (colour) std::swap(fresh.colour, oldest.colour);
            if (mask) std::swap(fresh.mask, oldest.mask);
            u.memory_in_use_kb = std::max(0, u.memory_in_use_kb - estimate_kb(fresh));
        }
        give_up_next();
        const int need = kb_of(n * 10);
        while (next >= 0 && u.budget_kb <= u.memory_in_use_kb + need) give_up_next();

        if (fresh.colour || fresh.mask) u.memory_in_use_kb += estimate_kb(fresh);
        for (;;) {
            if (colour && !fresh.colour && (fresh.colour = new (std::nothrow) std::uint16_t[n * 4]))
                u.memory_in_use_kb += kb_of(n * 8);
            if (mask && !fresh.mask && (fresh.mask = new (std::nothrow) std::uint16_t[n]))
                u.memory_in_use_kb += kb_of(n * 2);
            if ((!colour || fresh.colour) && (!mask || fresh.mask)) break;
            if (!give_up_next()) break;
        }
        if ((!colour || fresh.colour) && (!mask || fresh.mask)) {
            std::move_backward(u.levels, u.levels + limit - 1, u.levels + limit);
            fresh.layer_number = g_engine.layers.current_number;
            fresh.mask_flag = g_engine.mask.enabled;
            if (colour) copy_out(u.back, 4, rect, fresh.colour);
            if (mask) copy_out(u.back_mask, 1, rect, fresh.mask);
            u.levels[0] = fresh;
        } else {
            give_up_level(fresh); // nothing more to give up: the change is not recorded
        }
    }
    // The back buffer follows the layer and the mask in any case.
    if (colour) {
        const std::size_t pitch = static_cast<std::size_t>(c.width) * 4;
        const std::size_t bytes = static_cast<std::size_t>(rect.x1 - rect.x0 + 1) * 8;
        const std::uint16_t* src = g_engine.layers.current->pixels;
        for (int y = rect.y0; y <= rect.y1; ++y)
            std::memcpy(u.back + y * pitch + rect.x0 * 4, src + y * pitch + rect.x0 * 4, bytes);
    }
    if (mask) {
        const std::size_t pitch = static_cast<std::size_t>(c.width);
        const std::size_t bytes = static_cast<std::size_t>(rect.x1 - rect.x0 + 1) * 2;
        for (int y = rect.y0; y <= rect.y1; ++y)
            std::memcpy(u.back_mask + y * pitch + rect.x0, g_engine.mask.plane + y * pitch + rect.x0, bytes);
    }
    reset_dirty();
} catch (...) {
    core::record_exception("SaveUndoBuf");
}

void undo() {
    State& u = st();
    if (u.paused || !can_undo()) return;
    if (apply_level(u.levels[u.redo_count], false)) ++u.redo_count;
}

void redo() {
    State& u = st();
    if (u.paused || u.redo_count <= 0 || u.redo_count > kMaxLevels) return;
    if (apply_level(u.levels[u.redo_count - 1], false)) --u.redo_count;
}

void start_fade() {
    State& u = st();
    const int r = u.redo_count;
    if (r <= 0 || r >= kMaxLevels) return;
    Level& l = u.levels[r];
    if (!has_copy(l)) return;
    if (!l.colour) {
        if (l.layer_number != g_engine.layers.current_number) core::set_layer(l.layer_number);
        return;
    }
    apply_level(l, true);
}

int set_undo_levels(int count) {
    clear_undo();
    st().level_limit = std::clamp(count, 0, kMaxLevels);
    return st().level_limit;
}

int set_undo_mb(int megabytes) {
    State& u = st();
    if (megabytes != 0) {
        u.automatic_budget = 0;
        u.budget_kb = std::clamp(megabytes, 0, 0x7fffffff / 1024) * 1024;
    } else {
        u.automatic_budget = 1;
        update_automatic_budget();
    }
    return u.budget_kb;
}

int total_undo_memory_mb() {
    update_automatic_budget();
    return st().budget_kb / 1024;
}

int current_undo_memory_mb() { return st().memory_in_use_kb / 1024; }

int undo_count() {
    return static_cast<int>(std::count_if(std::begin(st().levels), std::end(st().levels), has_copy));
}

void invalidate_dirty_canvas() { core::dirty_whole_canvas(); }

bool can_undo() {
    const State& u = st();
    return u.redo_count >= 0 && u.redo_count < level_limit() && has_copy(u.levels[u.redo_count]);
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
