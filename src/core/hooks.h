#pragma once
// Calls from the engine core up into higher subsystems. The core must not depend on them, so each
// subsystem fills in its entries from a static initialiser in its own source file; an entry left
// empty means the subsystem does nothing for that step.
#include <cstdint>

namespace vlm::core {

struct Hooks {
    // Undo store.
    bool (*undo_can_give_up)();  // anything left to undo or redo
    int (*reduce_undo)(int kb);  // gives up old levels; returns the KB actually given up
    void (*clear_undo)();        // empties the history and refreshes the back buffer
    void (*release_undo)();      // frees every level and resets the undo records (canvas teardown)
    void (*save_undo_back_buffer)(int slot); // the back buffer becomes a copy of the slot
    // Brush materials.
    void (*set_blend_buffer_count)(int n);
    // Compositing: merges a canvas-sized RGBA32 buffer, every byte widened x 256, onto a canvas-sized
    // RGBA64 plane with the mode, mask mode, opacity and alpha lock given (strength 255, no replace).
    void (*merge_rgba32)(const std::uint8_t* rgba32, std::uint16_t* plane, int mode, int mask_mode, int opacity,
                         bool alpha_locked);
    // Processing buffers.
    void (*free_processing_buffers)(); // frees the four IPL buffers
    // Built-in effects: runs the named effect with value1..value6 (options and colour 0, not chained) on a
    // caller's width x height RGBA32 buffers, which may be one and the same.
    void (*run_effect_on)(std::uint8_t* source, std::uint8_t* destination, int width, int height,
                          const char* name, const int (&values)[6]);
};

Hooks& hooks();

} // namespace vlm::core
